// Shared helpers of the unit tests: a fresh, empty working directory for each
// test (the program keeps everything relative to its working directory),
// small file helpers, the commands' message boxes, and the one way tests
// build a record.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/commands.h"
#include "catalogue/record.h"
#include "platform/file_system.h"

namespace hs {

// The platform's file system, one for the whole test program.
inline FileSystem& testFileSystem() {
    static const std::unique_ptr<FileSystem> files = makePlatformFileSystem();
    return *files;
}

}  // namespace hs

namespace hs::test {

// Makes a new empty directory, changes into it for the test, and changes
// back and removes it afterwards.
class WorkingDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        std::random_device rd;
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path p = fs::temp_directory_path() /
                         ("hs-test-" + std::to_string(rd()) + "-" + std::to_string(attempt));
            std::error_code ec;
            if (fs::create_directory(p, ec)) {
                dir_ = p;
                break;
            }
        }
        ASSERT_FALSE(dir_.empty());
        fs::current_path(dir_);
    }
    void TearDown() override {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::current_path(previous_, ec);
        fs::remove_all(dir_, ec);
    }
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Polls `done` every 10 ms; false when it is still false after `ms`.
template <class Done>
bool waitUntil(Done&& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (; !done(); std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        if (std::chrono::steady_clock::now() > end) return false;
    }
    return true;
}

// A record with the given fields; the others are zero.
inline Document testDocument(const std::string& name, int32_t type = HtmlPage, int32_t status = NotChanged,
                             const std::string& url = "", const std::string& lastCheck = "") {
    Document r = zeroRecord();
    setField(r.name, name);
    r.type = type;
    r.status = status;
    setField(r.url, url);
    setField(r.lastCheck, lastCheck);
    return r;
}

// "data" joined with a file name using the platform's separator.
inline std::string dataFile(const std::string& name) {
    return (std::filesystem::path("data") / name).string();
}

// The commands' message boxes: the texts by kind, all of them in order in
// `log` (warnings marked "!", errors "x", questions "?"), and `answer` to
// every question.
class FakeCommandHost : public CommandHost {
public:
    void showInformation(const std::string& text) override { note(informations, "", text); }
    void showWarning(const std::string& text) override { note(warnings, "!", text); }
    void showError(const std::string& text) override { note(errors, "x", text); }
    bool askYesNo(const std::string& text) override {
        note(questions, "?", text);
        return answer;
    }
    std::vector<std::string> informations, warnings, errors, questions, log;
    bool answer = true;

private:
    void note(std::vector<std::string>& kind, const char* mark, const std::string& text) {
        kind.push_back(text);
        log.push_back(mark + text);
    }
};

}  // namespace hs::test
