#include "shell/WindowPlacement.h"

#include "magnifier/MonitorList.h"
#include "options/OptionText.h"

std::optional<WindowPosition> MainWindowPosition(const std::string& storedRect, int width, int height) {
    // Four numbers read as floats, the scan colours use; the third and fourth only tell whether to centre.
    const options::Color stored = options::ParseColor(storedRect);
    float x = stored.r, y = stored.g;
    if (x == stored.b && y == stored.a) {
        const platform::PixelRect& d = MonitorList::First().bounds;
        x = static_cast<float>(d.left) + static_cast<float>(d.right - d.left - width) * 0.5f;
        y = static_cast<float>(d.top) + static_cast<float>(d.bottom - d.top - height) * 0.5f;
    }
    const WindowPosition p{static_cast<int>(x), static_cast<int>(y)};
    if (MonitorList::FromRect({p.x, p.y, p.x + width, p.y + height}) == nullptr) return std::nullopt;
    return p;
}
