// Opening paths in the main window: the start-up path, a forwarded path, the
// open-file and folder dialogs, and files dropped on the window. The rules of
// what enters the list live in playlist/intake.h and the list's own steps in
// playlist/; this file lays the window out around them, reloads the panel,
// records the recent item and starts playback.
#include "app/opening_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <utility>
#include <vector>

#include "app/main_window_win.h"
#include "app/layout_calls_win.h"
#include "playback/playback_window_win.h"
#include "playlist/playlist_window_win.h"
#include "playlist/caption_progress.h"
#include "playlist/intake.h"
#include "playlist/playlist_order.h"
#include "playlist/playlist_win.h"
#include "playlist/slice_clock_win.h"
#include "settings/settings_apply_win.h"

namespace zav2 {
namespace {

// IgnoreDir is read from the file before each scan, so an edit takes effect
// without a restart.
IntakeSettings intakeSettings(const MainWindow& state) {
    IntakeSettings settings;
    settings.searchSubFolders = state.settings.SearchSubFolder == 1;
    settings.ignoreDir = loadIgnoreDir(state.settingsPath);
    settings.noExt = state.settings.NoExt == 1;
    return settings;
}

PathChosenBy chosenBy(OpenedBy how) {
    switch (how) {
        case OpenedBy::FileDialog:
            return PathChosenBy::FileDialog;
        case OpenedBy::FolderDialog:
            return PathChosenBy::FolderDialog;
        case OpenedBy::DropOutsideList:
            return PathChosenBy::DropOutsideList;
        case OpenedBy::ResumeAtStartUp:
            return PathChosenBy::ResumeAtStartUp;
        case OpenedBy::CommandLine:
        case OpenedBy::Forwarded:
            break;
    }
    return PathChosenBy::CommandLine;
}

void recordRecent(MainWindow& state, const String& path) {
    SHAddToRecentDocs(SHARD_PATHW, path.c_str());
    addRecentItem(taskbarOwner(state), path);
}

bool insideRect(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top &&
           point.y <= rect.bottom;
}

// The rows are listed; the titles follow while the window idles. The first
// slice comes at once: the rows in view, and the whole of a short list.
void startTitleReading(MainWindow& state, bool withWorker, bool keepAhead = false) {
    startTitleReading(state.list, state.window, withWorker, keepAhead);
    readTitlesWhileIdle(state);
}

void dropOntoList(MainWindow& state, HDROP drop, POINT screenPoint) {
    // The dropped entries go among the rows of the open under way.
    finishOpening(state);
    std::vector<String> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        String path = droppedPath(drop, i);
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    DragFinish(drop);

    POINT listPoint = screenPoint;
    ScreenToClient(state.list.listBox, &listPoint);
    const int at =
        dropInsertionPoint(listRowAtPoint(state.list.listBox, listPoint), state.list.playlist);

    ListBoxWindow listBox(state.list);
    dropOnList(state.list.playlist, listBox, paths, at, state.list.currentFolder,
               intakeSettings(state));
    startTitleReading(state, true);
    if (!state.list.playlist.empty())
        recomputeOrder(state.list.playlist, state.settings.Mode == Settings::kRandom);
    // The bold row follows the current entry, which may have moved.
    InvalidateRect(state.list.listBox, nullptr, TRUE);
}

}  // namespace

namespace {

// The title workers wait while the window waits for the engine to open an
// entry, or fills the list box: racing it for two cores and the Wine server,
// that wait held the window 0.14-0.19 s at 100,000 files.
class TitlesHeld {
  public:
    explicit TitlesHeld(TitleReadAhead& titles) : titles_(titles) { titles_.hold(true); }
    ~TitlesHeld() { titles_.hold(false); }
    TitlesHeld(const TitlesHeld&) = delete;
    TitlesHeld& operator=(const TitlesHeld&) = delete;

