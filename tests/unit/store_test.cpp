#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

#include "catalogue/store.h"
#include "test_support.h"

namespace hs {
namespace {

Document document(const std::string& name, int32_t status = NotChanged) {
    return test::testDocument(name, HtmlPage, status, "http://example.test/" + name);
}

std::string bytesOf(const RecordLayout& r) {
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

std::string bytesOf(const Document& d) { return bytesOf(layoutFromDocument(d)); }

RecordLayout recordOfBytes(const std::string& bytes) {
    RecordLayout r = zeroLayout();
    std::memcpy(&r, bytes.data(), std::min(bytes.size(), sizeof r));
    return r;
}

class Store : public test::WorkingDirTest {
protected:
    void SetUp() override {
        WorkingDirTest::SetUp();
        std::filesystem::create_directory("data");
    }
    // Loads into `cat` and returns the slots shown, in call order.
    std::vector<std::size_t> load() {
        std::vector<std::size_t> shown;
        loadCatalogue(cat, testFileSystem(), [&](std::size_t s) { shown.push_back(s); });
        return shown;
    }
    std::set<std::string> namesLoaded() const {
        std::set<std::string> names;
        for (std::size_t s = 0; s < cat.slotCount(); ++s) names.insert(cat.name(s));
        return names;
    }
    DocumentCatalogue cat;
};

TEST_F(Store, EmptyOrMissingDataDirectoryGivesAnEmptyCatalogue) {
    EXPECT_TRUE(load().empty());
    std::filesystem::remove("data");
    EXPECT_TRUE(load().empty());
    EXPECT_EQ(cat.slotCount(), 0u);
    EXPECT_FALSE(writeRecordFile(testFileSystem(), document("x")));  // fails silently
    EXPECT_FALSE(std::filesystem::exists("data"));  // the store never makes it
}

TEST_F(Store, ShortFilesAreSkippedAndLongFilesGiveTheirFirstRecord) {
    test::writeBytes(test::dataFile("empty.data"), "");
    test::writeBytes(test::dataFile("short.data"), bytesOf(document("short")).substr(0, 4000));
    std::string longer = bytesOf(document("longer")) + std::string(5000 - kRecordSize, 'x');
    test::writeBytes(test::dataFile("longer.data"), longer);
    test::writeBytes(test::dataFile("exact.data"), bytesOf(document("exact")));
    test::writeBytes(test::dataFile("other.content"), bytesOf(document("other")));
    std::filesystem::create_directory(test::dataFile("folder.data"));

    EXPECT_EQ(load(), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(namesLoaded(), (std::set<std::string>{"longer", "exact"}));
    const long slot = cat.firstSlotNamed("longer");
    ASSERT_GE(slot, 0);
    Document got = cat.record(static_cast<std::size_t>(slot));
    EXPECT_TRUE(bytesOf(got) == bytesOf(document("longer")));
}

TEST_F(Store, StoredNameWinsOverTheFileName) {
    test::writeBytes(test::dataFile("renamed.data"), bytesOf(document("original")));
    test::writeBytes(test::dataFile("copy.data"), bytesOf(document("original")));
    EXPECT_EQ(load().size(), 2u);
    EXPECT_EQ(cat.name(0), "original");
    EXPECT_EQ(cat.name(1), "original");
    EXPECT_EQ(cat.firstSlotNamed("original"), 0);

    EXPECT_TRUE(writeRecord(cat, testFileSystem(), 0));
    EXPECT_TRUE(std::filesystem::exists(test::dataFile("original.data")));
    EXPECT_TRUE(std::filesystem::exists(test::dataFile("renamed.data")));
    DocumentCatalogue again;
    loadCatalogue(again, testFileSystem(), nullptr);
    EXPECT_EQ(again.slotCount(), 3u);
}

TEST_F(Store, AccountIsStoredScrambledAndLoadedPlain) {
    Document r = document("secret");
    r.useAccount = 1;
    setField(r.userName, "abc");
    setField(r.password, std::string(127, 'p'));
    const std::string plainBefore = bytesOf(r);
    ASSERT_TRUE(writeRecordFile(testFileSystem(), r));
    EXPECT_EQ(bytesOf(r), plainBefore);  // the caller's record stays plain

    const std::string file = test::readBytes(test::dataFile("secret.data"));
    ASSERT_EQ(file.size(), kRecordSize);
    const RecordLayout stored = recordOfBytes(file);
    const RecordLayout plain = layoutFromDocument(r);
    EXPECT_EQ(stored.userName[0], 3);
    EXPECT_EQ(stored.userName[1], 'c');
    EXPECT_EQ(stored.userName[5], 'b');
    EXPECT_EQ(stored.userName[9], 'a');
    EXPECT_EQ(stored.password[0], 127);
    EXPECT_EQ(std::memcmp(&stored, &plain, offsetof(RecordLayout, userName)), 0);

    load();
    ASSERT_EQ(cat.slotCount(), 1u);
    EXPECT_TRUE(bytesOf(cat.record(0)) == plainBefore);
}

TEST_F(Store, WithoutAccountTheFieldsAreStoredAsTheyAre) {
    Document none = document("none");
    Document typed = document("typed");
    setField(typed.userName, "wizard user");
    setField(typed.password, "wizard pass");
    ASSERT_TRUE(writeRecordFile(testFileSystem(), none));
    ASSERT_TRUE(writeRecordFile(testFileSystem(), typed));
    EXPECT_TRUE(test::readBytes(test::dataFile("none.data")) == bytesOf(none));
    EXPECT_TRUE(test::readBytes(test::dataFile("typed.data")) == bytesOf(typed));
    load();
    ASSERT_EQ(cat.slotCount(), 2u);
    for (std::size_t s = 0; s < 2; ++s) {
        Document got = cat.record(s);
        EXPECT_TRUE(bytesOf(got) == bytesOf(cat.name(s) == "none" ? none : typed));
    }
}

TEST_F(Store, ReservedBytesAreCarriedThroughLoadAndWrite) {
    RecordLayout r = layoutFromDocument(document("reserved"));
    for (std::size_t i = 0; i < kTextFieldSize; ++i) r.reserved[i] = static_cast<unsigned char>(i);
    r.url[100] = 'x';  // after the terminator of an empty field
    test::writeBytes(test::dataFile("reserved.data"), bytesOf(r));
    load();
    ASSERT_TRUE(writeRecord(cat, testFileSystem(), 0));
    EXPECT_TRUE(test::readBytes(test::dataFile("reserved.data")) == bytesOf(r));

    // The exit leaves a file that holds the record's bytes alone, and writes
    // one that does not; a field given new text is written afresh.
    test::writeBytes(test::dataFile("reserved.data"), bytesOf(r) + "!");
    saveCatalogue(cat, testFileSystem());
    EXPECT_TRUE(test::readBytes(test::dataFile("reserved.data")) == bytesOf(r) + "!");
    cat.withSlot(0, [](Document& d, SlotState&) { setField(d.url, "u"); });
    saveCatalogue(cat, testFileSystem());
    setField(r.url, "u");
    EXPECT_TRUE(test::readBytes(test::dataFile("reserved.data")) == bytesOf(r));
}

TEST_F(Store, DamagedRecordFilesCannotBreakTheirReaders) {
    RecordLayout r = layoutFromDocument(document("damaged"));
    std::memset(r.url, 'u', kTextFieldSize);          // no terminator
    std::memset(r.middleEnd, 'e', kTextFieldSize);
    test::writeBytes(test::dataFile("damaged.data"), bytesOf(r));
    Document unnamed = document("");
    test::writeBytes(test::dataFile(".data"), bytesOf(unnamed));
    EXPECT_EQ(load(), (std::vector<std::size_t>{0}));
    Document got = cat.record(0);
    EXPECT_EQ(fieldText(got.url), std::string(511, 'u'));
    EXPECT_EQ(fieldText(got.middleEnd), std::string(511, 'e'));
    EXPECT_FALSE(writeRecordFile(testFileSystem(), unnamed));  // a free slot has no file
}

TEST_F(Store, StoredNamesThatCouldLeaveTheDataDirectoryAreNotLoaded) {
    std::filesystem::create_directory("data/sub");
    const char* hostile[] = {"..\\..\\victim", "../victim", "C:victim", "sub/x", "a\tb",
                             "bell\x07", "what?", "NUL", "com3.txt"};
    int n = 0;
    for (const char* name : hostile) {
        test::writeBytes(test::dataFile("hostile" + std::to_string(n++) + ".data"), bytesOf(document(name)));
        EXPECT_EQ(DocumentFiles::recordPath(name), "") << name;
        EXPECT_EQ(DocumentFiles::middlePath(name), "") << name;
        EXPECT_FALSE(writeRecordFile(testFileSystem(), document(name))) << name;
    }
    test::writeBytes(test::dataFile("fine.data"), bytesOf(document("..fine. name")));
    test::writeBytes("victim.data", "not a record");
    load();
    EXPECT_EQ(namesLoaded(), (std::set<std::string>{"..fine. name"}));
    saveCatalogue(cat, testFileSystem());  // the exit writes every record it loaded
    EXPECT_EQ(test::readBytes("victim.data"), "not a record");
    EXPECT_TRUE(std::filesystem::is_empty("data/sub"));
}

TEST_F(Store, WritesWaitForTheFilesLockAndTakeTheNewestState) {
    const std::size_t slot = cat.appendRecord(document("counted"));
    std::thread saver;
    {
        const auto filesLock = cat.lockDocumentFiles();  // a commit in progress
        saver = std::thread([&] { saveCatalogue(cat, testFileSystem()); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(std::filesystem::exists(test::dataFile("counted.data")));
        cat.withSlot(slot, [](Document& r, SlotState&) { r.countResult = 7; });
    }
    saver.join();
    EXPECT_EQ(recordOfBytes(test::readBytes(test::dataFile("counted.data"))).countResult, 7);
    EXPECT_EQ(cat.withSlot(slot, [](Document&, SlotState& s) { return s.storedStatus; }), NotChanged);
}

TEST_F(Store, ShutdownSaveStoresRetrievingAsWaitingAndSkipsFreeSlots) {
    cat.appendRecord(document("busy", Retrieving));
    cat.appendRecord(document("gone"));
    cat.appendRecord(document("done", Changed));
    cat.clearSlot(1);
    saveCatalogue(cat, testFileSystem());

    EXPECT_EQ(cat.status(0), WaitingForRetrieve);
    EXPECT_EQ(recordOfBytes(test::readBytes(test::dataFile("busy.data"))).status,
              WaitingForRetrieve);
    EXPECT_EQ(recordOfBytes(test::readBytes(test::dataFile("done.data"))).status, Changed);
    EXPECT_FALSE(std::filesystem::exists(test::dataFile("gone.data")));
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator("data")) {
        if (e.is_regular_file()) files.push_back(e.path().filename().string());
    }
    // No write leaves its temporary file.
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), (std::set<std::string>{"busy.data", "done.data"}));
}

TEST_F(Store, RewriteReplacesTheWholeRecordFile) {
    test::writeBytes(test::dataFile("doc.data"), std::string(6000, 'z'));
    ASSERT_TRUE(writeRecordFile(testFileSystem(), document("doc", Saved)));
    EXPECT_TRUE(test::readBytes(test::dataFile("doc.data")) == bytesOf(document("doc", Saved)));
    EXPECT_FALSE(writeRecord(cat, testFileSystem(), 5));  // no such slot
}

TEST_F(Store, DeleteTempFilesRemovesOnlyTemporaryFiles) {
    test::writeBytes(test::dataFile("QVR1A.tmp"), "x");
    test::writeBytes(test::dataFile("other.tmp"), "x");
    test::writeBytes(test::dataFile("page.content"), "keep");
    test::writeBytes(test::dataFile("page.tmp.htm"), "keep");
    test::writeBytes(test::dataFile("QVR1B.tmp_report.pdf"), "x");  // a copy for opening
    std::filesystem::create_directory(test::dataFile("sub.tmp"));
    test::writeBytes("outside.tmp", "keep");
    DocumentFiles(testFileSystem()).removeTempFiles();
    EXPECT_FALSE(std::filesystem::exists(test::dataFile("QVR1A.tmp")));
    EXPECT_FALSE(std::filesystem::exists(test::dataFile("other.tmp")));
    EXPECT_TRUE(std::filesystem::exists(test::dataFile("page.content")));
    EXPECT_TRUE(std::filesystem::exists(test::dataFile("page.tmp.htm")));
    EXPECT_TRUE(std::filesystem::is_directory(test::dataFile("sub.tmp")));
    EXPECT_TRUE(std::filesystem::exists("outside.tmp"));
    EXPECT_TRUE(std::filesystem::exists(test::dataFile("QVR1B.tmp_report.pdf")));  // until the next start
    DocumentFiles(testFileSystem()).removeOpenCopies();
    EXPECT_FALSE(std::filesystem::exists(test::dataFile("QVR1B.tmp_report.pdf")));
    EXPECT_TRUE(std::filesystem::exists(test::dataFile("page.tmp.htm")));
}

TEST_F(Store, ReadersNeverSeeTheStoredFormWhileRecordsAreWritten) {
    Document r = document("shared");
    r.useAccount = 1;
    setField(r.userName, "user");
    setField(r.password, "pass");
    const std::size_t slot = cat.appendRecord(r);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop) {
            Document seen = cat.record(slot);
            ASSERT_EQ(fieldText(seen.userName), "user");
            ASSERT_EQ(fieldText(seen.password), "pass");
        }
    });
    for (int i = 0; i < 100; ++i) {
        writeRecord(cat, testFileSystem(), slot);
        saveCatalogue(cat, testFileSystem());
    }
    stop = true;
    reader.join();
}

}  // namespace
}  // namespace hs
