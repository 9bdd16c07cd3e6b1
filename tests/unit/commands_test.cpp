// The catalogue commands on an in-memory list and a real data directory:
// their messages without a selection, delete with its confirmation and
// files, which statuses each check marks, the "Not changed" commands, and
// storing and editing the record a dialog produced.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "app/commands.h"
#include "catalogue/store.h"
#include "listview/document_list.h"
#include "listview/memory_row_list.h"
#include "file_system_fake.h"
#include "test_support.h"

namespace hs {
namespace {

using test::dataFile;
using test::fileExists;
using test::writeBytes;

using FakeHost = test::FakeCommandHost;

Document doc(const std::string& name, int32_t status = NotChanged) {
    return test::testDocument(name, WebFile, status, "http://example.invalid/" + name, "2004/07/15 [09:05:03]");
}

class Commands : public test::WorkingDirTest {
protected:
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        testFileSystem().makeDirectory("data");
    }

    std::size_t add(const std::string& name, int32_t status = NotChanged) {
        std::size_t slot = cat.appendRecord(doc(name, status));
        list.showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
        return slot;
    }
    void select(std::initializer_list<int> selected) {
        for (int row : selected) rows.setState(row, RowState{kRowSelected}, kRowSelected);
    }
    void makeFiles(const std::string& name) {
        for (const char* ext : {".data", ".content", ".middle"}) writeBytes(dataFile(name + ext), "x");
    }
    bool anyFile(const std::string& name) {
        return fileExists(dataFile(name + ".data")) || fileExists(dataFile(name + ".content")) ||
               fileExists(dataFile(name + ".middle"));
    }
    bool slotIsZero(std::size_t slot) {
        Document z = zeroRecord();
        Document got = cat.record(slot);
        return got == z;
    }

    DocumentCatalogue cat;
    MemoryRowList rows;
    DocumentList list{rows, cat};
    FakeHost host;
    int workersStarted = 0;
    CommandContext ctx{cat, list, host, testFileSystem(), [this] { ++workersStarted; }};
};

TEST_F(Commands, SelectionCommandsWithoutSelectionOnlyShowTheirMessage) {
    add("a", Changed);
    add("b", UnableToRetrieve);
    makeFiles("a");

    checkSelected(ctx);
    setSelectedNotChanged(ctx);
    EXPECT_EQ(deleteSelected(ctx), 0u);
    int row = 0;
    long slot = 0;
    EXPECT_FALSE(findEditTarget(ctx, row, slot));
    std::size_t copy = 99;
    long source = 0;
    EXPECT_FALSE(findDuplicateTarget(ctx, copy, source));

    EXPECT_EQ(host.informations,
              (std::vector<std::string>{"Please select the document data to check.",
                                        "Please select the document data.",
                                        "Please select the document data to delete.",
                                        "Please select one document data to edit.",
                                        "Please select one document data to duplicate."}));
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(workersStarted, 0);
    EXPECT_EQ(cat.status(0), Changed);
    EXPECT_EQ(cat.status(1), UnableToRetrieve);
    EXPECT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(cat.slotCount(), 2u);  // Duplicate took no slot
    EXPECT_TRUE(anyFile("a"));
}

TEST_F(Commands, EditAndDuplicateNeedExactlyOneSelectedRow) {
    add("a");
    add("b");
    select({0, 1});
    int row = 0;
    long slot = 0;
    EXPECT_FALSE(findEditTarget(ctx, row, slot));
    std::size_t copy = 0;
    long source = 0;
    EXPECT_FALSE(findDuplicateTarget(ctx, copy, source));
    EXPECT_EQ(host.informations.size(), 2u);

    rows.setState(0, RowState{}, kRowSelected);
    host.informations.clear();
    EXPECT_TRUE(findEditTarget(ctx, row, slot));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(slot, 1);
    EXPECT_TRUE(findDuplicateTarget(ctx, copy, source));
    EXPECT_EQ(source, 1);
    EXPECT_EQ(copy, 2u);  // appended, still free
    EXPECT_FALSE(cat.isUsed(copy));
    EXPECT_TRUE(host.informations.empty());
}

TEST_F(Commands, EditAfterSortWorksOnTheDocumentTheSelectedRowShows) {
    add("zulu");
    add("alpha");
    add("mike");
    select({0});  // "zulu"
    list.sortRows(0, true);
    int row = -1;
    long slot = -1;
    ASSERT_TRUE(findEditTarget(ctx, row, slot));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(slot, 0);
}

TEST_F(Commands, DeleteAfterYesRemovesRowsFilesAndSlots) {
    add("one");
    add("two");
    add("three");
    for (const char* n : {"one", "two", "three"}) makeFiles(n);
    select({0, 2});

    EXPECT_EQ(deleteSelected(ctx), 2u);
    EXPECT_EQ(host.questions, (std::vector<std::string>{"Are you sure to delete the selected data ?"}));
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.at(0).cells[0], "two");
    EXPECT_FALSE(anyFile("one"));
    EXPECT_FALSE(anyFile("three"));
    for (const char* ext : {".data", ".content", ".middle"}) EXPECT_TRUE(fileExists(dataFile("two" + std::string(ext))));
    EXPECT_TRUE(slotIsZero(0));
    EXPECT_TRUE(slotIsZero(2));
    EXPECT_EQ(cat.name(1), "two");  // other slots keep their indexes
    EXPECT_EQ(list.recordOfRow(0), 1);
    EXPECT_EQ(workersStarted, 0);
}

