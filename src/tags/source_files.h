// A FileReader over bytes held in memory: the ID3 reader's resynchronised tag,
// and the readers' tests, fuzz targets and benchmarks.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace zav2 {

class MemoryFile final : public FileReader {
  public:
    explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
    uint64_t size() const override { return bytes_.size(); }
    size_t readAt(uint64_t offset, void* buffer, size_t count) override;

  private:
    std::string bytes_;
};

}  // namespace zav2
