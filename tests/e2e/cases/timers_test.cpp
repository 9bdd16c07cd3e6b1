// What the program does by itself: the start-up check, the periodic check,
// and the blinking tray icon after a change found while the window is
// hidden.
#include <chrono>
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "program_test.h"
#include "screen_pixels.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStatusColumn = 2;
constexpr int kLastCheckColumn = 3;

const std::regex kLastCheckForm(R"(\d{4}/\d{2}/\d{2} \[\d{2}:\d{2}:\d{2}\])");

long long msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

class TimersTest : public ProgramTest {
protected:
    void prepareDocument(const std::string& name, int32_t status, const std::string& source,
                         const std::string& kept) {
        if (!source.empty()) dir().writeFile(name + ".txt", source);
        if (!kept.empty()) dir().writeFile("data\\" + name + ".content", kept);
        writeRecord(makeRecord(name, LocalFile, name + ".txt", status));
    }

    static bool stamped(const RemoteListView& list, const std::string& name) {
        return std::regex_match(cellOf(list, name, kLastCheckColumn), kLastCheckForm);
    }

    // What the tray shows of the program's icon now.
    static std::vector<uint32_t> iconPixels(const TrayIcon& icon) {
        TrayIcon now;
        if (!findSameTrayIcon(icon, now)) return {};
        return screenPixels(clientRectOnScreen(now.window, now.rect));
    }

    struct Watch {
        int samples = 0;
        int differentFromPlain = 0;  // samples unlike the plain icon
        int changes = 0;             // samples unlike the one before
    };
    // Samples the icon every 50 ms for `span`.
    static Watch watchIcon(const TrayIcon& icon, const std::vector<uint32_t>& plain, milliseconds span) {
        Watch w;
        std::vector<uint32_t> last = iconPixels(icon);
        const auto end = Clock::now() + span;
        while (Clock::now() < end) {
            Sleep(50);
            const auto now = iconPixels(icon);
            ++w.samples;
            if (now != plain) ++w.differentFromPlain;
            if (now != last) ++w.changes;
            last = now;
        }
        return w;
    }
};

TEST_F(TimersTest, StartupCheckMarksEveryDocumentButTheChangedOnes) {
    OptionsFile options;
    options.startupCheck = 1;
    options.playSound = 0;
    writeOptions(options);
    prepareDocument("Changed doc", Changed, "new text", "old text");
    prepareDocument("Kept doc", NotChanged, "same", "same");
    prepareDocument("Failed doc", UnableToRetrieve, "back again", "");
    prepareDocument("Saved doc", Saved, "same", "same");

    {
        RunningProgram& app = start();
        const RemoteListView list = app.rows();
        ASSERT_EQ(list.rowCount(), 4);
        EXPECT_TRUE(pollUntil(
            [&] { return stamped(list, "Kept doc") && stamped(list, "Failed doc") && stamped(list, "Saved doc"); }))
            << "the start-up check did not retrieve every document that is not Changed";
        EXPECT_EQ(cellOf(list, "Kept doc", kStatusColumn), "Not changed");
        EXPECT_EQ(cellOf(list, "Failed doc", kStatusColumn), "Saved");
        EXPECT_EQ(cellOf(list, "Saved doc", kStatusColumn), "Not changed");
        Sleep(300);  // one pass of the worker covers every slot
        EXPECT_EQ(cellOf(list, "Changed doc", kStatusColumn), "Changed");
        EXPECT_EQ(cellOf(list, "Changed doc", kLastCheckColumn), "?");
        std::string kept;
        dir().readFile("data\\Changed doc.content", kept);
        EXPECT_EQ(kept, "old text");
        ASSERT_TRUE(exitByCommand(app).has_value());
    }

    // Without the option nothing is checked at start.
    const std::string stampBefore = textAt(readRecordFile("Kept doc"), offsets::lastCheck);
    ASSERT_FALSE(stampBefore.empty());
    options.startupCheck = 0;
    writeOptions(options);
    Sleep(1100);  // a new check would get another stamp
    RunningProgram& again = start();
    const RemoteListView list = again.rows();
    ASSERT_EQ(list.rowCount(), 4);
    Sleep(700);
    EXPECT_EQ(cellOf(list, "Kept doc", kLastCheckColumn), stampBefore) << "checked at start without the option";
    ASSERT_TRUE(exitByCommand(again).has_value());
}

