#pragma once
// The one owner of the magnified view: which display is copied and where, how much it is enlarged,
// where the view sits on which display, which mask cuts it; the render engine, the frame source and
// the composition of one frame. Reachable through gMagnifierDisplay while the main window lives.
//
// Thread rule: the geometry fields are written on the UI thread without a lock and read by the render
// thread once per frame; display selection, editor switching and every render step hold renderLock.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
    void BuildHelpLayout();
    // The family the help text is set in: "Segoe UI", else a common desktop family, else "Consolas",
    // else the first of the list; "Arial" for an empty list.
    static std::u16string ChooseHelpFont(const std::vector<std::u16string>& families);

    // --- the view window's mouse, on the UI thread (client pixels)
    void OnWheel(int delta);
    void OnMousePressed(bool left, int x, int y);
    void OnMouseMoved(bool left, bool right, int x, int y);
    void OnMouseReleased(bool left, int x, int y);
    // Without a compositing manager alpha is not blended: the window is cut to the mask's shape.
    void UpdateViewShape();

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
    int EffectiveMagnification() const {
        const int m = magnification;
        return m > 0 ? m : 100;
    }

    // --- render engine and frames
    // Brings up the engine, its render targets, shaders and mask constants; false (after the log line and
    // message box) when the engine cannot start. With failureBox given, the box's text is handed back
    // for the caller to show, outside renderLock.
    bool StartEngine(std::u16string* failureBox = nullptr);
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
    // Read by the render thread every step, written by the UI thread.
    std::atomic<bool> restartCapture{true};
    std::atomic<bool> visible{true};
    std::atomic<bool> editorMode{false};
    std::atomic<int32_t> magnification{200};
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

    // Help panel (drawn in editor mode).
    std::u16string helpLanguage;
    std::u16string helpFontFamily;
    std::u16string helpText;
    bool helpLayout = false;  // laid out for the current text; cleared by a language change
    float helpRect[4] = {0, 0, 1000, 100};
    int helpContextWidth = 0, helpContextHeight = 0;

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

    // Process-wide: the pointer speed before the view was shown with mouseAdjust, 0 when none is saved.
    static int savedMouseSpeed;

private:
    // Takes renderLock on the UI thread; while the render thread waits for a message box the UI thread
    // must show, it keeps handling events instead of blocking.
    std::unique_lock<std::recursive_mutex> LockForUi();
    bool WaitForWork();  // render thread: false once stopped
    void Wake();
    // Frees sources, targets, mask constants and the engine's objects, with the context current on
    // this thread (the render thread when it ran).
    void ReleaseGraphics();

    std::chrono::steady_clock::time_point lastSourceFailure_{};
    bool sourceFailing_ = false;
    bool compositing_ = true;
    bool visibleBeforeEditor_ = false;
    bool dragging_ = false, panning_ = false;
    int dragLeft_ = 0, dragTop_ = 0, dragStartX_ = 0, dragStartY_ = 0;
    int panLastX_ = 0, panLastY_ = 0;

    std::thread renderThread_;
    std::atomic<bool> renderThreadDone_{false};
    std::mutex eventLock_;
    std::condition_variable eventSignal_;
    bool wakeEvent_ = false, stopEvent_ = false;  // guarded by eventLock_; each wakes one wait
    bool helpImageDirty_ = true;  // render thread
    std::chrono::steady_clock::time_point helpPresentedAt_{};  // render thread; reset to show at once
    // The view is shown once its first frame is drawn, so that first copy of the screen is without it.
    std::atomic<bool> showRequested_{false};
};

extern MagnifierDisplay* gMagnifierDisplay;
