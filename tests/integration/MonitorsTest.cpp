#include "platform/x11/Monitors.h"

#include <X11/Xatom.h>
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "DisplayModeChange.h"
#include "PixelRectPrinter.h"
#include "TestWindow.h"

namespace {

using platform::PixelRect;

constexpr PixelRect kScreen{0, 0, 1920, 1080};

std::optional<platform::OutputInfo> OutputNamed(const std::string& name) {
    for (const platform::OutputInfo& o : platform::EnumerateOutputs()) {
        if (o.name == name) return o;
    }
    return std::nullopt;
}

TEST(MonitorsTest, TheXvfbScreenIsOneMonitorNamedAfterItsAttachedOutput) {
    const auto monitors = platform::EnumerateMonitors();
    ASSERT_EQ(monitors.size(), 1u);
    EXPECT_EQ(monitors[0].bounds, kScreen);
    EXPECT_NE(monitors[0].handle, 0u);
    ASSERT_FALSE(monitors[0].deviceName.empty());
    EXPECT_EQ(platform::EnumerateMonitors()[0].handle, monitors[0].handle) << "the handle is not stable";

    const auto output = OutputNamed(monitors[0].deviceName);
    ASSERT_TRUE(output) << "no output is named " << monitors[0].deviceName;
    EXPECT_TRUE(output->attached);
    EXPECT_EQ(output->bounds, kScreen);
}

TEST(MonitorsTest, AnOutputWithoutCrtcIsDetachedAndNoMonitor) {
    const auto monitors = platform::EnumerateMonitors();
    ASSERT_EQ(monitors.size(), 1u);
    const std::string name = monitors[0].deviceName;
    {
        DisplayModeChange off(1920, 1080);
        ASSERT_EQ(off.error(), "");
        EXPECT_TRUE(platform::EnumerateMonitors().empty());
        const auto output = OutputNamed(name);
        ASSERT_TRUE(output);
        EXPECT_FALSE(output->attached);
        EXPECT_EQ(output->bounds, PixelRect{});
        ASSERT_EQ(off.Restore(), "");
    }
    const auto output = OutputNamed(name);
    ASSERT_TRUE(output);
    EXPECT_TRUE(output->attached);
    EXPECT_EQ(output->bounds, kScreen);
}

class ActiveWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window_.shown());
        display_ = window_.display();
        atom_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    }
    void TearDown() override {
        XDeleteProperty(display_, DefaultRootWindow(display_), atom_);
        XSync(display_, False);
    }
    void SetRoot(Atom type, long value) {
        XChangeProperty(display_, DefaultRootWindow(display_), atom_, type, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&value), 1);
        XSync(display_, False);
    }

    TestWindow window_{{10, 10, 50, 50}};
    Display* display_ = nullptr;
    Atom atom_ = None;
};

TEST_F(ActiveWindowTest, ReadsTheRootPropertyOnEveryThread) {
    const long id = static_cast<long>(window_.id());
    SetRoot(XA_WINDOW, id);
    EXPECT_EQ(platform::ActiveWindow(), static_cast<uint64_t>(id));
    uint64_t fromOtherThread = 0;
    std::thread([&] { fromOtherThread = platform::ActiveWindow(); }).join();
    EXPECT_EQ(fromOtherThread, static_cast<uint64_t>(id));

    SetRoot(XA_CARDINAL, id);
    EXPECT_EQ(platform::ActiveWindow(), 0u) << "a property of another type";
    SetRoot(XA_WINDOW, 0);
    EXPECT_EQ(platform::ActiveWindow(), 0u);
    XDeleteProperty(display_, DefaultRootWindow(display_), atom_);
    XSync(display_, False);
    EXPECT_EQ(platform::ActiveWindow(), 0u) << "no property";
}

TEST(WindowFrameRectTest, OuterRectangleWidenedByTheFrameExtents) {
    struct Case {
        const char* name;
        PixelRect outer;
        unsigned border;
        std::vector<long> extents;  // left, right, top, bottom
        PixelRect expected;
    };
    const Case cases[] = {
        {"plain", {37, 45, 237, 145}, 0, {}, {37, 45, 237, 145}},
        {"with a border", {37, 45, 237, 145}, 4, {}, {37, 45, 237, 145}},
        {"with frame extents", {37, 45, 237, 145}, 0, {3, 4, 20, 5}, {34, 25, 241, 150}},
        {"extents of the wrong length", {37, 45, 237, 145}, 0, {3, 4}, {37, 45, 237, 145}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow w(c.outer, c.border);
        ASSERT_TRUE(w.shown());
        if (!c.extents.empty()) w.SetLongs("_NET_FRAME_EXTENTS", XA_CARDINAL, c.extents);
        EXPECT_EQ(platform::WindowFrameRect(w.id()), c.expected);
    }
}

TEST(WindowFrameRectTest, AClosedWindowHasNoRectangleAndSaysWhy) {
    TestWindow w({10, 10, 60, 60});
    ASSERT_TRUE(w.shown());
    const uint64_t id = w.id();
    w.Destroy();
    platform::CallFailure failure;
    EXPECT_EQ(platform::WindowFrameRect(id, &failure), PixelRect{});
    EXPECT_EQ(failure.call, "XGetGeometry");
    EXPECT_EQ(failure.code, 9);  // BadDrawable
    EXPECT_EQ(platform::WindowFrameRect(0, &failure), PixelRect{});
    EXPECT_FALSE(failure);
}

}  // namespace
