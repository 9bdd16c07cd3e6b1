// The picture behind the document list, read as screen pixels at points
// away from the texts and compared with the picture tiled from row 0's
// corner: the Default picture behind the rows, right of the columns and
// below the last row, also after a scroll; a selected row's highlight with
// the picture around it; Empty white, also at the next start; a custom
// bitmap chosen in the open-file dialog and a broken one refused; the
// start-up fallback for a custom file that is gone; no picture without rows.
// Each case keeps pictures of the window with rows selected.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "program_test.h"
#include "screen_pixels.h"
#include "screenshot.h"
#include "tests/unit/bitmap_samples.h"

namespace hs::e2e {
namespace {

using test::Picture;
constexpr const char* kCannotOpen = "Cannot open selected bitmap file.";

// A bitmap resource of the program under test as the system decodes it.
Picture programPicture(const char* name) {
    Picture p;
    HMODULE module = LoadLibraryExA(toWindowsPath(programPath()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (bitmap && GetObjectA(bitmap.get(), sizeof info, &info)) {
        BITMAPINFOHEADER header{sizeof header, info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint32_t> all(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
        WindowDc screen(nullptr);
        GetDIBits(screen.get(), bitmap.get(), 0, info.bmHeight, all.data(), reinterpret_cast<BITMAPINFO*>(&header),
                  DIB_RGB_COLORS);
        for (int y = 0; y < info.bmHeight; ++y) p.emplace_back(&all[y * info.bmWidth], &all[(y + 1) * info.bmWidth]);
    }
    if (module) FreeLibrary(module);
    return p;
}

uint32_t rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

class BackgroundTest : public QuietProgramTest {
protected:
    void writeRows(int count) {
        for (int i = 0; i < count; ++i) {
            writeRecord(makeRecord("Document " + std::to_string(100 + i), LocalFile, "C:\\nowhere.txt", NotChanged));
        }
    }

    // Points away from the texts: the right end of "Last check" on each
    // row's first pixel row, right of the columns, and below the last row.
    static std::vector<POINT> quietPoints(const RemoteListView& list) {
        std::vector<POINT> points;
        RECT client{}, header{}, row{};
        GetClientRect(list.window(), &client);
        GetWindowRect(list.header(), &header);
        MapWindowPoints(nullptr, list.window(), reinterpret_cast<POINT*>(&header), 2);
        int bottom = header.bottom;
        for (int r = 0; list.rowRect(r, row); ++r) {
            if (row.top < header.bottom || row.bottom > client.bottom) continue;  // not seen
            for (int x = row.left + 610; x < row.left + 645; x += 7) points.push_back({x, row.top});
            for (int x = row.right + 3; x < client.right; x += 41) points.push_back({x, row.top + 5});
            bottom = row.bottom;
        }
        for (int y = bottom + 2; y < client.bottom; y += 29) {
            for (int x = 3; x < client.right; x += 53) points.push_back({x, y});
        }
        return points;
    }

    // How many `points` do not show `expected` (0xRRGGBB, within 4 per
    // channel); the first few are described in `wrong`.
    static int mismatches(HWND list, const std::vector<POINT>& points, const std::function<uint32_t(POINT)>& expected,
                          std::string& wrong) {
        RECT client{};
        GetClientRect(list, &client);
        const std::vector<uint32_t> screen = screenPixels(clientRectOnScreen(list, client));
        int count = 0;
        for (const POINT& p : points) {
            const bool inside = p.x >= 0 && p.y >= 0 && p.x < client.right && p.y < client.bottom && !screen.empty();
            const uint32_t shown = inside ? screen[static_cast<std::size_t>(p.y) * client.right + p.x] : 0xFF000000u;
            const uint32_t want = expected(p);
            bool same = inside;
            for (int shift = 0; shift < 24; shift += 8) {
                same = same && std::abs(int((shown >> shift) & 0xFF) - int((want >> shift) & 0xFF)) <= 4;
            }
            if (same || ++count > 5) continue;
            char line[64];
            std::snprintf(line, sizeof line, " (%ld,%ld) %06X not %06X", p.x, p.y, shown, want);
            wrong += line;
        }
        return count;
    }

    static std::function<uint32_t(POINT)> tiledFromRowZero(const RemoteListView& list, const Picture& picture) {
        RECT first{};
        list.rowRect(0, first);
        const int w = static_cast<int>(picture[0].size()), h = static_cast<int>(picture.size());
        return [=, &picture](POINT p) {
            return picture[((p.y - first.top) % h + h) % h][((p.x - first.left) % w + w) % w];
        };
    }

    // Polls until every quiet point shows `picture` tiled from row 0.
    ::testing::AssertionResult showsPicture(const RemoteListView& list, const Picture& picture) {
        std::string wrong;
        int count = 0;
        const bool shown = pollUntil([&] {
            wrong.clear();
            count = mismatches(list.window(), quietPoints(list), tiledFromRowZero(list, picture), wrong);
            return count == 0;
        });
        if (shown) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << count << " points do not show the picture:" << wrong;
    }

    std::string choiceAndPath() {
        OptionsFile o;
        OptionsFile::parse(readOptionsBytes(), o);
        return std::to_string(o.backgroundChoice) + " " + o.customBitmapPath;
    }

    // "&Custom.." choosing `path` in the open-file dialog.
    bool chooseCustom(RunningProgram& app, const std::string& path) {
        postCommand(app.main, 32804);
        HWND chooser = waitForDialog(app.pid(), "Select File", kShortWait);
        HWND nameBox = chooser ? GetDlgItem(chooser, 0x47C) : nullptr;
        if (!nameBox && chooser) nameBox = GetDlgItem(chooser, 0x480);
        return nameBox && sendBounded(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())) &&
               clickButton(chooser, IDOK) && waitForWindowGone(chooser, kShortWait);
    }

    // The program's message box closed with `button`; "" when none came.
    std::string answer(RunningProgram& app, int button = IDOK, milliseconds timeout = kShortWait) {
        HWND box = pollFor([&] {
            for (HWND w : findDialogs(app.pid(), kAppTitle)) {
                if (w != app.main) return w;
            }
            return HWND(nullptr);
        }, timeout);
        if (!box) return "";
        const std::string text = messageBoxText(box);
        clickButton(box, button);
        waitForWindowGone(box, kShortWait);
        return text;
    }

    void keepPicture(RunningProgram& app, const std::string& what) {
        Sleep(300);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        saveWindowScreenshot(app.main, screenshotDirectory() + "\\" + test->test_suite_name() + "." + test->name() +
                                           "-" + what + ".bmp");
    }

    const Picture defaults_ = programPicture("BACKGROUND");
};

TEST_F(BackgroundTest, DefaultPictureBehindTheRowsMovesWithTheScrollAndAroundTheHighlight) {
    ASSERT_EQ(defaults_.size(), 1000u);
    ASSERT_EQ(defaults_[0].size(), 1500u);
    writeRows(150);
    RunningProgram& app = start();
    bringToForeground(app.main);
    const RemoteListView list = app.rows();
    ASSERT_TRUE(pollUntil([&] { return list.rowCount() == 150; }));
    EXPECT_TRUE(showsPicture(list, defaults_));

    // Scrolled down and to the right, the picture stays on row 0: left where
    // it was it would not match most points.
    SetWindowPos(app.main, nullptr, 0, 0, 520, 600, SWP_NOMOVE | SWP_NOZORDER);
    const auto unscrolled = tiledFromRowZero(list, defaults_);
    ASSERT_TRUE(sendBounded(list.window(), LVM_SCROLL, 150, 700));
    EXPECT_TRUE(showsPicture(list, defaults_));
    std::string ignored;
    const std::vector<POINT> points = quietPoints(list);
    EXPECT_GT(mismatches(list.window(), points, unscrolled, ignored), static_cast<int>(points.size()) / 4);

    // A selected row: highlighted from the label on, with the picture in
    // the image's place and right of the columns.
    sendBounded(list.window(), LVM_SCROLL, static_cast<WPARAM>(-1000), -100000);
    SetWindowPos(app.main, nullptr, 0, 0, 900, 600, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(list.setSelected(2, true));
    RECT row{};
    ASSERT_TRUE(list.rowRect(2, row));
    const uint32_t highlight = rgb(GetSysColor(COLOR_HIGHLIGHT));
    const auto picture = tiledFromRowZero(list, defaults_);
    std::string wrong;
    EXPECT_TRUE(pollUntil([&] {
        wrong.clear();
        return mismatches(list.window(), {{row.left + 300, row.top + 1}, {row.right - 2, row.top}},
                          [&](POINT) { return highlight; }, wrong) +
                   mismatches(list.window(), {{row.left, row.top + 1}, {row.right + 5, row.top + 1}}, picture, wrong) ==
               0;
    })) << wrong;
    list.setSelected(4, true);
    keepPicture(app, "default");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(BackgroundTest, EmptyAcrossARestartThenACustomBitmapAndABrokenOne) {
    // 7 x 5 pixels of two colours: the tiling shows at every offset.
    Picture custom(5, std::vector<uint32_t>(7, 0x28A05A));
    for (int i = 0; i < 35; i += 3) custom[i / 7][i % 7] = 0xC83C1E;
    const std::string file = test::bitmapFile(custom, {24});
    dir().writeFile("pictures\\mine.bmp", file);
    dir().writeFile("pictures\\broken.bmp", file.substr(0, 90));
    writeRows(5);
    RunningProgram& first = start();
    bringToForeground(first.main);
    ASSERT_TRUE(showsPicture(first.rows(), defaults_));
    postCommand(first.main, 32802);  // "&Empty"
    EXPECT_TRUE(showsPicture(first.rows(), Picture{{0xFFFFFF}}));
    first.rows().setSelected(1, true);
    keepPicture(first, "empty");
    ASSERT_TRUE(exitByCommand(first).has_value());

    RunningProgram& app = start();
    bringToForeground(app.main);
    EXPECT_TRUE(showsPicture(app.rows(), Picture{{0xFFFFFF}}));
    EXPECT_EQ(choiceAndPath(), "1 ");
    // A file cut short: the message, the list plain, the options as before.
    ASSERT_TRUE(chooseCustom(app, dir().file("pictures\\broken.bmp")));
    EXPECT_EQ(answer(app), kCannotOpen);
    EXPECT_TRUE(showsPicture(app.rows(), Picture{{rgb(GetSysColor(COLOR_WINDOW))}}));
    EXPECT_EQ(choiceAndPath(), "1 ");

    ASSERT_TRUE(chooseCustom(app, dir().file("pictures\\mine.bmp")));
    EXPECT_TRUE(showsPicture(app.rows(), custom));
    EXPECT_EQ(choiceAndPath(), "2 " + dir().file("pictures\\mine.bmp"));
    app.rows().setSelected(0, true);
    app.rows().setSelected(2, true);
    keepPicture(app, "custom");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(BackgroundTest, ACustomFileGoneFallsBackToDefaultOnceAndNoRowsShowNoPicture) {
    OptionsFile stored;
    stored.playSound = 0;
    stored.backgroundChoice = 2;
    stored.customBitmapPath = dir().file("gone.bmp");
    writeOptions(stored);
    writeRows(3);
    RunningProgram& app = launch();
    EXPECT_EQ(answer(app, IDOK, kWait), kCannotOpen);
    ASSERT_TRUE(waitForMainWindow(app));
    bringToForeground(app.main);
    EXPECT_TRUE(showsPicture(app.rows(), defaults_));
    EXPECT_EQ(answer(app, IDOK, milliseconds(500)), "") << "the message came twice";
    EXPECT_EQ(choiceAndPath(), "0 " + stored.customBitmapPath);

    postCommand(app.main, 32780);  // "&Select All"
    postCommand(app.main, 32782);  // "Dele&te"
    EXPECT_FALSE(answer(app, IDYES).empty());
    ASSERT_TRUE(pollUntil([&] { return app.rows().rowCount() == 0; }));
    EXPECT_TRUE(showsPicture(app.rows(), Picture{{rgb(GetSysColor(COLOR_WINDOW))}}));
    EXPECT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
