#include "listview/bitmap_file.h"

#include <cstdio>

#include "platform/stdio_file.h"

namespace hs {

namespace {

// Information header versions: the plain one, the two with colour masks in
// the header (52, 56 bytes), and the fourth and fifth versions.
bool knownInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// One run of set bits.
bool contiguous(uint32_t mask) {
    if (mask == 0) return false;
    while ((mask & 1u) == 0) mask >>= 1;
    return (mask & (mask + 1)) == 0;
}

bool soundMasks(uint32_t red, uint32_t green, uint32_t blue, uint16_t bitCount) {
    const uint64_t pixelBits = (uint64_t(1) << bitCount) - 1;
    for (uint32_t mask : {red, green, blue}) {
        if (!contiguous(mask) || mask > pixelBits) return false;
    }
    return (red & green) == 0 && (red & blue) == 0 && (green & blue) == 0;
}

}  // namespace

uint32_t paletteEntryCount(uint32_t coloursUsed, uint16_t bitCount) {
    const uint64_t count = coloursUsed != 0 ? coloursUsed : (bitCount < 64 ? uint64_t(1) << bitCount : 0);
    return count != 0 && count <= 256 ? static_cast<uint32_t>(count) : 0;
}

bool parseBitmapFile(const uint8_t* data, std::size_t size, BitmapFileImage& image) {
    const uint64_t fileSize = size;
    if (data == nullptr || fileSize < kBitmapFileHeaderSize + 4) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;

    const uint8_t* info = data + kBitmapFileHeaderSize;
    const uint32_t infoSize = le32(info);
    if (!knownInfoHeaderSize(infoSize) || kBitmapFileHeaderSize + uint64_t(infoSize) > fileSize) return false;

    const int32_t width = static_cast<int32_t>(le32(info + 4));
    const int32_t height = static_cast<int32_t>(le32(info + 8));
    const uint16_t planes = le16(info + 12);
    const uint16_t bitCount = le16(info + 14);
    const uint32_t compression = le32(info + 16);
    const uint32_t coloursUsed = le32(info + 32);

    if (planes != 1) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return false;
    }
    const bool bitFields = compression == kBitmapBitFields;
    if (compression != kBitmapRgb && !(bitFields && (bitCount == 16 || bitCount == 32))) return false;

    // Sizes in 64 bits: no product or sum below can wrap.
    const int64_t rows = height < 0 ? -int64_t(height) : int64_t(height);
    if (width <= 0 || rows == 0) return false;
    if (uint64_t(width) * uint64_t(rows) > kMaxBitmapPixels) return false;

    uint64_t offset = kBitmapFileHeaderSize + uint64_t(infoSize);
    image.colours.clear();
    image.redMask = image.greenMask = image.blueMask = 0;
    if (bitFields) {
        // The masks follow a plain header; the longer headers hold them.
        const uint8_t* masks = info + 40;
        if (infoSize == kBitmapInfoHeaderSize) {
            if (offset + 12 > fileSize) return false;
            masks = data + offset;
            offset += 12;
        }
        image.redMask = le32(masks);
        image.greenMask = le32(masks + 4);
        image.blueMask = le32(masks + 8);
        if (!soundMasks(image.redMask, image.greenMask, image.blueMask, bitCount)) return false;
    }

    if (bitCount <= 8) {
        const uint32_t full = 1u << bitCount;
        const uint32_t given = coloursUsed != 0 ? coloursUsed : full;
        if (given > full) return false;
        if (offset + uint64_t(given) * 4 > fileSize) return false;
        image.colours.resize(full);
        for (uint32_t i = 0; i < given; ++i) {
            const uint8_t* entry = data + offset + uint64_t(i) * 4;
            image.colours[i] = BitmapColour{entry[0], entry[1], entry[2], 0};
        }
        offset += uint64_t(given) * 4;
    } else {
        // A table beside true colours only helps palette displays; it is
        // passed over.
        offset += uint64_t(coloursUsed) * 4;
    }

    const uint64_t rowBytes = (uint64_t(width) * bitCount + 31) / 32 * 4;
    const uint64_t bitsSize = rowBytes * uint64_t(rows);
    if (offset > fileSize || bitsSize > fileSize - offset) return false;

    image.width = width;
    image.height = static_cast<int32_t>(rows);
    image.topDown = height < 0;
    image.bitCount = bitCount;
    image.compression = compression;
    image.bitsOffset = static_cast<std::size_t>(offset);
    image.rowBytes = static_cast<std::size_t>(rowBytes);
    image.bitsSize = static_cast<std::size_t>(bitsSize);
    return true;
}

bool loadBitmapFileBytes(const std::string& path, std::vector<uint8_t>& bytes, BitmapFileImage& image) {
    bytes.clear();
    StdioFile file(path, "rb");
    if (!file) return false;
    // Read in pieces up to the limit rather than trusting a file length.
    constexpr std::size_t kPiece = 1 << 20;
    std::size_t got = kPiece;
    while (got == kPiece && bytes.size() <= kMaxBitmapFileBytes) {
        const std::size_t have = bytes.size();
        bytes.resize(have + kPiece);
        got = std::fread(bytes.data() + have, 1, kPiece, file.get());
        bytes.resize(have + got);
    }
    if (bytes.size() > kMaxBitmapFileBytes || std::ferror(file.get()) ||
        !parseBitmapFile(bytes.data(), bytes.size(), image)) {
        bytes.clear();
        return false;
    }
    return true;
}

}  // namespace hs
