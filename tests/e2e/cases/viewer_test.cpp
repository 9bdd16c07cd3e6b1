// The header viewer on kept content: both panes read back, and the messages
// for a document that is not retrieved and for one without kept content.
// Save as through the real save-file dialog: an overwrite confirmed, a
// byte-identical copy, and a target that cannot be written.
#include <string>
#include <vector>

#include "list_input.h"
#include "program_test.h"
#include "screenshot.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kHexPane = 1051;
constexpr int kTextPane = 1052;

class ViewerTest : public QuietProgramTest {
protected:
    // Views the one row `name` and returns the text of the message box that
    // follows (closed again), or "(viewer)" with `viewer` set when the
    // viewer opened instead.
    std::string view(RunningProgram& app, const std::string& name, HWND& viewer) {
        viewer = nullptr;
        if (!selectOnly(app.rows(), {name})) return "(not selected)";
        postCommand(app.main, ID_DOC_VIEW_HEADER);
        HWND box = nullptr;
        pollUntil(
            [&] {
                viewer = findFirst(findDialogs(app.pid(), "View document header"), nullptr);
                box = findFirst(findDialogs(app.pid(), kAppTitle), app.main);
                return viewer != nullptr || box != nullptr;
            },
            kShortWait);
        if (viewer) return "(viewer)";
        if (!box) return "(nothing)";
        const std::string text = messageBoxText(box);
        clickButton(box, IDOK);
        waitForWindowGone(box, kShortWait);
        return text;
    }

    // Saves the one row `name` as `target` (an existing file: the overwrite
    // is confirmed). Returns the program's message afterwards, or "(saved)".
    std::string saveAs(RunningProgram& app, const std::string& name, const std::string& target) {
        if (!selectOnly(app.rows(), {name})) return "(not selected)";
        postCommand(app.main, ID_DOC_SAVE_AS);
        HWND chooser = waitForDialog(app.pid(), "Save as..", kShortWait);
        if (!chooser) return "(no save-file dialog)";
        HWND nameBox = GetDlgItem(chooser, 0x47C);  // the file name box
        if (!nameBox) nameBox = GetDlgItem(chooser, 0x480);
        sendBounded(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        clickButton(chooser, IDOK);
        HWND prompt = pollFor([&] { return findFirst(findDialogs(app.pid(), "Save as.."), chooser); }, kShortWait);
        if (!prompt) return "(no overwrite prompt)";
        clickButton(prompt, IDYES);
        if (!waitForWindowGone(chooser, kShortWait)) return "(save-file dialog stays)";
        HWND box = pollFor([&] { return findFirst(findDialogs(app.pid(), kAppTitle), app.main); }, kShortWait / 4);
        if (!box) return "(saved)";
        const std::string text = messageBoxText(box);
        clickButton(box, IDOK);
        waitForWindowGone(box, kShortWait);
        return text;
    }

    static HWND findFirst(const std::vector<HWND>& found, HWND except) {
        for (HWND w : found) {
            if (w != except) return w;
        }
        return nullptr;
    }
};

TEST_F(ViewerTest, PanesShowTheKeptBytesAndUnretrievedDocumentsAreRefused) {
    writeRecord(makeRecord("Kept", LocalFile, "Kept.txt", Changed));
    dir().writeFile("data\\Kept.content", std::string("Line one\r\nA\0B", 13));
    writeRecord(makeRecord("Failed", LocalFile, "Failed.txt", UnableToRetrieve));
    dir().writeFile("data\\Failed.content", "an older copy");
    writeRecord(makeRecord("Gone", LocalFile, "Gone.txt", NotChanged));
    RunningProgram& app = start();

    HWND viewer = nullptr;
    ASSERT_EQ(view(app, "Kept", viewer), "(viewer)");
    EXPECT_FALSE(IsWindowEnabled(app.main)) << "the viewer is not modal";
    EXPECT_EQ(dialogItemText(viewer, kTextPane), "Line one\r\nAB");
    EXPECT_EQ(dialogItemText(viewer, kHexPane), "4C 69 6E 65 20 6F \r\n6E 65 0D 0A 41 00 \r\n42 ");
    Sleep(500);  // let the viewer paint itself before its picture is kept
    saveWindowScreenshot(viewer, screenshotDirectory() + "\\ViewerTest-viewer.bmp");
    ASSERT_TRUE(clickButton(viewer, IDOK));
    ASSERT_TRUE(waitForWindowGone(viewer, kShortWait));

    EXPECT_EQ(view(app, "Failed", viewer),
              "Selected document is not retrieved. Please press Check! button to retrieve.");
    EXPECT_EQ(view(app, "Gone", viewer), "Cannot open the selected document.");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(ViewerTest, SaveAsCopiesTheWholeFileAndSaysWhenItCannot) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 13);
    writeRecord(makeRecord("Kept", LocalFile, "Kept.txt", Saved));
    dir().writeFile("data\\Kept.content", bytes);
    dir().writeFile("copy.bin", "older");
    dir().writeFile("locked.bin", "older");
    // A target another program holds open without sharing cannot be written.
    const std::string locked = dir().file("locked.bin");
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    RunningProgram& app = start();

    EXPECT_EQ(saveAs(app, "Kept", dir().file("copy.bin")), "(saved)");
    std::string copy;
    EXPECT_TRUE(dir().readFile("copy.bin", copy) && copy == bytes);
    EXPECT_EQ(saveAs(app, "Kept", locked),
              "The document could not be saved. Please check that the target folder can be written to and has "
              "free space.");
    CloseHandle(holder);
    EXPECT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
