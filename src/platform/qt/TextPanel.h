#pragma once
// Text laid out and painted into an image: the editor's help panel. Any thread (the render thread
// paints it); the image is premultiplied B, G, R, A bytes with its rows from the bottom, ready to be
// uploaded as a texture.

#include <string>
#include <vector>

namespace platform {

struct RectF {
    float left = 0, top = 0, right = 0, bottom = 0;
};

struct ColorRgba {
    float r = 0, g = 0, b = 0, a = 0;
};

struct PanelPaint {
    RectF panel;  // the rounded rectangle
    float radius = 5;
    float stroke = 5;
    ColorRgba fill, outline, textColor;
    RectF textBox;  // the text's box; lines centred vertically in it
    std::u16string text;
    std::u16string family;
    float pixelSize = 26;
    bool drawText = true;
};

// The font families this system has, in its order.
std::vector<std::u16string> FontFamilies();

// The size of text laid out without a width limit, in pixels; {0, 0} for empty text.
struct TextSize {
    float width = 0, height = 0;
};
TextSize MeasureText(const std::u16string& text, const std::u16string& family, float pixelSize);

// width x height pixels, transparent but for the panel.
std::vector<unsigned char> PaintPanel(int width, int height, const PanelPaint& paint);

// The frame of the view in editor mode: a border of frameLeft pixels on the left, right and bottom and a
// caption strip frameTop pixels high with the title; the client area inside is left transparent.
std::vector<unsigned char> PaintFrame(int width, int height, int frameLeft, int frameTop,
                                      const std::u16string& title, const std::u16string& family);

}  // namespace platform
