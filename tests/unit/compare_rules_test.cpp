// The comparison rules on content handed over by fake sources: what the
// Binary rule reads of the kept content and what it stages, what a failing
// source leaves behind, the page rules, and a file a path already wrote.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "catalogue/store.h"
#include "compare/compare_rules.h"
#include "engine_test_support.h"
#include "test_support.h"

namespace hs {
namespace {

using test::dataFile;
using test::readBytes;
using test::StringSource;
using test::writeBytes;

class CompareRules : public test::WorkingDirTest {
protected:
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        test::makeDataDir();
        setField(page.name, "doc");
        page.type = HtmlPage;
    }
    RetrievalOutcome binary(const std::string& fresh, std::size_t piece, FileMode mode,
                            std::size_t failAt = std::string::npos) {
        StringSource source(fresh, piece, failAt);
        return decideBinary(source, content, mode, files);
    }
    // Moves what the outcome staged into place, as a commit does.
    void commit(const RetrievalOutcome& o) {
        if (!o.content.staged.empty()) files.replaceFile(o.content.staged, o.content.target);
        if (!o.middle.staged.empty()) files.replaceFile(o.middle.staged, o.middle.target);
    }

    const std::string content = dataFile("doc.content");
    Document page = zeroRecord();
    test::SwitchableFileSystem files{testFileSystem()};
};

TEST(BinaryComparison, StopsReadingTheKeptContentAtTheFirstDifference) {
    StringSource fresh("0123456789abXdefghij", 5);
    StringSource kept("0123456789abcdefghij" + std::string(10000, 'k'), 8192);
    const BinaryComparison c = compareWithKept(fresh, kept);
    EXPECT_EQ(c.result, BinaryComparison::Changed);
    EXPECT_EQ(c.equalBytes, 10u);
    EXPECT_EQ(std::string(c.piece.begin(), c.piece.end()), "abXde");
    EXPECT_EQ(kept.consumed(), 15u);  // the piece with the difference, nothing after it
    // Equal up to its end: the longer kept content is read only that far.
    StringSource shorter("0123456", 5);
    StringSource longer("0123456" + std::string(10000, 'k'), 8192);
    EXPECT_EQ(compareWithKept(shorter, longer).result, BinaryComparison::Same);
    EXPECT_EQ(longer.consumed(), 7u);
}

// The difference before, on and after piece edges, pieces of several sizes:
// the staged file is the whole new content as the mode keeps it, and
// unchanged content stages nothing.
TEST_F(CompareRules, AChangeStagesTheWholeNewContent) {
    std::mt19937 rng(5);
    std::string old(3000, 'a');
    for (char& c : old) c = "ab\r\n"[rng() % 4];
    for (FileMode mode : {FileMode::Binary, FileMode::Text}) {
        auto stored = [mode](const std::string& s) { return mode == FileMode::Text ? toStoredText(s) : s; };
        for (std::size_t at : {0u, 511u, 512u, 1000u, 2999u, 3000u}) {
            for (std::size_t piece : {1u, 7u, 512u, 8192u}) {
                writeBytes(content, stored(old));
                std::string fresh = old;
                if (at < fresh.size()) fresh[at] = 'X'; else fresh += "grown";
                const RetrievalOutcome o = binary(fresh, piece, mode);
                ASSERT_EQ(o.status, Changed) << at << " " << piece;
                EXPECT_EQ(readBytes(o.content.staged), stored(fresh)) << at << " " << piece;
                files.removeFile(o.content.staged);
            }
        }
        files.tempFilesMade = 0;
        EXPECT_EQ(binary(old, 7, mode).status, NotChanged);
        EXPECT_EQ(binary(old.substr(0, 100), 512, mode).status, NotChanged);
        EXPECT_EQ(files.tempFilesMade.load(), 0);
    }
}

TEST_F(CompareRules, AFailingSourceKeepsNothingNew) {
    const std::string old(2000, 'o');
    writeBytes(content, old);
    std::string fresh = old;
    fresh[1500] = 'n';
    for (std::size_t failAt : {0u, 1000u, 1600u}) {  // before and after the difference
        const RetrievalOutcome o = binary(fresh, 512, FileMode::Binary, failAt);
        EXPECT_EQ(o.status, UnableToRetrieve) << failAt;
        EXPECT_FALSE(o.changed) << failAt;  // no sound for content that broke off
        EXPECT_TRUE(o.content.staged.empty());
        EXPECT_EQ(readBytes(content), old);
    }
    std::filesystem::remove(content);
    EXPECT_EQ(binary(fresh, 512, FileMode::Binary, 600).status, UnableToRetrieve);
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(CompareRules, PagesByCountAndByMiddleText) {
    page.countMode = 1;
    setField(page.countString, "new.gif");
    auto count = [&](const std::string& html) {
        StringSource s(html, 8192);
        const RetrievalOutcome o = decideCount(s, page, files);
        commit(o);
        if (o.countResult) page.countResult = *o.countResult;
        return o.status;
    };
    EXPECT_EQ(count("new.gif\nnew.gif new.gif"), Saved);
    EXPECT_EQ(readBytes(content), "new.gif\r\nnew.gif new.gif");  // kept in text form
    EXPECT_EQ(count("more text new.gif new.gif new.gif"), NotChanged);
    EXPECT_EQ(count("new.gif new.gif new.gif new.gif"), Changed);
    EXPECT_EQ(page.countResult, 4);

    page.countMode = 0;
    page.middleMode = 1;
    setField(page.middleStart, "<b>");
    setField(page.middleEnd, "</b>");
    std::filesystem::remove(content);
    bool missing = false;
    auto middle = [&](const std::string& html) {
        StringSource s(html, 3);
        const RetrievalOutcome o = decideMiddle(s, page, files);
        commit(o);
        missing = o.markersMissing;
        return o.status;
    };
    EXPECT_EQ(middle("<i>12</i>"), UnableToRetrieve);
    EXPECT_TRUE(missing);
    EXPECT_FALSE(test::fileExists(content));  // the next check looks for the markers again
    EXPECT_EQ(middle("x<b>12</b>"), Saved);
    EXPECT_EQ(middle("y<b>12</b>"), NotChanged);
    EXPECT_EQ(middle("x<b>13</b>"), Changed);
    EXPECT_EQ(readBytes(dataFile("doc.middle")), "13");
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

// A file the path's client wrote into "data" becomes the kept content
// itself, or goes.
TEST_F(CompareRules, AFetchedFileIsKeptOrDeleted) {
    page.type = FtpFile;
    auto fetched = [&](const std::string& bytes) {
        const std::string path = files.makeTempFile("data", "QVR");
        writeBytes(path, bytes);
        Fetched f = Fetched::file(path);
        const RetrievalOutcome o = decide(page, f, files);
        EXPECT_EQ(o.content.staged, o.status == NotChanged ? "" : path);
        commit(o);
        return o.status;
    };
    EXPECT_EQ(fetched("version 1"), Saved);
    EXPECT_EQ(fetched("version"), NotChanged);
    EXPECT_EQ(fetched("version 2"), Changed);
    EXPECT_EQ(readBytes(content), "version 2");
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

}  // namespace
}  // namespace hs
