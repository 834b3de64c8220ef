#include "ui/Profile.h"

#include <QMetaProperty>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "magnifier/OptionGroup.h"
#include "options/OptionCatalogue.h"
#include "options/OptionText.h"
#include "platform/Backend.h"
#include "ui/ColorSelector.h"
#include "ui/HotkeyButton.h"
#include "ui/TipLog.h"
#include "ui/VectorListProperty.h"

namespace {

Profile* gCurrentProfile = nullptr;

// The click rhythm of the arrow buttons, process-wide as the buttons are.
uint32_t gPreviousClick = 0;
uint32_t gSeriesStart = 0;

QString PairText(int x, int y) { return QStringLiteral("%1, %2").arg(x).arg(y); }

std::vector<MonitorEntry> CurrentMonitors() {
    MonitorList::EnsureMonitorList();
    std::vector<MonitorEntry> monitors;
    for (size_t i = 0; i < MonitorList::Count(); ++i) monitors.push_back(MonitorList::At(i));
    return monitors;
}

}  // namespace

Profile::Profile(QObject* parent) : ILocalizerView(parent) {
    platform::CallFailure failure;
    const std::vector<platform::OutputInfo> outputs = platform::Backend().Outputs(&failure);
    displayNames_ = BuildDisplayNames(outputs, CurrentMonitors(), this);
    gCurrentProfile = this;
    pollTimer_.setInterval(kPollIntervalMs);
    connect(&pollTimer_, &QTimer::timeout, this, &Profile::PollMagnifier);
}

Profile::~Profile() {
    if (gCurrentProfile == this) gCurrentProfile = nullptr;
}

Profile* Profile::Current() { return gCurrentProfile; }

QQmlListProperty<MagnifyDisplayInfo> Profile::DisplayNamesList() {
    return VectorListProperty(this, &displayNames_);
}

void Profile::Apply(int groups) {
    if (gMagnifierDisplay != nullptr) gMagnifierDisplay->ApplyOptions(groups);
}

void Profile::Raise(const char* name) { RaisePropertyChanged(QString::fromLatin1(name)); }

void Profile::RaisePropertyChanged(const QString& name) {
    // A property of the page raises its own signal too; IsMaskSelected(n) is a method, whose bindings
    // read the mask revision; "Localize" and the like go to the base only.
    const QByteArray latin = name.toLatin1();
    const int index = metaObject()->indexOfProperty(latin.constData());
    if (index >= 0 && metaObject()->property(index).hasNotifySignal()) {
        metaObject()->property(index).notifySignal().invoke(this);
    } else if (name == QLatin1String("IsMaskSelected")) {
        ++maskRevision_;
        emit IsMaskSelectedChanged();
    }
    ILocalizerView::RaisePropertyChanged(name);
}

// --- source

void Profile::SetSrcDisplaySelected(const QString& value) {
    if (value == srcDisplay_) return;
    srcDisplay_ = value;
    Raise("SrcDisplaySelected");
    options::profileSrcDisplay.SetText(value.toStdString());
    Apply(SourceDisplay);
}

void Profile::SetSrcOffset(double x, double y, bool apply) {
    const bool xChanged = x != srcOffsetX_, yChanged = y != srcOffsetY_;
    if (!xChanged && !yChanged) return;
    srcOffsetX_ = x;
    srcOffsetY_ = y;
    srcOffsetText_ = PairText(static_cast<int>(std::trunc(x)), static_cast<int>(std::trunc(y)));
    if (xChanged) Raise("SrcOffsetX");
    if (yChanged) Raise("SrcOffsetY");
    Raise("SrcOffset");
    auto [sx, sy] = options::ParsePair(options::profileSrcOffset.Text());
    if (xChanged) sx = static_cast<int>(std::trunc(x));
    if (yChanged) sy = static_cast<int>(std::trunc(y));
    options::profileSrcOffset.SetPair(sx, sy);
    if (apply) Apply(SourceOffset);
}

void Profile::OnArrowClickAt(const QString& tag, uint32_t now) {
    if (tag.isEmpty()) return;
    uint32_t step = 1;
    if (now - gPreviousClick >= kSeriesGapMs) {
        gSeriesStart = 0;
    } else {
        if (gSeriesStart == 0) gSeriesStart = gPreviousClick;
        const uint32_t elapsed = gPreviousClick - gSeriesStart;
        step = elapsed <= 1000 ? 1 : elapsed <= 3000 ? 1 + elapsed / 500 : 11;
    }
    gPreviousClick = now;
    const double s = static_cast<double>(step);
    if (tag == QLatin1String("left")) SetSrcOffset(srcOffsetX_ - s, srcOffsetY_, true);
    if (tag == QLatin1String("right")) SetSrcOffset(srcOffsetX_ + s, srcOffsetY_, true);
    if (tag == QLatin1String("up")) SetSrcOffset(srcOffsetX_, srcOffsetY_ - s, true);
    if (tag == QLatin1String("down")) SetSrcOffset(srcOffsetX_, srcOffsetY_ + s, true);
}

void Profile::OnArrowClick(const QString& tag) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    OnArrowClickAt(tag, static_cast<uint32_t>(ms.count()));
}

