// Operations on the files behind the selected play-list entries: copy, move,
// delete to the recycle bin, move to the drive's trash folder, put on the
// clipboard, rename. The decisions live here; the shell, the dialogs and the
// player are reached through FileOperationHost, which the Windows build
// implements over the main window and the tests in memory.
//
// Rule kept by every operation: an entry leaves the list only after its file
// was moved, trashed or deleted (or on a cut), and every failure is reported.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/player_rules.h"
#include "playlist/playlist.h"

namespace zav2 {

enum class FileMessage {
    Missing,          // "%s は削除されています。"
    CopyFailed,       // "%s のコピーに失敗しました。"
    MoveFailed,       // "%s の移動に失敗しました。"
    DeleteFailed,     // "%s の削除に失敗しました。"
    RenameFailed,     // "%s の名前を変更できませんでした。"
    ClipboardFailed,  // "クリップボードを開けませんでした。"
    ListEmptied,      // "フォルダにファイルが無くなりました。" (information)
};
// The text with the file name in place of "%s".
String fileMessageText(FileMessage message, StringView fileName);

enum class OverwriteAnswer { Yes, No, Cancel };

// Drop effects of the "Preferred DropEffect" clipboard format.
inline constexpr uint32_t kDropEffectCopy = 1;
inline constexpr uint32_t kDropEffectMove = 2;

class FileOperationHost {
  public:
    virtual ~FileOperationHost() = default;

    // Files.
    virtual bool exists(StringView path) = 0;
    virtual bool isDirectory(StringView path) = 0;
    // Both name the same file (another spelling of one path).
    virtual bool isSameFile(StringView a, StringView b) = 0;
    virtual bool copyFile(StringView from, StringView to) = 0;  // fails when `to` exists
    virtual bool moveFile(StringView from, StringView to) = 0;
    virtual bool recycle(StringView path) = 0;  // to the recycle bin
    virtual void createFolder(StringView path) = 0;

    // Dialogs and messages.
    virtual std::optional<String> browseForFolder(StringView title, StringView startFolder) = 0;
    virtual OverwriteAnswer askOverwrite(StringView fileName) = 0;
    virtual bool confirmDelete() = 0;
    virtual void show(FileMessage message, StringView fileName) = 0;
    // Dialog 131 over the full path: the new name, or nullopt when cancelled.
    virtual std::optional<String> askNewName(StringView path) = 0;
    // CF_HDROP block and drop effect; false when the clipboard was refused.
    virtual bool putOnClipboard(const std::vector<uint8_t>& dropFiles, uint32_t effect) = 0;
    virtual String readTitle(StringView path) = 0;

    // Player and window.
    virtual PlayerState playerState() = 0;
    // Stops the player (its source stays loaded), seek bar to 0, taskbar
    // progress 0 of 100.
    virtual void stopForFileOperation() = 0;
    // Releases the loaded media, so the file can be moved.
    virtual void closeMedia() = 0;
    virtual double currentTime() = 0;
    virtual void setCurrentPath(StringView path) = 0;
    // Opens the file, waits for the engine and plays from `seconds`.
    virtual void reopenAndResume(StringView path, double seconds) = 0;
    // Command 1004 (play) to the main window.
    virtual void requestPlay() = 0;
};

// Start folders of the folder browser, set by the first copy and the first
// move and kept for the process.
struct RememberedFolders {
    String copy;
    String move;
};

struct FileOperationContext {
    FileOperationHost& host;
    ListBoxMirror& listBox;
    Playlist& playlist;
    RememberedFolders& folders;
    bool noExt = false;
};

// Each answers true when the player was stopped for the current entry (for
// the trash move: when the current entry was moved).
void copyFilesToFolder(FileOperationContext& context);
bool moveFilesToFolder(FileOperationContext& context);
bool deleteFiles(FileOperationContext& context);
bool moveFilesToTrash(FileOperationContext& context);
bool copyFilesToClipboard(FileOperationContext& context, bool cut);
void renameFiles(FileOperationContext& context);

// --- The rules the operations are made of ----------------------------------

// Erases entry and row `row`; current keeps its entry when it lies after the
// row, and stays within the list.
void removeEntryRow(Playlist& playlist, ListBoxMirror& listBox, int row);

// "D:\Zav2_DUST" for "D:\Music\a.mp3"; nullopt without a drive letter.
std::optional<String> trashFolderOf(StringView path);
// The file's place in the trash folder: the name itself, else base_01.ext ...
// base_99.ext, the first free; nullopt when all are taken.
std::optional<String> trashTarget(StringView trashFolder, StringView fileName,
                                  const std::function<bool(StringView)>& exists);

// The CF_HDROP block: a DROPFILES header (list at offset 20, wide characters)
// followed by the NUL-terminated paths and one more NUL, UTF-16LE.
std::vector<uint8_t> dropFilesBlock(const std::vector<String>& paths);

enum class NameCheck { Accepted, BadCharacter, Exists };
// The rename dialog's test of a new name for a file in `folder`.
NameCheck checkNewName(StringView folder, StringView name,
                       const std::function<bool(StringView)>& exists);
// Units of the name the rename dialog selects at first: up to the
// extension's dot.
size_t baseNameLength(StringView name);

// "folder\name" with one backslash, whether or not the folder ends in one.
String joinFolder(StringView folder, StringView name);

}  // namespace zav2
