#include "platform/file.h"

#include <chrono>

#include "platform/path.h"

namespace zav2 {

std::optional<std::string> FileReader::readExact(uint64_t offset, uint64_t count) {
    const uint64_t total = size();
    if (offset > total || count > total - offset)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(count), '\0');
    if (readAt(offset, bytes.data(), bytes.size()) != bytes.size())
        return std::nullopt;
    return bytes;
}

std::optional<std::string> readWholeFile(StringView path, uint64_t limit) {
    auto file = FileReader::open(path);
    if (!file || file->size() > limit)
        return std::nullopt;
    return file->readExact(0, file->size());
}

String temporaryPathBeside(StringView path, uint32_t attempt) {
    // Start somewhere new in every process so two instances rarely collide;
    // the exclusive creation settles any collision that remains.
    static const uint32_t start = static_cast<uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() * 2654435761u);
    uint32_t value = start + attempt * 0x9E3779B9u;
    Char digits[8];
    for (Char& digit : digits) {
        digit = ZT("0123456789abcdef")[value & 15];
        value >>= 4;
    }
    return combinePath(folderOf(path), ZT("~zav2-") + String(digits, 8) + ZT(".tmp"));
}

}  // namespace zav2
