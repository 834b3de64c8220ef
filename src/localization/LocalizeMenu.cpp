#include "localization/LocalizeMenu.h"

#include <QAction>
#include <QMenu>

#include "localization/LanguageStrings.h"

namespace {
constexpr const char* kIdProperty = "lentoraStringId";
}

void LocalizeMenu(QMenu* menu) {
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        if (QMenu* sub = action->menu()) LocalizeMenu(sub);
        if (action->text().isEmpty() && !action->icon().isNull()) continue;  // a picture, not a text
        QVariant id = action->property(kIdProperty);
        if (!id.isValid()) {
            id = action->text();
            action->setProperty(kIdProperty, id);
        }
        const QByteArray key = id.toString().toUtf8();
        const QString text = gLanguageStrings != nullptr
                                 ? QString::fromStdU16String(gLanguageStrings->GetText(key.constData()))
                                 : id.toString();
        action->setText(text);
    }
}
