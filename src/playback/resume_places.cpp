#include "playback/resume_places.h"

#include <algorithm>
#include <cmath>

#include "playback/kept_file.h"
#include "platform/file.h"
#include "platform/path.h"

namespace zav2 {

namespace {

constexpr StringView kHeader = ZT("Zav2 places");
constexpr size_t kMostDigits = 9;
// Room for the header and kKeptPlaces lines of the longest paths, with some
// to spare; a bigger file is not one of ours.
constexpr uint64_t kMostFileBytes = 256 * 1024;

}  // namespace

std::optional<uint32_t> placeToKeep(double position, double duration) {
    if (!std::isfinite(duration) || duration < kPlaceKeepingSeconds)
        return std::nullopt;
    if (!(position >= kFirstSeconds) || position >= duration - kLastMinuteSeconds)
        return std::nullopt;
    return static_cast<uint32_t>(position);
}

std::optional<double> keptPlaceStart(uint32_t place, double duration) {
    if (!std::isfinite(duration) || duration < kPlaceKeepingSeconds || place == 0 ||
        place >= duration - kLastMinuteSeconds)
        return std::nullopt;
    return place;
}

std::optional<uint32_t> KeptPlaces::find(StringView path) const {
    for (const KeptPlace& place : places_) {
        if (place.path == path)
            return place.seconds;
    }
    return std::nullopt;
}

void KeptPlaces::keep(StringView path, uint32_t seconds) {
    if (!keepablePath(path))
        return;
    forget(path);
    places_.insert(places_.begin(), KeptPlace{String(path), seconds});
    if (places_.size() > kKeptPlaces)
        places_.resize(kKeptPlaces);
}

void KeptPlaces::forget(StringView path) {
    std::erase_if(places_, [path](const KeptPlace& place) { return place.path == path; });
}

std::string formatPlacesFile(const KeptPlaces& places) {
    std::vector<String> lines;
    lines.reserve(places.places().size());
    for (const KeptPlace& place : places.places())
        lines.push_back(asciiUnits(std::to_string(place.seconds)) + ZT('\t') + place.path);
    return formatKeptFile(kHeader, lines);
}

std::optional<KeptPlaces> parsePlacesFile(std::string_view bytes) {
    const std::optional<std::vector<String>> lines = parseKeptFile(bytes, kHeader);
    if (!lines)
        return std::nullopt;
    std::vector<KeptPlace> read;
    read.reserve(lines->size());
    for (const StringView line : *lines) {
        const size_t tab = line.find('\t');
        if (tab == StringView::npos)
            return std::nullopt;
        const std::optional<uint64_t> seconds = parseDigits(line.substr(0, tab), kMostDigits);
        const StringView path = line.substr(tab + 1);
        if (!seconds || !keepablePath(path))
            return std::nullopt;
        read.push_back({String(path), static_cast<uint32_t>(*seconds)});
    }
    // Kept oldest first, so the most recent line of a path wins and the
    // limit lets the oldest go.
    KeptPlaces places;
    for (auto place = read.rbegin(); place != read.rend(); ++place)
        places.keep(place->path, place->seconds);
    return places;
}

String placesFilePath(StringView programPath) {
    return replaceExtension(programPath, ZT(".places"));
}

KeptPlaces readPlacesFile(StringView filePath) {
    const std::optional<std::string> bytes = readWholeFile(filePath, kMostFileBytes);
    return bytes ? parsePlacesFile(*bytes).value_or(KeptPlaces{}) : KeptPlaces{};
}

KeptPlaces leavePlaceInFile(StringView filePath, StringView path, double position,
                            double duration) {
    const std::optional<std::string> bytes = readWholeFile(filePath, kMostFileBytes);
    const std::optional<KeptPlaces> read = bytes ? parsePlacesFile(*bytes) : std::nullopt;
    const bool damaged = bytes && !read;
    KeptPlaces places = read.value_or(KeptPlaces{});
    const KeptPlaces before = places;
    if (const std::optional<uint32_t> seconds = placeToKeep(position, duration))
        places.keep(path, *seconds);
    else
        places.forget(path);
    if (damaged || places != before)
        writeFileReplacing(filePath, formatPlacesFile(places));
    return places;
}

void PlaceKeeper::useFile(String filePath) {
    file_ = std::move(filePath);
    places_ = readPlacesFile(file_);
}

void PlaceKeeper::resumeAt(StringView path, uint32_t seconds) {
    if (seconds == 0)
        seconds = places_.find(path).value_or(0);
    if (path.empty() || seconds == 0)
        resume_.reset();
    else
        resume_ = Resume{String(path), seconds};
}

std::optional<uint32_t> PlaceKeeper::resumePlace(StringView path) const {
    if (resume_ && resume_->path == path)
        return resume_->seconds;
    return std::nullopt;
}

std::optional<double> PlaceKeeper::opened(StringView path, double duration) {
    loaded_ = String(path);
    if (const std::optional<uint32_t> resumed = resumePlace(path)) {
        resume_.reset();
        if (*resumed < duration)  // false for an unknown (NaN) duration
            return *resumed;
        return std::nullopt;
    }
    // The resumed entry is no longer the next to play from its place.
    resume_.reset();
    if (!file_.empty())
        places_ = readPlacesFile(file_);
    if (const std::optional<uint32_t> kept = places_.find(path))
        return keptPlaceStart(*kept, duration);
    return std::nullopt;
}

void PlaceKeeper::left(double position, double duration) {
    if (loaded_.empty())
        return;
    const std::optional<uint32_t> seconds = placeToKeep(position, duration);
    if (file_.empty()) {
        if (seconds)
            places_.keep(loaded_, *seconds);
        else
            places_.forget(loaded_);
        return;
    }
    // Nothing kept and nothing to forget: an album plays through without a
    // look at the disk between its tracks.
    if (!seconds && !places_.find(loaded_))
        return;
    places_ = leavePlaceInFile(file_, loaded_, position, duration);
}

bool PlaceKeeper::keepsPlaceOf(StringView path) const {
    return places_.find(path).has_value();
}

uint32_t PlaceKeeper::positionToSave(StringView currentPath,
                                     std::optional<double> loadedPosition) const {
    if (loadedPosition && !currentPath.empty() && loaded_ == currentPath) {
        // To the nearest second: the read-out rounds up, so a stop at 23.96
        // reads 00:24 and comes back there.
        constexpr double kMostSeconds = 999999999.0;
        if (!(*loadedPosition > 0))
            return 0;
        return static_cast<uint32_t>(std::lround(std::min(*loadedPosition, kMostSeconds)));
    }
    return resumePlace(currentPath).value_or(0);
}

}  // namespace zav2
