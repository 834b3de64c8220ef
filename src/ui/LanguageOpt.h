#pragma once
// One language of the Settings page's selector: its name in its own language, shown, and its locale
// name, which selects it. Read-only once made.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <string>
#include <vector>

class LanguageOpt : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString Native READ Native CONSTANT)
    Q_PROPERTY(QString Locale READ Locale CONSTANT)
public:
    explicit LanguageOpt(QObject* parent = nullptr) : QObject(parent) {}
    LanguageOpt(QString native, QString locale, QObject* parent = nullptr)
        : QObject(parent), native_(std::move(native)), locale_(std::move(locale)) {}

    QString Native() const { return native_; }
    QString Locale() const { return locale_; }

private:
    QString native_;
    QString locale_;
};

struct LanguageChoice {
    QString native;
    QString locale;
};

// The language list that start-up writes as JSON (locale name -> UTF-16 code units of the native name),
// in the order of the keys' bytes. What cannot be read is left out and told in errors: a text that is
// no JSON object gives no languages; a member that is no list of code units is skipped.
std::vector<LanguageChoice> ReadLanguageChoices(const std::string& json, std::vector<std::string>* errors);
