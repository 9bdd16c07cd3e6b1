#include "listview/win32/list_background.h"

#include <commctrl.h>

#include <cstring>

#include "listview/background_tiles.h"
#include "platform/win32/file_chooser.h"

namespace hs {

namespace {

// Pictures narrower or lower than this are tiled from a repeated block.
constexpr int32_t kMinimumTile = 128;

PixelRect pixelRect(const RECT& r) { return PixelRect{r.left, r.top, r.right, r.bottom}; }

// The palette a picture is shown with on palette displays: its own colour
// table when it has one of up to 256 colours, otherwise a halftone palette.
UniquePalette paletteFor(const std::vector<BitmapColour>& colours) {
    if (colours.empty() || colours.size() > 256) {
        WindowDc screen(nullptr);
        return UniquePalette(::CreateHalftonePalette(screen.get()));
    }
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        palette->palPalEntry[i].peRed = colours[i].red;
        palette->palPalEntry[i].peGreen = colours[i].green;
        palette->palPalEntry[i].peBlue = colours[i].blue;
        palette->palPalEntry[i].peFlags = 0;
    }
    return UniquePalette(::CreatePalette(palette));
}

// The information header and colour table (or masks) the system gets for a
// file's bits: always the plain 40-byte header, built from what was found
// sound, never the file's own.
std::vector<uint8_t> bitmapInfoOf(const BitmapFileImage& image) {
    const std::size_t extra = image.compression == kBitmapBitFields ? 3 * sizeof(DWORD)
                                                                    : image.colours.size() * sizeof(RGBQUAD);
    std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + extra);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = image.width;
    header->biHeight = image.topDown ? -image.height : image.height;
    header->biPlanes = 1;
    header->biBitCount = image.bitCount;
    header->biCompression = image.compression == kBitmapBitFields ? BI_BITFIELDS : BI_RGB;
    header->biSizeImage = static_cast<DWORD>(image.bitsSize);
    header->biClrUsed = static_cast<DWORD>(image.colours.size());
    uint8_t* after = block.data() + sizeof(BITMAPINFOHEADER);
    if (image.compression == kBitmapBitFields) {
        const DWORD masks[3] = {image.redMask, image.greenMask, image.blueMask};
        std::memcpy(after, masks, sizeof masks);
    } else {
        for (const BitmapColour& c : image.colours) {
            const RGBQUAD entry{c.blue, c.green, c.red, 0};
            std::memcpy(after, &entry, sizeof entry);
            after += sizeof entry;
        }
    }
    return block;
}

}  // namespace

void ListBackground::attach(HWND list, HINSTANCE module) {
    list_ = list;
    module_ = module;
}

bool ListBackground::paletteDisplay() const {
    WindowDc screen(nullptr);
    return (::GetDeviceCaps(screen.get(), RASTERCAPS) & RC_PALETTE) != 0;
}

void ListBackground::dropPicture() {
    repeated_.reset();
    picture_.reset();
    palette_.reset();
    tileWidth_ = tileHeight_ = 0;
}

