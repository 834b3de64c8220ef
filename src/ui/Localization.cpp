#include "ui/Localization.h"

#include <string>

#include "localization/LanguageStrings.h"
#include "ui/VectorListProperty.h"

Localization::Localization(QObject* parent) : ILocalizerView(parent) {
    if (gLanguageStrings == nullptr) return;
    // Copied first: making a row looks nothing up, but the table may grow while the page lives.
    std::vector<std::string> ids;
    for (const auto& [id, entry] : gLanguageStrings->englishTable()) ids.push_back(id);
    for (std::string& id : ids) items_.push_back(new LangStringListItem(std::move(id), this));
}

QQmlListProperty<LangStringListItem> Localization::LangStringItemsList() {
    return VectorListProperty(this, &items_);
}
