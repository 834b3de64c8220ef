#include "platform/qt/TextPanel.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstring>

namespace platform {
namespace {

QFont MakeFont(const std::u16string& family, float pixelSize) {
    QFont f(QString::fromStdU16String(family));
    f.setPixelSize(static_cast<int>(pixelSize));
    f.setWeight(QFont::Normal);
    f.setStyle(QFont::StyleNormal);
    f.setStretch(QFont::Unstretched);
    return f;
}

QColor ToQColor(const ColorRgba& c) { return QColor::fromRgbF(c.r, c.g, c.b, c.a); }

}  // namespace

std::vector<std::u16string> FontFamilies() {
    std::vector<std::u16string> out;
    for (const QString& f : QFontDatabase::families()) out.push_back(f.toStdU16String());
    return out;
}

TextSize MeasureText(const std::u16string& text, const std::u16string& family, float pixelSize) {
    if (text.empty()) return {};
    const QFontMetricsF m(MakeFont(family, pixelSize));
    const QRectF r =
        m.boundingRect(QRectF(0, 0, 1e7, 1e7), Qt::AlignLeft | Qt::AlignTop, QString::fromStdU16String(text));
    return {static_cast<float>(r.width()), static_cast<float>(r.height())};
}

std::vector<unsigned char> PaintPanel(int width, int height, const PanelPaint& p) {
    std::vector<unsigned char> out;
    if (width <= 0 || height <= 0) return out;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QRectF panel(QPointF(p.panel.left, p.panel.top), QPointF(p.panel.right, p.panel.bottom));
        QPainterPath path;
        path.addRoundedRect(panel, p.radius, p.radius);
        painter.fillPath(path, ToQColor(p.fill));
        painter.strokePath(path, QPen(ToQColor(p.outline), p.stroke));
        if (p.drawText) {
            painter.setFont(MakeFont(p.family, p.pixelSize));
            painter.setPen(ToQColor(p.textColor));
            const QRectF box(QPointF(p.textBox.left, p.textBox.top),
                             QPointF(p.textBox.right, p.textBox.bottom));
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdU16String(p.text));
        }
    }
    // ARGB32 in memory is B, G, R, A on this little-endian machine; rows are turned bottom first.
    const size_t row = static_cast<size_t>(width) * 4;
    out.resize(row * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::memcpy(&out[static_cast<size_t>(height - 1 - y) * row], image.constScanLine(y), row);
    }
    return out;
}

}  // namespace platform
