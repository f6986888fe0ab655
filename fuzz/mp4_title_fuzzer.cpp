#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return zav2::fuzz::title(zav2::readMp4Title, data, size);
}
