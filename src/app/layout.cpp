#include "app/layout.h"

#include <algorithm>

namespace zav2 {

namespace {

constexpr int kPaneGap = 4;
constexpr int kBoundaryReach = 4;

int fullWidth(const LayoutConstants& c, int clientWidth) {
    return std::max(0, clientWidth - 2 * c.margin);
}

}  // namespace

LayoutConstants layoutConstants(const Edges& window, const Edges& client, const Edges& list,
                                int modeButtonRight) {
    LayoutConstants c;
    c.margin = (client.width() - list.width()) / 2;
    c.top = client.height() - list.height() - c.margin;
    c.minimumWidth = (modeButtonRight - window.left) + (window.width() - list.width()) / 2;
    c.initialWidth = window.width();
    return c;
}

LayoutConstants scaledConstants(const LayoutConstants& c, int fromDpi, int toDpi) {
    return {scaledBetween(c.margin, fromDpi, toDpi), scaledBetween(c.top, fromDpi, toDpi),
            scaledBetween(c.minimumWidth, fromDpi, toDpi),
            scaledBetween(c.initialWidth, fromDpi, toDpi)};
}

Placement scaledPlacement(const Placement& p, int fromDpi, int toDpi) {
    // Edges, not sizes, are scaled, so controls that touch stay touching.
    const int right = scaledBetween(p.x + p.width, fromDpi, toDpi);
    const int bottom = scaledBetween(p.y + p.height, fromDpi, toDpi);
    const int x = scaledBetween(p.x, fromDpi, toDpi);
    const int y = scaledBetween(p.y, fromDpi, toDpi);
    return {x, y, right - x, bottom - y};
}

KeptSizes scaledKeptSizes(const KeptSizes& kept, int fromDpi, int toDpi) {
    const auto size = [&](int pixels) { return scaledBetween(pixels, fromDpi, toDpi); };
    const auto rectangle = [&](const Edges& e) {
        return Edges{e.left, e.top, e.left + size(e.width()), e.top + size(e.height())};
    };
    return {size(kept.width),
            size(kept.height),
            size(kept.listWidth),
            size(kept.defaultListWidth),
            rectangle(kept.savedWindow),
            rectangle(kept.normalWindow)};
}

PaneLayout layOutPanes(const LayoutConstants& c, int clientWidth, int clientHeight, int listWidth,
                       bool leftList, bool listFillsWindow) {
    const int full = fullWidth(c, clientWidth);
    PaneLayout out;
    int w = listFillsWindow ? full : std::max(0, listWidth);
    if (w >= full) {
        w = full;
        out.fillsWindow = true;
    }
    out.listWidth = w;
    out.gap = (w != 0 && w != full) ? kPaneGap : 0;
    const int height = std::max(0, clientHeight - c.top - c.margin);
    const int panelWidth = full - w - out.gap;
    if (leftList) {
        out.list = {c.margin, c.top, w, height};
        out.panel = {c.margin + w + out.gap, c.top, panelWidth, height};
    } else {
        out.panel = {c.margin, c.top, panelWidth, height};
        out.list = {clientWidth - c.margin - w, c.top, w, height};
    }
    return out;
}

bool showRightHandControls(const LayoutConstants& c, int clientWidth, bool refreshPending) {
    const int span = clientWidth + 2 * c.margin;
    const bool between = c.minimumWidth < span && span < c.initialWidth;
    return !between || refreshPending;
}

RightHandControls placeRightHandControls(const LayoutConstants& c, int clientWidth,
                                         const Placement& topMostButton,
                                         const Placement& listButton, const Placement& timeText,
                                         const Placement& seekBar) {
    RightHandControls out;
    out.topMostButton = topMostButton;
    out.topMostButton.x = clientWidth - c.margin - topMostButton.width;
    out.topMostButton.y = c.margin;
    out.listButton = listButton;
    out.listButton.x = clientWidth - c.margin - listButton.width;
    out.listButton.y = c.margin + listButton.height;
    const int h = listButton.height;
    out.timeText = timeText;
    out.timeText.x = clientWidth - c.margin - listButton.width - timeText.width;
    out.timeText.y = c.margin + h + (c.top - c.margin - h - timeText.height) / 2;
    out.seekBarWidth = std::max(0, out.timeText.x - seekBar.x);
    return out;
}

int snapWindowWidth(const LayoutConstants& c, int proposedWidth) {
    const int s = proposedWidth;
    if (c.minimumWidth < s && s < c.initialWidth)
        return s - c.minimumWidth < c.initialWidth - s ? c.minimumWidth : c.initialWidth;
    return s;
}

ListWidths shrinkListToClient(const LayoutConstants& c, int clientWidth, ListWidths widths) {
    const int full = fullWidth(c, clientWidth);
    if (full < widths.listWidth)
        widths = {full, full};
    return widths;
}

bool onPaneBoundary(const Edges& rightPane, int x, int y) {
    return rightPane.top <= y && y <= rightPane.bottom && rightPane.left - kBoundaryReach <= x &&
           x <= rightPane.left + kBoundaryReach;
}

SplitterState dragBoundary(const LayoutConstants& c, int clientWidth, int x, bool leftList,
                           ListWidths widths) {
    const int full = fullWidth(c, clientWidth);
    int left = x - c.margin;
    int right = clientWidth - x - c.margin;
    if (left < 0) {
        left = 0;
        right = full;
    }
    if (right < 0) {
        left = full;
        right = 0;
    }
    SplitterState out;
    out.widths.listWidth = leftList ? left : right;
    out.listFillsWindow = out.widths.listWidth == full;
    out.widths.defaultListWidth =
        out.widths.listWidth != 0 ? out.widths.listWidth : widths.defaultListWidth;
    return out;
}

SplitterState toggleList(const LayoutConstants& c, int clientWidth, ListWidths widths) {
    SplitterState out;
    out.widths = widths;
    out.widths.listWidth = widths.listWidth == 0 ? widths.defaultListWidth : 0;
    out.listFillsWindow = out.widths.listWidth == fullWidth(c, clientWidth);
    return out;
}

int nextDisplayMode(int displayMode) {
    return displayMode >= kFullScreenMode || displayMode < kNormalMode ? kNormalMode
                                                                       : displayMode + 1;
}

Size maximisedSize(const Edges& workArea, int frameWidth, int frameHeight) {
    return {workArea.width() + 4 * frameWidth, workArea.height() + 4 * frameHeight};
}

}  // namespace zav2
