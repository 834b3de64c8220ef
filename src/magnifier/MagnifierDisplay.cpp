#include "magnifier/MagnifierDisplay.h"

#include <algorithm>

#include "capture/DuplicationSource.h"
#include "capture/GraphicsCaptureSource.h"
#include "localization/LanguageStrings.h"
#include "magnifier/OptionGroup.h"
#include "options/OptionCatalogue.h"
#include "platform/Monitors.h"
#include "platform/OverlayWindow.h"
#include "render/MaskConstants.h"
#include "render/RenderEngine.h"
#include "render/RenderTexture.h"
#include "text/WideText.h"

MagnifierDisplay* gMagnifierDisplay = nullptr;

MagnifierDisplay::MagnifierDisplay() : activeWindow(platform::ActiveWindow) {}

MagnifierDisplay::~MagnifierDisplay() { Destroy(); }

void MagnifierDisplay::ReleaseGraphics() {
    if (engine) engine->MakeCurrent();
    ReleaseFrameSources();
    viewTarget.reset();
    helpTarget.reset();
    maskConstants.reset();
    vertexShader = nullptr;
    plainShader = circleShader = rectShader = 0;
    if (engine) engine->Destroy();
}

const char* MagnifierDisplay::StatusName() const {
    if (!visible) return "MagnifierHidden";
    return layerAlpha >= 245 ? "MagnifierVisibleFull" : "MagnifierVisiblePart";
}

void MagnifierDisplay::ApplyOptions(int groups) {
    auto has = [groups](int bit) { return (groups & bit) != 0; };
    if (has(SourceDisplay)) SelectSourceDisplay(text::ToWide(options::profileSrcDisplay.Text()));
    if (has(SourceOffset)) {
        const auto [x, y] = options::profileSrcOffset.Pair();
        sourceOffset = {x, y};
    }
    if (has(TargetDisplay)) SelectTargetDisplay(text::ToWide(options::profileTargetDisplay.Text()), true);
    if (has(TargetSize)) {
        const auto [w, h] = options::profileTargetSize.Pair();
        targetSize = {std::clamp(w, 5000, 100000), std::clamp(h, 5000, 100000)};
        PlaceView();
    }
    if (has(TargetOffset)) {
        const auto [x, y] = options::profileTargetOffset.Pair();
        targetOffset = {std::clamp(x, -50000, 50000), std::clamp(y, -50000, 50000)};
        PlaceView();
    }
    if (has(Magnification)) magnification = options::profileMagnificationFactor.Int();
    if (has(Language)) {
        helpLanguage = text::ToWide(options::uiLanguage.Text());
        helpFontFamily.clear();
        helpLayout = false;
        helpText = gLanguageStrings != nullptr ? gLanguageStrings->GetText("UI.INGAME.HELP") : u"UI.INGAME.HELP";
    }
    if (has(MouseAdjust)) mouseAdjust = options::profileMagnificationMouseAdjust.Int() != 0;
    if (has(Mask)) {
        const options::Color t = options::profileMaskTransColor.Color();
        const options::Color o = options::profileMaskOuterColor.Color();
        transitionColor = {t.r, t.g, t.b, t.a};
        outerColor = {o.r, o.g, o.b, o.a};
        transitionDist = static_cast<float>(options::profileMaskTransdist.Int()) / 1000.0f;
        maskDist = static_cast<float>(options::profileMaskDist.Int()) / 1000.0f;
        maskType = options::profileMaskType.Int();
        UpdateViewShape();
    }
}
