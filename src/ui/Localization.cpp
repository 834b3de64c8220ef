#include "ui/Localization.h"

#include <string>

#include "localization/LanguageStrings.h"
#include "ui/VectorListProperty.h"

Localization::Localization(QObject* parent) : ILocalizerView(parent) {
    if (gLanguageStrings == nullptr) return;
    // The table is a map: its order is the ids' byte order.
    for (const auto& [id, entry] : gLanguageStrings->englishTable())
        items_.push_back(new LangStringListItem(id, this));
}

QQmlListProperty<LangStringListItem> Localization::LangStringItemsList() {
    return VectorListProperty(this, &items_);
}
