#pragma once
namespace platform {
// True when the process runs with the effective user id 0.
bool IsEffectiveRoot();
}  // namespace platform
