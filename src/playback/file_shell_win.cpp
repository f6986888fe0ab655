#include "playback/file_shell_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <commctrl.h>

#include <cstring>
#include <memory>

#include "platform/handles_win.h"

namespace zav2 {

namespace {

struct CoTaskMemDeleter {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
struct GlobalDeleter {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalDeleter>;

UniqueGlobal globalCopy(const void* bytes, size_t size) {
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!memory)
        return nullptr;
    void* target = GlobalLock(memory.get());
    if (!target)
        return nullptr;
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory.get());
    return memory;
}

// Ownership passes to the clipboard only when it takes the block.
bool setClipboardBlock(UINT format, UniqueGlobal block) {
    if (!block || !SetClipboardData(format, block.get()))
        return false;
    block.release();
    return true;
}

struct BrowseStart {
    String folder;
    bool pending = false;
};

HWND findTreeView(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM result) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (lstrcmpiW(name, WC_TREEVIEWW) != 0)
                return TRUE;
            *reinterpret_cast<HWND*>(result) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The new-style browser loses the first selection while it fills its tree:
// select the start folder again at the first change and scroll it into view.
int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    auto* start = reinterpret_cast<BrowseStart*>(data);
    if (message == BFFM_INITIALIZED) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(start->folder.c_str()));
        start->pending = true;
    } else if (message == BFFM_SELCHANGED && start->pending) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(start->folder.c_str()));
        if (HWND tree = findTreeView(dialog)) {
            if (HTREEITEM item = TreeView_GetSelection(tree))
                TreeView_EnsureVisible(tree, item);
        }
        Sleep(0);
        start->pending = false;
    }
    return 0;
}

UniqueHandle openForIdentity(StringView path) {
    const String terminated(path);
    HANDLE file =
        CreateFileW(terminated.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return UniqueHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace

bool RecycleFile(StringView path, bool toRecycleBin) {
    String list(path);
    if (GetFileAttributesW(list.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    list.push_back(L'\0');  // the shell reads a double-NUL-terminated list
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags =
        static_cast<FILEOP_FLAGS>(toRecycleBin ? FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT
                                               : FOF_NOCONFIRMATION | FOF_SILENT);
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

std::optional<String> BrowseForFolder(HWND owner, StringView title, StringView startFolder) {
    BrowseStart start{String(startFolder), false};
    const String titleText(title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = titleText.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&start);
    std::unique_ptr<ITEMIDLIST, CoTaskMemDeleter> chosen(SHBrowseForFolderW(&info));
    if (!chosen)
        return std::nullopt;
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), folder) || folder[0] == L'\0')
        return std::nullopt;
    return String(folder);
}

bool putFilesOnClipboard(HWND owner, const std::vector<uint8_t>& dropFiles, uint32_t effect) {
    const UINT effectFormat = RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
    OpenedClipboard clipboard(owner);
    if (!clipboard.opened() || !EmptyClipboard())
        return false;
    const DWORD effectValue = effect;
    return setClipboardBlock(CF_HDROP, globalCopy(dropFiles.data(), dropFiles.size())) &&
           effectFormat != 0 &&
           setClipboardBlock(effectFormat, globalCopy(&effectValue, sizeof effectValue));
}

bool isSameFile(StringView a, StringView b) {
    UniqueHandle first = openForIdentity(a);
    UniqueHandle second = openForIdentity(b);
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    if (!first || !second || !GetFileInformationByHandle(first.get(), &one) ||
        !GetFileInformationByHandle(second.get(), &other)) {
        return false;
    }
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

}  // namespace zav2
