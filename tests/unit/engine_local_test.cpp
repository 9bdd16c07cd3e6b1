#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/document_files.h"
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
    EXPECT_EQ(order, (std::vector<std::string>{dataFile("doc.data"), dataFile("doc.v1"), dataFile("doc.content"),
                                               dataFile("doc.history")}));

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


// Replaced content becomes an earlier version; the acknowledged one is the
// baseline of the difference, and versions go and move with the document.
TEST_F(LocalRetrieval, ReplacedContentBecomesAVersionAndTheAcknowledgedOneTheBaseline) {
    DocumentFiles docs(files);
    uint32_t baseline = 99;
    auto change = [&](const std::string& bytes) {
        writeBytes("watched.bin", bytes);
        return check();
    };
    ASSERT_EQ(change("one"), Saved);
    ASSERT_TRUE(docs.baselineOf("doc", baseline));
    EXPECT_EQ(baseline, kCurrentVersion);  // the first content is acknowledged
    EXPECT_FALSE(docs.hasDifference("doc"));
    ASSERT_EQ(change("two"), Changed);
    EXPECT_EQ(readBytes(dataFile("doc.v1")), "one");
    ASSERT_EQ(change("three"), Changed);  // not acknowledged: the baseline stays
    const std::vector<VersionInfo> list = docs.listVersions("doc");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0].seq == 1 && list[0].baseline && list[0].size == 3 && list[0].time > 0);
    EXPECT_TRUE(list[1].seq == 2 && !list[1].baseline);
    EXPECT_TRUE(list[2].seq == kCurrentVersion && list[2].size == 5);
    EXPECT_TRUE(docs.hasDifference("doc"));
    std::string bytes;
    ASSERT_TRUE(docs.readVersion("doc", 2, 100, bytes));
    EXPECT_EQ(bytes, "two");

    ASSERT_TRUE(docs.acknowledgeCurrent("doc"));
    EXPECT_FALSE(docs.hasDifference("doc"));
    ASSERT_EQ(change("four"), Changed);
    ASSERT_TRUE(docs.baselineOf("doc", baseline));
    EXPECT_EQ(baseline, 3u);  // the acknowledged content the change replaced
    EXPECT_FALSE(docs.setBaseline("doc", 7));
    ASSERT_TRUE(docs.setBaseline("doc", 2));
    ASSERT_TRUE(docs.copyVersion("doc", 2, "saved.txt"));
    EXPECT_EQ(readBytes("saved.txt"), "two");

    // Edit: the versions follow the new name; the record and content go.
    docs.removeForEdit("doc", "renamed");
    EXPECT_FALSE(fileExists(dataFile("doc.v2")) || fileExists(dataFile("doc.history")));
    EXPECT_EQ(readBytes(dataFile("renamed.v2")), "two");
    ASSERT_TRUE(docs.baselineOf("renamed", baseline));
    EXPECT_EQ(baseline, 2u);
    EXPECT_EQ(docs.listVersions("renamed").size(), 3u);  // no current content
    docs.removeAll("renamed");
    std::vector<std::string> left;
    ASSERT_TRUE(testFileSystem().listFiles("data", "*", left));
    EXPECT_TRUE(left.empty());
}

TEST_F(LocalRetrieval, VersionsBeyondTheLimitsGoButTheBaselineStays) {
    writeBytes("watched.bin", "v0");
    ASSERT_EQ(check(), Saved);
    for (std::size_t i = 1; i <= kMaxVersions + 5; ++i) {
        writeBytes("watched.bin", "v" + std::to_string(i));
        ASSERT_EQ(check(), Changed);
    }
    const std::vector<VersionInfo> list = DocumentFiles(files).listVersions("doc");
    ASSERT_EQ(list.size(), kMaxVersions + 1);
    EXPECT_TRUE(list[0].seq == 1 && list[0].baseline);
    EXPECT_EQ(list[1].seq, 7u);
    EXPECT_FALSE(fileExists(dataFile("doc.v6")));
    EXPECT_EQ(readBytes(dataFile("doc.v7")), "v6");

    // The room they take: the oldest go first, never the baseline.
    History h;
    for (uint32_t seq = 1; seq <= 4; ++seq) h.versions.push_back(VersionEntry{seq, 0, 40});
    h.baseline = History::Baseline::Version;
    h.baselineSeq = 1;
    EXPECT_EQ(pruneVersions(h, kMaxVersions, 100), (std::vector<uint32_t>{2, 3}));
    EXPECT_EQ(pruneVersions(h, kMaxVersions, 10), (std::vector<uint32_t>{4}));
    EXPECT_EQ(h.versions.size(), 1u);
    EXPECT_EQ(parseHistory(formatHistory(h)).versions.size(), 1u);
}

// A version that cannot be kept never fails the check nor loses content; the
// history says so.
TEST_F(LocalRetrieval, AVersionThatCannotBeWrittenIsToldInTheHistory) {
    writeBytes("watched.bin", "old");
    ASSERT_EQ(check(), Saved);
    writeBytes("watched.bin", "new");
    // The disk is full from the record's write until the replaced content
    // frees its room.
    files.beforeReplace = [&] { files.failTemp = !files.failTemp; };
    EXPECT_EQ(check(), Changed);
    files.beforeReplace = nullptr;
    files.failTemp = false;
    EXPECT_EQ(kept(), "new");
    EXPECT_FALSE(fileExists(dataFile("doc.v1")));
    const std::vector<HistoryEvent> events = DocumentFiles(files).historyEvents("doc");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_NE(events[0].text.find("version not kept"), std::string::npos);
    EXPECT_FALSE(DocumentFiles(files).hasDifference("doc"));  // the acknowledged content is gone

    // New content that cannot take the kept content's place: the kept
    // content is put back, no version is made.
    int failures = 0;
    files.failReplaceOf = [&](const std::string& to) {
        return to == dataFile("doc.content") && failures++ == 0;
    };
    writeBytes("watched.bin", "newer");
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_EQ(kept(), "new");
    EXPECT_EQ(DocumentFiles(files).listVersions("doc").size(), 1u);
    EXPECT_TRUE(test::tempFilesLeft().empty());
    files.failReplaceOf = nullptr;

    // A process that ended between the two renames: the next commit takes
    // the replaced content back and lists it.
    std::filesystem::rename(dataFile("doc.content"), dataFile("doc.v2"));
    EXPECT_EQ(check(), Saved);
    EXPECT_EQ(kept(), "newer");
    EXPECT_EQ(readBytes(dataFile("doc.v2")), "new");
    EXPECT_EQ(DocumentFiles(files).listVersions("doc").size(), 2u);
}

}  // namespace
}  // namespace hs
