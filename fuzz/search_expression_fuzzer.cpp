// The filter and jump expression: the input's first line is the expression,
// every further line an entry's title.
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"

#include "memory_list_box.h"
#include "playlist/playlist_order.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    using fuzz::check;
    const String text = utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    const size_t firstEnd = std::min(text.find('\n'), text.size());
    const String expression = text.substr(0, firstEnd);

    Playlist playlist;
    MemoryListBox listBox;
    for (size_t start = firstEnd + 1; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        appendEntry(playlist, ZT("D:\\x.mp3"), text.substr(start, end - start));
        listBox.insert(listBox.count(), text.substr(start, end - start));
        start = end + 1;
    }
    playlist.current = playlist.lastIndex();

    const int32_t next = findNextMatch(playlist, playlist.current, expression);
    check(next >= -1 && next <= playlist.lastIndex() && (next == -1 || next != playlist.current));
    if (next >= 0)
        check(matchesExpression(matchText(playlist.entries[next]), expression));
    if (!hasSearchWords(expression))
        check(next == -1);

    size_t matching = 0;
    for (const PlaylistEntry& entry : playlist.entries)
        matching += matchesExpression(matchText(entry), expression);
    const size_t before = playlist.entries.size();
    filterPlaylist(playlist, listBox, expression);
    check(playlist.entries.size() == (hasSearchWords(expression) ? matching : before));
    check(listBox.count() == static_cast<int>(playlist.entries.size()));
    check(playlist.current >= (playlist.empty() ? -1 : 0) &&
          playlist.current <= playlist.lastIndex());
    return 0;
}
