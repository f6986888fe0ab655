// An open that walks a folder between messages: the window answers while a
// big tree is read. Until the walk ends the list stays empty, so every
// command meanwhile sees an empty list and nothing can act on rows that are
// not there yet; opening another path drops the walk.
#pragma once

#include <optional>

#include "playlist/intake.h"

namespace zav2 {

struct OpeningWork {
    std::optional<FolderWalk> walk;  // engaged while a walk goes on
    Playlist found;                  // the entries walked so far, unsorted
    String path;
    bool folder = false;
    PathChosenBy how = PathChosenBy::CommandLine;
    OpenOutcome outcome;
    String captionBefore;
    // The rows are listed and the first entry is to start: left to the loop,
    // so the rows show and what waits is answered before the engine may
    // hold the window.
    bool startDue = false;
};

}  // namespace zav2
