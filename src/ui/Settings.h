#pragma once
// The view model of the Settings page: the application settings outside the magnifier profile. Every
// toggle writes its option at once; start at logon also creates or removes the autostart entry, capture
// visibility decides at once whether the program's own screen copy shows the configuration window, and
// the language choice reloads the texts of every open view and of the view's help panel. Options are
// read afresh on every get; no setter raises a change (the toggles show what they were given).
// UI thread only.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QQmlListProperty>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "localization/ILocalizerView.h"
#include "ui/LanguageOpt.h"

class Settings : public ILocalizerView {
    Q_OBJECT
    QML_NAMED_ELEMENT(SettingsModel)
    Q_PROPERTY(QQmlListProperty<LanguageOpt> Languages READ LanguagesList NOTIFY LanguagesChanged)
    Q_PROPERTY(QString CurrentLang READ CurrentLang WRITE SetCurrentLang NOTIFY optionRead)
    Q_PROPERTY(bool EditorHold READ EditorHold WRITE SetEditorHold NOTIFY optionRead)
    Q_PROPERTY(bool AutoStartOpt READ AutoStartOpt WRITE SetAutoStartOpt NOTIFY optionRead)
    Q_PROPERTY(bool StartMinimizedOpt READ StartMinimizedOpt WRITE SetStartMinimizedOpt NOTIFY optionRead)
    Q_PROPERTY(bool CloseAsMinimizeOpt READ CloseAsMinimizeOpt WRITE SetCloseAsMinimizeOpt NOTIFY optionRead)
    Q_PROPERTY(bool CaptureVisOpt READ CaptureVisOpt WRITE SetCaptureVisOpt NOTIFY optionRead)
public:
    // Creates (a program path) or removes ("OFF") the autostart entry; the shell provides it.
    using LogonTaskHandler = std::function<bool(const std::string& path)>;
    static void SetLogonTaskHandler(LogonTaskHandler handler);

    explicit Settings(QObject* parent = nullptr);
    ~Settings() override;

    const std::vector<LanguageOpt*>& Languages() const { return languages_; }
    QQmlListProperty<LanguageOpt> LanguagesList();

    QString CurrentLang() const { return currentLang_; }
    // The language change; an empty value (a cleared selection) changes nothing.
    void SetCurrentLang(const QString& locale);
    bool EditorHold() const;
    void SetEditorHold(bool on);
    bool AutoStartOpt() const;
    void SetAutoStartOpt(bool on);
    bool StartMinimizedOpt() const;
    void SetStartMinimizedOpt(bool on);
    bool CloseAsMinimizeOpt() const;
    void SetCloseAsMinimizeOpt(bool on);
    bool CaptureVisOpt() const;
    void SetCaptureVisOpt(bool on);

    // The page's handlers. OnLoaded fills Languages anew; the page then selects StoredLanguage(), or the
    // first language when that is not listed, and hands the selection to CurrentLang.
    Q_INVOKABLE void OnLoaded();
    Q_INVOKABLE QString StoredLanguage() const;
    Q_INVOKABLE int StoredEditorHotkey() const;
    Q_INVOKABLE void OnEditorHotkeyChanged(int binding);
    // A tip button whose teaching tip was not found: the log says so.
    Q_INVOKABLE void OnTipMissing(const QString& buttonName);

signals:
    void LanguagesChanged();
    // Never raised by a setter; declared so that bindings may read the options.
    void optionRead();

private:
    std::vector<LanguageOpt*> languages_;
    QString currentLang_;
};
