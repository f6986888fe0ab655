// FileReader implementations the readers' tests, fuzz targets and benchmarks
// use: bytes held in memory, and a wrapper that counts what was read.
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

class CountingFile final : public FileReader {
  public:
    explicit CountingFile(FileReader& file) : file_(file) {}
    uint64_t size() const override { return file_.size(); }
    size_t readAt(uint64_t offset, void* buffer, size_t count) override;
    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t reads() const { return reads_; }

  private:
    FileReader& file_;
    uint64_t bytesRead_ = 0;
    uint64_t reads_ = 0;
};

}  // namespace zav2
