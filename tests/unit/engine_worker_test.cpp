#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogue.h"
#include "app/commands.h"
#include "catalogue/store.h"
#include "check/check_engine.h"
#include "check/check_worker.h"
#include "check/local_retrieval.h"
#include "engine_test_support.h"
#include "listview/document_list.h"
#include "listview/memory_row_list.h"
#include "test_support.h"

namespace hs {
namespace {

using test::dataFile;
using test::fileExists;
using test::readBytes;
using test::writeBytes;

using test::testDocument;

// What a path delivers so that the Binary rule ends in `status`: the kept
// content is set up to match, and the new content follows.
Fetched fetchGiving(const Document& r, int32_t status) {
    const std::string kept = dataFile(fieldText(r.name) + ".content");
    if (status == UnableToRetrieve) return Fetched::failed();
    if (status == Saved) std::filesystem::remove(kept);
    if (status == NotChanged) writeBytes(kept, "same");
    if (status == Changed) writeBytes(kept, "old");
    return Fetched::stream(std::make_unique<test::StringSource>(status == Changed ? "new" : "same"));
}

// Retrieval paths that only record what they were asked to do: every type
// is answered by `answer`, which sees the record copy and names the status
// the check is to end in.
RetrievalPaths scripted(std::function<int32_t(const Document&)> answer) {
    RetrievalPaths p;
    auto path = [answer](const Document& r, RetrievalContext&) {
        return fetchGiving(r, answer(r));
    };
    p.htmlPage = p.webFile = p.ftpFile = p.localFile = path;
    return p;
}

class CheckWorker : public test::WorkingDirTest {
protected:
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        test::makeDataDir();
    }
    DocumentCatalogue catalogue;
    test::RecordingHost host;
    FileSystem& files = testFileSystem();
};

TEST(LastCheckText, FormatsLocalTime) {
    std::tm t{};
    t.tm_year = 2004 - 1900;
    t.tm_mon = 6;
    t.tm_mday = 15;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(formatLastCheck(t), "2004/07/15 [09:05:03]");
    t.tm_year = 12345 - 1900;  // the width is a minimum
    t.tm_hour = 23;
    EXPECT_EQ(formatLastCheck(t), "12345/07/15 [23:05:03]");
    EXPECT_EQ(currentLastCheckText().size(), 21u);
}

TEST_F(CheckWorker, TakesWaitingRecordsInSlotOrderAndStampsEach) {
    const int32_t statuses[] = {WaitingForRetrieve, NotChanged, WaitingForRetrieve, Changed,
                                UnableToRetrieve, WaitingForRetrieve, Saved};
    for (int i = 0; i < 7; ++i) {
        catalogue.appendRecord(testDocument("d" + std::to_string(i), WebFile, statuses[i]));
    }
    catalogue.appendRecord(zeroRecord());  // a free slot
    std::vector<std::string> order;
    const int32_t outcomes[] = {Saved, UnableToRetrieve, NotChanged};
    RetrievalPaths paths = scripted([&](const Document& r) {
        const std::size_t slot = static_cast<std::size_t>(catalogue.firstSlotNamed(fieldText(r.name)));
        EXPECT_EQ(catalogue.status(slot), Retrieving);
        EXPECT_EQ(r.status, Retrieving);
        order.push_back(fieldText(r.name));
        return outcomes[order.size() - 1];
    });
    EXPECT_EQ(runCheckPass(catalogue, host, files, paths), 3u);
    EXPECT_EQ(order, (std::vector<std::string>{"d0", "d2", "d5"}));
    EXPECT_EQ(catalogue.status(0), Saved);
    EXPECT_EQ(catalogue.status(2), UnableToRetrieve);  // a failure still gets a lastCheck
    EXPECT_EQ(catalogue.status(5), NotChanged);
    for (std::size_t s : {0u, 2u, 5u}) {
        EXPECT_EQ(fieldText(catalogue.record(s).lastCheck), "2004/07/15 [09:05:03]");
    }
    for (std::size_t s : {1u, 3u, 4u, 6u}) {
        EXPECT_EQ(catalogue.status(s), statuses[s]);
        EXPECT_EQ(fieldText(catalogue.record(s).lastCheck), "");
    }
    EXPECT_EQ(host.events(), (std::vector<std::string>{"row 0", "row 0", "row 2", "row 2",
                                                        "row 5", "row 5"}));
}

TEST_F(CheckWorker, NothingWaitingTouchesNoRow) {
    EXPECT_EQ(runCheckPass(catalogue, host, files, localRetrievalPaths()), 0u);
    catalogue.appendRecord(testDocument("a", LocalFile, Changed));
    catalogue.appendRecord(testDocument("b", LocalFile, NotChanged));
    EXPECT_EQ(runCheckPass(catalogue, host, files, localRetrievalPaths()), 0u);
    EXPECT_TRUE(host.events().empty());
}

TEST_F(CheckWorker, DispatchesByTypeAndLeavesUnknownTypesRetrieving) {
    catalogue.appendRecord(testDocument("page", HtmlPage, WaitingForRetrieve));
    catalogue.appendRecord(testDocument("file", WebFile, WaitingForRetrieve));
    catalogue.appendRecord(testDocument("ftp", FtpFile, WaitingForRetrieve));
    catalogue.appendRecord(testDocument("odd", 7, WaitingForRetrieve));
    std::vector<std::string> calls;
    RetrievalPaths paths;
    auto note = [&](const char* what) {
        return [&calls, what](const Document&, RetrievalContext&) {
            calls.push_back(what);
            return Fetched::failed();
        };
    };
    paths.htmlPage = note("page");
    paths.webFile = note("web");
    paths.ftpFile = note("ftp");
    paths.localFile = note("local");
    runCheckPass(catalogue, host, files, paths);
    EXPECT_EQ(calls, (std::vector<std::string>{"page", "web", "ftp"}));
    EXPECT_EQ(catalogue.status(3), Retrieving);
    EXPECT_EQ(fieldText(catalogue.record(3).lastCheck), "2004/07/15 [09:05:03]");
    // Held by nobody afterwards: a new mark is taken by the next worker.
    EXPECT_FALSE(catalogue.locked([&] { return catalogue.stateLocked(3).held; }));
}

TEST_F(CheckWorker, AThrowingPathEndsUnableToRetrieveAndReleasesTheSlot) {
    catalogue.appendRecord(testDocument("a", LocalFile, WaitingForRetrieve));
    catalogue.appendRecord(testDocument("b", LocalFile, WaitingForRetrieve));
    int calls = 0;
    RetrievalPaths paths = scripted([&](const Document&) -> int32_t {
        if (++calls == 1) throw std::runtime_error("boom");
        return Saved;
    });
    runCheckPass(catalogue, host, files, paths);
    EXPECT_EQ(catalogue.status(0), UnableToRetrieve);
    EXPECT_EQ(catalogue.status(1), Saved);
    EXPECT_FALSE(catalogue.locked([&] { return catalogue.stateLocked(0).held; }));
}

TEST_F(CheckWorker, FollowsTheCatalogueAsItGrowsButNeverGoesBack) {
    catalogue.appendRecord(testDocument("first", LocalFile, WaitingForRetrieve));
    catalogue.appendRecord(testDocument("second", LocalFile, WaitingForRetrieve));
    std::vector<std::string> order;
    RetrievalPaths paths = scripted([&](const Document& r) {
        const std::string name = fieldText(r.name);
        order.push_back(name);
        if (name == "second") {
            // Behind the worker: waits for the next worker. Ahead: taken now.
            catalogue.setStatus(0, WaitingForRetrieve);
            catalogue.appendRecord(testDocument("appended", LocalFile, WaitingForRetrieve));
        }
        return NotChanged;
    });
    runCheckPass(catalogue, host, files, paths);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "appended"}));
    EXPECT_EQ(catalogue.status(0), WaitingForRetrieve);
    // A second worker takes the record that the first had passed.
    order.clear();
    runCheckPass(catalogue, host, files, paths);
    EXPECT_EQ(order.front(), "first");
}

