#include "DisplayModeChange.h"

#include <memory>

namespace {

using Resources = std::unique_ptr<XRRScreenResources, decltype(&XRRFreeScreenResources)>;
using CrtcDetails = std::unique_ptr<XRRCrtcInfo, decltype(&XRRFreeCrtcInfo)>;

std::string Describe(const std::optional<platform::x11::XRequestError>& e) {
    return e ? e->call + " : " + std::to_string(e->code) : std::string();
}

}  // namespace

DisplayModeChange::DisplayModeChange(int width, int height)
    : connection_(platform::x11::XConnection::Open()) {
    Display* d = connection_.display();
    if (d == nullptr) {
        error_ = "XOpenDisplay";
        return;
    }
    const int screen = DefaultScreen(d);
    width_ = DisplayWidth(d, screen);
    height_ = DisplayHeight(d, screen);
    widthMm_ = DisplayWidthMM(d, screen);
    heightMm_ = DisplayHeightMM(d, screen);
    Resources res(XRRGetScreenResourcesCurrent(d, connection_.root()), XRRFreeScreenResources);
    if (!res) {
        error_ = "XRRGetScreenResourcesCurrent";
        return;
    }
    for (int i = 0; i < res->ncrtc && crtc_ == None; ++i) {
        CrtcDetails c(XRRGetCrtcInfo(d, res.get(), res->crtcs[i]), XRRFreeCrtcInfo);
        if (!c || c->mode == None) continue;
        crtc_ = res->crtcs[i];
        mode_ = c->mode;
        x_ = c->x;
        y_ = c->y;
        rotation_ = c->rotation;
        outputs_.assign(c->outputs, c->outputs + c->noutput);
    }
    if (crtc_ == None) {
        error_ = "no active CRTC";
        return;
    }
    changed_ = true;
    connection_.Name("XRRSetCrtcConfig");
    if (XRRSetCrtcConfig(d, res.get(), crtc_, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0) !=
        RRSetConfigSuccess) {
        error_ = "XRRSetCrtcConfig";
    }
    connection_.Name("XRRSetScreenSize");
    XRRSetScreenSize(d, connection_.root(), width, height, widthMm_ * width / width_,
                     heightMm_ * height / height_);
    if (const auto e = connection_.Sync()) error_ = Describe(e);
}

DisplayModeChange::~DisplayModeChange() { Restore(); }

std::string DisplayModeChange::Restore() {
    if (!changed_) return {};
    changed_ = false;
    Display* d = connection_.display();
    connection_.Name("XRRSetScreenSize");
    XRRSetScreenSize(d, connection_.root(), width_, height_, widthMm_, heightMm_);
    if (const auto e = connection_.Sync()) return Describe(e);
    Resources res(XRRGetScreenResourcesCurrent(d, connection_.root()), XRRFreeScreenResources);
    if (!res) return "XRRGetScreenResourcesCurrent";
    connection_.Name("XRRSetCrtcConfig");
    if (XRRSetCrtcConfig(d, res.get(), crtc_, CurrentTime, x_, y_, mode_, rotation_, outputs_.data(),
                         static_cast<int>(outputs_.size())) != RRSetConfigSuccess) {
        return "XRRSetCrtcConfig";
    }
    return Describe(connection_.Sync());
}
