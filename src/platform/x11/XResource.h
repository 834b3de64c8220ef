#pragma once
// A server-side resource of one connection (a damage object, a region), destroyed with the object.
// The connection must outlive it. Thread rule: that of its connection.

#include <X11/Xlib.h>

#include <utility>

namespace platform::x11 {

template <void (*Destroy)(Display*, XID)>
class XResource {
public:
    XResource() = default;
    XResource(Display* display, XID id) : display_(display), id_(id) {}
    XResource(XResource&& other) noexcept
        : display_(std::exchange(other.display_, nullptr)), id_(std::exchange(other.id_, None)) {}
    XResource& operator=(XResource&& other) noexcept {
        if (this != &other) {
            Reset();
            display_ = std::exchange(other.display_, nullptr);
            id_ = std::exchange(other.id_, None);
        }
        return *this;
    }
    XResource(const XResource&) = delete;
    XResource& operator=(const XResource&) = delete;
    ~XResource() { Reset(); }

    XID get() const { return id_; }
    explicit operator bool() const { return id_ != None; }

    void Reset() {
        if (display_ != nullptr && id_ != None) Destroy(display_, id_);
        display_ = nullptr;
        id_ = None;
    }

private:
    Display* display_ = nullptr;
    XID id_ = None;
};

}  // namespace platform::x11
