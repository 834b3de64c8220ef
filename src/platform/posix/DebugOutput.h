#pragma once
namespace platform {
// Text for a developer watching the process: goes to standard error.
void DebugOutput(const char* text);
}  // namespace platform
