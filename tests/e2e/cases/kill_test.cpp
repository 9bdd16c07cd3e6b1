// The program killed (TerminateProcess) at random moments while it checks a
// catalogue of local files and web pages that keep changing, and started
// again, round after round. After every kill:
//   - every record file is whole (4632 bytes) and names its document, and
//     every document has exactly one record file: none lost, none doubled;
//   - every kept content is one complete version of its source, never a mix;
//   - every document that showed "Changed" before the kill still says so in
//     its record file, and shows it again after the restart.
// HS_KILL_ROUNDS sets the number of rounds (default 12; the full run uses
// 200 or more). Needs the web servers (HS_WEB_STATE).
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "program_test.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kStatusColumn = 2;

uint64_t fingerprint(const std::string& bytes) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (const unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h ^ bytes.size();
}

// What text mode stores for a page: each line feed as CR LF.
std::string storedText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

struct Source {
    std::string name;     // the document's name
    int32_t type;
    std::string file;     // where the driver writes it (Windows path)
    std::string location; // the document's location
    std::set<uint64_t> versions;  // fingerprints of every kept form it ever had
};

class KillTest : public QuietProgramTest {
protected:
    void SetUp() override {
        const char* state = std::getenv("HS_WEB_STATE");
        ASSERT_NE(state, nullptr) << "HS_WEB_STATE is not set (the web_servers fixture)";
        const std::string web = toWindowsPath(state);
        std::ifstream ports(web + "\\ports");
        std::string server;
        int port = 0;
        while (ports >> server >> port) {
            if (server == "http") httpPort_ = port;
        }
        ASSERT_NE(httpPort_, 0) << "no port of the http server";
        www_ = web + "\\www\\";
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", "2000,1500,5000");
        QuietProgramTest::SetUp();
    }
    void TearDown() override {
        stopChanging();
        QuietProgramTest::TearDown();
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", nullptr);
    }

    void addSource(const std::string& name, int32_t type, bool web) {
        Source s;
        s.name = name;
        s.type = type;
        if (web) {
            std::string served = "kill-" + name + ".bin";
            for (char& c : served) c = c == ' ' ? '-' : c;
            s.file = www_ + served;
            s.location = "http://127.0.0.1:" + std::to_string(httpPort_) + "/paced/" + served;
        } else {
            s.file = dir().file("src\\" + name + ".txt");
            s.location = s.file;
        }
        sources_.push_back(s);
    }

    // A new version of a source: a first line that names it, then lines up
    // to a size that varies, so that a torn copy cannot match any version.
    static std::string makeVersion(const Source& s, int version, std::mt19937& rng) {
        std::string text = s.name + " version " + std::to_string(version) + "\n";
        const std::size_t size = 20000 + rng() % 120000;
        while (text.size() < size) text += "line " + std::to_string(rng()) + " of " + s.name + "\n";
        return text;
    }

    // Writes a version beside the source and moves it over the source in one
    // step, so every reader sees one version whole. A source that is open
    // right now cannot be replaced; it keeps its version until the next try.
    bool publish(Source& s, const std::string& text) {
        const std::string kept = s.type == HtmlPage ? storedText(text) : text;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            s.versions.insert(fingerprint(kept));
        }
        const std::string temp = s.file + ".new";
        std::ofstream(temp, std::ios::binary) << text;
        if (MoveFileExA(temp.c_str(), s.file.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        DeleteFileA(temp.c_str());
        return false;
    }

    void startChanging() {
        changing_ = true;
        changer_ = std::thread([this] {
            std::mt19937 rng(4711);
            int version = 1000;
            while (changing_) {
                Source& s = sources_[rng() % sources_.size()];
                publish(s, makeVersion(s, ++version, rng));
                Sleep(40 + rng() % 120);
            }
        });
    }
    void stopChanging() {
        changing_ = false;
        if (changer_.joinable()) changer_.join();
    }

    // The checks that must hold after every kill; `changed` are the
    // documents shown "Changed" right before it.
    void verifyFiles(const std::set<std::string>& changed, int round) {
        SCOPED_TRACE("after kill " + std::to_string(round));
        std::set<std::string> recordFiles;
        for (const std::string& f : dir().list("data")) {
            if (f.size() > 5 && f.substr(f.size() - 5) == ".data") recordFiles.insert(f);
        }
        std::set<std::string> expected;
        for (const Source& s : sources_) expected.insert(s.name + ".data");
        ASSERT_EQ(recordFiles, expected) << "a document was lost or doubled";
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Source& s : sources_) {
            const std::string record = readRecordFile(s.name);
            ASSERT_EQ(record.size(), offsets::recordSize) << s.name << ": a torn record file";
            EXPECT_EQ(textAt(record, offsets::name), s.name);
            const int32_t status = int32At(record, offsets::status);
            if (changed.count(s.name)) {
                EXPECT_EQ(status, Changed) << s.name << ": a change was lost";
            }
            std::string content;
            if (!dir().readFile("data\\" + s.name + ".content", content)) continue;  // not kept yet
            ++keptChecked_;
            EXPECT_TRUE(s.versions.count(fingerprint(content)))
                << s.name << ": the kept content (" << content.size() << " bytes, \""
                << content.substr(0, 40) << "\") is no version of its source";
        }
    }

