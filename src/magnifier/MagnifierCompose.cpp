#include <exception>

#include "capture/DuplicationSource.h"
#include "capture/GraphicsCaptureSource.h"
#include "log/IDebugPrint.h"
#include "magnifier/MagnifierDisplay.h"
#include "platform/Capabilities.h"
#include "platform/MessageBox.h"
#include "platform/OverlayWindow.h"
#include "render/MaskConstants.h"
#include "render/RenderEngine.h"
#include "render/RenderTexture.h"

using platform::PixelRect;

namespace {
constexpr auto kSourceRetry = std::chrono::seconds(1);
}

bool MagnifierDisplay::StartEngine(std::u16string* failureBox) {
    auto fail = [failureBox](const char* line, const char16_t* box) {
        Log() << LogError << line << LogEnd;
        if (failureBox != nullptr) {
            *failureBox = box;
        } else {
            platform::ShowMessageBox(box, u"Lentora", platform::MessageIcon::Error);
        }
        return false;
    };
    if (!engine) engine = std::make_unique<RenderEngine>(renderLock);
    if (!engine->ListAdapters()) Log() << LogError << "Cannot enumerate OpenGL devices" << LogEnd;
    if (!engine->LoadLibraries()) return fail("Cannot initialize OpenGL", u"Cannot initialize OpenGL, check log file");
    if (!engine->CreateDevice()) {
        return fail("Cannot initialize Render engine", u"Cannot initialize Render engine, check log file");
    }
    const uint32_t bind = RenderTexture::kShaderResource | RenderTexture::kRenderTarget;
    viewTarget = std::make_unique<RenderTexture>(engine.get(), bind, 0, RenderTexture::kGdiCompatible,
                                                 RenderTexture::kFormatBGRA8);
    helpTarget = std::make_unique<RenderTexture>(engine.get(), bind, 0, RenderTexture::kGdiCompatible,
                                                 RenderTexture::kFormatBGRA8);
    for (RenderTexture* t : {viewTarget.get(), helpTarget.get()}) {
        t->Resize(128, 128);
        engine->Clear(t, 1, 1, 1, 1);
    }
    vertexShader = engine->GetVertexShader("default");
    plainShader = engine->GetPixelShader("default_alpha_premult");
    circleShader = engine->GetPixelShader("circle_mask");
    rectShader = engine->GetPixelShader("rect_mask");
    maskConstants = std::make_unique<MaskConstants>(*engine);
    maskConstants->Create();  // logs its failure; frames are then drawn with the mask constants missing
    captureMethod = CaptureSupported() ? 0 : 1;
    return true;
}

void MagnifierDisplay::ReleaseFrameSources() {
    ReleaseSource(duplicationSource);
    CloseSource(graphicsCaptureSource);
}

bool MagnifierDisplay::EnsureFrameSource() {
    if (duplicationSource || graphicsCaptureSource) return true;
    if (!engine || !engine->HasDevice()) return false;
    const auto now = std::chrono::steady_clock::now();
    if (sourceFailing_ && now - lastSourceFailure_ < kSourceRetry) return false;
    if (captureMethod == 0 && platform::ScreenCastSupported()) {
        graphicsCaptureSource = CreateGraphicsCaptureSource(sourceMonitor, *engine);
    }
    if (!graphicsCaptureSource) {
        try {
            duplicationSource = std::make_unique<DuplicationSource>(*engine, sourceMonitor);
        } catch (const std::exception& e) {
            // Logged once per failing stretch; the render step goes on and tries again later.
            if (!sourceFailing_) Log() << LogError << "[Magnifier]" << "[Error] " << e.what() << LogEnd;
            sourceFailing_ = true;
            lastSourceFailure_ = now;
            return false;
        }
    }
    sourceFailing_ = false;
    return true;
}

