// Helpers shared by the operations that remove many rows at once.
#pragma once

#include <vector>

#include "playlist/playlist.h"

namespace zav2 {

// Erases the entries at the given distinct ascending indices in one pass, so
// removing most of a long list does not shift its tail once per entry.
void eraseRows(std::vector<PlaylistEntry>& entries, const std::vector<int>& ascending);

}  // namespace zav2
