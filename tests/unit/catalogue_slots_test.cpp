#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "catalogue/catalogue.h"
#include "test_support.h"

namespace hs {
namespace {

using test::testDocument;

TEST(CatalogueSlots, FreeSlotIsFirstEmptyOrAppended) {
    DocumentCatalogue cat;
    EXPECT_EQ(cat.findFreeSlot(), 0u);
    EXPECT_EQ(cat.slotCount(), 1u);
    cat.storeRecord(0, testDocument("a"));
    cat.appendRecord(testDocument("b"));
    cat.appendRecord(testDocument("c"));
    EXPECT_EQ(cat.findFreeSlot(), 3u);  // appended
    cat.clearSlot(0);
    EXPECT_EQ(cat.findFreeSlot(), 0u);
    EXPECT_EQ(cat.name(1), "b");
    EXPECT_EQ(cat.name(2), "c");
}

TEST(CatalogueSlots, ClearedSlotIsAllZeroAndGetsNewGeneration) {
    DocumentCatalogue cat;
    Document r = testDocument("doc");
    RecordLayout carried = zeroLayout();
    carried.reserved[7] = 9;
    r.carried = std::make_shared<const RecordLayout>(carried);
    size_t s = cat.appendRecord(r);
    uint64_t g = cat.generation(s);
    cat.clearSlot(s);
    Document z = zeroRecord();
    Document got = cat.record(s);
    EXPECT_TRUE(got == z && !got.carried);
    EXPECT_NE(g, cat.generation(s));
    EXPECT_EQ(cat.firstSlotNamed("doc"), -1);
}

TEST(CatalogueSlots, ManySlotsKeepTheirRecordsAcrossSegments) {
    DocumentCatalogue cat;
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(cat.appendRecord(testDocument(std::to_string(i))), std::size_t(i));
    for (int i : {0, 63, 64, 959, 960, 1983, 1984, 2999}) {
        EXPECT_EQ(cat.name(i), std::to_string(i));
        EXPECT_EQ(cat.firstSlotNamed(std::to_string(i)), i);
    }
}

TEST(CatalogueSlots, LookupByNameFindsFirstOfDuplicatesAndFollowsRenames) {
    DocumentCatalogue cat;
    cat.appendRecord(testDocument("x"));
    cat.appendRecord(testDocument("dup"));
    cat.appendRecord(testDocument("dup"));
    EXPECT_EQ(cat.firstSlotNamed("dup"), 1);
    EXPECT_EQ(cat.firstSlotNamed("Dup"), -1);  // exact, case-sensitive
    cat.withSlot(1, [](Document& r, SlotState&) { setField(r.name, "renamed"); });
    EXPECT_EQ(cat.firstSlotNamed("dup"), 2);
    EXPECT_EQ(cat.firstSlotNamed("renamed"), 1);
    EXPECT_EQ(cat.firstSlotNamed(""), -1);
}

TEST(CatalogueSlots, SlotsNeverMoveWhileGrowing) {
    DocumentCatalogue cat;
    size_t first = cat.appendRecord(testDocument("first"));
    const Document* where = nullptr;
    cat.withSlot(first, [&](Document& r, SlotState&) { where = &r; });
    for (int i = 0; i < 5000; ++i) cat.appendRecord(testDocument("n" + std::to_string(i)));
    const Document* after = nullptr;
    cat.withSlot(first, [&](Document& r, SlotState&) { after = &r; });
    EXPECT_EQ(where, after);
    EXPECT_EQ(cat.name(4000), "n3999");
}

TEST(CatalogueSlots, ReadersRunBesideAppends) {
    DocumentCatalogue cat;
    cat.appendRecord(testDocument("base"));
    std::thread reader([&] {
        for (int i = 0; i < 20000; ++i) {
            ASSERT_EQ(cat.name(0), "base");
            (void)cat.status(cat.slotCount() - 1);
        }
    });
    for (int i = 0; i < 3000; ++i) cat.appendRecord(testDocument("a" + std::to_string(i)));
    reader.join();
    EXPECT_EQ(cat.slotCount(), 3001u);
}

}  // namespace
}  // namespace hs
