#include "app/layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace zav2 {
namespace {

// A window of 300 x 320 pixels at (100, 50) whose client area is 284 x 281,
// with the template's list of 262 x 200 and the play-mode button ending 160
// pixels right of the window's left edge.
LayoutConstants templateConstants() {
    const Edges window{100, 50, 400, 370};
    const Edges client{0, 0, 284, 281};
    const Edges list{111, 160, 373, 360};
    return layoutConstants(window, client, list, 260);
}

TEST(LayOutPanes, ClampTheListWithoutAGapAtEitherEnd) {
    const LayoutConstants c = templateConstants();
    const PaneLayout hidden = layOutPanes(c, 500, 400, 0, true, false);
    EXPECT_EQ(0, hidden.gap);
    EXPECT_EQ(0, hidden.list.width);
    EXPECT_EQ((Placement{11, 70, 478, 319}), hidden.panel);

    const PaneLayout negative = layOutPanes(c, 500, 400, -30, false, false);
    EXPECT_EQ(0, negative.listWidth);
    EXPECT_EQ(489, negative.list.x);  // a zero-width list at the right margin

    const PaneLayout tooWide = layOutPanes(c, 500, 400, 900, true, false);
    EXPECT_EQ(478, tooWide.listWidth);
    EXPECT_TRUE(tooWide.fillsWindow);
    EXPECT_EQ(0, tooWide.gap);
    EXPECT_EQ(0, tooWide.panel.width);

    // A list that fills the window follows the window's width.
    const PaneLayout fills = layOutPanes(c, 700, 400, 120, false, true);
    EXPECT_EQ((Placement{11, 70, 678, 319}), fills.list);
    EXPECT_EQ(0, fills.panel.width);
}

TEST(RightHandControls, HiddenOnlyBetweenMinimumAndTemplateWidth) {
    const LayoutConstants c = templateConstants();  // minimum 179, template 300
    // Compared is the client width plus both margins (22).
    EXPECT_TRUE(showRightHandControls(c, 278, false));   // 300: the template width
    EXPECT_FALSE(showRightHandControls(c, 277, false));  // 299
    EXPECT_TRUE(showRightHandControls(c, 157, false));   // 179: the minimum
    EXPECT_TRUE(showRightHandControls(c, 200, true));    // a refresh shows them
    // The seek bar is never negative in a narrow window.
    EXPECT_EQ(0,
              placeRightHandControls(c, 100, {}, {0, 0, 21, 22}, {0, 0, 90, 13}, {11, 35, 140, 18})
                  .seekBarWidth);
}

TEST(SnapWindowWidth, JumpsToTheNearerEnd) {
    const LayoutConstants c = templateConstants();  // minimum 179, template 300
    EXPECT_EQ(300, snapWindowWidth(c, 240));        // nearer the template width
    EXPECT_EQ(179, snapWindowWidth(c, 239));        // nearer the minimum
    // An exact tie goes to the template width.
    const LayoutConstants even{10, 60, 200, 300};
    EXPECT_EQ(300, snapWindowWidth(even, 250));
    EXPECT_EQ(200, snapWindowWidth(even, 249));
}

TEST(ShrinkListToClient, NarrowsForGoodButNeverWidens) {
    const LayoutConstants c = templateConstants();
    EXPECT_EQ((ListWidths{178, 178}), shrinkListToClient(c, 200, {250, 120}));
    EXPECT_EQ((ListWidths{120, 90}), shrinkListToClient(c, 200, {120, 90}));
    EXPECT_EQ((ListWidths{0, 60}), shrinkListToClient(c, 200, {0, 60}));  // hidden stays hidden
    EXPECT_EQ((ListWidths{0, 0}), shrinkListToClient(c, 10, {50, 50}));   // never negative
}

TEST(DragBoundary, PastTheLeftEndHidesALeftListOrFillsWithARightOne) {
    const LayoutConstants c = templateConstants();
    const SplitterState leftList = dragBoundary(c, 500, -40, true, {120, 120});
    EXPECT_EQ(0, leftList.widths.listWidth);
    EXPECT_FALSE(leftList.listFillsWindow);
    // The default survives, so the list can be brought back.
    EXPECT_EQ(120, leftList.widths.defaultListWidth);

    const SplitterState rightList = dragBoundary(c, 500, 5, false, {120, 120});
    EXPECT_EQ((ListWidths{478, 478}), rightList.widths);
    EXPECT_TRUE(rightList.listFillsWindow);

    // Past the right end: the other way round.
    EXPECT_TRUE(dragBoundary(c, 500, 600, true, {120, 120}).listFillsWindow);
    EXPECT_EQ(0, dragBoundary(c, 500, 495, false, {120, 120}).widths.listWidth);
}

// 120 DPI makes 17.5 of the 14-pixel icon: 18 is drawn, and 200 % of a
// 16-pixel menu icon finds its own 32, never a stretched 16.
TEST(IconSize, LoadsTheDrawnSizeNearestTheScaledOne) {
    const struct {
        int pixels, dpi, expected;
    } cases[] = {{14, 96, 14}, {14, 120, 18}, {16, 192, 32}, {14, 288, 32}, {14, 72, 14}};
    for (const auto& c : cases)
        EXPECT_EQ(iconSize(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
}

// At 120 DPI two 21-pixel buttons side by side at 9 and 30, each scaled by
// its own position and size, would end at 11 + 26 = 37 and start at 38.
TEST(ScaledPlacement, NeighboursStayTouching) {
    const Placement left = scaledPlacement({9, 11, 21, 21}, 96, 120);
    const Placement right = scaledPlacement({30, 11, 21, 21}, 96, 120);
    EXPECT_EQ(left.x + left.width, right.x);
    EXPECT_EQ(scaledPlacement(scaledPlacement({7, 39, 173, 132}, 96, 144), 144, 96),
              (Placement{7, 39, 173, 132}));
}

// A window kept on a 144-DPI monitor of a 96-DPI desktop once came up at two
// thirds of its height: the saved height was not scaled with the rest.
TEST(ScaledKeptSizes, EverySizeFollowsAndComesBackExactly) {
    const auto fields = [](const KeptSizes& k) {
        const Edges& s = k.savedWindow;
        const Edges& n = k.normalWindow;
        return std::vector<int>{k.width, k.height, k.listWidth, k.defaultListWidth,
                                s.left,  s.top,    s.right,     s.bottom,
                                n.left,  n.top,    n.right,     n.bottom};
    };
    const KeptSizes at96{360, 420, 150, 120, {100, 50, 460, 470}, {10, 20, 330, 260}};
    const KeptSizes at144 = scaledKeptSizes(at96, 96, 144);
    EXPECT_EQ(fields(at144),
              (std::vector<int>{540, 630, 225, 180, 100, 50, 640, 680, 10, 20, 490, 380}));
    EXPECT_EQ(fields(scaledKeptSizes(at144, 144, 96)), fields(at96));
}

}  // namespace
}  // namespace zav2
