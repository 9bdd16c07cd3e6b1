// The bitmap file reader: every pixel format it takes, found where the file
// puts it; files that lie about their sizes or ask for what it does not
// take, and every cut-short file, refused. The bytes go in buffers of
// exactly their size, so the sanitizer builds catch any read beyond.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listview/bitmap_file.h"
#include "unit/bitmap_samples.h"
#include "unit/test_support.h"

namespace hs {
namespace {

using test::BitmapFormat;
using test::put32;

bool parses(const std::string& file, BitmapFileImage* image = nullptr) {
    const std::vector<uint8_t> exact(file.begin(), file.end());
    BitmapFileImage ignored;
    return parseBitmapFile(exact.data(), exact.size(), image ? *image : ignored);
}

const BitmapFormat kFormats[] = {
    {1}, {4}, {4, false, false, 40, true}, {8, false, true}, {16}, {16, true},
    {24}, {24, false, true, 108}, {32}, {32, true}, {32, true, false, 124},
};

std::string sample(const BitmapFormat& f, std::size_t* bitsOffset = nullptr) {
    return test::bitmapFile(f.bitCount == 1 ? test::twoColours() : test::eightColours(), f, bitsOffset);
}

TEST(BitmapFileTest, EveryFormatIsFoundWhereTheFilePutsItAndEveryCutShortFileIsRefused) {
    for (const BitmapFormat& f : kFormats) {
        SCOPED_TRACE(testing::Message() << f.bitCount << " bits, header " << f.infoSize);
        std::size_t bitsOffset = 0;
        const std::string file = sample(f, &bitsOffset);
        BitmapFileImage image;
        ASSERT_TRUE(parses(file, &image));
        EXPECT_EQ(image.width, f.bitCount == 1 ? 9 : 4);
        EXPECT_EQ(image.height, 2);
        EXPECT_EQ(image.topDown, f.topDown);
        EXPECT_EQ(image.bitsOffset, bitsOffset);
        EXPECT_EQ(image.bitsOffset + image.bitsSize, file.size());
        // A full table whatever the file gave, so no pixel points past it.
        EXPECT_EQ(image.colours.size(), f.bitCount <= 8 ? std::size_t(1) << f.bitCount : 0u);
        if (f.bitCount <= 8) {
            EXPECT_EQ(image.colours[0].red, 255);
        }
        EXPECT_EQ(image.redMask, f.bitFields ? (f.bitCount == 16 ? 0xF800u : 0xFF0000u) : 0u);
        for (std::size_t size = 0; size < file.size(); ++size) {
            ASSERT_FALSE(parses(file.substr(0, size))) << "cut to " << size << " bytes";
        }
    }
    EXPECT_TRUE(parses(sample({24}) + "trailing bytes"));
}

TEST(BitmapFileTest, HeadersThatLieOrAskForTheUnexpectedAreRefused) {
    // {base format, byte offset, value, bytes}; the information header
    // starts at 14.
    struct Case {
        BitmapFormat base;
        std::size_t at;
        uint32_t value;
        int bytes;
        const char* what;
    };
    const Case cases[] = {
        {{8}, 0, 'X', 1, "not BM"},
        {{8}, 14, 12, 4, "core header"},
        {{8}, 14, 0xFFFFFFF0u, 4, "header larger than the file"},
        {{24}, 18, 0, 4, "width 0"},
        {{24}, 18, 0xFFFFFFFCu, 4, "negative width"},
        {{24}, 22, 0, 4, "height 0"},
        {{24}, 22, 0x80000000u, 4, "height of the lowest int"},
        {{24}, 22, 3, 4, "one row more than the bits"},
        {{24}, 18, 0x55555556u, 4, "rows of 2^32 + 4 bytes (4 in 32 bits)"},
        {{24}, 18, 0x10000, 4, "65536 pixels wide"},
        {{24}, 26, 2, 2, "2 planes"},
        {{24}, 28, 0, 2, "0 bits (embedded picture)"},
        {{8}, 28, 2, 2, "2 bits"},
        {{8}, 30, 1, 4, "run-length compression"},
        {{24}, 30, 3, 4, "masks on 24 bits"},
        {{8}, 46, 257, 4, "more colours than 8 bits hold"},
        {{24}, 46, 0x40000000u, 4, "a table of 2^32 bytes (0 in 32 bits)"},
        {{16, true}, 54, 0, 4, "zero mask"},
        {{16, true}, 54, 0xF00F, 4, "mask with a gap"},
        {{16, true}, 58, 0x0FE0, 4, "overlapping masks"},
        {{16, true}, 54, 0x1F0000, 4, "mask beyond 16 bits"},
    };
    for (const Case& c : cases) {
        std::string file = sample(c.base);
        ASSERT_TRUE(parses(file)) << c.what;
        put32(file, c.at, c.value, c.bytes);
        if (c.at == 18 && c.value == 0x10000) put32(file, 22, 0x10000);  // and as high
        EXPECT_FALSE(parses(file)) << c.what;
    }
}

class BitmapFileReadTest : public test::WorkingDirTest {};

TEST_F(BitmapFileReadTest, FilesAreReadWholeBeyondOneReadPieceOrRefused) {
    const std::string wide = test::bitmapFile({std::vector<uint32_t>(400000, 0x123456)}, {24});
    test::writeBytes("wide.bmp", wide);
    test::writeBytes("short.bmp", wide.substr(0, wide.size() - 1));
    std::vector<uint8_t> bytes;
    BitmapFileImage image;
    ASSERT_TRUE(loadBitmapFileBytes("wide.bmp", bytes, image));
    EXPECT_EQ(bytes.size(), wide.size());
    EXPECT_FALSE(loadBitmapFileBytes("short.bmp", bytes, image));
    EXPECT_FALSE(loadBitmapFileBytes("missing.bmp", bytes, image));
}

}  // namespace
}  // namespace hs
