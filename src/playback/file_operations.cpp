#include "playback/file_operations.h"

#include <algorithm>

#include "platform/path.h"

namespace zav2 {

namespace {

constexpr StringView kTrashFolderName = ZT("Zav2_DUST");

// Rows selected when the operation starts; rows beyond the list are ignored.
std::vector<int> selectedRows(const FileOperationContext& context) {
    std::vector<int> rows = context.listBox.selection();
    const int last = context.playlist.lastIndex();
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [last](int r) { return r < 0 || r > last; }),
        rows.end());
    return rows;
}

const String& pathAt(const FileOperationContext& context, int row) {
    return context.playlist.entries[static_cast<size_t>(row)].path;
}

String nameOf(StringView path) {
    return String(fileName(path));
}

bool fitsPath(StringView path) {
    return path.size() <= kMaxPath;
}

// Moving or deleting the current entry's file: the player is stopped first.
// When the platform still refuses (the engine keeps the file open), the
// media is released and the step tried once more.
bool actOnFile(FileOperationContext& context, bool isCurrent, const std::function<bool()>& step) {
    if (step())
        return true;
    if (!isCurrent)
        return false;
    context.host.closeMedia();
    return step();
}

// The recycle bin may answer success for a file it left in place: only a
// file that is gone counts as deleted.
bool recycled(FileOperationHost& host, StringView path) {
    return host.recycle(path) && !host.exists(path);
}

enum class Overwrite { Proceed, Skip, Cancel };

// The target exists: ask, and on Yes send it to the recycle bin.
Overwrite clearTarget(FileOperationContext& context, StringView target, StringView name,
                      FileMessage failure) {
    switch (context.host.askOverwrite(name)) {
        case OverwriteAnswer::No:
            return Overwrite::Skip;
        case OverwriteAnswer::Cancel:
            return Overwrite::Cancel;
        case OverwriteAnswer::Yes:
            break;
    }
    if (!recycled(context.host, target)) {
        context.host.show(failure, name);
        return Overwrite::Skip;
    }
    return Overwrite::Proceed;
}

// The file already lies in the target folder (under any spelling of it).
bool alreadyThere(FileOperationContext& context, StringView source, StringView target,
                  StringView targetFolder) {
    return equalsIgnoreCase(folderOf(source), targetFolder) ||
           (context.host.exists(target) && context.host.isSameFile(source, target));
}

// Before a copy or move of `source` into `targetFolder`: a missing source is
// reported, a file already there is left alone, and an existing target is
// asked about. Proceed means `destination` is free to take the file.
Overwrite prepareTarget(FileOperationContext& context, StringView source, StringView targetFolder,
                        StringView destination, StringView name, FileMessage failure) {
    if (!context.host.exists(source)) {
        context.host.show(FileMessage::Missing, name);
        return Overwrite::Skip;
    }
    if (alreadyThere(context, source, destination, targetFolder))
        return Overwrite::Skip;
    if (context.host.exists(destination))
        return clearTarget(context, destination, name, failure);
    return Overwrite::Proceed;
}

// The folder the browser opens at for a copy.
String copyStartFolder(FileOperationContext& context, StringView firstPath) {
    String& remembered = context.folders.copy;
    if (remembered.empty()) {
        remembered = folderOf(firstPath);
        return remembered;
    }
    return folderOf(remembered);
}

String moveStartFolder(FileOperationContext& context, StringView firstPath) {
    String& remembered = context.folders.move;
    if (remembered.empty()) {
        remembered = folderOf(firstPath);
        return remembered;
    }
    return context.host.isDirectory(remembered) ? remembered : folderOf(remembered);
}

// After removals: true (and the message shown) when the list became empty.
bool listEmptied(FileOperationContext& context) {
    if (!context.playlist.empty())
        return false;
    context.host.show(FileMessage::ListEmptied, {});
    return true;
}

