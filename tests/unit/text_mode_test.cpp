#include <gtest/gtest.h>

#include <string>

#include "catalogue/text_mode.h"
#include "test_support.h"

namespace hs {
namespace {

using test::readBytes;
using test::writeBytes;

class TextModeFiles : public test::WorkingDirTest {};

// Reads a whole file through ContentReader in pieces of `piece` bytes.
std::string readAll(const std::string& path, FileMode mode, std::size_t piece) {
    ContentReader reader;
    EXPECT_TRUE(reader.open(path, mode));
    std::string out;
    std::string buf(piece, '\0');
    for (;;) {
        const std::size_t got = reader.read(&buf[0], piece);
        out.append(buf, 0, got);
        if (got < piece) break;
    }
    EXPECT_FALSE(reader.failed());
    return out;
}

TEST(TextModeStrings, LineFeedsAreStoredWithCarriageReturns) {
    EXPECT_EQ(toStoredText("a\nb\n"), "a\r\nb\r\n");
    // A carriage return plus line feed in the text gains a second return.
    EXPECT_EQ(toStoredText("a\r\nb"), "a\r\r\nb");
    EXPECT_EQ(fromStoredText("a\r\r\nb"), "a\r\nb");
    EXPECT_EQ(fromStoredText("a\rb\r"), "a\rb\r");  // lone returns stay
    EXPECT_EQ(fromStoredText("ab\x1A" "cd\r\n"), "ab");
    EXPECT_EQ(fromStoredText(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST_F(TextModeFiles, WriterAndReaderRoundTripAcrossBufferEdges) {
    // Line feeds and returns placed around the 64 KiB buffer edges of both
    // the writer and the reader.
    std::string text;
    for (int i = 0; i < 300000; ++i) {
        const int k = i % 97;
        text.push_back(k == 0 ? '\n' : k == 50 ? '\r' : static_cast<char>('a' + k % 26));
    }
    for (std::size_t edge : {65535u, 65536u, 131071u, 131072u}) text[edge] = '\n';
    text[196607] = '\r';
    text[196608] = '\n';
    ASSERT_TRUE(writeTextFile("t.txt", text.data(), text.size()));
    const std::string stored = readBytes("t.txt");
    EXPECT_EQ(stored, toStoredText(text));
    for (std::size_t piece : {1u, 7u, 512u, 8192u, 100000u}) {
        EXPECT_EQ(readAll("t.txt", FileMode::Text, piece), fromStoredText(stored))
            << "piece " << piece;
    }
    EXPECT_EQ(readAll("t.txt", FileMode::Binary, 512), stored);
}

TEST_F(TextModeFiles, CarriageReturnPairSplitByTheReadBuffer) {
    // The pair CR LF straddles the reader's 64 KiB raw buffer.
    std::string stored(65535, 'x');
    stored += "\r\nend\r";
    writeBytes("s.txt", stored);
    EXPECT_EQ(readAll("s.txt", FileMode::Text, 70000), std::string(65535, 'x') + "\nend\r");
}

TEST_F(TextModeFiles, ReadingStopsAtTheTextEndByte) {
    writeBytes("z.txt", std::string("keep\r\n\x1A" "lost\r\n"));
    EXPECT_EQ(readAll("z.txt", FileMode::Text, 3), "keep\n");
    EXPECT_EQ(readAll("z.txt", FileMode::Binary, 3), std::string("keep\r\n\x1A" "lost\r\n"));
    std::string text;
    ASSERT_TRUE(loadText("z.txt", text));
    EXPECT_EQ(text, "keep\n");
}

TEST_F(TextModeFiles, LoadingDropsZeroBytesAfterTranslating) {
    // CR NUL LF is no pair for text mode; once the NUL is gone, CR LF remains.
    writeBytes("n.txt", std::string("a\0b\r\0\nc\r\n\0", 11));
    std::string text;
    ASSERT_TRUE(loadText("n.txt", text));
    EXPECT_EQ(text, "ab\r\nc\n");
}

TEST_F(TextModeFiles, MissingFilesFailAndEmptyOnesAreEmpty) {
    std::string text = "old";
    EXPECT_FALSE(loadText("missing.txt", text));
    EXPECT_TRUE(text.empty());
    ContentReader reader;
    EXPECT_FALSE(reader.open("missing.txt", FileMode::Text));
    writeBytes("empty.txt", "");
    ASSERT_TRUE(loadText("empty.txt", text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(readAll("empty.txt", FileMode::Text, 16), "");
    // A file that cannot be created is reported.
    EXPECT_FALSE(writeTextFile("no-such-dir/x.txt", "a", 1));
}

}  // namespace
}  // namespace hs
