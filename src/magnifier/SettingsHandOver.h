#pragma once
// The hand-over of the view's settings from the UI thread to the render thread. The UI thread stores a
// whole value; the render thread copies the newest value once per step. Both sides hold the display's
// renderLock while they touch it, and neither does anything else under it.

#include <cstdint>

#include "magnifier/ViewSettings.h"

class SettingsHandOver {
public:
    // UI thread, with renderLock held: replaces the published value.
    void Store(const ViewSettings& settings) {
        value_ = settings;
        ++revision_;
    }
    // Render thread, with renderLock held: copies the value into out when it is newer than seen, and
    // moves seen on. False when nothing new was published.
    bool CopyIfNewer(ViewSettings& out, uint64_t& seen) const {
        if (revision_ == seen) return false;
        out = value_;
        seen = revision_;
        return true;
    }
    // With renderLock held: the value as last stored.
    const ViewSettings& value() const { return value_; }
    uint64_t revision() const { return revision_; }

private:
    ViewSettings value_;     // guarded by renderLock
    uint64_t revision_ = 0;  // guarded by renderLock; 0: nothing published yet
};
