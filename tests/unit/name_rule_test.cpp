#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/name_rule.h"
#include "test_support.h"

namespace hs {
namespace {

using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;

class MockFileSystem : public FileSystem {
public:
    MOCK_METHOD(bool, listFiles, (const std::string&, const std::string&, std::vector<std::string>&),
                (override));
    MOCK_METHOD(bool, makeDirectory, (const std::string&), (override));
    MOCK_METHOD(bool, createNewFile, (const std::string&), (override));
    MOCK_METHOD(bool, exists, (const std::string&), (override));
    MOCK_METHOD(bool, isDirectory, (const std::string&), (override));
    MOCK_METHOD(bool, removeFile, (const std::string&), (override));
    MOCK_METHOD(bool, replaceFile, (const std::string&, const std::string&), (override));
    MOCK_METHOD(bool, copyFile, (const std::string&, const std::string&), (override));
    MOCK_METHOD(std::string, makeTempFile, (const std::string&, const std::string&), (override));
};

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
    NiceMock<MockFileSystem> fs;
    // Nothing of that name yet: created, then removed.
    EXPECT_CALL(fs, createNewFile("fresh")).WillOnce(Return(true));
    EXPECT_CALL(fs, removeFile("fresh")).WillOnce(Return(true));
    EXPECT_TRUE(isValidDocumentName("fresh", fs));

    // Creation fails and nothing exists: invalid, nothing removed.
    EXPECT_CALL(fs, createNewFile("nope")).WillOnce(Return(false));
    EXPECT_CALL(fs, exists("nope")).WillOnce(Return(false));
    EXPECT_CALL(fs, removeFile("nope")).Times(0);
    EXPECT_FALSE(isValidDocumentName("nope", fs));

    // Created but cannot be removed again: not an ordinary file.
    EXPECT_CALL(fs, createNewFile("device")).WillOnce(Return(true));
    EXPECT_CALL(fs, removeFile("device")).WillOnce(Return(false));
    EXPECT_FALSE(isValidDocumentName("device", fs));
}

}  // namespace
}  // namespace hs
