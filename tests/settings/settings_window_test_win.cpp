// The settings through the real profile functions and the real main dialog:
// the INI file those functions make, and what loading shows in dialog 101
// with the program's own menus and icons.
#include "app/settings_apply_win.h"

#include <windows.h>
#include <commctrl.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/settings_store.h"
#include "resources/resource.h"

namespace zav2 {
namespace {

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowOwner = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;
struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuOwner = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("zav2_settings_" + std::to_string(GetCurrentProcessId()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        ini_ = (folder_ / L"Zav2.ini").wstring();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // The file as bytes, one string a line without the line end.
    std::vector<std::string> lines() const {
        std::ifstream in(folder_ / L"Zav2.ini", std::ios::binary);
        std::vector<std::string> out;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            out.push_back(line);
        }
        return out;
    }
    void writeIni(const std::string& text) const {
        std::ofstream(folder_ / L"Zav2.ini", std::ios::binary) << text;
    }

    std::filesystem::path folder_;
    String ini_;
};

TEST_F(SettingsFileTest, FirstSaveCreatesEveryKeyInOrder) {
    Settings s;
    s.loaded = true;
    s.Volume = 537;
    s.CaptureDir = L"C:\\caps";
    ProfileSettingsStore store(ini_);
    ASSERT_TRUE(writeSettings(store, s, {12, 34, 400, 380}, L"C:\\m\\a.mp3", L"C:\\m"));

    // The file lists the keys as the in-memory model of the profile
    // functions does, whose order the native tests pin down.
    MemorySettingsStore model;
    writeSettings(model, s, {12, 34, 400, 380}, L"C:\\m\\a.mp3", L"C:\\m");
    std::vector<std::string> expected;
    for (const wchar_t* section : {kSystemSection, kUserSection}) {
        expected.push_back(utf16ToUtf8(String(L"[") + section + L"]"));
        for (const auto& entry : model.entries(section))
            expected.push_back(utf16ToUtf8(entry.first + L"="));
    }
    std::vector<std::string> got;
    for (const std::string& line : lines()) {
        if (line.empty())
            continue;
        const size_t equals = line.find('=');
        got.push_back(equals == std::string::npos ? line : line.substr(0, equals + 1));
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got.size(), 35u);

    // What the profile reader makes of the numbers and words written.
    EXPECT_EQ(store.readInt(kSystemSection, L"Volume", -1), 53);
    EXPECT_EQ(store.readInt(kSystemSection, L"x", -1), 12);
    EXPECT_EQ(store.readString(kSystemSection, L"Mode", L"", 260), L"ORDER");
    EXPECT_EQ(store.readString(kSystemSection, L"MasterVolume", L"", 260), L"ON");
    EXPECT_EQ(store.readString(kUserSection, L"CaptureDir", L"", 260), L"C:\\caps");
    Settings again;
    readSettings(store, std::nullopt, again);
    EXPECT_EQ(again.Volume, 530);
}

TEST_F(SettingsFileTest, HandEditedFileIsReadAndKeptInPlace) {
    writeIni(
        "; my settings\r\n"
        "[SystemSetting]\r\n"
        "nowDir=C:\\old\r\n"
        "Mode=random\r\n"
        "TopMost=yes\r\n"
        "LeftList=off\r\n"
        "ListWidth=  200\r\n"
        "textFontName=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij\r\n"
        "MasterVolume=OFF\r\n"
        "Volume=41\r\n"
        "[UserSetting]\r\n"
        "IgnoreDir=@eaDir\r\n");
    ProfileSettingsStore store(ini_);
    Settings s;
    readSettings(store, 0.9f, s);
    EXPECT_EQ(s.Mode, Settings::kRandom);
    EXPECT_EQ(s.TopMost, 0);
    EXPECT_EQ(s.LeftList, 0);
    EXPECT_EQ(s.ListWidth, 200);
    EXPECT_EQ(s.textFontName, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");  // 31 units
    EXPECT_EQ(s.Volume, 410);
    EXPECT_EQ(readIgnoreDir(store), L"@eaDir");
    EXPECT_EQ(readResumeKeys(store).nowDir, L"C:\\old");

    writeSettings(store, s, {1, 2, 3, 4}, L"", L"C:\\new");
    const std::vector<std::string> after = lines();
    ASSERT_GE(after.size(), 4u);
    EXPECT_EQ(after[0], "; my settings");
    EXPECT_EQ(after[1], "[SystemSetting]");
    EXPECT_EQ(after[2], "nowDir=C:\\new");  // replaced where it was
    EXPECT_EQ(after[3], "Mode=RANDOM");
    // IgnoreDir is the user's: never written, still there.
    EXPECT_EQ(readIgnoreDir(store), L"@eaDir");
}

// Dialog 101 with the program's menus, as the main window has them.
class SettingsWindowTest : public SettingsFileTest {
  protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        module_ = GetModuleHandleW(nullptr);
        window_.reset(
            CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_MAIN), nullptr, quietDialogProc, 0));
        ASSERT_NE(window_.get(), nullptr);
        // Wine never makes a window top-most while it owns a top-most popup
        // (here the volume slider's tooltip): it slots the window in below
        // that popup without the top-most style. Windows has no such limit,
        // so the tooltip is taken away to see what the settings do.
        HWND slider = GetDlgItem(window_.get(), IDC_VOLUME_SLIDER);
        HWND tooltip = reinterpret_cast<HWND>(SendMessageW(slider, TBM_GETTOOLTIPS, 0, 0));
        SendMessageW(slider, TBM_SETTOOLTIPS, 0, 0);
        if (tooltip)
            DestroyWindow(tooltip);
        ShowWindow(window_.get(), SW_SHOWNOACTIVATE);  // as the main window is before loading
        RECT r{};
        GetWindowRect(window_.get(), &r);
        templateWidth_ = r.right - r.left;
        const wchar_t* names[] = {IDR_MENU_LIST,  IDR_MENU_MASTER, IDR_MENU_PLAY,
                                  IDR_MENU_TITLE, IDR_MENU_TEXT,   IDR_MENU_OPEN};
        for (int i = 0; i < 6; ++i) {
            menus_[i].reset(LoadMenuW(module_, names[i]));
            ASSERT_NE(menus_[i].get(), nullptr);
        }
        target_.module = module_;
        target_.window = window_.get();
        target_.textPanel = GetDlgItem(window_.get(), IDC_TEXT_PANEL);
        target_.listBox = GetDlgItem(window_.get(), IDC_LIST);
        target_.menus = {shown(0), shown(1), shown(2), shown(3), shown(4), shown(5)};
    }

