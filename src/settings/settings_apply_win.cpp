#include "settings/settings_apply_win.h"

#include <commctrl.h>

#include "platform/settings_store.h"
#include "platform/dpi_win.h"
#include "resources/resource.h"

namespace zav2 {

namespace {

class WindowSettingsView final : public SettingsView {
  public:
    WindowSettingsView(const SettingsWindow& target, SettingsFonts& fonts)
        : target_(target), fonts_(fonts) {}

    void setButtonIcon(int buttonId, int iconId) override {
        zav2::setButtonIcon(target_.window, buttonId, target_.module, iconId);
    }
    void setMenuCheck(SettingsMenu menu, int item, bool checked) override {
        zav2::setMenuCheck(menuFor(menu), item, checked);
    }
    void setTopMost(bool on) override { zav2::setTopMost(target_.window, on); }
    void setCenterText(bool on) override { zav2::setCenterText(target_.textPanel, on); }
    void applyFonts(const Settings& settings) override {
        applySettingsFonts(target_.textPanel, target_.listBox, settings, fonts_);
    }

  private:
    HMENU menuFor(SettingsMenu menu) const {
        const SettingsMenus& m = target_.menus;
        switch (menu) {
            case SettingsMenu::List:
                return m.list;
            case SettingsMenu::Master:
                return m.master;
            case SettingsMenu::Play:
                return m.play;
            case SettingsMenu::Title:
                return m.title;
            case SettingsMenu::Text:
                return m.text;
            case SettingsMenu::Open:
                return m.open;
        }
        return nullptr;
    }

    const SettingsWindow& target_;
    SettingsFonts& fonts_;
};

std::optional<float> systemMasterVolume(IAudioEndpointVolume* masterVolume) {
    float scalar = 0.0f;
    if (masterVolume && SUCCEEDED(masterVolume->GetMasterVolumeLevelScalar(&scalar)))
        return scalar;
    return std::nullopt;
}

}  // namespace

void loadPlacement(const String& settingsPath, HWND window, int templateWidth, Settings& settings) {
    ProfileSettingsStore store(settingsPath);
    readPlacement(store, templateWidth, windowDpi(window), settings);
    SetWindowPos(window, nullptr, settings.x, settings.y, settings.width, settings.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<double> loadSettings(const String& settingsPath, const SettingsWindow& target,
                                   IAudioEndpointVolume* masterVolume, SettingsFonts& fonts,
                                   Settings& settings) {
    ProfileSettingsStore store(settingsPath);
    const std::optional<float> scalar = systemMasterVolume(masterVolume);
    readSettings(store, scalar, windowDpi(target.window), settings);
    WindowSettingsView view(target, fonts);
    showLoadedSettings(view, settings);
    if (settings.MasterVolume == 1 && scalar)
        return std::nullopt;
    return settings.Volume / 1000.0;
}

void showVolumeOnSlider(HWND volumeSlider, int volume) {
    SendMessageW(volumeSlider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(volumeSlider, TBM_SETPOS, TRUE, volume / 10);
}

void loadCaptureDir(const String& settingsPath, Settings& settings) {
    ProfileSettingsStore store(settingsPath);
    readCaptureDir(store, settings);
}

String loadIgnoreDir(const String& settingsPath) {
    ProfileSettingsStore store(settingsPath);
    return readIgnoreDir(store);
}

ResumeKeys loadResumeKeys(const String& settingsPath) {
    ProfileSettingsStore store(settingsPath);
    return readResumeKeys(store);
}

void saveResumeKeys(const String& settingsPath, const ResumeKeys& keys) {
    ProfileSettingsStore store(settingsPath);
    writeResumeKeys(store, keys);
}

bool saveSettings(const String& settingsPath, const Settings& settings, HWND window,
                  int displayMode, const RECT& savedWindowRect, StringView nowPlaying,
                  StringView nowDir, const ListRows& rows) {
    if (!settings.loaded)
        return false;
    RECT now{};
    GetWindowRect(window, &now);
    const int dpi = windowDpi(window);
    const auto placement = [&](const RECT& r) {
        // The file's height keeps the list's rows (scaled back up here, as
        // the writer scales it down again, exactly).
        const int height = scaledBetween(savedHeightForRows(r.bottom - r.top, dpi, rows), 96, dpi);
        return WindowPlacement{r.left, r.top, r.right - r.left, height};
    };
    ProfileSettingsStore store(settingsPath);
    return writeSettings(store, settings,
                         placementToSave(displayMode, placement(now), placement(savedWindowRect)),
                         nowPlaying, nowDir, dpi);
}

namespace {
constexpr wchar_t kIconProperty[] = L"Zav2.IconId";
}

void setButtonIcon(HWND window, int buttonId, HINSTANCE module, int iconId) {
    // Sized for the window's DPI, so not shared (a shared icon keeps the size
    // first loaded); the button's previous icon is then ours to free. The id
    // stays on the button so a change of DPI can load it again.
    const int size = iconSize(14, windowDpi(window));
    const auto icon = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_LOADTRANSPARENT));
    HWND button = GetDlgItem(window, buttonId);
    if (!icon || !button)
        return;
    SetPropW(button, kIconProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(iconId)));
    if (const auto previous = reinterpret_cast<HICON>(
            SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon))))
        DestroyIcon(previous);
}

namespace {
constexpr int kIconButtons[] = {IDC_OPEN_BUTTON,     IDC_PLAY_BUTTON, IDC_STOP_BUTTON,
                                IDC_PREVIOUS_BUTTON, IDC_NEXT_BUTTON, IDC_MODE_BUTTON,
                                IDC_TOPMOST_BUTTON,  IDC_LIST_BUTTON};
}

void releaseButtonIcons(HWND window) {
    for (const int buttonId : kIconButtons) {
        HWND button = GetDlgItem(window, buttonId);
        RemovePropW(button, kIconProperty);
        if (const auto icon =
                reinterpret_cast<HICON>(SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, 0)))
            DestroyIcon(icon);
    }
}

void reloadButtonIcons(HWND window, HINSTANCE module) {
    for (const int buttonId : kIconButtons) {
        const auto iconId = static_cast<int>(
            reinterpret_cast<INT_PTR>(GetPropW(GetDlgItem(window, buttonId), kIconProperty)));
        if (iconId)
            setButtonIcon(window, buttonId, module, iconId);
    }
}

void setTopMost(HWND window, bool on) {
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void setCenterText(HWND textPanel, bool on) {
    const LONG_PTR style = GetWindowLongPtrW(textPanel, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | ES_CENTER) : (style & ~static_cast<LONG_PTR>(ES_CENTER));
    if (wanted != style)
        SetWindowLongPtrW(textPanel, GWL_STYLE, wanted);
}

void setMenuCheck(HMENU menu, int item, bool checked) {
    if (menu)
        CheckMenuItem(menu, static_cast<UINT>(item),
                      MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void applySettingsFonts(HWND textPanel, HWND listBox, const Settings& settings,
                        SettingsFonts& fonts) {
    applyFont(textPanel, settings.textFontSize, settings.textFontName, settings.textFontStyle,
              fonts.text);
    applyFont(listBox, settings.listFontSize, settings.listFontName, settings.listFontStyle,
              fonts.list);
    updateItemHeight(listBox);
}

}  // namespace zav2
