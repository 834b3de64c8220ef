// Any bytes as config.json: loading never crashes, and what is saved afterwards loads back whole to
// the same texts.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "options/ConfigFile.h"
#include "options/OptionRegistry.h"

namespace {
struct Catalogue {
    OptionRegistry reg;
    Option factor{"profile.magnification.factor", 200, 0, &reg};
    Option display{"profile.src.display", "", 0, &reg};
    Option color{"profile.mask.outer_color", 1.0f, 1.0f, 1.0f, 0.0f, 0, &reg};
    Option version{"previous_version", 0, Option::kDeferred, &reg};
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Catalogue first;
    ReadConfigText(std::string(reinterpret_cast<const char*>(data), size), first.reg);
    const std::string saved = ConfigText(first.reg);
    Catalogue second;
    if (!ReadConfigText(saved, second.reg)) std::abort();
    if (ConfigText(second.reg) != saved) std::abort();
    return 0;
}
