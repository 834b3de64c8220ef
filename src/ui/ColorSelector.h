#pragma once
// The small control with which the Profile page edits the mask's colours: a swatch of the colour over a
// checkerboard, so that a translucent colour shows as such, with a hand cursor; a press asks the markup
// to open its picker (pressed). Setting the colour it already has does nothing, which ends the echo
// between the picker and the control; any other colour is stored, redrawn and announced by
// colorChosen. It knows nothing of options: the page converts (ColorFromOptionText and back).

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QQuickPaintedItem>
#include <string>

class ColorSelector : public QQuickPaintedItem {
    Q_OBJECT
    // The markup ColorSelector.qml puts it together with its picker.
    QML_NAMED_ELEMENT(ColorSwatch)
    Q_PROPERTY(QColor color READ Color WRITE SetColor NOTIFY colorPropertyChanged)
public:
    // The checkerboard's two colours.
    static constexpr QRgb kLightSquare = 0xFFFFFFFF, kDarkSquare = 0xFFBFBFBF;

    explicit ColorSelector(QQuickItem* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    void paint(QPainter* painter) override;

signals:
    void colorPropertyChanged();
    // Every change of the colour, once: the control's ColorChanged event (QML handlers need a signal
    // name in lower case, and colorChanged would be the property's).
    void colorChosen(QColor color);
    // A press on the swatch: the markup opens the picker anchored here.
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor color_{255, 255, 255, 255};
};

// The page's conversions for profile.mask.outer_color and profile.mask.trans_color ("[r, g, b, a]" in
// 0..1): each byte is the component times 255, cut toward zero in single precision (a written byte reads
// back as itself); back, each byte over 255 in single precision with six decimals (so 0.5 comes back as
// 0.498039, and stays so).
QColor ColorFromOptionText(const std::string& text);
std::string OptionTextFromColor(const QColor& color);
