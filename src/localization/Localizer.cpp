#include "localization/Localizer.h"

#include "localization/LanguageStrings.h"

QString Localizer::Str(const QString& id) const {
    if (gLanguageStrings == nullptr) return id;
    return QString::fromStdU16String(gLanguageStrings->GetText(id.toUtf8().constData()));
}

void Localizer::NotifyStrChanged() { emit PropertyChanged(QStringLiteral("Str")); }
