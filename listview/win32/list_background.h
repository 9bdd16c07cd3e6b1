// The picture behind the document list's rows: the built-in bitmaps or a
// user's bitmap file, its palette for palette displays, and the painting of
// one row's share of it. The list window owns one and hands it the
// messages that concern the picture: background erasing, a column's width
// changing, and the two palette messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "listview/background_pictures.h"
#include "listview/bitmap_file.h"
#include "platform/win32/handles.h"

namespace hs {

using UniquePalette = UniqueGdiObject<HPALETTE>;

class ListBackground final : public BackgroundPictures {
public:
    ListBackground() = default;
    ListBackground(const ListBackground&) = delete;
    ListBackground& operator=(const ListBackground&) = delete;

    // The list painted over and the module holding the built-in pictures.
    void attach(HWND list, HINSTANCE module);

    // BackgroundPictures
    bool setBackgroundFromResource(const char* name) override;
    bool loadBitmapFile(const std::string& path) override;
    bool setBackgroundFromBitmap() override;
    void clearBackground() override;

    bool hasPicture() const { return static_cast<bool>(picture_); }
    HPALETTE palette() const { return palette_.get(); }
    int tileWidth() const { return tileWidth_; }
    int tileHeight() const { return tileHeight_; }

    // Paints the picture into the strip of `row` (whose bounds are
    // `rowRect`) and leaves `dc` clipped to that strip. Nothing without a
    // picture.
    void drawRowBackground(HDC dc, const RECT& rowRect, int row) const;

    // WM_ERASEBKGND on `dc`: with rows and a picture, the whole list is
    // invalidated without erasing (the rows paint the picture, the last one
    // down to the bottom) unless the rows this painting reaches cover it
    // all anyway, and true is returned; otherwise false: default erasing.
    bool eraseBackground(HDC dc) const;

    // Rows were deleted: once none is left, the picture they painted below
    // them goes, the whole list is erased to the window colour.
    void rowsDeleted() const;

    // A column's width is changing: the part of the list right of the
    // pointer is repainted.
    void columnWidthChanging() const;

    // WM_QUERYNEWPALETTE on a palette display with a palette: realizes it in
    // the foreground, repaints the list if entries changed, and gives their
    // number in `changed`. False: default handling.
    bool realizePalette(LRESULT& changed) const;

    // WM_PALETTECHANGED, after the default handling.
    void paletteChanged(HWND changedBy) const;

    // Drops the picture, its palette and the file's image (the list window
    // is going).
    void release();

private:
    void usePicture(UniqueBitmap picture, UniquePalette palette);
    void dropPicture();
    bool paletteDisplay() const;

    HWND list_ = nullptr;
    HINSTANCE module_ = nullptr;
    UniqueBitmap picture_;        // backgroundBitmap
    UniquePalette palette_;       // backgroundPalette
    UniqueBitmap fileBitmap_;     // the image loadBitmapFile read, until used
    UniquePalette filePalette_;   // and the palette it is to be shown with
    // A block of the picture repeated, for pictures too small to tile from
    // quickly; none when the picture itself is the tile.
    UniqueBitmap repeated_;
    int tileWidth_ = 0;
    int tileHeight_ = 0;
};

// The open-file dialog of "&Custom..": bitmap files, starting in the Windows
// directory. The chosen path, or empty when the user cancelled.
std::string chooseBackgroundBitmapFile(HWND owner);

}  // namespace hs
