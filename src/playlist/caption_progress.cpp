#include "playlist/caption_progress.h"

#include <string>

namespace zav2 {

namespace {
String decimal(int value) {
    const std::string digits = std::to_string(value);
    return String(digits.begin(), digits.end());
}
}  // namespace

String progressText(StringView label, int done, int total) {
    String out(label);
    out += ZT(" (");
    out += decimal(done);
    out += ZT("/");
    out += decimal(total);
    out += ZT(")");
    return out;
}

CaptionProgress::CaptionProgress(CaptionTarget& caption, StringView label, int total, int updates)
    : caption_(caption), label_(label), total_(total) {
    stride_ = updates > 0 && total > updates ? total / updates : 1;
}

void CaptionProgress::step(int index) {
    if (index == 0 || index == total_ - 1 || (index + 1) % stride_ == 0)
        caption_.setText(progressText(label_, index + 1, total_));
}

}  // namespace zav2
