// The rules behind the commands, as plain values: which commands wait for a
// list, how far the seek keys move, the rate ladder, the volume and font
// keys, the toggles, the mode cycle and the latch of the two menu buttons.
// The Windows dispatcher reads and writes the controls around them.
#pragma once

#include <cstdint>
#include <optional>

namespace zav2 {

// Icons of the list button.
constexpr int kListHiddenIcon = 112;
constexpr int kListFullIcon = 113;
constexpr int kListLeftIcon = 127;
constexpr int kListRightIcon = 128;

// The list button's icon for the list pane's state.
int listToggleIcon(int listWidth, bool listFillsWindow, bool leftList);

// What a command needs before it acts.
enum class CommandGuard {
    None,
    List,            // a non-empty list
    ListAndCurrent,  // a non-empty list with a current entry
};
bool guardAllows(CommandGuard guard, bool listEmpty, int current);

// Seek keys: how many seconds, which way.
struct SeekStep {
    int seconds = 0;
    bool forward = true;
};
std::optional<SeekStep> seekStepOf(int commandId);

// While playing: the whole second to seek to from `position` (rounded up to
// whole seconds first), or nothing when a forward step would reach the last
// second. A step back stops at 0.
std::optional<int> relativeSeekTarget(double position, unsigned durationSeconds, SeekStep step);

// While paused: whether a single-frame step may go. Forward needs a whole
// frame before the end (an unknown frame rate allows none); back needs a
// position after the start.
bool frameStepAllowed(double position, double duration, double frameRate, bool forward);

// Keypad digit jumps: tenths of the duration (fractional seconds); nothing
// when the duration is unknown or unbounded.
std::optional<int> percentTenthsOf(int commandId);
std::optional<double> percentJumpTarget(double duration, int tenths);

// Playback rate in thousandths: 125, 250, 500, 1000, 2000, ..., 10000.
inline constexpr int kNormalRate = 1000;
int fasterRate(int rate);
int slowerRate(int rate);

// Page Up / Page Down on the volume slider's 0 ... 100 scale.
int sliderAfterPageKey(int sliderPosition, bool up);

// Anything other than 1 becomes 1; 1 becomes 0.
int toggledFlag(int flag);

// ORDER -> RANDOM -> SINGLE -> ONE -> ORDER; an unknown mode starts over.
int nextPlayMode(int mode);

// The keypad font keys: the new size in points, or nothing when it stays.
// * sets 9, + grows by 1, - shrinks by 1 down to 6.
enum class FontSizeKey { Reset, Larger, Smaller };
std::optional<int> fontSizeAfterKey(FontSizeKey key, int points);

// One latch for the open and play-mode buttons: a click while it is set only
// clears it, so a click on the button of an open menu closes that menu. The
// menu's closing notification and its commands clear it too.
class ButtonMenuLatch {
  public:
    // True when the click should show the menu; then call `menuShown` after
    // the menu has closed.
    bool press() {
        if (!latched) {
            return true;
        }
        latched = false;
        return false;
    }
    void menuShown() { latched = true; }
    void clear() { latched = false; }
    bool isSet() const { return latched; }

  private:
    bool latched = false;
};

// The list button: hidden -> full width, full width -> hidden, any other
// width stays; its icon follows.
struct ListButtonState {
    int listWidth = 0;
    bool fillsWindow = false;
    int icon = 0;
};
ListButtonState pressListButton(int listWidth, int fullWidth, bool leftList);

// The volume slider's wheel runs the other way and three times as far: the
// wheel word of the message's wParam becomes -3 x delta, clamped to 16 bits
// so a large delta cannot wrap round and reverse; the key flags stay.
uint64_t reversedWheelWParam(uint64_t wParam);

}  // namespace zav2

namespace zav2 {

// The size the font dialog confirms for a font `height` pixels high (negative
// for a character height) at `dpi`: points, rounded half up, truncated.
int fontPointsFromHeight(int height, int dpi);

}  // namespace zav2
