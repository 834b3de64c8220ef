#include "magnifier/MagnifierDisplay.h"

#include <algorithm>

#include "localization/LanguageStrings.h"
#include "log/LogFailure.h"
#include "magnifier/OptionGroup.h"
#include "magnifier/ViewGeometry.h"
#include "options/OptionCatalogue.h"
#include "platform/Backend.h"
#include "platform/OverlayWindow.h"
#include "text/WideText.h"

MagnifierDisplay* gMagnifierDisplay = nullptr;

MagnifierDisplay::MagnifierDisplay() {
    // Read on the render thread every frame: a failure is logged once per failing stretch.
    activeWindow_ = [stretch = FailureStretch()]() mutable {
        platform::CallFailure failure;
        const uint64_t id = platform::Backend().ActiveWindow(&failure);
        if (failure) {
            stretch.Failed(LogTag::kMagnifier, failure);
        } else {
            stretch.Succeeded();
        }
        return id;
    };
}

MagnifierDisplay::~MagnifierDisplay() { Destroy(); }

const char* MagnifierDisplay::StatusName() const {
    if (!visible) return "MagnifierHidden";
    return layerAlpha >= 245 ? "MagnifierVisibleFull" : "MagnifierVisiblePart";
}

int MagnifierDisplay::EffectiveMagnification() const {
    return ViewGeometry::EffectiveMagnification(magnification);
}

void MagnifierDisplay::SetMainWindow(const platform::IWindowGeometry* window) {
    mainWindow_ = window;
    HandWindowsToRenderer();
}

void MagnifierDisplay::SetMainWindowCaptured(bool captured) {
    mainWindowCaptured_ = captured;
    Publish();
}

void MagnifierDisplay::SetActiveWindowSource(std::function<uint64_t()> activeWindow) {
    activeWindow_ = std::move(activeWindow);
    HandWindowsToRenderer();
}

void MagnifierDisplay::HandWindowsToRenderer() {
    MagnifierRenderer::Windows w;
    w.view = overlayWindow.get();
    w.help = helpWindow.get();
    w.mainWindow = mainWindow_;
    w.activeWindow = activeWindow_;
    renderer_.SetWindows(std::move(w));
}

ViewSettings MagnifierDisplay::CurrentSettings() {
    if (restartCapture) {
        ++sourceGeneration_;
        restartCapture = false;
    }
    ViewSettings s;
    s.sourceMonitor = sourceMonitor;
    s.sourceDisplay = DisplayRect(sourceIndex);
    s.sourceOffset = sourceOffset;
    s.sourceGeneration = sourceGeneration_;
    s.targetDisplay = DisplayRect(targetIndex);
    s.viewWidth = targetWidthPx;
    s.viewHeight = targetHeightPx;
    s.magnification = magnification;
    s.maskType = maskType;
    s.outerColor = outerColor;
    s.transitionColor = transitionColor;
    s.maskDist = maskDist;
    s.transitionDist = transitionDist;
    s.helpText = helpText;
    s.helpRevision = helpRevision_;
    s.visible = visible;
    s.editorMode = editorMode;
    s.mainWindowCaptured = mainWindowCaptured_;
    return s;
}

void MagnifierDisplay::Publish() {
    ViewSettings s = CurrentSettings();
    {
        auto lock = LockForUi();
        published_.Store(s);
    }
    Wake();
}

ViewSettings MagnifierDisplay::PublishedSettings() {
    auto lock = LockForUi();
    return published_.value();
}

void MagnifierDisplay::SetHelpText(std::u16string text) {
    helpText = std::move(text);
    ++helpRevision_;  // the render thread lays the panel out again
    Publish();
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
        SetHelpText(gLanguageStrings != nullptr ? gLanguageStrings->GetText("UI.INGAME.HELP")
                                                : u"UI.INGAME.HELP");
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
    Publish();
}