bool hasDriveRoot(StringView path) {
    if (path.size() < 3 || path[1] != ':' || !isPathSeparator(path[2]))
        return false;
    const Char letter = path[0];
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

bool isControl(Char c) {
    return c < 0x20 || c == 0x7F;
}

}  // namespace

String fileMessageText(FileMessage message, StringView name) {
    String text(name);
    switch (message) {
        case FileMessage::Missing:
            return text + String(ZT(" は削除されています。"));
        case FileMessage::CopyFailed:
            return text + String(ZT(" のコピーに失敗しました。"));
        case FileMessage::MoveFailed:
            return text + String(ZT(" の移動に失敗しました。"));
        case FileMessage::DeleteFailed:
            return text + String(ZT(" の削除に失敗しました。"));
        case FileMessage::RenameFailed:
            return text + String(ZT(" の名前を変更できませんでした。"));
        case FileMessage::ClipboardFailed:
            return String(ZT("クリップボードを開けませんでした。"));
        case FileMessage::ListEmptied:
            return String(ZT("フォルダにファイルが無くなりました。"));
    }
    return text;
}

String joinFolder(StringView folder, StringView name) {
    String out(folder);
    if (!out.empty() && !isPathSeparator(out.back()))
        out.push_back('\\');
    out.append(name);
    return out;
}

void removeEntryRow(Playlist& playlist, ListBoxMirror& listBox, int row) {
    playlist.entries.erase(playlist.entries.begin() + row);
    listBox.remove(row);
    if (row < playlist.current)
        --playlist.current;
    if (playlist.current > playlist.lastIndex())
        playlist.current = playlist.lastIndex();
}

std::optional<String> trashFolderOf(StringView path) {
    if (!hasDriveRoot(path))
        return std::nullopt;
    String folder(path.substr(0, 2));
    folder.push_back('\\');
    folder.append(kTrashFolderName);
    return folder;
}

std::optional<String> trashTarget(StringView trashFolder, StringView name,
                                  const std::function<bool(StringView)>& exists) {
    String target = joinFolder(trashFolder, name);
    if (!exists(target))
        return target;
    const StringView dotExtension = extension(name);
    const StringView base = name.substr(0, name.size() - dotExtension.size());
    for (int n = 1; n <= 99; ++n) {
        const Char number[3] = {static_cast<Char>('0' + n / 10), static_cast<Char>('0' + n % 10),
                                0};
        target = joinFolder(trashFolder, base);
        target.push_back('_');
        target.append(number);
        target.append(dotExtension);
        if (!exists(target))
            return target;
    }
    return std::nullopt;
}

std::vector<uint8_t> dropFilesBlock(const std::vector<String>& paths) {
    std::vector<Char> list;
    for (const String& path : paths) {
        list.insert(list.end(), path.begin(), path.end());
        list.push_back(0);
    }
    list.push_back(0);
    constexpr size_t kHeader = 20;
    std::vector<uint8_t> block(kHeader + 2 * list.size(), 0);
    block[0] = kHeader;  // offset of the list, a 32-bit little-endian value
    block[16] = 1;       // wide characters
    for (size_t i = 0; i < list.size(); ++i) {
        const auto unit = static_cast<uint16_t>(list[i]);
        block[kHeader + 2 * i] = static_cast<uint8_t>(unit & 0xFF);
        block[kHeader + 2 * i + 1] = static_cast<uint8_t>(unit >> 8);
    }
    return block;
}

NameCheck checkNewName(StringView folder, StringView name,
                       const std::function<bool(StringView)>& exists) {
    static constexpr StringView kRefused = ZT("\\/;*\"<>|:?");
    for (Char c : name) {
        if (isControl(c) || kRefused.find(c) != StringView::npos)
            return NameCheck::BadCharacter;
    }
    if (exists(joinFolder(folder, name)))
        return NameCheck::Exists;
    return NameCheck::Accepted;
}

size_t baseNameLength(StringView name) {
    return name.size() - extension(name).size();
}

