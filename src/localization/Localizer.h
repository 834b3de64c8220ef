#pragma once
// What markup binds texts through: Str(id) is the text of an id in the current language.
// Holds no state; every instance reads the process's language tables.

#include <QObject>
#include <QString>

class Localizer : public QObject {
    Q_OBJECT
public:
    explicit Localizer(QObject* parent = nullptr) : QObject(parent) {}

    Q_INVOKABLE QString Str(const QString& id) const;
    void NotifyStrChanged();

signals:
    void PropertyChanged(const QString& name);
};
