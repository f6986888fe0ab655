#include "describe.h"

#include "platform/file.h"
#include "platform/path.h"
#include "tags/tags.h"

namespace zav2 {

namespace {

// Tabs and line ends inside a title would break the one-line format.
std::string oneLine(StringView text) {
    std::string out = utf16ToUtf8(text);
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

}  // namespace

std::string describeFile(StringView path) {
    const String title = readTitle(path);
    const char* source = "(tag)";
    String shown = title;
    if (title.empty()) {
        shown = String(fileName(path));
        source = isDirectory(path) || !pathExists(path) ? "(missing)" : "(file name)";
    }
    const LyricsAndPicture found = readLyricsAndPicture(path);
    std::string line = oneLine(path) + '\t' + oneLine(shown) + '\t' + source + "\tlyrics: ";
    line += found.lyrics ? std::to_string(found.lyrics->size()) + " chars" : "none";
    line += "\tpicture: ";
    line += found.picture ? std::to_string(found.picture->length) + " bytes" : "none";
    return line;
}

}  // namespace zav2
