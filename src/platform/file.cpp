#include "platform/file.h"

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

}  // namespace zav2
