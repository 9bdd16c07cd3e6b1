// The background picture's rules: where its tiles go behind a row (from row
// 0's corner, so it scrolls with the rows), and the View menu's choices and
// the start-up with what they keep in the options file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/background_choice.h"
#include "listview/background_tiles.h"
#include "unit/test_support.h"

namespace hs {
namespace {

std::string copies(const std::vector<TileCopy>& all) {
    std::string s;
    for (const TileCopy& c : all) {
        s += std::to_string(c.x) + "," + std::to_string(c.y) + " from " + std::to_string(c.sourceX) + "," +
             std::to_string(c.sourceY) + " " + std::to_string(c.width) + "x" + std::to_string(c.height) + "; ";
    }
    return s;
}

TEST(BackgroundTilesTest, TilesStartAtRowZeroAndAreCutToTheStrip) {
    // Row 0 1000 pixels up and 30 left (scrolled); a 100 x 50 picture; the
    // strip of a row at y 40..60: 1020 pixels below row 0, the 21st tile.
    EXPECT_EQ(copies(tilesCovering(-30, -980, 100, 50, PixelRect{0, 40, 250, 60})),
              "0,40 from 30,20 70x20; 70,40 from 0,20 100x20; 170,40 from 0,20 80x20; ");
    // Scrolled 20 pixels further, the picture moves up by 20 pixels.
    EXPECT_EQ(copies(tilesCovering(-30, -1000, 100, 50, PixelRect{0, 40, 70, 60})),
              "0,40 from 30,40 70x10; 0,50 from 30,0 70x10; ");
    // Nothing left of or above row 0, nothing for an empty tile or strip.
    EXPECT_EQ(copies(tilesCovering(10, 100, 40, 40, PixelRect{0, 0, 50, 120})), "10,100 from 0,0 40x20; ");
    EXPECT_TRUE(tilesCovering(0, 0, 0, 10, PixelRect{0, 0, 50, 50}).empty());
    EXPECT_TRUE(tilesCovering(0, 0, 10, 10, PixelRect{5, 5, 5, 50}).empty());

    // The last row's strip reaches the bottom of the list.
    const PixelRect row{-4, 40, 600, 58}, client{0, 0, 800, 500};
    EXPECT_EQ(rowStrip(row, client, false).bottom, 58);
    EXPECT_EQ(rowStrip(row, client, true).bottom, 500);

    // Painting that reaches a row is covered by the rows' strips; painting
    // right of the columns or below the last row alone is not.
    const PixelRect first{0, 17, 650, 34}, last{0, 85, 650, 102};
    EXPECT_TRUE(rowsCoverPainting(PixelRect{0, 40, 900, 500}, first, last));
    EXPECT_FALSE(rowsCoverPainting(PixelRect{700, 0, 900, 500}, first, last));
    EXPECT_FALSE(rowsCoverPainting(PixelRect{0, 102, 900, 500}, first, last));
}

// Records what the choices do, as one text; no picture can be loaded.
class Recorder : public BackgroundPictures, public CommandHost {
public:
    bool setBackgroundFromResource(const char* name) override { return log(std::string("resource ") + name); }
    bool loadBitmapFile(const std::string& path) override { return log("load " + path); }
    bool setBackgroundFromBitmap() override { return log("set file"); }
    void clearBackground() override { log("clear"); }
    void showInformation(const std::string& text) override { log("info: " + text); }
    void showWarning(const std::string& text) override { log("warning: " + text); }
    bool askYesNo(const std::string& text) override { return log("ask: " + text); }
    void showError(const std::string& text) override { log("stop: " + text); }
    bool log(const std::string& what) {
        calls += what + "; ";
        return false;
    }
    std::string calls;
};

class BackgroundChoiceTest : public test::WorkingDirTest {
protected:
    void store(int32_t choice, const std::string& path) {
        AppOptions o = defaultOptions();
        o.backgroundChoice = choice;
        std::copy(path.begin(), path.end(), o.customBitmapPath);
        options_.set(o);
        options_.writeOptions();
    }
    // The choice and path in the options file now.
    std::string onDisk() {
        ProgramOptions reread;
        reread.readOptions();
        return std::to_string(reread.backgroundChoice()) + " " + reread.customBitmapPath();
    }
    ProgramOptions options_;
    Recorder r_;
};

// The fallback from a custom file and the custom choice are run by the
// end-to-end cases; these are the rules they do not reach.
TEST_F(BackgroundChoiceTest, UnknownChoicesNoPictureBuiltInChoicesStoredAlwaysTooLongPathsRefused) {
    store(7, "mine.bmp");
    applyStartupBackground(options_, r_, r_);
    EXPECT_EQ(r_.calls, "clear; ");
    chooseEmptyBackground(options_, r_);
    EXPECT_EQ(onDisk(), "1 mine.bmp");
    chooseDefaultBackground(options_, r_);
    EXPECT_EQ(onDisk(), "0 mine.bmp");

    // Longer than the 511 characters the file keeps: refused before
    // anything is loaded or stored.
    r_.calls.clear();
    chooseCustomBackground(options_, r_, r_, "C:\\" + std::string(505, 'p') + ".bmp");
    EXPECT_EQ(r_.calls, std::string("info: ") + kBitmapPathTooLongText + "; ");
    EXPECT_EQ(onDisk(), "0 mine.bmp");
}

}  // namespace
}  // namespace hs
