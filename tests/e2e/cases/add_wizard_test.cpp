// Adding documents: the start-up prompt on an empty list and its wizard
// adding a local file, the page path through all five steps with Back and
// the record file it stores, the method choice remembering "Classic method"
// within a run, and Cancel on steps 4 and 5 storing nothing. Each dialog is
// also kept as a picture in the shots directory.
#include <string>
#include <vector>

#include "list_input.h"
#include "open_recorder.h"
#include "program_test.h"
#include "screenshot.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kBack = 3;
constexpr int kMethodWizard = 1034, kMethodClassic = 1035;
constexpr int kTypeHtml = 1003, kTypeLocal = 1006;
constexpr int kName = 1007, kLocation = 1008, kExample = 1037, kPath = 1038, kUseAccount = 1040,
              kUserName = 1012, kPassword = 1013, kCountString = 1025, kBinary = 1027, kCount = 1028,
              kExplain = 1049;
constexpr int kStatusColumn = 2;

class AddWizardTest : public QuietProgramTest {
protected:
    static bool checked(HWND dlg, int id) { return isButtonChecked(dlg, id); }
    static bool type(HWND dlg, int id, const std::string& text) { return typeText(dlg, id, text); }

    // Presses `button` on `dlg` and waits for the dialog titled `next`.
    HWND press(RunningProgram& app, HWND dlg, int button, const std::string& next) {
        if (!clickButton(dlg, button) || !waitForWindowGone(dlg, kShortWait)) return nullptr;
        return waitForDialog(app.pid(), next, kShortWait);
    }

    // Presses `button` and returns the message box's text (box closed again).
    std::string refusal(RunningProgram& app, HWND dlg, int button) {
        clickButton(dlg, button);
        HWND box = pollFor([&] { return firstDialog(app.pid(), kAppTitle, app.main); }, kShortWait);
        if (!box) return IsWindow(dlg) ? "(nothing)" : "(closed)";
        const std::string text = messageBoxText(box);
        clickButton(box, IDOK);
        waitForWindowGone(box, kShortWait);
        return text;
    }

    static HWND firstDialog(DWORD pid, const std::string& title, HWND except) {
        for (HWND w : findDialogs(pid, title)) {
            if (w != except) return w;
        }
        return nullptr;
    }

    void keepPicture(HWND dlg, const std::string& label) {
        Sleep(400);  // let the dialog paint itself first
        saveWindowScreenshot(dlg, screenshotDirectory() + "\\AddWizardTest-" + label + ".bmp");
    }
};

