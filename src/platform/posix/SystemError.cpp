#include "platform/posix/SystemError.h"

#include <cstring>

namespace platform {

std::string ErrorText(int code) {
    char buf[512];
    // GNU strerror_r may return a static string instead of filling buf.
    const char* msg = strerror_r(code, buf, sizeof buf);
    std::string out = msg != nullptr ? msg : "";
    std::string clean;
    for (char c : out) {
        if (c != '\r' && c != '\n') clean.push_back(c);
    }
    return clean;
}

}  // namespace platform
