#pragma once
// What a monitor says about itself in its EDID block.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The monitor name of the base block's display descriptors (tag 0xFC), up to its line end, trailing
// blanks removed; empty when the block is too short or names no monitor.
std::string MonitorNameFromEdid(const uint8_t* edid, size_t size);

}  // namespace platform
