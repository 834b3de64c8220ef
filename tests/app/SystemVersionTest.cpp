#include "app/SystemVersion.h"

#include <gtest/gtest.h>

#include "platform/posix/SystemVersionSources.h"

namespace {

struct FakeSources : platform::ISystemVersionSources {
    std::string uname, file, proc, name = "Debian GNU/Linux 12 (bookworm)";
    std::string UnameRelease() const override { return uname; }
    std::string OsReleaseFile() const override { return file; }
    std::string ProcVersion() const override { return proc; }
    std::string DistributionName() const override { return name; }
};

TEST(SystemVersion, ParsesKernelReleases) {
    struct Case {
        const char* release;
        uint32_t major, minor, build, revision;
    } cases[] = {
        {"6.1.0-28-amd64", 6, 1, 0, 28},
        {"5.15.0-1051-azure", 5, 15, 0, 1051},
        {"6.12.48+deb13-amd64", 6, 12, 48, 0},
        {"6.18.44", 6, 18, 44, 0},
        {"4.19", 4, 19, 0, 0},
        {"garbage", 0, 0, 0, 0},
        {"", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const WindowsVersion v = ParseKernelRelease(c.release);
        EXPECT_EQ(v.major, c.major) << c.release;
        EXPECT_EQ(v.minor, c.minor) << c.release;
        EXPECT_EQ(v.build, c.build) << c.release;
        EXPECT_EQ(v.revision, c.revision) << c.release;
    }
}

TEST(SystemVersion, TheHighestSourceWins) {
    struct Case {
        std::string uname, file, proc, release;
    } cases[] = {
        {"6.1.0-27-amd64", "6.1.0-28-amd64", "", "6.1.0-28-amd64"},
        {"", "", "Linux version 6.1.0-28-amd64 (debian-kernel@lists.debian.org) #1 SMP", "6.1.0-28-amd64"},
        {"6.2.0", "6.1.9", "Linux version 5.0.0 (x) #1", "6.2.0"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        FakeSources s;
        s.uname = c.uname, s.file = c.file, s.proc = c.proc;
        const WindowsVersion v = ProbeWindowsVersion(s);
        EXPECT_EQ(v.release, c.release);
        EXPECT_EQ(WindowsName(v), "Debian GNU/Linux 12 (bookworm)");
    }
}

TEST(SystemVersion, TheRealSystemIsNamed) {
    const WindowsVersion& v = GetWindowsVersion();
    EXPECT_GT(v.major, 2u);  // a kernel release was read
    EXPECT_FALSE(WindowsName(v).empty());
    EXPECT_EQ(&GetWindowsVersion(), &v);  // computed once
}

TEST(SystemVersion, OsReleaseNames) {
    EXPECT_EQ(platform::PrettyNameFromOsRelease("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12\"\n"),
              "Debian GNU/Linux 12");
    EXPECT_EQ(platform::PrettyNameFromOsRelease("NAME=Fedora\n"), "Fedora");
    EXPECT_EQ(platform::PrettyNameFromOsRelease(""), "");
}

}  // namespace
