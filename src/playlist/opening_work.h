// An open that reads a folder or a list file between messages: the window
// answers while a big tree or list is read. Until the reading ends the list
// stays empty, so every command meanwhile sees an empty list and nothing can
// act on rows that are not there yet; opening another path drops the
// reading.
#pragma once

#include <memory>
#include <optional>

#include "playlist/background_sort.h"
#include "playlist/intake.h"

namespace zav2 {

struct OpeningWork {
    OpenStart start;      // its `read` engaged while the reading goes on
    Playlist found;       // the entries read so far, unsorted
    bool walked = false;  // all of them are read
    // The walked files sorted on a worker, the window answering meanwhile.
    std::unique_ptr<BackgroundSort> sorting;
    // Added to the shell's recent documents a step after the rows are
    // listed: the shell takes a while.
    String recentPath;
    String path;
    PathChosenBy how = PathChosenBy::CommandLine;
    String captionBefore;
    // The rows are listed and the first entry is to start: left to the loop,
    // so the rows show and what waits is answered before the engine may
    // hold the window.
    bool startDue = false;
    // The panel, then the resumed place (the engine opens the file), each a
    // step after the rows are listed: with the refill in one step the window
    // held a quarter of a second at 100,000 rows.
    bool panelDue = false;
    bool placeDue = false;
    // The title worker is given the listed entries' paths a step after the
    // rows are listed, first of the steps.
    bool titleWorkerDue = false;
    // A folder's titles are read from the step after its walk, beside the
    // sort and the listing: their slots travel with the entries.
    bool titlesAhead = false;
};

}  // namespace zav2
