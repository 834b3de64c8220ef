// Cost of the hotkeys on the X server in $LENTORA_TEST_DISPLAY (else $DISPLAY):
//  - CPU time of one poll of the polling thread, in action mode (the two default bindings) and in
//    capture mode: with the X11 key state (its round trips included) and with a key state that answers
//    at once, which leaves the manager's own share, beside the cost of the thread's sleep alone;
//  - the delay from an XTest press to the action's callback on the UI thread, at the real 33 ms
//    interval, presses spread over the interval.
// Prints the mean CPU time per poll in microseconds, and median and 99th percentile of the read and the
// delay.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "hotkeys/HotkeyManager.h"
#include "platform/qt/MessageTarget.h"
#include "platform/x11/X11KeyState.h"

// Last: Xlib defines None, Bool and Status as macros.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPolls = 2000;
constexpr int kPresses = 300;

struct Figures {
    double mean = 0, median = 0, p99 = 0;
};

Figures Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size()), v[v.size() / 2],
            v[v.size() * 99 / 100]};
}

double ThreadCpuUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// What the polling thread spends from one read to the next: the read, the poll, the loop itself. The
// thread's CPU clock is read only at the first and the last read counted, since reading it costs
// microseconds itself.
struct Samples {
    double firstCpuUs = 0, lastCpuUs = 0;  // polling thread only, until the manager has stopped
    std::vector<double> readUs;            // wall time of each read
    std::atomic<int> reads{0};
};

class TimedKeyState final : public platform::IKeyState {
public:
    TimedKeyState(std::unique_ptr<platform::IKeyState> inner, Samples* samples)
        : inner_(std::move(inner)), samples_(samples) {}
    bool Read(platform::KeySnapshot& snapshot) override {
        const int n = samples_->reads.load();
        if (n == 0) samples_->firstCpuUs = ThreadCpuUs();
        if (n == kPolls) samples_->lastCpuUs = ThreadCpuUs();
        const auto start = Clock::now();
        const bool ok = inner_->Read(snapshot);
        if (n < kPolls)
            samples_->readUs.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        samples_->reads.store(n + 1);
        return ok;
    }
    platform::KeyStateError TakeError() override { return inner_->TakeError(); }

private:
    std::unique_ptr<platform::IKeyState> inner_;
    Samples* samples_;
};

// Keys read without asking anyone: LCtrl held, as while a hotkey is half pressed.
class InstantKeyState final : public platform::IKeyState {
public:
    bool Read(platform::KeySnapshot& snapshot) override {
        snapshot.Clear();
        snapshot.Set(162, true);
        snapshot.Set(17, true);
        return true;
    }
    platform::KeyStateError TakeError() override { return {}; }
};

void NoOp(HotkeyAction*, void*, bool) {}

void MeasurePolls(const char* what, bool capture, bool x11, const std::string& display) {
    Samples samples;
    samples.readUs.reserve(kPolls);
    platform::MessageTarget window([](uint32_t, uintptr_t, intptr_t) {});
    HotkeyManager manager(
        &window,
        [&]() -> std::unique_ptr<platform::IKeyState> {
            std::unique_ptr<platform::IKeyState> inner;
            if (x11)
                inner = platform::OpenX11KeyState(display);
            else
                inner = std::make_unique<InstantKeyState>();
            return std::make_unique<TimedKeyState>(std::move(inner), &samples);
        },
        1);
    for (const auto& [name, binding] :
         {std::pair{"magnification", 674}, std::pair{"enable_editor", 10527323}}) {
        HotkeyAction* a = manager.RegisterAction(name);
        manager.SetActionCallback(a, &NoOp, nullptr);
        manager.SetBinding(a, binding);
    }
    if (capture) manager.SetCaptureMode(true, &window, HotkeyManager::kCaptureMessage);
    while (samples.reads.load() < kPolls + 1) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    manager.Stop();
    QCoreApplication::processEvents();

    const double cpu = (samples.lastCpuUs - samples.firstCpuUs) / kPolls;
    const Figures r = Summarise(samples.readUs);
    std::printf("%-44s CPU per poll %7.2f us   key-state read (wall) median %7.1f us  p99 %7.1f us\n", what,
                cpu, r.median, r.p99);
}

