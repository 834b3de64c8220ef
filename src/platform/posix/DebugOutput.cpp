#include "platform/posix/DebugOutput.h"

#include <unistd.h>

#include <cstring>

namespace platform {
void DebugOutput(const char* text) {
    if (text == nullptr) return;
    // One write call, so lines from several threads do not mix.
    ssize_t rc = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)rc;
}
}  // namespace platform
