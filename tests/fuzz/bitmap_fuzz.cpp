// Fuzz target of the bitmap file reader. libFuzzer hands the input over in a
// buffer of exactly its size, so the address sanitizer catches any read
// beyond it. A file the reader accepts must describe a colour table and
// pixel rows that lie wholly inside the input: every byte of them is read
// here, and the sizes must agree with the picture's width and height.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "listview/bitmap_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hs::BitmapFileImage image;
    if (!hs::parseBitmapFile(data, size, image)) return 0;

    const uint64_t rowBits = uint64_t(image.width) * image.bitCount;
    const bool consistent =
        image.width > 0 && image.height > 0 &&
        uint64_t(image.width) * uint64_t(image.height) <= hs::kMaxBitmapPixels &&
        image.rowBytes % 4 == 0 && uint64_t(image.rowBytes) * 8 >= rowBits &&
        uint64_t(image.rowBytes) * 8 < rowBits + 32 &&
        uint64_t(image.bitsSize) == uint64_t(image.rowBytes) * uint64_t(image.height) &&
        uint64_t(image.bitsOffset) + image.bitsSize <= size &&
        (image.bitCount > 8 ? image.colours.empty() : image.colours.size() == (std::size_t(1) << image.bitCount));
    if (!consistent) std::abort();

    unsigned sum = 0;
    for (std::size_t i = 0; i < image.bitsSize; ++i) sum += data[image.bitsOffset + i];
    for (const hs::BitmapColour& c : image.colours) sum += c.red + c.green + c.blue;
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
