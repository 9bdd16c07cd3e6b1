// The viewer's dump and the Save as copy: hex line breaking, the byte limit,
// zero bytes, reading in turn with a worker's commit, failed copies.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "dialogs/kept_content.h"
#include "platform/file_system.h"
#include "test_support.h"

namespace hs {
namespace {

using test::readBytes;
using test::writeBytes;

TEST(HeaderDump, SixPairsALineTheLimitAndZeroBytes) {
    EXPECT_EQ(dumpHeader("ABCDE").hex, "41 42 43 44 45 ");
    EXPECT_EQ(dumpHeader("ABCDEF").hex, "41 42 43 44 45 46 \r\n");
    const HeaderDump zero = dumpHeader(std::string("A\0B", 3));
    EXPECT_EQ(zero.hex, "41 00 42 ");
    EXPECT_EQ(zero.text, "AB");
    EXPECT_EQ(dumpHeader("a\r\n\t\x01\xff").text, "a\r\n\t\x01\xff");

    std::string bytes;
    for (int i = 0; i < 10000; ++i) bytes += static_cast<char>('a' + i % 26);
    const HeaderDump big = dumpHeader(bytes);
    EXPECT_EQ(big.text, bytes.substr(0, 2052));
    EXPECT_EQ(big.hex.size(), 2052u * 3 + 342u * 2);
    EXPECT_EQ(big.hex.substr(big.hex.size() - 5), "78 \r\n");
}

class KeptContent : public test::WorkingDirTest {
protected:
    DocumentCatalogue cat;
    std::unique_ptr<FileSystem> files = makePlatformFileSystem();
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        files->makeDirectory("data");
    }
};

// A commit replaces the content file under the files lock; on Windows an
// open file cannot be replaced, so a viewer coming meanwhile must wait and
// then read the new file.
TEST_F(KeptContent, ReadingWaitsForACommitInProgress) {
    writeBytes(test::dataFile("doc.content"), "old");
    writeBytes(test::dataFile("new.tmp"), "new");
    HeaderDump dump;
    std::atomic<bool> done{false};
    std::thread viewer;
    {
        const auto commit = cat.lockDocumentFiles();
        viewer = std::thread([&] { done = readHeaderDump(cat, *files, "doc", dump); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(done);
        EXPECT_TRUE(files->replaceFile(test::dataFile("new.tmp"), test::dataFile("doc.content")));
    }
    viewer.join();
    EXPECT_EQ(dump.text, "new");
    EXPECT_FALSE(readHeaderDump(cat, *files, "missing", dump));
}

TEST_F(KeptContent, CopyReplacesTheTargetAndReportsFailures) {
    std::string bytes;
    for (int i = 0; i < 40000; ++i) bytes += static_cast<char>(i * 7);
    writeBytes(test::dataFile("doc.content"), bytes);
    writeBytes("target.bin", "older");
    ASSERT_TRUE(copyKeptContent(cat, *files, "doc", "target.bin"));
    EXPECT_EQ(readBytes("target.bin"), bytes);
    EXPECT_FALSE(copyKeptContent(cat, *files, "missing", "target.bin"));
    EXPECT_EQ(readBytes("target.bin"), bytes);
    EXPECT_FALSE(copyKeptContent(cat, *files, "doc", joinPath("no-such-dir", "target.bin")));
}

}  // namespace
}  // namespace hs
