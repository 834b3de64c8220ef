#pragma once
// The one owner of the magnified view: which display is copied and where, how much it is enlarged,
// where the view sits on which display, which mask cuts it; the render engine, the frame source and
// the composition of one frame. Reachable through gMagnifierDisplay while the main window lives.
//
// Thread rule: the geometry fields are written on the UI thread without a lock and read by the render
// thread once per frame; display selection, editor switching and every render step hold renderLock.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/PixelRect.h"

namespace platform {
class IOverlayWindow;
class IWindowGeometry;
}  // namespace platform
class RenderEngine;
class RenderTexture;
class MaskConstants;
class DuplicationSource;
class GraphicsCaptureSource;
struct LoadedVertexShader;

struct IntPair {
    int32_t x = 0, y = 0;
    bool operator==(const IntPair&) const = default;
};

struct ColorF {
    float r = 0, g = 0, b = 0, a = 1;
};

class MagnifierDisplay {
public:
    static constexpr int kRenderWaitMs = 15;

    MagnifierDisplay();
    MagnifierDisplay(const MagnifierDisplay&) = delete;
    MagnifierDisplay& operator=(const MagnifierDisplay&) = delete;
    ~MagnifierDisplay();

    // --- life, on the UI thread
    // Makes the view and help windows, prepares the engine's surface and selects the source display.
    // The engine itself starts on the render thread (Start); its failures show their message boxes.
    bool Create(const std::u16string& sourceDisplayName);
    // Hides the view and starts the render thread.
    void Start();
    // Shows or hides the view (the mouse slowed while it shows when mouseAdjust is on).
    void SetVisible(bool show);
    // Frames the view for dragging, panning and zooming with the mouse, with the help panel shown; off
    // returns to the visibility from before.
    void SetEditorMode(bool on);
    // Stops the render thread and frees windows, sources and the engine.
    void Destroy();

    // --- render thread
    void RenderThread();
    void RenderStep();
    void DrawHelp();

    // --- state and geometry
    void ApplyOptions(int groups);
    bool SelectSourceDisplay(const std::u16string& name);
    bool SelectTargetDisplay(const std::u16string& name, bool place);
    void PlaceView();
    void OnViewMoved(bool place);
    // The bounds of the monitor at the index held in indexRef; an index out of range becomes 0 first.
    platform::PixelRect DisplayRect(int32_t& indexRef);
    // The part of the source display one frame reads, in its pixels, (0, 0) at its top-left corner.
    platform::PixelRect SourceRect(int viewWidth, int viewHeight);
    uint8_t OverlapAlpha() const;
    // "MagnifierHidden", "MagnifierVisibleFull" or "MagnifierVisiblePart".
    const char* StatusName() const;
    // The enlargement in use: a magnification of 0 or below (a hand-edited file) counts as 100.
    int EffectiveMagnification() const { return magnification > 0 ? magnification : 100; }

    // --- render engine and frames
    // Brings up the engine, its render targets, shaders and mask constants; false (after the log line and
    // message box) when the engine cannot start.
    bool StartEngine();
    // Makes a frame source for the source display when there is none; a failure is logged once and tried
    // again at most once a second. False while there is no source.
    bool EnsureFrameSource();
    void ReleaseFrameSources();
    void ComposeFrame();
    void FillMaskConstants(int frameWidth, int frameHeight, const platform::PixelRect& sourceRect);
    void UpdateLayered(RenderTexture& texture, platform::IOverlayWindow* window, uint8_t alpha);

    // --- fields
    int32_t targetWidthPx = 0, targetHeightPx = 0;
    std::unique_ptr<platform::IOverlayWindow> overlayWindow;
    std::unique_ptr<platform::IOverlayWindow> helpWindow;
    std::recursive_mutex renderLock;
    bool restartCapture = true;
    bool visible = true;
    bool editorMode = false;
    int32_t magnification = 200;
    uint8_t layerAlpha = 0;
    int32_t sourceIndex = -1;
    uint64_t sourceMonitor = 0;
    IntPair sourceOffset;
    int32_t targetIndex = 0;
    IntPair targetOffset;
    IntPair targetSize{100, 100};
    uint64_t targetMonitor = 0;
    bool mouseAdjust = false;
    int32_t maskType = 0;
    ColorF outerColor;
    ColorF transitionColor;
    float maskDist = 0.5f;
    float transitionDist = 0.0f;
    bool positioning = false;

    // Help panel text (drawn in editor mode).
    std::u16string helpLanguage;
    std::u16string helpFontFamily;
    std::u16string helpText;

    int32_t captureMethod = 0;  // 0 automatic, 1 duplication only

    std::unique_ptr<RenderEngine> engine;
    std::unique_ptr<MaskConstants> maskConstants;
    std::unique_ptr<RenderTexture> viewTarget;
    std::unique_ptr<RenderTexture> helpTarget;
    LoadedVertexShader* vertexShader = nullptr;
    unsigned plainShader = 0, circleShader = 0, rectShader = 0;
    std::unique_ptr<DuplicationSource> duplicationSource;
    std::unique_ptr<GraphicsCaptureSource> graphicsCaptureSource;

    // The main window, for the fading while it covers the view; set by the main window.
    const platform::IWindowGeometry* mainWindow = nullptr;
    // The window that has the focus (the X server's by default; tests replace it).
    std::function<uint64_t()> activeWindow;

private:
    std::chrono::steady_clock::time_point lastSourceFailure_{};
    bool sourceFailing_ = false;
};

extern MagnifierDisplay* gMagnifierDisplay;
