#pragma once
// What the main window's frame shows: the page type of a navigation tag, and the tag whose item is
// selected. UI thread only.

#include <QString>

class Navigation {
public:
    // "Profile" -> "LentoraApp.Profile", likewise "Settings", "Help", "Reticula" and "Localization";
    // empty for any other.
    static QString PageType(const QString& tag);

    // Shows the page of tag: nothing happens when the page shown now has tag in its type name; an
    // unknown tag empties the frame. True when the page changed.
    bool Navigate(const QString& tag);

    const QString& currentPage() const { return currentPage_; }
    const QString& selectedTag() const { return selectedTag_; }

private:
    QString currentPage_;  // type name of the page in the frame; empty when it shows none
    QString selectedTag_;  // tag of the selected navigation item; empty when none is
};
