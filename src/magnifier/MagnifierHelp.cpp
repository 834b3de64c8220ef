#include <cmath>

#include "magnifier/MagnifierDisplay.h"
#include "platform/OverlayWindow.h"
#include "platform/TextPanel.h"
#include "render/RenderEngine.h"
#include "render/RenderTexture.h"
#include "text/WideText.h"

namespace {

constexpr float kTextSize = 26;
const platform::ColorRgba kTextColor{0, 0, 0, 1};
const platform::ColorRgba kOutlineColor{0.1f, 0.1f, 0.1f, 0.8f};
const platform::ColorRgba kPanelColor{1.0f, 0.88235295f, 0.6039216f, 0.9f};

}  // namespace

std::u16string MagnifierDisplay::ChooseHelpFont(const std::vector<std::u16string>& families) {
    if (families.empty()) return u"Arial";
    // The first family of the design, then what Linux desktops commonly have, then a fixed-width one.
    for (const char16_t* wanted : {u"Segoe UI", u"Noto Sans", u"DejaVu Sans", u"Cantarell", u"Consolas"}) {
        for (const std::u16string& f : families) {
            if (text::EqualsIgnoreAsciiCase(f, wanted)) return f;
        }
    }
    return families.front();
}

void MagnifierDisplay::BuildHelpLayout() {
    if (helpFontFamily.empty()) helpFontFamily = ChooseHelpFont(platform::FontFamilies());
    const platform::TextSize size = platform::MeasureText(helpText, helpFontFamily, kTextSize);
    const float w = std::round(size.width + 26), h = std::round(size.height + 26);
    helpRect[0] = 0, helpRect[1] = 0, helpRect[2] = w, helpRect[3] = h;
    helpLayout = true;
}

void MagnifierDisplay::DrawHelp() {
    const platform::PixelRect R = DisplayRect(targetIndex);
    const int dw = R.right - R.left, dh = R.bottom - R.top;
    if (dw <= 0 || dh <= 0 || !helpTarget) return;
    if (!helpTarget->Resize(static_cast<uint32_t>(dw), static_cast<uint32_t>(dh))) return;
    if (dw != helpContextWidth || dh != helpContextHeight) {
        helpContextWidth = dw, helpContextHeight = dh;
        helpImageDirty_ = true;
    }
    if (!helpLayout) {
        BuildHelpLayout();
        helpImageDirty_ = true;
    }
    if (helpImageDirty_) {
        // The panel changes only with the language or the display; every frame shows the same picture.
        const float L = helpRect[0], T = helpRect[1], Rr = helpRect[2], B = helpRect[3];
        const float e = (static_cast<float>(dw) - (Rr + 260 - L)) * 0.5f;
        platform::PanelPaint paint;
        paint.panel = {L + e, T, Rr + 260 + e, B + 52};
        paint.fill = kPanelColor;
        paint.outline = kOutlineColor;
        paint.textColor = kTextColor;
        paint.textBox = {paint.panel.left + 130, paint.panel.top + 26, paint.panel.left + 130 + (Rr - L),
                         paint.panel.top + 26 + (B - T)};
        paint.text = helpText;
        paint.family = helpFontFamily;
        paint.pixelSize = kTextSize;
        const std::vector<unsigned char> image = platform::PaintPanel(dw, dh, paint);
        engine->Upload(*helpTarget, image.data(), dw * 4, false);
        if (helpWindow) {
            // Without a compositing manager only the panel may show; with one, the rest is clear anyway.
            const int m = 3;  // half the outline reaches outside the panel
            helpWindow->SetShape({{static_cast<int>(std::floor(paint.panel.left)) - m, static_cast<int>(paint.panel.top),
                                   static_cast<int>(std::ceil(paint.panel.right)) + m,
                                   static_cast<int>(std::ceil(paint.panel.bottom)) + m}});
        }
        helpImageDirty_ = false;
        helpPresentedAt_ = {};
    }
    // The picture does not change between frames: it is shown again only now and then, in case
    // something was drawn over it (a full-display texture is not free on a software renderer).
    const auto now = std::chrono::steady_clock::now();
    if (now - helpPresentedAt_ < std::chrono::milliseconds(500)) return;
    helpPresentedAt_ = now;
    UpdateLayered(*helpTarget, helpWindow.get(), 255);
}