// --- Operations --------------------------------------------------------------

void copyFilesToFolder(FileOperationContext& context) {
    const std::vector<int> rows = selectedRows(context);
    if (rows.empty())
        return;
    FileOperationHost& host = context.host;
    const String start = copyStartFolder(context, pathAt(context, rows.front()));
    const std::optional<String> target =
        host.browseForFolder(String(ZT("コピーするフォルダを選択してください。")), start);
    if (!target)
        return;
    for (int row : rows) {
        const String source = pathAt(context, row);
        const String name = nameOf(source);
        const String destination = joinFolder(*target, name);
        const Overwrite step =
            prepareTarget(context, source, *target, destination, name, FileMessage::CopyFailed);
        if (step == Overwrite::Cancel)
            return;
        if (step == Overwrite::Skip)
            continue;
        if (!fitsPath(destination) || !host.copyFile(source, destination))
            host.show(FileMessage::CopyFailed, name);
    }
}

bool moveFilesToFolder(FileOperationContext& context) {
    const std::vector<int> rows = selectedRows(context);
    if (rows.empty())
        return false;
    FileOperationHost& host = context.host;
    const bool wasPlaying = host.playerState() == PlayerState::Playing;
    const String start = moveStartFolder(context, pathAt(context, rows.front()));
    const std::optional<String> target =
        host.browseForFolder(String(ZT("移動するフォルダを選択してください。")), start);
    if (!target)
        return false;

    bool stoppedForCurrent = false;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const String source = pathAt(context, *row);
        const String name = nameOf(source);
        const String destination = joinFolder(*target, name);
        const Overwrite step =
            prepareTarget(context, source, *target, destination, name, FileMessage::MoveFailed);
        if (step == Overwrite::Cancel)
            break;  // the rows already moved still get their selection and restart
        if (step == Overwrite::Skip)
            continue;
        const bool isCurrent = *row == context.playlist.current;
        if (isCurrent) {
            host.stopForFileOperation();
            stoppedForCurrent = true;
        }
        const bool moved = fitsPath(destination) && actOnFile(context, isCurrent, [&] {
                               return host.moveFile(source, destination);
                           });
        if (!moved) {
            host.show(FileMessage::MoveFailed, name);
            continue;
        }
        removeEntryRow(context.playlist, context.listBox, *row);
        if (listEmptied(context))
            return stoppedForCurrent;
    }

    context.listBox.clearSelection();
    const int reselect = std::min(rows.front(), context.listBox.count() - 1);
    if (reselect >= 0)
        context.listBox.setSelected(reselect, true);
    if (wasPlaying && stoppedForCurrent)
        host.requestPlay();
    return stoppedForCurrent;
}

bool deleteFiles(FileOperationContext& context) {
    const std::vector<int> rows = selectedRows(context);
    if (rows.empty())
        return false;
    FileOperationHost& host = context.host;
    if (!host.confirmDelete())
        return false;
    bool stoppedForCurrent = false;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const String source = pathAt(context, *row);
        const String name = nameOf(source);
        if (!host.exists(source)) {
            host.show(FileMessage::Missing, name);
            continue;
        }
        const bool isCurrent = *row == context.playlist.current;
        if (isCurrent) {
            host.stopForFileOperation();
            stoppedForCurrent = true;
        }
        if (!actOnFile(context, isCurrent, [&] { return recycled(host, source); })) {
            host.show(FileMessage::DeleteFailed, name);
            continue;
        }
        removeEntryRow(context.playlist, context.listBox, *row);
    }
    context.listBox.clearSelection();
    return stoppedForCurrent;
}

