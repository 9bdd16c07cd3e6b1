// Bitmap files made in memory for the tests: a small picture written in any
// of the pixel formats the list's background reads from files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hs::test {

struct Rgb {
    uint8_t r, g, b;
    bool operator<(const Rgb& o) const { return (r << 16 | g << 8 | b) < (o.r << 16 | o.g << 8 | o.b); }
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

using Picture = std::vector<std::vector<Rgb>>;  // rows, top row first

// Eight colours exact in every format (each channel 0 or 255), 4 x 2.
inline Picture eightColours() {
    return {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}},
            {{0, 0, 0}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}}};
}

// Two colours, for one bit per pixel: 9 x 2, so a row needs two bytes.
inline Picture twoColours() {
    Picture p(2, std::vector<Rgb>(9, Rgb{0, 0, 255}));
    for (int x = 0; x < 9; x += 2) p[0][x] = Rgb{255, 0, 0};
    p[1][8] = Rgb{255, 0, 0};
    return p;
}

struct BitmapFormat {
    uint16_t bitCount = 24;
    bool bitFields = false;   // 16 bits: 5-6-5 masks; 32 bits: 8-8-8 masks
    bool topDown = false;
    uint32_t infoSize = 40;   // 40, or 108 / 124 (masks inside the header)
    bool shortTable = false;  // 8 or fewer bits: only the colours used
};

inline void put16(std::string& b, std::size_t at, uint32_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void put32(std::string& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The whole file; `bitsOffset` (when given) gets where the pixel rows begin.
inline std::string bitmapFile(const Picture& picture, const BitmapFormat& f, std::size_t* bitsOffset = nullptr) {
    const int height = static_cast<int>(picture.size());
    const int width = static_cast<int>(picture[0].size());
    std::vector<Rgb> table;
    std::map<Rgb, uint32_t> index;
    if (f.bitCount <= 8) {
        for (const auto& row : picture) {
            for (const Rgb& c : row) {
                if (index.emplace(c, static_cast<uint32_t>(table.size())).second) table.push_back(c);
            }
        }
        if (!f.shortTable) table.resize(std::size_t(1) << f.bitCount, Rgb{0, 0, 0});
    }
    const bool masksAfter = f.bitFields && f.infoSize == 40;
    std::string after;  // masks or colour table
    if (masksAfter) after.resize(12);
    for (const Rgb& c : table) after += std::string{char(c.b), char(c.g), char(c.r), 0};

    const std::size_t rowBytes = (static_cast<std::size_t>(width) * f.bitCount + 31) / 32 * 4;
    std::string bits(rowBytes * height, '\0');
    for (int y = 0; y < height; ++y) {
        const std::size_t rowAt = rowBytes * static_cast<std::size_t>(f.topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const Rgb c = picture[y][x];
            if (f.bitCount <= 8) {
                const uint32_t v = index.at(c);
                const std::size_t bit = static_cast<std::size_t>(x) * f.bitCount;
                bits[rowAt + bit / 8] |= static_cast<char>(v << (8 - f.bitCount - bit % 8));
            } else if (f.bitCount == 16) {
                const uint32_t v = f.bitFields ? ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3)
                                               : ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3);
                put16(bits, rowAt + 2 * x, v);
            } else {
                const std::size_t at = rowAt + static_cast<std::size_t>(x) * (f.bitCount / 8);
                bits[at] = char(c.b);
                bits[at + 1] = char(c.g);
                bits[at + 2] = char(c.r);
            }
        }
    }

    std::string file(14 + f.infoSize, '\0');
    const std::size_t offset = file.size() + after.size();
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<uint32_t>(offset + bits.size()));
    put32(file, 10, static_cast<uint32_t>(offset));
    put32(file, 14, f.infoSize);
    put32(file, 18, static_cast<uint32_t>(width));
    put32(file, 22, static_cast<uint32_t>(f.topDown ? -height : height));
    put16(file, 26, 1);
    put16(file, 28, f.bitCount);
    put32(file, 30, f.bitFields ? 3 : 0);
    put32(file, 34, static_cast<uint32_t>(bits.size()));
    put32(file, 46, f.shortTable ? static_cast<uint32_t>(table.size()) : 0);
    if (f.bitFields) {
        // After a plain header, or inside a longer one.
        const bool sixteen = f.bitCount == 16;
        std::string& target = masksAfter ? after : file;
        const std::size_t at = masksAfter ? 0 : 14 + 40;
        put32(target, at, sixteen ? 0xF800 : 0xFF0000);
        put32(target, at + 4, sixteen ? 0x07E0 : 0x00FF00);
        put32(target, at + 8, sixteen ? 0x001F : 0x0000FF);
    }
    if (bitsOffset != nullptr) *bitsOffset = offset;
    return file + after + bits;
}

}  // namespace hs::test
