#include "shell/LogonTask.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace {

class LogonTaskTest : public ::testing::Test {
protected:
    TempDir dir;
    platform::XdgAutostartStore store{dir / "autostart"};
    LogonTask task{store, LogonTaskIdentity{"alice", false}};

    size_t Entries() const {
        if (!std::filesystem::exists(dir / "autostart")) return 0;
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir / "autostart")) ++n;
        return n;
    }
};

TEST_F(LogonTaskTest, SwitchingOnAndOff) {
    EXPECT_FALSE(task.TaskExists());
    EXPECT_TRUE(task.SetLogonTask("OFF"));  // nothing to delete is fine
    EXPECT_TRUE(task.SetLogonTask("/opt/lentora/bin/lentora"));
    EXPECT_TRUE(task.SetLogonTask("/usr/bin/lentora"));  // twice: still one entry, pointing to the new place
    EXPECT_TRUE(task.TaskExists());
    EXPECT_EQ(Entries(), 1u);
    const std::string entry = dir.Read("autostart/Lentora_alice.desktop");
    EXPECT_NE(entry.find("Exec=\"/usr/bin/lentora\"\n"), std::string::npos);
    EXPECT_NE(entry.find("X-GNOME-Autostart-Delay=15\n"), std::string::npos);
    EXPECT_TRUE(task.SetLogonTask("OFF"));
    EXPECT_FALSE(task.TaskExists());
    EXPECT_EQ(Entries(), 0u);
}

TEST_F(LogonTaskTest, NormalAndElevatedSeeOnlyTheirOwnEntry) {
    LogonTask elevated(store, LogonTaskIdentity{"alice", true});
    EXPECT_EQ((LogonTaskIdentity{"alice", false}.TaskName()), "Lentora_alice");
    EXPECT_EQ((LogonTaskIdentity{"alice", true}.TaskName()), "Lentora");
    ASSERT_TRUE(elevated.SetLogonTask("/usr/bin/lentora"));
    EXPECT_TRUE(elevated.TaskExists());
    EXPECT_FALSE(task.TaskExists());
}

TEST_F(LogonTaskTest, AFolderThatCannotBeMadeFails) {
    dir.Write("file", "x");
    platform::XdgAutostartStore blocked(dir / "file/autostart");
    LogonTask t(blocked, LogonTaskIdentity{"alice", false});
    EXPECT_FALSE(t.SetLogonTask("/usr/bin/lentora"));
    EXPECT_FALSE(t.TaskExists());
}

TEST(LogonTaskEntry, ExecQuoting) {
    struct Case {
        const char* path;
        const char* exec;
    } cases[] = {
        {"/usr/bin/lentora", "Exec=\"/usr/bin/lentora\""},
        {"/home/a b/lentora", "Exec=\"/home/a b/lentora\""},
        {"/x/100%/lentora", "Exec=\"/x/100%%/lentora\""},
        {"/x/$HOME/\"q\"/lentora", "Exec=\"/x/\\\\$HOME/\\\\\"q\\\\\"/lentora\""},
        {"/x/back\\slash", "Exec=\"/x/back\\\\\\\\slash\""},
    };
    for (const auto& c : cases) {
        EXPECT_NE(LogonTask::EntryText(c.path).find(std::string(c.exec) + "\n"), std::string::npos) << c.path;
    }
}

TEST(LogonTaskEntry, PassesTheDesktopEntryValidator) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) GTEST_SKIP();
    TempDir dir;
    dir.Write("Lentora_alice.desktop", LogonTask::EntryText("/home/a b/100%/lentora"));
    const std::string cmd =
        "desktop-file-validate '" + (dir / "Lentora_alice.desktop") + "' > '" + (dir / "out.txt") + "' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(dir.Read("out.txt"), "");  // neither errors nor warnings
}

}  // namespace
