#include "platform/x11/WindowScreenCopy.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xcomposite.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/PixelRectParts.h"
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

// A top-level window of another program that lies under one of ours.
struct Covered {
    Window id = None;
    PixelRect rect;  // its inside on the desktop (border excluded)
};

}  // namespace

struct WindowScreenCopy::Impl {
    x11::XConnection connection;  // first member: closed after everything made on it
    PixelRect area;
    x11::ShmImage rootImage;
    std::vector<uint32_t> frame;  // the copy handed out, area-sized rows
    DamageObject rootDamage;
    Region areaRegion, ignored, watched, damaged;
    std::vector<PixelRect> ignoredAreas;  // desktop
    std::set<uint64_t> own;
    std::map<Window, DamageObject> windowDamage;  // the windows under ours
    std::vector<Covered> covered;                 // bottom to top
    int damageEventBase = 0, randrEventBase = 0;
    bool redirected = false;
    bool rootNotified = false, windowNotified = false;
    bool windowsChanged = true;  // the list of windows under ours must be made again
    bool copyNext = true;
    bool lost = false;
    CallFailure failure;

    bool Init(const PixelRect& a, CallFailure* f);
    Result Fail(const std::string& call, long code) {
        failure = {call, code};
        copyNext = true;
        return Result::Failed;
    }
    void ReadEvents();
    bool WatchedAreaDamaged();
    void FindCoveredWindows();
    void CopyOutsideHoles();
    void CopyCoveredWindows();
    std::vector<PixelRect> Holes() const;  // area coordinates
};

bool WindowScreenCopy::Impl::Init(const PixelRect& a, CallFailure* f) {
    area = a;
    connection = x11::XConnection::Open();
    if (!connection) {
        *f = {"XOpenDisplay", 0};
        return false;
    }
    Display* d = connection.display();
    const Window root = connection.root();
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XCompositeQueryExtension(d, &eventBase, &errorBase)) {
        *f = {"XCompositeQueryExtension", 0};
        return false;
    }
    if (!XCompositeQueryVersion(d, &major, &minor) || (major == 0 && minor < 2)) {
        *f = {"XCompositeQueryVersion", major * 100 + minor};
        return false;
    }
    if (!XShmQueryExtension(d)) {
        *f = {"XShmQueryExtension", 0};
        return false;
    }
    if (!XDamageQueryExtension(d, &damageEventBase, &errorBase) || !XDamageQueryVersion(d, &major, &minor)) {
        *f = {"XDamageQueryExtension", 0};
        return false;
    }
    if (!XFixesQueryExtension(d, &eventBase, &errorBase) || !XFixesQueryVersion(d, &major, &minor) ||
        major < 2) {
        *f = {"XFixesQueryVersion", major};
        return false;
    }
    if (!XRRQueryExtension(d, &randrEventBase, &errorBase)) {
        *f = {"XRRQueryExtension", 0};
        return false;
    }
    connection.Name("XRRSelectInput");
    XRRSelectInput(d, root, RRScreenChangeNotifyMask);
    // Windows mapped, moved, restacked or gone change what lies under ours.
    connection.Name("XSelectInput");
    XSelectInput(d, root, SubstructureNotifyMask);

    XWindowAttributes rootAttributes;
    connection.Name("XGetWindowAttributes");
    if (!XGetWindowAttributes(d, root, &rootAttributes)) {
        const auto e = connection.TakeError();
        *f = {"XGetWindowAttributes", e ? e->code : 0};
        return false;
    }
    if (area.empty() || !PixelRect{0, 0, rootAttributes.width, rootAttributes.height}.Contains(area)) {
        *f = {"check capture area", 0};
        return false;
    }
    std::string call;
    int code = 0;
    rootImage =
        x11::ShmImage::Create(connection, rootAttributes.visual, static_cast<unsigned>(rootAttributes.depth),
                              area.width(), area.height(), &call, &code);
    if (!rootImage) {
        *f = {call, code};
        return false;
    }
    const XImage* im = rootImage.get();
    if (im->bits_per_pixel != 32 || im->byte_order != LSBFirst || im->red_mask != 0xFF0000 ||
        im->green_mask != 0xFF00 || im->blue_mask != 0xFF) {
        *f = {"check pixel format", im->depth};
        return false;
    }
    frame.assign(static_cast<size_t>(area.width()) * area.height(), 0);

    // Without a compositing manager the windows' contents exist only where they show: keep each in a
    // pixmap of its own for as long as this copy lives (the server drops it with the connection).
    const std::string cm = "_NET_WM_CM_S" + std::to_string(DefaultScreen(d));
    if (XGetSelectionOwner(d, XInternAtom(d, cm.c_str(), False)) == None) {
        connection.Name("XCompositeRedirectSubwindows");
        XCompositeRedirectSubwindows(d, root, CompositeRedirectAutomatic);
        redirected = true;
    }

    connection.Name("XDamageCreate");
    rootDamage = DamageObject(d, XDamageCreate(d, root, XDamageReportNonEmpty));
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

