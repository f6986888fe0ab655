// The play list as the main window keeps it: the model, the list box that
// mirrors it, and what opening, title reading and the resume list carry
// between messages.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/text.h"
#include "playlist/background_sort.h"
#include "playlist/opening_work.h"
#include "playlist/pending_titles.h"
#include "playlist/playlist.h"
#include "playlist/resume_schedule.h"
#include "playlist/resume_writer_win.h"
#include "playlist/title_read_ahead.h"

namespace zav2 {

struct PlaylistView {
    Playlist playlist;  // index-aligned with the rows of listBox
    HWND listBox = nullptr;
    // The text of each row of listBox, which keeps none itself.
    std::vector<String> rows;
    WNDPROC listBoxProcedure = nullptr;  // its own, before the subclass
    String currentFolder;  // folder of the last open, for list files and the resume list
    ResumeSchedule resumeSchedule;
    ResumeListWriter resumeWriter;
    // The path the start opens once the window is up and answering.
    String startPath;
    bool startResumes = false;
    // A folder being walked for an open, between messages.
    OpeningWork opening;
    // Titles still to read after an open or a drop, while the window idles.
    TitleWork titleWork;
    bool titlesToRead = false;
    TitleReadAhead titlesAhead;  // the files of those titles, read on workers
    int dragSource = -1;
    String jumpExpression;   // kept for the repeat jump
    BackgroundSort sorting;  // the sort command's, while the window goes on
};

}  // namespace zav2
