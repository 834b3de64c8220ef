#pragma once
// What every copy of the screen from the root window has: its own connection with the extensions
// checked (MIT-SHM, XDamage, XFixes 2, RandR), the copied area and a shared-memory image of it, the
// root's damage outside the ignored areas (the program's own windows), and the screen's configuration
// changes. One thread at a time.

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <vector>

#include "platform/CallFailure.h"
#include "platform/PixelRect.h"
#include "platform/x11/ShmImage.h"
#include "platform/x11/XConnection.h"
#include "platform/x11/XResource.h"

namespace platform::x11 {

class RootCopy {
public:
    // area: in pixels of the virtual desktop, inside the screen. False with the failing call.
    bool Init(const PixelRect& area, CallFailure* failure);

    XConnection& connection() { return connection_; }
    const PixelRect& area() const { return area_; }
    XImage* image() const { return image_.get(); }
    const std::vector<PixelRect>& ignoredAreas() const { return ignoredAreas_; }
    // The screen's configuration changed: the copy is lost for good.
    bool lost() const { return lost_; }

    // Takes an event read from the connection if it is one of the root copy's (root damage, screen
    // change); false for any other.
    bool HandleEvent(const XEvent& event);
    // Whether the root changed outside the ignored areas since the last look; takes its damage. With
    // all set, takes all of it and says yes. X errors are left to be taken.
    bool TakeDamage(bool all);
    // The area of the root into image().
    bool Copy(CallFailure* failure);
    // False when the list is the one in use.
    bool SetIgnoredAreas(std::vector<PixelRect> areas);

private:
    using Region = XResource<XFixesDestroyRegion>;
    using DamageObject = XResource<XDamageDestroy>;

    XConnection connection_;  // first member: closed after everything made on it
    PixelRect area_;
    ShmImage image_;
    DamageObject damage_;
    Region areaRegion_;  // area
    Region ignored_;     // the ignored areas inside area
    Region watched_;     // area minus the ignored areas
    Region damaged_;     // the damage taken at the last look
    std::vector<PixelRect> ignoredAreas_;
    int damageEventBase_ = 0;
    int randrEventBase_ = 0;
    bool notified_ = false;  // a damage event came since the damage was last taken
    bool lost_ = false;
};

}  // namespace platform::x11
