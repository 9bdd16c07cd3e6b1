// The Windows file system's attribute filter and naming, as loading the
// catalogue and deleting temporary files see them; the proxy settings as
// the registry holds them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "catalogue/store.h"
#include "catalogue/text_mode.h"
#include "platform/file_system.h"
#include "platform/proxy_settings.h"
#include "platform/win32/file_system_win32.h"
#include "unit/test_support.h"

namespace hs {
namespace {

class Win32FileSystem : public test::WorkingDirTest {
protected:
    void SetUp() override {
        WorkingDirTest::SetUp();
        CreateDirectoryA("data", nullptr);
    }
    void TearDown() override {
        // Read-only files would keep the test directory from being removed.
        for (const auto& e : std::filesystem::directory_iterator("data")) {
            SetFileAttributesA(e.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        WorkingDirTest::TearDown();
    }
    static void writeRecordBytes(const std::string& file, const std::string& name) {
        RecordLayout r = zeroLayout();
        setField(r.name, name);
        test::writeBytes("data\\" + file, std::string(reinterpret_cast<const char*>(&r), sizeof r));
    }
};

TEST(Win32ListingFilter, OnlyFilesMarkedArchiveOrNormalPass) {
    EXPECT_TRUE(isListedFileAttributes(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(isListedFileAttributes(FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(isListedFileAttributes(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(isListedFileAttributes(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(isListedFileAttributes(FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(isListedFileAttributes(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_FALSE(isListedFileAttributes(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(isListedFileAttributes(0));
}

TEST(Win32ListingFilter, LongNameMustCarryTheEnding) {
    EXPECT_TRUE(matchesListPattern("a.tmp", "*.tmp"));
    EXPECT_TRUE(matchesListPattern("QVR1F.TMP", "*.tmp"));
    EXPECT_FALSE(matchesListPattern("notes.tmpl", "*.tmp"));  // found through NOTES~1.TMP
    EXPECT_FALSE(matchesListPattern("a.data.bak", "*.data"));
    EXPECT_TRUE(matchesListPattern("A.Data", "a.data"));
    EXPECT_FALSE(matchesListPattern("xa.data", "a.data"));
}

TEST_F(Win32FileSystem, ReadOnlyFileWithoutArchiveAttributeIsNotLoaded) {
    writeRecordBytes("probe.data", "probe");
    SetFileAttributesA("data\\probe.data", FILE_ATTRIBUTE_READONLY);
    const bool keepsAttributes =
        (GetFileAttributesA("data\\probe.data") & FILE_ATTRIBUTE_ARCHIVE) == 0;
    SetFileAttributesA("data\\probe.data", FILE_ATTRIBUTE_NORMAL);
    DeleteFileA("data\\probe.data");
    if (!keepsAttributes) {
        GTEST_SKIP() << "this file system reports every file with the archive attribute";
    }
    writeRecordBytes("kept.data", "kept");
    writeRecordBytes("readonly.data", "readonly");
    writeRecordBytes("normal.data", "normal");
    writeRecordBytes("hidden.data", "hidden");
    ASSERT_TRUE(SetFileAttributesA("data\\readonly.data", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA("data\\normal.data", FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(SetFileAttributesA("data\\hidden.data", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));

    DocumentCatalogue cat;
    loadCatalogue(cat, testFileSystem(), nullptr);
    EXPECT_EQ(cat.firstSlotNamed("readonly"), -1);
    EXPECT_GE(cat.firstSlotNamed("kept"), 0);
    EXPECT_GE(cat.firstSlotNamed("normal"), 0);
    EXPECT_GE(cat.firstSlotNamed("hidden"), 0);
    EXPECT_EQ(cat.slotCount(), 3u);
}

TEST_F(Win32FileSystem, DirectoryWithArchiveAttributeIsNoFile) {
    ASSERT_TRUE(CreateDirectoryA("data\\folder.tmp", nullptr));
    SetFileAttributesA("data\\folder.tmp", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
    test::writeBytes("data\\left.TMP", "x");
    std::vector<std::string> names;
    ASSERT_TRUE(testFileSystem().listFiles("data", "*.tmp", names));
    EXPECT_EQ(names, std::vector<std::string>{"left.TMP"});  // case as Windows compares
    DocumentFiles(testFileSystem()).removeTempFiles();
    EXPECT_FALSE(test::fileExists("data\\left.TMP"));
    EXPECT_TRUE(std::filesystem::is_directory("data\\folder.tmp"));
}

TEST_F(Win32FileSystem, TempFileNamesComeFromTheSystem) {
    const std::string path = testFileSystem().makeTempFile("data", "QVR");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.rfind("data\\QVR", 0), 0u) << path;
    EXPECT_EQ(path.substr(path.size() - 4), ".tmp");
    const DWORD a = GetFileAttributesA(path.c_str());
    ASSERT_NE(a, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(a & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL), 0u);  // deletable at shutdown
}

TEST_F(Win32FileSystem, RecordWrittenOverAReadOnlyFileFailsWithoutHarm) {
    writeRecordBytes("locked.data", "locked");
    const std::string before = test::readBytes("data\\locked.data");
    ASSERT_TRUE(SetFileAttributesA("data\\locked.data", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    if (std::FILE* probe = std::fopen("data\\locked.data", "r+b")) {
        std::fclose(probe);
        GTEST_SKIP() << "read-only files are writable here (administrator under Wine)";
    }
    EXPECT_FALSE(writeRecordFile(testFileSystem(), test::testDocument("locked", HtmlPage, Saved)));
    EXPECT_TRUE(test::readBytes("data\\locked.data") == before);
    std::vector<std::string> temps;
    testFileSystem().listFiles("data", "*.tmp", temps);
    EXPECT_TRUE(temps.empty());
}

// A kept content that a worker is reading while the document is deleted:
// the reader does not hold the file against the deletion, the name is free
// at once for a later document of that name, and the reader goes on
// reading the bytes it opened.
TEST_F(Win32FileSystem, FilesBeingReadCanBeRemovedAtOnce) {
    FileSystem& fs = testFileSystem();
    test::writeBytes("data\\doc.content", "stranger's content");
    ContentReader reader;
    ASSERT_TRUE(reader.open("data\\doc.content", FileMode::Binary));
    char first[4];
    ASSERT_EQ(reader.read(first, 4), 4u);
    EXPECT_TRUE(fs.removeFile("data\\doc.content"));
    EXPECT_FALSE(fs.exists("data\\doc.content"));
    ASSERT_TRUE(fs.createNewFile("data\\doc.content"));  // a new document of that name
    EXPECT_EQ(test::readBytes("data\\doc.content"), "");
    char rest[64];
    EXPECT_EQ(std::string(rest, reader.read(rest, sizeof rest)), "nger's content");
    reader.close();

    std::vector<std::string> temps;
    fs.listFiles("data", "*.tmp", temps);
    EXPECT_TRUE(temps.empty());  // the file moved aside went with its reader
    EXPECT_FALSE(fs.removeFile("data\\missing.content"));
}

// An intranet's bypass list runs to kilobytes; it is read whole. ProxyEnable
// is left alone, so nothing else in this prefix goes through the proxy.
TEST(Win32Proxy, SettingsAreReadWhole) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    std::string bypass = "<local>";
    for (int i = 0; bypass.size() < 5000; ++i) bypass += ";host" + std::to_string(i) + ".intranet.example";
    RegSetKeyValueA(HKEY_CURRENT_USER, key, "ProxyServer", REG_SZ, "proxy:3128", 11);
    RegSetKeyValueA(HKEY_CURRENT_USER, key, "ProxyOverride", REG_SZ, bypass.c_str(), bypass.size() + 1);
    const SystemProxy proxy = systemProxy();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "ProxyServer");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "ProxyOverride");
    EXPECT_EQ(proxy.server, "proxy:3128");
    EXPECT_EQ(proxy.bypass, bypass);
}

}  // namespace
}  // namespace hs
