#include "magnifier/MagnifierRenderer.h"

#include <exception>

#include "capture/DuplicationSource.h"
#include "capture/GraphicsCaptureSource.h"
#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "magnifier/ViewGeometry.h"
#include "platform/Backend.h"
#include "platform/OverlayWindow.h"
#include "platform/qt/TextPanel.h"
#include "render/MaskConstants.h"
#include "render/RenderEngine.h"
#include "render/RenderTexture.h"

using platform::PixelRect;

namespace {
constexpr auto kSourceRetry = std::chrono::seconds(1);
}

MagnifierRenderer::MagnifierRenderer() : engine_(std::make_unique<RenderEngine>()) {}

MagnifierRenderer::~MagnifierRenderer() { Release(); }

void MagnifierRenderer::PrepareSurface() { engine_->PrepareSurface(); }

bool MagnifierRenderer::Start(std::u16string* failureBox) {
    auto fail = [failureBox](const char* line, const char16_t* box) {
        Log() << LogError << line << LogEnd;
        if (failureBox != nullptr) *failureBox = box;
        return false;
    };
    if (!engine_->ListAdapters()) Log() << LogError << "Cannot enumerate OpenGL devices" << LogEnd;
    if (!engine_->LoadLibraries())
        return fail("Cannot initialize OpenGL", u"Cannot initialize OpenGL, check log file");
    if (!engine_->CreateDevice()) {
        return fail("Cannot initialize Render engine", u"Cannot initialize Render engine, check log file");
    }
    viewTarget_ = std::make_unique<RenderTexture>(engine_.get());
    helpTarget_ = std::make_unique<RenderTexture>(engine_.get());
    for (RenderTexture* t : {viewTarget_.get(), helpTarget_.get()}) {
        t->Resize(128, 128);
        engine_->Clear(t, 1, 1, 1, 1);
    }
    vertexShader_ = engine_->GetVertexShader("default");
    plainShader_ = engine_->GetPixelShader("default_alpha_premult");
    circleShader_ = engine_->GetPixelShader("circle_mask");
    rectShader_ = engine_->GetPixelShader("rect_mask");
    framePixelShader_ = engine_->GetPixelShader("default");
    maskConstants_ = std::make_unique<MaskConstants>(*engine_);
    maskConstants_->Create();  // logs its failure; frames are then drawn with the mask constants missing
    captureMethod_ = CaptureSupported() ? 0 : 1;
    return true;
}

void MagnifierRenderer::Release() {
    if (engine_) engine_->MakeCurrent();
    ReleaseFrameSources();
    viewTarget_.reset();
    helpTarget_.reset();
    frameImage_.reset();
    maskConstants_.reset();
    vertexShader_ = nullptr;
    plainShader_ = circleShader_ = rectShader_ = 0;
    if (engine_) engine_->Destroy();
}

void MagnifierRenderer::ReleaseFrameSources() {
    frame_ = nullptr;
    composedOnce_ = false;  // a new source draws its first frame
    duplicationSource_.reset();
    graphicsCaptureSource_.reset();
}

int MagnifierRenderer::SourceEventFd() const {
    return duplicationSource_ ? duplicationSource_->EventFd() : -1;
}

bool MagnifierRenderer::SourceReadyToWait() {
    return !duplicationSource_ || duplicationSource_->ReadyToWait();
}

bool MagnifierRenderer::EnsureFrameSource(const ViewSettings& s) {
    if (s.sourceGeneration != sourceGeneration_) {
        // Another display was selected, or the view was shown again: the source is made anew.
        ReleaseFrameSources();
        sourceGeneration_ = s.sourceGeneration;
    }
    if (duplicationSource_ || graphicsCaptureSource_) return true;
    if (!engine_->HasDevice()) return false;
    const auto now = std::chrono::steady_clock::now();
    if (sourceFailing_ && now - lastSourceFailure_ < kSourceRetry) return false;
    if (captureMethod_ == 0 && CaptureSupported()) {
        graphicsCaptureSource_ = CreateGraphicsCaptureSource(s.sourceMonitor, *engine_);
    }
    if (!graphicsCaptureSource_) {
        try {
            duplicationSource_ = std::make_unique<DuplicationSource>(*engine_, s.sourceMonitor);
        } catch (const std::exception& e) {
            // Logged once per failing stretch; the render step goes on and tries again later.
            if (!sourceFailing_) LogFailureMessage(LogTag::kMagnifier, e.what());
            sourceFailing_ = true;
            lastSourceFailure_ = now;
            return false;
        }
    }
    sourceFailing_ = false;
    return true;
}

void MagnifierRenderer::FollowEditorMode(bool editorMode) {
    if (editorMode == editorMode_) return;
    editorMode_ = editorMode;
    if (editorMode) {
        // Editor mode draws straight into the view window; a failure is logged by the engine.
        engine_->CreateSwapChain(windows_.view);
        help_.ShowAgainNow();
    } else {
        engine_->ReleaseSwapChain();
    }
}

