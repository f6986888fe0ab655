#include "playback/file_operations.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "memory_list_box.h"

namespace zav2 {
namespace {

String u8(const char* text) {
    return utf8ToUtf16(text);
}

// Files by path (case as given), a player and the dialogs' scripted answers.
// `locked` refuse moves while the media is loaded, the bin answers success
// for `stuckInBin` but keeps them, `uncreatable` folders cannot be made.
class FakeHost final : public FileOperationHost {
  public:
    std::set<String> files, folders, locked, stuckInBin, uncreatable;
    std::vector<OverwriteAnswer> overwriteAnswers;
    std::vector<std::optional<String>> newNames;
    std::optional<String> browsed = u8("D:\\Target");
    PlayerState state = PlayerState::Playing;  // closed: the file is let go
    bool clipboardTaken = true;
    std::vector<String> log;  // messages, player and shell events in order

    static bool has(const std::set<String>& set, StringView p) { return set.count(String(p)); }
    template <class T>
    static T next(std::vector<T>& answers) {
        T answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    bool exists(StringView p) override { return has(files, p) || has(folders, p); }
    bool isDirectory(StringView p) override { return has(folders, p); }
    bool isSameFile(StringView a, StringView b) override { return equalsIgnoreCase(a, b); }
    bool copyFile(StringView from, StringView to) override {
        return !exists(to) && has(files, from) && files.insert(String(to)).second;
    }
    bool moveFile(StringView from, StringView to) override {
        if (exists(to) || !has(files, from) || (state != PlayerState::Closed && has(locked, from)))
            return false;
        files.erase(String(from));
        return files.insert(String(to)).second;
    }
    bool recycle(StringView p) override {
        log.push_back(u8("recycle ") + String(p));
        if (!has(stuckInBin, p))
            files.erase(String(p));
        return true;
    }
    void createFolder(StringView p) override {
        if (!has(uncreatable, p))
            folders.insert(String(p));
    }
    std::optional<String> browseForFolder(StringView, StringView start) override {
        log.push_back(u8("browse ") + String(start));
        return browsed;
    }
    OverwriteAnswer askOverwrite(StringView) override { return next(overwriteAnswers); }
    bool confirmDelete() override { return true; }
    void show(FileMessage message, StringView name) override {
        log.push_back(fileMessageText(message, name));
    }
    std::optional<String> askNewName(StringView) override { return next(newNames); }
    bool putOnClipboard(const std::vector<uint8_t>&, uint32_t) override { return clipboardTaken; }
    String readTitle(StringView) override { return {}; }
    PlayerState playerState() override { return state; }
    void playerEvent(String event, PlayerState next) {
        log.push_back(event);
        state = next;
    }
    void stopForFileOperation() override { playerEvent(u8("stop"), PlayerState::Stopped); }
    void closeMedia() override { playerEvent(u8("close"), PlayerState::Closed); }
    double currentTime() override { return 42.5; }
    void setCurrentPath(StringView p) override { log.push_back(u8("path ") + String(p)); }
    void reopenAndResume(StringView p, double seconds) override {
        playerEvent(
            u8("resume ") + String(p) + u8(" at ") + u8(std::to_string(int(seconds)).c_str()),
            PlayerState::Playing);
    }
    void requestPlay() override { log.push_back(u8("play")); }
};

struct Fixture {
    FakeHost host;
    MemoryListBox listBox;
    Playlist playlist;
    RememberedFolders remembered;
    FileOperationContext context{host, listBox, playlist, remembered, false};

