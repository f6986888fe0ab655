// Where playback goes on from. A long file (an audiobook, a lecture, a film)
// left before its end keeps its place, so that playing it again goes on from
// there; the places live in a file beside the program, shared by every
// instance. The entry resumed at start-up goes on from the position it had
// when the program closed, whatever its length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace zav2 {

// Files this long keep their place when they are left ...
inline constexpr double kPlaceKeepingSeconds = 600.0;
// ... unless they are left in their last minute: those were heard out ...
inline constexpr double kLastMinuteSeconds = 60.0;
// ... or in their first seconds, where starting over loses nothing.
inline constexpr double kFirstSeconds = 5.0;
// The most recently left places kept; older ones are let go.
inline constexpr size_t kKeptPlaces = 200;

// What leaving a file at `position` (seconds) of its `duration` does to its
// place: the whole seconds to keep, or nothing when its place is forgotten.
std::optional<uint32_t> placeToKeep(double position, double duration);

// Where a file opened with `duration` goes on from, given its kept place;
// nothing when the place no longer lies before the file's last minute (the
// file was replaced by a shorter one).
std::optional<double> keptPlaceStart(uint32_t place, double duration);

struct KeptPlace {
    String path;
    uint32_t seconds = 0;
    bool operator==(const KeptPlace&) const = default;
};

// The kept places, the most recently left first.
class KeptPlaces {
  public:
    std::optional<uint32_t> find(StringView path) const;
    // Puts the place first; the oldest beyond kKeptPlaces go. A path the file
    // cannot hold (empty, too long, with control characters, which no file
    // name has) is not kept.
    void keep(StringView path, uint32_t seconds);
    void forget(StringView path);
    const std::vector<KeptPlace>& places() const { return places_; }
    bool operator==(const KeptPlaces&) const = default;

  private:
    std::vector<KeptPlace> places_;
};

// The file: UTF-16LE with its byte order mark, so every path a list can hold
// comes back unit for unit ("=", ";", "[" and unpaired surrogates too); a
// first line "Zav2 places", then one line per place, the seconds, a tab and
// the path, each line ended by CR LF.
std::string formatPlacesFile(const KeptPlaces& places);
// Nothing when the bytes are not such a file (damaged, cut short, another
// file of that name): the caller then starts from no places.
std::optional<KeptPlaces> parsePlacesFile(std::string_view bytes);

// Beside the program, named after it: D:\Tools\Zav2.exe keeps its places in
// D:\Tools\Zav2.places. Named instances share it: a file's place belongs to
// the file.
String placesFilePath(StringView programPath);

// The places in the file; none when it is missing or damaged.
KeptPlaces readPlacesFile(StringView filePath);
// Leaving `path` at `position` of `duration`, applied to the places as the
// file holds them now (another instance may have changed them since), and
// written back through a temporary file moved into place when that changed
// anything. A damaged file is written anew. Answers the places as they now are.
KeptPlaces leavePlaceInFile(StringView filePath, StringView path, double position, double duration);

// The places as playback uses them: which entry is loaded, where the entry
// resumed at start-up goes on from, and the kept places of long files.
class PlaceKeeper {
  public:
    // Reads the places of this file and keeps them there from now on. Without
    // a file (tests) they are kept in memory only.
    void useFile(String filePath);

    // The entry resumed at start-up goes on from `seconds` when it is next
    // opened. Without a position of its own it goes on from its kept place.
    void resumeAt(StringView path, uint32_t seconds);
    // Where the resumed entry `path` is shown before it plays; nothing when
    // `path` is not that entry or it starts at 0.
    std::optional<uint32_t> resumePlace(StringView path) const;
    // The resumed entry's place turned out to lie past its end.
    void dropResume() { resume_.reset(); }

    // Entry `path` has been opened with `duration` and is the loaded one
    // now: where it goes on from, or nothing for its start.
    std::optional<double> opened(StringView path, double duration);
    // The loaded entry is left (stopped, another one played, the program
    // closed) at `position` of `duration`.
    void left(double position, double duration);

    // Whether `path` has a kept place, as last read: such an entry is not
    // opened ahead, to start at its place rather than at its start.
    bool keepsPlaceOf(StringView path) const;
    // The current entry's position to store for the next start:
    // `loadedPosition` (to the nearest second) when the loaded entry is the
    // current one and plays or is paused there, else the place it was resumed
    // at and has not played from yet, else 0.
    uint32_t positionToSave(StringView currentPath, std::optional<double> loadedPosition) const;

  private:
    struct Resume {
        String path;
        uint32_t seconds = 0;
    };
    String file_;
    KeptPlaces places_;
    String loaded_;
    std::optional<Resume> resume_;
};

}  // namespace zav2
