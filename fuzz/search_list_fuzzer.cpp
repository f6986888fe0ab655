// Search lists with their links: the input is cut at "\n==\n" into "s.zav"
// (opened), "t.zav" and "l.m3u8", which links may name by their relative
// paths, beside a few media files.
#include <string_view>

#include "platform/file.h"
#include "playlist/intake.h"
#include "media_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    static const fuzz::MediaFolder folder("zav");
    const fuzz::Inside inside(folder);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    // The real file system stands in for the user's: a list that reaches a
    // root or climbs out of the scratch folder would search the whole machine.
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    if (rest.starts_with('/') || rest.starts_with('\\') ||
        rest.find("\n/") != std::string_view::npos || rest.find("\n\\") != std::string_view::npos ||
        rest.find("..") != std::string_view::npos)
        return 0;
    rest = std::string_view(reinterpret_cast<const char*>(data), size);
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
    // Links may lead out of the scratch folder ("..", "/tmp"), where other
    // programs' files come and go: only the scratch folder's entries must exist.
    const String root = folder.path("");
    // A list may name any existing file, list files too.
    for (const PlaylistEntry& entry : playlist.entries) {
        fuzz::check(entry.path.compare(0, root.size(), root) != 0 || pathExists(entry.path));
    }
    return 0;
}