// ------------------------------------------------ marks during a retrieval

// A mark made while the worker retrieves the record (by Check All, or by the
// status alone), possibly reset by "Set as 'Not changed'" before the outcome.
TEST_F(CheckWorker, MarksMadeDuringARetrieval) {
    auto markLikeCheckAll = [this] {
        catalogue.locked([&] {
            catalogue.recordLocked(0).status = WaitingForRetrieve;
            SlotState& st = catalogue.stateLocked(0);
            if (st.held) st.remarked = true;
            return 0;
        });
    };
    auto setNotChanged = [this] {
        catalogue.locked([&] {
            catalogue.recordLocked(0).status = NotChanged;
            catalogue.stateLocked(0).remarked = false;
            return 0;
        });
    };
    struct Case {
        const char* what;
        std::function<void()> during;
        std::vector<int32_t> outcomes;
        int retrievals;
        int32_t final;
    } cases[] = {
        {"marked", markLikeCheckAll, {NotChanged, UnableToRetrieve}, 2, UnableToRetrieve},
        {"status only", [this] { catalogue.setStatus(0, WaitingForRetrieve); }, {Saved, NotChanged},
         2, NotChanged},
        {"changed wins", markLikeCheckAll, {Changed}, 1, Changed},
        {"reset", [&] { markLikeCheckAll(); setNotChanged(); }, {UnableToRetrieve}, 1,
         UnableToRetrieve},
    };
    catalogue.appendRecord(zeroRecord());
    for (Case& c : cases) {
        catalogue.storeRecord(0, testDocument("doc", WebFile, WaitingForRetrieve));
        int calls = 0;
        RetrievalPaths paths = scripted([&](const Document&) {
            if (calls == 0) c.during();
            return c.outcomes[static_cast<std::size_t>(calls++)];
        });
        runCheckPass(catalogue, host, files, paths);
        EXPECT_EQ(calls, c.retrievals) << c.what;
        EXPECT_EQ(catalogue.status(0), c.final) << c.what;
    }
}

