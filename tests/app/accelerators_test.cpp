#include "app/accelerators.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace zav2 {
namespace {

TEST(Accelerators, EachKeyAndModifierOnce) {
    const auto table = acceleratorTable();
    std::set<std::pair<int, int>> seen;
    for (const Accelerator& entry : table) {
        EXPECT_TRUE(seen.insert({entry.virtualKey, entry.modifiers}).second)
            << "key " << entry.virtualKey << " modifiers " << int(entry.modifiers);
    }
}

}  // namespace
}  // namespace zav2
