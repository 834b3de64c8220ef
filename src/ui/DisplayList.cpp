#include "ui/DisplayList.h"

#include <cstdlib>
#include <utility>

#include "magnifier/MonitorList.h"

const char* DisplayIconFile(int direction) {
    switch (direction) {
        case kDisplayLeft:
            return "arrow-left-16.png";
        case kDisplayRight:
            return "arrow-right-16.png";
        case kDisplayUp:
            return "arrow-up-16.png";
        case kDisplayDown:
            return "arrow-down-16.png";
        default:
            return "display-16.png";
    }
}

int DirectionFrom(int cx0, int cy0, const platform::PixelRect& b) {
    // Centres by truncating division, as the reference centre is.
    const int cx = (b.left + b.right) / 2;
    const int dy = (b.top + b.bottom) / 2 - cy0;
    const int dx = cx - cx0;
    if (std::abs(dx) < std::abs(dy)) return dy > 0 ? kDisplayDown : kDisplayUp;
    return cx0 < cx ? kDisplayRight : kDisplayLeft;
}

QUrl MagnifyDisplayInfo::IconBase() { return QUrl(QStringLiteral("qrc:/LentoraApp/images/icons/")); }

MagnifyDisplayInfo::MagnifyDisplayInfo(QObject* parent) : QObject(parent), img_(IconBase()) {}

MagnifyDisplayInfo::MagnifyDisplayInfo(QString deviceName, QString displayName, int direction,
                                       QObject* parent)
    : QObject(parent),
      deviceName_(std::move(deviceName)),
      displayName_(std::move(displayName)),
      direction_(direction),
      img_(IconBase().resolved(QUrl(QString::fromLatin1(DisplayIconFile(direction))))) {}

namespace {

bool SameIgnoringCase(const std::u16string& a, const std::string& b) {
    return QString::fromStdU16String(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

std::vector<MagnifyDisplayInfo*> BuildDisplayNames(const std::vector<platform::OutputInfo>& outputs,
                                                   const std::vector<MonitorEntry>& monitors,
                                                   QObject* parent) {
    std::vector<MagnifyDisplayInfo*> items;
    if (monitors.empty()) return items;
    const platform::PixelRect& first = monitors.front().bounds;
    const int cx0 = (first.left + first.right) / 2, cy0 = (first.top + first.bottom) / 2;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const platform::OutputInfo& o = outputs[i];
        if (!o.attached) continue;  // its index still counts
        int direction = kDisplayPlain;
        if (i != 0) {
            for (const MonitorEntry& m : monitors) {
                if (SameIgnoringCase(m.deviceName, o.name)) direction = DirectionFrom(cx0, cy0, m.bounds);
            }
        }
        const std::string& shown = o.monitorName.empty() ? o.name : o.monitorName;
        items.push_back(new MagnifyDisplayInfo(QString::fromStdString(o.name), QString::fromStdString(shown),
                                               direction, parent));
    }
    return items;
}