void WindowScreenCopy::Impl::ReadEvents() {
    Display* d = connection.display();
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == damageEventBase + XDamageNotify) {
            const auto* n = reinterpret_cast<const XDamageNotifyEvent*>(&event);
            if (n->drawable == connection.root()) {
                rootNotified = true;
            } else {
                windowNotified = true;
                // Taken at once: report-non-empty damage tells again only once it was taken.
                auto it = windowDamage.find(n->drawable);
                if (it != windowDamage.end()) XDamageSubtract(d, it->second.get(), None, None);
            }
        } else if (event.type == randrEventBase + RRScreenChangeNotify) {
            lost = true;
        } else if (event.type == MapNotify || event.type == UnmapNotify || event.type == ConfigureNotify ||
                   event.type == DestroyNotify || event.type == CirculateNotify ||
                   event.type == ReparentNotify) {
            windowsChanged = true;
        }
    }
}

bool WindowScreenCopy::Impl::WatchedAreaDamaged() {
    Display* d = connection.display();
    connection.Name("XDamageSubtract");
    XDamageSubtract(d, rootDamage.get(), None, damaged.get());
    connection.Name("XFixesIntersectRegion");
    XFixesIntersectRegion(d, damaged.get(), damaged.get(), watched.get());
    connection.Name("XFixesFetchRegion");
    int count = 0;
    XRectangle* rects = XFixesFetchRegion(d, damaged.get(), &count);
    if (rects != nullptr) XFree(rects);
    return count > 0;
}

std::vector<PixelRect> WindowScreenCopy::Impl::Holes() const {
    std::vector<PixelRect> holes;
    for (const PixelRect& r : ignoredAreas) {
        const PixelRect c = r.Intersect(area);
        if (!c.empty())
            holes.push_back({c.left - area.left, c.top - area.top, c.right - area.left, c.bottom - area.top});
    }
    return holes;
}

void WindowScreenCopy::Impl::FindCoveredWindows() {
    Display* d = connection.display();
    covered.clear();
    std::map<Window, DamageObject> keep;
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    connection.Name("XQueryTree");
    if (XQueryTree(d, connection.root(), &root, &parent, &children, &count)) {
        std::unique_ptr<Window, decltype(&XFree)> owned(children, XFree);
        for (unsigned i = 0; i < count; ++i) {
            const Window w = children[i];
            if (own.count(w) != 0) continue;
            XWindowAttributes a;
            connection.Name("XGetWindowAttributes");
            if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable || a.c_class == InputOnly)
                continue;
            const PixelRect inside{a.x + a.border_width, a.y + a.border_width, a.x + a.border_width + a.width,
                                   a.y + a.border_width + a.height};
            bool underOurs = false;
            for (const PixelRect& hole : ignoredAreas)
                underOurs |= !inside.Intersect(hole).Intersect(area).empty();
            if (!underOurs) continue;
            covered.push_back({w, inside});
            auto it = windowDamage.find(w);
            if (it != windowDamage.end()) {
                keep.emplace(w, std::move(it->second));
            } else {
                connection.Name("XDamageCreate");
                keep.emplace(w, DamageObject(d, XDamageCreate(d, w, XDamageReportNonEmpty)));
            }
        }
    }
    windowDamage = std::move(keep);
    // A window that went away between the query and its attributes is simply not there.
    connection.TakeError();
    windowsChanged = false;
}

void WindowScreenCopy::Impl::CopyOutsideHoles() {
    const XImage* im = rootImage.get();
    const int w = area.width();
    for (const PixelRect& p : PartsOutside(w, area.height(), Holes())) {
        for (int y = p.top; y < p.bottom; ++y) {
            const auto* src =
                reinterpret_cast<const uint32_t*>(im->data + static_cast<ptrdiff_t>(y) * im->bytes_per_line);
            std::memcpy(&frame[static_cast<size_t>(y) * w + p.left], src + p.left,
                        static_cast<size_t>(p.width()) * 4);
        }
    }
}