    // Entries D:\Music\<name> for each name, all existing, current at `current`.
    Fixture(std::vector<const char*> names, int current, std::vector<int> selected) {
        host.folders = {u8("D:\\Music"), u8("D:\\Target")};
        for (const char* name : names) {
            const String path = u8("D:\\Music\\") + u8(name);
            playlist.entries.push_back({path, {}, 0});
            listBox.insert(listBox.count(), u8(name));
            host.files.insert(path);
        }
        playlist.current = current;
        listBox.select(selected);
    }
    String currentName() const {
        return playlist.current < 0 ? String() : listBox.text(playlist.current);
    }
};

std::vector<String> strings(std::vector<const char*> texts) {
    std::vector<String> out;
    for (const char* t : texts)
        out.push_back(u8(t));
    return out;
}

TEST(FileOperations, RemovalKeepsCurrentOnItsEntry) {
    struct Case {
        int current;
        std::vector<int> removed;  // highest first, as the operations go
        const char* currentAfter;  // row text of current afterwards, "" when empty
    };
    const Case cases[] = {
        {2, {0}, "c"},             // below: index drops by one
        {2, {2}, "d"},             // current itself: the following entry
        {4, {4}, "d"},             // current was last: the new last
        {2, {4, 2, 0}, "d"},       // several, highest first
        {0, {4, 3, 2, 1, 0}, ""},  // list emptied: current -1
    };
    for (const Case& c : cases) {
        Fixture f({"a", "b", "c", "d", "e"}, c.current, {});
        for (int row : c.removed)
            removeEntryRow(f.playlist, f.listBox, row);
        EXPECT_EQ(f.currentName(), u8(c.currentAfter)) << "current " << c.current;
        EXPECT_EQ(f.listBox.count(), static_cast<int>(f.playlist.entries.size()));
    }
}

TEST(FileOperations, TrashNames) {
    // The folder on the file's drive and "_01" after a clash are checked end
    // to end (fileops.sh); here the numbers past it, the last one tried, and a
    // name without an extension.
    const String dust = u8("D:\\Zav2_DUST");
    const std::pair<const char*, const char*> cases[] = {
        {"a.mp3", "a_02.mp3"}, {"README", "README_01"}, {"x", "x_99"}};
    for (const auto& [name, free] : cases) {
        const String target = dust + u8("\\") + u8(free);
        EXPECT_EQ(trashTarget(dust, u8(name), [&](StringView p) { return p != target; }), target)
            << free;
    }
    EXPECT_FALSE(trashTarget(dust, u8("x"), [](StringView) { return true; }));
    EXPECT_FALSE(trashFolderOf(u8("\\\\server\\share\\x.mp3")));
    EXPECT_FALSE(trashFolderOf(u8("a.mp3")));
}

TEST(FileOperations, RenameRefusals) {
    const std::set<String> present{u8("D:\\M\\a.mp3")};
    const auto exists = [&](StringView p) { return present.count(String(p)) != 0; };
    // A path separator or a control character would make the name another path.
    const std::pair<const char*, NameCheck> cases[] = {
        {"曲 (1).mp3", NameCheck::Accepted},     {"a.mp3", NameCheck::Exists},
        {"sub\\b.mp3", NameCheck::BadCharacter}, {"b/c", NameCheck::BadCharacter},
        {"b\t.mp3", NameCheck::BadCharacter},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(checkNewName(u8("D:\\M"), u8(name), exists), expected) << name;
    EXPECT_EQ(baseNameLength(u8("song.live.mp3")), 9u);
}

// A failed move keeps its row; the moved rows leave and current stays on
// the playing entry, so no restart is asked for.
TEST(FileOperations, MoveKeepsFailedRowsAndCurrentEntry) {
    Fixture f({"a", "b", "c", "d"}, 3, {0, 1, 2});
    f.host.files.insert(u8("D:\\Target\\b"));  // b clashes: No, then c: moves
    f.host.overwriteAnswers = {OverwriteAnswer::No};
    f.host.files.erase(u8("D:\\Music\\a"));  // removed behind the program's back
    EXPECT_FALSE(moveFilesToFolder(f.context));
    EXPECT_EQ(f.listBox.items(), strings({"a", "b", "d"}));
    EXPECT_EQ(f.currentName(), u8("d"));
    EXPECT_TRUE(f.host.files.count(u8("D:\\Target\\c")));
    EXPECT_TRUE(f.host.files.count(u8("D:\\Music\\b")));
    EXPECT_EQ(f.host.log, strings({"browse D:\\Music", "a は削除されています。"}));
    EXPECT_EQ(f.listBox.selection(), std::vector<int>{0});
}

// Cancel at the overwrite question ends the move: rows below stay untouched.
// The playing entry, moved before, restarts playback.
TEST(FileOperations, MoveCancelEndsButPlayingEntryRestarts) {
    Fixture f({"a", "b", "c"}, 2, {0, 1, 2});
    f.host.locked.insert(u8("D:\\Music\\c"));
    f.host.files.insert(u8("D:\\Target\\b"));
    f.host.overwriteAnswers = {OverwriteAnswer::Cancel};
    EXPECT_TRUE(moveFilesToFolder(f.context));
    EXPECT_EQ(f.listBox.items(), strings({"a", "b"}));
    EXPECT_TRUE(f.host.files.count(u8("D:\\Music\\a")));
    EXPECT_EQ(f.host.log, strings({"browse D:\\Music", "stop", "close", "play"}));
}

// Copy: Yes replaces through the recycle bin; a target path too long to hold
// fails; the list never changes.
TEST(FileOperations, CopyReplacesOnYesAndReportsTooLongTargets) {
    Fixture f({"a", "b"}, 0, {0, 1});
    f.host.files.insert(u8("D:\\Target\\b"));
    f.host.overwriteAnswers = {OverwriteAnswer::Yes};
    copyFilesToFolder(f.context);
    EXPECT_TRUE(f.host.files.count(u8("D:\\Target\\a")));
    EXPECT_EQ(f.host.log, strings({"browse D:\\Music", "recycle D:\\Target\\b"}));
    EXPECT_TRUE(f.host.files.count(u8("D:\\Target\\b")));

    // A target path longer than the program can hold is a failure. The browser
    // starts at the parent of the folder chosen last.
    f.host.log.clear();
    f.host.browsed = u8("D:\\") + String(256, 'x');
    copyFilesToFolder(f.context);
    EXPECT_EQ(f.host.log,
              strings({"browse D:\\", "a のコピーに失敗しました。", "b のコピーに失敗しました。"}));
    EXPECT_EQ(f.listBox.items(), strings({"a", "b"}));
}

// The bin answering success for a file it left in place is a failure.
TEST(FileOperations, DeleteKeepsRowsWhoseFileStayed) {
    Fixture f({"a", "b", "c"}, 1, {0, 1, 2});
    f.host.stuckInBin.insert(u8("D:\\Music\\c"));
    EXPECT_TRUE(deleteFiles(f.context));
    EXPECT_EQ(f.listBox.items(), strings({"c"}));
    EXPECT_EQ(f.playlist.current, 0);
    EXPECT_EQ(f.host.log.back(), u8("recycle D:\\Music\\a"));
    EXPECT_NE(std::find(f.host.log.begin(), f.host.log.end(), u8("c の削除に失敗しました。")),
              f.host.log.end());
}

// A cut file is moved by the program it is pasted in: the playing one is let
// go, not only stopped. A copy, a refused clipboard and the other files
// leave the player alone.
TEST(FileOperations, CuttingThePlayingEntryReleasesItsFile) {
    Fixture f({"a.mp3", "b.mp3"}, 1, {1});
    EXPECT_FALSE(copyFilesToClipboard(f.context, false));
    f.host.clipboardTaken = false;  // the message only
    EXPECT_FALSE(copyFilesToClipboard(f.context, true));
    f.host.clipboardTaken = true;
    EXPECT_TRUE(copyFilesToClipboard(f.context, true));
    EXPECT_EQ(f.host.log, strings({"クリップボードを開けませんでした。", "stop", "close"}));
    Fixture other({"a.mp3", "b.mp3"}, 1, {0});
    EXPECT_FALSE(copyFilesToClipboard(other.context, true));
    EXPECT_TRUE(other.host.log.empty());
}

// Without a place for the trash folder (a root that cannot take it, or no drive
// letter) the entry stays, and the failure is reported.
TEST(FileOperations, TrashKeepsWhatCannotMove) {
    Fixture f({"a.mp3"}, 0, {0});
    f.host.uncreatable.insert(u8("D:\\Zav2_DUST"));
    EXPECT_FALSE(moveFilesToTrash(f.context));
    EXPECT_EQ(f.listBox.items(), strings({"a.mp3"}));
    EXPECT_EQ(f.host.log, strings({"a.mp3 の移動に失敗しました。"}));
}

// The player holds the file: it is closed for the rename and resumed where it
// was, under the new name or, when the rename fails, the old. (A file the
// player does not lock is renamed in place: checked end to end.)
TEST(FileOperations, RenamingThePlayingFileResumesUnderTheNameItHas) {
    struct Case {
        const char* blocker;  // a file that makes the retry fail too
        std::vector<const char*> log;
        const char* row;
    };
    const Case cases[] = {
        {"", {"stop", "close", "resume D:\\Music\\new.mp3 at 42"}, "new.mp3"},
        {"D:\\Music\\new.mp3",
         {"stop", "close", "old.mp3 の名前を変更できませんでした。",
          "resume D:\\Music\\old.mp3 at 42"},
         "old.mp3"},
    };
    for (const Case& c : cases) {
        Fixture f({"old.mp3"}, 0, {0});
        f.host.locked.insert(u8("D:\\Music\\old.mp3"));
        if (*c.blocker)
            f.host.files.insert(u8(c.blocker));
        f.host.newNames = {u8("new.mp3")};
        renameFiles(f.context);
        EXPECT_EQ(f.host.log, strings(c.log));
        EXPECT_EQ(f.listBox.items(), strings({c.row}));
        EXPECT_EQ(f.playlist.entries[0].path, u8("D:\\Music\\") + u8(c.row));
    }
}

}  // namespace
}  // namespace zav2
