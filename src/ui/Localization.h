#pragma once
// The view model of the translation viewer: every string id of the English table, in the table's order
// (by the bytes of the id), with its English and current text. The list is taken when the page is made;
// ids that enter the table later show on a page made afterwards. It only shows; nothing is edited.

#include <QtQml/qqmlregistration.h>
#include <QQmlListProperty>
#include <vector>

#include "localization/ILocalizerView.h"
#include "ui/LangStringListItem.h"

class Localization : public ILocalizerView {
    Q_OBJECT
    QML_NAMED_ELEMENT(LocalizationModel)
    Q_PROPERTY(QQmlListProperty<LangStringListItem> LangStringItems READ LangStringItemsList CONSTANT)
    Q_PROPERTY(int count READ count CONSTANT)
public:
    explicit Localization(QObject* parent = nullptr);

    const std::vector<LangStringListItem*>& LangStringItems() const { return items_; }
    QQmlListProperty<LangStringListItem> LangStringItemsList();
    int count() const { return static_cast<int>(items_.size()); }

private:
    std::vector<LangStringListItem*> items_;
};
