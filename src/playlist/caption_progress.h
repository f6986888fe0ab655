// "<text> (i/n)" progress in the main window's caption during long list work.
#pragma once

#include "playlist/playlist.h"

namespace zav2 {

// Caption texts the play list shows while it works.
inline constexpr const Char* kRebuildingCaption =
    ZT("\u30D7\u30EC\u30A4\u30EA\u30B9\u30C8\u4F5C\u6210\u4E2D...");  // プレイリスト作成中...
inline constexpr const Char* kSavingCaption =
    ZT("\u30D7\u30EC\u30A4\u30EA\u30B9\u30C8\u4FDD\u5B58\u4E2D...");  // プレイリスト保存中...
inline constexpr const Char* kEmptyCaption = ZT("Zav2");

// "<label> (<done>/<total>)".
String progressText(StringView label, int done, int total);

// Shows progressText for step i of n. Setting a top-level window's caption
// costs about 2 ms (measured under Wine), far more than the work per entry, so
// only about `updates` of the steps are shown: always the first and the last,
// with the same texts as when every step is.
class CaptionProgress {
  public:
    CaptionProgress(CaptionTarget& caption, StringView label, int total, int updates = 20);
    // Step `index` (0-based) of the total is being done.
    void step(int index);

  private:
    CaptionTarget& caption_;
    String label_;
    int total_;
    int stride_;
};

}  // namespace zav2
