// The format readers behind readTitle and readLyricsAndPicture, over any
// FileReader so they can be tested, fuzzed and measured on bytes in memory.
// Each checks its format's signature itself.
#pragma once

#include <string_view>

#include "platform/file.h"
#include "tags/tags.h"

namespace zav2 {

// With `gain` null a reader stops at the title; otherwise it walks on through
// the tag structure that holds the title and fills in the gain fields found.
String readId3Title(FileReader& file, ReplayGainTags* gain);
String readAsfTitle(FileReader& file, ReplayGainTags* gain);
String readFlacTitle(FileReader& file, ReplayGainTags* gain);
String readRealTitle(FileReader& file, ReplayGainTags* gain);  // no gain fields
String readOggTitle(FileReader& file, ReplayGainTags* gain);
String readMp4Title(FileReader& file, ReplayGainTags* gain);

// The reader readTitle uses for an extension (".mp3" ...), or nullptr.
using TitleReader = String (*)(FileReader&, ReplayGainTags*);
TitleReader titleReaderFor(StringView extension);
// The reader readTitleAndGain uses: titleReaderFor's, and the Ogg reader for
// ".oga" and ".opus", which have gains but no tag title.
TitleReader gainReaderFor(StringView extension);

// Lyrics and picture of the file's ID3v2 tag, whatever the file is called.
LyricsAndPicture readLyricsAndPicture(FileReader& file);
std::optional<std::string> readPictureBytes(FileReader& file, const EmbeddedPicture& picture);

// ID3v2 text in one of the frame encodings (0 ANSI, 1 UTF-16 with a mark,
// 2 UTF-16BE from version 2.4 on, 3 UTF-8), up to its first NUL.
String decodeId3Text(char encoding, std::string_view text, int version);

}  // namespace zav2
