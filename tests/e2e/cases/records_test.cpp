// Record files prepared in "data" before a start: how they show as rows, and
// what the program writes back when it exits. Stored bytes are checked at
// their offsets in the file.
#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "program_test.h"

namespace hs::e2e {
namespace {

class RecordsTest : public ProgramTest {
protected:
    // "name | type | status | last check | image" of every row, sorted: the
    // order of rows follows the directory listing, which the test does not fix.
    std::vector<std::string> rowSummaries(const RunningProgram& app) {
        const RemoteListView list = app.rows();
        std::vector<std::string> out;
        for (int r = 0; r < list.rowCount(); ++r) {
            std::string line;
            for (const auto& cell : list.rowTexts(r)) line += cell + " | ";
            out.push_back(line + std::to_string(list.image(r)));
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    // Writes the record file and makes it look old, so a rewrite shows.
    std::string prepare(const Document& r, const std::string& fileName = "") {
        writeRecord(r, fileName);
        const std::string file = fileName.empty() ? recordFileName(fieldText(r.name)) : "data\\" + fileName;
        dir().makeOld(file);
        std::string bytes;
        dir().readFile(file, bytes);
        return bytes;
    }

    bool rewritten(const std::string& file) { return dir().writeTime(file) > startTime_; }

    void markStart() {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        // One second of slack for file systems with coarse time stamps.
        startTime_ = ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) -
                     10000000ull;
    }

    unsigned long long startTime_ = 0;
};

TEST_F(RecordsTest, PreparedRecordsShowAsRowsAndAreWrittenBackAtExit) {
    Document page = makeRecord("Alpha page", HtmlPage, "http://alpha.example/", NotChanged);
    setField(page.lastCheck, "2004/07/15 [09:05:03]");
    const Document changed = makeRecord("Beta", WebFile, "http://beta.example/f.zip", Changed);
    const Document failed = makeRecord("Gamma", FtpFile, "ftp.example/pub/x.txt", UnableToRetrieve);
    const Document saved = makeRecord("Delta", LocalFile, "C:\\nowhere\\d.txt", Saved);
    const Document odd = makeRecord("Odd", 7, "?", 9);

    std::vector<std::pair<std::string, std::string>> loaded;  // file name, bytes
    for (const Document& r : {page, changed, failed, saved, odd})
        loaded.emplace_back(recordFileName(fieldText(r.name)), prepare(r));

    // A file named differently from the name it holds loads under that name.
    const std::string renamedBytes =
        prepare(makeRecord("Stored name", LocalFile, "C:\\nowhere\\s.txt", NotChanged), "file name.data");
    // Only the first 4632 bytes of a longer file count.
    Document big = makeRecord("Big", LocalFile, "C:\\nowhere\\b.txt", NotChanged);
    dir().writeFile("data\\Big.data", recordFileBytes(big) + std::string(368, 'x'));
    dir().makeOld("data\\Big.data");
    // Short files are skipped, a directory that looks like a record too.
    dir().writeFile("data\\Empty.data", "");
    const std::string shortBytes = recordFileBytes(makeRecord("Short", LocalFile, "x", NotChanged)).substr(0, 4000);
    dir().writeFile("data\\Short.data", shortBytes);
    dir().makeOld("data\\Short.data");
    dir().makeDirectory("data\\Folder.data");

    markStart();
    RunningProgram& app = start();
    EXPECT_EQ(rowSummaries(app), (std::vector<std::string>{
                                     "Alpha page | html/cgi page | Not changed | 2004/07/15 [09:05:03] | 0",
                                     "Beta | web file | Changed | ? | 3",
                                     "Big | local file | Not changed | ? | 0",
                                     "Delta | local file | Saved | ? | 0",
                                     "Gamma | ftp file | Unable to retrieve | ? | 2",
                                     "Odd | Unknown | Unknown | ? | 0",
                                     "Stored name | local file | Not changed | ? | 0",
                                 }));

    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value()) << "Exit did not end the program";
    EXPECT_EQ(*code, 0u);

