// The Options dialog against the options file: what it shows of the stored
// settings, the minutes spin and its limits, Apply writing the file and
// Cancel leaving it alone.
#include <string>
#include <vector>

#include "program_test.h"
#include "res/command_ids.h"
#include "res/dialogs/options_dialog_ids.h"

namespace hs::e2e {
namespace {

constexpr int kApplyButton = 1;
constexpr int kCancelButton = 2;

class OptionsTest : public ProgramTest {
protected:
    HWND openOptions(RunningProgram& app) {
        postCommand(app.main, ID_APP_OPTION);
        return waitForDialog(app.pid(), "Options", kShortWait);
    }

    static bool checked(HWND dlg, int id) { return isButtonChecked(dlg, id); }

    // Clicks a check box and waits until its state has flipped.
    static bool toggle(HWND dlg, int id) {
        const bool before = checked(dlg, id);
        return clickButton(dlg, id) && pollUntil([&] { return checked(dlg, id) != before; }, kShortWait);
    }

    static bool enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != 0; }

    // One press of an arrow of the minutes spin: the button goes down and
    // up again on the arrow's half of the control. Sent, so the change has
    // reached the minutes text when this returns.
    static bool pressSpin(HWND dlg, bool up) {
        HWND spin = GetDlgItem(dlg, IDC_MINUTES_SPIN);
        RECT r{};
        if (!spin || !GetClientRect(spin, &r)) return false;
        const int x = (r.left + r.right) / 2;
        const int y = up ? r.top + (r.bottom - r.top) / 4 : r.bottom - (r.bottom - r.top) / 4;
        return sendBounded(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)) &&
               sendBounded(spin, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    static std::string minutes(HWND dlg) { return dialogItemText(dlg, IDC_MINUTES_TEXT); }

    // Presses an arrow `times` times; the minutes text after each press.
    static std::vector<std::string> press(HWND dlg, bool up, int times) {
        std::vector<std::string> seen;
        for (int i = 0; i < times; ++i) {
            if (!pressSpin(dlg, up)) {
                seen.push_back("(press failed)");
                break;
            }
            seen.push_back(minutes(dlg));
        }
        return seen;
    }

    bool closeWith(RunningProgram& app, HWND dlg, int button) {
        return clickButton(dlg, button) && waitForWindowGone(dlg, kShortWait) &&
               pollUntil([&] { return IsWindowEnabled(app.main) != 0; }, kShortWait);
    }
};

TEST_F(OptionsTest, DialogShowsTheStoredOptionsAndApplyWritesTheChanges) {
    OptionsFile stored;
    stored.backgroundChoice = 1;  // not the dialog's: kept as it is
    stored.customBitmapPath = "pictures\\sky.bmp";
    writeOptions(stored);
    RunningProgram& app = start();

    HWND dlg = openOptions(app);
    ASSERT_NE(dlg, nullptr) << "command 32790 opened no \"Options\" dialog";
    EXPECT_FALSE(IsWindowEnabled(app.main)) << "the dialog is not modal";
    EXPECT_FALSE(checked(dlg, IDC_STARTUP_CHECK));
    EXPECT_FALSE(checked(dlg, IDC_PERIODIC_CHECK));
    EXPECT_TRUE(checked(dlg, IDC_PLAY_SOUND));
    EXPECT_FALSE(checked(dlg, IDC_AUTO_OPEN));
    EXPECT_EQ(minutes(dlg), "60");
    EXPECT_FALSE(enabled(dlg, IDC_MINUTES_SPIN)) << "the spin is enabled without the periodic check";
    EXPECT_FALSE(enabled(dlg, IDC_MINUTES_TEXT));

    ASSERT_TRUE(toggle(dlg, IDC_PERIODIC_CHECK));
    EXPECT_TRUE(pollUntil([&] { return enabled(dlg, IDC_MINUTES_SPIN) && enabled(dlg, IDC_MINUTES_TEXT); }, kShortWait))
        << "checking \"Periodic check\" did not enable the minutes";

    // 54 steps up from 60 reach 600, and there it stays.
    std::vector<std::string> up = press(dlg, true, 56);
    ASSERT_EQ(up.size(), 56u);
    EXPECT_EQ(up[0], "70");
    EXPECT_EQ(up[53], "600");
    EXPECT_EQ(up[54], "600");
    EXPECT_EQ(up[55], "600");
    // 59 steps down reach 10, and there it stays.
    std::vector<std::string> down = press(dlg, false, 60);
    ASSERT_EQ(down.size(), 60u);
    EXPECT_EQ(down[0], "590");
    EXPECT_EQ(down[58], "10");
    EXPECT_EQ(down[59], "10");
    EXPECT_EQ(press(dlg, true, 7).back(), "80");

    ASSERT_TRUE(toggle(dlg, IDC_STARTUP_CHECK));
    ASSERT_TRUE(toggle(dlg, IDC_PLAY_SOUND));
    ASSERT_TRUE(toggle(dlg, IDC_AUTO_OPEN));
    EXPECT_EQ(readOptionsBytes(), stored.bytes()) << "the file changed before Apply";

    ASSERT_TRUE(closeWith(app, dlg, kApplyButton)) << "Apply did not close the dialog";
    OptionsFile expected = stored;
    expected.periodicCheck = 1;
    expected.checkMinutes = 80;
    expected.startupCheck = 1;
    expected.playSound = 0;
    expected.autoOpen = 1;
    std::string written;
    EXPECT_TRUE(pollUntil([&] { return (written = readOptionsBytes()) == expected.bytes(); }, kShortWait))
        << "options file after Apply: size " << written.size() << ", "
        << [&] {
               OptionsFile got;
               return OptionsFile::parse(written, got) ? describe(got) : std::string("unreadable");
           }();

    // Opened again, the dialog shows what was applied.
    dlg = openOptions(app);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(checked(dlg, IDC_STARTUP_CHECK));
    EXPECT_TRUE(checked(dlg, IDC_PERIODIC_CHECK));
    EXPECT_FALSE(checked(dlg, IDC_PLAY_SOUND));
    EXPECT_TRUE(checked(dlg, IDC_AUTO_OPEN));
    EXPECT_EQ(minutes(dlg), "80");
    EXPECT_TRUE(enabled(dlg, IDC_MINUTES_SPIN));
    ASSERT_TRUE(closeWith(app, dlg, kCancelButton));

    ASSERT_TRUE(exitByCommand(app).has_value());
    EXPECT_EQ(readOptionsBytes(), expected.bytes()) << "exit wrote the options file";
}

TEST_F(OptionsTest, CancelAfterChangesLeavesTheFileByteIdentical) {
    // A period no dialog writes: shown as it is, above the upper limit.
    OptionsFile stored;
    stored.periodicCheck = 1;
    stored.checkMinutes = 605;
    stored.startupCheck = 1;
    stored.playSound = 0;
    stored.autoOpen = 1;
    std::string bytes = stored.bytes();
    bytes[530] = 'x';  // a byte beyond the path's terminator, kept by nobody but the file
    dir().writeFile(kOptionsFile, bytes);
    RunningProgram& app = start();

    HWND dlg = openOptions(app);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(minutes(dlg), "605");
    EXPECT_TRUE(enabled(dlg, IDC_MINUTES_SPIN));
    EXPECT_EQ(press(dlg, true, 1), std::vector<std::string>{"605"}) << "the up arrow passed 600";
    EXPECT_EQ(press(dlg, false, 2), (std::vector<std::string>{"595", "585"}));
    for (int id : {IDC_STARTUP_CHECK, IDC_PERIODIC_CHECK, IDC_PLAY_SOUND, IDC_AUTO_OPEN}) ASSERT_TRUE(toggle(dlg, id));
    ASSERT_TRUE(closeWith(app, dlg, kCancelButton)) << "Cancel did not close the dialog";
    Sleep(200);
    EXPECT_TRUE(readOptionsBytes() == bytes) << "Cancel changed the options file";

    // Nothing was taken over in memory either.
    dlg = openOptions(app);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(minutes(dlg), "605");
    EXPECT_TRUE(checked(dlg, IDC_STARTUP_CHECK));
    EXPECT_FALSE(checked(dlg, IDC_PLAY_SOUND));
    ASSERT_TRUE(closeWith(app, dlg, kCancelButton));
    ASSERT_TRUE(exitByCommand(app).has_value());
    EXPECT_TRUE(readOptionsBytes() == bytes);
}

}  // namespace
}  // namespace hs::e2e
