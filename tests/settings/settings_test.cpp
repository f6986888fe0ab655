#include "app/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>
#include <vector>

#include "app/settings_store.h"
#include "platform/path.h"

namespace zav2 {
namespace {

constexpr int kTemplateWidth = 374;

Settings loadFrom(MemorySettingsStore& store, std::optional<float> master = std::nullopt) {
    Settings s;
    readPlacement(store, kTemplateWidth, s);
    readSettings(store, master, s);
    readCaptureDir(store, s);
    return s;
}

void put(MemorySettingsStore& store, const Char* key, const Char* value) {
    store.writeString(kSystemSection, key, value);
}

using Entries = std::vector<std::pair<String, String>>;

// Every key's default, in the order and form a first save writes them.
TEST(SettingsLoad, MissingFileGivesEveryDefault) {
    MemorySettingsStore empty;
    const Settings s = loadFrom(empty);
    EXPECT_TRUE(s.loaded);
    MemorySettingsStore saved;
    ASSERT_TRUE(writeSettings(saved, s, {s.x, s.y, s.width, s.height}, ZT(""), ZT("")));
    const Entries expected = {
        {ZT("Volume"), ZT(" 0")},
        {ZT("Mode"), ZT("ORDER")},
        {ZT("TopMost"), ZT("OFF")},
        {ZT("ListWidth"), ZT(" 120")},
        {ZT("DefaultListWidth"), ZT(" 120")},
        {ZT("LeftList"), ZT("ON")},
        {ZT("SearchSubFolder"), ZT("OFF")},
        {ZT("MasterVolume"), ZT("ON")},
        {ZT("ShowBitmapList"), ZT("ON")},
        {ZT("ShowBitmapText"), ZT("ON")},
        {ZT("ShowText"), ZT("ON")},
        {ZT("CenterText"), ZT("OFF")},
        {ZT("IgnoreError"), ZT("OFF")},
        {ZT("ViewSize"), ZT("ZOOM")},
        {ZT("x"), ZT(" 10")},
        {ZT("y"), ZT(" 10")},
        {ZT("width"), ZT(" 374")},
        {ZT("height"), ZT(" 380")},
        {ZT("NoStandby"), ZT("OFF")},
        {ZT("NoDisplayOff"), ZT("OFF")},
        {ZT("SingleClickMode"), ZT("OFF")},
        {ZT("NoExt"), ZT("OFF")},
        {ZT("DarkMode"), ZT("OFF")},
        {ZT("AfterActive"), ZT("OFF")},
        {ZT("listFontName"), ZT("")},
        {ZT("textFontName"), ZT("")},
        {ZT("listFontSize"), ZT(" 10")},
        {ZT("textFontSize"), ZT(" 10")},
        {ZT("listFontStyle"), ZT(" 0")},
        {ZT("textFontStyle"), ZT(" 0")},
        {ZT("nowPlaying"), ZT("")},
        {ZT("nowDir"), ZT("")},
    };
    EXPECT_EQ(saved.entries(kSystemSection), expected);
    EXPECT_EQ(saved.entries(kUserSection), (Entries{{ZT("CaptureDir"), ZT("")}}));
    EXPECT_EQ(readIgnoreDir(empty), ZT(""));
    EXPECT_EQ(readResumeKeys(empty).nowPlaying, ZT(""));
}

TEST(SettingsLoad, ModeAndViewSizeWords) {
    const std::vector<std::tuple<const Char*, const Char*, int, int>> cases = {
        // Mode word, ViewSize word, mode, view size.
        {ZT("random"), ZT("original"), Settings::kRandom, Settings::kOriginal},
        {ZT("Single"), ZT("MULTIPLE"), Settings::kSingle, Settings::kMultiple},
        {ZT("order"), ZT("ZOOM"), Settings::kOrder, Settings::kZoom},
        {ZT("ONE"), ZT("huge"), Settings::kOnePass, Settings::kZoom},
        {ZT("shuffle"), ZT(""), Settings::kOnePass, Settings::kZoom},
    };
    for (const auto& [modeWord, sizeWord, mode, size] : cases) {
        MemorySettingsStore store;
        put(store, ZT("Mode"), modeWord);
        put(store, ZT("ViewSize"), sizeWord);
        const Settings s = loadFrom(store);
        EXPECT_EQ(s.Mode, mode) << utf16ToUtf8(modeWord);
        EXPECT_EQ(s.ViewSize, size) << utf16ToUtf8(sizeWord);
    }
    MemorySettingsStore missing;
    EXPECT_EQ(loadFrom(missing).Mode, Settings::kOrder);
}

TEST(SettingsLoad, SwitchesAreOnOnlyForTheWordOn) {
    const std::vector<std::pair<const Char*, int>> cases = {
        {ZT("on"), 1},  {ZT("On"), 1},  {ZT("ON"), 1}, {ZT("1"), 0},
        {ZT("yes"), 0}, {ZT("ONE"), 0}, {ZT(""), 0},
    };
    for (const auto& [word, expected] : cases) {
        MemorySettingsStore store;
        put(store, ZT("TopMost"), word);
        put(store, ZT("LeftList"), word);
        const Settings s = loadFrom(store);
        EXPECT_EQ(s.TopMost, expected) << utf16ToUtf8(word);
        // A present key replaces the default even when that default is on.
        EXPECT_EQ(s.LeftList, expected) << utf16ToUtf8(word);
    }
}

TEST(SettingsLoad, VolumeFromTheKeyOrFromTheSystem) {
    MemorySettingsStore store;
    put(store, ZT("Volume"), ZT("37"));
    // Linked to the master volume: the key is ignored, the system decides.
    EXPECT_EQ(loadFrom(store, 0.4567f).Volume, 456);
    // Linked, but the system volume is unknown: the key after all.
    EXPECT_EQ(loadFrom(store).Volume, 370);
    // Not linked: the key, whatever the system says.
    put(store, ZT("MasterVolume"), ZT("OFF"));
    EXPECT_EQ(loadFrom(store, 0.9f).Volume, 370);
    // A hand-edited value stays inside the program's range.
    put(store, ZT("Volume"), ZT("5000"));
    EXPECT_EQ(loadFrom(store).Volume, 1000);
    put(store, ZT("Volume"), ZT("-3"));
    EXPECT_EQ(loadFrom(store).Volume, 0);
}

TEST(SettingsLoad, TextsAreCutToTheirBuffers) {
    MemorySettingsStore store;
    const String longFace(40, 'F');
    put(store, ZT("textFontName"), longFace.c_str());
    put(store, ZT("listFontName"), ZT("MS UI Gothic"));
    store.writeString(kUserSection, ZT("CaptureDir"), String(300, 'd'));
    store.writeString(kUserSection, ZT("IgnoreDir"), ZT("@eaDir"));
    const Settings s = loadFrom(store);
    EXPECT_EQ(s.textFontName, String(31, 'F'));
    EXPECT_EQ(s.listFontName, ZT("MS UI Gothic"));
    EXPECT_EQ(s.CaptureDir.size(), 259u);
    EXPECT_EQ(readIgnoreDir(store), ZT("@eaDir"));
}

// Every value away from its default.
Settings unusualSettings() {
    return Settings{.Mode = Settings::kSingle,
                    .TopMost = 1,
                    .ListWidth = 0,
                    .DefaultListWidth = 210,
                    .LeftList = 0,
                    .SearchSubFolder = 1,
                    .MasterVolume = 0,
                    .ShowBitmapList = 0,
                    .ShowBitmapText = 0,
                    .ShowText = 0,
                    .CenterText = 1,
                    .ViewSize = Settings::kMultiple,
                    .IgnoreError = 1,
                    .NoStandby = 1,
                    .NoDisplayOff = 1,
                    .Volume = 640,
                    .textFontSize = 14,
                    .listFontSize = 8,
                    .textFontName = ZT("Meiryo"),
                    .listFontName = ZT("MS Gothic"),
                    .textFontStyle = 0x300,
                    .listFontStyle = 0x100,
                    .SingleClickMode = 1,
                    .NoExt = 1,
                    .DarkMode = 1,
                    .AfterActive = 1,
                    .CaptureDir = ZT("D:\\Caps"),
                    .loaded = true};
}

TEST(SettingsSave, EveryValueComesBack) {
    MemorySettingsStore store;
    ASSERT_TRUE(writeSettings(store, unusualSettings(), {30, 40, 500, 420}, ZT("D:\\m\\a.mp3"),
                              ZT("D:\\m")));
    const Settings after = loadFrom(store, 0.1f);  // not linked: the system is not asked
    EXPECT_EQ(after.textFontStyle, 0x300);
    EXPECT_EQ(after.Volume, 640);
    // Equal files mean equal settings, key by key.
    MemorySettingsStore again;
    writeSettings(again, after, {after.x, after.y, after.width, after.height}, ZT("D:\\m\\a.mp3"),
                  ZT("D:\\m"));
    EXPECT_EQ(again.entries(kSystemSection), store.entries(kSystemSection));
    EXPECT_EQ(again.entries(kUserSection), store.entries(kUserSection));
    EXPECT_EQ(readResumeKeys(store).nowDir, ZT("D:\\m"));
}

TEST(SettingsSave, VolumeKeepsTensAndOddValuesGetTheirFallbackWords) {
    MemorySettingsStore store;
    const Settings s{.Mode = 9, .MasterVolume = 0, .ViewSize = 7, .Volume = 537, .loaded = true};
    writeSettings(store, s, {}, ZT(""), ZT(""));
    EXPECT_EQ(store.readString(kSystemSection, ZT("Volume"), ZT(""), 260), ZT(" 53"));
    EXPECT_EQ(loadFrom(store).Volume, 530);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Mode"), ZT(""), 260), ZT("ONE"));
    EXPECT_EQ(store.readString(kSystemSection, ZT("ViewSize"), ZT(""), 260), ZT("ZOOM"));
}

TEST(SettingsSave, SettingsNeverLoadedLeaveTheFileAlone) {
    MemorySettingsStore store;
    put(store, ZT("Mode"), ZT("RANDOM"));
    Settings neverLoaded;
    EXPECT_FALSE(writeSettings(store, neverLoaded, {1, 2, 3, 4}, ZT(""), ZT("")));
    ASSERT_EQ(store.entries(kSystemSection).size(), 1u);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Mode"), ZT(""), 260), ZT("RANDOM"));
    EXPECT_TRUE(store.entries(kUserSection).empty());
}

class SettingsPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("zav2_settings_path_" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(folder_);
        program_ = utf8ToUtf16((folder_ / "Zav2.exe").string());
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    String in(const char* name) const { return utf8ToUtf16((folder_ / name).string()); }
    std::filesystem::path folder_;
    String program_;
};

TEST_F(SettingsPathTest, NamedInstanceUsesItsOwnFileOnlyWhenItExists) {
    EXPECT_EQ(settingsFilePath(program_, ZT("Zav2.exe")), in("Zav2.ini"));
    EXPECT_EQ(settingsFilePath(program_, ZT("-work")), in("Zav2.ini"));
    std::ofstream(folder_ / "Zav2-work.ini") << "[SystemSetting]\n";
    EXPECT_EQ(settingsFilePath(program_, ZT("-work")), in("Zav2-work.ini"));
    EXPECT_EQ(settingsFilePath(program_, ZT("-play")), in("Zav2.ini"));
    // A folder of that name is not a settings file.
    std::filesystem::create_directories(folder_ / "Zav2-dir.ini");
    EXPECT_EQ(settingsFilePath(program_, ZT("-dir")), in("Zav2.ini"));
}

// Records what loading shows in the window.
class RecordingView final : public SettingsView {
  public:
    void setButtonIcon(int buttonId, int iconId) override { icons[buttonId] = iconId; }
    void setMenuCheck(SettingsMenu menu, int item, bool checked) override {
        touched.push_back({menu, item, checked});
    }
    void setTopMost(bool on) override { topMost = on; }
    void setCenterText(bool on) override { centred = on; }
    void applyFonts(const Settings& s) override { fontsFor = s.textFontName; }

