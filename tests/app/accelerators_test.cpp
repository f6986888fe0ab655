#include "app/accelerators.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace zav2 {
namespace {

// The keys users learn, each with the command it must give. Written with the
// platform's virtual-key numbers rather than the table's names, so a name
// bound to the wrong number is caught too.
TEST(Accelerators, EveryKeyGivesItsCommandAndNothingElseIsBound) {
    constexpr uint8_t none = kNoModifier, ctrl = kCtrl, shift = kShift, both = kCtrl | kShift;
    std::map<std::pair<int, int>, int> expected = {
        {{0x28, none}, 1008},  {{0x26, none}, 1007},  {{0x0D, none}, 13},    {{0x20, none}, 1004},
        {{0x1B, none}, 27},    {{0x28, ctrl}, 2000},  {{0x26, ctrl}, 2100},  {{0x2E, none}, 1500},
        {{'A', ctrl}, 2800},   {{'S', ctrl}, 1600},   {{0x6B, none}, 107},   {{0x6D, none}, 109},
        {{0x6A, none}, 106},   {{0x09, none}, 3700},  {{0x6E, none}, 3700},  {{0x08, none}, 4000},
        {{0x27, none}, 4100},  {{0x27, ctrl}, 4300},  {{0x27, shift}, 4200}, {{0x27, both}, 5000},
        {{0x25, none}, 4400},  {{0x25, ctrl}, 4600},  {{0x25, shift}, 4500}, {{0x25, both}, 5100},
        {{0x21, none}, 33},    {{0x22, none}, 34},    {{0x24, none}, 36},    {{0x23, none}, 35},
        {{0x2D, none}, 45},    {{0x2D, shift}, 1100}, {{0x2D, ctrl}, 1200},  {{0x79, none}, 4700},
        {{'G', ctrl}, 4700},   {{0x71, none}, 4800},  {{'F', ctrl}, 4800},   {{0x72, none}, 4900},
        {{'T', ctrl}, 4900},   {{0x74, none}, 40014}, {{'R', ctrl}, 40014},  {{0x7B, none}, 40019},
        {{'W', ctrl}, 40019},  {{0x7A, none}, 40021}, {{'Q', ctrl}, 40021},  {{'C', ctrl}, 40023},
        {{'X', ctrl}, 40024},  {{'R', none}, 40025},  {{'S', none}, 2900},   {{0x76, none}, 41011},
        {{0x77, none}, 41010}, {{0x78, none}, 41012},
    };
    for (int digit = 0; digit <= 9; ++digit)
        expected[{0x60 + digit, none}] = 41000 + digit;  // keypad digits

    std::map<std::pair<int, int>, int> bound;
    for (const Accelerator& entry : acceleratorTable()) {
        const bool fresh =
            bound.emplace(std::pair<int, int>(entry.virtualKey, entry.modifiers), entry.command)
                .second;
        EXPECT_TRUE(fresh) << "key " << entry.virtualKey << " modifiers " << int(entry.modifiers)
                           << " is bound twice";
    }
    for (const auto& [key, command] : expected) {
        const auto found = bound.find(key);
        if (found == bound.end())
            ADD_FAILURE() << "key " << key.first << " modifiers " << key.second << " is not bound";
        else
            EXPECT_EQ(found->second, command) << "key " << key.first << " modifiers " << key.second;
    }
    EXPECT_EQ(bound.size(), expected.size()) << "keys bound beyond the table";
}

}  // namespace
}  // namespace zav2
