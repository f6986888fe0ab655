#include "tags/window_reader.h"

#include <algorithm>

namespace zav2 {

std::string_view WindowReader::read(uint64_t offset, size_t count, size_t readAhead) {
    if (offset >= size_)
        return {};
    if (count > size_ - offset)
        count = static_cast<size_t>(size_ - offset);
    if (offset >= windowStart_ && offset - windowStart_ <= window_.size() &&
        count <= window_.size() - (offset - windowStart_)) {
        return std::string_view(window_).substr(static_cast<size_t>(offset - windowStart_), count);
    }
    if (count <= kWindowSize) {
        const size_t fill = std::max(count, std::min(readAhead, kWindowSize));
        const uint64_t left = size_ - offset;
        window_.resize(left < fill ? static_cast<size_t>(left) : fill);
        window_.resize(file_.readAt(offset, window_.data(), window_.size()));
        windowStart_ = offset;
        return std::string_view(window_).substr(0, count < window_.size() ? count : window_.size());
    }
    // count is already bounded by the file size.
    large_.resize(count);
    large_.resize(file_.readAt(offset, large_.data(), large_.size()));
    return large_;
}

}  // namespace zav2
