#pragma once
// The monitors of the desktop, filled once on first use and constant afterwards: displays connected
// later are not in it. Entry 0 is the reference display and the fallback for unknown names.
// Filled on the UI thread before the render thread starts; readers take no lock.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/PixelRect.h"

struct MonitorEntry {
    uint64_t handle = 0;
    platform::PixelRect bounds{};
    std::u16string deviceName;  // the output's name, for example HDMI-1
};

class MonitorList {
public:
    using Provider = std::function<std::vector<MonitorEntry>()>;

    // Fills the list if it is empty.
    static void EnsureMonitorList();
    static size_t Count();
    static const MonitorEntry& At(size_t index);
    static const MonitorEntry& First();
    // The entry of a handle, or nullptr.
    static const MonitorEntry* FindHandle(uint64_t handle);
    // The entry whose bounds hold most of the rectangle, or nullptr when it touches none.
    static const MonitorEntry* FromRect(const platform::PixelRect& rect);

    // Where the list comes from (the X server by default); setting it empties the list. For tests.
    static void SetProvider(Provider provider);
};
