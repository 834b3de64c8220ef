#include "options/ConfigFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "options/OptionCatalogue.h"
#include "options/OptionRegistry.h"
#include "support/TempDir.h"

namespace {

// A small registry of its own with one option of each kind, keys spread over the byte order.
struct Fixture {
    OptionRegistry reg;
    Option factor{"profile.magnification.factor", 200, 0, &reg};
    Option display{"profile.src.display", "", 0, &reg};
    Option offset{"profile.src.offset", 0, 0, 0, &reg};
    Option color{"profile.mask.outer_color", 1.0f, 1.0f, 1.0f, 0.0f, 0, &reg};
    Option version{"previous_version", 0, Option::kDeferred, &reg};
    Option theme{"ui.theme", 0, 0, &reg};
};

class ConfigFileTest : public ::testing::Test {
protected:
    std::string Load(const std::string& json) {
        dir.Write("config.json", json);
        LoadConfig(dir / "config.json", &f.reg);
        return dir / "config.json";
    }
    std::string Save() {
        EXPECT_TRUE(SaveConfig(&f.reg));
        return dir.Read("config.json");
    }
    TempDir dir;
    Fixture f;
};

TEST_F(ConfigFileTest, SavedLayout) {
    f.display.SetText("\\\\.\\DISPLAY2 \xC3\xBC");
    f.reg.GetOrCreateOption("ui.languages_json", true).SetText("{}");
    LoadConfig(dir / "config.json", &f.reg);  // no file yet: defaults, and the path to save to
    EXPECT_EQ(Save(),
              "{\r\n"
              "\t\"previous_version\": \"0\",\r\n"
              "\t\"profile.magnification.factor\": \"200\",\r\n"
              "\t\"profile.mask.outer_color\": \"[1.000000, 1.000000, 1.000000, 0.000000]\",\r\n"
              "\t\"profile.src.display\": \"\\\\\\\\.\\\\DISPLAY2 \xC3\xBC\",\r\n"
              "\t\"profile.src.offset\": \"[0, 0]\",\r\n"
              "\t\"ui.theme\": \"0\"\r\n"
              "}");
    struct stat st {};
    ASSERT_EQ(stat((dir / "config.json").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ConfigFileTest, RoundTripKeepsValuesAndUnregisteredMembers) {
    Load(R"({"profile.src.display": "\\\\.\\DISPLAY2", "zz.number": 3, "zz.pair": [1, 2.9],
             "zz.quad": [0.5, 1, 0, 1], "zz.text": "x", "zz.flag": true, "zz.null": null, "zz.obj": {},
             "zz.triple": [1, 2, 3], "UI.THEME": "7"})");
    EXPECT_EQ(f.display.Text(), "\\\\.\\DISPLAY2");
    const std::string saved = Save();
    EXPECT_NE(saved.find("\"zz.number\": \"3.00000\""), std::string::npos);
    EXPECT_NE(saved.find("\"zz.pair\": \"[1, 2]\""), std::string::npos);
    EXPECT_NE(saved.find("\"zz.quad\": \"[0.500000, 1.000000, 0.000000, 1.000000]\""), std::string::npos);
    EXPECT_NE(saved.find("\"zz.text\": \"x\""), std::string::npos);
    // Keys are case-sensitive: a capitalised key is a member of its own.
    EXPECT_NE(saved.find("\"UI.THEME\": \"7\""), std::string::npos);
    EXPECT_NE(saved.find("\"ui.theme\": \"0\""), std::string::npos);
    for (const char* lost : {"zz.flag", "zz.null", "zz.obj", "zz.triple"}) {
        EXPECT_EQ(saved.find(lost), std::string::npos) << lost;
    }
    // What was saved loads back to the same texts.
    Fixture again;
    LoadConfig(dir / "config.json", &again.reg);
    EXPECT_EQ(again.display.Text(), "\\\\.\\DISPLAY2");
    ASSERT_NE(again.reg.Find("zz.number"), nullptr);
    EXPECT_EQ(again.reg.Find("zz.number")->Text(), "3.00000");
}

TEST_F(ConfigFileTest, DeferredOptionSavesTheNewValueButReadsTheOld) {
    Load(R"({"previous_version": "2046"})");
    f.version.SetText("2047");
    EXPECT_EQ(f.version.Text(), "2046");
    EXPECT_NE(Save().find("\"previous_version\": \"2047\""), std::string::npos);
    EXPECT_EQ(f.version.Text(), "2047");
}

TEST_F(ConfigFileTest, AMemberThatCannotBeReadIsSkippedAndTheRestIsTaken) {
    struct Case {
        const char* name;
        std::string json;
        std::string display, factor, theme;  // after loading; the defaults are "", "200", "0"
    } cases[] = {
        // Members are taken in key order: previous_version < profile.magnification.factor <
        // profile.src.display < ui.theme.
        {"number for a registered key", R"({"ui.theme": "5", "profile.magnification.factor": 300,
                                            "previous_version": "9", "profile.src.display": "HDMI-1"})",
         "HDMI-1", "200", "5"},
        {"wrong element type", R"({"profile.magnification.factor": "150", "profile.p": [1, "x"],
                                  "ui.theme": "5"})",
         "", "150", "5"},
        // A file that does not parse at all gives nothing.
        {"invalid json", R"({"profile.magnification.factor": "150")", "", "200", "0"},
        {"top level array", R"(["profile.magnification.factor"])", "", "200", "0"},
        {"binary bytes", std::string("\x00\xFF\xFE{\x01", 5), "", "200", "0"},
    };
    for (const auto& c : cases) {
        Fixture fresh;
        dir.Write("config.json", c.json);
        LoadConfig(dir / "config.json", &fresh.reg);
        EXPECT_EQ(fresh.display.Text(), c.display) << c.name;
        EXPECT_EQ(fresh.factor.Text(), c.factor) << c.name;
        EXPECT_EQ(fresh.theme.Text(), c.theme) << c.name;
        // The file as it was is kept at the next save: the skipped member is not lost either.
        EXPECT_TRUE(fresh.reg.configUnreadable) << c.name;
    }
    Fixture first;
    dir.Write("config.json", cases[0].json);
    LoadConfig(dir / "config.json", &first.reg);
    EXPECT_EQ(first.version.Text(), "9");
}

