#include "magnifier/ViewGeometry.h"

#include <algorithm>
#include <cmath>

using platform::PixelRect;

PixelRect ViewGeometry::ViewRect(const PixelRect& r, IntPair targetOffset, IntPair targetSize) {
    const float W = static_cast<float>(r.right - r.left), H = static_cast<float>(r.bottom - r.top);
    const float cx =
        (static_cast<float>(targetOffset.x) / 1000.0f + 50.0f) * W / 100.0f + static_cast<float>(r.left);
    const float cy =
        (static_cast<float>(targetOffset.y) / 1000.0f + 50.0f) * H / 100.0f + static_cast<float>(r.top);
    const float hw = (static_cast<float>(targetSize.x) / 1000.0f) * W / 200.0f;
    const float hh = (static_cast<float>(targetSize.y) / 1000.0f) * H / 200.0f;
    return {static_cast<int>(std::trunc(cx - hw)), static_cast<int>(std::trunc(cy - hh)),
            static_cast<int>(std::trunc(cx + hw)), static_cast<int>(std::trunc(cy + hh))};
}

ViewGeometry::Placement ViewGeometry::PlacementOf(const PixelRect& D, const PixelRect& V) {
    const float W = static_cast<float>(D.right - D.left), H = static_cast<float>(D.bottom - D.top);
    const float w = static_cast<float>(V.right - V.left), h = static_cast<float>(V.bottom - V.top);
    const auto ox = static_cast<int32_t>(std::trunc(
        (static_cast<float>(V.left - D.left) * 100.0f / W + (w * 100.0f / W) * 0.5f - 50.0f) * 1000.0f));
    const auto oy = static_cast<int32_t>(std::trunc(
        (static_cast<float>(V.top - D.top) * 100.0f / H + (h * 100.0f / H) * 0.5f - 50.0f) * 1000.0f));
    const auto sw = static_cast<int32_t>(std::trunc((w * 100.0f / W) * 1000.0f));
    const auto sh = static_cast<int32_t>(std::trunc((h * 100.0f / H) * 1000.0f));
    return {{ox, oy}, {sw, sh}};
}

PixelRect ViewGeometry::SourceRect(const PixelRect& R, IntPair sourceOffset, int magnification, int Wt,
                                   int Ht) {
    const float cx = static_cast<float>((R.right - R.left) / 2 + sourceOffset.x);
    const float cy = static_cast<float>((R.bottom - R.top) / 2 + sourceOffset.y);
    const float z = static_cast<float>(EffectiveMagnification(magnification)) / 100.0f;
    const float hw = (static_cast<float>(Wt) / z) * 0.5f, hh = (static_cast<float>(Ht) / z) * 0.5f;
    return {static_cast<int>(std::round(cx - hw)), static_cast<int>(std::round(cy - hh)),
            static_cast<int>(std::round(cx + hw)), static_cast<int>(std::round(cy + hh))};
}

uint8_t ViewGeometry::OverlapAlpha(const PixelRect& main, const PixelRect& view) {
    const long long iw = std::min(main.right, view.right) - std::max(main.left, view.left);
    const long long ih = std::min(main.bottom, view.bottom) - std::max(main.top, view.top);
    const long long area = static_cast<long long>(main.right - main.left) * (main.bottom - main.top);
    if (iw <= 0 || ih <= 0 || area <= 0) return 255;
    return static_cast<uint8_t>(255 - (iw * ih * 255) / area);
}

std::vector<PixelRect> ViewGeometry::MaskShape(int W, int H, int maskType, float maskDist,
                                               float transitionDist) {
    std::vector<PixelRect> parts;
    if (W <= 0 || H <= 0) return parts;
    if (maskType == 1) {
        const double r = (maskDist + transitionDist * 0.5) * std::min(W, H);
        const double cx = W * 0.5, cy = H * 0.5;
        for (int y = 0; y < H; ++y) {
            const double dy = y + 0.5 - cy;
            if (std::abs(dy) >= r) continue;
            const double half = std::sqrt(r * r - dy * dy);
            const PixelRect row{std::max(0, static_cast<int>(std::floor(cx - half))), y,
                                std::min(W, static_cast<int>(std::ceil(cx + half))), y + 1};
            // Rows of the same width make one rectangle.
            if (!parts.empty() && parts.back().left == row.left && parts.back().right == row.right &&
                parts.back().bottom == y) {
                parts.back().bottom = y + 1;
            } else {
                parts.push_back(row);
            }
        }
        if (parts.empty()) parts.push_back({0, 0, 1, 1});
    } else if (maskType == 2) {
        const double half = maskDist + transitionDist * 0.5;
        const int hw = static_cast<int>(std::ceil(half * W)), hh = static_cast<int>(std::ceil(half * H));
        parts.push_back({std::max(0, W / 2 - hw), std::max(0, H / 2 - hh), std::min(W, W / 2 + hw),
                         std::min(H, H / 2 + hh)});
    }
    return parts;
}
