// The list's side of opening paths: the open-file and folder dialogs, the
// paths of a drop, the current row after an open and the rest of a folder's
// walk. The steps of an open that need the whole main window (layout, panel,
// recent items, playback) are in app/opening_win.cpp.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <memory>
#include <utility>

#include "playlist/playlist_window_win.h"
#include "platform/path.h"
#include "playlist/intake.h"
#include "playlist/playlist_win.h"

namespace zav2 {
namespace {

struct PidlFree {
    void operator()(LPITEMIDLIST pidl) const { CoTaskMemFree(pidl); }
};

int CALLBACK folderDialogCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) {
        // Select the last opened folder and bring it into view.
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
        SendMessageW(dialog, BFFM_SETEXPANDED, TRUE, data);
    }
    return 0;
}

}  // namespace

void selectCurrentAtTop(PlaylistView& list) {
    ListBoxWindow listBox(list);
    listBox.clearSelection();
    listBox.setSelected(list.playlist.current, true);
    listBox.setTopIndex(list.playlist.current);
}

String droppedPath(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    // A longer path would not fit the program's buffers: it is left out
    // rather than cut into another name.
    if (length == 0 || length > kMaxPath)
        return {};
    String path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, index, path.data(), length + 1));
    return path;
}

// Reads the rest of an open's folder or list file and puts the entries into
// the list.
void completeWalk(PlaylistView& list, bool randomMode) {
    OpeningWork& opening = list.opening;
    if (!opening.walked)
        opening.start.read->step(opening.found, [] { return true; });
    opening.start.read.reset();
    endOpenPath(list.playlist, std::move(opening.found), opening.path, opening.start, randomMode);
    opening.found = {};
}

void finishWalkForExit(PlaylistView& list, bool randomMode) {
    if (list.opening.start.read)
        completeWalk(list, randomMode);
}

std::optional<String> chooseFileToOpen(HWND owner) {
    // Pairs of a name and its patterns, double-terminated.
    static constexpr wchar_t kFilters[] =
        L"Zav2ファイル\0*.mp3;*.m3u;*.m3u8;*.zav;*.mp4;*.wmv\0"
        L"mp3ファイル\0*.mp3;*.m3u;*.m3u8\0"
        L"動画ファイル\0*.mp4;*.wmv\0"
        L"すべてのファイル(*.*)\0*.*\0";
    std::array<wchar_t, kMaxPath + 1> chosen{};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = static_cast<DWORD>(chosen.size());
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOTESTFILECREATE;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    return String(chosen.data());
}

std::optional<String> chooseFolderToOpen(HWND owner, String last) {
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = L"フォルダ選択";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = folderDialogCallback;
    browse.lParam = last.empty() ? 0 : reinterpret_cast<LPARAM>(last.c_str());
    const std::unique_ptr<ITEMIDLIST, PidlFree> chosen(SHBrowseForFolderW(&browse));
    if (!chosen)
        return std::nullopt;
    std::array<wchar_t, MAX_PATH> path{};
    if (!SHGetPathFromIDListW(chosen.get(), path.data()) || path[0] == L'\0')
        return std::nullopt;
    return String(path.data());
}

}  // namespace zav2
