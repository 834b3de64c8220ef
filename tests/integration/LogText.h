#pragma once
// The log file of the test program as UTF-8 text.

#include <string>

#include "log/IDebugPrint.h"
#include "support/TempDir.h"
#include "text/WideText.h"

inline std::string LogText() {
    const std::string bytes = TempDir::ReadFile(Log().GetLogPath());
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text::ToNarrow(text);
}
