#pragma once
#include <string>

namespace platform {
// The system's message for an errno value, without line breaks.
std::string ErrorText(int code);
}  // namespace platform
