// Titles, lyrics and embedded pictures read from media files' own tags.
//
// Every function reads only the bytes it needs, never fails loudly and never
// trusts a size field: a missing, short, broken or hostile file simply has no
// title, no lyrics or no picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/text.h"

namespace zav2 {

// The title stored in the file's tags, chosen by extension (".mp3", ".wma",
// ".flac"/".fla", ".ra"/".rm", ".ogg", ".m4a"); empty when there is none.
// Other extensions (".mp4", ".wmv", ".wav" ...) never get a tag title.
String readTitle(StringView path);

// ReplayGain values stored in a file's tags, each present only when its text
// was a plain number: gains in dB towards the ReplayGain 2.0 reference
// (-18 LUFS), peaks as linear sample amplitude (1 is full scale). Whether a
// value is sensible is left to the gain rule that uses it.
struct ReplayGainTags {
    std::optional<double> trackGain;
    std::optional<double> trackPeak;
    std::optional<double> albumGain;
    std::optional<double> albumPeak;
    bool operator==(const ReplayGainTags&) const = default;
};

struct TitleAndGain {
    String title;  // as readTitle gives it
    ReplayGainTags gain;
};

// The title and, in the same walk, the ReplayGain fields: ID3v2 TXXX frames
// (".mp3"), Vorbis comments (".flac"/".fla", ".ogg"/".oga"), Opus R128 gains
// (".ogg"/".oga"/".opus"), MP4 freeform items (".m4a") and ASF extended
// content descriptors (".wma"). Costs a little more than readTitle, which
// stops at the title: call it when the gain is wanted.
TitleAndGain readTitleAndGain(StringView path);

// Where the image bytes of an embedded picture lie in the file. In an
// unsynchronised tag they still carry the inserted bytes; readPictureBytes
// removes them.
struct EmbeddedPicture {
    uint64_t start = 0;
    uint64_t length = 0;
    bool unsynchronised = false;
};

struct LyricsAndPicture {
    std::optional<String> lyrics;  // may be present and empty
    std::optional<EmbeddedPicture> picture;
};

// Lyrics (first USLT/ULT frame) and cover (first front-cover or untyped APIC
// frame, or the first PIC frame of a version 2.2 tag) of an ".mp3" file with an
// ID3v2 tag. Other extensions and files without an ID3v2 tag give nothing.
LyricsAndPicture readLyricsAndPicture(StringView path);

// The image bytes of a picture found by readLyricsAndPicture, ready for an
// image decoder; nullopt when the file cannot be read.
std::optional<std::string> readPictureBytes(StringView path, const EmbeddedPicture& picture);

}  // namespace zav2
