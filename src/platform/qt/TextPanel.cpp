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

namespace {

// ARGB32 in memory is B, G, R, A on this little-endian machine; rows are turned bottom first.
std::vector<unsigned char> BottomFirst(const QImage& image) {
    const int width = image.width(), height = image.height();
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<unsigned char> out(row * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::memcpy(&out[static_cast<size_t>(height - 1 - y) * row], image.constScanLine(y), row);
    }
    return out;
}

}  // namespace

std::vector<unsigned char> PaintFrame(int width, int height, int frameLeft, int frameTop,
                                      const std::u16string& title, const std::u16string& family) {
    if (width <= 0 || height <= 0) return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(48, 48, 52));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(QColor(110, 110, 118));
        painter.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(frameLeft, frameTop, width - 2 * frameLeft, height - frameTop - frameLeft),
                         Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setFont(MakeFont(family, static_cast<float>(frameTop - frameLeft) * 0.6f));
        painter.setPen(QColor(235, 235, 240));
        painter.drawText(QRectF(frameLeft + 6, frameLeft, width - 2 * frameLeft - 12, frameTop - frameLeft),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdU16String(title));
    }
    return BottomFirst(image);
}

std::vector<unsigned char> PaintPanel(int width, int height, const PanelPaint& p) {
    if (width <= 0 || height <= 0) return {};
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
    return BottomFirst(image);
}

}  // namespace platform