bool ListBackground::setBackgroundFromResource(const char* name) {
    dropPicture();
    UniqueBitmap picture(static_cast<HBITMAP>(
        ::LoadImageA(module_, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!picture) {
        if (list_ != nullptr) ::InvalidateRect(list_, nullptr, TRUE);
        return false;
    }
    // The colour table of a picture of up to 256 colours becomes its palette.
    std::vector<BitmapColour> colours;
    DIBSECTION section{};
    if (::GetObjectA(picture.get(), sizeof section, &section) == sizeof section) {
        const uint32_t count = paletteEntryCount(section.dsBmih.biClrUsed, section.dsBmih.biBitCount);
        if (count > 0) {
            std::vector<RGBQUAD> table(count);
            WindowDc screen(nullptr);
            MemoryDcWith memory(screen.get(), picture.get());
            const UINT read = memory ? ::GetDIBColorTable(memory.get(), 0, count, table.data()) : 0;
            for (UINT i = 0; i < read; ++i) {
                colours.push_back(BitmapColour{table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed, 0});
            }
        }
    }
    usePicture(std::move(picture), paletteFor(colours));
    return true;
}

bool ListBackground::loadBitmapFile(const std::string& path) {
    dropPicture();
    if (list_ != nullptr) ::InvalidateRect(list_, nullptr, TRUE);
    std::vector<uint8_t> bytes;
    BitmapFileImage image;
    if (!loadBitmapFileBytes(path, bytes, image)) return false;
    const std::vector<uint8_t> info = bitmapInfoOf(image);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
    UniquePalette palette = paletteFor(image.colours);
    // The bitmap keeps the display's own pixel values: on a palette display
    // they are matched to the palette the picture will be shown with, not
    // to the system's few fixed colours.
    WindowDc dc(list_);
    HPALETTE previous = nullptr;
    if (palette && paletteDisplay()) {
        previous = ::SelectPalette(dc.get(), palette.get(), FALSE);
        ::RealizePalette(dc.get());
    }
    UniqueBitmap bitmap(::CreateDIBitmap(dc.get(), header, CBM_INIT, bytes.data() + image.bitsOffset,
                                         reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS));
    if (previous != nullptr) ::SelectPalette(dc.get(), previous, TRUE);
    if (!bitmap) return false;
    fileBitmap_ = std::move(bitmap);
    filePalette_ = std::move(palette);
    return true;
}

bool ListBackground::setBackgroundFromBitmap() {
    if (!fileBitmap_) return false;
    dropPicture();
    usePicture(std::move(fileBitmap_), std::move(filePalette_));
    return true;
}

void ListBackground::clearBackground() {
    dropPicture();
    if (list_ != nullptr) ::InvalidateRect(list_, nullptr, TRUE);
}

void ListBackground::release() {
    dropPicture();
    fileBitmap_.reset();
    filePalette_.reset();
}

void ListBackground::usePicture(UniqueBitmap picture, UniquePalette palette) {
    BITMAP info{};
    ::GetObjectA(picture.get(), sizeof info, &info);
    picture_ = std::move(picture);
    palette_ = std::move(palette);
    tileWidth_ = info.bmWidth;
    tileHeight_ = info.bmHeight;

    // A small picture is tiled from a block of itself (in the screen's own
    // format; on palette displays the picture is used as it is).
    const int32_t across = tileRepeat(tileWidth_, kMinimumTile);
    const int32_t down = tileRepeat(tileHeight_, kMinimumTile);
    if ((across > 1 || down > 1) && !paletteDisplay()) {
        WindowDc screen(nullptr);
        UniqueBitmap block(::CreateCompatibleBitmap(screen.get(), tileWidth_ * across, tileHeight_ * down));
        MemoryDcWith from(screen.get(), picture_.get());
        if (block && from) {
            MemoryDcWith to(screen.get(), block.get());
            for (int32_t j = 0; j < down; ++j) {
                for (int32_t i = 0; i < across; ++i) {
                    ::BitBlt(to.get(), i * tileWidth_, j * tileHeight_, tileWidth_, tileHeight_, from.get(), 0, 0,
                             SRCCOPY);
                }
            }
        }
        if (block) repeated_ = std::move(block);
    }
    if (list_ != nullptr) ::InvalidateRect(list_, nullptr, TRUE);
}

void ListBackground::drawRowBackground(HDC dc, const RECT& rowRect, int row) const {
    if (!picture_ || dc == nullptr) return;
    HBITMAP tile = repeated_ ? repeated_.get() : picture_.get();
    MemoryDcWith memory(dc, tile);
    if (!memory) return;

    RECT client{};
    ::GetClientRect(list_, &client);
    const int rows = static_cast<int>(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    const PixelRect strip = rowStrip(pixelRect(rowRect), pixelRect(client), row == rows - 1);
    ::IntersectClipRect(dc, strip.left, strip.top, strip.right, strip.bottom);

    if (palette_ && (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0) {
        ::SelectPalette(dc, palette_.get(), FALSE);
        ::RealizePalette(dc);
    }

    // Tiles from row 0's corner: the picture scrolls with the rows. Only
    // what the clip lets through is copied.
    RECT first{};
    first.left = LVIR_BOUNDS;
    if (!::SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) return;
    RECT visible{};
    const int clip = ::GetClipBox(dc, &visible);
    if (clip == NULLREGION || clip == ERROR) return;
    BITMAP tileInfo{};
    ::GetObjectA(tile, sizeof tileInfo, &tileInfo);
    for (const TileCopy& copy :
         tilesCovering(first.left, first.top, tileInfo.bmWidth, tileInfo.bmHeight, pixelRect(visible))) {
        ::BitBlt(dc, copy.x, copy.y, copy.width, copy.height, memory.get(), copy.sourceX, copy.sourceY, SRCCOPY);
    }
}

bool ListBackground::eraseBackground(HDC dc) const {
    const int rows = static_cast<int>(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    if (!picture_ || rows < 1) return false;
    // The rows this painting reaches may cover it all: then painting the
    // whole list again would only draw them twice.
    RECT painted{}, first{}, last{};
    first.left = last.left = LVIR_BOUNDS;
    const bool covered = dc != nullptr && ::GetClipBox(dc, &painted) == SIMPLEREGION &&
                         ::SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)) &&
                         ::SendMessageA(list_, LVM_GETITEMRECT, rows - 1, reinterpret_cast<LPARAM>(&last)) &&
                         rowsCoverPainting(pixelRect(painted), pixelRect(first), pixelRect(last));
    if (!covered) ::InvalidateRect(list_, nullptr, FALSE);
    return true;
}

void ListBackground::rowsDeleted() const {
    if (picture_ && ::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0) == 0) ::InvalidateRect(list_, nullptr, TRUE);
}

void ListBackground::columnWidthChanging() const {
    if (!picture_) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(list_, &cursor);
    RECT client{};
    ::GetClientRect(list_, &client);
    RECT right{cursor.x, client.top, client.right, client.bottom};
    ::InvalidateRect(list_, &right, TRUE);
}

bool ListBackground::realizePalette(LRESULT& changed) const {
    if (!palette_ || !paletteDisplay()) return false;
    WindowDc dc(list_);
    HPALETTE previous = ::SelectPalette(dc.get(), palette_.get(), FALSE);
    const UINT entries = ::RealizePalette(dc.get());
    if (previous != nullptr) ::SelectPalette(dc.get(), previous, TRUE);
    const UINT count = entries == GDI_ERROR ? 0 : entries;
    if (count > 0) ::InvalidateRect(list_, nullptr, TRUE);
    changed = static_cast<LRESULT>(count);
    return true;
}

void ListBackground::paletteChanged(HWND changedBy) const {
    if (changedBy == list_) return;
    LRESULT changed = 0;
    realizePalette(changed);
}

std::string chooseBackgroundBitmapFile(HWND owner) {
    char windowsDir[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryA(windowsDir, MAX_PATH);
    if (length == 0 || length > MAX_PATH) windowsDir[0] = '\0';
    FileChoice choice{"Select File", windowsDir[0] != '\0' ? windowsDir : nullptr,
                      OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST};
    choice.filter = "Bitmap images\0*.bmp\0";
    choice.defaultExtension = "";
    return chooseFile(owner, choice);
}

}  // namespace hs
