#pragma once
// The displays the Profile page offers in its two selectors: one item per output attached to the
// desktop, in the order the X server lists its outputs, named by the monitor's own name (else the
// output's), with an icon pointing from the reference display (the first of the monitor list) towards
// it.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QUrl>
#include <string>
#include <vector>

#include "platform/MonitorInfo.h"

struct MonitorEntry;

// The icon choice of an item; any other value shows the plain display.
enum DisplayDirection : int {
    kDisplayPlain = 0,
    kDisplayLeft = 1,
    kDisplayRight = 2,
    kDisplayUp = 3,
    kDisplayDown = 4
};

// The icon file of a direction, in images/icons/ of the program's resources.
const char* DisplayIconFile(int direction);

// Where a display lies seen from the reference centre (cx0, cy0), by the rule of the selectors:
// mostly vertical (strictly) gives up or down, otherwise left or right; the same centre gives left.
int DirectionFrom(int cx0, int cy0, const platform::PixelRect& bounds);

class MagnifyDisplayInfo : public QObject {
    Q_OBJECT
    QML_ELEMENT
    // QML's property names start in lower case.
    Q_PROPERTY(QUrl img READ Img CONSTANT)
    Q_PROPERTY(QString deviceName READ DeviceName CONSTANT)
    Q_PROPERTY(QString displayName READ DisplayName CONSTANT)
public:
    explicit MagnifyDisplayInfo(QObject* parent = nullptr);
    MagnifyDisplayInfo(QString deviceName, QString displayName, int direction, QObject* parent = nullptr);

    QUrl Img() const { return img_; }
    QString DeviceName() const { return deviceName_; }
    QString DisplayName() const { return displayName_; }
    int direction() const { return direction_; }

    // The folder of the icons; a default-made item's Img.
    static QUrl IconBase();

private:
    QString deviceName_, displayName_;
    int direction_ = kDisplayPlain;
    QUrl img_;
};

// One item per attached output (outputs in the X server's order), directions measured against the
// first monitor; the first output listed gets the plain icon, and so does one that no monitor matches
// (by name, without regard to case; the last match decides). Items are children of parent.
std::vector<MagnifyDisplayInfo*> BuildDisplayNames(const std::vector<platform::OutputInfo>& outputs,
                                                   const std::vector<MonitorEntry>& monitors,
                                                   QObject* parent);
