#include "log/CDebugPrint.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <atomic>
#include <chrono>
#include <regex>
#include <thread>

#include "platform/posix/CrossProcessLock.h"
#include "support/TempDir.h"
#include "text/WideText.h"

namespace {

// The log file as UTF-8 lines (without CR LF), after checking its byte-order mark.
std::vector<std::string> ReadLog(const std::string& path) {
    const std::string bytes = TempDir::ReadFile(path);
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    EXPECT_FALSE(text.empty());
    if (text.empty()) return {};
    EXPECT_EQ(text[0], u'\xFEFF');
    std::vector<std::string> lines;
    const std::string all = text::ToNarrow(text.substr(1));
    size_t pos = 0;
    while (pos < all.size()) {
        const size_t end = all.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF";
        if (end == std::string::npos) break;
        lines.push_back(all.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
        path = dir / "test.log";
    }
    // Text of a line after its time stamp.
    static std::string AfterTime(const std::string& line) {
        static const std::regex stamp(R"(^\d\d:\d\d:\d\d\.\d\d\d )");
        EXPECT_TRUE(std::regex_search(line, stamp)) << line;
        return line.size() > 13 ? line.substr(13) : std::string();
    }
    TempDir dir;
    std::string path;
    CDebugPrint log;
};

TEST_F(LogTest, LinesCarryTimeTagAndLevel) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"lentoraapp.exe", true));
    log << "started" << LogEnd;
    log << LogError << "[Magnifier]"
        << "[Error] "
        << "XShmAttach"
        << " : " << LogHex << -2147467259 << LogEnd;
    log << "after the error" << LogEnd;
    log.EndLine();  // a line with nothing but stamp and tag

    const auto lines = ReadLog(path);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Log file is initialized");
    EXPECT_EQ(AfterTime(lines[1]), "[          lentoraapp.exe ] started");
    EXPECT_EQ(AfterTime(lines[2]),
              "[          lentoraapp.exe ]  [ERROR] [Magnifier][Error] XShmAttach : 80004005");
    // Level and number format belong to one line only.
    EXPECT_EQ(AfterTime(lines[3]), "[          lentoraapp.exe ] after the error");
    EXPECT_EQ(AfterTime(lines[4]), "[          lentoraapp.exe ] ");
}

TEST_F(LogTest, TagColumn) {
    struct Case {
        const char16_t* tag;
        std::u16string shown;
    } cases[] = {
        {u"lentora", u"lentora"},
        {u"abcdefghijklmnopqrst", u"abcdefghijklmnopqrst"},       // 20: whole
        {u"abcdefghijklmnopqrstu", u"abcdefghijklmnopqrstu..."},  // 21: cut to 21 and "..."
        {u"abcdefghijklmnopqrstuvwxyz", u"abcdefghijklmnopqrstu..."},
    };
    for (const auto& c : cases) EXPECT_EQ(CDebugPrint::TagText(c.tag), c.shown);

    ASSERT_TRUE(log.Init(u"Lentora", path, nullptr, true));
    log << "x" << LogEnd;
    EXPECT_EQ(AfterTime(ReadLog(path).back()), "[                 Lentora ] x");  // no tag: the name
}

TEST_F(LogTest, NumbersInTheLineFormat) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    struct Case {
        std::function<void()> append;
        std::string text;
    } cases[] = {
        {[&] { log << 1.5; }, "1.500"},
        {[&] { log << -42; }, "-42"},
        {[&] { log << LogHex << -42; }, "FFFFFFD6"},
        {[&] { log << 4000000000u; }, "4000000000"},
        {[&] { log << LogHex << 255u; }, "000000FF"},
        {[&] { log << 0x123456789ABCDEF0ul; }, "123456789ABCDEF0"},
        {[&] { log << 5ull; }, "0000000000000005"},
        {[&] { log << 40L; }, "40"},
        {[&] { log << LogHex << true; }, "1"},  // "%d" whatever the format
        {[&] { log << u"wide " << std::u16string(u"text"); }, "wide text"},
        {[&] { log << std::string("\xD0\xBB\xD1\x83\xD0\xBF\xD0\xB0"); }, "лупа"},
    };
    for (auto& c : cases) {
        c.append();
        log.EndLine();
        EXPECT_EQ(AfterTime(ReadLog(path).back()), "[                       t ] " + c.text);
    }
}

TEST_F(LogTest, LinesBeforeInitAndAfterCloseAreDropped) {
    log << "too early" << LogEnd;
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    log << "kept" << LogEnd;
    log.Close();
    log << "too late" << LogEnd;
    const auto lines = ReadLog(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("kept"), std::string::npos);
}

