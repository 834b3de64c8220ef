#include "platform/x11/Monitors.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>
#include <optional>

#include "platform/Edid.h"
#include "platform/x11/XConnection.h"

namespace platform {

namespace {

using ScreenResources = std::unique_ptr<XRRScreenResources, decltype(&XRRFreeScreenResources)>;
using OutputDetails = std::unique_ptr<XRROutputInfo, decltype(&XRRFreeOutputInfo)>;
using CrtcDetails = std::unique_ptr<XRRCrtcInfo, decltype(&XRRFreeCrtcInfo)>;
using Monitors = std::unique_ptr<XRRMonitorInfo, decltype(&XRRFreeMonitors)>;
template <typename T>
using XMemory = std::unique_ptr<T, decltype(&XFree)>;

// The first failure of the public call running on this thread.
thread_local CallFailure tFailure;

void LogFailure(const std::string& call, long code) {
    if (!tFailure) tFailure = {call, code};
}

// Hands the first failure of a public call to its caller.
class FailureScope {
public:
    explicit FailureScope(CallFailure* out) : out_(out) { tFailure = {}; }
    ~FailureScope() {
        if (out_ != nullptr) *out_ = tFailure;
    }
    FailureScope(const FailureScope&) = delete;
    FailureScope& operator=(const FailureScope&) = delete;

private:
    CallFailure* out_;
};

// Notes the error a call left, if any; true when there was one.
bool Failed(x11::XConnection& c) {
    const auto e = c.TakeError();
    if (e) LogFailure(e->call, e->code);
    return e.has_value();
}

// Notes the failure of a call that returned ok: its X error, else the call with code 0.
bool Failed(x11::XConnection& c, bool ok, const char* call) {
    if (Failed(c)) return true;
    if (!ok) LogFailure(call, 0);
    return !ok;
}

// A connection whose server speaks RandR 1.minMinor or later.
x11::XConnection OpenRandr(int minMinor) {
    x11::XConnection c = x11::XConnection::Open();
    if (!c) {
        LogFailure("XOpenDisplay", 0);
        return c;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(c.display(), &eventBase, &errorBase)) {
        LogFailure("XRRQueryExtension", 0);
        return {};
    }
    if (!XRRQueryVersion(c.display(), &major, &minor) || (major == 1 && minor < minMinor)) {
        LogFailure("XRRQueryVersion", major * 100 + minor);
        return {};
    }
    return c;
}

ScreenResources GetResources(x11::XConnection& c) {
    c.Name("XRRGetScreenResourcesCurrent");
    ScreenResources res(XRRGetScreenResourcesCurrent(c.display(), c.root()), XRRFreeScreenResources);
    if (Failed(c, res != nullptr, "XRRGetScreenResourcesCurrent")) return {nullptr, XRRFreeScreenResources};
    return res;
}

OutputDetails GetOutput(x11::XConnection& c, XRRScreenResources* res, RROutput output) {
    c.Name("XRRGetOutputInfo");
    OutputDetails info(XRRGetOutputInfo(c.display(), res, output), XRRFreeOutputInfo);
    if (Failed(c, info != nullptr, "XRRGetOutputInfo")) return {nullptr, XRRFreeOutputInfo};
    return info;
}

std::string AtomName(x11::XConnection& c, Atom atom) {
    c.Name("XGetAtomName");
    XMemory<char> name(XGetAtomName(c.display(), atom), XFree);
    if (Failed(c, name != nullptr, "XGetAtomName")) return {};
    return name.get();
}

// The calling thread's connection and the atoms it asks for, made on first use.
struct ThreadConnection {
    x11::XConnection connection;
    Atom activeWindow = None;
    Atom frameExtents = None;
};

ThreadConnection* ForThisThread() {
    thread_local ThreadConnection t;
    thread_local bool tried = false;
    if (!tried) {
        tried = true;
        t.connection = x11::XConnection::Open();
        if (!t.connection) {
            LogFailure("XOpenDisplay", 0);
        } else {
            t.connection.Name("XInternAtom");
            t.activeWindow = XInternAtom(t.connection.display(), "_NET_ACTIVE_WINDOW", False);
            t.frameExtents = XInternAtom(t.connection.display(), "_NET_FRAME_EXTENTS", False);
            if (Failed(t.connection)) t.connection = x11::XConnection();
        }
    }
    return t.connection ? &t : nullptr;
}

// The first count 32-bit items of a window property of the given type: fewer when it is shorter, none
// when it is missing or of another type; nullopt on an X error (noted).
std::optional<std::vector<unsigned long>> ReadLongs(x11::XConnection& c, Window window, Atom property,
                                                    Atom type, long count) {
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    c.Name("XGetWindowProperty");
    const int status = XGetWindowProperty(c.display(), window, property, 0, count, False, type, &actualType,
                                          &format, &items, &after, &data);
    XMemory<unsigned char> owned(data, XFree);
    if (Failed(c)) return std::nullopt;
    if (status != Success) {
        LogFailure("XGetWindowProperty", status);
        return std::nullopt;
    }
    std::vector<unsigned long> out;
    if (actualType != type || format != 32 || data == nullptr) return out;
    // Xlib hands 32-bit items over as longs.
    const auto* longs = reinterpret_cast<const unsigned long*>(data);
    out.assign(longs, longs + items);
    return out;
}

}  // namespace

std::vector<MonitorInfo> EnumerateMonitors(CallFailure* failure) {
    FailureScope scope(failure);
    std::vector<MonitorInfo> out;
    x11::XConnection c = OpenRandr(5);
    if (!c) return out;
    int count = 0;
    c.Name("XRRGetMonitors");
    Monitors monitors(XRRGetMonitors(c.display(), c.root(), True, &count), XRRFreeMonitors);
    if (Failed(c)) return out;
    if (!monitors) {
        if (count < 0) LogFailure("XRRGetMonitors", 0);
        return out;
    }
    // Without the resources the output names are unknown; the monitors' own names stand in.
    ScreenResources res = GetResources(c);
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors.get()[i];
        MonitorInfo info;
        info.handle = m.name;
        info.bounds = {m.x, m.y, m.x + m.width, m.y + m.height};
        if (res && m.noutput > 0) {
            if (OutputDetails output = GetOutput(c, res.get(), m.outputs[0])) {
                info.deviceName.assign(output->name, static_cast<size_t>(output->nameLen));
            }
        }
        if (info.deviceName.empty()) info.deviceName = AtomName(c, m.name);
        out.push_back(std::move(info));
    }
    return out;
}

