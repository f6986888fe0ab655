// The format readers behind readTitle and readLyricsAndPicture, over any
// FileReader so they can be tested, fuzzed and measured on bytes in memory.
// Each checks its format's signature itself.
#pragma once

#include <string_view>

#include "platform/file.h"
#include "tags/tags.h"

namespace zav2 {

String readId3Title(FileReader& file);
String readAsfTitle(FileReader& file);
String readFlacTitle(FileReader& file);
String readRealTitle(FileReader& file);
String readOggTitle(FileReader& file);
String readMp4Title(FileReader& file);

// The reader readTitle uses for an extension (".mp3" ...), or nullptr.
using TitleReader = String (*)(FileReader&);
TitleReader titleReaderFor(StringView extension);

// Lyrics and picture of the file's ID3v2 tag, whatever the file is called.
LyricsAndPicture readLyricsAndPicture(FileReader& file);
std::optional<std::string> readPictureBytes(FileReader& file, const EmbeddedPicture& picture);

// ID3v2 text in one of the frame encodings (0 ANSI, 1 UTF-16 with a mark,
// 2 UTF-16BE from version 2.4 on, 3 UTF-8), up to its first NUL.
String decodeId3Text(char encoding, std::string_view text, int version);

}  // namespace zav2
