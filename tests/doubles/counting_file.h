// A FileReader wrapper that counts what a reader read, for the tests and
// benchmarks that check reads stay bounded.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace zav2 {

class CountingFile final : public FileReader {
  public:
    explicit CountingFile(FileReader& file) : file_(file) {}
    uint64_t size() const override { return file_.size(); }
    size_t readAt(uint64_t offset, void* buffer, size_t count) override {
        const size_t got = file_.readAt(offset, buffer, count);
        bytesRead_ += got;
        return got;
    }
    uint64_t bytesRead() const { return bytesRead_; }

  private:
    FileReader& file_;
    uint64_t bytesRead_ = 0;
};

}  // namespace zav2
