#include "app/accelerators.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

namespace zav2 {
namespace {

TEST(Accelerators, SixtyEntriesEachKeyAndModifierOnce) {
    const auto table = acceleratorTable();
    ASSERT_EQ(table.size(), 60u);
    std::set<std::pair<int, int>> seen;
    for (const Accelerator& entry : table) {
        EXPECT_TRUE(seen.insert({entry.virtualKey, entry.modifiers}).second)
            << "key " << entry.virtualKey << " modifiers " << int(entry.modifiers);
    }
}

TEST(Accelerators, ModifiersTellCommandsApart) {
    std::map<std::pair<int, int>, int> command;
    for (const Accelerator& entry : acceleratorTable()) {
        command[{entry.virtualKey, entry.modifiers}] = entry.command;
    }
    EXPECT_EQ((command[{'R', kNoModifier}]), 40025);
    EXPECT_EQ((command[{'R', kCtrl}]), 40014);
    EXPECT_EQ((command[{'S', kNoModifier}]), 2900);
    EXPECT_EQ((command[{'S', kCtrl}]), 1600);
    EXPECT_EQ((command[{vk::kRight, kNoModifier}]), 4100);
    EXPECT_EQ((command[{vk::kRight, kShift}]), 4200);
    EXPECT_EQ((command[{vk::kRight, kCtrl}]), 4300);
    EXPECT_EQ((command[{vk::kRight, kCtrl | kShift}]), 5000);
    EXPECT_EQ((command[{vk::kLeft, kCtrl | kShift}]), 5100);
    EXPECT_EQ((command[{vk::kInsert, kShift}]), 1100);
    EXPECT_EQ((command[{vk::kInsert, kCtrl}]), 1200);
    EXPECT_EQ((command[{vk::kEscape, kNoModifier}]), 27);
    for (int digit = 0; digit < 10; ++digit) {
        EXPECT_EQ((command[{vk::kNumpad0 + digit, kNoModifier}]), 41000 + digit);
    }
}

}  // namespace
}  // namespace zav2
