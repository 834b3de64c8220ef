#include "platform/x11/ScreenGrabber.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <utility>

#include "platform/x11/ShmImage.h"
#include "platform/x11/XConnection.h"
#include "platform/x11/XResource.h"

namespace platform {

namespace {

using Region = x11::XResource<XFixesDestroyRegion>;
using DamageObject = x11::XResource<XDamageDestroy>;

XRectangle ToXRectangle(const PixelRect& r) {
    return {static_cast<short>(r.left), static_cast<short>(r.top), static_cast<unsigned short>(r.width()),
            static_cast<unsigned short>(r.height())};
}

using Failure = CallFailure;

}  // namespace

// Render thread only, like the grabber.
struct ScreenGrabber::Impl {
    x11::XConnection connection;  // first member: closed after everything made on it
    PixelRect area;
    x11::ShmImage image;
    DamageObject damage;
    Region areaRegion;  // area
    Region ignored;     // the ignored areas inside area
    Region watched;     // area minus the ignored areas
    Region damaged;     // the damage taken at the last look
    std::vector<PixelRect> ignoredAreas;
    int damageEventBase = 0;
    int randrEventBase = 0;
    bool damageNotified = false;  // a damage event came since the damage was last taken
    bool copyNext = true;         // copy at the next Grab whatever the damage (first grab, after a failure)
    bool lost = false;
    CallFailure failure;  // of the last Grab that failed

    bool Init(const PixelRect& a, Failure* f);
    Result Fail(const std::string& call, int code);
    void ReadEvents();
    bool WatchedAreaDamaged();
};

bool ScreenGrabber::Impl::Init(const PixelRect& a, Failure* f) {
    area = a;
    connection = x11::XConnection::Open();
    if (!connection) {
        *f = {"XOpenDisplay", 0};
        return false;
    }
    Display* d = connection.display();
    const Window root = connection.root();
    int errorBase = 0, major = 0, minor = 0;
    if (!XShmQueryExtension(d)) {
        *f = {"XShmQueryExtension", 0};
        return false;
    }
    if (!XDamageQueryExtension(d, &damageEventBase, &errorBase)) {
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
    if (!XRRQueryExtension(d, &randrEventBase, &errorBase)) {
        *f = {"XRRQueryExtension", 0};
        return false;
    }
    // Selected before the screen's size is read, so that no change can slip in between.
    connection.Name("XRRSelectInput");
    XRRSelectInput(d, root, RRScreenChangeNotifyMask);

    Window rootOfRoot = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    connection.Name("XGetGeometry");
    if (!XGetGeometry(d, root, &rootOfRoot, &x, &y, &width, &height, &border, &depth)) {
        const auto e = connection.TakeError();
        *f = {"XGetGeometry", e ? e->code : 0};
        return false;
    }
    const PixelRect screen{0, 0, static_cast<int>(width), static_cast<int>(height)};
    if (area.empty() || !screen.Contains(area)) {
        *f = {"check capture area", 0};
        return false;
    }

    std::string call;
    int code = 0;
    const int screenNumber = DefaultScreen(d);
    image = x11::ShmImage::Create(connection, DefaultVisual(d, screenNumber),
                                  static_cast<unsigned>(DefaultDepth(d, screenNumber)), area.width(),
                                  area.height(), &call, &code);
    if (!image) {
        *f = {call, code};
        return false;
    }
    const XImage* im = image.get();
    // B, G, R, X bytes: what the renderer uploads as it stands.
    if (im->bits_per_pixel != 32 || im->byte_order != LSBFirst || im->red_mask != 0xFF0000 ||
        im->green_mask != 0xFF00 || im->blue_mask != 0xFF) {
        *f = {"check pixel format", im->depth};
        return false;
    }

    // Non-empty reports: one event until the damage is taken, and the damage itself says where.
    connection.Name("XDamageCreate");
    damage = DamageObject(d, XDamageCreate(d, root, XDamageReportNonEmpty));
    XRectangle areaRect = ToXRectangle(area);
    connection.Name("XFixesCreateRegion");
    areaRegion = Region(d, XFixesCreateRegion(d, &areaRect, 1));
    watched = Region(d, XFixesCreateRegion(d, &areaRect, 1));
    ignored = Region(d, XFixesCreateRegion(d, nullptr, 0));
    damaged = Region(d, XFixesCreateRegion(d, nullptr, 0));
    if (const auto e = connection.Sync()) {
        *f = {e->call, e->code};
        return false;
    }
    return true;
}

ScreenGrabber::Result ScreenGrabber::Impl::Fail(const std::string& call, int code) {
    failure = {call, code};
    copyNext = true;
    return Result::Failed;
}

void ScreenGrabber::Impl::ReadEvents() {
    Display* d = connection.display();
    // XPending reads what has arrived without waiting for the server.
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == damageEventBase + XDamageNotify) {
            damageNotified = true;
        } else if (event.type == randrEventBase + RRScreenChangeNotify) {
            lost = true;
        }
    }
}