    // Every loaded record stays byte for byte as it was loaded: the exit
    // writes none of them again.
    for (const auto& [file, bytes] : loaded) {
        SCOPED_TRACE(file);
        std::string now;
        ASSERT_TRUE(dir().readFile(file, now));
        EXPECT_TRUE(now == bytes) << "record file changed: status now " << int32At(now, offsets::status)
                                  << ", size " << now.size();
        EXPECT_FALSE(rewritten(file)) << "written at exit unchanged";
    }
    std::string now;
    ASSERT_TRUE(dir().readFile("data\\Stored name.data", now)) << "no file under the stored name";
    EXPECT_TRUE(now == renamedBytes);
    ASSERT_TRUE(dir().readFile("data\\file name.data", now));
    EXPECT_TRUE(now == renamedBytes) << "the file it was loaded from must stay as it was";
    ASSERT_TRUE(dir().readFile("data\\Big.data", now));
    EXPECT_EQ(now.size(), offsets::recordSize);
    EXPECT_TRUE(now == recordFileBytes(big));
    ASSERT_TRUE(dir().readFile("data\\Short.data", now));
    EXPECT_TRUE(now == shortBytes) << "a skipped file must not be written";
    EXPECT_FALSE(rewritten("data\\Short.data"));
    ASSERT_TRUE(dir().readFile("data\\Empty.data", now));
    EXPECT_EQ(now.size(), 0u);
    EXPECT_TRUE(dir().isDirectory("data\\Folder.data"));
}

TEST_F(RecordsTest, RetrievingIsStoredAsWaitingAndCheckedAtTheNextStart) {
    dir().writeFile("watched.txt", "watched content\r\n");
    const std::string prepared =
        prepare(makeRecord("Stuck", LocalFile, "watched.txt", Retrieving));

    markStart();
    {
        RunningProgram& app = start();
        const RemoteListView list = app.rows();
        ASSERT_EQ(list.rowCount(), 1);
        EXPECT_EQ(list.rowTexts(0), (std::vector<std::string>{"Stuck", "local file", "Retrieving...", "?"}));
        EXPECT_EQ(list.image(0), 1);
        const auto code = exitByCommand(app);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);
    }
    std::string stored = readRecordFile("Stuck");
    ASSERT_EQ(stored.size(), offsets::recordSize);
    EXPECT_EQ(int32At(stored, offsets::status), WaitingForRetrieve);
    std::string expected = prepared;
    expected[offsets::status] = static_cast<char>(WaitingForRetrieve);
    EXPECT_TRUE(stored == expected) << "bytes other than the status changed";