void WindowScreenCopy::Impl::CopyCoveredWindows() {
    Display* d = connection.display();
    const int w = area.width();
    for (const PixelRect& holeInArea : Holes()) {
        const PixelRect hole{holeInArea.left + area.left, holeInArea.top + area.top,
                             holeInArea.right + area.left, holeInArea.bottom + area.top};
        for (const Covered& c : covered) {  // bottom to top: the upper ones paint over the lower
            const PixelRect part = c.rect.Intersect(hole);
            if (part.empty()) continue;
            connection.Name("XGetImage");
            XImage* image = XGetImage(d, c.id, part.left - c.rect.left, part.top - c.rect.top,
                                      static_cast<unsigned>(part.width()),
                                      static_cast<unsigned>(part.height()), AllPlanes, ZPixmap);
            if (image == nullptr) continue;  // gone or unmapped meanwhile: the next change says so
            const auto destroy = [](XImage* i) { XDestroyImage(i); };  // a macro of Xutil
            std::unique_ptr<XImage, decltype(destroy)> owned(image, destroy);
            if (image->bits_per_pixel != 32) continue;
            for (int y = 0; y < part.height(); ++y) {
                const auto* src = reinterpret_cast<const uint32_t*>(image->data + static_cast<ptrdiff_t>(y) *
                                                                                      image->bytes_per_line);
                uint32_t* dst =
                    &frame[static_cast<size_t>(part.top - area.top + y) * w + (part.left - area.left)];
                for (int x = 0; x < part.width(); ++x) dst[x] = src[x] | 0xFF000000u;  // opaque
            }
        }
    }
    connection.TakeError();  // windows that went meanwhile
}

WindowScreenCopy::WindowScreenCopy(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
WindowScreenCopy::~WindowScreenCopy() = default;

std::unique_ptr<WindowScreenCopy> WindowScreenCopy::Create(const PixelRect& area, CallFailure* failure) {
    auto impl = std::make_unique<Impl>();
    CallFailure f;
    if (!impl->Init(area, &f)) {
        if (failure != nullptr) *failure = f;
        return nullptr;
    }
    return std::make_unique<WindowScreenCopy>(std::move(impl));
}

IScreenCopy::Result WindowScreenCopy::Grab() {
    Impl& g = *impl_;
    if (g.lost) return Result::AccessLost;
    g.ReadEvents();
    if (g.lost) return Result::AccessLost;
    if (const auto e = g.connection.TakeError()) return g.Fail(e->call, e->code);

    Display* d = g.connection.display();
    bool copy = g.copyNext || g.windowsChanged || g.windowNotified;
    g.windowNotified = false;
    if (copy) {
        g.connection.Name("XDamageSubtract");
        XDamageSubtract(d, g.rootDamage.get(), None, None);
        g.rootNotified = false;
    } else if (g.rootNotified) {
        g.rootNotified = false;
        copy = g.WatchedAreaDamaged();
        if (const auto e = g.connection.TakeError()) return g.Fail(e->call, e->code);
    }
    if (!copy) return Result::NoChange;

    if (g.windowsChanged) g.FindCoveredWindows();
    // Damage taken first: whatever changes from here on makes the next frame.
    g.connection.Name("XShmGetImage");
    const Bool ok =
        XShmGetImage(d, g.connection.root(), g.rootImage.get(), g.area.left, g.area.top, AllPlanes);
    if (const auto e = g.connection.TakeError()) return g.Fail(e->call, e->code);
    if (!ok) return g.Fail("XShmGetImage", 0);
    g.CopyOutsideHoles();
    g.CopyCoveredWindows();
    g.copyNext = false;
    return Result::NewFrame;
}

CallFailure WindowScreenCopy::TakeFailure() { return std::exchange(impl_->failure, {}); }

void WindowScreenCopy::SetIgnoredAreas(std::vector<PixelRect> areas) {
    Impl& g = *impl_;
    if (areas == g.ignoredAreas) return;
    std::vector<XRectangle> rects;
    for (const PixelRect& a : areas) {
        const PixelRect r = a.Intersect(g.area);
        if (!r.empty()) rects.push_back(ToXRectangle(r));
    }
    Display* d = g.connection.display();
    g.connection.Name("XFixesSetRegion");
    XFixesSetRegion(d, g.ignored.get(), rects.data(), static_cast<int>(rects.size()));
    g.connection.Name("XFixesSubtractRegion");
    XFixesSubtractRegion(d, g.watched.get(), g.areaRegion.get(), g.ignored.get());
    g.ignoredAreas = std::move(areas);
    g.windowsChanged = true;
    g.copyNext = true;
}

void WindowScreenCopy::SetOwnWindows(std::vector<uint64_t> ids) {
    std::set<uint64_t> own(ids.begin(), ids.end());
    if (own == impl_->own) return;
    impl_->own = std::move(own);
    impl_->windowsChanged = true;
    impl_->copyNext = true;
}

const PixelRect& WindowScreenCopy::area() const { return impl_->area; }
const uint8_t* WindowScreenCopy::pixels() const {
    return reinterpret_cast<const uint8_t*>(impl_->frame.data());
}
int WindowScreenCopy::stride() const { return impl_->area.width() * 4; }

}  // namespace platform
