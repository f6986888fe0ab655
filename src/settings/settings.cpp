#include "settings/settings.h"

#include <algorithm>
#include <climits>
#include <string>

#include "platform/dpi.h"
#include "platform/file.h"
#include "platform/path.h"

namespace zav2 {

namespace {

constexpr size_t kTextBuffer = 260;
constexpr size_t kFontNameBuffer = kMaxFontName + 1;

bool readSwitch(SettingsStore& store, const Char* key, const Char* defaultText) {
    return parseSwitch(store.readString(kSystemSection, key, defaultText, kTextBuffer));
}

int readNumber(SettingsStore& store, const Char* key, int defaultValue) {
    return store.readInt(kSystemSection, key, defaultValue);
}

int sizeFromFile(int stored, int dpi) {
    return scaledBetween(stored, 96, dpi);
}

int sizeForFile(int pixels, int dpi) {
    return scaledBetween(pixels, dpi, 96);
}

String readText(SettingsStore& store, const Char* section, const Char* key, size_t buffer) {
    String text = store.readString(section, key, ZT(""), buffer);
    if (text.size() > buffer - 1)
        text.resize(buffer - 1);
    return text;
}

int clampInt(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

bool parseSwitch(StringView text) {
    return equalsIgnoreCase(text, ZT("ON"));
}

const Char* switchText(int value) {
    return value == 1 ? ZT("ON") : ZT("OFF");
}

int parsePlayMode(StringView text) {
    if (equalsIgnoreCase(text, ZT("SINGLE")))
        return Settings::kSingle;
    if (equalsIgnoreCase(text, ZT("RANDOM")))
        return Settings::kRandom;
    if (equalsIgnoreCase(text, ZT("ORDER")))
        return Settings::kOrder;
    return Settings::kOnePass;
}

const Char* playModeText(int mode) {
    switch (mode) {
        case Settings::kSingle:
            return ZT("SINGLE");
        case Settings::kRandom:
            return ZT("RANDOM");
        case Settings::kOrder:
            return ZT("ORDER");
        default:
            return ZT("ONE");
    }
}

int parseViewSize(StringView text) {
    if (equalsIgnoreCase(text, ZT("ORIGINAL")))
        return Settings::kOriginal;
    if (equalsIgnoreCase(text, ZT("MULTIPLE")))
        return Settings::kMultiple;
    return Settings::kZoom;
}

const Char* viewSizeText(int viewSize) {
    switch (viewSize) {
        case Settings::kOriginal:
            return ZT("ORIGINAL");
        case Settings::kMultiple:
            return ZT("MULTIPLE");
        default:
            return ZT("ZOOM");
    }
}

int parseReplayGain(StringView text) {
    if (equalsIgnoreCase(text, ZT("TRACK")))
        return Settings::kGainTrack;
    if (equalsIgnoreCase(text, ZT("ALBUM")))
        return Settings::kGainAlbum;
    return Settings::kGainOff;
}

const Char* replayGainText(int mode) {
    switch (mode) {
        case Settings::kGainTrack:
            return ZT("TRACK");
        case Settings::kGainAlbum:
            return ZT("ALBUM");
        default:
            return ZT("OFF");
    }
}

String numberText(int value) {
    const std::string digits = std::to_string(value);
    String text(1, ' ');
    text.append(digits.begin(), digits.end());
    return text;
}

String settingsFilePath(StringView programPath, StringView instanceName) {
    if (!instanceName.empty() && instanceName[0] == '-') {
        // "D:\Tools\Zav2.exe" with "-work": "D:\Tools\Zav2-work.ini", if there.
        String own = removeExtension(programPath) + String(instanceName) + ZT(".ini");
        if (pathExists(own) && !isDirectory(own))
            return own;
    }
    return replaceExtension(programPath, ZT(".ini"));
}

void readPlacement(SettingsStore& store, int templateWidth, int dpi, Settings& settings) {
    settings.x = readNumber(store, ZT("x"), 10);
    settings.y = readNumber(store, ZT("y"), 10);
    // No width in the file: the template's own, not rounded through 96 DPI.
    constexpr int kAbsent = INT_MIN;
    const int width = readNumber(store, ZT("width"), kAbsent);
    settings.width = width == kAbsent ? templateWidth : sizeFromFile(width, dpi);
    settings.height = sizeFromFile(readNumber(store, ZT("height"), 380), dpi);
}

void readSettings(SettingsStore& store, std::optional<float> masterVolumeScalar, int dpi,
                  Settings& settings) {
    Settings& s = settings;
    s.Mode = parsePlayMode(store.readString(kSystemSection, ZT("Mode"), ZT("ORDER"), kTextBuffer));
    s.TopMost = readSwitch(store, ZT("TopMost"), ZT("OFF"));
    s.ListWidth = sizeFromFile(readNumber(store, ZT("ListWidth"), 120), dpi);
    s.DefaultListWidth = sizeFromFile(readNumber(store, ZT("DefaultListWidth"), 120), dpi);
    s.LeftList = readSwitch(store, ZT("LeftList"), ZT("ON"));
    s.SearchSubFolder = readSwitch(store, ZT("SearchSubFolder"), ZT("OFF"));
    s.MasterVolume = readSwitch(store, ZT("MasterVolume"), ZT("ON"));
    s.ShowBitmapList = readSwitch(store, ZT("ShowBitmapList"), ZT("ON"));
    s.ShowBitmapText = readSwitch(store, ZT("ShowBitmapText"), ZT("ON"));
    s.ShowText = readSwitch(store, ZT("ShowText"), ZT("ON"));
    s.CenterText = readSwitch(store, ZT("CenterText"), ZT("OFF"));
    s.ViewSize =
        parseViewSize(store.readString(kSystemSection, ZT("ViewSize"), ZT("ZOOM"), kTextBuffer));
    s.IgnoreError = readSwitch(store, ZT("IgnoreError"), ZT("OFF"));
    s.NoStandby = readSwitch(store, ZT("NoStandby"), ZT("OFF"));
    s.NoDisplayOff = readSwitch(store, ZT("NoDisplayOff"), ZT("OFF"));
    if (s.MasterVolume == 1 && masterVolumeScalar) {
        const float scalar = *masterVolumeScalar;
        const float clamped = scalar < 0.0f ? 0.0f : scalar > 1.0f ? 1.0f : scalar;
        s.Volume = static_cast<int>(clamped * 1000.0f);
    } else {
        // Everything after this expects 0 ... 1000 (slider, wave-out volume
        // arithmetic), so a hand-edited value is kept inside that range.
        s.Volume = clampInt(readNumber(store, ZT("Volume"), 0), 0, 100) * 10;
    }
    s.textFontSize = readNumber(store, ZT("textFontSize"), 10);
    s.listFontSize = readNumber(store, ZT("listFontSize"), 10);
    s.textFontName = readText(store, kSystemSection, ZT("textFontName"), kFontNameBuffer);
    s.listFontName = readText(store, kSystemSection, ZT("listFontName"), kFontNameBuffer);
    s.textFontStyle = readNumber(store, ZT("textFontStyle"), 0);
    s.listFontStyle = readNumber(store, ZT("listFontStyle"), 0);
    s.SingleClickMode = readSwitch(store, ZT("SingleClickMode"), ZT("OFF"));
    s.NoExt = readSwitch(store, ZT("NoExt"), ZT("OFF"));
    s.DarkMode = readSwitch(store, ZT("DarkMode"), ZT("OFF"));
    s.AfterActive = readSwitch(store, ZT("AfterActive"), ZT("OFF"));
    s.ReplayGain =
        parseReplayGain(store.readString(kSystemSection, ZT("ReplayGain"), ZT("OFF"), kTextBuffer));
    s.loaded = true;
}

void readCaptureDir(SettingsStore& store, Settings& settings) {
    settings.CaptureDir = readText(store, kUserSection, ZT("CaptureDir"), kTextBuffer);
}

String readIgnoreDir(SettingsStore& store) {
    return readText(store, kUserSection, ZT("IgnoreDir"), kTextBuffer);
}

ResumeKeys readResumeKeys(SettingsStore& store) {
    return ResumeKeys{readText(store, kSystemSection, ZT("nowDir"), kTextBuffer),
                      readText(store, kSystemSection, ZT("nowPlaying"), kTextBuffer),
                      std::max(readNumber(store, ZT("nowPosition"), 0), 0)};
}

void writeResumeKeys(SettingsStore& store, const ResumeKeys& keys) {
    store.writeString(kSystemSection, ZT("nowPlaying"), keys.nowPlaying);
    store.writeString(kSystemSection, ZT("nowDir"), keys.nowDir);
    store.writeString(kSystemSection, ZT("nowPosition"), numberText(keys.nowPosition));
}

namespace {

// Whole rows and what is left, of `list` pixels; false when there is no list.
bool splitRows(int list, int rowHeight, int& rows, int& rest) {
    if (list <= 0 || rowHeight <= 0)
        return false;
    rows = list / rowHeight;
    rest = list % rowHeight;
    return true;
}

}  // namespace

int heightForRows(int savedHeight, int dpi, const ListRows& r) {
    int rows = 0;
    int rest = 0;
    if (!splitRows(savedHeight - scaledBetween(r.chrome, dpi, 96), r.rowHeightAt96, rows, rest) ||
        r.rowHeight <= 0)
        return scaledPixels(savedHeight, dpi);
    return r.chrome + rows * r.rowHeight + std::min(scaledPixels(rest, dpi), r.rowHeight - 1);
}

int savedHeightForRows(int height, int dpi, const ListRows& r) {
    int rows = 0;
    int rest = 0;
    if (!splitRows(height - r.chrome, r.rowHeight, rows, rest) || r.rowHeightAt96 <= 0)
        return scaledBetween(height, dpi, 96);
    return scaledBetween(r.chrome, dpi, 96) + rows * r.rowHeightAt96 +
           std::min(scaledBetween(rest, dpi, 96), r.rowHeightAt96 - 1);
}

WindowPlacement placementToSave(int displayMode, WindowPlacement current, WindowPlacement saved) {
    return displayMode == 1 ? current : saved;
}

bool writeSettings(SettingsStore& store, const Settings& s, WindowPlacement placement,
                   const ResumeKeys& resume, int dpi) {
    if (!s.loaded)
        return false;
    const auto text = [&store](const Char* key, StringView value) {
        store.writeString(kSystemSection, key, value);
    };
    const auto number = [&store](const Char* key, int value) {
        store.writeString(kSystemSection, key, numberText(value));
    };
    number(ZT("Volume"), s.Volume / 10);
    text(ZT("Mode"), playModeText(s.Mode));
    text(ZT("TopMost"), switchText(s.TopMost));
    number(ZT("ListWidth"), sizeForFile(s.ListWidth, dpi));
    number(ZT("DefaultListWidth"), sizeForFile(s.DefaultListWidth, dpi));
    text(ZT("LeftList"), switchText(s.LeftList));
    text(ZT("SearchSubFolder"), switchText(s.SearchSubFolder));
    text(ZT("MasterVolume"), switchText(s.MasterVolume));
    text(ZT("ShowBitmapList"), switchText(s.ShowBitmapList));
    text(ZT("ShowBitmapText"), switchText(s.ShowBitmapText));
    text(ZT("ShowText"), switchText(s.ShowText));
    text(ZT("CenterText"), switchText(s.CenterText));
    text(ZT("IgnoreError"), switchText(s.IgnoreError));
    text(ZT("ViewSize"), viewSizeText(s.ViewSize));
    number(ZT("x"), placement.x);
    number(ZT("y"), placement.y);
    number(ZT("width"), sizeForFile(placement.width, dpi));
    number(ZT("height"), sizeForFile(placement.height, dpi));
    text(ZT("NoStandby"), switchText(s.NoStandby));
    text(ZT("NoDisplayOff"), switchText(s.NoDisplayOff));
    text(ZT("SingleClickMode"), switchText(s.SingleClickMode));
    text(ZT("NoExt"), switchText(s.NoExt));
    text(ZT("DarkMode"), switchText(s.DarkMode));
    text(ZT("AfterActive"), switchText(s.AfterActive));
    text(ZT("ReplayGain"), replayGainText(s.ReplayGain));
    text(ZT("listFontName"), s.listFontName);
    text(ZT("textFontName"), s.textFontName);
    number(ZT("listFontSize"), s.listFontSize);
    number(ZT("textFontSize"), s.textFontSize);
    number(ZT("listFontStyle"), s.listFontStyle);
    number(ZT("textFontStyle"), s.textFontStyle);
    writeResumeKeys(store, resume);
    store.writeString(kUserSection, ZT("CaptureDir"), s.CaptureDir);
    return true;
}

int playModeIcon(int mode) {
    switch (mode) {
        case Settings::kSingle:
            return 116;
        case Settings::kRandom:
            return 115;
        case Settings::kOrder:
            return 114;
        default:
            return 126;
    }
}

int playModeMenuItem(int mode) {
    switch (mode) {
        case Settings::kSingle:
            return 2700;
        case Settings::kRandom:
            return 2600;
        case Settings::kOrder:
            return 2500;
        default:
            return 3000;
    }
}

int topMostIcon(int topMost) {
    return topMost == 1 ? 111 : 117;
}

int listButtonIcon(int listWidth, int fullWidth, int leftList) {
    if (listWidth == 0)
        return 112;
    if (fullWidth > 0 && listWidth >= fullWidth)
        return 113;
    return leftList == 1 ? 127 : 128;
}

std::vector<CheckMark> switchCheckMarks(const Settings& s) {
    using M = SettingsMenu;
    return {
        {M::Open, 1900, s.SearchSubFolder == 1},
        {M::Master, 2400, s.MasterVolume == 1},
        {M::List, 40007, s.ShowBitmapList == 1},
        {M::Text, 40008, s.ShowBitmapText == 1},
        {M::Text, 40026, s.ShowText == 1},
        {M::Text, 40010, s.CenterText == 1},
        {M::Title, 3800, s.IgnoreError == 1},
        {M::Title, 40003, s.NoStandby == 1},
        {M::Title, 40005, s.NoDisplayOff == 1},
        {M::List, 40012, s.SingleClickMode == 1},
        {M::List, 40017, s.NoExt == 1},
        {M::Title, 40028, s.DarkMode == 1},
        {M::Title, 40027, s.AfterActive == 1},
        {M::Title, 40029, s.ReplayGain == Settings::kGainOff},
        {M::Title, 40030, s.ReplayGain == Settings::kGainTrack},
        {M::Title, 40031, s.ReplayGain == Settings::kGainAlbum},
    };
}

void showLoadedSettings(SettingsView& view, const Settings& s) {
    view.setButtonIcon(kPlayModeButton, playModeIcon(s.Mode));
    // Only the matching play-mode item is touched; the others start unchecked.
    view.setMenuCheck(SettingsMenu::Play, playModeMenuItem(s.Mode), true);
    view.setTopMost(s.TopMost == 1);
    view.setButtonIcon(kTopMostButton, topMostIcon(s.TopMost));
    // The layout corrects the icon to "fills the window" once it knows the width.
    view.setButtonIcon(kListButton, listButtonIcon(s.ListWidth, 0, s.LeftList));
    view.setCenterText(s.CenterText == 1);
    for (const CheckMark& mark : switchCheckMarks(s))
        view.setMenuCheck(mark.menu, mark.item, mark.checked);
    view.applyFonts(s);
}

}  // namespace zav2
