#include "platform/qt/Locale.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace platform {
namespace {

// QLocale knows "de_DE" and "de-DE"; an unknown name falls back to the C locale.
bool Known(const QString& name, QLocale* out) {
    QLocale l(name);
    if (l.language() == QLocale::C) return false;
    *out = l;
    return true;
}

}  // namespace

std::u16string UserDefaultLocaleName() {
    const QStringList langs = QLocale::system().uiLanguages();
    QString first = langs.isEmpty() ? QString() : langs.first();
    if (first.isEmpty() || first == u"C" || first == u"POSIX" || first.startsWith(u"C.")) return u"en-US";
    first.replace(u'_', u'-');
    return first.toStdU16String();
}

std::u16string NativeLanguageName(const std::u16string& localeName) {
    QLocale l;
    if (!Known(QString::fromStdU16String(localeName), &l)) return {};
    // The language alone, without a regional qualifier: the "world" variant has no region in its name
    // ("English", not "American English") where the locale data has one.
    const QLocale world(l.language(), QLocale::World);
    if (world.language() == l.language() && world.territory() == QLocale::World) {
        const QString n = world.nativeLanguageName();
        if (!n.isEmpty()) return n.toStdU16String();
    }
    return l.nativeLanguageName().toStdU16String();
}

std::u16string ToUpperForLocale(const std::u16string& localeName, const std::u16string& text) {
    QLocale l;
    if (!Known(QString::fromStdU16String(localeName), &l)) return text;
    return l.toUpper(QString::fromStdU16String(text)).toStdU16String();
}

}  // namespace platform
