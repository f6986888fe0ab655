// The list fuzz targets read real files: a scratch folder with a few empty
// media files, made on first use and removed at exit.
#pragma once

#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "scratch_folder.h"

namespace zav2::fuzz {

class MediaFolder : public test::ScratchFolder {
  public:
    explicit MediaFolder(const std::string& name) : ScratchFolder("fuzz-" + name) {
        std::filesystem::create_directories(root() / "sub" / "deep");
        for (const char* file : {"a.mp3", "#1 intro.mp3", "ab", "sub/b.mp3", "sub/deep/c.ogg"})
            write(file, "");
    }
};

// The folder is the working directory for the life of this (links in search
// lists are taken from there); the fuzzer's own relative paths need the old
// one back afterwards.
class Inside {
  public:
    explicit Inside(const test::ScratchFolder& folder) : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder.root());
    }
    ~Inside() { std::filesystem::current_path(before_); }
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;

  private:
    std::filesystem::path before_;
};

}  // namespace zav2::fuzz
