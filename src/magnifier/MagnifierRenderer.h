#pragma once
// What the render thread does with one copy of the view's settings: the render engine and its targets,
// the frame source of the source display, the composition of one frame through the mask shader, the
// presentation in the view window, and the help panel of editor mode. Render thread only, apart from
// construction, PrepareSurface and the window pointers, which are set on the UI thread before the
// thread starts.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "log/LogFailure.h"
#include "magnifier/HelpPanel.h"
#include "magnifier/ViewSettings.h"
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
struct PointF;

class MagnifierRenderer {
public:
    // The windows the renderer draws into and reads; not owned, set before the render thread starts.
    struct Windows {
        platform::IOverlayWindow* view = nullptr;
        platform::IOverlayWindow* help = nullptr;
        // The main window, for the fading while it covers the view.
        const platform::IWindowGeometry* mainWindow = nullptr;
        // The window that has the focus; called on the render thread.
        std::function<uint64_t()> activeWindow;
    };

    MagnifierRenderer();
    MagnifierRenderer(const MagnifierRenderer&) = delete;
    MagnifierRenderer& operator=(const MagnifierRenderer&) = delete;
    ~MagnifierRenderer();

    // UI thread, before the render thread starts.
    void SetWindows(Windows windows) { windows_ = std::move(windows); }
    void PrepareSurface();

    // Brings up the engine, its render targets, shaders and mask constants; false (after the log line)
    // when the engine cannot start, with the text of the message box the user must see.
    bool Start(std::u16string* failureBox);
    // One step: the help panel in editor mode, the frame source, the composition and presentation.
    // True when a frame was presented in the view.
    bool Step(const ViewSettings& settings);
    // Makes a frame source for the source display when there is none; a failure is logged once and tried
    // again at most once a second. False while there is no source.
    bool EnsureFrameSource(const ViewSettings& settings);
    void ReleaseFrameSources();
    // The frame source's descriptor that becomes readable when the screen may have changed (-1: none),
    // and whether sleeping on it is safe now.
    int SourceEventFd() const;
    bool SourceReadyToWait();
    // Composes the current frame into the view target (or the view window in editor mode) and presents
    // it; false when there was nothing to show.
    bool ComposeFrame(const ViewSettings& settings);
    // How many frames were composed and presented so far.
    uint64_t presents() const { return presents_; }
    // Frees sources, targets, mask constants and the engine's objects, with the context current.
    void Release();

    // The constant alpha the view was last presented with.
    uint8_t layerAlpha() const { return layerAlpha_; }
    // The layer alpha for the current window arrangement (255 unless the main window or the view has
    // the focus and the main window covers part of the view).
    uint8_t OverlapAlpha();

    RenderEngine* engine() const { return engine_.get(); }
    RenderTexture* viewTarget() const { return viewTarget_.get(); }
    DuplicationSource* duplicationSource() const { return duplicationSource_.get(); }

private:
    enum class SourceState { Lost, Same, New };
    // Brings the frame source's copy up to date; Lost when the source must be made again.
    SourceState UpdateSource();
    // Composes the current frame and presents it; nextAlpha is the layer alpha of the next frame.
    bool Compose(const ViewSettings& settings, uint8_t nextAlpha);
    void FillMaskConstants(const ViewSettings& s, int frameWidth, int frameHeight,
                           const platform::PixelRect& src);
    void FollowEditorMode(bool editorMode);
    // Editor mode: the view's own frame (border and caption with the title) around the client area.
    void DrawEditorFrame(const RenderTexture& output, PointF clientAt);

    Windows windows_;
    std::unique_ptr<RenderEngine> engine_;
    std::unique_ptr<MaskConstants> maskConstants_;
    std::unique_ptr<RenderTexture> viewTarget_;
    std::unique_ptr<RenderTexture> helpTarget_;
    LoadedVertexShader* vertexShader_ = nullptr;
    unsigned plainShader_ = 0, circleShader_ = 0, rectShader_ = 0, framePixelShader_ = 0;
    std::unique_ptr<RenderTexture> frameImage_;  // the editor frame, painted for the window's size
    std::unique_ptr<DuplicationSource> duplicationSource_;
    std::unique_ptr<GraphicsCaptureSource> graphicsCaptureSource_;
    int32_t captureMethod_ = 0;  // 0 automatic, 1 duplication only
    uint64_t sourceGeneration_ = 0;
    std::chrono::steady_clock::time_point lastSourceFailure_{};
    bool sourceFailing_ = false;
    bool editorMode_ = false;
    HelpPanel help_;
    uint8_t layerAlpha_ = 0;
    uint8_t presentedAlpha_ = 0;      // the alpha the view was last presented with
    RenderTexture* frame_ = nullptr;  // the source's copy, owned by the source
    ViewSettings composed_;           // the settings of the last composition
    bool composedOnce_ = false;
    uint64_t presents_ = 0;
    FailureStretch mainWindowStretch_;  // reading the main window's place
};
