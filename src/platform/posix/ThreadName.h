#pragma once
namespace platform {
// Names the calling thread for debuggers and ps; the system keeps the first 15 bytes.
void SetCurrentThreadName(const char* name);
}  // namespace platform
