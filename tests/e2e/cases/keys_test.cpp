// The main window's accelerator keys reach the list's commands, and a key
// whose command is unavailable for the selection does nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "program_test.h"

namespace hs::e2e {
namespace {

class KeysTest : public ProgramTest {
protected:
    static int rowNamed(const RemoteListView& list, const std::string& name) {
        for (int r = 0; r < list.rowCount(); ++r)
            if (list.text(r, 0) == name) return r;
        return -1;
    }
};

TEST_F(KeysTest, F1OpensTheModalAboutBox) {
    RunningProgram& app = start();
    postKey(app.list, VK_F1);
    HWND about = waitForDialog(app.pid(), "About Halvorsight", kShortWait);
    ASSERT_NE(about, nullptr) << "F1 showed no \"About Halvorsight\" box";
    const auto texts = dialogTexts(about);
    for (const char* expected : {"Version:", "5.0"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << "no text \"" << expected << "\"";
    EXPECT_FALSE(IsWindowEnabled(app.main)) << "the About box is not modal to the main window";
    ASSERT_TRUE(clickButton(about, IDOK));
    EXPECT_TRUE(waitForWindowGone(about, kShortWait));
    EXPECT_TRUE(pollUntil([&] { return IsWindowEnabled(app.main) != 0; }, kShortWait));
    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

TEST_F(KeysTest, AcceleratorsSelectCheckAndResetRows) {
    dir().writeFile("one.txt", "first document");
    writeRecord(makeRecord("One", LocalFile, "one.txt", NotChanged));
    writeRecord(makeRecord("Two", LocalFile, "C:\\nowhere\\two.txt", NotChanged));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 2);
    const int one = rowNamed(list, "One");
    const int two = rowNamed(list, "Two");
    ASSERT_GE(one, 0);
    ASSERT_GE(two, 0);

    // Ctrl+ keys go through the keyboard, as a user's would.
    ASSERT_TRUE(sendKey(app.list, 'S', true)) << "could not bring the window to the front";
    EXPECT_TRUE(pollUntil([&] { return list.selectedCount() == 2; }, kShortWait)) << "Ctrl+S did not select all";
    ASSERT_TRUE(sendKey(app.list, 'D', true));
    EXPECT_TRUE(pollUntil([&] { return list.selectedCount() == 0; }, kShortWait)) << "Ctrl+D did not deselect";

    // Del with nothing selected is unavailable: no confirmation, no change.
    postKey(app.list, VK_DELETE);
    Sleep(300);
    EXPECT_TRUE(findDialogs(app.pid()).empty()) << "Del with no selection asked something";
    EXPECT_EQ(list.rowCount(), 2);

    // F5 checks the selected row only; the first check of a local file
    // keeps a copy of it.
    ASSERT_TRUE(list.setSelected(one, true));
    postKey(app.list, VK_F5);
    EXPECT_TRUE(pollUntil([&] { return list.text(one, 2) == "Saved"; }, kWait))
        << "status of the checked row: \"" << list.text(one, 2) << "\"";
    EXPECT_EQ(list.text(two, 2), "Not changed");
    EXPECT_EQ(list.text(two, 3), "?");
    std::string kept;
    EXPECT_TRUE(dir().readFile("data\\One.content", kept));
    EXPECT_EQ(kept, "first document");

    // Esc sets every row back to "Not changed".
    postKey(app.list, VK_ESCAPE);
    EXPECT_TRUE(pollUntil([&] { return list.text(one, 2) == "Not changed"; }, kShortWait))
        << "status after Esc: \"" << list.text(one, 2) << "\"";

    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

}  // namespace
}  // namespace hs::e2e
