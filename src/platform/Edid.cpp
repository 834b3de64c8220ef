#include "platform/Edid.h"

namespace platform {

std::string MonitorNameFromEdid(const uint8_t* edid, size_t size) {
    static constexpr size_t kDescriptors[] = {54, 72, 90, 108};
    static constexpr size_t kDescriptorSize = 18;
    if (edid == nullptr || size < 128) return {};
    for (const size_t at : kDescriptors) {
        const uint8_t* d = edid + at;
        // A display descriptor starts with three zero bytes; the fourth says what it holds.
        if (d[0] != 0 || d[1] != 0 || d[2] != 0 || d[3] != 0xFC) continue;
        std::string name;
        for (size_t i = 5; i < kDescriptorSize && d[i] != '\n'; ++i) {
            // Printable ASCII only: the standard's character set, and nothing that could upset a label.
            name.push_back(d[i] >= 0x20 && d[i] < 0x7F ? static_cast<char>(d[i]) : '?');
        }
        while (!name.empty() && name.back() == ' ') name.pop_back();
        return name;
    }
    return {};
}

}  // namespace platform
