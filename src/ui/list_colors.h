// Colours of the owner-drawn play list (COLORREF values, 0x00BBGGRR).
#pragma once

#include <cstdint>

namespace zav2 {

struct ListColors {
    uint32_t background;
    uint32_t text;
};

inline constexpr uint32_t kSelectedRowBackground = 0xFF8000;  // RGB(0, 128, 255)
inline constexpr uint32_t kSelectedRowText = 0xFFFFFF;

inline constexpr ListColors listColors(bool darkMode) {
    return darkMode ? ListColors{0x404040, 0xFFFFFF} : ListColors{0xFFFFFF, 0x000000};
}

}  // namespace zav2
