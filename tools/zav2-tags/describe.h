// One line about one file: the title the play list would show, where it came
// from, and the embedded lyrics and picture the text panel would find.
#pragma once

#include <string>

#include "platform/text.h"

namespace zav2 {

// "path<TAB>shown title<TAB>(tag)|(file name)|(missing)<TAB>lyrics: N chars|none
// <TAB>picture: N bytes|none", in UTF-8, without a line end.
std::string describeFile(StringView path);

}  // namespace zav2