// The kept copies beside the file, name and content.
std::map<std::string, std::string> KeptCopies(const TempDir& dir) {
    std::map<std::string, std::string> kept;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name.rfind("config.json.corrupt-", 0) == 0) kept[name] = dir.Read(name);
    }
    return kept;
}

TEST_F(ConfigFileTest, BadStartsInTheSameSecondKeepEveryCopy) {
    for (int i = 0; i < 3; ++i) {
        Fixture fresh;
        dir.Write("config.json", "{\"broken\": " + std::to_string(i));
        LoadConfig(dir / "config.json", &fresh.reg);
        EXPECT_TRUE(SaveConfig(&fresh.reg));
    }
    std::set<std::string> contents;
    for (const auto& [name, content] : KeptCopies(dir)) contents.insert(content);
    EXPECT_EQ(contents, (std::set<std::string>{"{\"broken\": 0", "{\"broken\": 1", "{\"broken\": 2"}));
}

TEST_F(ConfigFileTest, ANonRegularFileAtThePathIsUnreadableAndKept) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"FIFO without a writer", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"link to an endless device",
         [](const std::string& p) { ASSERT_EQ(symlink("/dev/zero", p.c_str()), 0); }},
        {"folder", [](const std::string& p) { ASSERT_EQ(mkdir(p.c_str(), 0700), 0); }},
    };
    for (const auto& c : cases) {
        TempDir own;
        c.make(own / "config.json");
        Fixture fresh;
        LoadConfig(own / "config.json", &fresh.reg);  // returns at once, never waits or fills memory
        EXPECT_EQ(fresh.factor.Text(), "200") << c.name;
        EXPECT_TRUE(fresh.reg.configUnreadable) << c.name;
        EXPECT_TRUE(SaveConfig(&fresh.reg)) << c.name;
        // What was there is moved aside, not emptied (and not read: a FIFO would wait).
        size_t kept = 0;
        for (const auto& e : std::filesystem::directory_iterator(own.path()))
            kept += e.path().filename().string().rfind("config.json.corrupt-", 0) == 0;
        EXPECT_EQ(kept, 1u) << c.name;
        struct stat st {};
        ASSERT_EQ(lstat((own / "config.json").c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << c.name;
    }
}

TEST_F(ConfigFileTest, ALinkedFileIsWrittenThroughTheLinkAndLeftTemporariesGo) {
    ASSERT_EQ(mkdir((dir / "dotfiles").c_str(), 0700), 0);
    dir.Write("dotfiles/lentora.json", R"({"ui.theme": "3"})");
    ASSERT_EQ(symlink("dotfiles/lentora.json", (dir / "config.json").c_str()), 0);
    // Left by saves killed half-way, beside the file the saves write; other names stay.
    dir.Write("dotfiles/lentora.json.a1B2c3", "partial");
    dir.Write("dotfiles/lentora.json.corrupt-20261210T101010Z", "kept");
    dir.Write("dotfiles/lentora.json.ab", "not ours");
    LoadConfig(dir / "config.json", &f.reg);
    EXPECT_EQ(f.theme.Text(), "3");
    f.theme.SetText("4");
    EXPECT_TRUE(SaveConfig(&f.reg));
    struct stat st {};
    ASSERT_EQ(lstat((dir / "config.json").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(dir.Read("dotfiles/lentora.json").find("\"ui.theme\": \"4\""), std::string::npos);
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir / "dotfiles"))
        names.insert(e.path().filename());
    EXPECT_EQ(names, (std::set<std::string>{"lentora.json", "lentora.json.corrupt-20261210T101010Z",
                                            "lentora.json.ab"}));

    // An unreadable linked file is kept beside itself; the link stays and leads to the new file.
    dir.Write("dotfiles/lentora.json", "{broken");
    Fixture fresh;
    LoadConfig(dir / "config.json", &fresh.reg);
    EXPECT_TRUE(SaveConfig(&fresh.reg));
    ASSERT_EQ(lstat((dir / "config.json").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(dir.Read("config.json").substr(0, 3), "{\r\n");
    size_t keptBroken = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir / "dotfiles"))
        keptBroken += dir.Read("dotfiles/" + e.path().filename().string()) == "{broken";
    EXPECT_EQ(keptBroken, 1u);
}

TEST_F(ConfigFileTest, AnUnreadableFileIsKeptBeforeTheSaveReplacesIt) {
    const std::string broken = "{\"profile.magnification.factor\": \"3";
    Load(broken);
    const std::string saved = Save();
    EXPECT_EQ(saved.substr(0, 3), "{\r\n");
    std::vector<std::string> kept;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name.rfind("config.json.corrupt-", 0) == 0) kept.push_back(name);
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(dir.Read(kept[0]), broken);
    // Only once: the next save replaces the now good file in place.
    Save();
    size_t count = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        count += e.path().filename() != "config.json";
    EXPECT_EQ(count, 1u);
}

