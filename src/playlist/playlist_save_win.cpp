#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "platform/file.h"
#include "platform/path.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_win.h"

namespace zav2 {

namespace {

constexpr wchar_t kProgramName[] = L"Zav2";
// "%s の削除に失敗しました。" and "%s の保存に失敗しました。"
constexpr wchar_t kDeleteFailed[] =
    L" \u306E\u524A\u9664\u306B\u5931\u6557\u3057\u307E\u3057\u305F\u3002";
constexpr wchar_t kSaveFailed[] =
    L" \u306E\u4FDD\u5B58\u306B\u5931\u6557\u3057\u307E\u3057\u305F\u3002";

void reportFailure(HWND owner, StringView target, const wchar_t* what) {
    const String message = String(fileName(target)) + what;
    MessageBoxW(owner, message.c_str(), kProgramName, MB_OK | MB_ICONERROR);
}

// The save dialog; empty when cancelled. The proposed name is the current
// folder's own name inside it (D:\m\Live proposes D:\m\Live\Live).
String askSaveTarget(HWND owner, StringView currentFolder) {
    String proposed = combinePath(currentFolder, fileName(currentFolder));
    wchar_t file[kMaxPath + 1] = {};
    if (proposed.size() <= kMaxPath && !fileName(currentFolder).empty())
        proposed.copy(file, proposed.size());
    const String initialFolder(currentFolder);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter =
        L"UTF-8 m3u(*.m3u8)\0*.m3u8\0ShiftJIS m3u(*.m3u)\0*.m3u\0All files(*.*)\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = kMaxPath + 1;
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = kProgramName;
    dialog.lpstrDefExt = L"m3u8";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog))
        return {};
    return file;
}

// The old list goes to the recycle bin, where the user can still get it back.
bool recycle(StringView path) {
    String from(path);
    from.push_back(L'\0');  // the list of names ends with an empty one
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
           !pathExists(path);
}

}  // namespace

String shortPathOf(StringView path) {
    const String longPath(path);
    const DWORD size = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    String shortPath(size, L'\0');
    const DWORD got = GetShortPathNameW(longPath.c_str(), shortPath.data(), size);
    if (got == 0 || got >= size)
        return {};
    shortPath.resize(got);
    return shortPath;
}

bool writePlaylistTo(HWND mainWindow, StringView target, const Playlist& playlist,
                     StringView currentFolder, bool automatic, StringView captionToRestore,
                     bool noExt, int durationSeconds) {
    PlaylistWriteOptions options;
    options.automatic = automatic;
    options.currentFolder = String(currentFolder);
    options.noExt = noExt;
    options.durationSeconds = durationSeconds;
    options.encoding = listEncodingFor(target);
    options.representablePath = shortPathOf;
    WindowCaption caption(mainWindow);
    return savePlaylistFile(caption, target, playlist, options, captionToRestore);
}

bool writePlaylistFile(HWND mainWindow, const Playlist& playlist, String& currentFolder,
                       bool automatic, StringView resumeList, StringView captionToRestore,
                       bool noExt, int durationSeconds) {
    if (playlist.empty())
        return false;
    if (automatic) {
        // Written beside the old list and moved over it: the old list stays
        // whole until the new one is complete.
        return writePlaylistTo(mainWindow, resumeList, playlist, currentFolder, true,
                               captionToRestore, noExt, durationSeconds);
    }
    const String target = askSaveTarget(mainWindow, currentFolder);
    if (target.empty())
        return false;
    currentFolder = folderOf(target);
    if (pathExists(target) && !recycle(target)) {
        reportFailure(mainWindow, target, kDeleteFailed);
        return false;
    }
    if (!writePlaylistTo(mainWindow, target, playlist, currentFolder, false, captionToRestore,
                         noExt, durationSeconds)) {
        reportFailure(mainWindow, target, kSaveFailed);
        return false;
    }
    return true;
}

}  // namespace zav2