// The same sleep as the polling thread's, with nothing else: what every poll pays before any work.
void MeasureSleepAlone() {
    double cpu = 0;
    std::thread t([&] {
        std::mutex lock;
        std::condition_variable signal;
        const bool stop = false;
        const double first = ThreadCpuUs();
        for (int i = 0; i < kPolls; ++i) {
            std::unique_lock wait(lock);
            signal.wait_for(wait, std::chrono::milliseconds(1), [&] { return stop; });
        }
        cpu = (ThreadCpuUs() - first) / kPolls;
    });
    t.join();
    std::printf("%-44s CPU per poll %7.2f us\n", "the thread's sleep alone", cpu);
}

void MeasureDelay(const std::string& display) {
    Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", display.c_str());
        return;
    }
    const KeyCode f5 = XKeysymToKeycode(x, XK_F5);
    struct State {
        QEventLoop* loop = nullptr;
        Clock::time_point at;
        bool pressed = false;
        int calls = 0;
    } state;
    HotkeyManager* manager = nullptr;
    platform::MessageTarget window([&](uint32_t m, uintptr_t w, intptr_t l) {
        if (m == HotkeyManager::kActionMessage) manager->DispatchAction(w, l);
    });
    HotkeyManager real(&window, [display] { return platform::OpenX11KeyState(display); });
    manager = &real;
    HotkeyAction* a = real.RegisterAction("f5");
    real.SetActionCallback(
        a,
        [](HotkeyAction*, void* c, bool pressed) {
            auto* s = static_cast<State*>(c);
            s->at = Clock::now();
            s->pressed = pressed;
            ++s->calls;
            if (s->loop != nullptr) s->loop->quit();
        },
        &state);
    real.SetBinding(a, 116);

    auto waitCall = [&](int calls) {
        QEventLoop loop;
        state.loop = &loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        if (state.calls < calls) loop.exec();
        state.loop = nullptr;
        return state.calls >= calls;
    };

    std::mt19937 random(4);
    std::uniform_int_distribution<int> spread(0, HotkeyManager::kPollIntervalMs * 1000);
    std::vector<double> delays;
    for (int i = 0; i < kPresses; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(spread(random)));
        XTestFakeKeyEvent(x, f5, True, CurrentTime);
        XSync(x, False);
        const auto start = Clock::now();
        const bool pressed = waitCall(2 * i + 1);
        if (pressed) delays.push_back(std::chrono::duration<double, std::milli>(state.at - start).count());
        XTestFakeKeyEvent(x, f5, False, CurrentTime);
        XSync(x, False);
        if (!pressed || !waitCall(2 * i + 2)) {
            std::fprintf(stderr, "press %d was not seen\n", i);
            break;
        }
    }
    real.Stop();
    XCloseDisplay(x);
    if (delays.empty()) return;
    const Figures d = Summarise(delays);
    std::printf(
        "XTest press to callback, %zu presses:      mean %6.1f ms  median %6.1f ms  p99 %6.1f ms  max %6.1f "
        "ms\n",
        delays.size(), d.mean, d.median, d.p99, *std::max_element(delays.begin(), delays.end()));
}

}  // namespace

int main(int argc, char** argv) {
    XInitThreads();
    QCoreApplication app(argc, argv);
    const char* d = std::getenv("LENTORA_TEST_DISPLAY");
    if (d == nullptr || d[0] == '\0') d = std::getenv("DISPLAY");
    if (d == nullptr || d[0] == '\0') {
        std::fprintf(stderr,
                     "Set LENTORA_TEST_DISPLAY or DISPLAY to an X server (an Xvfb of its own is best).\n");
        return 1;
    }
    const std::string display = d;
    std::printf(
        "hotkeys on %s, %d polls per mode, 1 ms apart; CPU per poll: thread CPU time from one read to the "
        "next\n",
        d, kPolls);
    MeasurePolls("action mode, X11 key state", false, true, display);
    MeasurePolls("capture mode, X11 key state", true, true, display);
    MeasurePolls("action mode, instant key state", false, false, display);
    MeasurePolls("capture mode, instant key state", true, false, display);
    MeasureSleepAlone();
    MeasureDelay(display);
    return 0;
}