TEST_F(LogTest, Separators) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    log.Separator("0123456789");
    log.Separator(nullptr);
    log.Separator(std::string(70, 'x').c_str());
    log.Separator(std::string(58, 'y').c_str());  // "--- " + 58 + " " is 63 already
    const auto lines = ReadLog(path);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(AfterTime(lines[1]), "--- 0123456789 " + std::string(48, '-'));  // no tag column
    EXPECT_EQ(AfterTime(lines[1]).size(), 63u);
    EXPECT_EQ(AfterTime(lines[2]), std::string(63, '-'));
    EXPECT_EQ(AfterTime(lines[3]), "--- " + std::string(70, 'x') + " " + std::string(63, '-'));
    EXPECT_EQ(AfterTime(lines[4]), "--- " + std::string(58, 'y') + " ");
}

TEST_F(LogTest, OverlongLineIsCutAndStillEnds) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    log << std::string(5000, 'a') << LogEnd;
    log << "next" << LogEnd;
    const auto lines = ReadLog(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(AfterTime(lines[1]).size(), std::string("[                       t ] ").size() + 4093);
    EXPECT_NE(lines[2].find("next"), std::string::npos);
}

TEST_F(LogTest, PrintfReplacesTheLine) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    log << "discarded ";
    log.Printf("%s %d", "value", 7);
    EXPECT_EQ(AfterTime(ReadLog(path).back()), "[                       t ] value 7");
}

TEST_F(LogTest, ThreadsKeepTheirOwnLineState) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    log << LogError << LogHex << "main thread, ";
    std::thread([&] { log << "other thread " << 10 << LogEnd; }).join();
    log << 10 << LogEnd;
    const auto lines = ReadLog(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(AfterTime(lines[1]), "[                       t ] other thread 10");
    EXPECT_EQ(AfterTime(lines[2]), "[                       t ]  [ERROR] main thread, 0000000A");
}

TEST_F(LogTest, StartNewEmptiesTheFile) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    log << "first run" << LogEnd;
    CDebugPrint second;
    ASSERT_TRUE(second.Init(u"Lentora", path, u"t", true));
    EXPECT_EQ(ReadLog(path).size(), 1u);
    CDebugPrint appending;
    ASSERT_TRUE(appending.Init(u"Lentora", path, u"t", false));
    appending << "appended" << LogEnd;
    EXPECT_EQ(ReadLog(path).size(), 2u);
}

TEST_F(LogTest, ProcessesInterleaveWholeLines) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    constexpr int kWriters = 4, kLines = 300;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            CDebugPrint child;  // a process of its own, writing the same file under the same lock name
            child.Init(u"Lentora", path, u"t", false);
            const std::string body(200, static_cast<char>('a' + w));
            for (int i = 0; i < kLines; ++i) child << "w" << w << " " << body << LogEnd;
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto lines = ReadLog(path);
    ASSERT_EQ(lines.size(), 1u + kWriters * kLines);
    static const std::regex whole(R"(^\d\d:\d\d:\d\d\.\d\d\d \[ +t \] w([0-3]) ([a-d])\2{199}$)");
    for (size_t i = 1; i < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, whole))
            << "torn line " << i << ": " << lines[i].substr(0, 80);
        EXPECT_EQ(m[2].str()[0], 'a' + (m[1].str()[0] - '0'));
    }
}

TEST_F(LogTest, AHeldLockCostsOneSecondAndTheLine) {
    ASSERT_TRUE(log.Init(u"Lentora", path, u"t", true));
    // Another process's writer stuck while holding the lock.
    const int fd = open(CDebugPrint::LockPath(u"Lentora").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    const auto start = std::chrono::steady_clock::now();
    log << "lost" << LogEnd;
    const auto waited = std::chrono::steady_clock::now() - start;
    flock(fd, LOCK_UN);
    close(fd);
    EXPECT_GE(waited, std::chrono::milliseconds(990));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    log << "written" << LogEnd;
    const auto lines = ReadLog(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("written"), std::string::npos);
}

}  // namespace

namespace {

// Closing waits for a thread that holds the lock, so no thread ever flocks a closed (or reused)
// descriptor; lines after the close are dropped, never written elsewhere.
TEST(CrossProcessLockClose, WaitsForTheThreadThatHoldsTheLock) {
    TempDir dir;
    platform::CrossProcessLock lock;
    ASSERT_EQ(lock.Open(dir / "lock"), 0);
    std::atomic<bool> holding{false}, released{false};
    std::thread holder([&] {
        ASSERT_EQ(lock.Lock(1000), platform::CrossProcessLock::Result::Owned);
        holding = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        released = true;
        lock.Unlock();
    });
    while (!holding) std::this_thread::yield();
    lock.Close();
    EXPECT_TRUE(released.load());
    EXPECT_FALSE(lock.IsOpen());
    EXPECT_EQ(lock.Lock(100), platform::CrossProcessLock::Result::NoLock);
    holder.join();
}

}  // namespace
