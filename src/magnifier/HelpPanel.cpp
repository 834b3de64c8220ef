#include "magnifier/HelpPanel.h"

#include <cmath>

#include "platform/OverlayWindow.h"
#include "platform/qt/TextPanel.h"
#include "render/RenderEngine.h"
#include "render/RenderTexture.h"
#include "text/WideText.h"

namespace {

constexpr float kTextSize = 26;
const platform::ColorRgba kTextColor{0, 0, 0, 1};
const platform::ColorRgba kOutlineColor{0.1f, 0.1f, 0.1f, 0.8f};
const platform::ColorRgba kPanelColor{1.0f, 0.88235295f, 0.6039216f, 0.9f};
constexpr auto kShowAgainEvery = std::chrono::milliseconds(500);

}  // namespace

std::u16string HelpPanel::ChooseFont(const std::vector<std::u16string>& families) {
    if (families.empty()) return u"Arial";
    // The first family of the design, then what Linux desktops commonly have, then a fixed-width one.
    for (const char16_t* wanted : {u"Segoe UI", u"Noto Sans", u"DejaVu Sans", u"Cantarell", u"Consolas"}) {
        for (const std::u16string& f : families) {
            if (text::EqualsIgnoreAsciiCase(f, wanted)) return f;
        }
    }
    return families.front();
}

void HelpPanel::Layout(const std::u16string& text) {
    if (fontFamily_.empty()) fontFamily_ = ChooseFont(platform::FontFamilies());
    const platform::TextSize size = platform::MeasureText(text, fontFamily_, kTextSize);
    const float w = std::round(size.width + 26), h = std::round(size.height + 26);
    rect_[0] = 0, rect_[1] = 0, rect_[2] = w, rect_[3] = h;
}

void HelpPanel::Draw(RenderEngine& engine, RenderTexture& target, platform::IOverlayWindow* window,
                     const platform::PixelRect& display, const std::u16string& text, uint64_t revision) {
    const int dw = display.right - display.left, dh = display.bottom - display.top;
    if (dw <= 0 || dh <= 0) return;
    if (!target.Resize(static_cast<uint32_t>(dw), static_cast<uint32_t>(dh))) return;
    if (dw != contextWidth_ || dh != contextHeight_) {
        contextWidth_ = dw, contextHeight_ = dh;
        imageDirty_ = true;
    }
    if (!laidOut_ || revision != laidOutRevision_) {
        Layout(text);
        laidOut_ = true;
        laidOutRevision_ = revision;
        imageDirty_ = true;
    }
    if (imageDirty_) {
        // The panel changes only with the language or the display; every frame shows the same picture.
        const float L = rect_[0], T = rect_[1], R = rect_[2], B = rect_[3];
        const float e = (static_cast<float>(dw) - (R + 260 - L)) * 0.5f;
        platform::PanelPaint paint;
        paint.panel = {L + e, T, R + 260 + e, B + 52};
        paint.fill = kPanelColor;
        paint.outline = kOutlineColor;
        paint.textColor = kTextColor;
        paint.textBox = {paint.panel.left + 130, paint.panel.top + 26, paint.panel.left + 130 + (R - L),
                         paint.panel.top + 26 + (B - T)};
        paint.text = text;
        paint.family = fontFamily_;
        paint.pixelSize = kTextSize;
        const std::vector<unsigned char> image = platform::PaintPanel(dw, dh, paint);
        engine.Upload(target, image.data(), dw * 4, false);
        if (window != nullptr) {
            // Without a compositing manager only the panel may show; with one, the rest is clear anyway.
            const int m = 3;  // half the outline reaches outside the panel
            window->SetShape(
                {{static_cast<int>(std::floor(paint.panel.left)) - m, static_cast<int>(paint.panel.top),
                  static_cast<int>(std::ceil(paint.panel.right)) + m,
                  static_cast<int>(std::ceil(paint.panel.bottom)) + m}});
        }
        imageDirty_ = false;
        presentedAt_ = {};
    }
    // The picture does not change between frames: it is shown again only now and then, in case
    // something was drawn over it (a full-display texture is not free on a software renderer).
    const auto now = std::chrono::steady_clock::now();
    if (now - presentedAt_ < kShowAgainEvery) return;
    presentedAt_ = now;
    if (window != nullptr) engine.PresentToWindow(target, *window, 255);
}