// Takes the damage; whether any of it lies in the watched part. X errors are left to be taken.
bool ScreenGrabber::Impl::WatchedAreaDamaged() {
    Display* d = connection.display();
    connection.Name("XDamageSubtract");
    XDamageSubtract(d, damage.get(), None, damaged.get());
    connection.Name("XFixesIntersectRegion");
    XFixesIntersectRegion(d, damaged.get(), damaged.get(), watched.get());
    connection.Name("XFixesFetchRegion");
    int count = 0;
    XRectangle* rects = XFixesFetchRegion(d, damaged.get(), &count);
    if (rects != nullptr) XFree(rects);
    return count > 0;
}

ScreenGrabber::ScreenGrabber(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ScreenGrabber::~ScreenGrabber() = default;

std::unique_ptr<ScreenGrabber> ScreenGrabber::Create(const PixelRect& area, CallFailure* failure) {
    auto impl = std::make_unique<Impl>();
    Failure f;
    if (!impl->Init(area, &f)) {
        if (failure != nullptr) *failure = f;
        return nullptr;
    }
    return std::unique_ptr<ScreenGrabber>(new ScreenGrabber(std::move(impl)));
}

ScreenGrabber::Result ScreenGrabber::Grab() {
    Impl& g = *impl_;
    if (g.lost) return Result::AccessLost;
    g.ReadEvents();
    if (g.lost) return Result::AccessLost;
    // Errors of requests sent since the last grab (the ignored areas) come in with the events.
    if (const auto e = g.connection.TakeError()) return g.Fail(e->call, e->code);

    Display* d = g.connection.display();
    bool copy = g.copyNext;
    if (copy) {
        g.connection.Name("XDamageSubtract");
        XDamageSubtract(d, g.damage.get(), None, None);
        g.damageNotified = false;
    } else if (g.damageNotified) {
        g.damageNotified = false;
        copy = g.WatchedAreaDamaged();
        if (const auto e = g.connection.TakeError()) return g.Fail(e->call, e->code);
    }
    if (!copy) return Result::NoChange;

    // The damage was taken first: whatever changes from here on makes the next frame.
    g.connection.Name("XShmGetImage");
    const Bool ok = XShmGetImage(d, g.connection.root(), g.image.get(), g.area.left, g.area.top, AllPlanes);
    if (const auto e = g.connection.TakeError()) return g.Fail(e->call, e->code);
    if (!ok) return g.Fail("XShmGetImage", 0);
    g.copyNext = false;
    return Result::NewFrame;
}

void ScreenGrabber::SetIgnoredAreas(std::vector<PixelRect> areas) {
    Impl& g = *impl_;
    if (areas == g.ignoredAreas) return;
    std::vector<XRectangle> rects;
    for (const PixelRect& a : areas) {
        // Clipped to the area first, so that every rectangle fits the 16-bit fields.
        const PixelRect r = a.Intersect(g.area);
        if (!r.empty()) rects.push_back(ToXRectangle(r));
    }
    Display* d = g.connection.display();
    // Errors arrive later and are reported by the next Grab.
    g.connection.Name("XFixesSetRegion");
    XFixesSetRegion(d, g.ignored.get(), rects.data(), static_cast<int>(rects.size()));
    g.connection.Name("XFixesSubtractRegion");
    XFixesSubtractRegion(d, g.watched.get(), g.areaRegion.get(), g.ignored.get());
    g.ignoredAreas = std::move(areas);
    // What a window no longer ignored covered may have changed unseen.
    g.copyNext = true;
}

CallFailure ScreenGrabber::TakeFailure() { return std::exchange(impl_->failure, {}); }

const PixelRect& ScreenGrabber::area() const { return impl_->area; }
const uint8_t* ScreenGrabber::pixels() const {
    return reinterpret_cast<const uint8_t*>(impl_->image.get()->data);
}
int ScreenGrabber::stride() const { return impl_->image.get()->bytes_per_line; }

}  // namespace platform
