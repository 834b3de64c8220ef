#pragma once
// A full-screen window of coloured blocks whose colours follow from their position, so a test can say
// what any point of the screen must show.

#include <QColor>
#include <QPainter>
#include <QRasterWindow>
#include <QTest>

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

// The pattern over the whole 1920 x 1080 screen, drawn by the time this returns; null when it never
// showed.
inline PatternWindow* ShowPatternFullScreen() {
    auto* w = new PatternWindow;
    w->setFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    w->setGeometry(0, 0, 1920, 1080);
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) {
        delete w;
        return nullptr;
    }
    QTest::qWait(300);  // the server finishes drawing before anything copies it
    return w;
}