bool MagnifierRenderer::Step(const ViewSettings& s) {
    if (!engine_->HasDevice()) return false;
    FollowEditorMode(s.editorMode);
    if (s.editorMode && helpTarget_) {
        help_.Draw(*engine_, *helpTarget_, windows_.help, s.targetDisplay, s.helpText, s.helpRevision);
    }
    if (!EnsureFrameSource(s)) return false;
    if (duplicationSource_) {
        // The view redrawing itself is no change of the screen, and the copy shows what lies under it.
        std::vector<PixelRect> own;
        std::vector<uint64_t> ids;
        for (platform::IOverlayWindow* w : {windows_.view, windows_.help}) {
            if (w == nullptr) continue;
            ids.push_back(w->NativeId());
            if (w->IsShown()) own.push_back(w->WindowRect());
        }
        if (const platform::IWindowGeometry* main = windows_.mainWindow;
            main != nullptr && !s.mainWindowCaptured) {
            // Left out as the view is: the window manager's frame with it.
            if (const uint64_t id = main->TopLevelId(); id != 0) {
                ids.push_back(id);
                if (const PixelRect r = main->WindowRect(); !r.empty()) own.push_back(r);
            }
            if (const platform::CallFailure f = main->TakeFailure()) {
                mainWindowStretch_.Failed(LogTag::kMagnifier, f);
            }
        }
        duplicationSource_->SetOwnWindows(std::move(ids));
        duplicationSource_->SetIgnoredAreas(std::move(own));
        // Only what the view reads is copied (all of the display while the view has no size).
        duplicationSource_->SetSourceRect(s.viewWidth > 0 && s.viewHeight > 0
                                              ? ViewGeometry::SourceRect(s.sourceDisplay, s.sourceOffset,
                                                                         s.magnification, s.viewWidth,
                                                                         s.viewHeight)
                                              : PixelRect{});
    }
    const SourceState state = UpdateSource();
    if (state == SourceState::Lost) return false;
    // Read once a step: it asks the X server.
    const uint8_t alpha = s.editorMode ? layerAlpha_ : OverlapAlpha();
    // Nothing changed, nothing drawn: no new frame, the same settings, the alpha shown is still right.
    // Editor mode draws every step: the frame follows the window as it is dragged and resized.
    if (state == SourceState::Same && composedOnce_ && !s.editorMode && s == composed_ &&
        layerAlpha_ == presentedAlpha_ && alpha == layerAlpha_) {
        return false;
    }
    return Compose(s, alpha);
}

void MagnifierRenderer::FillMaskConstants(const ViewSettings& s, int W, int H, const PixelRect& r) {
    MaskData d{};
    const float o[4] = {s.outerColor.r, s.outerColor.g, s.outerColor.b, s.outerColor.a};
    const float t[4] = {s.transitionColor.r, s.transitionColor.g, s.transitionColor.b, s.transitionColor.a};
    for (int i = 0; i < 4; ++i) d.outer_color[i] = o[i], d.transition_color[i] = t[i];
    d.mask_dist = s.maskDist;
    d.transition_dist = s.transitionDist;
    const float fw = static_cast<float>(W), fh = static_cast<float>(H);
    const float L = static_cast<float>(r.left), T = static_cast<float>(r.top);
    const float R = static_cast<float>(r.right), B = static_cast<float>(r.bottom);
    d.uv_center[0] = (L + R) * 0.5f / fw;
    d.uv_center[1] = (T + B) * 0.5f / fh;
    d.uv_lt[0] = L / fw, d.uv_lt[1] = T / fh;
    d.uv_rb[0] = R / fw, d.uv_rb[1] = B / fh;
    const float side = std::min(R - L, B - T);
    d.uv_scale[0] = fw / side;
    d.uv_scale[1] = fh / side;
    if (maskConstants_) maskConstants_->Upload(d);
}

void MagnifierRenderer::DrawEditorFrame(const RenderTexture& output, PointF clientAt) {
    const int w = static_cast<int>(output.width), h = static_cast<int>(output.height);
    const int left = static_cast<int>(clientAt.x), top = static_cast<int>(clientAt.y);
    if (left <= 0 && top <= 0) return;  // no frame around the client area
    if (!frameImage_ || frameImage_->width != output.width || frameImage_->height != output.height) {
        // Painted once per window size: the frame does not change between frames.
        frameImage_ = std::make_unique<RenderTexture>(engine_.get());
        if (!frameImage_->Resize(output.width, output.height)) return;
        const std::vector<unsigned char> image = platform::PaintFrame(
            w, h, left, top, u"Lentora", HelpPanel::ChooseFont(platform::FontFamilies()));
        engine_->Upload(*frameImage_, image.data(), w * 4, true);
    }
    engine_->BindShaders(vertexShader_, framePixelShader_);
    engine_->BindPointSampler(0);
    engine_->BindTexture(0, frameImage_.get());
    // The painted image holds its rows from the bottom.
    engine_->DrawQuad({0, 0}, {static_cast<float>(w), static_cast<float>(h)}, {0, 1}, {1, 0});
    engine_->Draw(4);
    engine_->BindLinearSampler(0);
}

