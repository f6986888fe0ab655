// A folder of a few empty media files for the list fuzz targets, which read
// real files: made on first use, removed at exit. While an input runs it is
// the working directory (links in search lists are taken from there); the
// fuzzer's own relative paths need the old one back afterwards.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "platform/text.h"

namespace zav2::fuzz {

class ScratchFolder {
  public:
    explicit ScratchFolder(const char* name)
        : root_(std::filesystem::temp_directory_path() /
                (std::string("zav2-fuzz-") + name + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(root_ / "sub" / "deep");
        for (const char* file : {"a.mp3", "#1 intro.mp3", "ab", "sub/b.mp3", "sub/deep/c.ogg"})
            std::ofstream(root_ / file) << "";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    String path(const char* name) const { return utf8ToUtf16((root_ / name).string()); }
    void write(const char* name, std::string_view bytes) const {
        std::ofstream(root_ / name, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // The scratch folder is the working directory for the life of this.
    class Inside {
      public:
        explicit Inside(const ScratchFolder& folder) : before_(std::filesystem::current_path()) {
            std::filesystem::current_path(folder.root_);
        }
        ~Inside() { std::filesystem::current_path(before_); }
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

      private:
        std::filesystem::path before_;
    };

  private:
    std::filesystem::path root_;
};

}  // namespace zav2::fuzz
