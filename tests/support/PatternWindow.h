#pragma once
// A full-screen window of coloured blocks whose colours follow from their position, so a test can say
// what any point of the screen must show.

#include <QColor>
#include <QPainter>
#include <QRasterWindow>

constexpr int kBlock = 24;

struct Rgb {
    int r, g, b;
};

inline Rgb PatternAt(int x, int y) {
    const int bx = x / kBlock, by = y / kBlock;
    return {(bx * 47) % 256, (by * 83) % 256, (bx * 13 + by * 29) % 256};
}

class PatternWindow : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        for (int y = 0; y < height(); y += kBlock) {
            for (int x = 0; x < width(); x += kBlock) {
                const Rgb c = PatternAt(x, y);
                p.fillRect(x, y, kBlock, kBlock, QColor(c.r, c.g, c.b));
            }
        }
    }
};
