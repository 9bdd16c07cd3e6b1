#include <gtest/gtest.h>

#include "catalogue/record.h"

namespace hs {
namespace {

TEST(RecordTexts, KnownAndUnknownTypesAndStatuses) {
    EXPECT_STREQ(documentTypeText(HtmlPage), "html/cgi page");
    EXPECT_STREQ(documentTypeText(LocalFile), "local file");
    EXPECT_STREQ(documentTypeText(7), "Unknown");
    EXPECT_STREQ(documentTypeText(-1), "Unknown");

    EXPECT_STREQ(documentStatusText(WaitingForRetrieve), "Waiting for retrieve...");
    EXPECT_STREQ(documentStatusText(Saved), "Saved");
    EXPECT_STREQ(documentStatusText(9), "Unknown");
    EXPECT_EQ(statusImageIndex(9), 0);
    EXPECT_EQ(statusImageIndex(Changed), 3);
    EXPECT_EQ(statusImageIndex(UnableToRetrieve), 2);
    EXPECT_EQ(statusImageIndex(Retrieving), statusImageIndex(WaitingForRetrieve));
    EXPECT_EQ(statusImageIndex(Saved), 0);
}

TEST(RecordFields, SetFieldCutsAt511AndZeroFillsTheRest) {
    RecordLayout r = zeroLayout();
    std::memset(r.url, 'x', sizeof r.url);
    setField(r.url, "ab");
    EXPECT_EQ(fieldText(r.url), "ab");
    for (std::size_t i = 2; i < kTextFieldSize; ++i) ASSERT_EQ(r.url[i], '\0') << i;

    setField(r.url, std::string(600, 'y'));
    EXPECT_EQ(fieldText(r.url), std::string(511, 'y'));
    EXPECT_EQ(r.url[511], '\0');
}

TEST(RecordFields, UnterminatedFieldReadsToItsEndOnly) {
    RecordLayout r = zeroLayout();
    std::memset(r.name, 'n', sizeof r.name);
    r.useAccount = 0x7777;  // the bytes after the field must not be read
    EXPECT_EQ(fieldText(r.name), std::string(512, 'n'));
}

}  // namespace
}  // namespace hs