// -------------------------------------------- held by one worker, another runs

TEST_F(CheckWorker, ASecondWorkerLeavesAHeldRecordToItsHolder) {
    catalogue.appendRecord(testDocument("slow", WebFile, WaitingForRetrieve));
    catalogue.appendRecord(testDocument("other", WebFile, WaitingForRetrieve));
    test::Gate gate;
    std::atomic<int> inside{0}, overlap{0}, slowCalls{0};
    RetrievalPaths paths = scripted([&](const Document& r) {
        if (inside.fetch_add(1) > 0 && fieldText(r.name) == "slow") overlap++;
        if (fieldText(r.name) == "slow" && slowCalls.fetch_add(1) == 0) gate.arrive();
        inside--;
        return NotChanged;
    });
    std::thread first([&] { runCheckPass(catalogue, host, files, paths); });
    ASSERT_TRUE(gate.waitArrived(1));
    // "Check All" while the first worker holds "slow", then a second worker.
    catalogue.setStatus(0, WaitingForRetrieve);
    catalogue.setStatus(1, WaitingForRetrieve);
    runCheckPass(catalogue, host, files, paths);
    EXPECT_EQ(slowCalls.load(), 1);  // the second worker did not take it
    EXPECT_EQ(catalogue.status(1), NotChanged);
    gate.open();
    first.join();
    EXPECT_EQ(slowCalls.load(), 2);  // the holder retrieved it again
    EXPECT_EQ(overlap.load(), 0);
    EXPECT_EQ(catalogue.status(0), NotChanged);
}

// ------------------------------------- delete and edit during a retrieval

class ReplacedWhileRetrieving : public test::WorkingDirTest {
protected:
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        test::makeDataDir();
        writeBytes("old.bin", "old document");
        writeBytes("new.bin", "new document");
        catalogue.appendRecord(testDocument("doc", LocalFile, WaitingForRetrieve, "old.bin"));
        // The real local path, held once the rule has compared and staged
        // the whole file and closed what it read (on Windows an open file
        // cannot be deleted).
        paths = localRetrievalPaths();
        paths.localFile = [this](const Document& r, RetrievalContext& c) {
            const bool first = calls.fetch_add(1) == 0;
            return test::hooked(fetchLocalFile(r, c), {}, [this, first] {
                if (first) gate.arrive();
            });
        };
        files.watched = &catalogue;
        list.showRecordRow(0, 0, InsertRow);
    }
    void TearDown() override {
        EXPECT_EQ(files.underCatalogueLock.load(), 0);  // file work under the catalogue lock
        test::WorkingDirTest::TearDown();
    }
    void startWorker() {
        worker = std::thread([this] { runCheckPass(catalogue, host, files, paths); });
        ASSERT_TRUE(gate.waitArrived(1));
    }
    void finish() {
        gate.open();
        worker.join();
    }

    // A check that finds a change (the kept copy differs), held once it has
    // staged the new content while `command` runs on the document.
    void changeFoundWhile(const std::function<void()>& command) {
        writeBytes(dataFile("doc.content"), "older document");
        startWorker();
        command();
        finish();
        EXPECT_EQ(host.count("sound") + host.count("blink"), 0u);
    }

    DocumentCatalogue catalogue;
    test::RecordingHost host;
    test::SwitchableFileSystem files{testFileSystem()};
    RetrievalPaths paths;
    test::Gate gate;
    std::atomic<int> calls{0};
    std::thread worker;
    MemoryRowList rows;
    DocumentList list{rows, catalogue};
    test::FakeCommandHost yes;
    CommandContext commands{catalogue, list, yes, files, {}};
};

