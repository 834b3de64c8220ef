#include <gtest/gtest.h>

#include <QCoreApplication>
#include <nlohmann/json.hpp>
#include <regex>

#include "app/AppFolders.h"
#include "app/AppStartup.h"
#include "app/LanguageList.h"
#include "app/LogFilePath.h"
#include "platform/posix/Paths.h"
#include "platform/qt/MessageBox.h"
#include "support/TempDir.h"

namespace {

std::string LogPathOf(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return LogPathArgument(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, LogPathArgument) {
    struct Case {
        std::vector<std::string> args;
        std::string value;
    } cases[] = {
        {{"lentora"}, ""},
        {{"lentora", "-logpath", "/tmp/x"}, "/tmp/x"},
        {{"lentora", "-logpath"}, ""},                            // last: ignored
        {{"lentora", "-logpath", "/a", "-logpath", "/b"}, "/b"},  // the later one counts
        {{"lentora", "-logpath", "/a", "-logpath"}, "/a"},
        {{"lentora", "-logpath", "-logpath", "/c"}, "/c"},  // the value is examined too
        {{"lentora", "-LOGPATH", "/a"}, ""},                // case-sensitive
    };
    for (const auto& c : cases) EXPECT_EQ(LogPathOf(c.args), c.value);
}

class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("HOME", dir.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
        previous = platform::SetMessageBoxHandler(
            [this](const platform::MessageBoxRecord& r) { boxes.push_back(r); });
    }
    void TearDown() override { platform::SetMessageBoxHandler(previous); }
    TempDir dir;
    std::vector<platform::MessageBoxRecord> boxes;
    platform::MessageBoxHandler previous;
};

TEST_F(FoldersTest, LogFileChoice) {
    std::filesystem::create_directory(dir / "existing");
    struct Case {
        std::string value, path;
    } cases[] = {
        {dir / "existing", dir / "existing/Lentora.txt"},
        {dir / "existing/", dir / "existing/Lentora.txt"},
        {dir / "new/", dir / "new/Lentora.txt"},  // created
        {dir / "file.log", dir / "file.log"},
    };
    for (const auto& c : cases) EXPECT_EQ(LogFilePath(c.value), c.path) << c.value;
    EXPECT_TRUE(platform::IsDirectory(dir / "new"));

    const std::string def = LogFilePath("");
    static const std::regex name(R"(/state/Lentora/logs/Lorx-log-\d{4}-\d\d-\d\d-\d\d-\d\d-\d\d\.txt$)");
    EXPECT_TRUE(std::regex_search(def, name)) << def;
    EXPECT_TRUE(platform::IsDirectory(dir / "state/Lentora/logs"));
    EXPECT_EQ(platform::Permissions(dir / "state/Lentora"), 0700);

    const std::string docs = LogFilePath("mydocs");
    EXPECT_EQ(docs.substr(docs.size() - 12), "/Lentora.txt");
    EXPECT_EQ(docs.rfind(dir.path(), 0), 0u) << docs;  // in the user's home
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FoldersTest, AppDataFolderIsTheUsersOwn) {
    PrepareAppDataFolder();
    EXPECT_EQ(AppDataPath(""), dir / "config/Lentora/");
    EXPECT_EQ(AppDataPath("config.json"), dir / "config/Lentora/config.json");
    EXPECT_EQ(platform::Permissions(dir / "config/Lentora"), 0700);
    // A folder made too open by hand is the user's own again after the next start.
    chmod((dir / "config/Lentora").c_str(), 0777);
    PrepareAppDataFolder();
    EXPECT_EQ(platform::Permissions(dir / "config/Lentora"), 0700);
    EXPECT_FALSE(ExeFolder().empty());
    EXPECT_EQ(ExeFolder().back(), '/');
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FoldersTest, CreateFolder) {
    EXPECT_TRUE(CreateFolder(dir / "a"));
    EXPECT_TRUE(CreateFolder(dir / "a"));  // already there: fine, silently
    EXPECT_TRUE(boxes.empty());
    dir.Write("plain-file", "x");
    struct Case {
        std::string path;
    } failing[] = {{dir / "plain-file"}, {dir / "plain-file/sub"}, {dir / "missing/parent/level"}};
    for (const auto& c : failing) {
        boxes.clear();
        EXPECT_FALSE(CreateFolder(c.path)) << c.path;
        ASSERT_EQ(boxes.size(), 1u) << c.path;
        EXPECT_EQ(boxes[0].caption, u"Lentora");
        EXPECT_EQ(boxes[0].icon, platform::MessageIcon::Error);
        EXPECT_EQ(boxes[0].text.rfind(u"CreateDirectory error: ", 0), 0u);
        EXPECT_GT(boxes[0].text.size(), 23u);  // with the system's reason
    }
    EXPECT_EQ(ShareWithSandboxes(dir / "a", 1), 50);
}

TEST(LanguageList, NativeNamesAsCodeUnits) {
    const auto doc = nlohmann::json::parse(LanguagesJson({u"en-US", u"de-DE", u"ru-RU", u"xx-yy"}));
    auto units = [](std::u16string s) {
        std::vector<unsigned> u(s.begin(), s.end());
        return u;
    };
    EXPECT_EQ(doc["en-US"].get<std::vector<unsigned>>(), units(u"English"));
    EXPECT_EQ(doc["de-DE"].get<std::vector<unsigned>>(), units(u"Deutsch"));
    EXPECT_EQ(doc["ru-RU"].get<std::vector<unsigned>>(), units(u"Русский"));  // first letter upper-cased
    EXPECT_EQ(doc["xx-yy"].get<std::vector<unsigned>>(), units(u"xx-yy"));    // no such locale: its own name
    EXPECT_EQ(nlohmann::json::parse(LanguagesJson({})), nlohmann::json::object());
}

}  // namespace