uint8_t MagnifierRenderer::OverlapAlpha() {
    const platform::IOverlayWindow* view = windows_.view;
    const platform::IWindowGeometry* main = windows_.mainWindow;
    if (main == nullptr || view == nullptr || !windows_.activeWindow) return 255;
    const uint64_t fg = windows_.activeWindow();
    if (fg == 0 || (fg != main->NativeId() && fg != view->NativeId())) return 255;
    const PixelRect mainRect = main->WindowRect();
    if (const platform::CallFailure f = main->TakeFailure()) {
        mainWindowStretch_.Failed(LogTag::kMagnifier, f);
    } else {
        mainWindowStretch_.Succeeded();
    }
    return ViewGeometry::OverlapAlpha(mainRect, view->WindowRect());
}

MagnifierRenderer::SourceState MagnifierRenderer::UpdateSource() {
    if (duplicationSource_) {
        if (!duplicationSource_->UpdateFrame()) return SourceState::Lost;
        frame_ = duplicationSource_->frameCopy.get();
        return duplicationSource_->changed() ? SourceState::New : SourceState::Same;
    }
    frame_ = graphicsCaptureSource_ ? graphicsCaptureSource_->NextFrame() : nullptr;
    return SourceState::New;
}

bool MagnifierRenderer::ComposeFrame(const ViewSettings& s) {
    if (!engine_->HasDevice() || UpdateSource() == SourceState::Lost) return false;
    return Compose(s, s.editorMode ? layerAlpha_ : OverlapAlpha());
}

bool MagnifierRenderer::Compose(const ViewSettings& s, uint8_t nextAlpha) {
    // 1. The frame.
    RenderTexture* frame = frame_;
    if (frame == nullptr || frame->texture() == 0) return false;

    // 2. Targets follow the view's size; a view without pixels has nothing to show.
    const int Wt = s.viewWidth, Ht = s.viewHeight;
    if (Wt <= 0 || Ht <= 0) return false;
    std::unique_ptr<RenderTexture> windowBuffer;
    RenderTexture* output = nullptr;
    PointF clientAt{0, 0};  // where the view's content goes in the output
    if (s.editorMode) {
        windowBuffer = RenderTexture::WindowBuffer(engine_.get());
        if (!windowBuffer || windowBuffer->width == 0 || windowBuffer->height == 0) return false;
        output = windowBuffer.get();
        const PixelRect window = windows_.view->WindowRect(), client = windows_.view->ClientRect();
        clientAt = {static_cast<float>(client.left - window.left),
                    static_cast<float>(client.top - window.top)};
    } else {
        if (!viewTarget_->Resize(static_cast<uint32_t>(Wt), static_cast<uint32_t>(Ht))) return false;
        output = viewTarget_.get();
    }

    // 3-4. States and target.
    engine_->BindRasterizerState();
    engine_->BindDepthStencilState();
    engine_->BindOpaqueBlendState();
    engine_->BindLinearSampler(0);
    engine_->SetRenderTarget(output);
    if (s.editorMode) DrawEditorFrame(*output, clientAt);

    // 5-6. Source rectangle and shaders.
    const PixelRect src = ViewGeometry::SourceRect(s.sourceDisplay, s.sourceOffset, s.magnification, Wt, Ht);
    const int fw = static_cast<int>(frame->width), fh = static_cast<int>(frame->height);
    switch (s.maskType) {
        case 0:
            engine_->BindShaders(vertexShader_, plainShader_);
            break;
        case 1:
            engine_->BindShaders(vertexShader_, circleShader_);
            FillMaskConstants(s, fw, fh, src);
            break;
        case 2:
            engine_->BindShaders(vertexShader_, rectShader_);
            FillMaskConstants(s, fw, fh, src);
            break;
        default:
            break;
    }

    // 7. One quad over the whole output.
    const PointF uvTl{static_cast<float>(src.left) / static_cast<float>(fw),
                      static_cast<float>(src.top) / static_cast<float>(fh)};
    const PointF uvBr{static_cast<float>(src.right) / static_cast<float>(fw),
                      static_cast<float>(src.bottom) / static_cast<float>(fh)};
    engine_->DrawQuad(clientAt, {clientAt.x + static_cast<float>(Wt), clientAt.y + static_cast<float>(Ht)},
                      uvTl, uvBr);
    engine_->BindTexture(0, frame);
    engine_->Draw(4);

    // 8. Unbind.
    engine_->BindTexture(0, nullptr);
    engine_->SetRenderTarget(nullptr);

    // 9. Present: the alpha computed now is shown from the next frame on.
    if (s.editorMode) {
        engine_->Present();
    } else {
        if (windows_.view != nullptr) engine_->PresentToWindow(*viewTarget_, *windows_.view, layerAlpha_);
        presentedAlpha_ = layerAlpha_;
        layerAlpha_ = nextAlpha;
    }
    composed_ = s;
    composedOnce_ = true;
    ++presents_;
    return true;
}
