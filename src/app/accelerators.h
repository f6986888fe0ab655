// The keyboard accelerators, as data: the Windows side turns them into an
// accelerator table, the tests check them without a window.
#pragma once

#include <cstdint>
#include <span>

namespace zav2 {

enum AcceleratorModifier : uint8_t { kNoModifier = 0, kShift = 1, kCtrl = 2 };

struct Accelerator {
    uint16_t virtualKey;
    uint8_t modifiers;  // AcceleratorModifier bits
    uint16_t command;
};

// Virtual-key codes used by the table (the Windows values, so the table is the
// same in both builds).
namespace vk {
inline constexpr uint16_t kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20,
                          kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25,
                          kUp = 0x26, kRight = 0x27, kDown = 0x28, kInsert = 0x2D, kDelete = 0x2E,
                          kNumpad0 = 0x60, kMultiply = 0x6A, kAdd = 0x6B, kSubtract = 0x6D,
                          kDecimal = 0x6E, kF2 = 0x71, kF3 = 0x72, kF5 = 0x74, kF7 = 0x76,
                          kF8 = 0x77, kF9 = 0x78, kF10 = 0x79, kF11 = 0x7A, kF12 = 0x7B;
}  // namespace vk

std::span<const Accelerator> acceleratorTable();

}  // namespace zav2