TEST_F(AddWizardTest, StartupPromptOnAnEmptyListRunsTheWizardForALocalFile) {
    keepStartupPrompt();
    dir().writeFile("notes.txt", "my notes");
    RunningProgram& app = start();
    HWND prompt = waitForDialog(app.pid(), "Start-up wizard", milliseconds(8000));
    ASSERT_NE(prompt, nullptr) << "no start-up prompt on an empty list";
    EXPECT_FALSE(IsWindowEnabled(app.main)) << "the prompt is not modal";
    keepPicture(prompt, "prompt");

    // Straight to step 1, without the method choice.
    HWND step = press(app, prompt, IDOK, "Add wizard step 1");
    ASSERT_NE(step, nullptr) << "the prompt's first button opened no step 1";
    keepPicture(step, "step1");
    EXPECT_EQ(refusal(app, step, IDOK), "Please enter the document name.");
    ASSERT_TRUE(type(step, kName, "Notes"));
    step = press(app, step, IDOK, "Add wizard step 2");
    ASSERT_NE(step, nullptr);
    EXPECT_TRUE(checked(step, kTypeHtml));
    keepPicture(step, "step2");
    ASSERT_TRUE(clickButton(step, kTypeLocal));
    ASSERT_TRUE(pollUntil([&] { return checked(step, kTypeLocal); }, kShortWait));
    step = press(app, step, IDOK, "Add wizard step 3");
    ASSERT_NE(step, nullptr);
    ASSERT_TRUE(hasDialogItem(step, kPath)) << "a local file got the address step";
    EXPECT_EQ(dialogItemText(step, IDOK), "&Finish");
    keepPicture(step, "step3-file");
    EXPECT_EQ(refusal(app, step, IDOK), "Please enter the file path.");
    ASSERT_TRUE(type(step, kPath, "notes.txt"));
    ASSERT_TRUE(clickButton(step, IDOK));
    ASSERT_TRUE(waitForWindowGone(step, kShortWait));

    const RemoteListView list = app.rows();
    EXPECT_TRUE(pollUntil([&] { return cellOf(list, "Notes", kStatusColumn) == "Saved"; }))
        << "the new document was not retrieved: \"" << cellOf(list, "Notes", kStatusColumn) << "\"";
    const std::string stored = readRecordFile("Notes");
    ASSERT_EQ(stored.size(), offsets::recordSize);
    EXPECT_EQ(int32At(stored, offsets::type), 3);
    EXPECT_EQ(textAt(stored, offsets::url), "notes.txt");
    std::string kept;
    EXPECT_TRUE(dir().readFile("data\\Notes.content", kept) && kept == "my notes");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(AddWizardTest, PagePathThroughFiveStepsWithBackStoresEveryField) {
    OpenRecorder browser;  // "What is this ?" opens the manual in it
    writeRecord(makeRecord("Existing", LocalFile, "C:\\nowhere\\x.txt", NotChanged));
    RunningProgram& app = start();
    ASSERT_TRUE(sendKey(app.list, 'A', true));
    HWND dlg = waitForDialog(app.pid(), "Add document by", kShortWait);
    ASSERT_NE(dlg, nullptr) << "Ctrl+A opened no method choice";
    EXPECT_TRUE(checked(dlg, kMethodWizard) && !checked(dlg, kMethodClassic));
    keepPicture(dlg, "method");
    dlg = press(app, dlg, IDOK, "Add wizard step 1");
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(type(dlg, kName, "EXISTING"));
    EXPECT_EQ(refusal(app, dlg, IDOK), "Same document name already exist. Please use another name.");
    ASSERT_TRUE(type(dlg, kName, "Page"));
    dlg = press(app, dlg, IDOK, "Add wizard step 2");
    ASSERT_NE(dlg, nullptr);
    dlg = press(app, dlg, IDOK, "Add wizard step 3");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dialogItemText(dlg, kExample), "e.g. http://www.example.com/news/index.html");
    keepPicture(dlg, "step3-address");
    // Back with the field empty stores "http://", shown on the way forward.
    dlg = press(app, dlg, kBack, "Add wizard step 2");
    ASSERT_NE(dlg, nullptr);
    dlg = press(app, dlg, IDOK, "Add wizard step 3");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dialogItemText(dlg, kLocation), "http://");
    ASSERT_TRUE(type(dlg, kLocation, "127.0.0.1:9/page.html"));
    dlg = press(app, dlg, IDOK, "Add wizard step 4");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dialogItemText(dlg, IDOK), "&Next >>");
    keepPicture(dlg, "step4");
    // The account as typed, "Yes" left unchecked.
    ASSERT_TRUE(type(dlg, kUserName, "reader"));
    ASSERT_TRUE(type(dlg, kPassword, "secret"));
    dlg = press(app, dlg, IDOK, "Add wizard step 5");
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(checked(dlg, kBinary));
    keepPicture(dlg, "step5");
    ASSERT_TRUE(clickButton(dlg, kExplain));
    const std::vector<std::string> opened = browser.waitForLines(1);
    ASSERT_EQ(opened.size(), 1u) << "\"What is this ?\" opened nothing";
    EXPECT_NE(opened[0].find("manual.html#middle"), std::string::npos) << opened[0];
    ASSERT_TRUE(clickButton(dlg, kCount));
    ASSERT_TRUE(pollUntil([&] { return checked(dlg, kCount) && !checked(dlg, kBinary); }, kShortWait));
    EXPECT_EQ(refusal(app, dlg, IDOK), "Please enter the string for count.");
    ASSERT_TRUE(type(dlg, kCountString, "new.gif"));
    // Back to step 4 and forward again keeps both steps' values.
    dlg = press(app, dlg, kBack, "Add wizard step 4");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dialogItemText(dlg, kUserName), "reader");
    EXPECT_FALSE(checked(dlg, kUseAccount));
    dlg = press(app, dlg, IDOK, "Add wizard step 5");
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(checked(dlg, kCount));
    EXPECT_EQ(dialogItemText(dlg, kCountString), "new.gif");
    ASSERT_TRUE(clickButton(dlg, IDOK));
    ASSERT_TRUE(waitForWindowGone(dlg, kShortWait));

    ASSERT_TRUE(pollUntil([&] { return rowNamed(app.rows(), "Page") >= 0; }, kShortWait));
    const std::string stored = readRecordFile("Page");
    ASSERT_EQ(stored.size(), offsets::recordSize);
    EXPECT_EQ(int32At(stored, offsets::type), 0);
    EXPECT_EQ(textAt(stored, offsets::url), "http://127.0.0.1:9/page.html");
    EXPECT_EQ(int32At(stored, offsets::useAccount), 0);
    EXPECT_EQ(textAt(stored, offsets::userName), "reader");
    EXPECT_EQ(textAt(stored, offsets::password), "secret");
    EXPECT_EQ(int32At(stored, offsets::countMode), 1);
    EXPECT_EQ(textAt(stored, offsets::countString), "new.gif");
    EXPECT_EQ(int32At(stored, offsets::middleMode), 0);
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(AddWizardTest, MethodChoiceRemembersClassicAndCancelOnStepsFourAndFiveStoresNothing) {
    writeRecord(makeRecord("Existing", LocalFile, "C:\\nowhere\\x.txt", NotChanged));
    RunningProgram& app = start();
    ASSERT_TRUE(postCommand(app.main, ID_DOC_ADD));
    HWND dlg = waitForDialog(app.pid(), "Add document by", kShortWait);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(clickButton(dlg, kMethodClassic));
    ASSERT_TRUE(pollUntil([&] { return checked(dlg, kMethodClassic); }, kShortWait));
    dlg = press(app, dlg, IDOK, "Add document");
    ASSERT_NE(dlg, nullptr) << "the classic method opened no properties dialog";
    ASSERT_TRUE(clickButton(dlg, IDCANCEL));
    ASSERT_TRUE(waitForWindowGone(dlg, kShortWait));

    ASSERT_TRUE(postCommand(app.main, ID_DOC_ADD));
    dlg = waitForDialog(app.pid(), "Add document by", kShortWait);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(checked(dlg, kMethodClassic) && !checked(dlg, kMethodWizard))
        << "the method choice forgot \"Classic method\"";
    ASSERT_TRUE(clickButton(dlg, kMethodWizard));
    ASSERT_TRUE(pollUntil([&] { return checked(dlg, kMethodWizard); }, kShortWait));
    ASSERT_TRUE(clickButton(dlg, IDOK));
    ASSERT_TRUE(waitForWindowGone(dlg, kShortWait));

    for (const char* last : {"Add wizard step 4", "Add wizard step 5"}) {
        SCOPED_TRACE(last);
        if (std::string(last) == "Add wizard step 5") {
            ASSERT_TRUE(postCommand(app.main, ID_DOC_ADD));
            dlg = waitForDialog(app.pid(), "Add document by", kShortWait);
            ASSERT_NE(dlg, nullptr);
            ASSERT_TRUE(clickButton(dlg, IDOK));
            ASSERT_TRUE(waitForWindowGone(dlg, kShortWait));
        }
        dlg = waitForDialog(app.pid(), "Add wizard step 1", kShortWait);
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(type(dlg, kName, "Dropped"));
        dlg = press(app, dlg, IDOK, "Add wizard step 2");
        ASSERT_NE(dlg, nullptr);
        dlg = press(app, dlg, IDOK, "Add wizard step 3");
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(type(dlg, kLocation, "127.0.0.1:9/dropped.html"));
        dlg = press(app, dlg, IDOK, "Add wizard step 4");
        ASSERT_NE(dlg, nullptr);
        if (std::string(last) == "Add wizard step 5") {
            dlg = press(app, dlg, IDOK, last);
            ASSERT_NE(dlg, nullptr);
            ASSERT_TRUE(type(dlg, kCountString, "x"));
        }
        ASSERT_TRUE(clickButton(dlg, IDCANCEL));
        ASSERT_TRUE(waitForWindowGone(dlg, kShortWait));
    }
    Sleep(300);
    EXPECT_EQ(app.rows().rowCount(), 1);
    EXPECT_FALSE(dir().exists("data\\Dropped.data"));
    EXPECT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
