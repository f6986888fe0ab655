// What the controls of the main window are called. An icon button does not
// draw its text, so the text can carry the button's name for a screen
// reader; its tooltip shows the same name with the button's key. The
// play-mode, top-most and list buttons name the state their icon shows.
#pragma once

#include <optional>

#include "platform/text.h"

namespace zav2 {

struct ButtonName {
    StringView name;
    StringView key;  // empty: the button has no key of its own
};

// The name of icon button `buttonId` (resource ids) while it shows icon
// `iconId`; nothing for a button or icon it does not know.
std::optional<ButtonName> iconButtonName(int buttonId, int iconId);

// "name (key)", or the name alone.
String tooltipText(const ButtonName& button);

// The two sliders, which show no text of their own.
inline constexpr StringView kSeekBarName = ZT("再生位置");
inline constexpr StringView kVolumeSliderName = ZT("音量");

}  // namespace zav2
