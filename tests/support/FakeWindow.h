#pragma once
// A window that only remembers where it was put, for the magnifier's geometry.

#include "platform/OverlayWindow.h"

class FakeWindow : public platform::IOverlayWindow {
public:
    explicit FakeWindow(uint64_t id = 0) : id_(id) {}
    void SetGeometry(const platform::PixelRect& r, bool show) override {
        rect = r;
        shown = shown || show;
        ++geometryCalls;
    }
    void MoveTo(int left, int top, bool show) override {
        rect = {left, top, left + rect.width(), top + rect.height()};
        shown = shown || show;
    }
    void Show() override { shown = true; }
    void Hide() override { shown = false; }
    bool IsShown() const override { return shown; }
    platform::PixelRect WindowRect() const override { return rect; }
    platform::PixelRect ClientRect() const override {
        return {rect.left + frame, rect.top + frame + caption, rect.right - frame, rect.bottom - frame};
    }
    uint64_t NativeId() const override { return id_; }

    platform::PixelRect rect{};
    bool shown = false;
    int geometryCalls = 0;
    int frame = 0, caption = 0;

private:
    uint64_t id_;
};
