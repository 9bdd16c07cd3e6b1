// Windows bitmap files (".bmp") as the list's custom background reads them:
// the 14-byte file header ("BM"), an information header of 40 bytes or one
// of its longer versions, the colour table or the three colour masks, and
// uncompressed pixel rows. Every size is checked against the bytes the file
// really holds, in 64-bit arithmetic, before anything is read: a file that
// asks for more colours or pixel bits than it carries, a width, height, bit
// count or compression this reader does not take, or a picture too large to
// be a background is refused, never read beyond its end.
//
// What is read is described, not converted: the drawing layer hands the
// pixel bits as they lie in the file, with a clean information header built
// from the description, to the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hs {

// The largest picture taken: about 33.5 million pixels (8192 x 4096, or an
// 8K screen's 7680 x 4320). Its bits never need more than 128 MB.
constexpr uint64_t kMaxBitmapPixels = uint64_t(1) << 25;
// The longest file read; longer ones are refused before they are read.
constexpr uint64_t kMaxBitmapFileBytes = uint64_t(256) << 20;

constexpr std::size_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

// Compression values of the information header.
constexpr uint32_t kBitmapRgb = 0;
constexpr uint32_t kBitmapBitFields = 3;

struct BitmapColour {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

// A bitmap file found sound. Offsets count from the file's first byte.
struct BitmapFileImage {
    int32_t width = 0;
    int32_t height = 0;       // rows, always positive
    bool topDown = false;     // the file's first row is the picture's top
    uint16_t bitCount = 0;    // 1, 4, 8, 16, 24 or 32
    uint32_t compression = kBitmapRgb;  // kBitmapRgb or kBitmapBitFields
    uint32_t redMask = 0;     // kBitmapBitFields only
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    // For 8 or fewer bits per pixel: 2^bitCount entries, the file's table
    // followed by black for entries it does not give, so no pixel value
    // points past the table. Empty otherwise.
    std::vector<BitmapColour> colours;
    std::size_t bitsOffset = 0;
    std::size_t rowBytes = 0;  // one row, padded to 4 bytes
    std::size_t bitsSize = 0;  // rowBytes * height; all inside the file
};

// Reads the bytes of a whole bitmap file. False for anything not sound (see
// above); `image` is then unspecified.
bool parseBitmapFile(const uint8_t* data, std::size_t size, BitmapFileImage& image);

// Reads the file at `path` whole into `bytes` (at most kMaxBitmapFileBytes)
// and parses it. False when it cannot be opened, is shorter than its file
// header, does not start with "BM", is too long, or is not sound.
bool loadBitmapFileBytes(const std::string& path, std::vector<uint8_t>& bytes, BitmapFileImage& image);

// The number of colour-table entries an image's palette is made of: its
// colours-used value, or 2^bitCount when that is 0. Zero when that number
// is above 256: such an image gets a halftone palette instead.
uint32_t paletteEntryCount(uint32_t coloursUsed, uint16_t bitCount);

}  // namespace hs