void Profile::OnResetSourceOffset() {
    SetSrcOffset(0, srcOffsetY_, true);
    SetSrcOffset(srcOffsetX_, 0, true);
}

// --- status

bool Profile::MagnifierHidden() const { return gMagnifierDisplay == nullptr || !gMagnifierDisplay->visible; }
bool Profile::MagnifierVisibleFull() const {
    return gMagnifierDisplay != nullptr && gMagnifierDisplay->visible && gMagnifierDisplay->layerAlpha > 244;
}
bool Profile::MagnifierVisiblePart() const {
    return gMagnifierDisplay != nullptr && gMagnifierDisplay->visible && gMagnifierDisplay->layerAlpha < 245;
}

void Profile::RaiseStatus() {
    Raise("MagnifierHidden");
    Raise("MagnifierVisibleFull");
    Raise("MagnifierVisiblePart");
}

// --- magnification and hotkey

double Profile::MagnificationFactor() const {
    return static_cast<double>(options::ParseFloat(options::profileMagnificationFactor.Text()));
}

void Profile::SetMagnificationFactor(double x) {
    SetWholeNumber(options::profileMagnificationFactor, x, "MagnificationFactor", "MagnificationFactorStr",
                   Magnification);
}

QString Profile::MagnificationFactorStr() const {
    return QString::asprintf("x%.1f", MagnificationFactor() / 100.0);
}

bool Profile::MagnificationMouseAdjust() const { return options::profileMagnificationMouseAdjust.Int() != 0; }

void Profile::SetMagnificationMouseAdjust(bool b) {
    if (b == MagnificationMouseAdjust()) return;
    options::profileMagnificationMouseAdjust.SetBool(b);
    Raise("MagnificationMouseAdjust");
    Apply(MouseAdjust);
}

bool Profile::MagnificationHold() const { return options::profileHotkeyMagnificationHold.Int() != 0; }

void Profile::SetMagnificationHold(bool b) {
    if (b == MagnificationHold()) return;
    options::profileHotkeyMagnificationHold.SetBool(b);
    Raise("MagnificationHold");
    if (!b) return;
    // Hold mode shows the view only while the keys are down: a view shown by a press goes.
    if (gMagnifierDisplay != nullptr && gMagnifierDisplay->visible) gMagnifierDisplay->SetVisible(false);
    RaiseStatus();
}

void Profile::OnMagnificationHotkeyChanged(int binding) {
    HotkeyButton::StoreBinding(options::profileHotkeyMagnification, "magnification", binding);
}

// --- target

void Profile::SetTargetDisplay(const QString& value, bool apply) {
    if (value == targetDisplay_) return;
    targetDisplay_ = value;
    Raise("TargetDisplaySelected");
    options::profileTargetDisplay.SetText(value.toStdString());
    if (apply) Apply(TargetDisplay);
}

double Profile::TargetOffsetX() const {
    return options::ParsePair(options::profileTargetOffset.Text()).first / 1000.0;
}
double Profile::TargetOffsetY() const {
    return options::ParsePair(options::profileTargetOffset.Text()).second / 1000.0;
}
double Profile::TargetSizeX() const {
    return options::ParsePair(options::profileTargetSize.Text()).first / 1000.0;
}
double Profile::TargetSizeY() const {
    return options::ParsePair(options::profileTargetSize.Text()).second / 1000.0;
}

QString Profile::TargetOffsetStr() const {
    const auto [x, y] = options::ParsePair(options::profileTargetOffset.Text());
    return PairText(x / 1000, y / 1000);
}

QString Profile::TargetSizeStr() const {
    const auto [x, y] = options::ParsePair(options::profileTargetSize.Text());
    return PairText(x / 1000, y / 1000);
}

void Profile::SetTargetPart(int part, double value, bool apply) {
    const bool size = part >= 2;
    Option& option = size ? options::profileTargetSize : options::profileTargetOffset;
    auto [x, y] = options::ParsePair(option.Text());
    // Thousandths, cut toward zero; but a value that is a whole number of thousandths up to the double's
    // rounding (-32.745 is -32744.999999... thousandths) is that number, or the poll would write back
    // one less than the magnifier has.
    const double scaled = value * 1000.0, nearest = std::round(scaled);
    const int n = static_cast<int>(std::abs(scaled - nearest) < 1e-6 ? nearest : std::trunc(scaled));
    int& component = part % 2 == 0 ? x : y;
    if (n == component) return;
    component = n;
    option.SetPair(x, y);
    static const char* const kNames[] = {"TargetOffsetX", "TargetOffsetY", "TargetSizeX", "TargetSizeY"};
    Raise(kNames[part]);
    Raise(size ? "TargetSizeStr" : "TargetOffsetStr");
    if (apply) Apply(size ? TargetSize : TargetOffset);
}

void Profile::OnResetTargetOffset() {
    options::profileTargetOffset.SetPair(0, 0);
    Raise("TargetOffsetX");
    Raise("TargetOffsetY");
    Raise("TargetOffsetStr");
    Apply(TargetOffset);
}

