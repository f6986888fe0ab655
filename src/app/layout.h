// Geometry of the main window: where the two panes and the right-hand
// controls go, how the window's size is limited and snapped, what a drag of
// the boundary between the panes means, and the display-mode cycle. Plain
// values in, plain values out; the Windows side only reads and moves windows.
#pragma once

#include "platform/dpi.h"

namespace zav2 {

// A rectangle as edges (the platform's RECT shape) ...
struct Edges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// ... and as a place for a child window (MoveWindow's shape).
struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Placement&) const = default;
};

// Fixed at start-up from what the dialog template produced, in pixels.
struct LayoutConstants {
    int margin = 0;        // panes' distance from the left, right and bottom edges
    int top = 0;           // y of the panes' top edge in the client area
    int minimumWidth = 0;  // narrowest window: just fits the transport buttons
    int initialWidth = 0;  // the template's window width
};

// `window` and `list` in screen coordinates, `client` from the client area;
// `modeButtonRight` is the play-mode button's right edge on the screen.
LayoutConstants layoutConstants(const Edges& window, const Edges& client, const Edges& list,
                                int modeButtonRight);

// The constants at another DPI: a window moved to a monitor of another DPI
// keeps the template's proportions.
LayoutConstants scaledConstants(const LayoutConstants& c, int fromDpi, int toDpi);

// A child window's place at another DPI, its position scaled with its size.
Placement scaledPlacement(const Placement& p, int fromDpi, int toDpi);

// What the window keeps in pixels of its DPI besides its controls: the size
// the settings file gets at exit (its height is read as rows at this DPI),
// the list's widths, and the rectangles the other display modes come back
// to. All of them follow a change of DPI together, or the window comes up
// at another height at every start on a monitor of another DPI.
struct KeptSizes {
    int width = 0;
    int height = 0;
    int listWidth = 0;
    int defaultListWidth = 0;
    Edges savedWindow;   // where maximised and full screen come back to
    Edges normalWindow;  // the same, as the full-screen mode keeps it
};
// The rectangles keep their corner on the screen; sizes scale.
KeptSizes scaledKeptSizes(const KeptSizes& kept, int fromDpi, int toDpi);

struct PaneLayout {
    int listWidth = 0;         // after clamping to the room there is
    int gap = 0;               // between the panes: only when both show
    bool fillsWindow = false;  // the list takes the whole width: its icon says so
    Placement list;
    Placement panel;
};

// The panes for a client area of `clientWidth` x `clientHeight`. `listWidth`
// is the wanted width; it is clamped, never stored back.
PaneLayout layOutPanes(const LayoutConstants& c, int clientWidth, int clientHeight, int listWidth,
                       bool leftList, bool listFillsWindow);

// Whether the top-most and list buttons and the time read-out show. They are
// hidden in a window between the minimum and the template width, unless a
// list refresh is pending.
bool showRightHandControls(const LayoutConstants& c, int clientWidth, bool refreshPending);

struct RightHandControls {
    Placement topMostButton;
    Placement listButton;
    Placement timeText;
    int seekBarWidth = 0;  // reaches the time read-out's left edge
};

// Stacks the two buttons at the top right and puts the time read-out left of
// the list button, centred in the strip between it and the panes.
RightHandControls placeRightHandControls(const LayoutConstants& c, int clientWidth,
                                         const Placement& topMostButton,
                                         const Placement& listButton, const Placement& timeText,
                                         const Placement& seekBar);

// A proposed window width between the minimum and the template width jumps
// to the nearer of the two (a tie to the template width).
int snapWindowWidth(const LayoutConstants& c, int proposedWidth);

struct ListWidths {
    int listWidth = 0;
    int defaultListWidth = 0;
    bool operator==(const ListWidths&) const = default;
};

// While the window is being sized: a list wider than the client's room is
// narrowed for good, its default width with it.
ListWidths shrinkListToClient(const LayoutConstants& c, int clientWidth, ListWidths widths);

// The pointer at (x, y) rests on the boundary: within 4 pixels of the
// right-hand pane's left edge and within its height (screen coordinates).
bool onPaneBoundary(const Edges& rightPane, int x, int y);

struct SplitterState {
    ListWidths widths;
    bool listFillsWindow = false;
};

// The boundary dragged to client x: the list takes the room on its side.
// A list dragged shut keeps its default width, so the toggles bring it back.
SplitterState dragBoundary(const LayoutConstants& c, int clientWidth, int x, bool leftList,
                           ListWidths widths);

// A double-click on the boundary: a shown list hides, a hidden one comes back
// at its default width.
SplitterState toggleList(const LayoutConstants& c, int clientWidth, ListWidths widths);

constexpr int kNormalMode = 1;
constexpr int kMaximisedMode = 2;
constexpr int kFullScreenMode = 3;

// normal -> maximised -> full screen -> normal.
int nextDisplayMode(int displayMode);

// The size a maximised window takes: the work area with the sizing frames
// pushed off its edges.
struct Size {
    int width = 0;
    int height = 0;
};
Size maximisedSize(const Edges& workArea, int frameWidth, int frameHeight);

}  // namespace zav2
