// The document properties dialog's rules: the opening states, the reactions
// of the type and comparison buttons, the web location normalization, the
// order of OK's checks and the record it builds, the duplicate-name test per
// mode, and the FTP connection test's progress texts.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "dialogs/document_properties_model.h"
#include "test_support.h"

namespace hs {
namespace {

Document recordOf(int32_t type, const std::string& name, const std::string& url) {
    return test::testDocument(name, type, Changed, url, "24/01/02 [10:00:00]");
}

TEST(PropertiesModel, WebLocationNormalization) {
    const struct {
        const char* typed;
        const char* stored;
    } rows[] = {
        {"HTTPS://host/a", "https://host/a"},
        {"Https://host/a", "https://host/a"},
        {"HTTP://host/a", "http://host/a"},
        {"host/a", "http://host/a"},
        {"ftp://host/a", "http://host/a"},
        {"http://host/?u=https://x", "https://host/?u=https://x"},
    };
    for (const auto& row : rows) EXPECT_EQ(normalizeWebLocation(row.typed), row.stored) << row.typed;
}

TEST(PropertiesModel, OpeningStatesAndReactions) {
    DocumentPropertiesModel add;
    EXPECT_STREQ(add.title(), "Add document");
    EXPECT_TRUE(add.type() == HtmlPage && add.compare() == CompareChoice::Binary && add.useAccountEnabled());
    EXPECT_FALSE(add.countFieldEnabled() || add.markerFieldsEnabled() || add.accountFieldsEnabled());

    // Only the strings of the stored mode are shown.
    Document page = recordOf(HtmlPage, "News", "http://host/");
    page.middleMode = 1;
    setField(page.middleStart, "<b>");
    setField(page.countString, "left over");
    DocumentPropertiesModel edit(PropertiesEdit, page, 0);
    EXPECT_TRUE(edit.compare() == CompareChoice::Middle && edit.markerFieldsEnabled() && !edit.countFieldEnabled());
    EXPECT_EQ(edit.fields.middleStart + "|" + edit.fields.countString, "<b>|");
    // Another type disables the comparison but keeps its selection.
    edit.selectType(WebFile);
    EXPECT_FALSE(edit.compareButtonsEnabled() || edit.markerFieldsEnabled());
    edit.selectType(HtmlPage);
    EXPECT_TRUE(edit.markerFieldsEnabled());

    Document local = recordOf(LocalFile, "Log", "C:\\log.txt");
    local.useAccount = 1;
    setField(local.userName, "u");
    DocumentPropertiesModel dup(PropertiesDuplicate, local, 0);
    EXPECT_STREQ(dup.title(), "Duplicate document");
    EXPECT_FALSE(dup.compareButtonsEnabled() || dup.useAccountEnabled());
    EXPECT_TRUE(dup.useAccount() && dup.accountFieldsEnabled() && dup.fields.userName == "u");

    // The FTP caption differs between opening on a record and choosing the type.
    DocumentPropertiesModel ftp(PropertiesEdit, recordOf(FtpFile, "F", "srv/f"), 0);
    EXPECT_EQ(ftp.actionCaption(), "&Connect to Check..");
    ftp.selectType(FtpFile);
    EXPECT_EQ(ftp.actionCaption(), "&Connect to check..");
}

class PropertiesAccept : public test::WorkingDirTest {
protected:
    std::string accept(const DocumentPropertiesModel& m, const std::vector<NamedSlot>& used = {}) {
        return m.accept(used, testFileSystem(), pending);
    }
    Document pending = recordOf(WebFile, "untouched", "http://x/");
};

TEST_F(PropertiesAccept, ChecksRunInOrderAndAFailureLeavesThePendingRecord) {
    DocumentPropertiesModel m;
    const Document before = pending;
    const std::vector<NamedSlot> used{{0, "Taken"}};
    m.selectCompare(CompareChoice::Middle);
    m.setUseAccount(true);
    const char* const expected[] = {kEnterMarkerText, kEnterMarkerText, kEnterUserNameText, kEnterPasswordText,
                                    kEnterUrlText,    kEnterNameText,   kNameTakenText,     kInvalidNameText};
    std::vector<std::string> seen;
    auto step = [&] { seen.push_back(accept(m, used)); };
    step();
    m.fields.middleStart = "a";
    step();
    m.fields.middleEnd = "b";
    step();
    m.fields.userName = "user";
    step();
    m.fields.password = "pw";
    step();
    m.fields.location = "HTTPS://host/page";
    step();
    m.fields.name = "TAKEN";
    step();
    m.fields.name = "bad:name";
    step();
    EXPECT_EQ(seen, std::vector<std::string>(std::begin(expected), std::end(expected)));
    EXPECT_TRUE(pending == before);
    const std::string invalidName = kInvalidNameText;
    EXPECT_EQ(invalidName.substr(invalidName.find('\n')), "\n\n\\ / : * ? \" < > |");

    m.fields.name = "Page";
    ASSERT_EQ(accept(m, used), "");
    Document want = test::testDocument("Page", HtmlPage, WaitingForRetrieve, "https://host/page");
    want.useAccount = 1;
    setField(want.userName, "user");
    setField(want.password, "pw");
    want.middleMode = 1;
    setField(want.middleStart, "a");
    setField(want.middleEnd, "b");
    EXPECT_TRUE(pending == want);
}

TEST_F(PropertiesAccept, SettingsOfAnotherTypeAreNotReadOrStored) {
    DocumentPropertiesModel m;
    m.selectCompare(CompareChoice::Count);  // count string left empty
    m.selectType(WebFile);
    m.fields = {"File", "host/f.zip", "", "", "", "", ""};
    ASSERT_EQ(accept(m), "");
    EXPECT_EQ(pending.countMode, 0);
    EXPECT_EQ(pending.url, "http://host/f.zip");

    // A checked box disabled by "Local file" still counts.
    m.setUseAccount(true);
    m.selectType(LocalFile);
    EXPECT_TRUE(!m.useAccountEnabled() && m.accountFieldsEnabled());
    EXPECT_EQ(accept(m), kEnterUserNameText);
    m.fields = {"File", "ftp://not/normalized", "", "", "", "u", "p"};
    ASSERT_EQ(accept(m), "");
    EXPECT_EQ(pending.useAccount, 1);
    EXPECT_EQ(pending.url, "ftp://not/normalized");
}

TEST_F(PropertiesAccept, DuplicateNamesIgnoreTheCaseOfAToZOnly) {
    const Document source = recordOf(HtmlPage, "News", "http://host/");
    const std::vector<NamedSlot> used{{3, "News"}, {5, "Caf\xC9"}};
    DocumentPropertiesModel edit(PropertiesEdit, source, 3);
    edit.fields.name = "news";
    EXPECT_EQ(accept(edit, used), "");
    EXPECT_EQ(pending.name, "news");

    DocumentPropertiesModel dup(PropertiesDuplicate, source, 3);
    EXPECT_EQ(accept(dup, used), kNameTakenText);
    dup.fields.name = "caf\xC9";
    EXPECT_EQ(accept(dup, used), kNameTakenText);
    dup.fields.name = "Caf\xE9";  // not an A-Z letter: a different name
    EXPECT_EQ(accept(dup, used), "");
}

TEST_F(PropertiesAccept, TooLongAccountsAndLocationsAreRefusedNotCut) {
    DocumentPropertiesModel m;
    m.setUseAccount(true);
    m.fields = {"Doc", std::string(504, 'a'), "", "", "", std::string(128, 'u'), "p"};  // 511 with "http://"
    EXPECT_EQ(accept(m), kUserNameTooLongText);
    m.fields.userName.pop_back();
    ASSERT_EQ(accept(m), "");
    EXPECT_EQ(fieldText(pending.url).size(), 511u);
    m.fields.location += "b";
    EXPECT_EQ(accept(m), kLocationTooLongText);
}

// Records what the test asks of the network and shows.
struct RecordingFtp : FtpTestSteps {
    bool changes = true;
    std::vector<std::string> calls;
    bool connect(const std::string& s, const std::string& u, const std::string& p) override {
        calls.push_back("connect " + s + " " + u + " " + p);
        return true;
    }
    bool changeDirectory(const std::string& d) override {
        calls.push_back("cd " + d);
        return changes;
    }
    bool getFile(const std::string& f) override {
        calls.push_back("get " + f);
        return true;
    }
    void close() override { calls.push_back("close"); }
    // The dialog's part: the checks, then the steps with each text as the hint.
    void run(DocumentPropertiesModel& m) {
        FtpTestTarget target;
        const std::string refusal = m.prepareFtpTest(target);
        if (!refusal.empty()) return calls.push_back("box " + refusal);
        runFtpTestSteps(target, *this, [&](const std::string& t) { calls.push_back(t), m.showFtpProgress(t); });
    }
};

TEST(PropertiesFtpTest, ProgressTextsOfEachOutcome) {
    const std::string ok = "Connecting to the server...SUCCESS";
    const std::string changed = ok + "\nChanging directory...SUCCESS";
    const std::string getting = changed + "\nGetting file...";
    DocumentPropertiesModel m;
    m.selectType(FtpFile);

    RecordingFtp none;
    m.fields.location = "ftp://server/file.txt";
    none.run(m);
    EXPECT_EQ(none.calls, (std::vector<std::string>{"Connecting to the server...", "connect server  ", ok,
                                                    getting, "get file.txt", getting + "SUCCESS", "close"}));
    EXPECT_EQ(m.hint(), getting + "SUCCESS");

    RecordingFtp badDir;
    badDir.changes = false;
    m.setUseAccount(true);
    m.fields = {"", "server/pub/sub/file.zip", "", "", "", "u", "p"};
    badDir.run(m);
    EXPECT_EQ(badDir.calls, (std::vector<std::string>{"Connecting to the server...", "connect server u p", ok,
                                                      ok + "\nChanging directory...", "cd pub/sub",
                                                      ok + "\nChanging directory...FAILED", "close"}));

    RecordingFtp invalid;
    m.fields.location = "/file";
    invalid.run(m);
    EXPECT_EQ(invalid.calls, (std::vector<std::string>{std::string("box ") + kInvalidFtpAddressText}));
}

}  // namespace
}  // namespace hs
