// The colour selector: the page's text conversions, the no-echo rule with its one announcement per
// change, and the swatch over its checkerboard.
#include "ui/ColorSelector.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSignalSpy>

namespace {

TEST(ColorSelector, OptionTextConversions) {
    struct Case {
        const char* text;
        QColor color;
        const char* back;
    } cases[] = {
        {"[0.500000, 0.250000, 1.000000, 0.000000]", QColor(127, 63, 255, 0),
         "[0.498039, 0.247059, 1.000000, 0.000000]"},
        {"[1.000000, 1.000000, 1.000000, 1.000000]", QColor(255, 255, 255, 255),
         "[1.000000, 1.000000, 1.000000, 1.000000]"},
        {"[0.999, 0.0039, 0.00392157, 0.2]", QColor(254, 0, 1, 51),
         "[0.996078, 0.000000, 0.003922, 0.200000]"},
        // Held at the ends, never wrapped; text that does not parse reads as zeros.
        {"[1.5, -0.2, 2, 7]", QColor(255, 0, 255, 255), "[1.000000, 0.000000, 1.000000, 1.000000]"},
        {"red", QColor(0, 0, 0, 0), "[0.000000, 0.000000, 0.000000, 0.000000]"},
    };
    for (const Case& c : cases) {
        const QColor color = ColorFromOptionText(c.text);
        EXPECT_EQ(color.rgba(), c.color.rgba()) << c.text;
        EXPECT_EQ(OptionTextFromColor(color), c.back) << c.text;
        // What was written reads back to the same bytes.
        EXPECT_EQ(ColorFromOptionText(OptionTextFromColor(color)).rgba(), color.rgba()) << c.text;
    }
    // Every byte survives the page's write-back at each visit: no drift, however often it is opened.
    for (int v = 0; v < 256; ++v) {
        const QColor color(v, 255 - v, (v * 7) % 256, v);
        EXPECT_EQ(ColorFromOptionText(OptionTextFromColor(color)).rgba(), color.rgba()) << v;
    }
}

TEST(ColorSelector, AnnouncesEachChangeOnceAndNoEcho) {
    ColorSelector selector;
    QSignalSpy changed(&selector, &ColorSelector::colorChosen);
    EXPECT_EQ(selector.Color().rgba(), 0xFFFFFFFFu);  // white at first
    selector.SetColor(Qt::white);
    selector.SetColor(QColor(255, 0, 0, 200));
    selector.SetColor(QColor(255, 0, 0, 200));  // the picker's echo
    selector.SetColor(QColor(255, 0, 0, 201));  // alpha alone counts
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[0][0].value<QColor>().rgba(), QColor(255, 0, 0, 200).rgba());
    EXPECT_EQ(changed[1][0].value<QColor>().rgba(), QColor(255, 0, 0, 201).rgba());
    EXPECT_EQ(selector.property("color").value<QColor>().rgba(), QColor(255, 0, 0, 201).rgba());
}

TEST(ColorSelector, SwatchOverACheckerboardOfHalfHeightSquares) {
    ColorSelector selector;
    selector.setSize(QSizeF(40, 16));  // squares of 8: two rows of five
    const auto paint = [&](const QColor& color) {
        selector.SetColor(color);
        QImage image(40, 16, QImage::Format_ARGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        selector.paint(&painter);
        return image;
    };
    const QImage clear = paint(QColor(0, 0, 0, 0));
    const struct {
        int x, y;
        QRgb rgb;
    } squares[] = {{0, 0, ColorSelector::kLightSquare},  {8, 0, ColorSelector::kDarkSquare},
                   {39, 0, ColorSelector::kLightSquare}, {0, 8, ColorSelector::kDarkSquare},
                   {8, 8, ColorSelector::kLightSquare},  {39, 15, ColorSelector::kDarkSquare}};
    for (const auto& s : squares) EXPECT_EQ(clear.pixel(s.x, s.y), s.rgb) << s.x << "," << s.y;
    // Half-transparent red over both kinds of square: two different reds, both between.
    const QImage half = paint(QColor(255, 0, 0, 128));
    const QColor overLight = half.pixelColor(0, 0), overDark = half.pixelColor(8, 0);
    EXPECT_EQ(overLight.red(), 255);
    EXPECT_NEAR(overLight.green(), 127, 2);
    EXPECT_NE(overLight.green(), overDark.green());
    EXPECT_EQ(paint(QColor(10, 20, 30)).pixel(8, 8), QColor(10, 20, 30).rgba());  // opaque hides the board
}

}  // namespace
