// Any bytes as the language list: reading never throws, and every language read has a name that came
// from the text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/LanguageChoices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> errors;
    const std::vector<LanguageChoice> got = ReadLanguageChoices(text, &errors);
    for (const LanguageChoice& c : got) {
        if (c.locale.size() > size) std::abort();
    }
    if (got.empty() && errors.empty() && text.find('{') == std::string::npos) std::abort();
    return 0;
}
