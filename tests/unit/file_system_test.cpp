#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "test_support.h"

namespace hs {
namespace {

class FileSystemTest : public test::WorkingDirTest {
protected:
    FileSystem& fs = testFileSystem();
    std::vector<std::string> list(const std::string& pattern) {
        std::vector<std::string> names;
        EXPECT_TRUE(fs.listFiles("data", pattern, names));
        std::sort(names.begin(), names.end());
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(FileSystemTest, ListingKeepsOrdinaryFilesWithTheEnding) {
    std::filesystem::create_directory("data");
    test::writeBytes(test::dataFile("a.data"), "1");
    test::writeBytes(test::dataFile("b.data"), "");
    test::writeBytes(test::dataFile("a.data.bak"), "x");
    test::writeBytes(test::dataFile("c.dat"), "x");
    test::writeBytes(test::dataFile("x.tmp"), "x");
    test::writeBytes(test::dataFile("x.tmpl"), "x");
    test::writeBytes(test::dataFile("QVR1.tmp"), "x");
    std::filesystem::create_directory(test::dataFile("dir.data"));
    std::filesystem::create_directory(test::dataFile("dir.tmp"));

    EXPECT_EQ(list("*.data"), (Names{"a.data", "b.data"}));
    EXPECT_EQ(list("*.tmp"), (Names{"QVR1.tmp", "x.tmp"}));
    EXPECT_EQ(list("*.none"), Names{});
}

TEST_F(FileSystemTest, ListingOfAMissingDirectoryCannotStart) {
    std::vector<std::string> names{"stale"};
    EXPECT_FALSE(fs.listFiles("data", "*.data", names));
    EXPECT_TRUE(names.empty());
}

TEST_F(FileSystemTest, DirectoriesAndExclusiveCreation) {
    EXPECT_TRUE(fs.makeDirectory("data"));
    EXPECT_TRUE(fs.makeDirectory("data"));  // existing is fine
    EXPECT_TRUE(fs.isDirectory("data"));
    EXPECT_TRUE(fs.exists("data"));
    test::writeBytes("plain", "x");
    EXPECT_FALSE(fs.makeDirectory("plain"));  // a file is in the way
    EXPECT_FALSE(fs.isDirectory("plain"));

    const std::string path = joinPath("data", "new");
    EXPECT_TRUE(fs.createNewFile(path));
    EXPECT_TRUE(fs.exists(path));
    test::writeBytes(path, "content");
    EXPECT_FALSE(fs.createNewFile(path));
    EXPECT_EQ(test::readBytes(path), "content");  // never emptied
    EXPECT_FALSE(fs.createNewFile("data"));

    EXPECT_TRUE(fs.removeFile(path));
    EXPECT_FALSE(fs.exists(path));
    EXPECT_FALSE(fs.removeFile(path));
    EXPECT_FALSE(fs.removeFile("data"));  // never a directory
    EXPECT_TRUE(fs.isDirectory("data"));
}

TEST_F(FileSystemTest, ReplaceMovesOverAnExistingFile) {
    test::writeBytes("from", "new");
    test::writeBytes("to", "old");
    EXPECT_TRUE(fs.replaceFile("from", "to"));
    EXPECT_EQ(test::readBytes("to"), "new");
    EXPECT_FALSE(fs.exists("from"));
    EXPECT_TRUE(fs.replaceFile("to", "fresh"));
    EXPECT_EQ(test::readBytes("fresh"), "new");
    EXPECT_FALSE(fs.replaceFile("missing", "fresh"));
    EXPECT_EQ(test::readBytes("fresh"), "new");
}

TEST_F(FileSystemTest, CopyReplacesAndNeverHarmsTheTargetOnFailure) {
    std::string big(300000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31);
    test::writeBytes("source", big);
    test::writeBytes("target", "old");
    EXPECT_TRUE(fs.copyFile("source", "target"));
    EXPECT_TRUE(test::readBytes("target") == big);
    EXPECT_TRUE(test::readBytes("source") == big);

    test::writeBytes("target", "old");
    EXPECT_FALSE(fs.copyFile("missing", "target"));
    EXPECT_EQ(test::readBytes("target"), "old");
    EXPECT_FALSE(fs.copyFile("source", "source"));
    EXPECT_TRUE(test::readBytes("source") == big);

    std::filesystem::create_directory("data");
    EXPECT_TRUE(fs.copyFile("source", joinPath("data", "copy.htm")));
    EXPECT_TRUE(test::readBytes(test::dataFile("copy.htm")) == big);
}

TEST_F(FileSystemTest, TempFilesAreNewEmptyAndUniquelyNamed) {
    std::filesystem::create_directory("data");
    const std::regex shape("QVR[0-9A-Fa-f]{1,4}\\.tmp");
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        const std::string path = fs.makeTempFile("data", "QVR");
        ASSERT_FALSE(path.empty());
        const std::string name = std::filesystem::path(path).filename().string();
        EXPECT_TRUE(std::regex_match(name, shape)) << name;
        EXPECT_EQ(test::readBytes(test::dataFile(name)), "");
        EXPECT_TRUE(seen.insert(name).second) << name;
    }
    EXPECT_EQ(list("*.tmp").size(), 50u);
    EXPECT_EQ(fs.makeTempFile("missing", "QVR"), "");
}

TEST_F(FileSystemTest, TempFilesFromManyThreadsNeverCollide) {
    std::filesystem::create_directory("data");
    std::vector<std::vector<std::string>> made(4);
    std::vector<std::thread> threads;
    for (auto& out : made) {
        threads.emplace_back([&] {
            for (int i = 0; i < 40; ++i) out.push_back(fs.makeTempFile("data", "QVR"));
        });
    }
    for (auto& t : threads) t.join();
    std::set<std::string> all;
    for (auto& out : made) {
        for (auto& p : out) {
            ASSERT_FALSE(p.empty());
            all.insert(p);
        }
    }
    EXPECT_EQ(all.size(), 160u);
}

TEST(JoinPath, UsesThePlatformSeparator) {
    const std::string sep(1, pathSeparator());
    EXPECT_EQ(joinPath("data", "a.data"), "data" + sep + "a.data");
    EXPECT_EQ(joinPath("data" + sep, "a.data"), "data" + sep + "a.data");
    EXPECT_EQ(joinPath("", "a.data"), "a.data");
}

}  // namespace
}  // namespace hs
