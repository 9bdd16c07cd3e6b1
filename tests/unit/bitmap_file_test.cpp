// The bitmap file reader: every pixel format it takes, found where the file
// puts it; and files that lie about their sizes, formats it does not take,
// and every cut-short file, all refused without reading past their end (the
// bytes are handed over in buffers of exactly their size, so the sanitizer
// builds catch any read beyond).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "listview/bitmap_file.h"
#include "unit/bitmap_samples.h"
#include "unit/test_support.h"

namespace hs {
namespace {

using test::BitmapFormat;
using test::bitmapFile;
using test::put16;
using test::put32;

bool parses(const std::string& file, BitmapFileImage& image) {
    const std::vector<uint8_t> exact(file.begin(), file.end());
    return parseBitmapFile(exact.data(), exact.size(), image);
}

bool parses(const std::string& file) {
    BitmapFileImage image;
    return parses(file, image);
}

struct Sample {
    const char* name;
    BitmapFormat format;
};

const Sample kSamples[] = {
    {"1 bit", {1}},
    {"4 bits", {4}},
    {"4 bits, short table", {4, false, false, 40, true}},
    {"8 bits", {8}},
    {"8 bits, top-down", {8, false, true}},
    {"16 bits", {16}},
    {"16 bits, 5-6-5 masks", {16, true}},
    {"24 bits", {24}},
    {"24 bits, top-down, 108-byte header", {24, false, true, 108}},
    {"32 bits", {32}},
    {"32 bits, masks", {32, true}},
    {"32 bits, masks in a 124-byte header", {32, true, false, 124}},
};

std::string sampleFile(const BitmapFormat& f, std::size_t* bitsOffset = nullptr) {
    return bitmapFile(f.bitCount == 1 ? test::twoColours() : test::eightColours(), f, bitsOffset);
}

TEST(BitmapFileTest, EveryPixelFormatIsFoundWhereTheFilePutsIt) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        std::size_t bitsOffset = 0;
        const std::string file = sampleFile(s.format, &bitsOffset);
        BitmapFileImage image;
        ASSERT_TRUE(parses(file, image));
        const int width = s.format.bitCount == 1 ? 9 : 4;
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, 2);
        EXPECT_EQ(image.topDown, s.format.topDown);
        EXPECT_EQ(image.bitCount, s.format.bitCount);
        EXPECT_EQ(image.bitsOffset, bitsOffset);
        EXPECT_EQ(image.rowBytes, (static_cast<std::size_t>(width) * s.format.bitCount + 31) / 32 * 4);
        EXPECT_EQ(image.bitsOffset + image.bitsSize, file.size());
        if (s.format.bitCount <= 8) {
            // The full table, whatever the file gave: no pixel value points
            // past it. The first colour the picture uses comes first.
            ASSERT_EQ(image.colours.size(), std::size_t(1) << s.format.bitCount);
            EXPECT_EQ(image.colours[0].red, 255);
            EXPECT_EQ(image.colours[0].green, 0);
        } else {
            EXPECT_TRUE(image.colours.empty());
        }
        EXPECT_EQ(image.compression, s.format.bitFields ? kBitmapBitFields : kBitmapRgb);
        if (s.format.bitFields) {
            EXPECT_EQ(image.redMask, s.format.bitCount == 16 ? 0xF800u : 0xFF0000u);
            EXPECT_EQ(image.blueMask, s.format.bitCount == 16 ? 0x001Fu : 0x0000FFu);
        }
    }
}

TEST(BitmapFileTest, EveryCutShortFileIsRefused) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        const std::string file = sampleFile(s.format);
        for (std::size_t size = 0; size < file.size(); ++size) {
            ASSERT_FALSE(parses(file.substr(0, size))) << "cut to " << size << " bytes";
        }
    }
}

