#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "platform/settings_store.h"
#include "platform/dpi.h"
#include "platform/path.h"
#include "scratch_folder.h"

namespace zav2 {
namespace {

constexpr int kTemplateWidth = 374;

Settings loadFrom(MemorySettingsStore& store, std::optional<float> master = std::nullopt) {
    Settings s;
    readPlacement(store, kTemplateWidth, 96, s);
    readSettings(store, master, 96, s);
    readCaptureDir(store, s);
    return s;
}

void put(MemorySettingsStore& store, const Char* key, const Char* value) {
    store.writeString(kSystemSection, key, value);
}

// Without a file the mode is ORDER: e2e settings.
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
}

TEST(SettingsLoad, SwitchesAreOnOnlyForTheWordOn) {
    const std::vector<std::pair<const Char*, int>> cases = {
        {ZT("On"), 1}, {ZT("ON"), 1}, {ZT("1"), 0}, {ZT("ONE"), 0}, {ZT(""), 0},
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
    // Linked, but the system volume is unknown: the key after all. (Not
    // linked, the key whatever the system says: e2e settings.)
    EXPECT_EQ(loadFrom(store).Volume, 370);
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
                    .ReplayGain = Settings::kGainAlbum,
                    .CaptureDir = ZT("D:\\Caps"),
                    .loaded = true};
}

TEST(SettingsSave, EveryValueComesBack) {
    MemorySettingsStore store;
    const ResumeKeys resume{ZT("D:\\m"), ZT("D:\\m\\a.mp3"), 1234};
    ASSERT_TRUE(writeSettings(store, unusualSettings(), {30, 40, 500, 420}, resume, 96));
    const Settings after = loadFrom(store, 0.1f);  // not linked: the system is not asked
    EXPECT_EQ(after.textFontStyle, 0x300);
    EXPECT_EQ(after.Volume, 640);
    // Equal files mean equal settings, key by key.
    MemorySettingsStore again;
    writeSettings(again, after, {after.x, after.y, after.width, after.height}, resume, 96);
    EXPECT_EQ(again.entries(kSystemSection), store.entries(kSystemSection));
    EXPECT_EQ(again.entries(kUserSection), store.entries(kUserSection));
    const ResumeKeys read = readResumeKeys(store);
    EXPECT_EQ(std::tie(read.nowDir, read.nowPlaying, read.nowPosition),
              std::tie(resume.nowDir, resume.nowPlaying, resume.nowPosition));
}

TEST(SettingsSave, VolumeKeepsTensAndOddValuesGetTheirFallbackWords) {
    MemorySettingsStore store;
    const Settings s{.Mode = 9,
                     .MasterVolume = 0,
                     .ViewSize = 7,
                     .Volume = 537,
                     .ReplayGain = 5,
                     .loaded = true};
    writeSettings(store, s, {}, {}, 96);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Volume"), ZT(""), 260), ZT(" 53"));
    EXPECT_EQ(loadFrom(store).Volume, 530);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Mode"), ZT(""), 260), ZT("ONE"));
    EXPECT_EQ(store.readString(kSystemSection, ZT("ViewSize"), ZT(""), 260), ZT("ZOOM"));
    EXPECT_EQ(store.readString(kSystemSection, ZT("ReplayGain"), ZT(""), 260), ZT("OFF"));
}

TEST(SettingsSave, SettingsNeverLoadedLeaveTheFileAlone) {
    MemorySettingsStore store;
    put(store, ZT("Mode"), ZT("RANDOM"));
    Settings neverLoaded;
    EXPECT_FALSE(writeSettings(store, neverLoaded, {1, 2, 3, 4}, {}, 96));
    ASSERT_EQ(store.entries(kSystemSection).size(), 1u);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Mode"), ZT(""), 260), ZT("RANDOM"));
    EXPECT_TRUE(store.entries(kUserSection).empty());
}

// The file holds 96-DPI pixels; a round trip at any DPI writes back the
// numbers it read, so the window neither grows nor shrinks run by run.
TEST(SettingsDpi, FileSizesArePixelsAt96Dpi) {
    struct Case {
        int dpi;
        int fileWidth, fileHeight, fileList;
        int width, height, list;
    };
    const Case cases[] = {
        {96, 301, 379, 121, 301, 379, 121},
        {120, 301, 379, 121, 376, 474, 151},
        {144, 300, 380, 120, 450, 570, 180},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        put(store, ZT("width"), numberText(c.fileWidth).c_str());
        put(store, ZT("height"), numberText(c.fileHeight).c_str());
        put(store, ZT("ListWidth"), numberText(c.fileList).c_str());
        Settings s;
        readPlacement(store, kTemplateWidth, c.dpi, s);
        readSettings(store, std::nullopt, c.dpi, s);
        EXPECT_EQ((std::tuple{s.width, s.height, s.ListWidth}),
                  (std::tuple{c.width, c.height, c.list}))
            << c.dpi;
        MemorySettingsStore written;
        writeSettings(written, s, {0, 0, s.width, s.height}, {}, c.dpi);
        for (const Char* key : {ZT("width"), ZT("height"), ZT("ListWidth")})
            EXPECT_EQ(written.readString(kSystemSection, key, ZT(""), 260),
                      store.readString(kSystemSection, key, ZT(""), 260))
                << c.dpi;
        // Without a width the template's is taken as it is, unrounded.
        MemorySettingsStore empty;
        readPlacement(empty, 467, c.dpi, s);
        EXPECT_EQ(s.width, 467) << c.dpi;
    }
}

// A window saved 380 high with a 13-pixel row shows 21 rows at 96 DPI; at
// 120 DPI its 17-pixel rows must still be 21, and saving writes 380 again.
TEST(ListRows, ASavedHeightKeepsItsRowsAtEveryDpi) {
    const struct {
        int dpi;
        ListRows rows;
        int saved = 380;
    } cases[] = {{96, {101, 13, 13}},
                 {120, {126, 17, 13}},
                 {144, {152, 20, 13}},
                 {120, {126, 0, 13}},         // no rows yet: plain scaling
                 {120, {126, 16, 13}, 386}};  // a row rounded down: the leftover at its cap
    for (const auto& c : cases) {
        const int height = heightForRows(c.saved, c.dpi, c.rows);
        if (c.rows.rowHeight > 0)
            EXPECT_EQ((height - c.rows.chrome) / c.rows.rowHeight, (c.saved - 101) / 13) << c.dpi;
        else
            EXPECT_EQ(height, scaledPixels(c.saved, c.dpi));
        EXPECT_EQ(savedHeightForRows(height, c.dpi, c.rows), c.saved) << c.dpi;
    }
}

TEST(SettingsPath, NamedInstanceUsesItsOwnFileOnlyWhenItExists) {
    const test::ScratchFolder folder("settings");
    const String program = folder.path("Zav2.exe");
    EXPECT_EQ(settingsFilePath(program, ZT("Zav2.exe")), folder.path("Zav2.ini"));
    folder.write("Zav2-work.ini", "[SystemSetting]\n");
    EXPECT_EQ(settingsFilePath(program, ZT("-work")), folder.path("Zav2-work.ini"));
    EXPECT_EQ(settingsFilePath(program, ZT("-play")), folder.path("Zav2.ini"));
    // A folder of that name is not a settings file.
    std::filesystem::create_directories(folder.root() / "Zav2-dir.ini");
    EXPECT_EQ(settingsFilePath(program, ZT("-dir")), folder.path("Zav2.ini"));
}

}  // namespace
}  // namespace zav2
