#include "tags/source_files.h"

#include <cstring>

namespace zav2 {

size_t MemoryFile::readAt(uint64_t offset, void* buffer, size_t count) {
    if (offset >= bytes_.size())
        return 0;
    const size_t available = bytes_.size() - static_cast<size_t>(offset);
    const size_t n = count < available ? count : available;
    if (n > 0)
        std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
}

}  // namespace zav2
