// check() is every fuzz target's assertion: a failed one is a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace zav2::fuzz {

inline void check(bool holds) {
    if (!holds)
        std::abort();
}

}  // namespace zav2::fuzz