    // Rows as the program shows them: name to status text.
    static std::map<std::string, std::string> statuses(const RemoteListView& list) {
        std::map<std::string, std::string> out;
        for (int row = 0; row < list.rowCount(); ++row) out[list.text(row, 0)] = list.text(row, kStatusColumn);
        return out;
    }

    std::vector<Source> sources_;
    std::mt19937 rng_{20240715};
    std::mutex mutex_;
    std::atomic<bool> changing_{false};
    std::thread changer_;
    std::string www_;
    int httpPort_ = 0;
    int keptChecked_ = 0;
};

TEST_F(KillTest, NothingIsLostWhenTheProgramIsKilledDuringChecks) {
    const char* rounds = std::getenv("HS_KILL_ROUNDS");
    const int total = rounds ? std::atoi(rounds) : 12;
    dir().makeDirectory("src");
    for (int i = 1; i <= 4; ++i) addSource("Local " + std::to_string(i), LocalFile, false);
    addSource("Web file 1", WebFile, true);
    addSource("Web file 2", WebFile, true);
    addSource("Page 1", HtmlPage, true);
    addSource("Page 2", HtmlPage, true);
    for (Source& s : sources_) {
        ASSERT_TRUE(publish(s, makeVersion(s, 1, rng_)));
        writeRecord(makeRecord(s.name, s.type, s.location, WaitingForRetrieve));
    }
    startChanging();

    std::set<std::string> changed;  // shown "Changed" before the last kill
    int duringChecks = 0, changedSeen = 0;
    for (int round = 1; round <= total; ++round) {
        RunningProgram& app = start();
        const RemoteListView list = app.rows();
        ASSERT_TRUE(pollUntil([&] { return list.rowCount() == static_cast<int>(sources_.size()); }, kShortWait))
            << "round " << round << ": " << list.rowCount() << " rows";
        const auto shown = statuses(list);
        for (const std::string& name : changed) {
            EXPECT_EQ(shown.at(name), "Changed") << "round " << round << ": " << name << " lost its change";
        }
        // Acknowledge and check everything again, so that each round
        // retrieves, finds changes and writes.
        if (round % 3 != 0) postKey(app.list, VK_ESCAPE);
        postCommand(app.main, ID_DOC_CHECK_ALL);
        Sleep(static_cast<DWORD>(rng_() % 1500));

        const auto before = statuses(list);
        changed.clear();
        bool busy = false;
        for (const auto& [name, status] : before) {
            if (status == "Changed") changed.insert(name);
            if (status == "Retrieving..." || status == "Waiting for retrieve...") busy = true;
        }
        app.process.terminate();
        if (round % 10 == 0) dropStaleTrayIcons(kTrayTip);
        duringChecks += busy;
        changedSeen += static_cast<int>(changed.size());
        verifyFiles(changed, round);
        if (HasFatalFailure()) return;
    }
    stopChanging();

    // An orderly run at the end clears what the kills left behind.
    RunningProgram& app = start();
    ASSERT_TRUE(exitByCommand(app).has_value());
    EXPECT_EQ(dir().temporaryFiles(), std::vector<std::string>{}) << "left over";
    std::printf("kills: %d, of them during checks: %d; \"Changed\" rows kept across kills: %d; "
                "kept contents verified: %d\n",
                total, duringChecks, changedSeen, keptChecked_);
}

}  // namespace
}  // namespace hs::e2e
