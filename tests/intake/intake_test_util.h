// Real temporary folders for the intake tests, with media files that carry an
// ID3v1 title when asked.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../playlist/playlist_test_util.h"
#include "platform/path.h"

namespace zav2::test {

inline String toText(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return path.u16string();
#endif
}

// A fresh folder removed with everything in it at the end of the test.
class TempFolder {
  public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                (std::string("zav2-intake-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The path of a relative name ("a/b.mp3") as the program spells it.
    String path(const std::string& relative = {}) const {
        std::filesystem::path out = root_;
        if (!relative.empty())
            out /= std::filesystem::path(relative).make_preferred();
        return toText(out.make_preferred());
    }

    void folder(const std::string& relative) const {
        std::filesystem::create_directories(root_ / relative);
    }

    // A file of some bytes; with a title, an MP3-like file ending in an ID3v1 tag.
    void file(const std::string& relative, const std::string& title = {}) const {
        const auto target = root_ / relative;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary);
        out << std::string(64, '\xFF');
        if (!title.empty()) {
            std::string tag(128, '\0');
            tag.replace(0, 3, "TAG");
            tag.replace(3, std::min<size_t>(title.size(), 30), title.substr(0, 30));
            tag[127] = static_cast<char>(255);
            out << tag;
        }
    }

    void textFile(const std::string& relative, const std::string& content) const {
        const auto target = root_ / relative;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << content;
    }

    // The UTF-8 spelling of a path, for list and search-list files.
    std::string utf8(const std::string& relative = {}) const { return utf16ToUtf8(path(relative)); }

  private:
    std::filesystem::path root_;
};

inline std::vector<String> texts(std::initializer_list<const char*> ascii) {
    std::vector<String> out;
    for (const char* name : ascii)
        out.push_back(text(name));
    return out;
}

}  // namespace zav2::test
