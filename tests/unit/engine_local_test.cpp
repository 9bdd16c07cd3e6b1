#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/store.h"
#include "check/check_worker.h"
#include "check/local_retrieval.h"
#include "engine_test_support.h"
#include "test_support.h"

namespace hs {
namespace {

using test::dataFile;
using test::fileExists;
using test::readBytes;
using test::writeBytes;

class LocalRetrieval : public test::WorkingDirTest {
protected:
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        test::makeDataDir();
        slot = catalogue.appendRecord(test::testDocument("doc", LocalFile, WaitingForRetrieve, "watched.bin"));
        files.watched = &catalogue;
    }
    void TearDown() override {
        // No file work while the catalogue lock is held.
        EXPECT_EQ(files.underCatalogueLock.load(), 0);
        test::WorkingDirTest::TearDown();
    }

    // Marks the document and runs one worker pass over the catalogue.
    int32_t check() {
        catalogue.setStatus(slot, WaitingForRetrieve);
        host.clear();
        runCheckPass(catalogue, host, files, localRetrievalPaths());
        return catalogue.status(slot);
    }
    std::string kept() { return readBytes(dataFile("doc.content")); }
    bool notified() { return host.count("sound") + host.count("blink") > 0; }

    DocumentCatalogue catalogue;
    test::RecordingHost host;
    test::SwitchableFileSystem files{testFileSystem()};
    std::size_t slot = 0;
};

TEST_F(LocalRetrieval, FirstRetrievalKeepsACopyWithoutNotifying) {
    writeBytes("watched.bin", std::string("a\r\nb\x1A\0c", 7));
    EXPECT_EQ(check(), Saved);
    EXPECT_EQ(kept(), std::string("a\r\nb\x1A\0c", 7));  // bytes exactly
    EXPECT_FALSE(notified());
    EXPECT_EQ(fieldText(catalogue.record(slot).lastCheck), "2004/07/15 [09:05:03]");
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(LocalRetrieval, UnchangedAndShortenedFilesAreNotChanged) {
    writeBytes("watched.bin", "line one\r\nline two\x1A tail");
    ASSERT_EQ(check(), Saved);
    EXPECT_EQ(check(), NotChanged);
    EXPECT_FALSE(notified());
    const int made = files.tempFilesMade.load();
    // Lost its tail, then became empty: both count as unchanged and the
    // longer kept copy stays.
    writeBytes("watched.bin", "line one");
    EXPECT_EQ(check(), NotChanged);
    writeBytes("watched.bin", "");
    EXPECT_EQ(check(), NotChanged);
    EXPECT_EQ(files.tempFilesMade.load(), made);  // nothing staged, no record written
    EXPECT_EQ(kept(), "line one\r\nline two\x1A tail");
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(LocalRetrieval, ChangedFilesNotifyThenReplaceTheKeptCopy) {
    writeBytes("watched.bin", "version 1");
    ASSERT_EQ(check(), Saved);
    writeBytes("watched.bin", "version 2");
    EXPECT_EQ(check(), Changed);
    EXPECT_EQ(kept(), "version 2");
    const std::vector<std::string> expected = {"row 0", "sound", "blink", "changed doc", "row 0"};
    EXPECT_EQ(host.events(), expected);
    // A Changed document is left alone by the next pass ...
    host.clear();
    runCheckPass(catalogue, host, files, localRetrievalPaths());
    EXPECT_TRUE(host.events().empty());
    // ... and a file that grew is a change.
    writeBytes("watched.bin", "version 2 and more");
    EXPECT_EQ(check(), Changed);
    EXPECT_EQ(kept(), "version 2 and more");
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(LocalRetrieval, PiecesOfExactly512Bytes) {
    const std::string block(512, 'x');
    writeBytes("watched.bin", block);
    ASSERT_EQ(check(), Saved);
    EXPECT_EQ(check(), NotChanged);  // the second read gets 0 bytes of both
    writeBytes("watched.bin", block + "y");
    EXPECT_EQ(check(), Changed);     // the kept copy ends at 512
    writeBytes("watched.bin", block);
    EXPECT_EQ(check(), NotChanged);  // the kept copy goes on
    std::string late = block + block;
    late[1000] = 'z';
    writeBytes("watched.bin", late);
    EXPECT_EQ(check(), Changed);     // a difference in the second piece
    EXPECT_EQ(kept(), late);
}

TEST_F(LocalRetrieval, MissingFilesAreUnableToRetrieveAndKeepTheCopy) {
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_FALSE(fileExists(dataFile("doc.content")));
    EXPECT_EQ(fieldText(catalogue.record(slot).lastCheck), "2004/07/15 [09:05:03]");

    writeBytes("watched.bin", "kept");
    ASSERT_EQ(check(), Saved);
    std::filesystem::remove("watched.bin");
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_EQ(check(), UnableToRetrieve);  // at every later check
    EXPECT_EQ(kept(), "kept");
}

TEST_F(LocalRetrieval, AFailedCopyNeverLosesTheKeptContent) {
    writeBytes("watched.bin", "old");
    ASSERT_EQ(check(), Saved);
    writeBytes("watched.bin", "new");

    files.failStagedWrite = true;
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_EQ(host.count("sound"), 1u);  // the change was found before the copy
    EXPECT_EQ(host.count("blink"), 1u);
    EXPECT_EQ(host.count("changed doc"), 0u);  // but nothing new was kept
    EXPECT_EQ(kept(), "old");

    files.failStagedWrite = false;
    files.failTemp = true;
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_EQ(kept(), "old");

    files.failTemp = false;
    files.failReplace = true;
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_EQ(kept(), "old");
    EXPECT_TRUE(test::tempFilesLeft().empty());

    files.failReplace = false;
    EXPECT_EQ(check(), Changed);
    EXPECT_EQ(kept(), "new");
}

// The record file follows every outcome that matters as it is found (the
// record before the kept content, so a process killed in between still
// announces the change); a check that only renews the last-check time waits
// for the next write.
TEST_F(LocalRetrieval, OutcomesReachTheRecordFileAsTheyAreFound) {
    auto stored = [] {
        RecordLayout r = zeroLayout();
        const std::string bytes = readBytes(dataFile("doc.data"));
        std::memcpy(&r, bytes.data(), std::min(bytes.size(), sizeof r));
        return std::make_pair(r.status, fieldText(r.lastCheck));
    };
    writeBytes("watched.bin", "version 1");
    ASSERT_EQ(check(), Saved);
    EXPECT_EQ(stored(), std::make_pair(int32_t{Saved}, std::string("2004/07/15 [09:05:03]")));
    host.setStamp("2004/07/15 [10:00:00]");
    ASSERT_EQ(check(), NotChanged);
    EXPECT_EQ(stored(), std::make_pair(int32_t{NotChanged}, std::string("2004/07/15 [10:00:00]")));
    host.setStamp("2004/07/15 [11:00:00]");
    ASSERT_EQ(check(), NotChanged);
    EXPECT_EQ(stored().second, "2004/07/15 [10:00:00]");

    const std::size_t before = files.calls("replace").size();
    writeBytes("watched.bin", "version 2");
    ASSERT_EQ(check(), Changed);
    EXPECT_EQ(stored().first, Changed);
    const std::vector<std::string> all = files.calls("replace");
    const std::vector<std::string> order(all.begin() + static_cast<long>(before), all.end());
    EXPECT_EQ(order, (std::vector<std::string>{dataFile("doc.data"), dataFile("doc.content")}));

    catalogue.setStatus(slot, NotChanged);  // the user's "Not changed" writes nothing
    std::filesystem::remove("watched.bin");
    ASSERT_EQ(check(), UnableToRetrieve);
    EXPECT_EQ(stored().first, UnableToRetrieve);
}

// A change whose record file cannot be written is not kept either: the kept
// content and the record file go on agreeing, and the next check finds the
// change again.
TEST_F(LocalRetrieval, AChangeThatItsRecordFileCannotTakeKeepsNothing) {
    writeBytes("watched.bin", "old");
    ASSERT_EQ(check(), Saved);
    writeBytes("watched.bin", "new");
    files.failReplaceOf = [](const std::string& to) { return to.size() > 5 && to.substr(to.size() - 5) == ".data"; };
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_EQ(kept(), "old");
    EXPECT_EQ(host.count("sound"), 1u);
    EXPECT_EQ(host.count("changed doc"), 0u);
    EXPECT_TRUE(test::tempFilesLeft().empty());
    files.failReplaceOf = nullptr;
    EXPECT_EQ(check(), Changed);
    EXPECT_EQ(kept(), "new");
}

TEST_F(LocalRetrieval, FirstRetrievalWithoutDataDirectoryFails) {
    std::filesystem::remove("data");
    writeBytes("watched.bin", "x");
    EXPECT_EQ(check(), UnableToRetrieve);
}

}  // namespace
}  // namespace hs
