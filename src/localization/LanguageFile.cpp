#include "localization/LanguageFile.h"

#include "text/WideText.h"

namespace {

constexpr size_t kMaxTextUnits = 4096;

void EndLine(std::string& id, std::string& text, LanguageTable& table) {
    if (id.empty()) return;
    if (id.size() >= 2 && id[0] == '/' && id[1] == '/') return;
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        text = text.size() == 1 ? std::string() : text.substr(1, text.size() - 2);
    }
    LanguageEntry& e = table[id];
    e.utf16 = text::ToWide(text, kMaxTextUnits);  // skips a leading byte-order mark of the text
    e.utf8 = std::move(text);
}

}  // namespace

void ParseLanguageFile(std::string_view bytes, LanguageTable& table) {
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
        bytes.remove_prefix(3);
    }
    enum class State { Id, Gap, Text } state = State::Id;
    std::string id, text;
    bool escape = false;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '\n') {
            EndLine(id, text, table);
            id.clear();
            text.clear();
            state = State::Id;
            escape = false;
            continue;
        }
        switch (state) {
            case State::Id:
                if (b > 32)
                    id.push_back(ch);
                else
                    state = State::Gap;
                break;
            case State::Gap:
                if (b > 32) {
                    text.push_back(ch);  // the first byte is never an escape
                    state = State::Text;
                }
                break;
            case State::Text:
                if (escape) {
                    escape = false;
                    if (b == '\\')
                        text.push_back('\\');
                    else if (b == 'n')
                        text.push_back('\n');
                    else if (b == 'r')
                        text.push_back('\r');
                    else if (b == 't')
                        text.push_back('\t');
                } else if (b < 32) {
                    // control bytes, tab and CR included, are dropped
                } else if (b == '\\') {
                    escape = true;
                } else {
                    text.push_back(ch);
                }
                break;
        }
    }
    EndLine(id, text, table);
}
