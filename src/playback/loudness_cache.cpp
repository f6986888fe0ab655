#include "playback/loudness_cache.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "playback/kept_file.h"
#include "platform/file.h"
#include "platform/path.h"

namespace zav2 {

namespace {

constexpr StringView kHeader = ZT("Zav2 loudness");
// Sizes and times of 19 digits: every int64 time, and sizes far beyond any
// disk's, without the twentieth digit's overflow check.
constexpr size_t kMostDigits = 19;
constexpr uint64_t kLargestSize = 9'999'999'999'999'999'999u;
// Room for the header and kKeptLoudnesses lines of the longest paths and
// numbers, with some to spare; a bigger file is not one of ours.
constexpr uint64_t kMostFileBytes = 4 * 1024 * 1024;

bool keepable(uint64_t size, int64_t modified, MeasuredLoudness loudness) {
    // Written so that NaN fails each test.
    return size <= kLargestSize && modified >= 0 && loudness.lufs >= kQuietestKeptLufs &&
           loudness.lufs <= kLoudestKeptLufs && loudness.peak > 0 &&
           loudness.peak <= kLargestKeptPeak;
}

String numberUnits(double value) {
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    return asciiUnits(std::string_view(text.data(), written.ptr - text.data()));
}

std::optional<double> parseNumber(StringView units) {
    std::array<char, 32> text{};
    if (units.empty() || units.size() > text.size())
        return std::nullopt;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] >= 0x80)
            return std::nullopt;
        text[i] = static_cast<char>(units[i]);
    }
    double value = 0;
    const char* end = text.data() + units.size();
    const auto read = std::from_chars(text.data(), end, value);
    if (read.ec != std::errc() || read.ptr != end)
        return std::nullopt;
    return value;
}

// The fields before the path, split off the front of `line`.
std::optional<StringView> nextField(StringView& line) {
    const size_t tab = line.find('\t');
    if (tab == StringView::npos)
        return std::nullopt;
    const StringView field = line.substr(0, tab);
    line.remove_prefix(tab + 1);
    return field;
}

std::optional<KeptLoudness> parseLine(StringView line) {
    const auto size = nextField(line);
    const auto modified = nextField(line);
    const auto lufs = nextField(line);
    const auto peak = nextField(line);
    if (!peak)
        return std::nullopt;
    const std::optional<uint64_t> sizeValue = parseDigits(*size, kMostDigits);
    const std::optional<uint64_t> modifiedValue = parseDigits(*modified, kMostDigits);
    const std::optional<double> lufsValue = parseNumber(*lufs);
    const std::optional<double> peakValue = parseNumber(*peak);
    if (!sizeValue || !modifiedValue || !lufsValue || !peakValue ||
        *modifiedValue > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ||
        !keepablePath(line))
        return std::nullopt;
    KeptLoudness kept{String(line), *sizeValue, static_cast<int64_t>(*modifiedValue),
                      MeasuredLoudness{*lufsValue, *peakValue}};
    if (!keepable(kept.size, kept.modified, kept.loudness))
        return std::nullopt;
    return kept;
}

}  // namespace

LoudnessCache::LoudnessCache(const LoudnessCache& other) : entries_(other.entries_) {
    reindex();
}

LoudnessCache& LoudnessCache::operator=(const LoudnessCache& other) {
    if (this != &other) {
        entries_ = other.entries_;
        reindex();
    }
    return *this;
}

void LoudnessCache::reindex() {
    index_.clear();
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry)
        index_.emplace(entry->path, entry);
}

std::optional<MeasuredLoudness> LoudnessCache::find(StringView path, uint64_t size,
                                                    int64_t modified) const {
    const auto found = index_.find(path);
    if (found == index_.end() || found->second->size != size || found->second->modified != modified)
        return std::nullopt;
    return found->second->loudness;
}

bool LoudnessCache::keep(StringView path, uint64_t size, int64_t modified,
                         MeasuredLoudness loudness) {
    if (!keepablePath(path) || !keepable(size, modified, loudness))
        return false;
    if (const auto found = index_.find(path); found != index_.end()) {
        const auto entry = found->second;
        entry->size = size;
        entry->modified = modified;
        entry->loudness = loudness;
        entries_.splice(entries_.begin(), entries_, entry);
        return true;
    }
    entries_.push_front(KeptLoudness{String(path), size, modified, loudness});
    index_.emplace(entries_.front().path, entries_.begin());
    if (entries_.size() > kKeptLoudnesses) {
        index_.erase(entries_.back().path);
        entries_.pop_back();
    }
    return true;
}

bool LoudnessCache::operator==(const LoudnessCache& other) const {
    return std::equal(entries_.begin(), entries_.end(), other.entries_.begin(),
                      other.entries_.end(), [](const KeptLoudness& a, const KeptLoudness& b) {
                          return a.path == b.path && a.size == b.size && a.modified == b.modified &&
                                 a.loudness.lufs == b.loudness.lufs &&
                                 a.loudness.peak == b.loudness.peak;
                      });
}

std::string formatLoudnessFile(const LoudnessCache& cache) {
    std::vector<String> lines;
    lines.reserve(cache.entries().size());
    for (const KeptLoudness& entry : cache.entries()) {
        lines.push_back(asciiUnits(std::to_string(entry.size)) + ZT('\t') +
                        asciiUnits(std::to_string(entry.modified)) + ZT('\t') +
                        numberUnits(entry.loudness.lufs) + ZT('\t') +
                        numberUnits(entry.loudness.peak) + ZT('\t') + entry.path);
    }
    return formatKeptFile(kHeader, lines);
}

std::optional<LoudnessCache> parseLoudnessFile(std::string_view bytes) {
    const std::optional<std::vector<String>> lines = parseKeptFile(bytes, kHeader);
    if (!lines)
        return std::nullopt;
    std::vector<KeptLoudness> read;
    read.reserve(std::min(lines->size(), kKeptLoudnesses));
    for (const StringView line : *lines) {
        std::optional<KeptLoudness> entry = parseLine(line);
        if (!entry)
            return std::nullopt;
        // Lines beyond the limit are checked but let go.
        if (read.size() < kKeptLoudnesses)
            read.push_back(std::move(*entry));
    }
    // Kept oldest first, so the most recent line of a path wins.
    LoudnessCache cache;
    for (auto entry = read.rbegin(); entry != read.rend(); ++entry)
        cache.keep(entry->path, entry->size, entry->modified, entry->loudness);
    return cache;
}

String loudnessFilePath(StringView programPath) {
    return replaceExtension(programPath, ZT(".loudness"));
}

LoudnessCache readLoudnessFile(StringView filePath) {
    const std::optional<std::string> bytes = readWholeFile(filePath, kMostFileBytes);
    return bytes ? parseLoudnessFile(*bytes).value_or(LoudnessCache{}) : LoudnessCache{};
}

}  // namespace zav2
