// The working directory on a full disk: a small file system that the case's
// wrapper (full_disk.sh) mounts, filled up before the program starts. A
// retrieval that does not fit fails without touching the kept content, a
// record write that does not fit leaves the old record file whole, and
// nothing crashes. With room again, the same check finds the change.
#include <cstdlib>
#include <string>

#include "program_test.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kStatusColumn = 2;

class FullDiskTest : public ProgramTest {
protected:
    void SetUp() override {
        const char* small = std::getenv("HS_FULL_DISK_DIR");
        if (small == nullptr) GTEST_SKIP() << "runs only on the file system its wrapper mounts";
        // The source lies where the case's directories would be: not full.
        char base[MAX_PATH] = {};
        GetEnvironmentVariableA("HS_E2E_WORK", base, sizeof base);
        previousWork_ = base;
        source_ = toWindowsPath(workBaseDirectory()) + "\\hs-full-disk-source.bin";
        SetEnvironmentVariableA("HS_E2E_WORK", small);
        ProgramTest::SetUp();
    }
    void TearDown() override {
        if (source_.empty()) return;
        DeleteFileA(filler().c_str());
        ProgramTest::TearDown();
        DeleteFileA(source_.c_str());
        SetEnvironmentVariableA("HS_E2E_WORK", previousWork_.empty() ? nullptr : previousWork_.c_str());
    }

    std::string filler() { return dir().file("filler"); }

    // Writes until the file system takes no more.
    bool fillUp() {
        HANDLE f = CreateFileA(filler().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        const std::string block(4096, 'f');
        DWORD written = 1;
        while (written > 0 && WriteFile(f, block.data(), static_cast<DWORD>(block.size()), &written, nullptr)) {
        }
        for (written = 1; written > 0 && WriteFile(f, "f", 1, &written, nullptr);) {
        }
        CloseHandle(f);
        return true;
    }

    std::string bytesOf(const std::string& relative) {
        std::string bytes;
        dir().readFile(relative, bytes);
        return bytes;
    }

    std::string previousWork_;
    std::string source_;
};

TEST_F(FullDiskTest, WhatDoesNotFitChangesNothingAndNothingCrashes) {
    const std::string newContent(300 * 1024, 'n');
    {
        HANDLE f = CreateFileA(source_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(f, newContent.data(), static_cast<DWORD>(newContent.size()), &written, nullptr);
        CloseHandle(f);
    }
    OptionsFile quiet;
    quiet.playSound = 0;
    writeOptions(quiet);
    writeRecord(makeRecord("Big", LocalFile, source_, WaitingForRetrieve));
    dir().writeFile("data\\Big.content", "old version");
    const std::string record = readRecordFile("Big");
    ASSERT_TRUE(fillUp());

    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_TRUE(pollUntil([&] { return list.text(0, kStatusColumn) == "Unable to retrieve"; }))
        << "status: \"" << list.text(0, kStatusColumn) << "\"";
    EXPECT_EQ(bytesOf("data\\Big.content"), "old version") << "the kept content was harmed";
    EXPECT_TRUE(readRecordFile("Big") == record) << "the record file was harmed";

    // An option changed: its file is rewritten in place (the room it frees
    // is what it needs) and stays one whole block.
    postCommand(app.main, ID_BG_EMPTY);
    Sleep(500);
    OptionsFile now;
    EXPECT_TRUE(OptionsFile::parse(readOptionsBytes(), now)) << "the options file was harmed";

    postCommand(app.main, ID_APP_EXIT_CMD);
    const auto code = waitForExit(app);
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0u);
    EXPECT_TRUE(readRecordFile("Big") == record) << "the exit's save harmed the record file";
    EXPECT_EQ(bytesOf("data\\Big.content"), "old version");
    EXPECT_EQ(dir().list("data"), (std::vector<std::string>{"Big.content", "Big.data"}));

    // With room again the change is found and kept.
    ASSERT_TRUE(DeleteFileA(filler().c_str()));
    RunningProgram& again = start();
    const RemoteListView rows = again.rows();
    postCommand(again.main, ID_DOC_CHECK_ALL);
    ASSERT_TRUE(pollUntil([&] { return rows.text(0, kStatusColumn) == "Changed"; }))
        << "status: \"" << rows.text(0, kStatusColumn) << "\"";
    EXPECT_TRUE(bytesOf("data\\Big.content") == newContent);
    EXPECT_EQ(int32At(readRecordFile("Big"), offsets::status), Changed);
    ASSERT_TRUE(exitByCommand(again).has_value());
}

}  // namespace
}  // namespace hs::e2e