void MagnifierDisplay::FillMaskConstants(int W, int H, const PixelRect& r) {
    MaskData d{};
    const float o[4] = {outerColor.r, outerColor.g, outerColor.b, outerColor.a};
    const float t[4] = {transitionColor.r, transitionColor.g, transitionColor.b, transitionColor.a};
    for (int i = 0; i < 4; ++i) d.outer_color[i] = o[i], d.transition_color[i] = t[i];
    d.mask_dist = maskDist;
    d.transition_dist = transitionDist;
    const float fw = static_cast<float>(W), fh = static_cast<float>(H);
    const float L = static_cast<float>(r.left), T = static_cast<float>(r.top);
    const float R = static_cast<float>(r.right), B = static_cast<float>(r.bottom);
    d.uv_center[0] = (L + R) * 0.5f / fw;
    d.uv_center[1] = (T + B) * 0.5f / fh;
    d.uv_lt[0] = L / fw, d.uv_lt[1] = T / fh;
    d.uv_rb[0] = R / fw, d.uv_rb[1] = B / fh;
    const float s = std::min(R - L, B - T);
    d.uv_scale[0] = fw / s;
    d.uv_scale[1] = fh / s;
    if (maskConstants) maskConstants->Upload(d);
}

void MagnifierDisplay::UpdateLayered(RenderTexture& texture, platform::IOverlayWindow* window, uint8_t alpha) {
    if (window == nullptr || !engine) return;
    engine->PresentToWindow(texture, *window, alpha);
}

void MagnifierDisplay::ComposeFrame() {
    if (!engine || !engine->HasDevice()) return;
    // 1. The frame.
    RenderTexture* frame = nullptr;
    if (duplicationSource) {
        if (!duplicationSource->UpdateFrame()) return;
        frame = duplicationSource->frameCopy.get();
    } else if (graphicsCaptureSource) {
        frame = graphicsCaptureSource->NextFrame();
    }
    if (frame == nullptr || frame->texture == 0) return;

    // 2. Targets follow the view's size; a view without pixels has nothing to show.
    const int Wt = targetWidthPx, Ht = targetHeightPx;
    if (Wt <= 0 || Ht <= 0) return;
    std::unique_ptr<RenderTexture> windowBuffer;
    RenderTexture* output = nullptr;
    if (editorMode) {
        windowBuffer = std::make_unique<RenderTexture>(engine.get());
        if (!windowBuffer->HasTexture()) return;
        windowBuffer->Resize(static_cast<uint32_t>(Wt), static_cast<uint32_t>(Ht));
        output = windowBuffer.get();
    } else {
        if (!viewTarget->Resize(static_cast<uint32_t>(Wt), static_cast<uint32_t>(Ht))) return;
        output = viewTarget.get();
    }

    // 3-4. States and target.
    engine->BindRasterizerState();
    engine->BindDepthStencilState();
    engine->BindOpaqueBlendState();
    engine->BindLinearSampler(0);
    engine->SetRenderTarget(output);

    // 5-6. Source rectangle and shaders.
    const PixelRect src = SourceRect(Wt, Ht);
    const int fw = static_cast<int>(frame->width), fh = static_cast<int>(frame->height);
    switch (maskType) {
        case 0:
            engine->BindShaders(vertexShader, plainShader);
            break;
        case 1:
            engine->BindShaders(vertexShader, circleShader);
            FillMaskConstants(fw, fh, src);
            break;
        case 2:
            engine->BindShaders(vertexShader, rectShader);
            FillMaskConstants(fw, fh, src);
            break;
        default:
            break;
    }

    // 7. One quad over the whole output.
    const PointF uvTl{static_cast<float>(src.left) / static_cast<float>(fw), static_cast<float>(src.top) / static_cast<float>(fh)};
    const PointF uvBr{static_cast<float>(src.right) / static_cast<float>(fw), static_cast<float>(src.bottom) / static_cast<float>(fh)};
    engine->DrawQuad({0, 0}, {static_cast<float>(Wt), static_cast<float>(Ht)}, uvTl, uvBr);
    engine->BindTexture(0, frame);
    engine->Draw(4);

    // 8. Unbind.
    engine->BindTexture(0, nullptr);
    engine->FlushColored();
    engine->SetRenderTarget(nullptr);

    // 9. Present: the alpha computed now is shown from the next frame on.
    if (editorMode) {
        engine->Present();
    } else {
        const uint8_t a = OverlapAlpha();
        UpdateLayered(*viewTarget, overlayWindow.get(), layerAlpha);
        layerAlpha = a;
    }
}
