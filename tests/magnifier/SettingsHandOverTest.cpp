// The hand-over of the view's settings between two threads, as the UI and render threads use it: every
// copy the reader takes is one whole published value, and the newest one arrives. Qt-free, so that
// ThreadSanitizer can watch it.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>

#include "magnifier/SettingsHandOver.h"

namespace {

// A value whose every field is derived from n, so a torn copy shows.
ViewSettings Numbered(int n) {
    ViewSettings s;
    s.magnification = n;
    s.sourceOffset = {n, -n};
    s.viewWidth = 2 * n;
    s.viewHeight = 3 * n;
    s.maskDist = static_cast<float>(n) / 1000.0f;
    s.helpText = std::u16string(static_cast<size_t>(n % 64), u'x');
    s.visible = (n % 2) != 0;
    return s;
}

bool Whole(const ViewSettings& s) {
    const int n = s.magnification;
    return s.sourceOffset == IntPair{n, -n} && s.viewWidth == 2 * n && s.viewHeight == 3 * n &&
           s.maskDist == static_cast<float>(n) / 1000.0f &&
           s.helpText.size() == static_cast<size_t>(n % 64) && s.visible == ((n % 2) != 0);
}

TEST(SettingsHandOver, NothingNewIsNoCopy) {
    SettingsHandOver h;
    ViewSettings out;
    uint64_t seen = 0;
    EXPECT_FALSE(h.CopyIfNewer(out, seen));  // nothing published yet
    h.Store(Numbered(7));
    ASSERT_TRUE(h.CopyIfNewer(out, seen));
    EXPECT_EQ(out.magnification, 7);
    EXPECT_FALSE(h.CopyIfNewer(out, seen));
    h.Store(Numbered(7));  // the same value again is still news: the reader may have changed its copy
    EXPECT_TRUE(h.CopyIfNewer(out, seen));
}

TEST(SettingsHandOver, AReaderOnAnotherThreadSeesWholeValuesInOrderAndTheLast) {
    constexpr int kLast = 20000;
    std::recursive_mutex lock;
    SettingsHandOver h;
    int torn = 0, backwards = 0, copies = 0, lastSeen = 0;
    std::thread reader([&] {
        ViewSettings copy;
        uint64_t seen = 0;
        while (lastSeen != kLast) {
            bool fresh = false;
            {
                std::lock_guard guard(lock);
                fresh = h.CopyIfNewer(copy, seen);
            }
            if (!fresh) {
                std::this_thread::yield();
                continue;
            }
            // The work of a render step happens outside the lock, on the copy.
            ++copies;
            if (!Whole(copy)) ++torn;
            if (copy.magnification < lastSeen) ++backwards;
            lastSeen = copy.magnification;
        }
    });
    for (int n = 1; n <= kLast; ++n) {
        const ViewSettings s = Numbered(n);
        std::lock_guard guard(lock);
        h.Store(s);
    }
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
    EXPECT_EQ(lastSeen, kLast);
    EXPECT_GT(copies, 0);
}

}  // namespace
