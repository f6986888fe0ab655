#include "app/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
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

TEST(SettingsLoad, MissingFileGivesEveryDefault) {
    MemorySettingsStore empty;
    const Settings s = loadFrom(empty);
    EXPECT_EQ(s.x, 10);
    EXPECT_EQ(s.y, 10);
    EXPECT_EQ(s.width, kTemplateWidth);
    EXPECT_EQ(s.height, 380);
    EXPECT_EQ(s.Mode, Settings::kOrder);
    EXPECT_EQ(s.TopMost, 0);
    EXPECT_EQ(s.ListWidth, 120);
    EXPECT_EQ(s.DefaultListWidth, 120);
    EXPECT_EQ(s.LeftList, 1);
    EXPECT_EQ(s.SearchSubFolder, 0);
    EXPECT_EQ(s.MasterVolume, 1);
    EXPECT_EQ(s.ShowBitmapList, 1);
    EXPECT_EQ(s.ShowBitmapText, 1);
    EXPECT_EQ(s.ShowText, 1);
    EXPECT_EQ(s.CenterText, 0);
    EXPECT_EQ(s.ViewSize, Settings::kZoom);
    EXPECT_EQ(s.IgnoreError, 0);
    EXPECT_EQ(s.NoStandby, 0);
    EXPECT_EQ(s.NoDisplayOff, 0);
    EXPECT_EQ(s.Volume, 0);
    EXPECT_EQ(s.textFontSize, 10);
    EXPECT_EQ(s.listFontSize, 10);
    EXPECT_EQ(s.textFontName, ZT(""));
    EXPECT_EQ(s.listFontName, ZT(""));
    EXPECT_EQ(s.textFontStyle, 0);
    EXPECT_EQ(s.listFontStyle, 0);
    EXPECT_EQ(s.SingleClickMode, 0);
    EXPECT_EQ(s.NoExt, 0);
    EXPECT_EQ(s.DarkMode, 0);
    EXPECT_EQ(s.AfterActive, 0);
    EXPECT_EQ(s.CaptureDir, ZT(""));
    EXPECT_TRUE(s.loaded);
    EXPECT_EQ(readIgnoreDir(empty), ZT(""));
    const ResumeKeys resume = readResumeKeys(empty);
    EXPECT_EQ(resume.nowDir, ZT(""));
    EXPECT_EQ(resume.nowPlaying, ZT(""));
}

TEST(SettingsLoad, PlayModeWords) {
    const std::vector<std::pair<const Char*, int>> cases = {
        {ZT("random"), Settings::kRandom}, {ZT("RANDOM"), Settings::kRandom},
        {ZT("Single"), Settings::kSingle}, {ZT("order"), Settings::kOrder},
        {ZT("ONE"), Settings::kOnePass},   {ZT("shuffle"), Settings::kOnePass},
        {ZT(""), Settings::kOnePass},
    };
    for (const auto& [word, mode] : cases) {
        MemorySettingsStore store;
        put(store, ZT("Mode"), word);
        EXPECT_EQ(loadFrom(store).Mode, mode) << utf16ToUtf8(word);
    }
    MemorySettingsStore missing;
    EXPECT_EQ(loadFrom(missing).Mode, Settings::kOrder);
}

