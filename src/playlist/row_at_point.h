// The list row under a point of the list box's client area.
//
// The list box's own answer (LB_ITEMFROMPOINT) carries the row in 16 bits,
// so past row 65,535 it names another row: a right-click near row 99,999
// would select row 34,463 and the file commands would act on that file. The
// list's rows all have one height, so the row follows from the top row and
// the height instead.
#pragma once

namespace zav2 {

struct RowAtPoint {
    int row = -1;        // the row under the point, or the nearest; -1 when the list is empty
    bool below = false;  // the point lies below the last row
};

// `y` is in client pixels; `rowHeight` and `rowCount` as the list box gives
// them (a height of 0 is taken as 1).
RowAtPoint rowAtPoint(int topIndex, int y, int rowHeight, int rowCount);

}  // namespace zav2