    std::optional<bool> checked(int item) const {
        std::optional<bool> state;
        for (const CheckMark& m : touched) {
            if (m.item == item)
                state = m.checked;
        }
        return state;
    }
    std::map<int, int> icons;
    std::vector<CheckMark> touched;
    std::optional<bool> topMost;
    std::optional<bool> centred;
    std::optional<String> fontsFor;
};

TEST(SettingsShow, PlayModeSetsItsIconAndOnlyItsOwnMenuItem) {
    const std::vector<std::array<int, 3>> modes = {
        {Settings::kOrder, 114, 2500},
        {Settings::kRandom, 115, 2600},
        {Settings::kSingle, 116, 2700},
        {Settings::kOnePass, 126, 3000},
    };
    for (const auto& [mode, icon, item] : modes) {
        Settings s;
        s.Mode = mode;
        RecordingView view;
        showLoadedSettings(view, s);
        EXPECT_EQ(view.icons[kPlayModeButton], icon);
        EXPECT_EQ(view.checked(item), std::optional<bool>(true));
        for (const CheckMark& m : view.touched) {
            if (m.menu == SettingsMenu::Play) {
                EXPECT_EQ(m.item, item) << "another play-mode item was touched";
            }
        }
    }
}

TEST(SettingsShow, WindowStateAndButtons) {
    Settings s;
    RecordingView defaults;
    showLoadedSettings(defaults, s);
    EXPECT_EQ(defaults.topMost, std::optional<bool>(false));
    EXPECT_EQ(defaults.icons[kTopMostButton], 117);
    EXPECT_EQ(defaults.icons[kListButton], 127);
    EXPECT_EQ(defaults.centred, std::optional<bool>(false));
    EXPECT_TRUE(defaults.fontsFor.has_value());

    s.TopMost = 1;
    s.LeftList = 0;
    s.CenterText = 1;
    s.textFontName = ZT("Meiryo");
    RecordingView changed;
    showLoadedSettings(changed, s);
    EXPECT_EQ(changed.topMost, std::optional<bool>(true));
    EXPECT_EQ(changed.icons[kTopMostButton], 111);
    EXPECT_EQ(changed.icons[kListButton], 128);
    EXPECT_EQ(changed.centred, std::optional<bool>(true));
    EXPECT_EQ(changed.fontsFor, std::optional<String>(ZT("Meiryo")));

    s.ListWidth = 0;
    RecordingView hidden;
    showLoadedSettings(hidden, s);
    EXPECT_EQ(hidden.icons[kListButton], 112);
    EXPECT_EQ(listButtonIcon(300, 300, 1), 113);
    EXPECT_EQ(listButtonIcon(320, 300, 0), 113);
    EXPECT_EQ(listButtonIcon(120, 300, 1), 127);
}

TEST(SettingsShow, EachSwitchChecksItsOwnItemInItsOwnMenu) {
    struct Row {
        int Settings::*field;
        SettingsMenu menu;
        int item;
    };
    using M = SettingsMenu;
    const std::vector<Row> table = {
        {&Settings::SearchSubFolder, M::Open, 1900}, {&Settings::MasterVolume, M::Master, 2400},
        {&Settings::IgnoreError, M::Title, 3800},    {&Settings::NoStandby, M::Title, 40003},
        {&Settings::NoDisplayOff, M::Title, 40005},  {&Settings::AfterActive, M::Title, 40027},
        {&Settings::DarkMode, M::Title, 40028},      {&Settings::ShowBitmapText, M::Text, 40008},
        {&Settings::ShowText, M::Text, 40026},       {&Settings::CenterText, M::Text, 40010},
        {&Settings::ShowBitmapList, M::List, 40007}, {&Settings::SingleClickMode, M::List, 40012},
        {&Settings::NoExt, M::List, 40017},
    };
    for (const Row& row : table) {
        Settings s;
        for (const Row& other : table)
            s.*(other.field) = 0;
        s.*(row.field) = 1;
        RecordingView view;
        showLoadedSettings(view, s);
        for (const Row& other : table) {
            EXPECT_EQ(view.checked(other.item), std::optional<bool>(&other == &row))
                << "item " << other.item << " with only " << row.item << " on";
        }
        bool inItsMenu = false;
        for (const CheckMark& m : view.touched)
            inItsMenu |= m.item == row.item && m.menu == row.menu;
        EXPECT_TRUE(inItsMenu) << row.item;
    }
    // A toggled value is on only when it is exactly 1.
    Settings odd;
    odd.NoExt = 2;
    RecordingView view;
    showLoadedSettings(view, odd);
    EXPECT_EQ(view.checked(40017), std::optional<bool>(false));
}

}  // namespace
}  // namespace zav2
