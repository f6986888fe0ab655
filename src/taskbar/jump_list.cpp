#include "taskbar/jump_list.h"

#include <algorithm>

#include "platform/path.h"
#include "resources/resource.h"

namespace zav2 {

namespace {

constexpr const Char* kPlayPause = ZT("再生/一時停止");
constexpr const Char* kStop = ZT("停止");
constexpr const Char* kNext = ZT("次へ");

bool removedByUser(const std::vector<String>& removed, StringView path) {
    return std::any_of(removed.begin(), removed.end(),
                       [&](const String& item) { return equalsIgnoreCase(item, path); });
}

JumpLink task(StringView arguments, StringView title, int iconIndex) {
    return JumpLink{String(arguments), String(title), String(title), iconIndex};
}

}  // namespace

int groupIconIndex(const std::vector<int>& groupIconIds, int iconId) {
    const auto found = std::find(groupIconIds.begin(), groupIconIds.end(), iconId);
    if (found == groupIconIds.end())
        return -iconId;
    return static_cast<int>(found - groupIconIds.begin());
}

String unquotedArguments(StringView arguments) {
    if (!arguments.empty() && arguments.front() == ZT('"')) {
        const size_t last = arguments.rfind(ZT('"'));
        if (last > 0)
            return String(arguments.substr(1, last - 1));
        return String(arguments.substr(1));  // an unclosed quote
    }
    return String(arguments);
}

bool addThumbnailButtons(ThumbnailToolbar& toolbar) {
    return toolbar.addButtons({
        {IDC_PLAY_BUTTON, IDI_THUMB_PLAY_PAUSE, kPlayPause},
        {IDC_STOP_BUTTON, IDI_THUMB_STOP, kStop},
        {IDC_PREVIOUS_BUTTON, IDI_THUMB_PREVIOUS, ZT("前へ")},
        {IDC_NEXT_BUTTON, IDI_THUMB_NEXT, kNext},
    });
}

bool rebuildJumpList(DestinationList& list, const std::vector<String>& recentItems,
                     const std::function<bool(StringView)>& exists,
                     const std::vector<int>& groupIconIds) {
    const std::optional<std::vector<String>> removed = list.beginList();
    if (!removed)
        return false;

    std::vector<JumpLink> recent;
    for (const String& item : recentItems) {
        if (item.empty() || !exists(item) || removedByUser(*removed, item))
            continue;
        const String name(fileName(item));
        recent.push_back(JumpLink{ZT("\"") + item + ZT("\""), name, name, 0});
    }
    // An empty category would show as a bare heading.
    if (!recent.empty() && !list.appendCategory(kRecentCategoryTitle, recent))
        return false;

    const std::vector<JumpLink> tasks = {
        task(ZT("/Play"), kPlayPause, groupIconIndex(groupIconIds, IDI_THUMB_PLAY_PAUSE)),
        task(ZT("/Stop"), kStop, groupIconIndex(groupIconIds, IDI_THUMB_STOP)),
        task(ZT("/Next"), kNext, groupIconIndex(groupIconIds, IDI_THUMB_NEXT)),
    };
    return list.addUserTasks(tasks) && list.commitList();
}

}  // namespace zav2