    HMENU shown(int i) const { return GetSubMenu(menus_[i].get(), 0); }
    bool checked(HMENU menu, int item) const {
        return (GetMenuState(menu, item, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    // The icon a button shows is the module's shared icon of that id.
    bool showsIcon(int button, int icon) const {
        const auto shownIcon = reinterpret_cast<HICON>(
            SendDlgItemMessageW(window_.get(), button, BM_GETIMAGE, IMAGE_ICON, 0));
        const auto expected = static_cast<HICON>(LoadImageW(
            module_, MAKEINTRESOURCEW(icon), IMAGE_ICON, 14, 14, LR_LOADTRANSPARENT | LR_SHARED));
        return shownIcon && shownIcon == expected;
    }
    LOGFONTW fontOf(HWND control) const {
        LOGFONTW description{};
        const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        GetObjectW(font, sizeof description, &description);
        return description;
    }
    std::optional<double> load(IAudioEndpointVolume* master = nullptr) {
        loadPlacement(ini_, window_.get(), templateWidth_, settings_);
        auto volume = loadSettings(ini_, target_, master, fonts_, settings_);
        loadCaptureDir(ini_, settings_);
        return volume;
    }

    HINSTANCE module_ = nullptr;
    SettingsFonts fonts_;  // outlives nothing it is set on: declared before the window
    WindowOwner window_;
    MenuOwner menus_[6];
    SettingsWindow target_;
    int templateWidth_ = 0;
    Settings settings_;
};

TEST_F(SettingsWindowTest, DefaultsWithoutAFile) {
    RECT before{};
    GetWindowRect(window_.get(), &before);
    const auto playerVolume = load();
    RECT r{};
    GetWindowRect(window_.get(), &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right - r.left, before.right - before.left);  // the template's width
    EXPECT_EQ(r.bottom - r.top, 380);

    EXPECT_TRUE(showsIcon(IDC_MODE_BUTTON, IDI_MODE_ORDER));
    EXPECT_TRUE(showsIcon(IDC_TOPMOST_BUTTON, IDI_TOPMOST_OFF));
    EXPECT_TRUE(showsIcon(IDC_LIST_BUTTON, IDI_LIST_LEFT));
    EXPECT_TRUE(checked(shown(2), IDM_MODE_ORDER));
    EXPECT_FALSE(checked(shown(2), IDM_MODE_RANDOM));
    EXPECT_TRUE(checked(shown(1), IDM_MASTER_VOLUME));
    EXPECT_TRUE(checked(shown(0), IDM_LIST_PICTURE));
    EXPECT_TRUE(checked(shown(4), IDM_SHOW_LYRICS));
    EXPECT_FALSE(checked(shown(4), IDM_CENTER_TEXT));
    EXPECT_FALSE(checked(shown(5), IDM_SEARCH_SUBFOLDERS));
    EXPECT_FALSE(checked(shown(3), IDM_DARK_MODE));
    EXPECT_EQ(GetWindowLongPtrW(window_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindowLongPtrW(target_.textPanel, GWL_STYLE) & ES_CENTER, 0);
    // Without the system volume the key decides: none, so silence.
    ASSERT_TRUE(playerVolume.has_value());
    EXPECT_EQ(*playerVolume, 0.0);
    // Nothing was written by loading.
    EXPECT_FALSE(std::filesystem::exists(folder_ / L"Zav2.ini"));
}

TEST_F(SettingsWindowTest, EditedKeysAreShown) {
    writeIni(
        "[SystemSetting]\r\n"
        "x= 120\r\ny= 90\r\nwidth= 520\r\nheight= 440\r\n"
        "Mode=random\r\nTopMost=on\r\nLeftList=OFF\r\nCenterText=ON\r\n"
        "SearchSubFolder=ON\r\nMasterVolume=OFF\r\nShowBitmapList=OFF\r\nDarkMode=ON\r\n"
        "NoExt=ON\r\nVolume= 64\r\n"
        "textFontSize= 14\r\ntextFontName=Tahoma\r\ntextFontStyle= 768\r\n"
        "listFontSize= 20\r\nlistFontStyle= 256\r\n"
        "[UserSetting]\r\nCaptureDir=C:\\caps\r\n");
    const auto playerVolume = load();

    RECT r{};
    GetWindowRect(window_.get(), &r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 90);
    EXPECT_EQ(r.right - r.left, 520);
    EXPECT_EQ(r.bottom - r.top, 440);

    EXPECT_TRUE(showsIcon(IDC_MODE_BUTTON, IDI_MODE_RANDOM));
    EXPECT_TRUE(checked(shown(2), IDM_MODE_RANDOM));
    EXPECT_FALSE(checked(shown(2), IDM_MODE_ORDER));
    EXPECT_TRUE(showsIcon(IDC_TOPMOST_BUTTON, IDI_TOPMOST_ON));
    EXPECT_NE(GetWindowLongPtrW(window_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(showsIcon(IDC_LIST_BUTTON, IDI_LIST_RIGHT));
    EXPECT_NE(GetWindowLongPtrW(target_.textPanel, GWL_STYLE) & ES_CENTER, 0);
    EXPECT_TRUE(checked(shown(4), IDM_CENTER_TEXT));
    EXPECT_TRUE(checked(shown(5), IDM_SEARCH_SUBFOLDERS));
    EXPECT_FALSE(checked(shown(1), IDM_MASTER_VOLUME));
    EXPECT_FALSE(checked(shown(0), IDM_LIST_PICTURE));
    EXPECT_TRUE(checked(shown(0), IDM_HIDE_EXTENSION));
    EXPECT_TRUE(checked(shown(3), IDM_DARK_MODE));
    EXPECT_EQ(settings_.CaptureDir, L"C:\\caps");

    ASSERT_TRUE(playerVolume.has_value());
    EXPECT_DOUBLE_EQ(*playerVolume, 0.64);
    HWND slider = GetDlgItem(window_.get(), IDC_VOLUME_SLIDER);
    showVolumeOnSlider(slider, settings_.Volume);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 64);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 100);

    HDC dc = GetDC(target_.textPanel);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(target_.textPanel, dc);
    const LOGFONTW text = fontOf(target_.textPanel);
    EXPECT_EQ(text.lfHeight, -MulDiv(14, dpi, 72));
    EXPECT_EQ(text.lfWeight, FW_BOLD);
    EXPECT_TRUE(text.lfItalic);
    EXPECT_STREQ(text.lfFaceName, L"Tahoma");
    const LOGFONTW list = fontOf(target_.listBox);
    EXPECT_EQ(list.lfHeight, -MulDiv(20, dpi, 72));
    EXPECT_EQ(list.lfWeight, FW_BOLD);
    EXPECT_FALSE(list.lfItalic);
    // The row height follows the larger list font.
    EXPECT_GE(SendMessageW(target_.listBox, LB_GETITEMHEIGHT, 0, 0), MulDiv(20, dpi, 72));
}

TEST_F(SettingsWindowTest, SaveTakesTheWindowOrTheSavedRectangle) {
    load();
    SetWindowPos(window_.get(), nullptr, 200, 150, 450, 400, SWP_NOZORDER);
    const RECT saved{5, 6, 305, 406};
    ASSERT_TRUE(saveSettings(ini_, settings_, window_.get(), 1, saved, L"", L""));
    ProfileSettingsStore store(ini_);
    EXPECT_EQ(store.readInt(kSystemSection, L"x", -1), 200);
    EXPECT_EQ(store.readInt(kSystemSection, L"width", -1), 450);
    ASSERT_TRUE(saveSettings(ini_, settings_, window_.get(), 3, saved, L"", L""));
    EXPECT_EQ(store.readInt(kSystemSection, L"x", -1), 5);
    EXPECT_EQ(store.readInt(kSystemSection, L"width", -1), 300);
    EXPECT_EQ(store.readInt(kSystemSection, L"height", -1), 400);

    // A window that never loaded its settings writes nothing.
    std::filesystem::remove(folder_ / L"Zav2.ini");
    Settings neverLoaded;
    EXPECT_FALSE(saveSettings(ini_, neverLoaded, window_.get(), 1, saved, L"", L""));
    EXPECT_FALSE(std::filesystem::exists(folder_ / L"Zav2.ini"));
}

TEST_F(SettingsWindowTest, MasterVolumeDecidesTheProgramVolume) {
    using Microsoft::WRL::ComPtr;
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        ComPtr<IMMDeviceEnumerator> devices;
        ComPtr<IMMDevice> device;
        ComPtr<IAudioEndpointVolume> master;
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                    IID_PPV_ARGS(&devices))) ||
            FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device)) ||
            FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                    reinterpret_cast<void**>(master.GetAddressOf())))) {
            CoUninitialize();
            GTEST_SKIP() << "no audio endpoint";
        }
        // Wine's endpoint volume reads a fixed level and refuses to set one;
        // Windows takes the level set here. Either way the program must
        // take the system's level, not the key.
        float original = 0.0f;
        ASSERT_TRUE(SUCCEEDED(master->GetMasterVolumeLevelScalar(&original)));
        float level = original;
        if (SUCCEEDED(master->SetMasterVolumeLevelScalar(0.25f, nullptr)))
            master->GetMasterVolumeLevelScalar(&level);
        const int expected = static_cast<int>(level * 1000.0f);
        const char* key = expected == 800 ? "70" : "80";
        const int keyVolume = expected == 800 ? 700 : 800;

        writeIni(std::string("[SystemSetting]\r\nMasterVolume=ON\r\nVolume= ") + key + "\r\n");
        EXPECT_FALSE(load(master.Get()).has_value());  // the player keeps the system's
        EXPECT_EQ(settings_.Volume, expected);
        EXPECT_TRUE(checked(shown(1), IDM_MASTER_VOLUME));

        // The key is written at exit all the same.
        ASSERT_TRUE(saveSettings(ini_, settings_, window_.get(), 1, RECT{}, L"", L""));
        ProfileSettingsStore store(ini_);
        EXPECT_EQ(store.readInt(kSystemSection, L"Volume", -1), expected / 10);

        writeIni(std::string("[SystemSetting]\r\nMasterVolume=OFF\r\nVolume= ") + key + "\r\n");
        EXPECT_DOUBLE_EQ(load(master.Get()).value_or(-1.0), keyVolume / 1000.0);
        EXPECT_EQ(settings_.Volume, keyVolume);

        master->SetMasterVolumeLevelScalar(original, nullptr);
    }
    CoUninitialize();
}

}  // namespace
}  // namespace zav2
