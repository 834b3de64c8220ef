#pragma once
// What the Profile page's tests stand on: two displays side by side (HDMI-1 on the left, DP-2 on the
// right) in the back end and the monitor list, the options at their defaults, and a magnifier of fake
// windows that the page reaches as the process's one magnifier. Undone when the test ends.

#include <memory>
#include <vector>

#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "magnifier/OptionGroup.h"
#include "options/OptionRegistry.h"
#include "platform/Backend.h"
#include "platform/null/NullBackend.h"
#include "support/FakeWindow.h"

class TwoDisplayMagnifier {
public:
    TwoDisplayMagnifier() {
        auto backend = std::make_unique<platform::NullBackend>();
        backend->monitors = {{11, {0, 0, 1920, 1080}, "HDMI-1"}, {22, {1920, 0, 3840, 1080}, "DP-2"}};
        platform::SetBackend(std::move(backend));
        MonitorList::SetProvider([] {
            return std::vector<MonitorEntry>{{11, {0, 0, 1920, 1080}, u"HDMI-1"},
                                             {22, {1920, 0, 3840, 1080}, u"DP-2"}};
        });
        OptionRegistry::Instance().ResetToDefaults();
        d.UseWindows(std::make_unique<FakeWindow>(100), std::make_unique<FakeWindow>(101));
        d.ApplyOptions(AllGroups);
        gMagnifierDisplay = &d;
    }
    ~TwoDisplayMagnifier() {
        gMagnifierDisplay = nullptr;
        OptionRegistry::Instance().ResetToDefaults();
        platform::SetBackend(nullptr);
    }
    TwoDisplayMagnifier(const TwoDisplayMagnifier&) = delete;
    TwoDisplayMagnifier& operator=(const TwoDisplayMagnifier&) = delete;

    MagnifierDisplay d;
};
