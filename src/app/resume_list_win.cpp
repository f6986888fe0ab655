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
    finishWalkForExit(state.list, state.settings.Mode == Settings::kRandom);
    const String target = resumeListPath(state.programPath, state.instanceName);
    writePlaylistFile(state.window, state.list.playlist, state.list.currentFolder, true, target,
                      state.savedCaption, state.settings.NoExt == 1,
                      loadedMediaSeconds(playbackParts(state)));
}

void onResumeTimer(MainWindow& state) {
    if (state.list.playlist.empty() || !state.settings.loaded)
        return;
    if (!state.list.resumeSchedule.due(state.list.playlist, static_cast<int64_t>(GetTickCount64())))
        return;
    // Not retried before the next change (a full disk would be written to four
    // times a second); the exit writes the list once more anyway.
    state.list.resumeSchedule.written(resumeFingerprint(state.list.playlist));
    const String target = resumeListPath(state.programPath, state.instanceName);
    if (writeResumeList(target, state.list.playlist, state.settings.NoExt == 1,
                        loadedMediaSeconds(playbackParts(state)))) {
        saveResumeKeys(state.settingsPath,
                       {state.list.currentFolder, currentEntryPath(state.list)});
    }
}

}  // namespace zav2
