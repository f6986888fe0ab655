// Shared helpers for the play-list tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_list_box.h"
#include "platform/path.h"
#include "playlist/playlist.h"

namespace zav2::test {

// "D:\m\<name>" for each name, no titles.
inline Playlist makePlaylist(const std::vector<String>& names, int current = 0) {
    Playlist playlist;
    for (const String& name : names)
        appendEntry(playlist, ZT("D:\\m\\") + name, {});
    playlist.current = names.empty() ? -1 : current;
    return playlist;
}

inline std::vector<String> namesOf(const Playlist& playlist) {
    std::vector<String> names;
    for (const PlaylistEntry& entry : playlist.entries)
        names.emplace_back(fileName(entry.path));
    return names;
}

inline String text(const char* ascii) {
    return String(ascii, ascii + std::char_traits<char>::length(ascii));
}

// The invariants every operation keeps: one row per entry showing it,
// current within the list.
inline void expectAligned(const Playlist& playlist, const ListBoxMirror& listBox,
                          bool noExt = false) {
    ASSERT_EQ(static_cast<size_t>(listBox.count()), playlist.entries.size());
    EXPECT_EQ(playlist.lastIndex(), static_cast<int>(playlist.entries.size()) - 1);
    for (size_t i = 0; i < playlist.entries.size(); ++i)
        EXPECT_EQ(listBox.text(static_cast<int>(i)), displayText(playlist.entries[i], noExt))
            << "row " << i;
    if (const auto* memory = dynamic_cast<const MemoryListBox*>(&listBox)) {
        EXPECT_EQ(memory->redrawDepth(), 0) << "painting left off";
    }
    if (playlist.empty()) {
        EXPECT_EQ(playlist.current, -1);
    } else {
        EXPECT_GE(playlist.current, 0);
        EXPECT_LE(playlist.current, playlist.lastIndex());
    }
}

}  // namespace zav2::test
