#include "ui/LangStringListItem.h"

#include "localization/LanguageStrings.h"

LangStringListItem::LangStringListItem(std::string id, QObject* parent)
    : QObject(parent), id_(std::move(id)), idText_(QString::fromStdString(id_)) {}

QString LangStringListItem::EngValue() const {
    if (gLanguageStrings == nullptr) return idText_;
    return QString::fromStdU16String(gLanguageStrings->GetEnglishText(id_.c_str()));
}

QString LangStringListItem::LangValue() const {
    if (gLanguageStrings == nullptr) return idText_;
    return QString::fromStdU16String(gLanguageStrings->GetText(id_.c_str()));
}
