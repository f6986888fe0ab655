// The settings through the real profile functions and the real main dialog:
// a hand-edited file kept in place, and which rectangle a save takes. What
// loading shows in the window is checked end to end (settings_e2e.sh).
#include "app/settings_apply_win.h"

#include <windows.h>
#include <commctrl.h>

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
        const auto shown = [this](int i) { return GetSubMenu(menus_[i].get(), 0); };
        target_.menus = {shown(0), shown(1), shown(2), shown(3), shown(4), shown(5)};
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

}  // namespace
}  // namespace zav2
