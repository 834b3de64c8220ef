#include "localization/ILocalizerView.h"

namespace {
std::set<ILocalizerView*>& ViewSet() {
    static std::set<ILocalizerView*> views;  // UI thread only
    return views;
}
}  // namespace

ILocalizerView::ILocalizerView(QObject* parent) : QObject(parent) { ViewSet().insert(this); }

ILocalizerView::~ILocalizerView() { ViewSet().erase(this); }

QString ILocalizerView::Localize(const QString& id) const { return localizer_.Str(id); }

QString ILocalizerView::Localize(const QString& id, int) const { return localizer_.Str(id); }

void ILocalizerView::RaisePropertyChanged(const QString& name) {
    if (name == QLatin1String("Localize")) {
        ++revision_;
        emit localizeRevisionChanged();
    }
    emit PropertyChanged(name);
}

const std::set<ILocalizerView*>& ILocalizerView::Views() { return ViewSet(); }

void ILocalizerView::RaiseOnAllViews(const QString& name) {
    // A copy: a handler may create or destroy views.
    const std::set<ILocalizerView*> views = ViewSet();
    for (ILocalizerView* v : views) {
        if (ViewSet().count(v) != 0) v->RaisePropertyChanged(name);
    }
}
