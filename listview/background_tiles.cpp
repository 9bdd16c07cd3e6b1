#include "listview/background_tiles.h"

#include <algorithm>

namespace hs {

namespace {

// The first tile index whose tile reaches `from`: tiles start at `anchor`.
int64_t firstTile(int64_t anchor, int64_t from, int64_t step) {
    if (from <= anchor) return 0;
    return (from - anchor) / step;
}

}  // namespace

PixelRect rowStrip(const PixelRect& row, const PixelRect& client, bool lastRow) {
    PixelRect strip;
    strip.left = row.left;
    strip.top = row.top;
    strip.right = client.right;
    strip.bottom = lastRow ? client.bottom : row.bottom;
    return strip;
}

std::vector<TileCopy> tilesCovering(int32_t anchorX, int32_t anchorY, int32_t tileWidth, int32_t tileHeight,
                                    const PixelRect& area) {
    std::vector<TileCopy> copies;
    if (tileWidth <= 0 || tileHeight <= 0 || area.right <= area.left || area.bottom <= area.top) return copies;
    const int64_t w = tileWidth;
    const int64_t h = tileHeight;
    for (int64_t j = firstTile(anchorY, area.top, h);; ++j) {
        const int64_t top = anchorY + j * h;
        if (top >= area.bottom) break;
        const int64_t y0 = std::max<int64_t>(top, area.top);
        const int64_t y1 = std::min<int64_t>(top + h, area.bottom);
        for (int64_t i = firstTile(anchorX, area.left, w);; ++i) {
            const int64_t left = anchorX + i * w;
            if (left >= area.right) break;
            const int64_t x0 = std::max<int64_t>(left, area.left);
            const int64_t x1 = std::min<int64_t>(left + w, area.right);
            TileCopy copy;
            copy.x = static_cast<int32_t>(x0);
            copy.y = static_cast<int32_t>(y0);
            copy.sourceX = static_cast<int32_t>(x0 - left);
            copy.sourceY = static_cast<int32_t>(y0 - top);
            copy.width = static_cast<int32_t>(x1 - x0);
            copy.height = static_cast<int32_t>(y1 - y0);
            copies.push_back(copy);
        }
    }
    return copies;
}

bool rowsCoverPainting(const PixelRect& painted, const PixelRect& firstRow, const PixelRect& lastRow) {
    return painted.left < firstRow.right && painted.right > firstRow.left && painted.top < lastRow.bottom;
}

int32_t tileRepeat(int32_t size, int32_t minimum) {
    if (size <= 0 || size >= minimum) return 1;
    return (minimum + size - 1) / size;
}

}  // namespace hs