// The one slow case: a periodic check of one minute, waited for.
TEST_F(TimersTest, PeriodicCheckRunsByItselfAfterItsMinutes) {
    OptionsFile options;
    options.periodicCheck = 1;
    options.checkMinutes = 1;
    options.playSound = 0;
    writeOptions(options);
    prepareDocument("Plain doc", NotChanged, "same", "same");
    prepareDocument("Changed doc", Changed, "new", "old");

    const auto started = Clock::now();
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 2);
    Sleep(2000);
    EXPECT_EQ(cellOf(list, "Plain doc", kLastCheckColumn), "?") << "checked at start although only periodic is on";

    const bool ran = pollUntil([&] { return stamped(list, "Plain doc"); }, milliseconds(80000), milliseconds(250));
    const long long after = msSince(started);
    ASSERT_TRUE(ran) << "no periodic check within " << after << " ms";
    std::printf("periodic check seen %lld ms after the start\n", after);
    EXPECT_GE(after, 55000) << "the periodic check came before its minute";
    EXPECT_EQ(cellOf(list, "Plain doc", kStatusColumn), "Not changed");
    EXPECT_EQ(cellOf(list, "Changed doc", kLastCheckColumn), "?") << "the periodic check retrieved a Changed document";
    EXPECT_EQ(cellOf(list, "Changed doc", kStatusColumn), "Changed");
    ASSERT_TRUE(exitByCommand(app).has_value());
}

TEST_F(TimersTest, TrayIconBlinksAfterAChangeFoundWhileHiddenUntilTheWindowIsBack) {
    OptionsFile options;
    options.playSound = 0;
    writeOptions(options);
    prepareDocument("Seen", NotChanged, "changed while shown", "old");
    prepareDocument("Hidden", NotChanged, "same", "same");
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 2);
    TrayIcon icon;
    ASSERT_TRUE(waitForTrayIcon(app, icon)) << "no tray icon";
    Sleep(300);  // let the tray paint the new icon
    const std::vector<uint32_t> plain = iconPixels(icon);
    ASSERT_FALSE(plain.empty()) << "cannot read the tray icon's pixels";

    // A change found while the window is shown: no blink, not even after
    // the window is hidden.
    ASSERT_TRUE(selectOnly(list, {"Seen"}));
    postKey(app.list, VK_F5);
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Seen", kStatusColumn) == "Changed"; }))
        << cellOf(list, "Seen", kStatusColumn);
    postSysCommand(app.main, SC_MINIMIZE);
    ASSERT_TRUE(pollUntil([&] { return !IsWindowVisible(app.main); }, kShortWait));
    Watch quiet = watchIcon(icon, plain, milliseconds(1500));
    EXPECT_EQ(quiet.differentFromPlain, 0) << "the icon blinks for a change found while the window was shown";

    // A change found while hidden: the icon alternates every 500 ms.
    dir().writeFile("Hidden.txt", "different now");
    postCommand(app.main, ID_DOC_CHECK_ALL);
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Hidden", kStatusColumn) == "Changed"; }))
        << cellOf(list, "Hidden", kStatusColumn);
    Watch blink = watchIcon(icon, plain, milliseconds(2600));
    std::printf("blinking: %d samples, %d unlike the plain icon, %d changes\n", blink.samples,
                blink.differentFromPlain, blink.changes);
    EXPECT_GE(blink.changes, 4) << "the icon did not alternate (" << blink.samples << " samples)";
    EXPECT_GT(blink.differentFromPlain, 0) << "the blink image never showed";
    EXPECT_LT(blink.differentFromPlain, blink.samples) << "the plain image never showed while blinking";

    // Setting the documents back to "Not changed" does not stop it (the
    // command itself: keys do not reach a hidden window).
    postCommand(app.main, ID_DOC_SET_ALL_NOTCHANGED);
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Hidden", kStatusColumn) == "Not changed"; }, kShortWait));
    Watch still = watchIcon(icon, plain, milliseconds(1200));
    EXPECT_GE(still.changes, 2) << "setting the documents to \"Not changed\" stopped the blink";

    // Back from the tray: within one blink period the plain icon is there
    // to stay.
    ASSERT_TRUE(findSameTrayIcon(icon, icon));
    doubleClickTrayIcon(icon);
    ASSERT_TRUE(pollUntil([&] { return IsWindowVisible(app.main) && !IsIconic(app.main); }, kShortWait))
        << "the double-click did not bring the window back";
    const auto shown = Clock::now();
    const bool plainAgain = pollUntil([&] { return iconPixels(icon) == plain; }, milliseconds(1500), milliseconds(10));
    const long long stoppedAfter = msSince(shown);
    ASSERT_TRUE(plainAgain) << "the plain icon did not come back";
    std::printf("blink stopped %lld ms after the window was shown\n", stoppedAfter);
    // One blink period, and a little for the tray's repaint and the polling.
    EXPECT_LE(stoppedAfter, 700) << "the blink went on after the window was shown";
    Watch after = watchIcon(icon, plain, milliseconds(1500));
    EXPECT_EQ(after.differentFromPlain, 0) << "the icon still blinks with the window shown";

    ASSERT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
