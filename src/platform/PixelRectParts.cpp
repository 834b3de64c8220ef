#include "platform/PixelRectParts.h"

#include <algorithm>
#include <utility>

namespace platform {

std::vector<PixelRect> PartsOutside(int width, int height, const std::vector<PixelRect>& holes) {
    // Split the frame into horizontal bands at every hole's top and bottom; in each band, the spans
    // between the holes that cross it.
    std::vector<int> cuts{0, height};
    const PixelRect frame{0, 0, width, height};
    std::vector<PixelRect> clipped;
    for (const PixelRect& h : holes) {
        const PixelRect c = h.Intersect(frame);
        if (c.empty()) continue;
        clipped.push_back(c);
        cuts.push_back(c.top);
        cuts.push_back(c.bottom);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<PixelRect> parts;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const int top = cuts[i], bottom = cuts[i + 1];
        std::vector<std::pair<int, int>> blocked;
        for (const PixelRect& c : clipped) {
            if (c.top <= top && c.bottom >= bottom) blocked.emplace_back(c.left, c.right);
        }
        std::sort(blocked.begin(), blocked.end());
        int x = 0;
        for (const auto& [l, r] : blocked) {
            if (l > x) parts.push_back({x, top, l, bottom});
            x = std::max(x, r);
        }
        if (x < width) parts.push_back({x, top, width, bottom});
    }
    return parts;
}

std::vector<PixelRect> PartsOutside(const PixelRect& within, const std::vector<PixelRect>& holes) {
    std::vector<PixelRect> moved;
    moved.reserve(holes.size());
    for (const PixelRect& h : holes) {
        moved.push_back(
            {h.left - within.left, h.top - within.top, h.right - within.left, h.bottom - within.top});
    }
    std::vector<PixelRect> parts = PartsOutside(within.width(), within.height(), moved);
    for (PixelRect& p : parts) {
        p = {p.left + within.left, p.top + within.top, p.right + within.left, p.bottom + within.top};
    }
    return parts;
}

namespace {

// The spans of [0, size) that [from, from + length) covers, wrapped.
std::vector<std::pair<int, int>> WrappedSpans(int from, int length, int size) {
    if (length >= size) return {{0, size}};
    const int start = ((from % size) + size) % size;
    if (start + length <= size) return {{start, start + length}};
    return {{start, size}, {0, start + length - size}};
}

}  // namespace

std::vector<PixelRect> WrappedParts(const PixelRect& rect, int width, int height) {
    std::vector<PixelRect> parts;
    if (rect.empty() || width <= 0 || height <= 0) return parts;
    for (const auto& [top, bottom] : WrappedSpans(rect.top, rect.height(), height)) {
        for (const auto& [left, right] : WrappedSpans(rect.left, rect.width(), width)) {
            parts.push_back({left, top, right, bottom});
        }
    }
    return parts;
}

std::vector<PixelRect> WatchedParts(const std::vector<PixelRect>& areas, const PixelRect& area) {
    if (areas.empty()) return {area};
    std::vector<PixelRect> parts;
    for (const PixelRect& a : areas) {
        if (const PixelRect r = a.Intersect(area); !r.empty()) parts.push_back(r);
    }
    return parts;
}

std::vector<PixelRect> ChangedBoxes(const std::vector<PixelRect>& changed,
                                    const std::vector<PixelRect>& parts) {
    std::vector<PixelRect> boxes;
    for (const PixelRect& part : parts) {
        PixelRect box;
        for (const PixelRect& r : changed) {
            const PixelRect c = r.Intersect(part);
            if (c.empty()) continue;
            box = box.empty() ? c
                              : PixelRect{std::min(box.left, c.left), std::min(box.top, c.top),
                                          std::max(box.right, c.right), std::max(box.bottom, c.bottom)};
        }
        if (!box.empty()) boxes.push_back(box);
    }
    return boxes;
}

}  // namespace platform
