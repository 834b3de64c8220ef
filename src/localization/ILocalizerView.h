#pragma once
// Base of every window, page and control that shows localized text. Markup binds each text as
// Localize(id, localizeRevision); a language change raises "Localize" on every view, which bumps the
// revision and so re-evaluates those bindings.

#include <QObject>
#include <QString>
#include <set>

#include "localization/Localizer.h"

class ILocalizerView : public QObject {
    Q_OBJECT
    Q_PROPERTY(int localizeRevision READ localizeRevision NOTIFY localizeRevisionChanged)
public:
    explicit ILocalizerView(QObject* parent = nullptr);
    ~ILocalizerView() override;

    Q_INVOKABLE QString Localize(const QString& id) const;
    // The revision argument only makes the binding depend on localizeRevision.
    Q_INVOKABLE QString Localize(const QString& id, int revision) const;

    virtual void RaisePropertyChanged(const QString& name);
    int localizeRevision() const { return revision_; }

    // The views that exist now, by address.
    static const std::set<ILocalizerView*>& Views();
    // Raises a property change on every view; "Localize" after a language change.
    static void RaiseOnAllViews(const QString& name);

signals:
    void PropertyChanged(const QString& name);
    void localizeRevisionChanged();

private:
    Localizer localizer_;
    int revision_ = 0;
};
