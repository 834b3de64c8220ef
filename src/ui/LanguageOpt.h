#pragma once
// One language of the Settings page's selector: its name in its own language, shown, and its locale
// name, which selects it. Read-only once made.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>

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
