#include "ui/Settings.h"

#include "localization/LanguageStrings.h"
#include "log/LogFailure.h"
#include "magnifier/MagnifierDisplay.h"
#include "magnifier/OptionGroup.h"
#include "options/OptionCatalogue.h"
#include "options/OptionRegistry.h"
#include "platform/posix/Paths.h"
#include "text/WideText.h"
#include "ui/HotkeyButton.h"
#include "ui/LanguageChoices.h"
#include "ui/TipLog.h"
#include "ui/VectorListProperty.h"

namespace {

Settings::LogonTaskHandler gLogonTask;  // UI thread

bool IsOn(const Option& option) { return option.Int() != 0; }

// Writes a toggle's option unless it already says so; true when it was written.
bool WriteToggle(Option& option, bool on) {
    if (IsOn(option) == on) return false;
    option.SetBool(on);
    return true;
}

}  // namespace

void Settings::SetLogonTaskHandler(LogonTaskHandler handler) { gLogonTask = std::move(handler); }

Settings::Settings(QObject* parent) : ILocalizerView(parent) {}

Settings::~Settings() = default;

QQmlListProperty<LanguageOpt> Settings::LanguagesList() { return VectorListProperty(this, &languages_); }

void Settings::OnLoaded() {
    // A new list at every load; the old items go with it.
    std::vector<LanguageOpt*> old = std::move(languages_);
    languages_.clear();
    const Option* list = OptionRegistry::Instance().Find(options::kLanguagesJsonKey);
    std::vector<std::string> errors;
    for (LanguageChoice& c : ReadLanguageChoices(list != nullptr ? list->Text() : std::string(), &errors)) {
        languages_.push_back(
            new LanguageOpt(QString::fromStdU16String(c.native), QString::fromStdString(c.locale), this));
    }
    // The list is the program's own; a damaged one leaves the selector with what could be read.
    for (const std::string& e : errors) LogFailureText(LogTag::kApp, "Read ui.languages_json", e);
    emit LanguagesChanged();
    for (LanguageOpt* o : old) o->deleteLater();
}

QString Settings::StoredLanguage() const { return QString::fromStdString(options::uiLanguage.Text()); }

void Settings::SetCurrentLang(const QString& locale) {
    if (locale.isEmpty() || locale == currentLang_) return;
    currentLang_ = locale;
    options::uiLanguage.SetText(locale.toStdString());
    if (gLanguageStrings != nullptr) {
        // The language actually loaded: a locale without a file falls back.
        options::uiLanguage.SetText(
            text::ToNarrow(gLanguageStrings->SetLanguage(text::ToWide(options::uiLanguage.Text()))));
    }
    RaiseOnAllViews(QStringLiteral("Localize"));
    if (gMagnifierDisplay != nullptr) gMagnifierDisplay->ApplyOptions(Language);
}

bool Settings::EditorHold() const { return IsOn(options::appHotkeyEditorHold); }
void Settings::SetEditorHold(bool on) { WriteToggle(options::appHotkeyEditorHold, on); }

bool Settings::AutoStartOpt() const { return IsOn(options::appLaunchWindows); }
void Settings::SetAutoStartOpt(bool on) {
    if (!WriteToggle(options::appLaunchWindows, on)) return;
    if (!gLogonTask) return;
    if (!on) {
        gLogonTask("OFF");
        return;
    }
    // The program as it runs now: a moved program is found at its new place.
    const std::string path = platform::ExecutablePath();
    if (path.find('/') == std::string::npos) {
        LogFailureText(LogTag::kTaskScheduler, "ExecutablePath", "no path");
        return;
    }
    gLogonTask(path);
}

bool Settings::StartMinimizedOpt() const { return IsOn(options::appStartMinimized); }
void Settings::SetStartMinimizedOpt(bool on) { WriteToggle(options::appStartMinimized, on); }

bool Settings::CloseAsMinimizeOpt() const { return IsOn(options::appCloseMinimize); }
void Settings::SetCloseAsMinimizeOpt(bool on) { WriteToggle(options::appCloseMinimize, on); }

bool Settings::CaptureVisOpt() const { return IsOn(options::appCaptureVisible); }
void Settings::SetCaptureVisOpt(bool on) {
    if (!WriteToggle(options::appCaptureVisible, on)) return;
    // At once: the program's own copy of the screen shows the window, or what lies under it.
    if (gMagnifierDisplay != nullptr) gMagnifierDisplay->SetMainWindowCaptured(on);
}

int Settings::StoredEditorHotkey() const { return options::appHotkeyEditor.Int(); }

void Settings::OnEditorHotkeyChanged(int binding) {
    HotkeyButton::StoreBinding(options::appHotkeyEditor, "enable_editor", binding);
}

void Settings::OnTipMissing(const QString& buttonName) { LogMissingTip(buttonName); }
