#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/name_rule.h"
#include "file_system_fake.h"
#include "test_support.h"

namespace hs {
namespace {

class NameRule : public test::WorkingDirTest {};

TEST_F(NameRule, EachForbiddenCharacterMakesANameInvalid) {
    for (char c : std::string("\\/:*?\"<>|")) {
        EXPECT_FALSE(isValidDocumentName(std::string("my") + c + "page", testFileSystem())) << c;
    }
    EXPECT_FALSE(isValidDocumentName("a/b", testFileSystem()));
    EXPECT_FALSE(isValidDocumentName("what?", testFileSystem()));
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(NameRule, PlainNameIsValidAndLeavesNothingBehind) {
    EXPECT_TRUE(isValidDocumentName("My home page", testFileSystem()));
    EXPECT_TRUE(isValidDocumentName("r\xE9sum\xE9 2024.v2", testFileSystem()));
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(NameRule, ExistingDirectoryIsInvalid) {
    std::filesystem::create_directory("data");
    EXPECT_FALSE(isValidDocumentName("data", testFileSystem()));
    EXPECT_TRUE(std::filesystem::is_directory("data"));
    EXPECT_FALSE(isValidDocumentName(".", testFileSystem()));
    EXPECT_FALSE(isValidDocumentName("..", testFileSystem()));
}

TEST_F(NameRule, ExistingFileIsValidAndKeepsItsContent) {
    test::writeBytes("Halvorsight.option", "settings that must survive");
    EXPECT_TRUE(isValidDocumentName("Halvorsight.option", testFileSystem()));
    EXPECT_EQ(test::readBytes("Halvorsight.option"), "settings that must survive");
}

TEST_F(NameRule, NamesThatCannotHoldTheDocumentsFilesAreInvalid) {
    EXPECT_FALSE(isValidDocumentName("", testFileSystem()));
    EXPECT_FALSE(isValidDocumentName(std::string("a\0b", 3), testFileSystem()));
    EXPECT_FALSE(isValidDocumentName("tab\there", testFileSystem()));
    EXPECT_FALSE(isValidDocumentName("line\nbreak", testFileSystem()));
    EXPECT_FALSE(isValidDocumentName("NUL", testFileSystem()));
    EXPECT_FALSE(isValidDocumentName("con.txt", testFileSystem()));
    EXPECT_FALSE(isValidDocumentName("Com7", testFileSystem()));
    EXPECT_TRUE(isValidDocumentName("Com0", testFileSystem()));
    EXPECT_TRUE(isValidDocumentName("console", testFileSystem()));
    EXPECT_TRUE(isValidDocumentName(std::string(247, 'n'), testFileSystem()));   // + ".content" = 255
    EXPECT_FALSE(isValidDocumentName(std::string(248, 'n'), testFileSystem()));
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST(NameRuleTrial, RemovesOnlyWhatItCreated) {
    test::SwitchableFileSystem fs;
    fs.refused = {"create nope", "remove device"};
    EXPECT_TRUE(isValidDocumentName("fresh", fs));    // nothing of that name yet: created, then removed
    EXPECT_FALSE(isValidDocumentName("nope", fs));    // cannot be created and does not exist
    EXPECT_FALSE(isValidDocumentName("device", fs));  // cannot be removed again: not an ordinary file
    EXPECT_EQ(fs.calls(), (std::vector<std::string>{"create fresh", "remove fresh", "create nope", "exists nope",
                                                     "create device", "remove device"}));
}

}  // namespace
}  // namespace hs