TEST_F(ReplacedWhileRetrieving, ADocumentDeletedDuringItsCheckNeverRings) {
    changeFoundWhile([&] {
        rows.setState(0, RowState{kRowSelected}, kRowSelected);
        EXPECT_EQ(deleteSelected(commands), 1u);
    });
    EXPECT_FALSE(fileExists(dataFile("doc.content")));
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(ReplacedWhileRetrieving, ADocumentEditedDuringItsCheckNeverRings) {
    const Document edited = testDocument("doc", LocalFile, WaitingForRetrieve, "new.bin");
    changeFoundWhile([&] { EXPECT_TRUE(applyEdit(commands, 0, 0, edited)); });
    EXPECT_EQ(calls.load(), 2);  // the edited document's first retrieval
    EXPECT_EQ(catalogue.status(0), Saved);
    EXPECT_EQ(readBytes(dataFile("doc.content")), "new document");
}

// A delete that comes while the worker moves the staged content into place
// waits for the move and then removes what it kept; the catalogue stays
// free for the window thread meanwhile.
TEST_F(ReplacedWhileRetrieving, ADeleteDuringTheCommitWaitsForItAndLeavesNoFile) {
    gate.open();
    test::Gate inCommit;
    files.beforeReplace = [&] { inCommit.arrive(); };
    std::thread checking([&] { runCheckPass(catalogue, host, files, paths); });
    ASSERT_TRUE(inCommit.waitArrived(1));
    EXPECT_EQ(catalogue.status(0), Retrieving);
    std::atomic<bool> deleted{false};
    std::thread deleting([&] {
        rows.setState(0, RowState{kRowSelected}, kRowSelected);
        deleteSelected(commands);
        deleted = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(deleted.load());  // held back by the commit
    inCommit.open();
    checking.join();
    deleting.join();
    EXPECT_FALSE(fileExists(dataFile("doc.content")));
    EXPECT_FALSE(catalogue.isUsed(0));
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(ReplacedWhileRetrieving, ADeletedRecordStaysDeleted) {
    startWorker();
    catalogue.clearSlot(0);
    finish();
    const Document z = zeroRecord();
    const Document r = catalogue.record(0);
    EXPECT_TRUE(r == z);
    EXPECT_FALSE(fileExists(dataFile("doc.content")));
    EXPECT_TRUE(test::tempFilesLeft().empty());
    EXPECT_EQ(calls.load(), 1);
}

TEST_F(ReplacedWhileRetrieving, ASlotReusedByAnotherDocumentGetsOnlyItsOwnContent) {
    startWorker();
    catalogue.clearSlot(0);
    catalogue.storeRecord(0, testDocument("doc", LocalFile, WaitingForRetrieve, "new.bin"));  // Add into the freed slot
    finish();
    EXPECT_EQ(calls.load(), 2);  // the new document was retrieved after the old one was dropped
    EXPECT_EQ(readBytes(dataFile("doc.content")), "new document");
    EXPECT_EQ(catalogue.status(0), Saved);
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(ReplacedWhileRetrieving, AnEditedRecordIsRetrievedAfresh) {
    startWorker();
    Document edited = testDocument("renamed", LocalFile, WaitingForRetrieve, "new.bin");
    catalogue.storeRecord(0, edited);
    // A worker started by the edit finds the slot held and leaves it.
    EXPECT_EQ(runCheckPass(catalogue, host, files, paths), 0u);
    finish();
    EXPECT_FALSE(fileExists(dataFile("doc.content")));
    EXPECT_EQ(readBytes(dataFile("renamed.content")), "new document");
    EXPECT_EQ(fieldText(catalogue.record(0).name), "renamed");
    EXPECT_EQ(catalogue.status(0), Saved);
    EXPECT_EQ(calls.load(), 2);
}

// ------------------------------------------------ workers running together

// Many local documents, two workers at once, and the window thread marking
// records and adding new ones meanwhile. No document may be retrieved by two
// workers at once, and after one more pass nothing is left waiting.
TEST_F(ReplacedWhileRetrieving, TwoWorkersShareTheCatalogueSafely) {
    constexpr int kDocs = 120;
    catalogue.clearSlot(0);
    std::vector<std::atomic<int>> busy(kDocs * 2);
    std::atomic<int> overlaps{0}, retrievals{0};
    paths.localFile = [&](const Document& r, RetrievalContext& c) {
        const int id = std::stoi(fieldText(r.name).substr(1));
        if (busy[static_cast<std::size_t>(id)].fetch_add(1) != 0) overlaps++;
        // Busy until the rule is done with the content.
        return test::hooked(fetchLocalFile(r, c), {}, [&busy, &retrievals, id] {
            busy[static_cast<std::size_t>(id)]--;
            retrievals++;
        });
    };
    for (int i = 0; i < kDocs; ++i) {
        const std::string file = "f" + std::to_string(i) + ".bin";
        writeBytes(file, "content " + std::to_string(i));
        catalogue.appendRecord(testDocument("d" + std::to_string(i), LocalFile, WaitingForRetrieve, file));
    }
    std::thread a([&] { runCheckPass(catalogue, host, files, paths); });
    std::thread b([&] { runCheckPass(catalogue, host, files, paths); });
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        const std::size_t slot = 1 + rng() % kDocs;
        catalogue.locked([&] {
            Document& r = catalogue.recordLocked(slot);
            if (r.status != Changed) r.status = WaitingForRetrieve;
            SlotState& st = catalogue.stateLocked(slot);
            if (st.held) st.remarked = true;
            return 0;
        });
        if (round % 10 == 0) {
            const int id = kDocs + round / 10;
            catalogue.appendRecord(testDocument("d" + std::to_string(id), LocalFile, WaitingForRetrieve, "f0.bin"));
        }
        if (round % 50 == 0) writeBytes("f" + std::to_string(rng() % kDocs) + ".bin", "edited");
    }
    a.join();
    b.join();
    runCheckPass(catalogue, host, files, paths);
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_GE(retrievals.load(), kDocs);
    for (std::size_t s = 1; s < catalogue.slotCount(); ++s) {
        const int32_t st = catalogue.status(s);
        EXPECT_TRUE(st == Saved || st == NotChanged || st == Changed) << "slot " << s << " " << st;
        EXPECT_FALSE(catalogue.locked([&] { return catalogue.stateLocked(s).held; }));
    }
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

TEST_F(ReplacedWhileRetrieving, TheEngineRetrievesWhatIsMarked) {
    gate.open();
    test::RecordingHost engineHost;
    CheckEngine engine(catalogue, engineHost, files, paths);
    engine.wake();
    engine.wake();
    ASSERT_TRUE(engineHost.waitFinished(1));
    EXPECT_EQ(catalogue.status(0), Saved);
    EXPECT_EQ(calls.load(), 1);
    EXPECT_TRUE(engine.stop(std::chrono::seconds(5)));
}

// ---------------------------------------------------------- the engine's queue

Document webDocument(const std::string& name, const std::string& url) {
    Document r = testDocument(name, HtmlPage, WaitingForRetrieve);
    setField(r.url, url);
    return r;
}

// Slots a-0..a-5 on one server, b-0..b-3 and c-0..c-3 on two more, d-0 on a
// fourth: the first twelve start (four of each), a-4 waits for room on a,
// d-0 for a free retrieval; marks made meanwhile never start a document
// twice at once.
TEST_F(CheckWorker, TheEngineTakesSlotsInOrderWithinItsLimits) {
    static_assert(kMaxRetrievals == 3 * kMaxPerServer, "three full servers fill the engine");
    for (int i = 0; i < 6; ++i) catalogue.appendRecord(webDocument("a-" + std::to_string(i), "http://A:80/" + std::to_string(i)));
    for (int i = 0; i < 4; ++i) catalogue.appendRecord(webDocument("b-" + std::to_string(i), "b/" + std::to_string(i)));
    for (int i = 0; i < 4; ++i) catalogue.appendRecord(webDocument("c-" + std::to_string(i), "http://c:81/" + std::to_string(i)));
    catalogue.appendRecord(webDocument("d-0", "https://a/"));
    test::HeldRetrievals held;
    RetrievalPaths paths = scripted([&](const Document& r) {
        held.run(fieldText(r.name));
        return NotChanged;
    });
    CheckEngine engine(catalogue, host, files, paths);
    engine.wake();
    std::vector<std::string> started = held.started(12);
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, (std::vector<std::string>{"a-0", "a-1", "a-2", "a-3", "b-0", "b-1", "b-2", "b-3", "c-0", "c-1",
                                                 "c-2", "c-3"}));
    held.release("a-0");
    EXPECT_EQ(held.started(13).at(12), "a-4");
    held.release("b-0");
    EXPECT_EQ(held.started(14).at(13), "d-0");
    for (std::size_t s = 0; s < catalogue.slotCount(); ++s) catalogue.setStatus(s, WaitingForRetrieve);
    engine.wake();
    held.releaseAll();
    ASSERT_TRUE(host.waitFinished(1));
    EXPECT_TRUE(engine.stop(std::chrono::seconds(5)));
    EXPECT_EQ(held.maxAll(), static_cast<int>(kMaxRetrievals));
    EXPECT_EQ(held.maxPerServer(), static_cast<int>(kMaxPerServer));
    EXPECT_EQ(held.twice(), 0);
    for (std::size_t s = 0; s < catalogue.slotCount(); ++s) EXPECT_EQ(catalogue.status(s), NotChanged) << s;
}

// Stopping cancels: what was being retrieved lands nothing and stays
// Retrieving (stored as waiting), and no later document starts.
TEST_F(CheckWorker, StoppingTheEngineDropsWhatRuns) {
    catalogue.appendRecord(webDocument("a-0", "http://a/"));
    catalogue.appendRecord(webDocument("a-1", "http://a/"));
    auto cancel = std::make_shared<CancelToken>();
    test::Gate gate;
    RetrievalPaths paths = scripted([&](const Document&) {
        gate.arrive();
        return Saved;
    });
    CheckEngine engine(catalogue, host, files, paths, cancel);
    engine.wake();
    ASSERT_TRUE(gate.waitArrived(2));
    std::thread opener([&] {
        while (!cancel->cancelled()) std::this_thread::yield();
        gate.open();
    });
    EXPECT_TRUE(engine.stop(std::chrono::seconds(5)));
    opener.join();
    EXPECT_EQ(catalogue.status(0), Retrieving);
    EXPECT_EQ(host.count("row 0"), 1u);  // only "Retrieving..."
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

// The markers-missing message comes once until the slot is stored again.
TEST_F(CheckWorker, MissingMarkersAreToldOnceUntilTheDocumentIsStoredAgain) {
    Document page = webDocument("page", "http://a/");
    page.middleMode = 1;
    setField(page.middleStart, "<b>");
    setField(page.middleEnd, "</b>");
    catalogue.appendRecord(page);
    RetrievalPaths paths;
    paths.htmlPage = [](const Document&, RetrievalContext&) {
        return Fetched::stream(std::make_unique<test::StringSource>("no markers"));
    };
    for (int i = 0; i < 2; ++i) {
        catalogue.setStatus(0, WaitingForRetrieve);
        runCheckPass(catalogue, host, files, paths);
    }
    EXPECT_EQ(host.count("markers page"), 1u);
    catalogue.storeRecord(0, page);
    runCheckPass(catalogue, host, files, paths);
    EXPECT_EQ(host.count("markers page"), 2u);
    EXPECT_EQ(catalogue.status(0), UnableToRetrieve);
}

}  // namespace
}  // namespace hs
