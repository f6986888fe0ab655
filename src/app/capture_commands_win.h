// Commands 40019 and 40021: the current video frame, or picture 1 of an entry
// without video, into a BMP file in `CaptureDir` or onto the clipboard.
#pragma once

#include <windows.h>

#include <optional>

namespace zav2 {

struct MainWindow;

// Handled (true) or nullopt when the id is not a capture command.
std::optional<bool> dispatchCaptureCommand(MainWindow& state, WORD id);

}  // namespace zav2
