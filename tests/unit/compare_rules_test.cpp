// The comparison rules on content handed over by fake sources: what the
// Binary rule reads of the kept content, what it stages, what a failing
// source leaves behind, and the page rules (count, middle text).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "catalogue/store.h"
#include "engine/compare_rules.h"
#include "engine_test_support.h"
#include "test_support.h"

namespace hs {
namespace {

using test::dataFile;
using test::fileExists;
using test::readBytes;
using test::StringSource;
using test::writeBytes;

class CompareRules : public test::WorkingDirTest {
protected:
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        test::makeDataDir();
    }
    RetrievalOutcome binary(const std::string& fresh, std::size_t piece, FileMode mode,
                            std::size_t failAt = std::string::npos) {
        StringSource source(fresh, piece, failAt);
        return decideBinary(source, contentFile, mode, files);
    }
    std::string staged(const RetrievalOutcome& o) { return readBytes(o.content.staged); }

    const std::string contentFile = dataFile("doc.content");
    test::SwitchableFileSystem files{platformFileSystem()};
};

TEST(BinaryComparison, StopsReadingTheKeptContentAtTheFirstDifference) {
    StringSource fresh("0123456789abXdefghij", 5);
    StringSource kept(std::string("0123456789abcdefghij") + std::string(10000, 'k'), 8192);
    BinaryComparison c = compareWithKept(fresh, kept);
    EXPECT_EQ(c.result, BinaryComparison::Changed);
    EXPECT_EQ(c.equalBytes, 10u);
    EXPECT_EQ(std::string(c.piece.begin(), c.piece.end()), "abXde");
    EXPECT_EQ(kept.consumed(), 15u);  // the piece with the difference, nothing after it
    EXPECT_EQ(fresh.consumed(), 15u);

    // Equal up to the end of the new content: the longer kept content is
    // read only as far as the new content goes.
    StringSource shorter("0123456", 5);
    StringSource longer(std::string("0123456") + std::string(10000, 'k'), 8192);
    EXPECT_EQ(compareWithKept(shorter, longer).result, BinaryComparison::Same);
    EXPECT_EQ(longer.consumed(), 7u);
}

// Random content, the difference before, on and after piece edges, pieces of
// several sizes: the staged file is always the whole new content as the
// mode keeps it, and unchanged content stages nothing.
TEST_F(CompareRules, AChangeStagesTheWholeNewContent) {
    std::mt19937 rng(5);
    std::string old(3000, 'a');
    for (char& c : old) c = "ab\r\n\0\x1A"[rng() % 5];  // no 0x1A: it would end the text
    for (FileMode mode : {FileMode::Binary, FileMode::Text}) {
        const std::string oldText = mode == FileMode::Text ? fromStoredText(toStoredText(old)) : old;
        for (std::size_t at : {0u, 511u, 512u, 1000u, 2999u, 3000u}) {
            for (std::size_t piece : {1u, 7u, 512u, 8192u}) {
                writeBytes(contentFile, mode == FileMode::Text ? toStoredText(old) : old);
                std::string fresh = oldText;
                if (at < fresh.size()) fresh[at] = 'X'; else fresh += "grown";
                SCOPED_TRACE(::testing::Message() << "at " << at << " piece " << piece);
                const RetrievalOutcome o = binary(fresh, piece, mode);
                ASSERT_EQ(o.status, Changed);
                EXPECT_TRUE(o.changed);
                EXPECT_EQ(o.content.target, contentFile);
                EXPECT_EQ(staged(o), mode == FileMode::Text ? toStoredText(fresh) : fresh);
                files.removeFile(o.content.staged);
            }
        }
        files.tempFilesMade = 0;
        writeBytes(contentFile, mode == FileMode::Text ? toStoredText(old) : old);
        EXPECT_EQ(binary(oldText, 7, mode).status, NotChanged);
        EXPECT_EQ(binary(oldText.substr(0, 100), 512, mode).status, NotChanged);
        EXPECT_EQ(files.tempFilesMade.load(), 0);
    }
}

TEST_F(CompareRules, AFailingSourceKeepsNothingNew) {
    const std::string old = std::string(2000, 'o');
    writeBytes(contentFile, old);
    std::string fresh = old;
    fresh[1500] = 'n';
    for (std::size_t failAt : {0u, 1000u, 1600u}) {  // before and after the difference
        const RetrievalOutcome o = binary(fresh, 512, FileMode::Binary, failAt);
        EXPECT_EQ(o.status, UnableToRetrieve) << failAt;
        EXPECT_TRUE(o.content.staged.empty());
        EXPECT_EQ(readBytes(contentFile), old);
    }
    std::filesystem::remove(contentFile);
    EXPECT_EQ(binary(fresh, 512, FileMode::Binary, 600).status, UnableToRetrieve);
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(CompareRules, PagesByCountAndByMiddleText) {
    DocumentRecord page = zeroRecord();
    page.type = HtmlPage;
    setField(page.name, "doc");
    page.countMode = 1;
    setField(page.countString, "new.gif");
    auto count = [&](const std::string& html) {
        StringSource s(html, 8192);
        return decideCount(s, page, files);
    };
    RetrievalOutcome o = count("new.gif\nnew.gif new.gif");
    ASSERT_EQ(o.status, Saved);
    EXPECT_EQ(o.countResult, 3);
    EXPECT_EQ(staged(o), "new.gif\r\nnew.gif new.gif");  // kept in text form
    files.replaceFile(o.content.staged, contentFile);
    page.countResult = 3;
    o = count("other text new.gif new.gif new.gif");
    EXPECT_EQ(o.status, NotChanged);
    EXPECT_TRUE(o.content.staged.empty());
    o = count("new.gif new.gif new.gif new.gif");
    EXPECT_EQ(o.status, Changed);
    EXPECT_TRUE(o.changed);
    EXPECT_EQ(o.countResult, 4);
    files.removeFile(o.content.staged);

    page.countMode = 0;
    page.middleMode = 1;
    setField(page.middleStart, "<b>");
    setField(page.middleEnd, "</b>");
    std::filesystem::remove(contentFile);
    auto middle = [&](const std::string& html) {
        StringSource s(html, 3);
        return decideMiddle(s, page, files);
    };
    o = middle("<i>12</i>");
    EXPECT_EQ(o.status, UnableToRetrieve);
    EXPECT_TRUE(o.markersMissing);
    EXPECT_TRUE(o.content.staged.empty());  // the next check looks for the markers again
    o = middle("x<b>12</b>");
    ASSERT_EQ(o.status, Saved);
    EXPECT_EQ(readBytes(o.middle.staged), "12");
    EXPECT_EQ(o.middle.target, dataFile("doc.middle"));
    files.replaceFile(o.content.staged, contentFile);
    files.replaceFile(o.middle.staged, o.middle.target);
    EXPECT_EQ(middle("y<b>12</b>").status, NotChanged);
    o = middle("x<b>13</b>");
    EXPECT_EQ(o.status, Changed);
    EXPECT_EQ(readBytes(o.middle.staged), "13");
    files.removeFile(o.content.staged);
    files.removeFile(o.middle.staged);
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

// A file the path's client wrote into "data" is compared where it lies and
// becomes the kept content itself, or goes.
TEST_F(CompareRules, AFetchedFileIsKeptOrDeleted) {
    DocumentRecord ftp = zeroRecord();
    ftp.type = FtpFile;
    setField(ftp.name, "doc");
    auto fetchedFile = [&](const std::string& bytes) {
        const std::string path = files.makeTempFile("data", "QVR");
        writeBytes(path, bytes);
        Fetched f = Fetched::file(path);
        return std::make_pair(path, decide(ftp, f, files));
    };
    auto [first, saved] = fetchedFile("version 1");
    EXPECT_EQ(saved.status, Saved);
    EXPECT_EQ(saved.content.staged, first);
    files.replaceFile(first, contentFile);
    auto [same, unchanged] = fetchedFile("version");
    EXPECT_EQ(unchanged.status, NotChanged);
    EXPECT_FALSE(fileExists(same));
    auto [next, changed] = fetchedFile("version 2");
    EXPECT_EQ(changed.status, Changed);
    EXPECT_EQ(changed.content.staged, next);
    Fetched none = Fetched::failed();
    EXPECT_EQ(decide(ftp, none, files).status, UnableToRetrieve);
}

}  // namespace
}  // namespace hs
