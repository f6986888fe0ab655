// readTitle and the path-taking entry points: the reader is chosen by
// extension before the file is opened, so each file is opened at most once.
#include "platform/path.h"
#include "tags/readers.h"
#include "tags/tags.h"

namespace zav2 {

TitleReader titleReaderFor(StringView extension) {
    struct Choice {
        const Char* extension;
        TitleReader reader;
    };
    static constexpr Choice kChoices[] = {
        {ZT(".mp3"), readId3Title},  {ZT(".wma"), readAsfTitle}, {ZT(".flac"), readFlacTitle},
        {ZT(".fla"), readFlacTitle}, {ZT(".ra"), readRealTitle}, {ZT(".rm"), readRealTitle},
        {ZT(".ogg"), readOggTitle},  {ZT(".m4a"), readMp4Title},
    };
    for (const Choice& choice : kChoices) {
        if (equalsIgnoreCase(extension, choice.extension))
            return choice.reader;
    }
    return nullptr;
}

TitleReader gainReaderFor(StringView extension) {
    if (equalsIgnoreCase(extension, ZT(".oga")) || equalsIgnoreCase(extension, ZT(".opus")))
        return readOggTitle;
    return titleReaderFor(extension);
}

String readTitle(StringView path) {
    const TitleReader reader = titleReaderFor(extension(path));
    if (!reader)
        return {};
    const auto file = FileReader::open(path);
    return file ? reader(*file, nullptr) : String();
}

TitleAndGain readTitleAndGain(StringView path) {
    const TitleReader reader = gainReaderFor(extension(path));
    if (!reader)
        return {};
    const auto file = FileReader::open(path);
    if (!file)
        return {};
    TitleAndGain result;
    result.title = reader(*file, &result.gain);
    if (!titleReaderFor(extension(path)))
        result.title.clear();
    return result;
}

LyricsAndPicture readLyricsAndPicture(StringView path) {
    if (!equalsIgnoreCase(extension(path), ZT(".mp3")))
        return {};
    const auto file = FileReader::open(path);
    return file ? readLyricsAndPicture(*file) : LyricsAndPicture();
}

std::optional<std::string> readPictureBytes(StringView path, const EmbeddedPicture& picture) {
    const auto file = FileReader::open(path);
    return file ? readPictureBytes(*file, picture) : std::nullopt;
}

}  // namespace zav2
