#include "capture/HRError.h"

#include <cstdio>

namespace {
std::string Text(const std::string& message, unsigned code) {
    char buf[32];
    snprintf(buf, sizeof buf, " : %04X", code);
    return message + buf;
}
}  // namespace

HRError::HRError(const std::string& message, unsigned code)
    : std::runtime_error(Text(message, code)), code_(code) {}
