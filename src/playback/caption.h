// The window caption while an entry plays: its title and the rate marker.
#pragma once

#include "platform/text.h"

namespace zav2 {

// The entry's title, else the file name of its path (extension kept).
String displayTitle(StringView path, StringView title);

// The title followed by a marker of the playback rate (thousandths):
// "【×2】" above normal speed (whole multiples), "【×0.5】", "【×0.25】",
// "【×0.125】" below; the title alone at 1000 and at any other rate.
String captionWithRate(StringView title, int rate);

}  // namespace zav2
