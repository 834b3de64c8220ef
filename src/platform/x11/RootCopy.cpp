#include "platform/x11/RootCopy.h"

#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>
#include <string>
#include <utility>

#include "platform/PixelRectParts.h"

namespace platform::x11 {
namespace {

XRectangle ToXRectangle(const PixelRect& r) {
    return {static_cast<short>(r.left), static_cast<short>(r.top), static_cast<unsigned short>(r.width()),
            static_cast<unsigned short>(r.height())};
}

// Clipped to the area first, so that every rectangle fits the 16-bit fields.
std::vector<XRectangle> ToXRectangles(const std::vector<PixelRect>& rects, const PixelRect& area) {
    std::vector<XRectangle> out;
    for (const PixelRect& a : rects) {
        const PixelRect r = a.Intersect(area);
        if (!r.empty()) out.push_back(ToXRectangle(r));
    }
    return out;
}

}  // namespace

bool RootCopy::Init(const PixelRect& area, CallFailure* f) {
    area_ = area;
    connection_ = XConnection::Open();
    if (!connection_) {
        *f = {"XOpenDisplay", 0};
        return false;
    }
    Display* d = connection_.display();
    const Window root = connection_.root();
    int errorBase = 0, major = 0, minor = 0;
    if (!XShmQueryExtension(d)) {
        *f = {"XShmQueryExtension", 0};
        return false;
    }
    if (!XDamageQueryExtension(d, &damageEventBase_, &errorBase)) {
        *f = {"XDamageQueryExtension", 0};
        return false;
    }
    if (!XDamageQueryVersion(d, &major, &minor)) {
        *f = {"XDamageQueryVersion", 0};
        return false;
    }
    if (!XFixesQueryExtension(d, &errorBase, &errorBase)) {
        *f = {"XFixesQueryExtension", 0};
        return false;
    }
    // Regions came with version 2; the server refuses them to clients that asked for less.
    if (!XFixesQueryVersion(d, &major, &minor) || major < 2) {
        *f = {"XFixesQueryVersion", major};
        return false;
    }
    if (!XRRQueryExtension(d, &randrEventBase_, &errorBase)) {
        *f = {"XRRQueryExtension", 0};
        return false;
    }
    // Selected before the screen's size is read, so that no change can slip in between.
    connection_.Name("XRRSelectInput");
    XRRSelectInput(d, root, RRScreenChangeNotifyMask);

    Window rootOfRoot = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    connection_.Name("XGetGeometry");
    if (!XGetGeometry(d, root, &rootOfRoot, &x, &y, &width, &height, &border, &depth)) {
        const auto e = connection_.TakeError();
        *f = {"XGetGeometry", e ? e->code : 0};
        return false;
    }
    const PixelRect screen{0, 0, static_cast<int>(width), static_cast<int>(height)};
    if (area_.empty() || !screen.Contains(area_)) {
        *f = {"check capture area", 0};
        return false;
    }

    std::string call;
    int code = 0;
    const int screenNumber = DefaultScreen(d);
    image_ = ShmImage::Create(connection_, DefaultVisual(d, screenNumber),
                              static_cast<unsigned>(DefaultDepth(d, screenNumber)), area_.width(),
                              area_.height(), &call, &code);
    if (!image_) {
        *f = {call, code};
        return false;
    }
    const XImage* im = image_.get();
    // B, G, R, X bytes: what the renderer uploads as it stands.
    if (im->bits_per_pixel != 32 || im->byte_order != LSBFirst || im->red_mask != 0xFF0000 ||
        im->green_mask != 0xFF00 || im->blue_mask != 0xFF) {
        *f = {"check pixel format", im->depth};
        return false;
    }

    // Non-empty reports: one event until the damage is taken, and the damage itself says where.
    connection_.Name("XDamageCreate");
    damage_ = DamageObject(d, XDamageCreate(d, root, XDamageReportNonEmpty));
    XRectangle areaRect = ToXRectangle(area_);
    connection_.Name("XFixesCreateRegion");
    watchedAll_ = Region(d, XFixesCreateRegion(d, &areaRect, 1));
    watched_ = Region(d, XFixesCreateRegion(d, &areaRect, 1));
    watchedParts_ = {area_};
    frame_.assign(static_cast<size_t>(area_.width()) * area_.height(), 0);
    ignored_ = Region(d, XFixesCreateRegion(d, nullptr, 0));
    damaged_ = Region(d, XFixesCreateRegion(d, nullptr, 0));
    windowDamaged_ = Region(d, XFixesCreateRegion(d, nullptr, 0));
    scratch_ = Region(d, XFixesCreateRegion(d, nullptr, 0));
    if (const auto e = connection_.Sync()) {
        *f = {e->call, e->code};
        return false;
    }
    return true;
}

int RootCopy::EventFd() const { return ConnectionNumber(connection_.display()); }

bool RootCopy::ReadyToWait() {
    Display* d = connection_.display();
    XFlush(d);
    return XEventsQueued(d, QueuedAlready) == 0;
}

std::vector<PixelRect> RootCopy::PartsToCopy(bool all) {
    std::vector<PixelRect> parts = TakeDamage(all || copyAll_);
    if (firstCopy_) parts = {area_};
    return parts;
}

void RootCopy::Copied(const std::vector<PixelRect>& parts) {
    changed_ = ToArea(parts);
    copyAll_ = firstCopy_ = false;
}

std::vector<PixelRect> RootCopy::ToArea(std::vector<PixelRect> parts) const {
    for (PixelRect& p : parts)
        p = {p.left - area_.left, p.top - area_.top, p.right - area_.left, p.bottom - area_.top};
    return parts;
}

bool RootCopy::HandleEvent(const XEvent& event) {
    if (event.type == damageEventBase_ + XDamageNotify &&
        reinterpret_cast<const XDamageNotifyEvent*>(&event)->drawable == connection_.root()) {
        notified_ = true;
        return true;
    }
    if (event.type == randrEventBase_ + RRScreenChangeNotify) {
        lost_ = true;
        return true;
    }
    return false;
}

void RootCopy::AddDamage(Damage windowDamage, int left, int top) {
    Display* d = connection_.display();
    connection_.Name("XDamageSubtract");
    XDamageSubtract(d, windowDamage, None, scratch_.get());
    connection_.Name("XFixesTranslateRegion");
    XFixesTranslateRegion(d, scratch_.get(), left, top);
    connection_.Name("XFixesUnionRegion");
    XFixesUnionRegion(d, windowDamaged_.get(), windowDamaged_.get(), scratch_.get());
    windowNotified_ = true;
}

std::vector<PixelRect> RootCopy::TakeDamage(bool all) {
    Display* d = connection_.display();
    connection_.Name("XDamageSubtract");
    if (all || (!notified_ && !windowNotified_)) {
        if (all) XDamageSubtract(d, damage_.get(), None, None);
        if (all && windowNotified_) {
            connection_.Name("XFixesSetRegion");
            XFixesSetRegion(d, windowDamaged_.get(), nullptr, 0);
        }
        notified_ = windowNotified_ = false;
        return all ? watchedParts_ : std::vector<PixelRect>{};
    }
    if (notified_) {
        XDamageSubtract(d, damage_.get(), None, damaged_.get());
        connection_.Name("XFixesIntersectRegion");
        XFixesIntersectRegion(d, damaged_.get(), damaged_.get(), watched_.get());
    } else {
        connection_.Name("XFixesSetRegion");
        XFixesSetRegion(d, damaged_.get(), nullptr, 0);
    }
    if (windowNotified_) {
        connection_.Name("XFixesIntersectRegion");
        XFixesIntersectRegion(d, windowDamaged_.get(), windowDamaged_.get(), watchedAll_.get());
        connection_.Name("XFixesUnionRegion");
        XFixesUnionRegion(d, damaged_.get(), damaged_.get(), windowDamaged_.get());
        connection_.Name("XFixesSetRegion");
        XFixesSetRegion(d, windowDamaged_.get(), nullptr, 0);
    }
    notified_ = windowNotified_ = false;
    connection_.Name("XFixesFetchRegion");
    int count = 0;
    XRectangle* rects = XFixesFetchRegion(d, damaged_.get(), &count);
    std::vector<PixelRect> changed;
    for (int i = 0; rects != nullptr && i < count; ++i)
        changed.push_back(
            {rects[i].x, rects[i].y, rects[i].x + rects[i].width, rects[i].y + rects[i].height});
    if (rects != nullptr) XFree(rects);
    return ChangedBoxes(changed, watchedParts_);
}

bool RootCopy::Copy(const PixelRect& part, const std::vector<PixelRect>& keep, CallFailure* f) {
    // The server writes the part's rows one after the other from the start of the segment.
    XImage sub = *image_.get();
    sub.width = part.width();
    sub.height = part.height();
    sub.bytes_per_line = part.width() * 4;
    connection_.Name("XShmGetImage");
    const Bool ok =
        XShmGetImage(connection_.display(), connection_.root(), &sub, part.left, part.top, AllPlanes);
    if (const auto e = connection_.TakeError()) {
        *f = {e->call, e->code};
        return false;
    }
    if (!ok) {
        *f = {"XShmGetImage", 0};
        return false;
    }
    const int width = area_.width();
    for (const PixelRect& p : PartsOutside(part, keep)) {
        for (int y = p.top; y < p.bottom; ++y) {
            const char* src = sub.data + static_cast<ptrdiff_t>(y - part.top) * sub.bytes_per_line +
                              static_cast<ptrdiff_t>(p.left - part.left) * 4;
            std::memcpy(&frame_[static_cast<size_t>(y - area_.top) * width + (p.left - area_.left)], src,
                        static_cast<size_t>(p.width()) * 4);
        }
    }
    return true;
}

bool RootCopy::SetIgnoredAreas(std::vector<PixelRect> areas) {
    if (areas == ignoredAreas_) return false;
    const std::vector<XRectangle> rects = ToXRectangles(areas, area_);
    // Errors arrive later and are taken with the next copy's.
    connection_.Name("XFixesSetRegion");
    XFixesSetRegion(connection_.display(), ignored_.get(), const_cast<XRectangle*>(rects.data()),
                    static_cast<int>(rects.size()));
    ignoredAreas_ = std::move(areas);
    UpdateWatchedRegion();
    copyAll_ = true;  // what a window no longer ignored covered may have changed unseen
    return true;
}

bool RootCopy::SetWatchedAreas(std::vector<PixelRect> areas) {
    if (areas == watchedAreas_) return false;
    watchedParts_ = WatchedParts(areas, area_);
    const std::vector<XRectangle> rects = ToXRectangles(watchedParts_, area_);
    connection_.Name("XFixesSetRegion");
    XFixesSetRegion(connection_.display(), watchedAll_.get(), const_cast<XRectangle*>(rects.data()),
                    static_cast<int>(rects.size()));
    watchedAreas_ = std::move(areas);
    UpdateWatchedRegion();
    copyAll_ = true;  // the new parts may show what was never copied
    return true;
}

void RootCopy::UpdateWatchedRegion() {
    connection_.Name("XFixesSubtractRegion");
    XFixesSubtractRegion(connection_.display(), watched_.get(), watchedAll_.get(), ignored_.get());
}

}  // namespace platform::x11
