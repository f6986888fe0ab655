// Reads a file through one small window: walking many small structures costs
// one read per window, and jumping over large ones (pictures, audio) costs
// nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace zav2 {

class WindowReader {
  public:
    static constexpr size_t kWindowSize = 4096;

    explicit WindowReader(FileReader& file) : file_(file), size_(file.size()) {}
    WindowReader(const WindowReader&) = delete;
    WindowReader& operator=(const WindowReader&) = delete;

    uint64_t size() const { return size_; }
    // Up to `count` bytes at `offset`, fewer where the file ends. The view is
    // valid until the next call; copy what must outlive it. When the window
    // must move, at least `readAhead` bytes are read: less suits structures
    // spaced far apart, such as Ogg page headers.
    std::string_view read(uint64_t offset, size_t count, size_t readAhead = kWindowSize);

  private:
    FileReader& file_;
    uint64_t size_;
    std::string window_;
    uint64_t windowStart_ = 0;
    std::string large_;
};

}  // namespace zav2