TEST(BitmapFileTest, HeadersThatLieOrAskForTheUnexpectedAreRefused) {
    // Field offsets in the file: the information header starts at 14.
    const std::string eight = sampleFile({8});
    const std::string deep = sampleFile({24});
    const std::string masked = sampleFile({16, true});
    struct Case {
        const char* name;
        const std::string& base;
        std::function<void(std::string&)> change;
    };
    const Case cases[] = {
        {"not BM", eight, [](std::string& b) { b[1] = 'A'; }},
        {"core header", eight, [](std::string& b) { put32(b, 14, 12); }},
        {"header size 0", eight, [](std::string& b) { put32(b, 14, 0); }},
        {"header larger than the file", eight, [](std::string& b) { put32(b, 14, 0xFFFFFFF0u); }},
        {"width 0", deep, [](std::string& b) { put32(b, 18, 0); }},
        {"negative width", deep, [](std::string& b) { put32(b, 18, static_cast<uint32_t>(-4)); }},
        {"height 0", deep, [](std::string& b) { put32(b, 22, 0); }},
        {"height of the lowest int", deep, [](std::string& b) { put32(b, 22, 0x80000000u); }},
        {"2 planes", deep, [](std::string& b) { put16(b, 26, 2); }},
        {"0 bits (embedded picture)", deep, [](std::string& b) { put16(b, 28, 0); }},
        {"2 bits", eight, [](std::string& b) { put16(b, 28, 2); }},
        {"64 bits", deep, [](std::string& b) { put16(b, 28, 64); }},
        {"run-length compression", eight, [](std::string& b) { put32(b, 30, 1); }},
        {"embedded PNG", deep, [](std::string& b) { put32(b, 30, 5); }},
        {"masks on 24 bits", deep, [](std::string& b) { put32(b, 30, 3); }},
        {"more colours than 8 bits hold", eight, [](std::string& b) { put32(b, 46, 257); }},
        {"colours used wrapping 32 bits", eight, [](std::string& b) { put32(b, 46, 0x40000000u); }},
        // 24 bits: a table of 2^30 entries is 2^32 bytes, 0 in 32 bits.
        {"table of 2^32 bytes on true colour", deep, [](std::string& b) { put32(b, 46, 0x40000000u); }},
        {"one row more than the bits", deep, [](std::string& b) { put32(b, 22, 3); }},
        // Rows of 2^32 + 4 bytes: 4 when computed in 32 bits.
        {"row size wrapping 32 bits", deep, [](std::string& b) { put32(b, 18, 0x55555556u); }},
        {"65536 x 65536 pixels", deep,
         [](std::string& b) {
             put32(b, 18, 65536);
             put32(b, 22, 65536);
         }},
        {"zero mask", masked, [](std::string& b) { put32(b, 54, 0); }},
        {"mask with a gap", masked, [](std::string& b) { put32(b, 54, 0xF00F); }},
        {"overlapping masks", masked, [](std::string& b) { put32(b, 58, 0x0FE0); }},
        {"mask beyond 16 bits", masked, [](std::string& b) { put32(b, 54, 0x1F0000); }},
    };
    ASSERT_TRUE(parses(eight) && parses(deep) && parses(masked));
    for (const Case& c : cases) {
        std::string file = c.base;
        c.change(file);
        EXPECT_FALSE(parses(file)) << c.name;
    }
}

TEST(BitmapFileTest, ExtraBytesAfterTheRowsAreAllowed) {
    BitmapFileImage image;
    ASSERT_TRUE(parses(sampleFile({24}) + std::string(10, '\x7F'), image));
    EXPECT_EQ(image.height, 2);
}

class BitmapFileReadTest : public test::WorkingDirTest {};

TEST_F(BitmapFileReadTest, FilesAreReadWholeOrRefused) {
    std::vector<uint8_t> bytes;
    BitmapFileImage image;
    EXPECT_FALSE(loadBitmapFileBytes("missing.bmp", bytes, image));
    test::writeBytes("short.bmp", "BM3456789012");
    EXPECT_FALSE(loadBitmapFileBytes("short.bmp", bytes, image));
    EXPECT_TRUE(bytes.empty());

    // Larger than one piece of the reader.
    test::Picture wide(1, std::vector<test::Rgb>(400000, test::Rgb{1, 2, 3}));
    const std::string file = bitmapFile(wide, {24});
    test::writeBytes("wide.bmp", file);
    ASSERT_TRUE(loadBitmapFileBytes("wide.bmp", bytes, image));
    EXPECT_EQ(bytes.size(), file.size());
    EXPECT_EQ(image.width, 400000);
}

TEST(BitmapFileTest, PaletteEntriesUpTo256ColoursOtherwiseHalftone) {
    EXPECT_EQ(paletteEntryCount(0, 1), 2u);
    EXPECT_EQ(paletteEntryCount(0, 4), 16u);
    EXPECT_EQ(paletteEntryCount(16, 4), 16u);
    EXPECT_EQ(paletteEntryCount(0, 8), 256u);
    EXPECT_EQ(paletteEntryCount(0, 16), 0u);
    EXPECT_EQ(paletteEntryCount(0, 32), 0u);  // 2^32 colours: halftone, not a wrapped count
    EXPECT_EQ(paletteEntryCount(300, 8), 0u);
}

}  // namespace
}  // namespace hs
