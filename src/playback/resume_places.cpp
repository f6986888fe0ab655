#include "playback/resume_places.h"

#include <algorithm>
#include <cmath>

#include "platform/file.h"
#include "platform/path.h"

namespace zav2 {

namespace {

constexpr StringView kHeader = ZT("Zav2 places");
constexpr size_t kMostDigits = 9;
// Room for the header and kKeptPlaces lines of the longest paths, with some
// to spare; a bigger file is not one of ours.
constexpr uint64_t kMostFileBytes = 256 * 1024;

bool storable(StringView path) {
    return !path.empty() && path.size() <= kMaxPath &&
           std::none_of(path.begin(), path.end(), [](Char c) { return c < 0x20; });
}

void appendUnit(std::string& bytes, Char unit) {
    const auto value = static_cast<uint16_t>(unit);
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>(value >> 8);
}

void appendText(std::string& bytes, StringView text) {
    for (const Char unit : text)
        appendUnit(bytes, unit);
}

std::optional<uint32_t> parseSeconds(StringView digits) {
    if (digits.empty() || digits.size() > kMostDigits)
        return std::nullopt;
    uint32_t value = 0;
    for (const Char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

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
    if (!storable(path))
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
    std::string bytes = "\xFF\xFE";
    appendText(bytes, kHeader);
    appendText(bytes, ZT("\r\n"));
    for (const KeptPlace& place : places.places()) {
        const std::string seconds = std::to_string(place.seconds);
        for (const char digit : seconds)
            appendUnit(bytes, static_cast<Char>(digit));
        appendUnit(bytes, '\t');
        appendText(bytes, place.path);
        appendText(bytes, ZT("\r\n"));
    }
    return bytes;
}

std::optional<KeptPlaces> parsePlacesFile(std::string_view bytes) {
    if (bytes.size() % 2 != 0 || !bytes.starts_with("\xFF\xFE"))
        return std::nullopt;
    const String text = utf16leToString(bytes.substr(2));
    std::vector<KeptPlace> lines;
    bool headerSeen = false;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find(ZT("\r\n"), at);
        if (end == String::npos)
            return std::nullopt;  // cut short
        const StringView line(text.data() + at, end - at);
        at = end + 2;
        if (!headerSeen) {
            if (line != kHeader)
                return std::nullopt;
            headerSeen = true;
            continue;
        }
        const size_t tab = line.find('\t');
        if (tab == StringView::npos)
            return std::nullopt;
        const std::optional<uint32_t> seconds = parseSeconds(line.substr(0, tab));
        const StringView path = line.substr(tab + 1);
        if (!seconds || !storable(path))
            return std::nullopt;
        lines.push_back({String(path), *seconds});
    }
    if (!headerSeen)
        return std::nullopt;
    // Kept oldest first, so the most recent line of a path wins and the
    // limit lets the oldest go.
    KeptPlaces places;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        places.keep(line->path, line->seconds);
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
