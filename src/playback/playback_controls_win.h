// Playback as the main window keeps it: the seek bar, the volume slider and
// the time read-out, and what starting, the end watch and the file
// operations carry between messages.
#pragma once

#include <windows.h>
#include <wrl/client.h>

#include "playback/file_operations.h"
#include "playback/resume_places.h"
#include "playback/track_gains_win.h"

// Declared only: the endpoint-volume header must come after the media
// engine's headers, which this header does not need.
struct IAudioEndpointVolume;

namespace zav2 {

struct PlaybackControls {
    HWND seekBar = nullptr;
    HWND volumeSlider = nullptr;
    HWND timeText = nullptr;
    bool playerReady = false;  // false: the window stays without its features
    Microsoft::WRL::ComPtr<IAudioEndpointVolume> masterVolume;
    unsigned duration = 0;        // seconds of the current media
    int playbackRate = 1000;      // thousandths of normal speed; not saved
    bool entryLoading = false;    // a start is waiting for the engine
    ULONGLONG endWatchUntil = 0;  // while the end watch runs: when it gives up
    int32_t nextEntryHint = -1;   // where the next entry was found last (random order)
    // Start folders of the copy and move browsers.
    RememberedFolders fileFolders;
    // Where entries go on from: the places of long files, the resumed entry's.
    PlaceKeeper places;
    // The gain each file plays with.
    TrackGains gains;
};

}  // namespace zav2
