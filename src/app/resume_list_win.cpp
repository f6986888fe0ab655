// Writing the resume list and its keys from the main window's state.
#include "app/resume_list_win.h"

#include "app/main_window_win.h"
#include "playback/playback_window_win.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_win.h"
#include "playlist/playlist_window_win.h"

namespace zav2 {

// Closing never waits for titles: the list keeps what is known.
void saveResumeList(MainWindow& state) {
    state.list.resumeWriter.wait();  // an older copy must not land after this one
    finishWalkForExit(state.list, state.settings.Mode == Settings::kRandom);
    const String target = resumeListPath(state.programPath, state.instanceName);
    writePlaylistFile(state.window, state.list.playlist, state.list.currentFolder, true, target,
                      state.savedCaption, state.settings.NoExt == 1,
                      loadedMediaSeconds(playbackParts(state)));
}

void onResumeTimer(MainWindow& state) {
    if (state.list.playlist.empty() || !state.settings.loaded)
        return;
    ResumeSchedule& schedule = state.list.resumeSchedule;
    const ResumeSchedule::Due due =
        schedule.due(state.list.playlist, static_cast<int64_t>(GetTickCount64()));
    // The list is written only when its paths or titles changed, from a copy
    // on a thread of its own; a write still under way is waited for at the
    // next look. Not retried before the next change (a full disk would be
    // written to four times a second); the exit writes the list once more.
    if (due.list && state.list.resumeWriter.start(
                        resumeListPath(state.programPath, state.instanceName), state.list.playlist,
                        state.settings.NoExt == 1, loadedMediaSeconds(playbackParts(state)))) {
        schedule.listWritten();
    }
    // A new current entry needs only its keys: the list is the same.
    if (due.keys || due.list) {
        saveResumeKeys(state.settingsPath, {state.list.currentFolder, currentEntryPath(state.list),
                                            currentEntryPosition(playbackParts(state))});
        schedule.keysWritten();
    }
}

}  // namespace zav2
