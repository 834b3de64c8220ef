#include <gtest/gtest.h>

#include "shell/Navigation.h"

namespace {

struct Step {
    const char* tag;
    bool changes;
    const char* page;  // shown afterwards
    const char* selected;
};

TEST(NavigationTest, FollowsTheTagsAndKeepsThePageOnARepeat) {
    Navigation nav;
    const Step steps[] = {
        {"Profile", true, "LentoraApp.Profile", "Profile"},
        {"Profile", false, "LentoraApp.Profile", "Profile"},
        {"", false, "LentoraApp.Profile", "Profile"},
        {"Settings", true, "LentoraApp.Settings", "Settings"},
        {"Help", true, "LentoraApp.Help", "Help"},
        {"Reticula", true, "LentoraApp.Reticula", "Reticula"},
        // Any part of the shown page's type name counts as that page.
        {"ticu", false, "LentoraApp.Reticula", "Reticula"},
        {"LentoraApp", false, "LentoraApp.Reticula", "Reticula"},
        // An unknown tag empties the frame; a second one changes nothing more.
        {"Wizard", true, "", ""},
        {"Wizard", false, "", ""},
        {"profile", false, "", ""},  // tags are case-sensitive
        {"Profile", true, "LentoraApp.Profile", "Profile"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.tag);
        EXPECT_EQ(nav.Navigate(QString::fromLatin1(s.tag)), s.changes);
        EXPECT_EQ(nav.currentPage(), QString::fromLatin1(s.page));
        EXPECT_EQ(nav.selectedTag(), QString::fromLatin1(s.selected));
    }
}

}  // namespace
