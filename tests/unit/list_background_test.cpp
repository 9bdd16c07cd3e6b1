// The background picture's rules: where its tiles go behind a row (anchored
// at row 0, so it scrolls with the rows), and the View menu's choices and
// the start-up with what they keep in the options file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/background_choice.h"
#include "app/options.h"
#include "listview/background_tiles.h"
#include "unit/test_support.h"

namespace hs {
namespace {

// ---------------------------------------------------------------- tiles

TEST(BackgroundTilesTest, TilesStartAtRowZeroAndAreCutToTheArea) {
    // Row 0 at the top of a list scrolled by 1000 pixels and 30 to the
    // right; a 100 x 50 picture; the strip of a row at y 40..60.
    const std::vector<TileCopy> copies = tilesCovering(-30, -980, 100, 50, PixelRect{0, 40, 250, 60});
    ASSERT_EQ(copies.size(), 3u);
    // 1020 pixels below the anchor: the 21st tile, 20 pixels into it.
    EXPECT_EQ(copies[0].y, 40);
    EXPECT_EQ(copies[0].sourceY, 20);
    EXPECT_EQ(copies[0].height, 20);
    EXPECT_EQ(copies[0].x, 0);
    EXPECT_EQ(copies[0].sourceX, 30);
    EXPECT_EQ(copies[0].width, 70);
    EXPECT_EQ(copies[1].x, 70);
    EXPECT_EQ(copies[1].sourceX, 0);
    EXPECT_EQ(copies[1].width, 100);
    EXPECT_EQ(copies[2].x, 170);
    EXPECT_EQ(copies[2].width, 80);

    // Scrolling down by one row moves the picture up by one row's height.
    const std::vector<TileCopy> scrolled = tilesCovering(-30, -1000, 100, 50, PixelRect{0, 40, 250, 60});
    EXPECT_EQ(scrolled[0].sourceY, 40);
    EXPECT_EQ(scrolled[0].height, 10);
    EXPECT_EQ(scrolled[3].y, 50);  // the next tile begins within the strip
    EXPECT_EQ(scrolled[3].sourceY, 0);
}

TEST(BackgroundTilesTest, NothingLeftOfOrAboveTheAnchorAndNothingForEmptyTiles) {
    for (const TileCopy& c : tilesCovering(10, 100, 7, 9, PixelRect{0, 0, 50, 120})) {
        EXPECT_GE(c.x, 10);
        EXPECT_GE(c.y, 100);
        EXPECT_LE(c.x + c.width, 50);
        EXPECT_LE(c.y + c.height, 120);
    }
    EXPECT_TRUE(tilesCovering(0, 0, 0, 10, PixelRect{0, 0, 50, 50}).empty());
    EXPECT_TRUE(tilesCovering(0, 0, 10, 10, PixelRect{5, 5, 5, 50}).empty());
}

TEST(BackgroundTilesTest, TheLastRowsStripReachesTheBottom) {
    const PixelRect row{-4, 40, 600, 58};
    const PixelRect client{0, 0, 800, 500};
    const PixelRect strip = rowStrip(row, client, false);
    EXPECT_EQ(strip.left, -4);
    EXPECT_EQ(strip.right, 800);
    EXPECT_EQ(strip.bottom, 58);
    EXPECT_EQ(rowStrip(row, client, true).bottom, 500);

    EXPECT_EQ(tileRepeat(48, 128), 3);
    EXPECT_EQ(tileRepeat(1, 128), 128);
    EXPECT_EQ(tileRepeat(1500, 128), 1);
}

// ---------------------------------------------------------------- choices

class FakePictures : public BackgroundPictures {
public:
    bool setBackgroundFromResource(const char* name) override {
        calls.push_back(std::string("resource ") + name);
        return resourceLoads;
    }
    bool loadBitmapFile(const std::string& path) override {
        calls.push_back("load " + path);
        return fileLoads;
    }
    bool setBackgroundFromBitmap() override {
        calls.push_back("set file");
        return fileSets;
    }
    void clearBackground() override { calls.push_back("clear"); }

    bool resourceLoads = true;
    bool fileLoads = true;
    bool fileSets = true;
    std::vector<std::string> calls;
};

class FakeHost : public CommandHost {
public:
    void showInformation(const std::string& text) override { shown.push_back("info: " + text); }
    void showWarning(const std::string& text) override { shown.push_back("warning: " + text); }
    bool askYesNo(const std::string& text) override {
        shown.push_back("ask: " + text);
        return false;
    }
    void showError(const std::string& text) override { shown.push_back("stop: " + text); }
    std::vector<std::string> shown;
};

class BackgroundChoiceTest : public test::WorkingDirTest {
protected:
    void store(int32_t choice, const std::string& path) {
        AppOptions o = defaultOptions();
        o.backgroundChoice = choice;
        std::copy(path.begin(), path.end(), o.customBitmapPath);
        test::writeBytes(kOptionsFileName, std::string(reinterpret_cast<const char*>(&o), sizeof o));
        options_.readOptions();
    }
    // What the options file holds now.
    AppOptions onDisk() {
        ProgramOptions reread;
        reread.readOptions();
        return reread.current();
    }

