#pragma once
// The view model of the control with which the user binds a hotkey: the binding as up to three key
// names, and a recording that the hotkey manager's capture mode feeds: every key or button that goes
// down is added (a fourth is dropped, the generic Shift, Ctrl and Alt are ignored), the first release
// ends the recording, Escape ends it with no binding. hotkeyRecorded (the HotkeyChanged event) comes at the
// end of every recording. At most one control records at a time. UI thread only.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "hotkeys/HotkeyBinding.h"
#include "localization/ILocalizerView.h"

class Option;

namespace platform {
class IMessageTarget;
}

class HotkeyButton : public ILocalizerView {
    Q_OBJECT
    QML_NAMED_ELEMENT(HotkeyButtonModel)
    Q_PROPERTY(int Hotkey READ Hotkey WRITE SetHotkey NOTIFY displayChanged)
    // The names of the key caps in slot order; empty: not bound.
    Q_PROPERTY(QStringList keyNames READ KeyNames NOTIFY displayChanged)
    Q_PROPERTY(QString prompt READ Prompt NOTIFY promptChanged)
    Q_PROPERTY(bool recording READ IsRecording NOTIFY recordingChanged)
public:
    static constexpr int kCaptureDelayMs = 50;

    explicit HotkeyButton(QObject* parent = nullptr);
    ~HotkeyButton() override;

    // Where capture mode posts the key transitions (the main window), set once it exists.
    static void SetCaptureWindow(platform::IMessageTarget* window);
    // The control recording now, if any.
    static HotkeyButton* Recording();
    // A recorded binding made the one of a hotkey action: stored in its option and bound to the action,
    // unless the option holds it already.
    static void StoreBinding(Option& option, const char* action, int binding);

    int Hotkey() const;
    // Shows the value; no HotkeyChanged.
    void SetHotkey(int value);
    QStringList KeyNames() const;
    QString Prompt() const { return prompt_; }
    bool IsRecording() const { return Recording() == this; }

    Q_INVOKABLE void StartRecording();
    // A key transition of capture mode (code taken as a byte).
    void OnCapturedKey(int code, bool down);

signals:
    void displayChanged();
    void promptChanged();
    void recordingChanged();
    // The control's HotkeyChanged event (QML handlers need a signal name in lower case).
    void hotkeyRecorded(int binding);

private:
    void FinishRecording(HotkeyBinding value);
    void SetPrompt(const QString& text);

    std::array<int32_t, 4> slots_{};  // codes of slots 1-3; slot 4 the top byte, signed
    QString prompt_;
};
