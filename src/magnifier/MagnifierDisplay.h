#pragma once
// The one owner of the magnified view: which display is copied and where, how much it is enlarged,
// where the view sits on which display, which mask cuts it; its two windows and the render thread.
// Reachable through gMagnifierDisplay while the main window lives.
//
// Threads: the profile fields below belong to the UI thread (the pages read them there). Every change
// the render thread must see is published as one ViewSettings value under renderLock (Publish), which
// the render thread copies once per step; the render thread holds renderLock for nothing else and never
// waits for the UI thread while it holds it. What the render thread draws with lives in the renderer.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "magnifier/EditorInput.h"
#include "magnifier/MagnifierRenderer.h"
#include "magnifier/MagnifierTypes.h"
#include "magnifier/SettingsHandOver.h"
#include "magnifier/ViewSettings.h"
#include "platform/PixelRect.h"
#include "platform/PointerAcceleration.h"
#include "platform/posix/WakeSignal.h"

namespace platform {
class IOverlayWindow;
class IWindowGeometry;
}  // namespace platform

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

    // --- the view window's mouse, on the UI thread (client pixels)
    void OnWheel(int delta);
    void OnMousePressed(bool left, int x, int y);
    void OnMouseMoved(bool left, bool right, int x, int y);
    void OnMouseReleased(bool left, int x, int y);
    // Without a compositing manager alpha is not blended: the window is cut to the mask's shape.
    void UpdateViewShape();

    // --- state and geometry, on the UI thread
    void ApplyOptions(int groups);
    bool SelectSourceDisplay(const std::u16string& name);
    bool SelectTargetDisplay(const std::u16string& name, bool place);
    void PlaceView();
    void OnViewMoved(bool place);
    // The X server reported the view window's place or size: read back unless the program put it there.
    void OnViewReported();
    // The bounds of the monitor at the index held in indexRef; an index out of range becomes 0 first.
    platform::PixelRect DisplayRect(int32_t& indexRef);
    // The part of the source display one frame reads, in its pixels, (0, 0) at its top-left corner.
    platform::PixelRect SourceRect(int viewWidth, int viewHeight);
    uint8_t OverlapAlpha() { return renderer_.OverlapAlpha(); }
    // "MagnifierHidden", "MagnifierVisibleFull" or "MagnifierVisiblePart".
    const char* StatusName() const;
    // The enlargement in use: a magnification of 0 or below (a hand-edited file) counts as 100.
    int EffectiveMagnification() const;
    // The help panel's text (the language's "UI.INGAME.HELP"); laid out again by the render thread.
    void SetHelpText(std::u16string text);
    // Hands the current state to the render thread and wakes it. Every UI-thread change of what the
    // view shows ends with it; the operations above call it themselves.
    void Publish();
    // The settings as the render thread will see them next (what Publish last stored).
    ViewSettings PublishedSettings();

    // The main window, for the fading while it covers the view; set before Start.
    void SetMainWindow(const platform::IWindowGeometry* window);
    // Whether the view may show the main window when it lies in the source; the view shows what is
    // under it when not.
    void SetMainWindowCaptured(bool captured);
    // The window that has the focus (the back end's by default); tests replace it before Start.
    void SetActiveWindowSource(std::function<uint64_t()> activeWindow);
    // Tests that give the display windows of their own hand them to the renderer with this.
    void UseWindows(std::unique_ptr<platform::IOverlayWindow> view,
                    std::unique_ptr<platform::IOverlayWindow> help);

    // --- fields of the UI thread
    int32_t targetWidthPx = 0, targetHeightPx = 0;
    std::unique_ptr<platform::IOverlayWindow> overlayWindow;
    std::unique_ptr<platform::IOverlayWindow> helpWindow;
    bool restartCapture = true;  // the frame source is made anew (published as a new source generation)
    bool visible = true;
    bool editorMode = false;
    int32_t magnification = 200;
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
    // The view window's rectangle as the program last placed it; empty once a move was read back.
    platform::PixelRect placedView_;
    std::u16string helpLanguage;
    std::u16string helpText;

    // Written by the render thread after each step, read by the UI thread.
    std::atomic<uint8_t> layerAlpha{0};
    std::atomic<uint64_t> presentCount{0};  // frames composed and presented so far

    // Guards the published settings, and nothing else.
    std::recursive_mutex renderLock;

    // The render thread's objects; reach them only while the render thread is not running.
    MagnifierRenderer& renderer() { return renderer_; }

    // Process-wide: the pointer speed before the view was shown with mouseAdjust, 0 when none is saved.
    static int savedMouseSpeed;
    // The acceleration as the user had it before the view slowed the pointer.
    static platform::PointerAcceleration savedAcceleration_;
    static bool savedAccelerationValid_;

private:
    // The one way the UI thread takes renderLock: while it waits it keeps handling events if some other
    // thread waits for a message box.
    std::unique_lock<std::recursive_mutex> LockForUi();
    ViewSettings CurrentSettings();
    // Before the render thread starts: the windows it draws into and reads.
    void HandWindowsToRenderer();

    // --- render thread
    void RenderThread();
    bool WaitForWork(bool visibleNow);  // false once stopped
    void Wake();

    // UI thread
    bool compositing_ = true;
    bool visibleBeforeEditor_ = false;
    EditorInput editorInput_;
    uint64_t sourceGeneration_ = 0;
    uint64_t helpRevision_ = 0;
    const platform::IWindowGeometry* mainWindow_ = nullptr;
    bool mainWindowCaptured_ = true;
    std::function<uint64_t()> activeWindow_;

    // guarded by renderLock
    SettingsHandOver published_;

    // render thread
    MagnifierRenderer renderer_;
    ViewSettings frameSettings_;
    uint64_t settingsSeen_ = 0;

    std::thread renderThread_;
    std::atomic<bool> renderThreadDone_{false};
    platform::WakeSignal renderSignal_;  // wakes the render thread: a new setting, the stop
    std::atomic<bool> stopEvent_{false};
    // The view is shown once its first frame is drawn, so that first copy of the screen is without it.
    std::atomic<bool> showRequested_{false};
};

extern MagnifierDisplay* gMagnifierDisplay;
