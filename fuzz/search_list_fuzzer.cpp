// Search lists with their links: the input is cut at "\n==\n" into "s.zav"
// (opened), "t.zav" and "l.m3u8", which links may name by their relative
// paths, beside a few media files.
#include <string_view>

#include "platform/file.h"
#include "playlist/intake.h"
#include "scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    static const fuzz::ScratchFolder folder("zav");
    const fuzz::ScratchFolder::Inside inside(folder);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"s.zav", "t.zav", "l.m3u8"}) {
        const size_t cut = rest.find("\n==\n");
        folder.write(name, rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 4);
    }

    Playlist playlist;
    String currentFolder;
    IntakeSettings settings;
    settings.searchSubFolders = size & 1;
    settings.ignoreDir = ZT("deep");
    openPath(playlist, currentFolder, folder.path("s.zav"), PathChosenBy::FileDialog, settings, {},
             false);
    fuzz::check(playlist.current >= (playlist.empty() ? -1 : 0));
    fuzz::check(playlist.current <= playlist.lastIndex());
    for (const PlaylistEntry& entry : playlist.entries)
        fuzz::check(pathExists(entry.path) && !isListFile(entry.path));
    return 0;
}
