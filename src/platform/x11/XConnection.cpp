#include "platform/x11/XConnection.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

// The hook for errors of one connection is declared only here; this header defines min and max.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace platform::x11 {

// Used by the thread that uses the connection, also when Xlib calls OnWireError there.
struct XConnection::State {
    Display* display = nullptr;
    // Serial of the first request of each named stretch, oldest first.
    std::vector<std::pair<unsigned long, const char*>> names;
    std::optional<XRequestError> error;

    const char* NameOf(unsigned long serial) const {
        const char* name = "X request";
        for (const auto& [first, call] : names) {
            if (first > serial) break;
            name = call;
        }
        return name;
    }
};

namespace {

// Which connection a Display belongs to; read by the error hook, which gets only the Display.
struct Registry {
    std::mutex lock;  // guards entries
    std::vector<std::pair<Display*, XConnection::State*>> entries;
};

Registry& Connections() {
    static Registry* registry = new Registry;  // never destroyed: thread exits may still close connections
    return *registry;
}

void Register(Display* display, XConnection::State* state) {
    Registry& r = Connections();
    std::lock_guard guard(r.lock);
    r.entries.emplace_back(display, state);
}

void Unregister(Display* display) {
    Registry& r = Connections();
    std::lock_guard guard(r.lock);
    std::erase_if(r.entries, [display](const auto& e) { return e.first == display; });
}

XConnection::State* Find(Display* display) {
    Registry& r = Connections();
    std::lock_guard guard(r.lock);
    for (const auto& [d, state] : r.entries) {
        if (d == display) return state;
    }
    return nullptr;
}

// Xlib's per-connection hook for every error code: returning False keeps the error from the
// process-wide handler. Runs inside Xlib on the thread that uses the connection.
Bool OnWireError(Display* display, XErrorEvent* event, xError*) {
    XConnection::State* state = Find(display);
    if (state == nullptr) return True;
    if (!state->error) state->error = XRequestError{state->NameOf(event->serial), event->error_code};
    return False;
}

}  // namespace

XConnection::XConnection() = default;
XConnection::XConnection(XConnection&& other) noexcept = default;

XConnection& XConnection::operator=(XConnection&& other) noexcept {
    if (this != &other) {
        Close();
        state_ = std::move(other.state_);
    }
    return *this;
}

XConnection::~XConnection() { Close(); }

XConnection XConnection::Open(const char* name) {
    XConnection c;
    Display* display = XOpenDisplay(name);
    if (display == nullptr) return c;
    c.state_ = std::make_unique<State>();
    c.state_->display = display;
    Register(display, c.state_.get());
    for (int code = 1; code < 256; ++code) XESetWireToError(display, code, OnWireError);
    return c;
}

void XConnection::Close() {
    if (!state_) return;
    if (state_->display != nullptr) {
        // XCloseDisplay reads the last errors, so the hook must still find the connection.
        XCloseDisplay(state_->display);
        Unregister(state_->display);
    }
    state_.reset();
}

Display* XConnection::display() const { return state_ ? state_->display : nullptr; }

Window XConnection::root() const { return state_ ? DefaultRootWindow(state_->display) : None; }

void XConnection::Name(const char* call) {
    if (!state_) return;
    auto& names = state_->names;
    // Errors of requests the server has answered are already in; their names are no longer needed.
    if (names.size() >= 64) {
        const unsigned long done = LastKnownRequestProcessed(state_->display);
        auto keep = std::upper_bound(names.begin(), names.end(), done,
                                     [](unsigned long s, const auto& e) { return s < e.first; });
        if (keep != names.begin()) --keep;
        names.erase(names.begin(), keep);
    }
    names.emplace_back(NextRequest(state_->display), call);
}

std::optional<XRequestError> XConnection::TakeError() {
    if (!state_) return std::nullopt;
    std::optional<XRequestError> e = std::move(state_->error);
    state_->error.reset();
    return e;
}

std::optional<XRequestError> XConnection::Sync() {
    if (!state_) return std::nullopt;
    XSync(state_->display, False);
    // Every request so far is answered; only the current name still applies.
    auto& names = state_->names;
    if (names.size() > 1) names.erase(names.begin(), names.end() - 1);
    return TakeError();
}

}  // namespace platform::x11
