// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/x11/XConnection.h"

#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using platform::x11::XConnection;

// No client makes windows with ids this high.
constexpr Window kNoWindow = 0x1FFFFFF;

TEST(XConnectionTest, ErrorsCarryTheNameOfTheFailingCall) {
    XConnection c = XConnection::Open();
    ASSERT_TRUE(c);
    c.Name("XMapWindow root");
    XMapWindow(c.display(), c.root());
    c.Name("XMapWindow missing");
    XMapWindow(c.display(), kNoWindow);
    c.Name("XSync");
    const auto e = c.Sync();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->call, "XMapWindow missing");
    EXPECT_EQ(e->code, BadWindow);
    EXPECT_FALSE(c.TakeError()) << "an error is taken once";
    EXPECT_FALSE(c.Sync());
}

TEST(XConnectionTest, ErrorsOfCallsWithReplyAreKnownAtOnce) {
    XConnection c = XConnection::Open();
    ASSERT_TRUE(c);
    c.Name("XGetGeometry");
    Window root;
    int x, y;
    unsigned w, h, b, depth;
    EXPECT_FALSE(XGetGeometry(c.display(), kNoWindow, &root, &x, &y, &w, &h, &b, &depth));
    const auto e = c.TakeError();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->call, "XGetGeometry");
    EXPECT_EQ(e->code, BadDrawable);
}

TEST(XConnectionTest, ErrorsReadWithTheEventsAreCaughtToo) {
    XConnection c = XConnection::Open();
    ASSERT_TRUE(c);
    c.Name("XMapWindow");
    XMapWindow(c.display(), kNoWindow);
    XFlush(c.display());
    std::optional<platform::x11::XRequestError> e;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!e && std::chrono::steady_clock::now() < deadline) {
        XPending(c.display());
        e = c.TakeError();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(e);
    EXPECT_EQ(e->call, "XMapWindow");
}

TEST(XConnectionTest, ErrorsOfExtensionsAreCaughtToo) {
    XConnection c = XConnection::Open();
    ASSERT_TRUE(c);
    Display* d = c.display();
    int events = 0, fixesErrors = 0, damageErrors = 0, major = 0, minor = 0;
    ASSERT_TRUE(XFixesQueryExtension(d, &events, &fixesErrors) && XFixesQueryVersion(d, &major, &minor));
    ASSERT_TRUE(XDamageQueryExtension(d, &events, &damageErrors) && XDamageQueryVersion(d, &major, &minor));

    c.Name("XFixesDestroyRegion");
    XFixesDestroyRegion(d, kNoWindow);
    auto e = c.Sync();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->call, "XFixesDestroyRegion");
    EXPECT_EQ(e->code, fixesErrors + BadRegion);

    c.Name("XDamageDestroy");
    XDamageDestroy(d, kNoWindow);
    e = c.Sync();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->call, "XDamageDestroy");
    EXPECT_EQ(e->code, damageErrors + BadDamage);
}

TEST(XConnectionTest, ErrorsStayOnTheirConnection) {
    XConnection a = XConnection::Open();
    XConnection b = XConnection::Open();
    ASSERT_TRUE(a && b);
    a.Name("XMapWindow");
    XMapWindow(a.display(), kNoWindow);
    XFlush(a.display());
    EXPECT_FALSE(b.Sync());
    XConnection moved = std::move(a);
    EXPECT_FALSE(a);
    const auto e = moved.Sync();
    ASSERT_TRUE(e) << "the error was lost in the move";
    EXPECT_EQ(e->code, BadWindow);
}

TEST(XConnectionDeathTest, AnErrorUnreadAtCloseDoesNotEndTheProgram) {
    EXPECT_EXIT(
        {
            {
                XConnection c = XConnection::Open();
                if (!c) std::_Exit(2);
                XMapWindow(c.display(), kNoWindow);
            }
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
