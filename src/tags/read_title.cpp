#include "tags/tags.h"

namespace zav2 {

String readTitle(StringView) {
    return {};
}

LyricsAndPicture readLyricsAndPicture(StringView) {
    return {};
}

std::optional<std::string> readPictureBytes(StringView, const EmbeddedPicture&) {
    return std::nullopt;
}

}  // namespace zav2
