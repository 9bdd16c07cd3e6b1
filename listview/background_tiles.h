// Where the background picture goes behind one row of the document list.
//
// The picture is tiled rightwards and downwards from the top-left corner of
// row 0, wherever the list is scrolled to, so it moves with the rows. Each
// row paints only its own strip: from its left and top edges to the right
// edge of the client area and down to its bottom edge, or, for the last row,
// down to the bottom of the client area, so the picture also fills the
// space below the rows.
#pragma once

#include <cstdint>
#include <vector>

namespace hs {

// A rectangle in the list's client coordinates; right and bottom exclusive.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The strip a row's painting covers (see above).
PixelRect rowStrip(const PixelRect& row, const PixelRect& client, bool lastRow);

// One block transfer: the part of the picture from (sourceX, sourceY) of
// width x height, placed at (x, y).
struct TileCopy {
    int32_t x = 0;
    int32_t y = 0;
    int32_t sourceX = 0;
    int32_t sourceY = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The copies of a tileWidth x tileHeight picture, laid from (anchorX,
// anchorY) rightwards and downwards, that reach into `area`, each cut to
// `area`: the pixels that tiling the whole list and clipping to `area`
// would give, without copying what the clip throws away. Nothing lies left
// of or above the anchor. Empty for an empty area or tile.
std::vector<TileCopy> tilesCovering(int32_t anchorX, int32_t anchorY, int32_t tileWidth, int32_t tileHeight,
                                    const PixelRect& area);

// Whether painting the rectangle `painted` (one rectangle: the whole part
// of the list being painted) leaves nothing without the picture: the rows
// it reaches paint their strips across the whole width, and the last row's
// down to the bottom. False when it lies wholly right of the rows (no row
// would be drawn) or below the last row; the whole list must then be
// painted again.
bool rowsCoverPainting(const PixelRect& painted, const PixelRect& firstRow, const PixelRect& lastRow);

// How many times a picture side of `size` pixels is repeated to make a tile
// of at least `minimum` pixels (at least 1): small pictures are tiled from a
// larger block of themselves, which looks the same and needs fewer copies.
int32_t tileRepeat(int32_t size, int32_t minimum);

}  // namespace hs