void Profile::OnTargetFullscreen() {
    options::profileTargetOffset.SetPair(0, 0);
    options::profileTargetSize.SetPair(100000, 100000);
    for (const char* name :
         {"TargetOffsetX", "TargetOffsetY", "TargetOffsetStr", "TargetSizeX", "TargetSizeY", "TargetSizeStr"})
        Raise(name);
    Apply(TargetOffset | TargetSize);
}

// --- mask

bool Profile::IsMaskSelected(int n) const { return options::profileMaskType.Int() == n; }
bool Profile::AreMaskSettingsShown() const { return options::profileMaskType.Int() != 0; }

double Profile::MaskDist() const {
    return static_cast<double>(options::ParseFloat(options::profileMaskDist.Text()));
}
double Profile::MaskTransDist() const {
    return static_cast<double>(options::ParseFloat(options::profileMaskTransdist.Text()));
}

void Profile::SetMaskDist(double x) {
    SetWholeNumber(options::profileMaskDist, x, "MaskDist", "MaskDistStr", Mask);
}

void Profile::SetMaskTransDist(double x) {
    SetWholeNumber(options::profileMaskTransdist, x, "MaskTransDist", "MaskTransDistStr", Mask);
}

void Profile::SetWholeNumber(Option& option, double x, const char* name, const char* text, int group) {
    const int n = static_cast<int>(std::trunc(x));
    if (n == option.Int()) return;
    option.SetInt(n);
    Raise(name);
    Raise(text);
    Apply(group);
}

QString Profile::MaskDistStr() const { return QString::asprintf("%.3f", MaskDist() / 1000.0); }
QString Profile::MaskTransDistStr() const { return QString::asprintf("%.3f", MaskTransDist() / 1000.0); }

void Profile::OnMaskShapeClick(const QString& tag) {
    if (tag.isEmpty()) return;
    if (tag == QLatin1String("None")) options::profileMaskType.SetInt(0);
    if (tag == QLatin1String("Circle")) options::profileMaskType.SetInt(1);
    if (tag == QLatin1String("Rect")) options::profileMaskType.SetInt(2);
    Raise("IsMaskSelected");
    Raise("AreMaskSettingsShown");
    Apply(Mask);
}

void Profile::OnOuterColorChanged(const QColor& color) {
    options::profileMaskOuterColor.SetText(OptionTextFromColor(color));
    Apply(Mask);
}

void Profile::OnTransColorChanged(const QColor& color) {
    options::profileMaskTransColor.SetText(OptionTextFromColor(color));
    Apply(Mask);
}

// --- loading, polling, tips

QString Profile::StoredSrcDisplay() const {
    return QString::fromStdString(options::profileSrcDisplay.Text());
}
QString Profile::StoredTargetDisplay() const {
    return QString::fromStdString(options::profileTargetDisplay.Text());
}
int Profile::StoredHotkey() const { return options::profileHotkeyMagnification.Int(); }
QColor Profile::StoredOuterColor() const {
    return ColorFromOptionText(options::profileMaskOuterColor.Text());
}
QColor Profile::StoredTransColor() const {
    return ColorFromOptionText(options::profileMaskTransColor.Text());
}
QString Profile::FirstDisplay() const {
    return displayNames_.empty() ? QString() : displayNames_[0]->DeviceName();
}

void Profile::OnLoaded() {
    // The selectors (the markup) pick the stored displays or the first one before this runs.
    const auto [x, y] = options::ParsePair(options::profileSrcOffset.Text());
    SetSrcOffset(x, srcOffsetY_, true);
    SetSrcOffset(srcOffsetX_, y, true);
    pollTimer_.start();
}

void Profile::OnUnloaded() { pollTimer_.stop(); }

void Profile::OnTipMissing(const QString& buttonName) { LogMissingTip(buttonName); }

void Profile::PollMagnifier() {
    MagnifierDisplay* d = gMagnifierDisplay;
    if (d == nullptr) return;
    SetSrcOffset(d->sourceOffset.x, srcOffsetY_, false);
    SetSrcOffset(srcOffsetX_, d->sourceOffset.y, false);
    SetTargetPart(0, d->targetOffset.x / 1000.0, false);
    SetTargetPart(1, d->targetOffset.y / 1000.0, false);
    SetTargetPart(2, d->targetSize.x / 1000.0, false);
    SetTargetPart(3, d->targetSize.y / 1000.0, false);
    if (d->magnification != options::profileMagnificationFactor.Int()) {
        options::profileMagnificationFactor.SetInt(d->magnification);
        Raise("MagnificationFactor");
        Raise("MagnificationFactorStr");
    }
    MonitorList::EnsureMonitorList();
    const int32_t index = d->targetIndex;
    if (index >= 0 && static_cast<size_t>(index) < MonitorList::Count()) {
        const QString name =
            QString::fromStdU16String(MonitorList::At(static_cast<size_t>(index)).deviceName);
        if (name != StoredTargetDisplay()) SetTargetDisplay(name, false);
    }
    const uint8_t alpha = d->layerAlpha;
    if (alpha != cachedAlpha_) {
        cachedAlpha_ = alpha;
        RaiseStatus();
    }
}
