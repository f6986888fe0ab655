#include "playlist/playlist_file.h"
#include "tags/tags.h"

namespace zav2 {

String playlistTitleFor(StringView path) {
    return readTitle(path);
}

}  // namespace zav2
