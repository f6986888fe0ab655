#include "playlist/row_at_point.h"

#include <algorithm>

namespace zav2 {

RowAtPoint rowAtPoint(int topIndex, int y, int rowHeight, int rowCount) {
    RowAtPoint hit;
    if (rowCount <= 0)
        return hit;
    const long long top = std::clamp(topIndex, 0, rowCount - 1);
    const long long offset = y < 0 ? 0 : y / std::max(rowHeight, 1);
    const long long row = top + offset;
    hit.below = row >= rowCount;
    hit.row = static_cast<int>(std::min<long long>(row, rowCount - 1));
    return hit;
}

}  // namespace zav2