TEST_F(Commands, DeleteAnsweredNoChangesNothing) {
    add("one");
    add("two");
    makeFiles("one");
    select({0, 1});
    host.answer = false;
    EXPECT_EQ(deleteSelected(ctx), 0u);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(rows.rowCount(), 2);
    EXPECT_TRUE(fileExists(dataFile("one.data")));
    EXPECT_TRUE(fileExists(dataFile("one.content")));
    EXPECT_TRUE(fileExists(dataFile("one.middle")));
    EXPECT_EQ(cat.name(0), "one");
    EXPECT_EQ(cat.name(1), "two");
}

TEST_F(Commands, DeleteKeepsRowsThatMatchNoSlotAndSurvivesMissingFiles) {
    add("real");
    RowData orphan;
    orphan.cells[0] = "orphan";
    rows.insertRow(1, orphan);
    list.resync();
    select({0, 1});
    EXPECT_EQ(deleteSelected(ctx), 1u);  // no files of "real" exist: passed over
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.at(0).cells[0], "orphan");
    EXPECT_FALSE(cat.isUsed(0));
}

TEST_F(Commands, DeleteOfRowsWithTheSameNameClearsBothSlots) {
    add("dup");
    add("dup");
    add("other");
    select({0, 1});
    EXPECT_EQ(deleteSelected(ctx), 2u);
    EXPECT_FALSE(cat.isUsed(0));
    EXPECT_FALSE(cat.isUsed(1));
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(list.recordOfRow(0), 2);
}

TEST_F(Commands, CheckSelectedMarksOnlyDocumentsNotBusyOrChanged) {
    add("changed", Changed);
    add("notchanged", NotChanged);
    add("retrieving", Retrieving);
    add("waiting", WaitingForRetrieve);
    add("failed", UnableToRetrieve);
    add("saved", Saved);
    add("odd", 9);
    add("unselected", NotChanged);
    select({0, 1, 2, 3, 4, 5, 6});

    checkSelected(ctx);
    EXPECT_EQ(cat.status(0), Changed);
    EXPECT_EQ(cat.status(1), WaitingForRetrieve);
    EXPECT_EQ(cat.status(2), Retrieving);
    EXPECT_EQ(cat.status(3), WaitingForRetrieve);
    EXPECT_EQ(cat.status(4), WaitingForRetrieve);
    EXPECT_EQ(cat.status(5), WaitingForRetrieve);
    EXPECT_EQ(cat.status(6), WaitingForRetrieve);
    EXPECT_EQ(cat.status(7), NotChanged);
    EXPECT_EQ(rows.at(1).cells[2], "Waiting for retrieve...");
    EXPECT_EQ(rows.at(1).image, 1);
    EXPECT_EQ(rows.at(0).cells[2], "Changed");
    EXPECT_EQ(rows.at(2).cells[2], "Retrieving...");
    EXPECT_EQ(workersStarted, 1);
    EXPECT_TRUE(host.informations.empty());
}

TEST_F(Commands, CheckSelectedOfOnlyChangedStillStartsAWorker) {
    add("changed", Changed);
    select({0});
    checkSelected(ctx);
    EXPECT_EQ(cat.status(0), Changed);
    EXPECT_EQ(workersStarted, 1);
}

