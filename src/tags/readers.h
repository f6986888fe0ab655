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

// The text of an ID3v2 text frame's content (encoding byte first).
String decodeId3Text(std::string_view content, int version);

}  // namespace zav2
