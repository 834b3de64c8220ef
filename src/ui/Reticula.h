#pragma once
// The view model of the page that presents the sibling product Reticula: its texts and two buttons that
// open its web site (in Russian for the window language "ru-RU") and its store page in the browser.
// UI thread only.

#include <QtQml/qqmlregistration.h>

#include "localization/ILocalizerView.h"

class Reticula : public ILocalizerView {
    Q_OBJECT
    QML_NAMED_ELEMENT(ReticulaModel)
public:
    explicit Reticula(QObject* parent = nullptr) : ILocalizerView(parent) {}

    Q_INVOKABLE void OnWebsiteClick();
    Q_INVOKABLE void OnStoreClick();
};