TEST_F(Commands, CheckAllLeavesOnlyChangedAndDocumentsWithoutRow) {
    add("changed", Changed);
    add("notchanged", NotChanged);
    add("retrieving", Retrieving);
    add("failed", UnableToRetrieve);
    std::size_t free = cat.findFreeSlot();
    std::size_t hidden = cat.appendRecord(doc("hidden", NotChanged));  // no row

    checkAllDocuments(ctx);
    EXPECT_EQ(cat.status(0), Changed);
    EXPECT_EQ(cat.status(1), WaitingForRetrieve);
    EXPECT_EQ(cat.status(2), WaitingForRetrieve);
    EXPECT_EQ(cat.status(3), WaitingForRetrieve);
    EXPECT_FALSE(cat.isUsed(free));
    EXPECT_EQ(cat.status(hidden), NotChanged);
    for (int row = 1; row < 4; ++row) EXPECT_EQ(rows.at(row).cells[2], "Waiting for retrieve...");
    EXPECT_EQ(workersStarted, 1);

    // The start-up check marks the same way but starts no worker; an empty
    // catalogue still gets its worker from Check All.
    DocumentCatalogue empty;
    MemoryRowList noRows;
    DocumentList emptyList(noRows, empty);
    EXPECT_EQ(markAllDocuments(empty, emptyList), 0u);
    CommandContext emptyCtx{empty, emptyList, host, testFileSystem(), [this] { ++workersStarted; }};
    checkAllDocuments(emptyCtx);
    EXPECT_EQ(workersStarted, 2);
}

TEST_F(Commands, CheckAllFindsRowsAfterSortingAndRefreshesTheRightOnes) {
    add("c");
    add("a", Changed);
    add("b");
    list.sortRows(0, true);  // a b c
    EXPECT_EQ(markAllDocuments(cat, list), 2u);
    EXPECT_EQ(workersStarted, 0);
    EXPECT_EQ(rows.at(0).cells[2], "Changed");
    EXPECT_EQ(rows.at(1).cells[2], "Waiting for retrieve...");
    EXPECT_EQ(rows.at(2).cells[2], "Waiting for retrieve...");
}

TEST_F(Commands, MarkingAHeldSlotAsksForAnotherRetrievalAndNotChangedDropsIt) {
    add("busy", Retrieving);
    cat.withSlot(0, [](Document&, SlotState& s) { s.held = true; });
    EXPECT_FALSE(markForRetrieval(cat, 0, SkipBusyAndChanged));
    EXPECT_FALSE(cat.withSlot(0, [](Document&, SlotState& s) { return s.remarked; }));
    EXPECT_TRUE(markForRetrieval(cat, 0, SkipChanged));
    EXPECT_TRUE(cat.withSlot(0, [](Document&, SlotState& s) { return s.remarked; }));

    select({0});
    setSelectedNotChanged(ctx);
    EXPECT_EQ(cat.status(0), NotChanged);
    EXPECT_FALSE(cat.withSlot(0, [](Document&, SlotState& s) { return s.remarked; }));
    EXPECT_FALSE(markForRetrieval(cat, 5, SkipChanged));  // missing slot
}

TEST_F(Commands, NotChangedCommandsResetStatusesWithoutWorkerOrFiles) {
    add("changed", Changed);
    add("failed", UnableToRetrieve);
    add("waiting", WaitingForRetrieve);
    select({1});

    setSelectedNotChanged(ctx);
    EXPECT_EQ(cat.status(0), Changed);
    EXPECT_EQ(cat.status(1), NotChanged);
    EXPECT_EQ(rows.at(1).cells[2], "Not changed");
    EXPECT_EQ(rows.at(1).image, 0);

    setAllNotChanged(ctx);  // Esc
    for (std::size_t s = 0; s < 3; ++s) EXPECT_EQ(cat.status(s), NotChanged);
    EXPECT_EQ(rows.at(0).cells[2], "Not changed");
    EXPECT_EQ(rows.at(0).image, 0);
    EXPECT_EQ(workersStarted, 0);
    EXPECT_TRUE(host.informations.empty());
    EXPECT_FALSE(fileExists(dataFile("changed.data")));

    DocumentCatalogue empty;
    MemoryRowList noRows;
    DocumentList emptyList(noRows, empty);
    CommandContext emptyCtx{empty, emptyList, host, testFileSystem(), nullptr};
    setAllNotChanged(emptyCtx);
    EXPECT_TRUE(host.informations.empty());
}

TEST_F(Commands, SelectAndDeselectAll) {
    add("a");
    add("b");
    rows.setState(1, RowState{kRowFocused}, kRowFocused);
    setSelectionOfAll(list, true);
    EXPECT_TRUE(list.isRowSelected(0));
    EXPECT_TRUE(list.isRowSelected(1));
    setSelectionOfAll(list, false);
    EXPECT_EQ(list.selectedCount(), 0);
    EXPECT_TRUE(rows.state(1).focused());
}

