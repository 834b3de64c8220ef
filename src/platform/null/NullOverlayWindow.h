#pragma once
// An overlay window that only remembers what was asked of it: where it was put, whether it shows, its
// shape and frame. For the null back end and for tests of the magnifier's logic.

#include <vector>

#include "platform/OverlayWindow.h"

namespace platform {

class NullOverlayWindow : public IOverlayWindow {
public:
    explicit NullOverlayWindow(uint64_t id = 0, OverlayEvents events = {})
        : events(std::move(events)), id_(id) {}

    void SetGeometry(const PixelRect& r, bool show) override {
        rect = r;
        shown = shown || show;
        ++geometryCalls;
    }
    void MoveTo(int left, int top, bool show) override {
        const PixelRect client = ClientRect();
        rect = {rect.left + (left - client.left), rect.top + (top - client.top),
                rect.right + (left - client.left), rect.bottom + (top - client.top)};
        shown = shown || show;
    }
    void Show() override { shown = true; }
    void Hide() override { shown = false; }
    bool IsShown() const override { return shown; }
    PixelRect WindowRect() const override { return rect; }
    PixelRect ClientRect() const override {
        return {rect.left + frame, rect.top + frame + caption, rect.right - frame, rect.bottom - frame};
    }
    uint64_t NativeId() const override { return id_; }
    void SetFramed(bool on) override { framed = on; }
    void SetShape(std::vector<PixelRect> parts) override { shape = std::move(parts); }

    OverlayEvents events;
    PixelRect rect{};
    bool shown = false, framed = false;
    int geometryCalls = 0;
    int frame = 0, caption = 0;  // the frame a window manager would add
    std::vector<PixelRect> shape;

private:
    uint64_t id_;
};

}  // namespace platform
