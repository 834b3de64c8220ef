#pragma once
// What every copy of the screen from the root window has: its own connection with the extensions
// checked (MIT-SHM, XDamage, XFixes 2, RandR), the copied area and the frame that holds its copy, the
// root's damage inside the watched parts and outside the ignored areas (the program's own windows),
// and the screen's configuration changes. Parts are copied through a shared-memory image one at a
// time, so a change costs in proportion to its size, not the area's. One thread at a time.

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
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
    // The copy of the area: area-sized rows of 4-byte pixels (B, G, R, X).
    uint32_t* frame() { return frame_.data(); }
    const std::vector<PixelRect>& ignoredAreas() const { return ignoredAreas_; }
    // The watched parts, clipped to the area; the whole area when none were given.
    const std::vector<PixelRect>& watchedParts() const { return watchedParts_; }
    // The screen's configuration changed: the copy is lost for good.
    bool lost() const { return lost_; }

    // The connection's descriptor, and whether sleeping on it is safe (requests sent, no event read
    // and left waiting).
    int EventFd() const;
    bool ReadyToWait();

    // Takes an event read from the connection if it is one of the root copy's (root damage, screen
    // change); false for any other.
    bool HandleEvent(const XEvent& event);
    // Takes the damage of a window under the ignored areas, whose inside starts at (left, top) on the
    // desktop: it counts wherever it lies, the ignored areas included.
    void AddDamage(Damage windowDamage, int left, int top);
    // What the next copy takes, in desktop coordinates: the whole area the first time; every watched
    // part when all is set or a part may show what was never copied (the lists changed, a copy failed,
    // CopyAllNext); else the boxes of what changed (TakeDamage).
    std::vector<PixelRect> PartsToCopy(bool all);
    void CopyAllNext() { copyAll_ = true; }
    // The parts were copied: they become changedParts() (area coordinates).
    void Copied(const std::vector<PixelRect>& parts);
    const std::vector<PixelRect>& changedParts() const { return changed_; }

    // Takes the damage and says what to copy: for each watched part, the bounding box of what changed
    // in it outside the ignored areas, or in the windows under them (none when nothing did). With all
    // set, every watched part. Desktop coordinates. X errors are left to be taken.
    std::vector<PixelRect> TakeDamage(bool all);
    // One part of the root (inside the area) into the frame, except where it meets keep.
    bool Copy(const PixelRect& part, const std::vector<PixelRect>& keep, CallFailure* failure);
    // False when the list is the one in use; a different list copies every watched part next time.
    bool SetIgnoredAreas(std::vector<PixelRect> areas);
    bool SetWatchedAreas(std::vector<PixelRect> areas);

private:
    using Region = XResource<XFixesDestroyRegion>;
    using DamageObject = XResource<XDamageDestroy>;

    XConnection connection_;  // first member: closed after everything made on it
    PixelRect area_;
    ShmImage image_;
    DamageObject damage_;
    void UpdateWatchedRegion();
    std::vector<PixelRect> ToArea(std::vector<PixelRect> parts) const;  // desktop to area coordinates

    std::vector<uint32_t> frame_;
    Region watchedAll_;     // the watched parts
    Region ignored_;        // the ignored areas inside area
    Region watched_;        // the watched parts minus the ignored areas
    Region damaged_;        // the damage taken at the last look
    Region windowDamaged_;  // the damage of windows under the ignored areas since the last look
    Region scratch_;
    std::vector<PixelRect> ignoredAreas_;
    std::vector<PixelRect> watchedAreas_;  // as given
    std::vector<PixelRect> watchedParts_;
    int damageEventBase_ = 0;
    int randrEventBase_ = 0;
    bool copyAll_ = true;             // copy every watched part at the next look
    bool firstCopy_ = true;           // copy the whole area
    std::vector<PixelRect> changed_;  // of the last copy, area coordinates
    bool notified_ = false;           // a damage event came since the damage was last taken
    bool windowNotified_ = false;     // windowDamaged_ is not empty
    bool lost_ = false;
};

}  // namespace platform::x11