bool moveFilesToTrash(FileOperationContext& context) {
    const std::vector<int> rows = selectedRows(context);
    if (rows.empty())
        return false;
    FileOperationHost& host = context.host;
    const bool wasPlaying = host.playerState() == PlayerState::Playing;
    const auto exists = [&host](StringView path) { return host.exists(path); };

    bool currentMoved = false;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const String source = pathAt(context, *row);
        const String name = nameOf(source);
        const std::optional<String> folder = trashFolderOf(source);
        if (folder && !host.isDirectory(*folder))
            host.createFolder(*folder);
        // Without a drive letter, or with a root that cannot take the folder,
        // there is nowhere to put the file.
        const std::optional<String> target =
            folder && host.isDirectory(*folder) ? trashTarget(*folder, name, exists) : std::nullopt;
        if (!target) {
            host.show(FileMessage::MoveFailed, name);
            continue;
        }
        const bool isCurrent = *row == context.playlist.current;
        if (isCurrent)
            host.stopForFileOperation();
        const bool moved = fitsPath(*target) && actOnFile(context, isCurrent, [&] {
                               return host.moveFile(source, *target);
                           });
        if (!moved) {
            host.show(FileMessage::MoveFailed, name);
            continue;
        }
        currentMoved = currentMoved || isCurrent;
        removeEntryRow(context.playlist, context.listBox, *row);
        if (listEmptied(context))
            return currentMoved;
    }

    if (context.playlist.current >= 0)
        context.listBox.setSelected(context.playlist.current, true);
    if (wasPlaying && currentMoved)
        host.requestPlay();
    return currentMoved;
}

bool copyFilesToClipboard(FileOperationContext& context, bool cut) {
    const std::vector<int> rows = selectedRows(context);
    if (rows.empty())
        return false;
    std::vector<String> paths;
    for (int row : rows)
        paths.push_back(pathAt(context, row));
    if (!context.host.putOnClipboard(dropFilesBlock(paths),
                                     cut ? kDropEffectMove : kDropEffectCopy)) {
        context.host.show(FileMessage::ClipboardFailed, {});
        return false;
    }
    if (!cut)
        return false;
    bool stoppedForCurrent = false;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (*row == context.playlist.current) {
            // The paste that follows moves the file from another program:
            // the engine must not keep it open.
            context.host.stopForFileOperation();
            context.host.closeMedia();
            stoppedForCurrent = true;
        }
        removeEntryRow(context.playlist, context.listBox, *row);
    }
    listEmptied(context);
    return stoppedForCurrent;
}

void renameFiles(FileOperationContext& context) {
    const std::vector<int> rows = selectedRows(context);
    FileOperationHost& host = context.host;
    const bool wasPlaying = host.playerState() == PlayerState::Playing;
    for (int row : rows) {
        const String oldPath = pathAt(context, row);
        const std::optional<String> newName = host.askNewName(oldPath);
        if (!newName)
            return;
        const bool isCurrent = row == context.playlist.current;
        const bool resume = isCurrent && wasPlaying;
        const double time = resume ? host.currentTime() : 0.0;
        const String newPath = joinFolder(folderOf(oldPath), *newName);

        bool renamed = fitsPath(newPath) && host.moveFile(oldPath, newPath);
        bool released = false;
        if (!renamed && isCurrent) {
            if (wasPlaying)
                host.stopForFileOperation();
            host.closeMedia();
            released = true;
            renamed = fitsPath(newPath) && host.moveFile(oldPath, newPath);
        }
        if (!renamed) {
            host.show(FileMessage::RenameFailed, nameOf(oldPath));
            // A failed rename must not also end the music.
            if (released && resume)
                host.reopenAndResume(oldPath, time);
            continue;
        }

        context.playlist.entries[static_cast<size_t>(row)].path = newPath;
        if (isCurrent && !released)
            host.setCurrentPath(newPath);
        if (host.readTitle(newPath).empty()) {
            const String text = context.noExt ? removeExtension(*newName) : *newName;
            context.listBox.insert(row, text);
            context.listBox.remove(row + 1);
            context.listBox.setSelected(row, true);
        }
        if (released && resume)
            host.reopenAndResume(newPath, time);
    }
}

}  // namespace zav2
