#pragma once
// One row of the translation viewer: a string id with its English text and its text in the current
// language, both looked up when they are read (a row shown after a language change shows the new one).

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <string>

class LangStringListItem : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the Localization page")
    Q_PROPERTY(QString StrID READ StrID CONSTANT)
    // No change is ever raised: the texts are read when a row is shown.
    Q_PROPERTY(QString EngValue READ EngValue NOTIFY textsChanged)
    Q_PROPERTY(QString LangValue READ LangValue NOTIFY textsChanged)
public:
    LangStringListItem(std::string id, QObject* parent);

    QString StrID() const { return idText_; }
    QString EngValue() const;
    QString LangValue() const;

signals:
    void textsChanged();

private:
    std::string id_;  // UTF-8, for the lookups
    QString idText_;
};
