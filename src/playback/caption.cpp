#include "playback/caption.h"

#include "platform/path.h"

namespace zav2 {

namespace {

String numberText(int value) {
    String text;
    for (char digit : std::to_string(value))
        text += static_cast<Char>(digit);
    return text;
}

}  // namespace

String displayTitle(StringView path, StringView title) {
    return String(title.empty() ? fileName(path) : title);
}

String captionWithRate(StringView title, int rate) {
    String factor;
    if (rate > 1000)
        factor = numberText(rate / 1000);
    else if (rate == 500)
        factor = ZT("0.5");
    else if (rate == 250)
        factor = ZT("0.25");
    else if (rate == 125)
        factor = ZT("0.125");
    String caption(title);
    if (!factor.empty())
        caption += ZT("【×") + factor + ZT("】");
    return caption;
}

}  // namespace zav2
