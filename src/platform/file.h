// File-system access the portable code needs: existence, folder listing,
// bounded reads at offsets, and whole-file writes that never leave a half
// written file in place.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace zav2 {

bool pathExists(StringView path);
bool isDirectory(StringView path);

struct FolderItem {
    String name;  // file name only
    bool isFolder = false;
};
// The items of a folder without "." and "..", in the order the file system
// gives; empty when the folder cannot be read.
std::vector<FolderItem> listFolder(StringView folder);

// A file opened for reading. Reads never go past the end of the file.
class FileReader {
  public:
    static std::unique_ptr<FileReader> open(StringView path);
    virtual ~FileReader() = default;
    virtual uint64_t size() const = 0;
    // Reads up to `count` bytes at `offset`; returns how many were read.
    virtual size_t readAt(uint64_t offset, void* buffer, size_t count) = 0;
    // Reads exactly [offset, offset + count) or returns nullopt; count is
    // checked against the file size first, so a size field from the file can
    // never cause a large allocation.
    std::optional<std::string> readExact(uint64_t offset, uint64_t count);
};

// Whole small file (lists, texts); nullopt when missing or larger than limit.
std::optional<std::string> readWholeFile(StringView path, uint64_t limit);

// Writes the bytes to a temporary file beside `path` and moves it into place,
// so a failure leaves the old file as it was. Returns false on failure.
// The temporary file gets a name of its own (see temporaryPathBeside) and is
// removed when the write fails.
bool writeFileReplacing(StringView path, std::string_view bytes);

// A short name in the same folder as `path` for the temporary file of a
// replacing write: "~zav2-<hex>.tmp", different for every attempt. The caller
// creates it exclusively and takes the next attempt when the name is taken,
// so a user's own file is never overwritten.
String temporaryPathBeside(StringView path, uint32_t attempt);

}  // namespace zav2
