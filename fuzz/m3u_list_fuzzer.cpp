// A play list read from a file: the first byte chooses the name (".m3u" read
// in the ANSI code page, ".m3u8" in UTF-8); byte order marks override it.
// The rest of the byte sets the size of the pieces a second read decodes at a
// time: it must read what one piece reads.
#include "platform/file.h"
#include "playlist/playlist_file.h"
#include "media_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    static const fuzz::MediaFolder folder("m3u");
    if (size == 0)
        return 0;
    const char* name = data[0] & 1 ? "l.m3u" : "l.m3u8";
    folder.write(name, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    Playlist playlist;
    appendEntry(playlist, ZT("kept"), {});
    int count = 0;
    readPlaylistFile(playlist, folder.path(name), folder.path(""), 1, count, nullptr, false);
    fuzz::check(count == static_cast<int>(playlist.entries.size()) - 1);
    fuzz::check(playlist.entries[0].path == ZT("kept"));
    for (size_t i = 1; i < playlist.entries.size(); ++i) {
        const PlaylistEntry& entry = playlist.entries[i];
        fuzz::check(pathExists(entry.path) && entry.path.find(Char{0}) == String::npos);
        fuzz::check(entry.title.find('\n') == String::npos);
    }
    Playlist pieces;
    ListFileRead read(folder.path(name), folder.path(""), (data[0] >> 1) + 1u);
    while (!read.step(pieces, [] { return false; })) {
    }
    fuzz::check(pieces.entries.size() + 1 == playlist.entries.size());
    for (size_t i = 0; i < pieces.entries.size(); ++i)
        fuzz::check(pieces.entries[i].path == playlist.entries[i + 1].path &&
                    pieces.entries[i].title == playlist.entries[i + 1].title);
    return 0;
}
