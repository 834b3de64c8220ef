#include "shell/Navigation.h"

#include <array>

namespace {
// The navigation's four items, and the translation viewer, which the Help page offers.
constexpr std::array<const char*, 5> kTags = {"Profile", "Settings", "Help", "Reticula", "Localization"};
}  // namespace

QString Navigation::PageType(const QString& tag) {
    for (const char* t : kTags) {
        if (tag == QLatin1String(t)) return QStringLiteral("LentoraApp.") + tag;
    }
    return {};
}

bool Navigation::Navigate(const QString& tag) {
    if (!currentPage_.isEmpty() && currentPage_.contains(tag)) return false;
    const QString page = PageType(tag);
    if (page.isEmpty() && currentPage_.isEmpty() && selectedTag_.isEmpty()) return false;
    currentPage_ = page;
    selectedTag_ = page.isEmpty() ? QString() : tag;
    return true;
}