  private:
    TitleReadAhead& titles_;
};

// What every open does once its list is complete: the rows, the titles to
// read; the start of the entry comes from the loop.
void showOpenedList(MainWindow& state, const String& path, PathChosenBy how,
                    const OpenOutcome& outcome, const String& captionBefore,
                    bool titlesAhead = false) {
    WindowCaption caption(state.window);
    caption.setText(captionBefore);
    layOutWindow(state);

    const bool listed = !state.list.playlist.empty();
    if (listed) {
        // The one refill of the list box for this open.
        const TitlesHeld held(state.list.titlesAhead);
        ListBoxWindow listBox(state.list);
        rebuildListBox(caption, listBox, state.list.playlist, state.settings.NoExt == 1);
        selectCurrentAtTop(state.list);
    } else {
        caption.setText(L"Zav2");
    }
    startTitleReading(state, false, titlesAhead);
    state.savedCaption = caption.text();
    state.list.opening.titleWorkerDue = listed;
    state.list.opening.panelDue = listed;
    state.list.opening.placeDue = listed && how == PathChosenBy::ResumeAtStartUp;
    state.list.opening.startDue =
        outcome.pathExisted && how != PathChosenBy::ResumeAtStartUp && listed;
    GetWindowRect(state.window, &state.savedWindowRect);
    SetForegroundWindow(state.window);
    SetFocus(state.window);
    // The shell's recent documents and the jump list take a while: left to
    // the next step.
    if (outcome.addToRecent)
        state.list.opening.recentPath = path;
}

void startAfterOpen(MainWindow& state) {
    state.list.opening.startDue = false;
    const TitlesHeld held(state.list.titlesAhead);
    startPlaybackAfterOpen(playbackParts(state));
    state.savedCaption = WindowCaption(state.window).text();
    state.list.opening.panelDue = !state.list.playlist.empty();
}

void showOpenedPanel(MainWindow& state) {
    state.list.opening.panelDue = false;
    if (state.list.playlist.empty())
        return;
    reloadPanel(state);
    selectCurrentAtTop(state.list);
}

// Only while nothing plays: a Play or a double-click answered before this
// step has chosen where to start.
void showPlaceAtResume(MainWindow& state) {
    state.list.opening.placeDue = false;
    const TitlesHeld held(state.list.titlesAhead);
    if (!state.list.playlist.empty() && !state.playback.entryLoading && playerIsIdle())
        showResumedPlace(playbackParts(state), loadResumeKeys(state.settingsPath));
}

// A slice of the walk: short enough that a click or a key waits no longer
// than a frame, and over as soon as anything waits.
constexpr double kWalkSliceSeconds = 0.015;

void endOpening(MainWindow& state) {
    completeWalk(state.list, state.settings.Mode == Settings::kRandom);
    OpeningWork opening = std::move(state.list.opening);
    state.list.opening = {};
    showOpenedList(state, opening.path, opening.how, opening.start.outcome, opening.captionBefore,
                   opening.titlesAhead);
}

}  // namespace

void openPath(MainWindow& state, const String& path, OpenedBy how) {
    // A walk still going on is for a list this open replaces.
    state.list.opening = {};
    ListBoxWindow(state.list).reset(0);
    state.list.titlesAhead.reset();
    state.list.titlesToRead = false;
    ResumePoint resume;
    if (how == OpenedBy::ResumeAtStartUp) {
        const ResumeKeys keys = loadResumeKeys(state.settingsPath);
        resume = {keys.nowDir, keys.nowPlaying};
    }
    // The walk of a big tree takes a while: the caption says what is going on.
    WindowCaption caption(state.window);
    const String captionBefore = caption.text();
    caption.setText(kRebuildingCaption);
    OpenStart start =
        beginOpenPath(state.list.playlist, state.list.currentFolder, path, chosenBy(how),
                      intakeSettings(state), resume, state.settings.Mode == Settings::kRandom);
    if (!start.read) {
        showOpenedList(state, path, chosenBy(how), start.outcome, captionBefore);
        return;
    }
    OpeningWork& opening = state.list.opening;
    opening.start = std::move(start);
    opening.path = path;
    opening.how = chosenBy(how);
    opening.captionBefore = captionBefore;
    // The reading goes on from the message loop; the caption stays meanwhile.
}

bool continueOpening(MainWindow& state) {
    OpeningWork& opening = state.list.opening;
    if (opening.titleWorkerDue) {
        opening.titleWorkerDue = false;
        startTitleWorker(state.list, state.window);
        return true;
    }
    if (opening.panelDue) {
        showOpenedPanel(state);
        return true;
    }
    if (opening.placeDue) {
        showPlaceAtResume(state);
        return true;
    }
    if (!opening.recentPath.empty()) {
        recordRecent(state, std::exchange(opening.recentPath, String()));
        return true;
    }
    if (opening.startDue) {
        startAfterOpen(state);
        return true;
    }
    if (!opening.start.read)
        return false;
    // Walked a slice at a time, sorted in a step, then listed in another.
    if (!opening.walked) {
        SliceClock clock(kWalkSliceSeconds);
        opening.walked = opening.start.read->step(opening.found, clock.keepGoing());
        return true;
    }
    // The titles are read from here on: the sort and the listing take a
    // tenth of the reading's time at 100,000 files.
    if (!opening.titlesAhead && !opening.start.listFile) {
        opening.titlesAhead = true;
        startWalkTitleWorker(state.list, state.window);
        return true;
    }
    if (!opening.start.sorted && !opening.start.listFile) {
        // 100,000 paths take half a second to sort: on a worker, whose end
        // wakes the loop.
        if (!opening.sorting) {
            opening.sorting = std::make_unique<BackgroundSort>();
            const HWND window = state.window;
            opening.sorting->start(opening.found,
                                   [window] { PostMessageW(window, WM_NULL, 0, 0); });
            return true;
        }
        const BackgroundSort::Outcome outcome = opening.sorting->finish(opening.found);
        if (outcome == BackgroundSort::Outcome::Waiting)
            return false;
        opening.sorting.reset();
        if (outcome != BackgroundSort::Outcome::Sorted)
            sortFound(opening.found, opening.start);  // here after all
        opening.start.sorted = true;
        return true;
    }
    if (!opening.start.sorted) {
        sortFound(opening.found, opening.start);
        return true;
    }
    endOpening(state);
    return true;
}

void finishOpening(MainWindow& state) {
    if (state.list.opening.start.read)
        endOpening(state);
}

void openAtStart(MainWindow& state) {
    if (state.list.startPath.empty())
        return;
    const String path = std::move(state.list.startPath);
    state.list.startPath.clear();
    // The window is painted before the walk begins.
    UpdateWindow(state.window);
    openPath(state, path,
             state.list.startResumes ? OpenedBy::ResumeAtStartUp : OpenedBy::CommandLine);
}

void showOpenFileDialog(MainWindow& state) {
    if (const std::optional<String> path = chooseFileToOpen(state.window))
        openPath(state, *path, OpenedBy::FileDialog);
}

void showOpenFolderDialog(MainWindow& state) {
    if (const std::optional<String> path =
            chooseFolderToOpen(state.window, state.list.currentFolder))
        openPath(state, *path, OpenedBy::FolderDialog);
}

void dropFiles(MainWindow& state, HWND receiver, HDROP drop) {
    POINT point{};
    DragQueryPoint(drop, &point);
    ClientToScreen(receiver, &point);
    RECT listRect{};
    GetWindowRect(state.list.listBox, &listRect);
    if (insideRect(listRect, point)) {
        dropOntoList(state, drop, point);
        return;
    }
    const String first = droppedPath(drop, 0);
    DragFinish(drop);
    if (!first.empty())
        openPath(state, first, OpenedBy::DropOutsideList);
}

bool readTitlesWhileIdle(MainWindow& state) {
    if (state.playback.entryLoading)
        return false;
    return readTitlesWhileIdle(state.list, state.window, state.settings.NoExt == 1);
}

void finishTitles(MainWindow& state) {
    finishOpening(state);
    finishTitles(state.list, state.window, state.settings.NoExt == 1);
}

}  // namespace zav2
