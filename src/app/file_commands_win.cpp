// The file commands of the list: copy, move, delete, trash, clipboard,
// rename and properties. The operations decide in playback/file_operations;
// this file gives them the main window, the player and the shell.

// The media engine's headers first: after the audio headers the main window
// needs they clash in mingw-w64.
#include "engine/media_engine_player.h"
// clang-format off
#include "app/main_window_win.h"
// clang-format on

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "resources/messages_win.h"
#include "playback/playback_window_win.h"
#include "playlist/playlist_window_win.h"
#include "app/file_commands_win.h"
#include "playback/file_operations.h"
#include "playback/file_shell_win.h"
#include "playlist/playlist_order.h"
#include "platform/path.h"
#include "playlist/playlist_win.h"
#include "resources/resource.h"
#include "tags/tags.h"

namespace zav2 {

namespace {

DWORD attributesOf(StringView path) {
    const String terminated(path);
    return GetFileAttributesW(terminated.c_str());
}

int messageBox(HWND owner, const String& text, UINT style) {
    return MessageBoxW(owner, text.c_str(), L"Zav2", style);
}

// Dialog 131: the file name to edit, and the new name when accepted.
struct RenameDialog {
    String path;
    std::optional<String> newName;
};

void acceptName(HWND dialog, RenameDialog& rename) {
    wchar_t text[MAX_PATH] = {};
    GetDlgItemTextW(dialog, IDC_RENAME_EDIT, text, MAX_PATH);
    const String name(text);
    switch (checkNewName(folderOf(rename.path), name, [](StringView path) {
        return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
    })) {
        case NameCheck::BadCharacter:
            messageBox(dialog, L"使えない文字が含まれています。", MB_OK | MB_ICONWARNING);
            return;
        case NameCheck::Exists:
            messageBox(dialog, L"既に存在するファイル名です。", MB_OK | MB_ICONWARNING);
            return;
        case NameCheck::Accepted:
            break;
    }
    rename.newName = name;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK renameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* rename = reinterpret_cast<RenameDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            rename = reinterpret_cast<RenameDialog*>(lParam);
            const String name(fileName(rename->path));
            HWND edit = GetDlgItem(dialog, IDC_RENAME_EDIT);
            SendMessageW(edit, EM_LIMITTEXT, MAX_PATH - 1, 0);
            SetWindowTextW(edit, name.c_str());
            SendMessageW(edit, EM_SETSEL, 0, static_cast<LPARAM>(baseNameLength(name)));
            SetFocus(edit);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK)
                acceptName(dialog, *rename);
            else if (LOWORD(wParam) == IDCANCEL)
                EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_CLOSE:
            // Closing is cancelling: no name was given.
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

// The operations' view of the main window, the player and the shell.
class WindowFileHost final : public FileOperationHost {
  public:
    explicit WindowFileHost(MainWindow& state) : state(state) {}