    // The worker started at the next start takes the waiting record: the
    // first retrieval of a local file keeps a copy and reports Saved.
    RunningProgram& again = start();
    const RemoteListView list = again.rows();
    ASSERT_TRUE(pollUntil([&] { return list.text(0, 2) == "Saved"; }, kWait))
        << "status is \"" << list.text(0, 2) << "\"";
    const std::string lastCheck = list.text(0, 3);
    EXPECT_TRUE(std::regex_match(lastCheck, std::regex(R"(\d{4}/\d{2}/\d{2} \[\d{2}:\d{2}:\d{2}\])")))
        << "last check \"" << lastCheck << "\"";
    std::string content;
    EXPECT_TRUE(dir().readFile("data\\Stuck.content", content));
    EXPECT_EQ(content, "watched content\r\n");
    ASSERT_TRUE(exitByCommand(again).has_value());
    stored = readRecordFile("Stuck");
    EXPECT_EQ(int32At(stored, offsets::status), Saved);
    EXPECT_EQ(textAt(stored, offsets::lastCheck), lastCheck);
}

TEST_F(RecordsTest, AccountsAreStoredScrambledAndReadBackPlain) {
    Document account = makeRecord("Account", WebFile, "http://host.example/file.zip", NotChanged);
    account.useAccount = 1;
    setField(account.userName, "abc");
    setField(account.password, "pa ss!");
    RecordLayout carried = zeroLayout();
    for (size_t i = 0; i < sizeof carried.reserved; ++i)
        carried.reserved[i] = static_cast<unsigned char>(i * 7 + 1);  // never read, kept as is
    account.carried = std::make_shared<const RecordLayout>(carried);

    Document longest = makeRecord("Longest", FtpFile, "ftp.example/a/b.bin", NotChanged);
    longest.useAccount = 1;
    std::string longName;
    for (int i = 0; i < 127; ++i) longName += static_cast<char>('!' + (i * 5) % 90);
    setField(longest.userName, longName);
    setField(longest.password, std::string(127, 'p'));

    // Text typed into an account step without "use account" stays plain.
    Document plain = makeRecord("Plain", WebFile, "http://plain.example/", NotChanged);
    setField(plain.userName, "typed user");
    setField(plain.password, "typed pass");

    const std::string accountBytes = prepare(account);
    const std::string longestBytes = prepare(longest);
    const std::string plainBytes = prepare(plain);

    markStart();
    RunningProgram& app = start();
    ASSERT_EQ(app.rows().rowCount(), 3);
    ASSERT_TRUE(exitByCommand(app).has_value());

    struct Expect {
        std::string name, user, password, prepared;
    };
    for (const Expect& e : {Expect{"Account", "abc", "pa ss!", accountBytes},
                            Expect{"Longest", longName, std::string(127, 'p'), longestBytes}}) {
        SCOPED_TRACE(e.name);
        const std::string stored = readRecordFile(e.name);
        ASSERT_EQ(stored.size(), offsets::recordSize);
        EXPECT_TRUE(rewritten(recordFileName(e.name)));
        EXPECT_EQ(static_cast<unsigned char>(stored[offsets::userName]), e.user.size());
        std::string got, problem;
        EXPECT_TRUE(decodeStoredField(stored, offsets::userName, got, problem)) << problem;
        EXPECT_EQ(got, e.user);
        EXPECT_TRUE(decodeStoredField(stored, offsets::password, got, problem)) << problem;
        EXPECT_EQ(got, e.password);
        // Everything outside the two account fields is as it was loaded.
        std::string outside = stored, preparedOutside = e.prepared;
        for (std::string* s : {&outside, &preparedOutside}) {
            s->replace(offsets::userName, offsets::fieldSize, offsets::fieldSize, '-');
            s->replace(offsets::password, offsets::fieldSize, offsets::fieldSize, '-');
        }
        EXPECT_TRUE(outside == preparedOutside) << "bytes outside the account fields changed";
    }
    const std::string stored = readRecordFile("Account");
    // "abc" is kept as its length and the letters backwards, four bytes apart.
    ASSERT_EQ(stored.size(), offsets::recordSize);
    EXPECT_EQ(stored[1032], 3);
    EXPECT_EQ(stored[1033], 'c');
    EXPECT_EQ(stored[1037], 'b');
    EXPECT_EQ(stored[1041], 'a');
    EXPECT_EQ(fieldAt(stored, offsets::reserved), fieldAt(accountBytes, offsets::reserved));

    const std::string plainStored = readRecordFile("Plain");
    EXPECT_FALSE(rewritten(recordFileName("Plain")));  // nothing to renew
    EXPECT_TRUE(plainStored == plainBytes) << "plain account text was changed: user \""
                                           << textAt(plainStored, offsets::userName) << "\"";
}

TEST_F(RecordsTest, LeftoverTemporaryFilesSurviveStartAndGoAtExit) {
    prepare(makeRecord("Doc", LocalFile, "C:\\nowhere\\doc.txt", NotChanged));
    dir().writeFile("data\\QVR1.tmp", "left over");
    dir().writeFile("data\\QVR2A.tmp", "");
    dir().writeFile("data\\notes.txt", "not temporary");
    dir().writeFile("data\\Doc.content", "kept content");
    dir().writeFile("QVR3.tmp", "outside the data directory");

    RunningProgram& app = start();
    EXPECT_TRUE(dir().exists("data\\QVR1.tmp")) << "temporary files are removed at exit, not at start";
    EXPECT_TRUE(dir().exists("data\\QVR2A.tmp"));
    ASSERT_TRUE(exitByCommand(app).has_value());

    EXPECT_EQ(dir().list("data"), (std::vector<std::string>{"Doc.content", "Doc.data", "notes.txt"}));
    EXPECT_TRUE(dir().exists("QVR3.tmp"));
}

}  // namespace
}  // namespace hs::e2e
