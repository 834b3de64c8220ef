#pragma once
// The process's log written to a file of the test's own, read back as UTF-8 lines.

#include <cstdlib>
#include <string>
#include <vector>

#include "log/IDebugPrint.h"
#include "support/TempDir.h"
#include "text/WideText.h"

class LogFile {
public:
    LogFile() {
        setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
        Log().Init(u"LentoraTest", path(), u"tests", true);
    }
    ~LogFile() { Log().Close(); }

    std::string path() const { return dir_ / "test.log"; }

    std::vector<std::string> Lines() const {
        const std::string bytes = TempDir::ReadFile(path());
        std::u16string text;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        std::vector<std::string> lines;
        const std::string all = text::ToNarrow(text);
        for (size_t pos = 0; pos < all.size();) {
            size_t end = all.find("\r\n", pos);
            if (end == std::string::npos) end = all.size();
            lines.push_back(all.substr(pos, end - pos));
            pos = end + 2;
        }
        return lines;
    }
    // Lines holding text.
    std::vector<std::string> Find(const std::string& text) const {
        std::vector<std::string> found;
        for (const std::string& l : Lines()) {
            if (l.find(text) != std::string::npos) found.push_back(l);
        }
        return found;
    }

private:
    TempDir dir_;
};
