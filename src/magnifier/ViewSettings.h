#pragma once
// Everything a render step needs to know of the view, as one value: the UI thread publishes it, the
// render thread copies it once per step (see SettingsHandOver). Geometry is resolved to rectangles on
// the UI thread, so the render thread never reads the monitor list or the profile fields.

#include <cstdint>
#include <string>

#include "magnifier/MagnifierTypes.h"
#include "platform/PixelRect.h"

struct ViewSettings {
    // The source display and where on it the view looks.
    uint64_t sourceMonitor = 0;
    platform::PixelRect sourceDisplay{};
    IntPair sourceOffset;
    // A new value drops the frame source: made anew at the next step.
    uint64_t sourceGeneration = 0;

    // The view: its display, its size in pixels, the enlargement.
    platform::PixelRect targetDisplay{};
    int32_t viewWidth = 0, viewHeight = 0;
    int32_t magnification = 200;

    // The mask.
    int32_t maskType = 0;
    ColorF outerColor;
    ColorF transitionColor;
    float maskDist = 0.5f;
    float transitionDist = 0.0f;

    // The help panel's text; a new revision lays it out again (a language change).
    std::u16string helpText;
    uint64_t helpRevision = 0;

    bool visible = false;
    bool editorMode = false;
    // False: the copy of the screen leaves the main window out (app.capture_visible 0).
    bool mainWindowCaptured = true;

    bool operator==(const ViewSettings&) const = default;
};