TEST_F(Commands, NewRecordReusesTheFreedFirstSlotAtRowZero) {
    add("one");
    add("two");
    add("three");
    makeFiles("one");
    select({0});
    ASSERT_EQ(deleteSelected(ctx), 1u);

    std::size_t slot = cat.findFreeSlot();
    EXPECT_EQ(slot, 0u);
    Document pending = doc("four", WaitingForRetrieve);
    setField(pending.lastCheck, "");
    ASSERT_TRUE(storeNewRecord(ctx, slot, pending));
    EXPECT_EQ(cat.name(0), "four");
    EXPECT_EQ(cat.name(1), "two");
    EXPECT_EQ(cat.name(2), "three");
    ASSERT_EQ(rows.rowCount(), 3);
    EXPECT_EQ(rows.at(0).cells[0], "four");
    EXPECT_EQ(rows.at(0).cells[2], "Waiting for retrieve...");
    EXPECT_EQ(rows.at(0).cells[3], "?");
    EXPECT_EQ(list.rowOfRecord(0), 0);
    EXPECT_EQ(test::readBytes(dataFile("four.data")).size(), kRecordSize);
    EXPECT_EQ(workersStarted, 1);
}

TEST_F(Commands, DuplicateStoresTheCopyInTheFreedSlot) {
    add("one");
    add("two");
    add("three");
    select({0});
    ASSERT_EQ(deleteSelected(ctx), 1u);
    select({1});  // "three"
    std::size_t copy = 99;
    long source = -1;
    ASSERT_TRUE(findDuplicateTarget(ctx, copy, source));
    EXPECT_EQ(copy, 0u);
    EXPECT_EQ(source, 2);
    Document pending = cat.record(static_cast<std::size_t>(source));
    setField(pending.name, "three copy");
    ASSERT_TRUE(storeNewRecord(ctx, copy, pending));
    EXPECT_EQ(rows.at(0).cells[0], "three copy");
    EXPECT_EQ(cat.name(2), "three");
}

TEST_F(Commands, StoringRefusesAUsedSlotAndANamelessRecord) {
    add("kept");
    EXPECT_FALSE(storeNewRecord(ctx, 0, doc("intruder")));
    std::size_t free = cat.findFreeSlot();
    EXPECT_FALSE(storeNewRecord(ctx, free, zeroRecord()));
    EXPECT_FALSE(storeNewRecord(ctx, 42, doc("nowhere")));
    EXPECT_EQ(cat.name(0), "kept");
    EXPECT_FALSE(cat.isUsed(free));
    EXPECT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(workersStarted, 0);
}

TEST_F(Commands, EditWithTheSameNameRewritesRecordDropsContentKeepsMiddle) {
    add("page", Changed);
    makeFiles("page");
    select({0});
    int row = -1;
    long slot = -1;
    ASSERT_TRUE(findEditTarget(ctx, row, slot));
    Document pending = doc("page", WaitingForRetrieve);
    setField(pending.lastCheck, "");
    setField(pending.url, "http://example.invalid/moved");

    ASSERT_TRUE(applyEdit(ctx, row, static_cast<std::size_t>(slot), pending));
    EXPECT_EQ(test::readBytes(dataFile("page.data")).size(), kRecordSize);  // written again
    EXPECT_FALSE(fileExists(dataFile("page.content")));
    EXPECT_TRUE(fileExists(dataFile("page.middle")));
    EXPECT_EQ(fieldText(cat.record(0).url), "http://example.invalid/moved");
    EXPECT_EQ(rows.at(0).cells[2], "Waiting for retrieve...");
    EXPECT_EQ(rows.at(0).cells[3], "?");
    EXPECT_EQ(workersStarted, 1);
}

