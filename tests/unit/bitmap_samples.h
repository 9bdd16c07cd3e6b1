// Bitmap files made in memory for the tests: a small picture (0xRRGGBB,
// top row first) written in any pixel format the list's background reads.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace hs::test {

using Picture = std::vector<std::vector<uint32_t>>;

// Eight colours exact in every format (channels 0 or 255), 4 x 2; two
// colours, 9 x 2, for one bit per pixel (a row needs two bytes).
inline Picture eightColours() {
    return {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {0x000000, 0xFFFF00, 0x00FFFF, 0xFF00FF}};
}
inline Picture twoColours() {
    return {{0xFF0000, 0xFF, 0xFF0000, 0xFF, 0xFF0000, 0xFF, 0xFF0000, 0xFF, 0xFF0000}, std::vector<uint32_t>(9, 0xFF)};
}

struct BitmapFormat {
    uint16_t bitCount = 24;
    bool bitFields = false;   // 16 bits: 5-6-5 masks; 32 bits: 8-8-8 masks
    bool topDown = false;
    uint32_t infoSize = 40;   // 40, or 108 / 124 with the masks inside
    bool shortTable = false;  // 8 or fewer bits: only the colours used
};

inline void put32(std::string& b, std::size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The whole file; `bitsOffset` (when given) gets where the rows begin.
inline std::string bitmapFile(const Picture& picture, const BitmapFormat& f, std::size_t* bitsOffset = nullptr) {
    const int height = static_cast<int>(picture.size()), width = static_cast<int>(picture[0].size());
    std::vector<uint32_t> table;
    if (f.bitCount <= 8) {
        for (const auto& row : picture)
            for (uint32_t c : row)
                if (std::find(table.begin(), table.end(), c) == table.end()) table.push_back(c);
        if (!f.shortTable) table.resize(std::size_t(1) << f.bitCount, 0);
    }
    std::string after(f.bitFields && f.infoSize == 40 ? 12 : 0, '\0');  // masks after a plain header
    for (uint32_t c : table) after += std::string{char(c), char(c >> 8), char(c >> 16), 0};
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * f.bitCount + 31) / 32 * 4;
    std::string bits(rowBytes * height, '\0');
    for (int y = 0; y < height; ++y) {
        const std::size_t row = rowBytes * static_cast<std::size_t>(f.topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t c = picture[y][x], r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
            if (f.bitCount <= 8) {
                const std::size_t v = std::find(table.begin(), table.end(), c) - table.begin();
                const std::size_t bit = static_cast<std::size_t>(x) * f.bitCount;
                bits[row + bit / 8] |= static_cast<char>(v << (8 - f.bitCount - bit % 8));
            } else if (f.bitCount == 16) {
                const uint32_t v = f.bitFields ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3  // 5-6-5
                                               : (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
                put32(bits, row + 2 * x, v, 2);
            } else {
                put32(bits, row + static_cast<std::size_t>(x) * (f.bitCount / 8), c, 3);
            }
        }
    }
    std::string file(14 + f.infoSize, '\0');
    const std::size_t offset = file.size() + after.size();
    file[0] = 'B', file[1] = 'M';
    put32(file, 2, static_cast<uint32_t>(offset + bits.size()));
    put32(file, 10, static_cast<uint32_t>(offset));
    put32(file, 14, f.infoSize);
    put32(file, 18, static_cast<uint32_t>(width));
    put32(file, 22, static_cast<uint32_t>(f.topDown ? -height : height));
    put32(file, 26, 1 | f.bitCount << 16);  // planes, bit count
    put32(file, 30, f.bitFields ? 3 : 0);
    put32(file, 46, f.shortTable ? static_cast<uint32_t>(table.size()) : 0);
    if (f.bitFields) {
        std::string& target = f.infoSize == 40 ? after : file;
        const std::size_t at = f.infoSize == 40 ? 0 : 54;
        put32(target, at, f.bitCount == 16 ? 0xF800 : 0xFF0000);
        put32(target, at + 4, f.bitCount == 16 ? 0x07E0 : 0x00FF00);
        put32(target, at + 8, f.bitCount == 16 ? 0x001F : 0x0000FF);
    }
    if (bitsOffset != nullptr) *bitsOffset = offset;
    return file + after + bits;
}

}  // namespace hs::test
