#include "platform/x11/WindowScreenCopy.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>
#include <X11/extensions/Xdamage.h>

#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/PixelRectParts.h"
#include "platform/x11/RootCopy.h"
#include "platform/x11/XResource.h"

namespace platform {

namespace {

using DamageObject = x11::XResource<XDamageDestroy>;

// A top-level window of another program that lies under one of ours.
struct Covered {
    Window id = None;
    PixelRect rect;  // its inside on the desktop (border excluded)
};

}  // namespace

struct WindowScreenCopy::Impl {
    x11::RootCopy root;                           // first member: its connection closes last
    std::set<uint64_t> own;                       // the program's windows
    std::map<Window, DamageObject> windowDamage;  // the windows under ours
    std::vector<Covered> covered;                 // bottom to top
    int damageEventBase = 0;
    bool windowsChanged = true;  // the list of windows under ours must be made again
    CallFailure failure;

    bool Init(const PixelRect& area, CallFailure* f);
    Result Fail(CallFailure f) {
        failure = std::move(f);
        root.CopyAllNext();
        return Result::Failed;
    }
    void ReadEvents();
    void FindCoveredWindows();
    std::vector<PixelRect> Holes() const;  // desktop coordinates, inside the area
    void CopyCoveredWindows(const std::vector<PixelRect>& parts);
};

bool WindowScreenCopy::Impl::Init(const PixelRect& area, CallFailure* f) {
    if (!root.Init(area, f)) return false;
    x11::XConnection& c = root.connection();
    Display* d = c.display();
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XCompositeQueryExtension(d, &eventBase, &errorBase)) {
        *f = {"XCompositeQueryExtension", 0};
        return false;
    }
    if (!XCompositeQueryVersion(d, &major, &minor) || (major == 0 && minor < 2)) {
        *f = {"XCompositeQueryVersion", major * 100 + minor};
        return false;
    }
    XDamageQueryExtension(d, &damageEventBase, &errorBase);  // known to be there: the root copy checked
    // Windows mapped, moved, restacked or gone change what lies under ours.
    c.Name("XSelectInput");
    XSelectInput(d, c.root(), SubstructureNotifyMask);

    // Without a compositing manager the windows' contents exist only where they show: keep each in a
    // pixmap of its own for as long as this copy lives (the server drops that with the connection).
    const std::string cm = "_NET_WM_CM_S" + std::to_string(DefaultScreen(d));
    if (XGetSelectionOwner(d, XInternAtom(d, cm.c_str(), False)) == None) {
        c.Name("XCompositeRedirectSubwindows");
        XCompositeRedirectSubwindows(d, c.root(), CompositeRedirectAutomatic);
    }
    if (const auto e = c.Sync()) {
        *f = {e->call, e->code};
        return false;
    }
    return true;
}

void WindowScreenCopy::Impl::ReadEvents() {
    Display* d = root.connection().display();
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (root.HandleEvent(event)) continue;
        if (event.type == damageEventBase + XDamageNotify) {
            // Taken at once: report-non-empty damage tells again only once it was taken.
            const auto* n = reinterpret_cast<const XDamageNotifyEvent*>(&event);
            auto it = windowDamage.find(n->drawable);
            if (it == windowDamage.end()) continue;
            for (const Covered& w : covered) {
                if (w.id == n->drawable) root.AddDamage(it->second.get(), w.rect.left, w.rect.top);
            }
        } else if (event.type == MapNotify || event.type == UnmapNotify || event.type == ConfigureNotify ||
                   event.type == DestroyNotify || event.type == CirculateNotify ||
                   event.type == ReparentNotify) {
            windowsChanged = true;
        }
    }
}

std::vector<PixelRect> WindowScreenCopy::Impl::Holes() const {
    std::vector<PixelRect> holes;
    for (const PixelRect& r : root.ignoredAreas()) {
        const PixelRect c = r.Intersect(root.area());
        if (!c.empty()) holes.push_back(c);
    }
    return holes;
}

