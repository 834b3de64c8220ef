// Any bytes as a language file: parsing never fails, and every stored text obeys the format's rules.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "localization/LanguageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LanguageTable table;
    ParseLanguageFile(std::string_view(reinterpret_cast<const char*>(data), size), table);
    for (const auto& [id, entry] : table) {
        if (id.empty() || (id.size() >= 2 && id[0] == '/' && id[1] == '/')) std::abort();
        for (char c : id) {
            if (static_cast<unsigned char>(c) <= 32) std::abort();
        }
        if (entry.utf16.size() > 4096) std::abort();
    }
    return 0;
}
