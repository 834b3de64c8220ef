#pragma once
// The view model of the Help page: its texts and the program's version. The page also offers the
// translation viewer, which has no navigation item of its own. UI thread only.

#include <QtQml/qqmlregistration.h>
#include <QString>

#include "localization/ILocalizerView.h"

class Help : public ILocalizerView {
    Q_OBJECT
    QML_NAMED_ELEMENT(HelpModel)
    // Read afresh on each get; the page reads it once, so it keeps the wording of its load.
    Q_PROPERTY(QString Version READ Version CONSTANT)
public:
    explicit Help(QObject* parent = nullptr) : ILocalizerView(parent) {}
    QString Version() const;
};
