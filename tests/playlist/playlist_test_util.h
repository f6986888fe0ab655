// Shared helpers for the play-list and intake tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "memory_list_box.h"
#include "platform/path.h"
#include "playlist/playlist.h"
#include "scratch_folder.h"

namespace zav2::test {

// "D:\m\<name>" (or `folder` and the name) for each name, no titles.
inline Playlist makePlaylist(const std::vector<String>& names, int current = 0,
                             const String& folder = ZT("D:\\m\\")) {
    Playlist playlist;
    for (const String& name : names)
        appendEntry(playlist, folder + name, {});
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

// Real files for the tests that read folders and lists: a fresh folder named
// after the test, removed with everything in it at the end of the test.
class TempFolder : public ScratchFolder {
  public:
    TempFolder() : ScratchFolder(testName()) {}

    // A file of some bytes; with a title, an MP3-like file ending in an ID3v1 tag.
    void file(const std::string& relative, const std::string& title = {}) const {
        std::string bytes(64, '\xFF');
        if (!title.empty()) {
            std::string tag(128, '\0');
            tag.replace(0, 3, "TAG");
            tag.replace(3, std::min<size_t>(title.size(), 30), title.substr(0, 30));
            tag[127] = static_cast<char>(255);
            bytes += tag;
        }
        write(relative, bytes);
    }

    // The UTF-8 spelling of a path, for list and search-list files.
    std::string utf8(const std::string& relative = {}) const { return utf16ToUtf8(path(relative)); }

  private:
    static std::string testName() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string("test-") + info->test_suite_name() + "-" + info->name();
    }
};

inline std::vector<String> texts(std::initializer_list<const char*> ascii) {
    std::vector<String> out;
    for (const char* name : ascii)
        out.push_back(text(name));
    return out;
}

}  // namespace zav2::test
