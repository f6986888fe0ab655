// The file name of a frame capture: "<media name>_MMM_SS_HH.bmp".
#pragma once

#include "platform/text.h"

namespace zav2 {

// The media file's name without extension, then minutes (at least three
// digits), seconds and hundredths of the position, truncated to the
// hundredth. A negative or non-finite position counts as 0.
String captureFileName(StringView mediaPath, double positionSeconds);

}  // namespace zav2
