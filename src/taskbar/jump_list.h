// What the program puts on its taskbar button: four thumbnail transport
// buttons and a jump list of three tasks and the recent items. The shell
// objects are reached through the two small interfaces below, so the rules
// run the same over the real objects and over recording fakes.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/text.h"

namespace zav2 {

struct ThumbnailButton {
    int commandId;
    int iconId;
    String tooltip;
};

class ThumbnailToolbar {
  public:
    virtual ~ThumbnailToolbar() = default;
    virtual bool addButtons(const std::vector<ThumbnailButton>& buttons) = 0;
};

// A shell link that starts the program's own executable.
struct JumpLink {
    String arguments;
    String title;        // also the title property
    String description;  // tooltip
    int iconIndex;       // icon of the executable: index, or a negative resource id
    bool operator==(const JumpLink&) const = default;
};

// One rebuild: beginList, then optionally appendCategory, then addUserTasks
// and commitList. Any false ends the rebuild; the list is then not committed.
class DestinationList {
  public:
    virtual ~DestinationList() = default;
    // The paths of the items the user removed from the list (a shell item's
    // file path, a link's arguments with its quotes taken off); nullopt on
    // failure.
    virtual std::optional<std::vector<String>> beginList() = 0;
    virtual bool appendCategory(StringView title, const std::vector<JumpLink>& links) = 0;
    // False when any of the links cannot be made: no task is then added.
    virtual bool addUserTasks(const std::vector<JumpLink>& links) = 0;
    virtual bool commitList() = 0;
};

inline constexpr const Char* kRecentCategoryTitle = ZT("最近使ったアイテム");

// Where an icon sits among the executable's group icons, as the platform
// enumerates them; the negative id (which names the same icon) when absent.
int groupIconIndex(const std::vector<int>& groupIconIds, int iconId);

// A removed link's arguments with one pair of enclosing quotes taken off:
// from a leading quote up to the last quote.
String unquotedArguments(StringView arguments);

bool addThumbnailButtons(ThumbnailToolbar& toolbar);

// `groupIconIds`: the executable's group icons in the platform's order.
// Answers whether the list was committed.
bool rebuildJumpList(DestinationList& list, const std::vector<String>& recentItems,
                     const std::function<bool(StringView)>& exists,
                     const std::vector<int>& groupIconIds);

}  // namespace zav2
