#include "app/accelerators.h"

#include <array>

namespace zav2 {

namespace {

constexpr uint8_t kCtrlShift = kCtrl | kShift;

constexpr std::array<Accelerator, 60> kTable = {{
    {vk::kDown, kNoModifier, 1008},
    {vk::kUp, kNoModifier, 1007},
    {vk::kReturn, kNoModifier, 13},
    {vk::kSpace, kNoModifier, 1004},
    {vk::kEscape, kNoModifier, 27},
    {vk::kDown, kCtrl, 2000},
    {vk::kUp, kCtrl, 2100},
    {vk::kDelete, kNoModifier, 1500},
    {'A', kCtrl, 2800},
    {'S', kCtrl, 1600},
    {vk::kAdd, kNoModifier, 107},
    {vk::kSubtract, kNoModifier, 109},
    {vk::kMultiply, kNoModifier, 106},
    {vk::kTab, kNoModifier, 3700},
    {vk::kDecimal, kNoModifier, 3700},
    {vk::kBack, kNoModifier, 4000},
    {vk::kRight, kNoModifier, 4100},
    {vk::kRight, kCtrl, 4300},
    {vk::kRight, kShift, 4200},
    {vk::kRight, kCtrlShift, 5000},
    {vk::kNumpad0 + 0, kNoModifier, 41000},
    {vk::kNumpad0 + 1, kNoModifier, 41001},
    {vk::kNumpad0 + 2, kNoModifier, 41002},
    {vk::kNumpad0 + 3, kNoModifier, 41003},
    {vk::kNumpad0 + 4, kNoModifier, 41004},
    {vk::kNumpad0 + 5, kNoModifier, 41005},
    {vk::kNumpad0 + 6, kNoModifier, 41006},
    {vk::kNumpad0 + 7, kNoModifier, 41007},
    {vk::kNumpad0 + 8, kNoModifier, 41008},
    {vk::kNumpad0 + 9, kNoModifier, 41009},
    {vk::kLeft, kNoModifier, 4400},
    {vk::kLeft, kCtrl, 4600},
    {vk::kLeft, kShift, 4500},
    {vk::kLeft, kCtrlShift, 5100},
    {vk::kPrior, kNoModifier, 33},
    {vk::kNext, kNoModifier, 34},
    {vk::kHome, kNoModifier, 36},
    {vk::kEnd, kNoModifier, 35},
    {vk::kInsert, kNoModifier, 45},
    {vk::kInsert, kShift, 1100},
    {vk::kInsert, kCtrl, 1200},
    {vk::kF10, kNoModifier, 4700},
    {'G', kCtrl, 4700},
    {vk::kF2, kNoModifier, 4800},
    {'F', kCtrl, 4800},
    {vk::kF3, kNoModifier, 4900},
    {'T', kCtrl, 4900},
    {vk::kF5, kNoModifier, 40014},
    {'R', kCtrl, 40014},
    {vk::kF12, kNoModifier, 40019},
    {'W', kCtrl, 40019},
    {vk::kF11, kNoModifier, 40021},
    {'Q', kCtrl, 40021},
    {'C', kCtrl, 40023},
    {'X', kCtrl, 40024},
    {'R', kNoModifier, 40025},
    {'S', kNoModifier, 2900},
    {vk::kF7, kNoModifier, 41011},
    {vk::kF8, kNoModifier, 41010},
    {vk::kF9, kNoModifier, 41012},
}};

}  // namespace

std::span<const Accelerator> acceleratorTable() {
    return kTable;
}

}  // namespace zav2