TEST(SettingsLoad, ViewSizeWords) {
    const std::vector<std::pair<const Char*, int>> cases = {
        {ZT("original"), Settings::kOriginal},
        {ZT("MULTIPLE"), Settings::kMultiple},
        {ZT("ZOOM"), Settings::kZoom},
        {ZT("huge"), Settings::kZoom},
    };
    for (const auto& [word, size] : cases) {
        MemorySettingsStore store;
        put(store, ZT("ViewSize"), word);
        EXPECT_EQ(loadFrom(store).ViewSize, size) << utf16ToUtf8(word);
    }
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

TEST(SettingsLoad, NumbersFollowTheProfileReader) {
    MemorySettingsStore store;
    put(store, ZT("ListWidth"), ZT(" 200"));
    put(store, ZT("DefaultListWidth"), ZT("150px"));
    put(store, ZT("x"), ZT("-40"));
    put(store, ZT("y"), ZT(""));  // empty reads as missing
    put(store, ZT("height"), ZT("tall"));
    const Settings s = loadFrom(store);
    EXPECT_EQ(s.ListWidth, 200);
    EXPECT_EQ(s.DefaultListWidth, 150);
    EXPECT_EQ(s.x, -40);
    EXPECT_EQ(s.y, 10);
    EXPECT_EQ(s.height, 0);
    EXPECT_EQ(parseProfileInt(ZT("0x1A"), 5), 26);
    EXPECT_EQ(parseProfileInt(ZT("4294967295"), 5), -1);  // wraps, never overflows
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

Settings unusualSettings() {
    Settings s;
    s.Mode = Settings::kSingle;
    s.TopMost = 1;
    s.ListWidth = 0;
    s.DefaultListWidth = 210;
    s.LeftList = 0;
    s.SearchSubFolder = 1;
    s.MasterVolume = 0;
    s.ShowBitmapList = 0;
    s.ShowBitmapText = 0;
    s.ShowText = 0;
    s.CenterText = 1;
    s.ViewSize = Settings::kMultiple;
    s.IgnoreError = 1;
    s.NoStandby = 1;
    s.NoDisplayOff = 1;
    s.Volume = 640;
    s.textFontSize = 14;
    s.listFontSize = 8;
    s.textFontName = ZT("Meiryo");
    s.listFontName = ZT("MS Gothic");
    s.textFontStyle = 0x300;
    s.listFontStyle = 0x100;
    s.SingleClickMode = 1;
    s.NoExt = 1;
    s.DarkMode = 1;
    s.AfterActive = 1;
    s.CaptureDir = ZT("D:\\Caps");
    s.loaded = true;
    return s;
}

TEST(SettingsSave, WritesEveryKeyInOrderAndReadsBack) {
    MemorySettingsStore store;
    const Settings before = unusualSettings();
    ASSERT_TRUE(writeSettings(store, before, {30, 40, 500, 420}, ZT("D:\\m\\a.mp3"), ZT("D:\\m")));

    std::vector<String> keys;
    std::map<String, String> values;
    for (const auto& [key, value] : store.entries(kSystemSection)) {
        keys.push_back(key);
        values[key] = value;
    }
    const std::vector<String> order = {
        ZT("Volume"),
        ZT("Mode"),
        ZT("TopMost"),
        ZT("ListWidth"),
        ZT("DefaultListWidth"),
        ZT("LeftList"),
        ZT("SearchSubFolder"),
        ZT("MasterVolume"),
        ZT("ShowBitmapList"),
        ZT("ShowBitmapText"),
        ZT("ShowText"),
        ZT("CenterText"),
        ZT("IgnoreError"),
        ZT("ViewSize"),
        ZT("x"),
        ZT("y"),
        ZT("width"),
        ZT("height"),
        ZT("NoStandby"),
        ZT("NoDisplayOff"),
        ZT("SingleClickMode"),
        ZT("NoExt"),
        ZT("DarkMode"),
        ZT("AfterActive"),
        ZT("listFontName"),
        ZT("textFontName"),
        ZT("listFontSize"),
        ZT("textFontSize"),
        ZT("listFontStyle"),
        ZT("textFontStyle"),
        ZT("nowPlaying"),
        ZT("nowDir"),
    };
    EXPECT_EQ(keys, order);
    EXPECT_EQ(values[ZT("Volume")], ZT(" 64"));
    EXPECT_EQ(values[ZT("Mode")], ZT("SINGLE"));
    EXPECT_EQ(values[ZT("TopMost")], ZT("ON"));
    EXPECT_EQ(values[ZT("MasterVolume")], ZT("OFF"));
    EXPECT_EQ(values[ZT("ListWidth")], ZT(" 0"));
    EXPECT_EQ(values[ZT("ViewSize")], ZT("MULTIPLE"));
    EXPECT_EQ(values[ZT("x")], ZT(" 30"));
    EXPECT_EQ(values[ZT("textFontStyle")], ZT(" 768"));
    EXPECT_EQ(values[ZT("nowPlaying")], ZT("D:\\m\\a.mp3"));
    const auto user = store.entries(kUserSection);
    ASSERT_EQ(user.size(), 1u);
    EXPECT_EQ(user[0].first, ZT("CaptureDir"));
    EXPECT_EQ(user[0].second, ZT("D:\\Caps"));

    Settings after = loadFrom(store, 0.1f);  // not linked: the system is not asked
    EXPECT_EQ(after.x, 30);
    EXPECT_EQ(after.width, 500);
    EXPECT_EQ(after.height, 420);
    // Field by field through a second save: equal files mean equal settings.
    MemorySettingsStore again;
    writeSettings(again, after, {30, 40, 500, 420}, ZT("D:\\m\\a.mp3"), ZT("D:\\m"));
    EXPECT_EQ(again.entries(kSystemSection), store.entries(kSystemSection));
    EXPECT_EQ(again.entries(kUserSection), store.entries(kUserSection));
    const ResumeKeys resume = readResumeKeys(store);
    EXPECT_EQ(resume.nowPlaying, ZT("D:\\m\\a.mp3"));
    EXPECT_EQ(resume.nowDir, ZT("D:\\m"));
}

TEST(SettingsSave, VolumeKeepsTensOnly) {
    MemorySettingsStore store;
    Settings s;
    s.loaded = true;
    s.MasterVolume = 0;
    s.Volume = 537;
    writeSettings(store, s, {}, ZT(""), ZT(""));
    EXPECT_EQ(store.readString(kSystemSection, ZT("Volume"), ZT(""), 260), ZT(" 53"));
    EXPECT_EQ(loadFrom(store).Volume, 530);
}

TEST(SettingsSave, UnknownModeAndViewSizeWriteTheirFallbackWords) {
    MemorySettingsStore store;
    Settings s;
    s.loaded = true;
    s.Mode = 9;
    s.ViewSize = 7;
    writeSettings(store, s, {}, ZT(""), ZT(""));
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

TEST(SettingsSave, ExistingKeysStayInPlaceAndNewOnesFollow) {
    MemorySettingsStore store;
    put(store, ZT("nowdir"), ZT("old"));  // key names ignore case
    put(store, ZT("Custom"), ZT("kept"));
    Settings s;
    s.loaded = true;
    writeSettings(store, s, {}, ZT("p"), ZT("D:\\new"));
    const auto entries = store.entries(kSystemSection);
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries[0].first, ZT("nowdir"));
    EXPECT_EQ(entries[0].second, ZT("D:\\new"));
    EXPECT_EQ(entries[1].first, ZT("Custom"));
    EXPECT_EQ(entries[2].first, ZT("Volume"));
}

TEST(SettingsSave, PlacementOutsideNormalModeIsTheSavedRectangle) {
    const WindowPlacement current{0, 0, 1920, 1080};
    const WindowPlacement saved{100, 50, 400, 380};
    EXPECT_EQ(placementToSave(1, current, saved).width, 1920);
    EXPECT_EQ(placementToSave(2, current, saved).x, 100);
    EXPECT_EQ(placementToSave(3, current, saved).height, 380);
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

TEST(SettingsStoreMemory, ReadsLikeTheProfileFunctions) {
    MemorySettingsStore store;
    store.writeString(ZT("A"), ZT("Key"), ZT("value"));
    EXPECT_EQ(store.readString(ZT("a"), ZT("KEY"), ZT("d"), 260), ZT("value"));
    EXPECT_EQ(store.readString(ZT("A"), ZT("Key"), ZT("d"), 4), ZT("val"));
    EXPECT_EQ(store.readString(ZT("A"), ZT("Other"), ZT("default"), 4), ZT("def"));
    EXPECT_EQ(store.readString(ZT("B"), ZT("Key"), ZT("d"), 260), ZT("d"));
    EXPECT_EQ(store.readInt(ZT("A"), ZT("Key"), 7), 0);
    EXPECT_EQ(store.readInt(ZT("A"), ZT("None"), 7), 7);
}

}  // namespace
}  // namespace zav2