TEST_F(ConfigFileTest, AFailedSaveLeavesTheOldFile) {
    Load(R"({"ui.theme": "3"})");
    f.theme.SetText("4");
    f.reg.configPath = dir / "missing-folder/config.json";
    EXPECT_FALSE(SaveConfig(&f.reg));
    EXPECT_EQ(dir.Read("config.json"), R"({"ui.theme": "3"})");
    // No temporary files are left behind either.
    size_t count = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++count;
    EXPECT_EQ(count, 1u);
    f.reg.configPath.clear();  // a start that never loaded writes nothing
    EXPECT_FALSE(SaveConfig(&f.reg));
}

TEST_F(ConfigFileTest, MissingFileKeepsDefaults) {
    LoadConfig(dir / "none.json", &f.reg);
    EXPECT_EQ(f.factor.Text(), "200");
    EXPECT_FALSE(f.reg.configUnreadable);
}

TEST(OptionCatalogue, EveryOptionWithItsDefault) {
    OptionRegistry& reg = OptionRegistry::Instance();
    reg.ResetToDefaults();
    const std::pair<const char*, const char*> expected[] = {
        {"app.capture_visible", "0"},
        {"app.close_minimize", "0"},
        {"app.first_start", "1"},
        {"app.hotkey.editor", "10527323"},
        {"app.hotkey.editor.hold", "0"},
        {"app.launch_windows", "0"},
        {"app.start_minimized", "0"},
        {"previous_version", "0"},
        {"profile.hotkey.magnification", "674"},
        {"profile.hotkey.magnification.hold", "0"},
        {"profile.magnification.factor", "200"},
        {"profile.magnification.mouse_adjust", "0"},
        {"profile.mask.dist", "490"},
        {"profile.mask.outer_color", "[1.000000, 1.000000, 1.000000, 0.000000]"},
        {"profile.mask.trans_color", "[1.000000, 1.000000, 1.000000, 1.000000]"},
        {"profile.mask.transdist", "10"},
        {"profile.mask.type", "0"},
        {"profile.src.display", ""},
        {"profile.src.offset", "[0, 0]"},
        {"profile.target.display", ""},
        {"profile.target.offset", "[0, 0]"},
        {"profile.target.size", "[40000, 40000]"},
        {"ui.language", ""},
        {"ui.theme", "0"},
        {"ui.window.rect", "[0, 0, 0, 0]"},
        {"ui.window.visible", ""},
    };
    ASSERT_EQ(reg.entries().size(), std::size(expected));
    size_t i = 0;
    for (const auto& [key, option] : reg.entries()) {  // ascending byte order
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(key, expected[i].first);
        EXPECT_EQ(option->Text(), expected[i].second) << key;
        ++i;
    }
    EXPECT_EQ(options::previousVersion.flags, Option::kDeferred);
    Option& languages = GetOrCreateOption(options::kLanguagesJsonKey, true);
    EXPECT_EQ(languages.flags, Option::kRunTime | Option::kTransient);
    languages.SetText("{\"en-US\": []}");
    EXPECT_EQ(ConfigText(reg).find("languages_json"), std::string::npos);
    // Also when a file held a member of that name: the list is still never saved.
    reg.ResetToDefaults();
    ReadConfigText(R"({"ui.languages_json": "stale"})", reg);
    GetOrCreateOption(options::kLanguagesJsonKey, true).SetText("{}");
    EXPECT_EQ(ConfigText(reg).find("languages_json"), std::string::npos);
    reg.ResetToDefaults();
}

}  // namespace