void WindowScreenCopy::Impl::FindCoveredWindows() {
    x11::XConnection& c = root.connection();
    Display* d = c.display();
    covered.clear();
    std::map<Window, DamageObject> keep;
    Window rootOfRoot = None, parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    c.Name("XQueryTree");
    if (XQueryTree(d, c.root(), &rootOfRoot, &parent, &children, &count)) {
        std::unique_ptr<Window, decltype(&XFree)> owned(children, XFree);
        for (unsigned i = 0; i < count; ++i) {
            const Window w = children[i];
            if (own.count(w) != 0) continue;
            XWindowAttributes a;
            c.Name("XGetWindowAttributes");
            if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable || a.c_class == InputOnly)
                continue;
            const PixelRect inside{a.x + a.border_width, a.y + a.border_width, a.x + a.border_width + a.width,
                                   a.y + a.border_width + a.height};
            bool underOurs = false;
            for (const PixelRect& hole : root.ignoredAreas()) {
                underOurs |= !inside.Intersect(hole).Intersect(root.area()).empty();
            }
            if (!underOurs) continue;
            covered.push_back({w, inside});
            auto it = windowDamage.find(w);
            if (it != windowDamage.end()) {
                keep.emplace(w, std::move(it->second));
            } else {
                c.Name("XDamageCreate");
                keep.emplace(w, DamageObject(d, XDamageCreate(d, w, XDamageReportNonEmpty)));
            }
        }
    }
    windowDamage = std::move(keep);
    // A window that went away between the query and its attributes is simply not there.
    c.TakeError();
    windowsChanged = false;
}

void WindowScreenCopy::Impl::CopyCoveredWindows(const std::vector<PixelRect>& parts) {
    x11::XConnection& c = root.connection();
    const PixelRect& area = root.area();
    const int w = area.width();
    uint32_t* frame = root.frame();
    std::vector<PixelRect> changedHoles;
    for (const PixelRect& hole : Holes()) {
        for (const PixelRect& p : parts) {
            if (const PixelRect r = hole.Intersect(p); !r.empty()) changedHoles.push_back(r);
        }
    }
    for (const PixelRect& hole : changedHoles) {
        for (const Covered& window : covered) {  // bottom to top: the upper ones paint over the lower
            const PixelRect part = window.rect.Intersect(hole);
            if (part.empty()) continue;
            c.Name("XGetImage");
            XImage* image = XGetImage(c.display(), window.id, part.left - window.rect.left,
                                      part.top - window.rect.top, static_cast<unsigned>(part.width()),
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
    c.TakeError();  // windows that went meanwhile
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
    x11::XConnection& c = g.root.connection();
    if (g.root.lost()) return Result::AccessLost;
    g.ReadEvents();
    if (g.root.lost()) return Result::AccessLost;
    if (const auto e = c.TakeError()) return g.Fail({e->call, e->code});

    // A change of a window under ours is copied where it meets the watched parts, as the root's are.
    const std::vector<PixelRect> parts = g.root.PartsToCopy(g.windowsChanged);
    if (const auto e = c.TakeError()) return g.Fail({e->call, e->code});
    if (parts.empty()) return Result::NoChange;

    if (g.windowsChanged) g.FindCoveredWindows();
    // Damage taken first: whatever changes from here on makes the next frame. Under the program's own
    // windows the frame keeps what it had, unless another window is there to show.
    CallFailure f;
    const std::vector<PixelRect> holes = g.Holes();
    for (const PixelRect& part : parts) {
        if (!g.root.Copy(part, holes, &f)) return g.Fail(std::move(f));
    }
    g.CopyCoveredWindows(parts);
    g.root.Copied(parts);
    return Result::NewFrame;
}

CallFailure WindowScreenCopy::TakeFailure() { return std::exchange(impl_->failure, {}); }

void WindowScreenCopy::SetIgnoredAreas(std::vector<PixelRect> areas) {
    if (impl_->root.SetIgnoredAreas(std::move(areas))) impl_->windowsChanged = true;
}

void WindowScreenCopy::SetOwnWindows(std::vector<uint64_t> ids) {
    std::set<uint64_t> own(ids.begin(), ids.end());
    if (own == impl_->own) return;
    impl_->own = std::move(own);
    impl_->windowsChanged = true;
    impl_->root.CopyAllNext();
}

void WindowScreenCopy::SetWatchedAreas(std::vector<PixelRect> areas) {
    impl_->root.SetWatchedAreas(std::move(areas));
}

const std::vector<PixelRect>& WindowScreenCopy::changedParts() const { return impl_->root.changedParts(); }
int WindowScreenCopy::EventFd() const { return impl_->root.EventFd(); }
bool WindowScreenCopy::ReadyToWait() { return impl_->root.ReadyToWait(); }

const PixelRect& WindowScreenCopy::area() const { return impl_->root.area(); }
const uint8_t* WindowScreenCopy::pixels() const {
    return reinterpret_cast<const uint8_t*>(impl_->root.frame());
}
int WindowScreenCopy::stride() const { return impl_->root.area().width() * 4; }

}  // namespace platform
