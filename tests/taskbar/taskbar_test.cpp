// The recent items in the settings file, and what the program asks of the
// shell's taskbar button and jump list, seen through recording fakes.
#include <gtest/gtest.h>

#include <string>

#include "platform/settings_store.h"
#include "taskbar/jump_list.h"
#include "taskbar/jump_recent.h"

namespace zav2 {
namespace {

String u(const std::string& text) {
    return String(text.begin(), text.end());
}

std::vector<String> us(std::initializer_list<std::string> texts) {
    std::vector<String> result;
    for (const std::string& text : texts)
        result.push_back(u(text));
    return result;
}

TEST(RecentItems, OpeningRules) {
    MemorySettingsStore store;
    recordRecentItem(store, u("D:\\a.mp3"));
    recordRecentItem(store, u("D:\\b.mp3"));
    recordRecentItem(store, u("D:\\A.MP3"));  // the same file again, in another case
    EXPECT_EQ(readRecentItems(store), us({"D:\\A.MP3", "D:\\b.mp3"}));
    EXPECT_EQ(store.readString(kJumpRecentSection, u("Count"), u(""), 10), u("2"));

    for (int i = 0; i < 13; ++i)
        recordRecentItem(store, u("D:\\" + std::to_string(i) + ".mp3"));
    const std::vector<String> items = readRecentItems(store);
    ASSERT_EQ(items.size(), 12u);
    EXPECT_EQ(items.front(), u("D:\\12.mp3"));
    EXPECT_EQ(items.back(), u("D:\\1.mp3"));  // 0 and the older two dropped out
    EXPECT_EQ(store.readInt(kJumpRecentSection, u("Count"), -1), 12);

    // A path too long to be one is not recorded.
    recordRecentItem(store, String(300, ZT('x')));
    EXPECT_EQ(readRecentItems(store), items);
}

TEST(RecentItems, DamagedSectionIsReadSafelyAndWrittenBackClean) {
    const String longPath = u("D:\\") + String(260, ZT('y'));
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, String>> keys;
        std::vector<String> read;
    };
    const std::vector<Case> cases = {
        {"count above twelve",
         {{"Count", u("30")}, {"0", u("D:\\0")}, {"11", u("D:\\11")}, {"12", u("D:\\12")}},
         us({"D:\\0", "D:\\11"})},
        {"negative count", {{"Count", u("-5")}, {"0", u("D:\\0")}}, {}},
        {"empty keys and duplicates in another case",
         {{"Count", u("5")}, {"0", u("")}, {"1", u("D:\\a")}, {"3", u("d:\\A")}, {"4", u("D:\\b")}},
         us({"D:\\a", "D:\\b"})},
        {"a value longer than a path",
         {{"Count", u("2")}, {"0", longPath}, {"1", u("D:\\c")}},
         us({"D:\\c"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySettingsStore store;
        for (const auto& [key, value] : c.keys)
            store.writeString(kJumpRecentSection, u(key), value);
        const std::vector<String> read = readRecentItems(store);
        EXPECT_EQ(read, c.read);

        // Written back, only Count and the items read stay. Keys past 11 are
        // not the program's: they are left alone.
        writeRecentItems(store, read);
        EXPECT_EQ(readRecentItems(store), read);
        auto written = store.entries(kJumpRecentSection);
        std::erase_if(written, [](const auto& entry) { return entry.first == ZT("12"); });
        EXPECT_EQ(written.size(), read.size() + 1);
    }
}

struct RecordingDestinationList : DestinationList {
    std::optional<std::vector<String>> removed = std::vector<String>{};
    bool tasksCanBeMade = true;
    std::vector<String> calls;
    std::vector<JumpLink> category;
    std::vector<JumpLink> tasks;

    std::optional<std::vector<String>> beginList() override {
        calls.push_back(u("begin"));
        return removed;
    }
    bool appendCategory(StringView title, const std::vector<JumpLink>& links) override {
        calls.push_back(u("category ") + String(title));
        category = links;
        return true;
    }
    bool addUserTasks(const std::vector<JumpLink>& links) override {
        calls.push_back(u("tasks"));
        if (tasksCanBeMade)
            tasks = links;
        return tasksCanBeMade;
    }
    bool commitList() override {
        calls.push_back(u("commit"));
        return true;
    }
};

// The group icons of the executable in the platform's order.
const std::vector<int> kGroupIcons = {103, 105, 106, 107, 108, 109, 110, 111,  112,  113,  114, 115,
                                      116, 117, 118, 119, 126, 127, 128, 5107, 5108, 5109, 5110};

TEST(JumpList, TasksAndRecentItemsLeavingOutMissingAndRemoved) {
    RecordingDestinationList list;
    list.removed = us({"d:\\MUSIC\\removed.mp3"});
    const std::vector<String> recent =
        us({"D:\\music\\a song.mp3", "D:\\gone.mp3", "D:\\music\\removed.mp3", "D:\\v\\clip.mp4"});
    const auto exists = [](StringView path) { return path != ZT("D:\\gone.mp3"); };
    ASSERT_TRUE(rebuildJumpList(list, recent, exists, kGroupIcons));

    EXPECT_EQ(list.calls, (std::vector<String>{u("begin"), ZT("category 最近使ったアイテム"),
                                               u("tasks"), u("commit")}));
    const std::vector<JumpLink> category = {
        {u("\"D:\\music\\a song.mp3\""), u("a song.mp3"), u("a song.mp3"), 0},
        {u("\"D:\\v\\clip.mp4\""), u("clip.mp4"), u("clip.mp4"), 0},
    };
    EXPECT_EQ(list.category, category);
    const std::vector<JumpLink> tasks = {
        {u("/Play"), ZT("再生/一時停止"), ZT("再生/一時停止"), 22},
        {u("/Stop"), ZT("停止"), ZT("停止"), 19},
        {u("/Next"), ZT("次へ"), ZT("次へ"), 21},
    };
    EXPECT_EQ(list.tasks, tasks);
}

TEST(JumpList, NoEmptyCategoryAndNothingCommittedAfterAFailure) {
    const auto exists = [](StringView) { return true; };
    RecordingDestinationList empty;
    EXPECT_TRUE(rebuildJumpList(empty, {}, exists, kGroupIcons));
    EXPECT_EQ(empty.calls, us({"begin", "tasks", "commit"}));

    RecordingDestinationList allRemoved;
    allRemoved.removed = us({"D:\\a.mp3"});
    EXPECT_TRUE(rebuildJumpList(allRemoved, us({"D:\\A.mp3"}), exists, kGroupIcons));
    EXPECT_EQ(allRemoved.calls, us({"begin", "tasks", "commit"}));

    RecordingDestinationList noTasks;
    noTasks.tasksCanBeMade = false;
    EXPECT_FALSE(rebuildJumpList(noTasks, {}, exists, kGroupIcons));
    EXPECT_EQ(noTasks.calls, us({"begin", "tasks"}));

    RecordingDestinationList noList;
    noList.removed = std::nullopt;
    EXPECT_FALSE(rebuildJumpList(noList, us({"D:\\a.mp3"}), exists, kGroupIcons));
    EXPECT_EQ(noList.calls, us({"begin"}));

    // Without the icon among the group icons its negative id names it.
    RecordingDestinationList noIcons;
    rebuildJumpList(noIcons, {}, exists, {});
    EXPECT_EQ(noIcons.tasks.at(0).iconIndex, -5110);
}

TEST(JumpList, RemovedLinkArgumentsLoseOnePairOfQuotes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\"D:\\a b.mp3\"", "D:\\a b.mp3"},
        {"\"D:\\a.mp3\" /x", "D:\\a.mp3"},
        {"\"", ""},
    };
    for (const auto& [arguments, path] : cases)
        EXPECT_EQ(unquotedArguments(u(arguments)), u(path)) << arguments;
}

}  // namespace
}  // namespace zav2
