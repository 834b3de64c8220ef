#include "platform/x11/RootCopy.h"

#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>

#include <string>
#include <utility>

namespace platform::x11 {
namespace {

XRectangle ToXRectangle(const PixelRect& r) {
    return {static_cast<short>(r.left), static_cast<short>(r.top), static_cast<unsigned short>(r.width()),
            static_cast<unsigned short>(r.height())};
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
    areaRegion_ = Region(d, XFixesCreateRegion(d, &areaRect, 1));
    watched_ = Region(d, XFixesCreateRegion(d, &areaRect, 1));
    ignored_ = Region(d, XFixesCreateRegion(d, nullptr, 0));
    damaged_ = Region(d, XFixesCreateRegion(d, nullptr, 0));
    if (const auto e = connection_.Sync()) {
        *f = {e->call, e->code};
        return false;
    }
    return true;
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

bool RootCopy::TakeDamage(bool all) {
    Display* d = connection_.display();
    connection_.Name("XDamageSubtract");
    if (all) {
        XDamageSubtract(d, damage_.get(), None, None);
        notified_ = false;
        return true;
    }
    if (!notified_) return false;
    notified_ = false;
    XDamageSubtract(d, damage_.get(), None, damaged_.get());
    connection_.Name("XFixesIntersectRegion");
    XFixesIntersectRegion(d, damaged_.get(), damaged_.get(), watched_.get());
    connection_.Name("XFixesFetchRegion");
    int count = 0;
    XRectangle* rects = XFixesFetchRegion(d, damaged_.get(), &count);
    if (rects != nullptr) XFree(rects);
    return count > 0;
}

bool RootCopy::Copy(CallFailure* f) {
    connection_.Name("XShmGetImage");
    const Bool ok = XShmGetImage(connection_.display(), connection_.root(), image_.get(), area_.left,
                                 area_.top, AllPlanes);
    if (const auto e = connection_.TakeError()) {
        *f = {e->call, e->code};
        return false;
    }
    if (!ok) {
        *f = {"XShmGetImage", 0};
        return false;
    }
    return true;
}

bool RootCopy::SetIgnoredAreas(std::vector<PixelRect> areas) {
    if (areas == ignoredAreas_) return false;
    std::vector<XRectangle> rects;
    for (const PixelRect& a : areas) {
        // Clipped to the area first, so that every rectangle fits the 16-bit fields.
        const PixelRect r = a.Intersect(area_);
        if (!r.empty()) rects.push_back(ToXRectangle(r));
    }
    Display* d = connection_.display();
    // Errors arrive later and are taken with the next copy's.
    connection_.Name("XFixesSetRegion");
    XFixesSetRegion(d, ignored_.get(), rects.data(), static_cast<int>(rects.size()));
    connection_.Name("XFixesSubtractRegion");
    XFixesSubtractRegion(d, watched_.get(), areaRegion_.get(), ignored_.get());
    ignoredAreas_ = std::move(areas);
    return true;
}

}  // namespace platform::x11
