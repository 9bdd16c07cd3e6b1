// The header viewer on kept content: both panes read back, and the messages
// for a document that is not retrieved and for one without kept content.
#include <string>
#include <vector>

#include "list_input.h"
#include "program_test.h"

namespace hs::e2e {
namespace {

constexpr int kViewHeaderCommand = 32806;
constexpr int kHexPane = 1051;
constexpr int kTextPane = 1052;

class ViewerTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        OptionsFile quiet;
        quiet.playSound = 0;
        writeOptions(quiet);
    }

    // Views the one row `name` and returns the text of the message box that
    // follows (closed again), or "(viewer)" with `viewer` set when the
    // viewer opened instead.
    std::string view(RunningProgram& app, const std::string& name, HWND& viewer) {
        viewer = nullptr;
        if (!selectOnly(app.rows(), {name})) return "(not selected)";
        postCommand(app.main, kViewHeaderCommand);
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
    ASSERT_TRUE(clickButton(viewer, IDOK));
    ASSERT_TRUE(waitForWindowGone(viewer, kShortWait));

    EXPECT_EQ(view(app, "Failed", viewer),
              "Selected document is not retrieved. Please press Check! button to retrieve.");
    EXPECT_EQ(view(app, "Gone", viewer), "Cannot open the selected document.");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
