// The render thread never keeps the UI thread waiting: while a message box the render thread raised is
// still open, the UI thread selects displays, shows and hides the view, and ends the thread.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "platform/qt/MessageBox.h"
#include "support/FakeWindow.h"

namespace {

using namespace std::chrono_literals;

// A message box that stays open until the test closes it.
class OpenBox {
public:
    OpenBox() {
        previous_ = platform::SetMessageBoxHandler([this](const platform::MessageBoxRecord& r) {
            std::unique_lock lock(m_);
            text_ = r.text;
            open_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return closed_; });
        });
    }
    ~OpenBox() {
        Close();
        platform::SetMessageBoxHandler(previous_);
    }
    bool WaitOpen() {
        std::unique_lock lock(m_);
        return changed_.wait_for(lock, 5s, [this] { return open_; });
    }
    void Close() {
        std::lock_guard lock(m_);
        closed_ = true;
        changed_.notify_all();
    }
    std::u16string text() {
        std::lock_guard lock(m_);
        return text_;
    }

private:
    std::mutex m_;
    std::condition_variable changed_;
    bool open_ = false, closed_ = false;
    std::u16string text_;
    platform::MessageBoxHandler previous_;
};

// Runs f on a thread of its own; false when it has not finished within the time.
template <typename F>
bool FinishesWithin(F f, std::chrono::milliseconds limit) {
    auto done = std::async(std::launch::async, f);
    return done.wait_for(limit) == std::future_status::ready;
}

TEST(RenderThreadLock, TheUiThreadGoesOnWhileTheRenderThreadsBoxIsOpen) {
    MonitorList::SetProvider([] {
        return std::vector<MonitorEntry>{{11, {0, 0, 1920, 1080}, u"HDMI-1"},
                                         {22, {1920, 0, 3840, 1080}, u"DP-2"}};
    });
    OpenBox box;
    MagnifierDisplay d;
    d.UseWindows(std::make_unique<FakeWindow>(100), std::make_unique<FakeWindow>(101));
    d.Start();  // without a GUI application the engine cannot start: the render thread raises its box
    ASSERT_TRUE(box.WaitOpen());
    EXPECT_EQ(box.text(), u"Cannot initialize OpenGL, check log file");

    // The box is still open. Every one of these takes renderLock on the UI thread.
    EXPECT_TRUE(FinishesWithin(
        [&] {
            d.SelectTargetDisplay(u"DP-2", true);
            d.SelectSourceDisplay(u"DP-2");
            d.SetVisible(true);
            d.OnWheel(120);
            d.SetVisible(false);
        },
        2000ms));
    EXPECT_EQ(d.targetIndex, 1);
    const ViewSettings published = d.PublishedSettings();
    EXPECT_EQ(published.sourceMonitor, 22u);
    EXPECT_EQ(published.targetDisplay, (platform::PixelRect{1920, 0, 3840, 1080}));
    EXPECT_EQ(published.magnification, 212);

    box.Close();
    EXPECT_TRUE(FinishesWithin([&] { d.Destroy(); }, 5000ms));
}

}  // namespace
