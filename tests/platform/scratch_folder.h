// A folder of its own under the temporary folder for tests and fuzz targets
// that need real files, removed with everything in it.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace zav2::test {

class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name)
        : root_(std::filesystem::temp_directory_path() /
                ("zav2-" + name + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
        std::filesystem::create_directories(root_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // The path of a relative name ("a/b.mp3") as the program spells it.
    String path(std::string_view name = {}) const {
        std::filesystem::path out = root_;
        if (!name.empty())
            out /= std::filesystem::path(name);
        out.make_preferred();
#ifdef _WIN32
        return out.wstring();
#else
        return out.u16string();
#endif
    }
    // Writes the bytes to the file of that name, making its folders, and gives its path.
    String write(std::string_view name, std::string_view bytes) const {
        std::filesystem::create_directories((root_ / name).parent_path());
        std::ofstream(root_ / name, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }

  private:
    std::filesystem::path root_;
};

// UTF-16LE text with its byte order mark, as the program writes its own files.
inline std::string utf16leFile(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace zav2::test