    ProgramOptions options_;
    FakePictures pictures_;
    FakeHost host_;
};

TEST_F(BackgroundChoiceTest, StartupAppliesTheStoredChoiceQuietly) {
    store(BackgroundDefault, "");
    applyStartupBackground(options_, pictures_, host_);
    store(BackgroundEmpty, "");
    applyStartupBackground(options_, pictures_, host_);
    store(BackgroundCustom, "pics\\mine.bmp");
    applyStartupBackground(options_, pictures_, host_);
    store(7, "");
    applyStartupBackground(options_, pictures_, host_);
    EXPECT_EQ(pictures_.calls, (std::vector<std::string>{"resource BACKGROUND", "resource EMPTY_BACKGROUND",
                                                         "load pics\\mine.bmp", "set file", "clear"}));
    EXPECT_TRUE(host_.shown.empty());
    EXPECT_EQ(onDisk().backgroundChoice, 7);
}

TEST_F(BackgroundChoiceTest, StartupFallsBackToDefaultOnceWhenTheCustomFileCannotBeRead) {
    store(BackgroundCustom, "gone.bmp");
    pictures_.fileLoads = false;
    applyStartupBackground(options_, pictures_, host_);
    EXPECT_EQ(host_.shown, (std::vector<std::string>{"stop: Cannot open selected bitmap file."}));
    EXPECT_EQ(pictures_.calls, (std::vector<std::string>{"load gone.bmp", "resource BACKGROUND"}));
    // Default stored; the old path stays in the file.
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundDefault);
    EXPECT_STREQ(onDisk().customBitmapPath, "gone.bmp");

    // Read, but not usable as a picture: the same.
    store(BackgroundCustom, "odd.bmp");
    pictures_.fileLoads = true;
    pictures_.fileSets = false;
    host_.shown.clear();
    applyStartupBackground(options_, pictures_, host_);
    EXPECT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundDefault);
}

TEST_F(BackgroundChoiceTest, DefaultAndEmptyAreStoredEvenWhenThePictureFails) {
    store(BackgroundCustom, "mine.bmp");
    pictures_.resourceLoads = false;
    chooseEmptyBackground(options_, pictures_);
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundEmpty);
    EXPECT_STREQ(onDisk().customBitmapPath, "mine.bmp");
    chooseDefaultBackground(options_, pictures_);
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundDefault);
    EXPECT_EQ(pictures_.calls, (std::vector<std::string>{"resource EMPTY_BACKGROUND", "resource BACKGROUND"}));
}

TEST_F(BackgroundChoiceTest, CustomIsStoredOnlyWhenItsFileBecameThePicture) {
    store(BackgroundEmpty, "old.bmp");
    pictures_.fileLoads = false;
    chooseCustomBackground(options_, pictures_, host_, "broken.bmp");
    EXPECT_EQ(host_.shown, (std::vector<std::string>{"stop: Cannot open selected bitmap file."}));
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundEmpty);
    EXPECT_STREQ(onDisk().customBitmapPath, "old.bmp");

    pictures_.fileLoads = true;
    chooseCustomBackground(options_, pictures_, host_, "C:\\pics\\fine.bmp");
    EXPECT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundCustom);
    EXPECT_STREQ(onDisk().customBitmapPath, "C:\\pics\\fine.bmp");
}

TEST_F(BackgroundChoiceTest, APathTooLongToKeepIsRefusedBeforeAnythingChanges) {
    store(BackgroundDefault, "old.bmp");
    const std::string tooLong = "C:\\" + std::string(505, 'p') + ".bmp";  // 512 characters
    chooseCustomBackground(options_, pictures_, host_, tooLong);
    ASSERT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(host_.shown[0], std::string("info: ") + kBitmapPathTooLongText);
    EXPECT_TRUE(pictures_.calls.empty());
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundDefault);
    EXPECT_STREQ(onDisk().customBitmapPath, "old.bmp");

    const std::string longest = tooLong.substr(1);  // 511 characters fit whole
    chooseCustomBackground(options_, pictures_, host_, longest);
    EXPECT_EQ(onDisk().backgroundChoice, BackgroundCustom);
    EXPECT_EQ(std::string(onDisk().customBitmapPath), longest);
}

}  // namespace
}  // namespace hs