namespace {

// The connected monitor's name from the output's EDID property; empty without one (a virtual output).
std::string ReadMonitorName(x11::XConnection& c, RROutput output) {
    const Atom edid = XInternAtom(c.display(), "EDID", True);
    if (edid == None) return {};
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    c.Name("XRRGetOutputProperty");
    const int rc = XRRGetOutputProperty(c.display(), output, edid, 0, 64, False, False, AnyPropertyType,
                                        &type, &format, &count, &after, &data);
    std::unique_ptr<unsigned char, int (*)(void*)> owned(data, XFree);
    // An output without the property, or one that went meanwhile, simply has no name of its own.
    if (rc != Success || c.TakeError() || format != 8 || data == nullptr) return {};
    return MonitorNameFromEdid(data, count);
}

}  // namespace

std::vector<OutputInfo> EnumerateOutputs(CallFailure* failure) {
    FailureScope scope(failure);
    std::vector<OutputInfo> out;
    x11::XConnection c = OpenRandr(3);
    if (!c) return out;
    ScreenResources res = GetResources(c);
    if (!res) return out;
    for (int i = 0; i < res->noutput; ++i) {
        OutputDetails output = GetOutput(c, res.get(), res->outputs[i]);
        if (!output) continue;
        OutputInfo info;
        info.name.assign(output->name, static_cast<size_t>(output->nameLen));
        if (output->connection == RR_Connected) info.monitorName = ReadMonitorName(c, res->outputs[i]);
        if (output->connection == RR_Connected && output->crtc != None) {
            c.Name("XRRGetCrtcInfo");
            CrtcDetails crtc(XRRGetCrtcInfo(c.display(), res.get(), output->crtc), XRRFreeCrtcInfo);
            if (!Failed(c, crtc != nullptr, "XRRGetCrtcInfo") && crtc->mode != None) {
                info.attached = true;
                info.bounds = {crtc->x, crtc->y, crtc->x + static_cast<int>(crtc->width),
                               crtc->y + static_cast<int>(crtc->height)};
            }
        }
        out.push_back(std::move(info));
    }
    return out;
}

uint64_t ActiveWindow(CallFailure* failure) {
    FailureScope scope(failure);
    ThreadConnection* t = ForThisThread();
    if (t == nullptr) return 0;
    const auto value = ReadLongs(t->connection, t->connection.root(), t->activeWindow, XA_WINDOW, 1);
    return value && value->size() == 1 ? (*value)[0] : 0;
}

PixelRect WindowFrameRect(uint64_t windowId, CallFailure* failure) {
    FailureScope scope(failure);
    ThreadConnection* t = ForThisThread();
    if (t == nullptr || windowId == 0) return {};
    x11::XConnection& c = t->connection;
    const Window window = windowId;
    Window root = None, child = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    c.Name("XGetGeometry");
    const bool placed = XGetGeometry(c.display(), window, &root, &x, &y, &width, &height, &border, &depth);
    if (Failed(c, placed, "XGetGeometry")) return {};
    c.Name("XTranslateCoordinates");
    const bool translated = XTranslateCoordinates(c.display(), window, c.root(), 0, 0, &x, &y, &child);
    if (Failed(c, translated, "XTranslateCoordinates")) return {};
    // (x, y) is the inside corner; the border lies around it.
    const int b = static_cast<int>(border);
    PixelRect r{x - b, y - b, x + static_cast<int>(width) + b, y + static_cast<int>(height) + b};
    const auto extents = ReadLongs(c, window, t->frameExtents, XA_CARDINAL, 4);
    if (extents && extents->size() == 4) {
        r.left -= static_cast<int>((*extents)[0]);
        r.right += static_cast<int>((*extents)[1]);
        r.top -= static_cast<int>((*extents)[2]);
        r.bottom += static_cast<int>((*extents)[3]);
    }
    return r;
}

uint64_t TopLevelWindow(uint64_t windowId, CallFailure* failure) {
    FailureScope scope(failure);
    ThreadConnection* t = ForThisThread();
    if (t == nullptr || windowId == 0) return 0;
    x11::XConnection& c = t->connection;
    Window window = windowId;
    // A frame nests the window a few levels deep at most; the bound guards against a loop of races.
    for (int depth = 0; depth < 16; ++depth) {
        Window root = None, parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        c.Name("XQueryTree");
        const bool queried = XQueryTree(c.display(), window, &root, &parent, &children, &count);
        if (children != nullptr) XFree(children);
        if (Failed(c, queried, "XQueryTree")) return 0;
        if (parent == root || parent == None) return window;
        window = parent;
    }
    return window;
}

}  // namespace platform