    bool exists(StringView path) override { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }
    bool isDirectory(StringView path) override {
        const DWORD attributes = attributesOf(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool isSameFile(StringView a, StringView b) override { return zav2::isSameFile(a, b); }
    bool copyFile(StringView from, StringView to) override {
        return CopyFileW(String(from).c_str(), String(to).c_str(), TRUE) != FALSE;
    }
    bool moveFile(StringView from, StringView to) override {
        // What is opened ahead holds its file open: let go of it first, as
        // the operations do with the playing file.
        player().ReleasePreloadedFile();
        return MoveFileW(String(from).c_str(), String(to).c_str()) != FALSE;
    }
    bool recycle(StringView path) override {
        player().ReleasePreloadedFile();
        return RecycleFile(path, true);
    }
    void createFolder(StringView path) override { CreateDirectoryW(String(path).c_str(), nullptr); }

    std::optional<String> browseForFolder(StringView title, StringView start) override {
        return BrowseForFolder(state.window, title, start);
    }
    OverwriteAnswer askOverwrite(StringView name) override {
        const String text =
            String(name) +
            L"\n指定されたフォルダには同じ名前のファイルが存在します。\n置き換えますか？";
        switch (messageBox(state.window, text, MB_YESNOCANCEL | MB_ICONWARNING)) {
            case IDYES:
                return OverwriteAnswer::Yes;
            case IDNO:
                return OverwriteAnswer::No;
            default:
                return OverwriteAnswer::Cancel;
        }
    }
    bool confirmDelete() override {
        return messageBox(state.window, L"選択されたファイルを削除します。",
                          MB_OKCANCEL | MB_ICONWARNING) == IDOK;
    }
    void show(FileMessage message, StringView name) override {
        const UINT icon = message == FileMessage::ListEmptied ? MB_ICONINFORMATION : MB_ICONERROR;
        messageBox(state.window, fileMessageText(message, name), MB_OK | icon);
    }
    std::optional<String> askNewName(StringView path) override {
        RenameDialog rename{String(path), std::nullopt};
        DialogBoxParamW(state.module, MAKEINTRESOURCEW(IDD_RENAME), state.window, renameDialogProc,
                        reinterpret_cast<LPARAM>(&rename));
        return rename.newName;
    }
    bool putOnClipboard(const std::vector<uint8_t>& dropFiles, uint32_t effect) override {
        return putFilesOnClipboard(state.window, dropFiles, effect);
    }
    String readTitle(StringView path) override { return zav2::readTitle(path); }

    PlayerState playerState() override { return player().GetState(); }
    void stopForFileOperation() override {
        // No advance follows this stop: the next entry's first samples,
        // already sounding in the last moments of an entry, stop too.
        player().DiscardPreload();
        player().Stop();
        SendMessageW(state.playback.seekBar, TBM_SETPOS, TRUE, 0);
        if (state.taskbar.list)
            state.taskbar.list->SetProgressValue(state.window, 0, 100);
    }
    void closeMedia() override { player().Close(); }
    double currentTime() override { return player().GetPosition(); }
    void setCurrentPath(StringView path) override { player().SetCurrentPath(String(path).c_str()); }
    void reopenAndResume(StringView path, double seconds) override {
        zav2::reopenAndResume(playbackParts(state), path, seconds);
    }
    void requestPlay() override {
        SendMessageW(state.window, WM_COMMAND, MAKEWPARAM(IDC_PLAY_BUTTON, 0), 0);
    }

  private:
    MainWindow& state;
};

void showProperties(MainWindow& state) {
    const Playlist& list = state.list.playlist;
    if (state.commands.contextItem < 0 || state.commands.contextItem > list.lastIndex())
        return;
    const String& path = list.entries[static_cast<size_t>(state.commands.contextItem)].path;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = state.window;
    info.lpVerb = L"properties";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info))
        UniqueHandle process(info.hProcess);
}

// After rows left the list: the play order follows, and an emptied list
// forgets the last entry's pictures and caption.
void afterRemoval(MainWindow& state) {
    if (!state.list.playlist.empty()) {
        recomputeOrder(state.list.playlist, state.settings.Mode == Settings::kRandom);
        return;
    }
    state.panel.picture1.reset();
    state.panel.picture2.reset();
    state.savedCaption = L"Zav2";
    SetWindowTextW(state.window, state.savedCaption.c_str());
}

}  // namespace

std::optional<bool> dispatchFileCommand(MainWindow& state, WORD id) {
    WindowFileHost host(state);
    ListBoxWindow listBox(state.list);
    FileOperationContext context{host, listBox, state.list.playlist, state.playback.fileFolders,
                                 state.settings.NoExt == 1};
    switch (id) {
        case IDM_PROPERTIES:
            showProperties(state);
            return true;
        case IDM_COPY_FILES:
            copyFilesToFolder(context);
            return true;
        case IDM_MOVE_FILES:
            moveFilesToFolder(context);
            break;
        case IDM_DELETE_FILES:
            deleteFiles(context);
            break;
        case IDM_MOVE_TO_TRASH:
            moveFilesToTrash(context);
            break;
        case IDM_CLIPBOARD_COPY:
            copyFilesToClipboard(context, false);
            return true;
        case IDM_CLIPBOARD_CUT:
            copyFilesToClipboard(context, true);
            break;
        case IDM_RENAME:
            renameFiles(context);
            return true;
        default:
            return std::nullopt;
    }
    afterRemoval(state);
    return true;
}

}  // namespace zav2
