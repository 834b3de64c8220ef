#pragma once
// Keys for the polling thread, one poll at a time: the thread waits in its key-state read until the
// test hands over the keys of the next poll, so every poll sees exactly what the test set, and the
// test knows when that poll is over (the thread is back reading).

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "hotkeys/HotkeyManager.h"
#include "platform/IKeyState.h"

class KeyScript : public std::enable_shared_from_this<KeyScript> {
public:
    static constexpr auto kWait = std::chrono::seconds(5);

    // Runs one poll with these codes down and returns once it has finished.
    void Poll(std::initializer_list<int> down) {
        platform::KeySnapshot s;
        for (const int vk : down) s.Set(vk, true);
        Poll(s);
    }
    void PollAllDown() {
        platform::KeySnapshot s;
        for (int vk = 0; vk < platform::KeySnapshot::kCodes; ++vk) s.Set(vk, true);
        Poll(s);
    }
    // Runs one poll whose read fails.
    void PollFailing(const char* call, int code) {
        {
            std::lock_guard l(m_);
            failCall_ = call;
            failCode_ = code;
        }
        Poll(platform::KeySnapshot{});
    }
    // Hands over the keys of one poll without waiting for it.
    void Release(std::initializer_list<int> down) {
        std::lock_guard l(m_);
        next_.Clear();
        for (const int vk : down) next_.Set(vk, true);
        ready_ = true;
        cv_.notify_all();
    }
    // From now on every read fails at once, so the manager can stop without waiting.
    void Close() {
        std::lock_guard l(m_);
        closed_ = true;
        cv_.notify_all();
    }
    // Waits until the polling thread has let go of its key state, which it does when it ends.
    bool WaitUntilGone() {
        std::unique_lock l(m_);
        return cv_.wait_for(l, kWait, [&] { return made_ && !alive_; });
    }

    HotkeyManager::KeyStateFactory Factory() {
        std::shared_ptr<KeyScript> self = shared_from_this();
        return [self]() -> std::unique_ptr<platform::IKeyState> { return std::make_unique<Reader>(self); };
    }

private:
    class Reader final : public platform::IKeyState {
    public:
        explicit Reader(std::shared_ptr<KeyScript> s) : s_(std::move(s)) {
            std::lock_guard l(s_->m_);
            s_->made_ = s_->alive_ = true;
        }
        ~Reader() override {
            std::lock_guard l(s_->m_);
            s_->alive_ = false;
            s_->cv_.notify_all();
        }
        bool Read(platform::KeySnapshot& snapshot) override {
            std::unique_lock l(s_->m_);
            if (s_->inPoll_) {
                s_->inPoll_ = false;
                ++s_->finished_;
                s_->cv_.notify_all();
            }
            s_->cv_.wait(l, [&] { return s_->ready_ || s_->closed_; });
            if (!s_->ready_) return false;
            s_->ready_ = false;
            s_->inPoll_ = true;
            if (s_->failCall_ != nullptr) {
                error_ = {std::exchange(s_->failCall_, nullptr), s_->failCode_};
                return false;
            }
            snapshot = s_->next_;
            return true;
        }
        platform::KeyStateError TakeError() override { return std::exchange(error_, {}); }

    private:
        std::shared_ptr<KeyScript> s_;
        platform::KeyStateError error_;  // polling thread only
    };

    void Poll(const platform::KeySnapshot& keys) {
        std::unique_lock l(m_);
        next_ = keys;
        ready_ = true;
        const int target = finished_ + 1;
        cv_.notify_all();
        if (!cv_.wait_for(l, kWait, [&] { return finished_ >= target; }))
            ADD_FAILURE() << "the poll did not run";
    }

    std::mutex m_;
    std::condition_variable cv_;
    platform::KeySnapshot next_;  // guarded by m_, like every field below
    bool ready_ = false;          // next_ waits for a read
    bool inPoll_ = false;         // a read has returned; the poll it started is running
    int finished_ = 0;            // polls run to their end
    bool closed_ = false;
    bool made_ = false, alive_ = false;
    const char* failCall_ = nullptr;
    int failCode_ = 0;
};
