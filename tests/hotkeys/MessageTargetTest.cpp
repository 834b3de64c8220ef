#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <thread>
#include <vector>

#include "RecordingWindow.h"
#include "platform/qt/MessageTarget.h"

namespace {

void ProcessUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) QCoreApplication::processEvents();
}

TEST(MessageTarget, DeliversOnItsThreadInPostingOrderAndNeverAtOnce) {
    std::vector<Posted> got;
    bool onUiThread = true;
    platform::MessageTarget target([&](uint32_t m, uintptr_t w, intptr_t l) {
        got.push_back({m, w, l});
        onUiThread = onUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    std::vector<Posted> sent;
    for (int i = 0; i < 1000; ++i) sent.push_back({1025u + i % 2, static_cast<uintptr_t>(i % 3), -i});
    std::thread poster([&] {
        for (const Posted& p : sent) target.Post(p.message, p.wParam, p.lParam);
    });
    poster.join();
    EXPECT_TRUE(got.empty());  // posted, not sent: nothing runs before the event loop does
    ProcessUntil([&] { return got.size() >= sent.size(); });
    EXPECT_EQ(got, sent);
    EXPECT_TRUE(onUiThread);
}

TEST(MessageTarget, MessagesStillQueuedGoWithTheTarget) {
    int handled = 0;
    auto* target = new platform::MessageTarget([&](uint32_t, uintptr_t, intptr_t) { ++handled; });
    target->Post(1025, 1, 1);
    delete target;
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 0);
}

}  // namespace