TEST_F(Commands, EditThatRenamesLeavesNoFilesUnderTheOldName) {
    add("first");
    add("old");
    makeFiles("old");
    makeFiles("first");
    makeFiles("old.content");  // another document's files, named alike
    select({1});
    list.sortRows(0, false);  // old, first: the row moved to 0
    int row = -1;
    long slot = -1;
    ASSERT_TRUE(findEditTarget(ctx, row, slot));
    ASSERT_EQ(row, 0);
    Document pending = doc("new", WaitingForRetrieve);

    ASSERT_TRUE(applyEdit(ctx, row, static_cast<std::size_t>(slot), pending));
    EXPECT_FALSE(fileExists(dataFile("old.data")));
    EXPECT_FALSE(fileExists(dataFile("old.content")));
    EXPECT_TRUE(fileExists(dataFile("old.middle")));  // left under the old name
    EXPECT_TRUE(fileExists(dataFile("new.data")));
    for (const char* ext : {".data", ".content", ".middle"}) {
        EXPECT_TRUE(fileExists(dataFile("first" + std::string(ext))));
        EXPECT_TRUE(fileExists(dataFile("old.content" + std::string(ext))));
    }
    EXPECT_EQ(rows.at(0).cells[0], "new");
    EXPECT_EQ(rows.at(1).cells[0], "first");
    EXPECT_EQ(list.recordOfRow(0), 1);
    EXPECT_EQ(list.rowOfRecord(1), 0);
}

TEST_F(Commands, EditRefreshesTheDocumentsRowWhenTheGivenRowShowsAnother) {
    add("a");
    add("b");
    Document pending = doc("b2", WaitingForRetrieve);
    ASSERT_TRUE(applyEdit(ctx, 0, 1, pending));  // row 0 shows "a", not slot 1
    EXPECT_EQ(rows.at(0).cells[0], "a");
    EXPECT_EQ(rows.at(1).cells[0], "b2");
    EXPECT_FALSE(applyEdit(ctx, 0, 7, pending));  // missing slot
    EXPECT_FALSE(applyEdit(ctx, 0, 0, zeroRecord()));
    EXPECT_EQ(cat.name(0), "a");
}

// A worker that finishes a retrieval while its document is deleted or
// edited must find the slot already changed (new generation), or it would
// write a content file for a document whose files were just removed.
TEST_F(Commands, SlotChangesBeforeTheDocumentsFilesAreRemoved) {
    add("gone");
    makeFiles("gone");
    const uint64_t before = cat.generation(0);
    // Notes, at each removal, what slot 0 of the catalogue looked like then.
    std::vector<std::string> slotNameAtRemoval;
    std::vector<uint64_t> generationAtRemoval;
    test::SwitchableFileSystem spy{testFileSystem()};
    spy.beforeRemove = [&](const std::string&) {
        slotNameAtRemoval.push_back(cat.name(0));
        generationAtRemoval.push_back(cat.generation(0));
    };
    CommandContext spyCtx{cat, list, host, spy, nullptr};
    select({0});
    ASSERT_EQ(deleteSelected(spyCtx), 1u);
    ASSERT_EQ(slotNameAtRemoval.size(), 5u);  // record, content, middle, history, a version
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(slotNameAtRemoval[k], "");
        EXPECT_NE(generationAtRemoval[k], before);
    }
    EXPECT_FALSE(anyFile("gone"));

    std::size_t slot = cat.findFreeSlot();
    ASSERT_EQ(slot, 0u);
    ASSERT_TRUE(storeNewRecord(spyCtx, slot, doc("edited")));
    makeFiles("edited");
    slotNameAtRemoval.clear();
    ASSERT_TRUE(applyEdit(spyCtx, 0, 0, doc("renamed", WaitingForRetrieve)));
    ASSERT_EQ(slotNameAtRemoval.size(), 2u);
    EXPECT_EQ(slotNameAtRemoval[0], "renamed");
    EXPECT_EQ(slotNameAtRemoval[1], "renamed");
    EXPECT_FALSE(fileExists(dataFile("edited.data")));
    EXPECT_FALSE(fileExists(dataFile("edited.content")));
    EXPECT_TRUE(fileExists(dataFile("renamed.data")));
}

TEST_F(Commands, ViewAndSaveTakeOnlyOneRetrievedDocument) {
    for (int32_t status : {Changed, UnableToRetrieve, WaitingForRetrieve, Retrieving}) {
        add(std::to_string(status), status);
    }
    makeFiles(std::to_string(UnableToRetrieve));  // an older copy does not count
    std::string path;
    EXPECT_FALSE(findKeptContentTarget(ctx, path));
    select({0, 1});
    EXPECT_FALSE(findKeptContentTarget(ctx, path));
    EXPECT_TRUE(host.informations.empty());
    for (int row : {0, 1, 2, 3}) {
        list.setSelectionOfAll(false);
        select({row});
        EXPECT_EQ(findKeptContentTarget(ctx, path), row == 0);
    }
    EXPECT_EQ(path, std::to_string(Changed));
    EXPECT_EQ(host.informations, std::vector<std::string>(3, kNotRetrievedText));
}

}  // namespace
}  // namespace hs
