// The engine's Media Foundation headers go first: mingw-w64's kernel-streaming
// header (pulled in by the endpoint-volume header) redefines types of theirs
// unless it comes second.
#include "engine/frame_capture.h"
#include "engine/media_engine_player.h"
// clang-format off
#include <shlobj.h>

#include <array>
#include <memory>

#include "playback/player_window_win.h"
#include "playlist/playlist_window_win.h"
#include "app/main_window_win.h"
#include "resources/resource.h"
#include "app/capture_commands_win.h"
// clang-format on

namespace zav2 {

namespace {

struct PidlFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

// The folder dialog for the capture folder, without a start folder.
std::optional<String> browseForCaptureFolder(HWND owner, const wchar_t* title) {
    std::array<wchar_t, MAX_PATH> displayName{};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName.data();
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    suspendFrames(true);
    const std::unique_ptr<ITEMIDLIST, PidlFree> chosen(SHBrowseForFolderW(&browse));
    suspendFrames(false);
    std::array<wchar_t, MAX_PATH> path{};
    if (!chosen || !SHGetPathFromIDListW(chosen.get(), path.data()) || path[0] == L'\0')
        return std::nullopt;
    return String(path.data());
}

void captureToFile(MainWindow& state) {
    const HRESULT result = CaptureToFile(player(), state.panel.videoHost,
                                         state.panel.picture1.get(), state.settings.CaptureDir,
                                         currentEntryPath(state.list), browseForCaptureFolder);
    // The one failure the user can mend: the folder does not take the file.
    if (result == STG_E_CANTSAVE) {
        MessageBoxW(state.window, L"キャプチャを保存できませんでした。", L"Zav2",
                    MB_OK | MB_ICONERROR);
    }
}

}  // namespace

std::optional<bool> dispatchCaptureCommand(MainWindow& state, WORD id) {
    if (id != IDM_CAPTURE_TO_FILE && id != IDM_CAPTURE_TO_CLIPBOARD)
        return std::nullopt;
    if (state.list.playlist.empty())
        return true;
    if (id == IDM_CAPTURE_TO_FILE)
        captureToFile(state);
    else
        CaptureToClipboard(player(), state.window, state.panel.picture1.get());
    return true;
}

}  // namespace zav2
