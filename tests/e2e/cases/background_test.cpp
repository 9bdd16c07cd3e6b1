// The picture behind the document list, read as screen pixels: the Default
// picture behind the rows, right of the columns and below the last row,
// tiled from row 0 so that it moves with a scroll; a selected row's
// highlight with the picture around it; Empty giving white, also at the
// next start; a custom 24-bit bitmap chosen through the open-file dialog; a
// broken file refused; and the start-up fallback for a custom file that is
// gone (one message, the Default picture, Default in the options file).
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "program_test.h"
#include "screen_pixels.h"
#include "screenshot.h"

namespace hs::e2e {
namespace {

constexpr int kBackgroundEmpty = 32802;
constexpr int kBackgroundDefault = 32803;
constexpr int kBackgroundCustom = 32804;
constexpr const char* kCannotOpen = "Cannot open selected bitmap file.";

// A picture as 0x00RRGGBB pixels, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> colour;
    uint32_t at(int x, int y) const { return colour[static_cast<std::size_t>(y) * width + x]; }
};

// A bitmap resource of the program under test, as the system decodes it.
Pixels programPicture(const char* name) {
    Pixels p;
    HMODULE module = LoadLibraryExA(toWindowsPath(programPath()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return p;
    UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (bitmap && GetObjectA(bitmap.get(), sizeof info, &info)) {
        BITMAPINFOHEADER header{sizeof header, info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        p.colour.resize(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
        WindowDc screen(nullptr);
        if (GetDIBits(screen.get(), bitmap.get(), 0, info.bmHeight, p.colour.data(),
                      reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS)) {
            p.width = info.bmWidth;
            p.height = info.bmHeight;
            for (auto& c : p.colour) c &= 0x00FFFFFFu;
        }
    }
    FreeLibrary(module);
    return p;
}

// A 24-bit bitmap file of `p`.
std::string bitmapFile(const Pixels& p) {
    const int rowBytes = (p.width * 3 + 3) / 4 * 4;
    std::string bits(static_cast<std::size_t>(rowBytes) * p.height, '\0');
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            const std::size_t at = static_cast<std::size_t>(p.height - 1 - y) * rowBytes + 3 * x;
            bits[at] = static_cast<char>(c & 0xFF);
            bits[at + 1] = static_cast<char>((c >> 8) & 0xFF);
            bits[at + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
    }
    auto le = [](uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    return "BM" + le(54 + static_cast<uint32_t>(bits.size()), 4) + le(0, 4) + le(54, 4) + le(40, 4) +
           le(p.width, 4) + le(p.height, 4) + le(1, 2) + le(24, 2) + le(0, 24) + bits;
}

uint32_t rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

bool closeTo(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 4) return false;
    }
    return true;
}

class BackgroundTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        OptionsFile quiet;
        quiet.playSound = 0;
        writeOptions(quiet);
    }

    void writeRows(int count) {
        for (int i = 0; i < count; ++i) {
            writeRecord(makeRecord("Document " + std::to_string(100 + i), LocalFile, "C:\\nowhere.txt", NotChanged));
        }
    }

    // Points of the list's client area away from the rows' texts: the right
    // end of "Last check" and the first pixel row of each row, right of the
    // columns, and below the last row.
    static std::vector<POINT> quietPoints(const RemoteListView& list) {
        std::vector<POINT> points;
        RECT client{};
        GetClientRect(list.window(), &client);
        // Rows under the header or below the client area are not seen.
        RECT header{};
        GetWindowRect(list.header(), &header);
        MapWindowPoints(nullptr, list.window(), reinterpret_cast<POINT*>(&header), 2);
        RECT row{};
        int bottom = 0;
        for (int r = 0; list.rowRect(r, row); ++r) {
            if (row.top < header.bottom || row.bottom > client.bottom) continue;
            for (int x = row.left + 610; x < row.left + 645; x += 7) points.push_back(POINT{x, row.top});
            for (int x = row.right + 3; x < client.right; x += 41) points.push_back(POINT{x, (row.top + row.bottom) / 2});
            bottom = row.bottom;
        }
        for (int y = bottom + 2; y < client.bottom; y += 29) {
            for (int x = 3; x < client.right; x += 53) points.push_back(POINT{x, y});
        }
        return points;
    }

    // How many of `points` do not show `expected` (0x00RRGGBB) on screen;
    // the first few of them described in `first`.
    static int mismatches(HWND list, const std::vector<POINT>& points, const std::function<uint32_t(POINT)>& expected,
                          std::string* first = nullptr) {
        RECT client{};
        GetClientRect(list, &client);
        const std::vector<uint32_t> screen = screenPixels(clientRectOnScreen(list, client));
        if (screen.empty()) return static_cast<int>(points.size());
        int wrong = 0;
        char line[80];
        std::string ignored;
        if (first == nullptr) first = &ignored;
        for (const POINT& p : points) {
            // A point the window no longer covers (it was resized) counts as wrong.
            const bool inside = p.x >= 0 && p.y >= 0 && p.x < client.right && p.y < client.bottom;
            const uint32_t shown = inside ? screen[static_cast<std::size_t>(p.y) * client.right + p.x] : 0xFF000000u;
            if (inside && closeTo(shown, expected(p))) continue;
            if (++wrong <= 5) {
                std::snprintf(line, sizeof line, " (%ld,%ld) %06X not %06X", p.x, p.y, shown, expected(p));
                *first += line;
            }
        }
        return wrong;
    }

    // The picture tiled from the top-left corner of row 0.
    static std::function<uint32_t(POINT)> tiledFromRowZero(const RemoteListView& list, const Pixels& picture) {
        RECT first{};
        list.rowRect(0, first);
        return [first, &picture](POINT p) {
            const int x = ((p.x - first.left) % picture.width + picture.width) % picture.width;
            const int y = ((p.y - first.top) % picture.height + picture.height) % picture.height;
            return picture.at(x, y);
        };
    }

    // Polls until every quiet point shows the expected picture; false and a
    // count in the test's output when it never does.
    bool showsPicture(const RemoteListView& list, const Pixels& picture) {
        int wrong = 0;
        std::string first;
        std::vector<POINT> points;
        const bool ok = pollUntil([&] {
            points = quietPoints(list);
            first.clear();
            wrong = mismatches(list.window(), points, tiledFromRowZero(list, picture), &first);
            return wrong == 0;
        });
        if (!ok) ADD_FAILURE() << wrong << " of " << points.size() << " points do not show the picture:" << first;
        return ok && !points.empty();
    }

    std::string optionsChoiceAndPath() {
        OptionsFile o;
        OptionsFile::parse(readOptionsBytes(), o);
        return std::to_string(o.backgroundChoice) + " " + o.customBitmapPath;
    }

    // "&Custom.." choosing `path` in the open-file dialog.
    bool chooseCustom(RunningProgram& app, const std::string& path) {
        postCommand(app.main, kBackgroundCustom);
        HWND chooser = waitForDialog(app.pid(), "Select File", kShortWait);
        if (!chooser) return false;
        HWND nameBox = GetDlgItem(chooser, 0x47C);
        if (!nameBox) nameBox = GetDlgItem(chooser, 0x480);
        sendBounded(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        clickButton(chooser, IDOK);
        return waitForWindowGone(chooser, kShortWait);
    }

    // The program's message box, closed with OK; "" when none came.
    std::string takeMessage(RunningProgram& app, milliseconds timeout = kShortWait) {
        HWND box = pollFor([&] {
            for (HWND w : findDialogs(app.pid(), kAppTitle)) {
                if (w != app.main) return w;
            }
            return HWND(nullptr);
        }, timeout);
        if (!box) return "";
        const std::string text = messageBoxText(box);
        clickButton(box, IDOK);
        waitForWindowGone(box, kShortWait);
        return text;
    }

    void keepPicture(RunningProgram& app, const std::string& what) {
        Sleep(300);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        saveWindowScreenshot(app.main, screenshotDirectory() + "\\" + test->test_suite_name() + "." + test->name() +
                                           "-" + what + ".bmp");
    }
};

TEST_F(BackgroundTest, DefaultPictureBehindTheRowsMovesWithTheScrollAndAroundTheHighlight) {
    const Pixels picture = programPicture("BACKGROUND");
    ASSERT_EQ(picture.width, 1500);
    ASSERT_EQ(picture.height, 1000);
    writeRows(150);
    RunningProgram& app = start();
    bringToForeground(app.main);
    const RemoteListView list = app.rows();
    ASSERT_TRUE(pollUntil([&] { return list.rowCount() == 150; }));
    EXPECT_TRUE(showsPicture(list, picture));

    // Scrolled down and to the right: the picture keeps its place on row 0.
    SetWindowPos(app.main, nullptr, 0, 0, 520, 600, SWP_NOMOVE | SWP_NOZORDER);
    RECT before{};
    list.rowRect(0, before);
    const std::vector<POINT> points = quietPoints(list);
    const auto unscrolled = tiledFromRowZero(list, picture);
    ASSERT_TRUE(sendBounded(list.window(), LVM_SCROLL, 150, 40 * (before.bottom - before.top)));
    RECT after{};
    ASSERT_TRUE(list.rowRect(0, after));
    EXPECT_LT(after.left, before.left);
    EXPECT_LT(after.top, before.top);
    EXPECT_TRUE(showsPicture(list, picture));
    // Left where it was, the picture would not match most points.
    EXPECT_GT(mismatches(list.window(), quietPoints(list), unscrolled), static_cast<int>(points.size()) / 4);

    // A selected row: highlighted from the label on; the image's place and
    // the space right of the columns keep the picture.
    SendMessageA(list.window(), LVM_SCROLL, -1000, -1000000);
    SetWindowPos(app.main, nullptr, 0, 0, 900, 600, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(list.setSelected(2, true));
    RECT row{};
    ASSERT_TRUE(list.rowRect(2, row));
    const uint32_t highlight = rgb(GetSysColor(COLOR_HIGHLIGHT));
    const auto expected = tiledFromRowZero(list, picture);
    const std::vector<POINT> around{{row.left, row.top + 1}, {row.right + 5, row.top + 1}};
    std::string wrong;
    EXPECT_TRUE(pollUntil([&] {
        wrong.clear();
        return mismatches(list.window(), {{row.left + 300, row.top + 1}, {row.right - 2, row.top}},
                          [&](POINT) { return highlight; }, &wrong) +
                   mismatches(list.window(), around, expected, &wrong) ==
               0;
    })) << "the selected row is not highlighted from its label with the picture around it:" << wrong;
    list.setSelected(4, true);
    keepPicture(app, "default");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(BackgroundTest, EmptyIsWhiteAndStaysAfterTheNextStart) {
    const Pixels defaults = programPicture("BACKGROUND");
    const Pixels white{1, 1, {0xFFFFFFu}};
    writeRows(5);
    RunningProgram& app = start();
    bringToForeground(app.main);
    ASSERT_TRUE(showsPicture(app.rows(), defaults));
    postCommand(app.main, kBackgroundEmpty);
    EXPECT_TRUE(showsPicture(app.rows(), white));
    EXPECT_TRUE(pollUntil([&] { return optionsChoiceAndPath() == "1 "; }, kShortWait)) << optionsChoiceAndPath();
    app.rows().setSelected(1, true);
    keepPicture(app, "empty");
    ASSERT_TRUE(exitByCommand(app).has_value());

    RunningProgram& again = start();
    bringToForeground(again.main);
    EXPECT_TRUE(showsPicture(again.rows(), white));
    postCommand(again.main, kBackgroundDefault);
    EXPECT_TRUE(showsPicture(again.rows(), defaults));
    EXPECT_TRUE(pollUntil([&] { return optionsChoiceAndPath() == "0 "; }, kShortWait)) << optionsChoiceAndPath();
    EXPECT_TRUE(exitByCommand(again).has_value());
}

TEST_F(BackgroundTest, CustomBitmapShowsItsColoursAndABrokenOneIsRefused) {
    // 7 x 5 pixels of two colours: the tiling shows at every offset.
    Pixels custom{7, 5, std::vector<uint32_t>(35, 0x28A05Au)};
    for (int i = 0; i < 35; i += 3) custom.colour[i] = 0xC83C1Eu;
    dir().writeFile("pictures\\mine.bmp", bitmapFile(custom));
    dir().writeFile("pictures\\broken.bmp", bitmapFile(custom).substr(0, 90));
    writeRows(4);
    RunningProgram& app = start();
    bringToForeground(app.main);
    const RemoteListView list = app.rows();

    // A file cut short: the message, the list plain, the options as before.
    ASSERT_TRUE(chooseCustom(app, dir().file("pictures\\broken.bmp")));
    EXPECT_EQ(takeMessage(app), kCannotOpen);
    EXPECT_TRUE(showsPicture(list, Pixels{1, 1, {rgb(GetSysColor(COLOR_WINDOW))}}));
    EXPECT_EQ(optionsChoiceAndPath(), "0 ");

    const std::string path = dir().file("pictures\\mine.bmp");
    ASSERT_TRUE(chooseCustom(app, path));
    EXPECT_TRUE(showsPicture(list, custom));
    EXPECT_EQ(optionsChoiceAndPath(), "2 " + path);
    list.setSelected(0, true);
    list.setSelected(2, true);
    keepPicture(app, "custom");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(BackgroundTest, ACustomFileGoneSinceTheLastRunFallsBackToDefaultOnce) {
    const Pixels defaults = programPicture("BACKGROUND");
    OptionsFile stored;
    stored.playSound = 0;
    stored.backgroundChoice = 2;
    stored.customBitmapPath = dir().file("gone.bmp");
    writeOptions(stored);
    writeRows(3);
    RunningProgram& app = launch();
    EXPECT_EQ(takeMessage(app, kWait), kCannotOpen);
    ASSERT_TRUE(waitForMainWindow(app));
    bringToForeground(app.main);
    EXPECT_TRUE(showsPicture(app.rows(), defaults));
    EXPECT_EQ(takeMessage(app, milliseconds(500)), "") << "the message came twice";
    EXPECT_EQ(optionsChoiceAndPath(), "0 " + stored.customBitmapPath);
    EXPECT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
