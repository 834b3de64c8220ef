#include "ui/ColorSelector.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "options/OptionText.h"

ColorSelector::ColorSelector(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAcceptedMouseButtons(Qt::LeftButton);
    setAcceptHoverEvents(true);
    // The item's cursor shows while the pointer is over it, the arrow elsewhere.
    setCursor(Qt::PointingHandCursor);
}

void ColorSelector::SetColor(const QColor& color) {
    const QColor c = color.toRgb();
    if (c.rgba() == color_.rgba()) return;  // all four bytes the same: the picker's echo
    color_ = c;
    emit colorPropertyChanged();
    update();
    emit colorChosen(color_);
}

void ColorSelector::paint(QPainter* painter) {
    const float w = static_cast<float>(width()), h = static_cast<float>(height());
    if (w <= 0 || h <= 0) return;
    // Squares of half the height: two rows, alternating along each row and from row to row.
    const float d = h * 0.5f;
    int row = 0;
    for (float y = 0; y < h; y += d, ++row) {
        int column = 0;
        for (float x = 0; x < w; x += d, ++column) {
            painter->fillRect(QRectF(x, y, d, d),
                              QColor::fromRgba((row + column) % 2 == 0 ? kLightSquare : kDarkSquare));
        }
    }
    painter->fillRect(QRectF(0, 0, w, h), color_);  // blended over the board by its alpha
}

void ColorSelector::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit pressed();
}

QColor ColorFromOptionText(const std::string& text) {
    const options::Color c = options::ParseColor(text);
    // Cut toward zero, as the page always has (0.5 is byte 127), but a byte written back as its six
    // decimals (127 as 0.498039, 126.99995 times 255) must read as itself, or every visit of the page
    // would darken the colour by one step: the text's rounding error (at most 0.00013 of a byte) is
    // allowed for. A hand-edited value outside 0..1 is held at the nearest end rather than wrapped.
    const auto byte = [](float v) {
        const float b = std::trunc(v * 255.0f + 0.001f);
        return b <= 0.0f ? 0 : b >= 255.0f ? 255 : static_cast<int>(b);
    };
    return QColor(byte(c.r), byte(c.g), byte(c.b), byte(c.a));
}

std::string OptionTextFromColor(const QColor& color) {
    const QColor c = color.toRgb();
    return options::ColorText(static_cast<float>(c.red()) / 255.0f, static_cast<float>(c.green()) / 255.0f,
                              static_cast<float>(c.blue()) / 255.0f, static_cast<float>(c.alpha()) / 255.0f);
}
