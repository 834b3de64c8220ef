#include "ui/HotkeyButton.h"

#include <QTimer>

#include "hotkeys/BindingText.h"
#include "hotkeys/HotkeyManager.h"
#include "options/Option.h"

namespace {

HotkeyButton* gRecording = nullptr;
platform::IMessageTarget* gCaptureWindow = nullptr;

constexpr int kShift = 16, kControl = 17, kAlt = 18;

}  // namespace

HotkeyButton::HotkeyButton(QObject* parent) : ILocalizerView(parent) {}

HotkeyButton::~HotkeyButton() {
    if (gRecording != this) return;
    // Gone while recording: the hotkeys fire again.
    gRecording = nullptr;
    if (gHotkeyManager != nullptr) gHotkeyManager->SetCaptureMode(false, nullptr, 0);
}

void HotkeyButton::SetCaptureWindow(platform::IMessageTarget* window) { gCaptureWindow = window; }

HotkeyButton* HotkeyButton::Recording() { return gRecording; }

int HotkeyButton::Hotkey() const {
    const auto byte = [](int32_t v) { return static_cast<uint32_t>(v) & 0xFFu; };
    return static_cast<int>(byte(slots_[0]) | byte(slots_[1]) << 8 | byte(slots_[2]) << 16 |
                            byte(slots_[3]) << 24);
}

void HotkeyButton::SetHotkey(int value) {
    for (int slot = 1; slot <= 3; ++slot) slots_[static_cast<size_t>(slot - 1)] = BindingSlot(value, slot);
    slots_[3] = BindingExtraByte(value);
    emit displayChanged();
}

QStringList HotkeyButton::KeyNames() const {
    QStringList names;
    for (const std::string& n : BindingKeyNames(Hotkey())) names << QString::fromStdString(n);
    return names;
}

void HotkeyButton::SetPrompt(const QString& text) {
    if (text == prompt_) return;
    prompt_ = text;
    emit promptChanged();
}

void HotkeyButton::StartRecording() {
    HotkeyButton* previous = gRecording;
    gRecording = this;
    if (previous != nullptr && previous != this) emit previous->recordingChanged();
    slots_.fill(0);
    SetPrompt(Localize(QStringLiteral("HOTKEY.BIND.NOPRESS")));
    emit recordingChanged();
    // The click that opened the pop-up must be over before keys are recorded.
    QTimer::singleShot(kCaptureDelayMs, this, [this] {
        if (gRecording == this && gHotkeyManager != nullptr)
            gHotkeyManager->SetCaptureMode(true, gCaptureWindow, HotkeyManager::kCaptureMessage);
    });
}

void HotkeyButton::OnCapturedKey(int code, bool down) {
    code &= 0xFF;
    if (code == kShift || code == kControl || code == kAlt) return;  // the side-specific codes come too
    if (code == kEscapeKeyCode) {
        FinishRecording(0);
        return;
    }
    if (down) {
        for (size_t i = 0; i < 3; ++i) {
            if (slots_[i] != 0) continue;
            slots_[i] = code;
            break;
        }
        SetPrompt(QString::fromStdString(BindingText(slots_[0] | slots_[1] << 8 | slots_[2] << 16)));
        return;
    }
    FinishRecording(slots_[0] | slots_[1] << 8 | slots_[2] << 16);
}

void HotkeyButton::FinishRecording(HotkeyBinding value) {
    if (gHotkeyManager != nullptr) gHotkeyManager->SetCaptureMode(false, nullptr, 0);
    if (gRecording == this) gRecording = nullptr;
    emit recordingChanged();  // the pop-up closes
    SetHotkey(value);
    emit hotkeyRecorded(value);
}

void HotkeyButton::StoreBinding(Option& option, const char* action, int binding) {
    if (binding == option.Int()) return;
    option.SetInt(binding);
    if (gHotkeyManager == nullptr) return;
    if (HotkeyAction* a = gHotkeyManager->FindAction(action))
        gHotkeyManager->SetBinding(a, static_cast<HotkeyBinding>(binding));
}
