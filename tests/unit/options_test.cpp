#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "catalogue/options.h"
#include "catalogue/settings.h"
#include "dialogs/options_dialog_model.h"
#include "unit/test_support.h"

namespace hs {
namespace {

using test::fileExists;
using test::readBytes;
using test::writeBytes;

std::string le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

uint32_t le32At(const std::string& bytes, std::size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

bool sameBlock(const AppOptions& a, const AppOptions& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every test starts as the program does: an empty working directory and the
// program-wide block all zero.
class OptionsFileTest : public test::WorkingDirTest {
protected:
    void SetUp() override {
        WorkingDirTest::SetUp();
    }
    ProgramOptions options_;
};

// ---------------------------------------------------------------- the file

TEST_F(OptionsFileTest, FirstStartCreatesTheDefaultFile) {
    options_.readOptions();
    const std::string bytes = readBytes(kOptionsFileName);
    ASSERT_EQ(bytes.size(), 536u);
    EXPECT_EQ(bytes.substr(0, 24), le32(0) + le32(60) + le32(0) + le32(1) + le32(0) + le32(0));
    EXPECT_EQ(bytes.substr(24), std::string(512, '\0'));

    EXPECT_TRUE(sameBlock(options_.current(), defaultOptions()));
    EXPECT_FALSE(options_.periodicCheckOn());
    EXPECT_FALSE(options_.startupCheckOn());
    EXPECT_TRUE(options_.playSoundOn());
    EXPECT_FALSE(options_.autoOpenOn());
    EXPECT_EQ(options_.backgroundChoice(), BackgroundDefault);
    EXPECT_EQ(options_.customBitmapPath(), "");
}

TEST_F(OptionsFileTest, ShortFilesLeaveZerosNotDefaults) {
    // 8 bytes: periodic check on, 30 minutes; everything else, even the sound
    // that defaults to on, is zero.
    writeBytes(kOptionsFileName, le32(1) + le32(30));
    options_.readOptions();
    AppOptions o = options_.current();
    EXPECT_EQ(o.periodicCheck, 1);
    EXPECT_EQ(o.checkMinutes, 30u);
    EXPECT_EQ(o.startupCheck, 0);
    EXPECT_EQ(o.playSound, 0);
    EXPECT_EQ(o.autoOpen, 0);
    EXPECT_EQ(o.backgroundChoice, 0);
    EXPECT_EQ(options_.customBitmapPath(), "");
    EXPECT_TRUE(options_.periodicCheckOn());
    EXPECT_FALSE(options_.playSoundOn());
    EXPECT_EQ(options_.periodicIntervalMs(), 30u * 60000u);
    // Reading never rewrites an existing file.
    EXPECT_EQ(readBytes(kOptionsFileName).size(), 8u);

    // A file cut inside a field: the field keeps only the bytes present.
    writeBytes(kOptionsFileName, le32(0) + std::string("\x2c\x01", 2));
    options_.readOptions();
    EXPECT_EQ(options_.current().checkMinutes, 300u);

    // An empty file gives an all-zero block.
    writeBytes(kOptionsFileName, "");
    options_.readOptions();
    EXPECT_TRUE(sameBlock(options_.current(), zeroOptions()));
    EXPECT_EQ(readBytes(kOptionsFileName).size(), 0u);
}

TEST_F(OptionsFileTest, LongFileIsReadForItsFirst536Bytes) {
    std::string bytes = le32(1) + le32(120) + le32(1) + le32(0) + le32(1) + le32(2);
    std::string path = "C:\\pictures\\sky.bmp";
    bytes += path + std::string(512 - path.size(), '\0');
    const std::string file = bytes + std::string(100, '\x7f');
    writeBytes(kOptionsFileName, file);

    options_.readOptions();
    AppOptions o = options_.current();
    EXPECT_EQ(std::memcmp(&o, bytes.data(), sizeof o), 0);
    EXPECT_EQ(options_.customBitmapPath(), path);
    EXPECT_EQ(options_.backgroundChoice(), BackgroundCustom);
    EXPECT_TRUE(options_.startupCheckOn());
    EXPECT_TRUE(options_.autoOpenOn());
    EXPECT_EQ(readBytes(kOptionsFileName), file);
}

TEST_F(OptionsFileTest, WrittenBlockIsLittleEndianAtFixedOffsets) {
    AppOptions o = zeroOptions();
    o.periodicCheck = 1;
    o.checkMinutes = 0x01020304u;
    o.startupCheck = 2;
    o.playSound = -1;
    o.autoOpen = 1;
    o.backgroundChoice = 2;
    std::strcpy(o.customBitmapPath, "back.bmp");
    options_.set(o);
    ASSERT_TRUE(options_.writeOptions());

    const std::string bytes = readBytes(kOptionsFileName);
    ASSERT_EQ(bytes.size(), kOptionsSize);
    EXPECT_EQ(le32At(bytes, 0), 1u);
    EXPECT_EQ(bytes.substr(4, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(le32At(bytes, 8), 2u);
    EXPECT_EQ(le32At(bytes, 12), 0xFFFFFFFFu);
    EXPECT_EQ(le32At(bytes, 16), 1u);
    EXPECT_EQ(le32At(bytes, 20), 2u);
    EXPECT_EQ(bytes.substr(24, 9), std::string("back.bmp\0", 9));

    // Round trip: what was written is what is read back, byte for byte.
    options_.set(zeroOptions());
    options_.readOptions();
    EXPECT_TRUE(sameBlock(options_.current(), o));

    // Rewriting a longer file truncates it to the block.
    writeBytes(kOptionsFileName, std::string(900, 'x'));
    ASSERT_TRUE(options_.writeOptions());
    EXPECT_EQ(readBytes(kOptionsFileName).size(), kOptionsSize);
}

TEST_F(OptionsFileTest, UnwritableOrUnreadableFileIsHandledQuietly) {
    // Something that is not a file stands where the options file belongs.
    std::filesystem::create_directory(kOptionsFileName);
    options_.readOptions();  // must neither crash nor replace it
    EXPECT_TRUE(std::filesystem::is_directory(kOptionsFileName));

    AppOptions o = defaultOptions();
    o.autoOpen = 1;
    options_.set(o);
    EXPECT_FALSE(options_.writeOptions());
    EXPECT_TRUE(sameBlock(options_.current(), o));  // memory is kept as it was
    EXPECT_TRUE(std::filesystem::is_directory(kOptionsFileName));
}

// ---------------------------------------------------------------- accessors

TEST_F(OptionsFileTest, FlagsAreOnOnlyWhenExactlyOne) {
    AppOptions o = zeroOptions();
    o.periodicCheck = 2;
    o.checkMinutes = 60;
    o.startupCheck = -1;
    o.playSound = 256;
    o.autoOpen = 2;
    options_.set(o);
    EXPECT_FALSE(options_.periodicCheckOn());
    EXPECT_FALSE(options_.startupCheckOn());
    EXPECT_FALSE(options_.playSoundOn());
    EXPECT_FALSE(options_.autoOpenOn());
}

TEST_F(OptionsFileTest, PeriodicInterval) {
    EXPECT_EQ(periodicIntervalMsFor(10), 600000u);
    EXPECT_EQ(periodicIntervalMsFor(600), 36000000u);
    EXPECT_EQ(periodicIntervalMsFor(605), 36300000u);
    // The longest period a window timer takes, and beyond it no wrap-around
    // to a short interval.
    EXPECT_EQ(periodicIntervalMsFor(35791), 2147460000u);
    EXPECT_EQ(periodicIntervalMsFor(35792), 0x7FFFFFFFu);
    EXPECT_EQ(periodicIntervalMsFor(71583), 0x7FFFFFFFu);
    EXPECT_EQ(periodicIntervalMsFor(0xFFFFFFFFu), 0x7FFFFFFFu);

    // A stored period of 0 minutes arms nothing.
    AppOptions o = defaultOptions();
    o.periodicCheck = 1;
    o.checkMinutes = 0;
    options_.set(o);
    EXPECT_FALSE(options_.periodicCheckOn());
    EXPECT_EQ(options_.periodicIntervalMs(), 0u);
    o.checkMinutes = 600;
    options_.set(o);
    EXPECT_TRUE(options_.periodicCheckOn());
    EXPECT_EQ(options_.periodicIntervalMs(), 36000000u);
}

TEST_F(OptionsFileTest, BackgroundChoicesAreWrittenThrough) {
    options_.readOptions();
    ASSERT_TRUE(options_.setCustomBackground("pics\\mine.bmp"));
    EXPECT_EQ(options_.backgroundChoice(), BackgroundCustom);
    std::string bytes = readBytes(kOptionsFileName);
    EXPECT_EQ(le32At(bytes, 20), 2u);
    EXPECT_EQ(bytes.substr(24, 14), std::string("pics\\mine.bmp\0", 14));

    // Default keeps the old path in the block and the file.
    options_.setBackgroundChoice(BackgroundDefault);
    bytes = readBytes(kOptionsFileName);
    EXPECT_EQ(le32At(bytes, 20), 0u);
    EXPECT_EQ(options_.customBitmapPath(), "pics\\mine.bmp");

    // A shorter path replaces a longer one without leftovers.
    ASSERT_TRUE(options_.setCustomBackground("a.bmp"));
    bytes = readBytes(kOptionsFileName);
    EXPECT_EQ(bytes.substr(24), std::string("a.bmp") + std::string(507, '\0'));

    // 511 characters fit, 512 do not: nothing changes.
    const std::string longest(511, 'p');
    ASSERT_TRUE(options_.setCustomBackground(longest));
    EXPECT_EQ(options_.customBitmapPath(), longest);
    const std::string before = readBytes(kOptionsFileName);
    options_.setBackgroundChoice(BackgroundEmpty);
    const std::string afterEmpty = readBytes(kOptionsFileName);
    EXPECT_FALSE(options_.setCustomBackground(std::string(512, 'q')));
    EXPECT_EQ(readBytes(kOptionsFileName), afterEmpty);
    EXPECT_EQ(options_.backgroundChoice(), BackgroundEmpty);
    EXPECT_EQ(options_.customBitmapPath(), longest);
    EXPECT_NE(before, afterEmpty);
}

TEST_F(OptionsFileTest, PathWithoutTerminatorIsReadToTheEndOfItsField) {
    writeBytes(kOptionsFileName, le32(0) + le32(60) + le32(0) + le32(1) + le32(0) + le32(2) +
                                     std::string(512, 'z'));
    options_.readOptions();
    EXPECT_EQ(options_.customBitmapPath(), std::string(512, 'z'));
}

// Workers read playSound and autoOpen while the window thread replaces the
// block; run under ThreadSanitizer this shows the accesses are synchronised.
TEST_F(OptionsFileTest, WorkersReadWhileTheWindowThreadWrites) {
    std::atomic<bool> stop{false};
    std::atomic<long> reads{0};
    auto reader = [&] {
        while (!stop.load()) {
            const bool sound = options_.playSoundOn();
            const bool open = options_.autoOpenOn();
            // The writer always sets the two flags together.
            const AppOptions snap = options_.current();
            EXPECT_EQ(snap.playSound, snap.autoOpen);
            (void)sound;
            (void)open;
            reads.fetch_add(1);
        }
    };
    std::thread a(reader), b(reader);
    // On a busy machine the readers may start late: write until they ran.
    for (int i = 0; i < 2000 || reads.load() < 100; ++i) {
        AppOptions o = defaultOptions();
        o.playSound = o.autoOpen = i % 2;
        options_.set(o);
        if (i % 500 == 0) options_.writeOptions();
    }
    stop = true;
    a.join();
    b.join();
    EXPECT_GT(reads.load(), 0);
}

// ---------------------------------------------------------------- the dialog

TEST(OptionsMinutes, TextIsReadAsAnUnsignedNumber) {
    EXPECT_EQ(parseMinutes("60"), 60u);
    EXPECT_EQ(parseMinutes("  605"), 605u);
    EXPECT_EQ(parseMinutes("30 min"), 30u);
    EXPECT_EQ(parseMinutes(""), 0u);
    EXPECT_EQ(parseMinutes("abc"), 0u);
    EXPECT_EQ(parseMinutes("-10"), 0u);
    EXPECT_EQ(parseMinutes("4294967295"), 4294967295u);
    EXPECT_EQ(parseMinutes("99999999999999999999"), 4294967295u);
    EXPECT_EQ(formatMinutes(4294967295u), "4294967295");
}

TEST(OptionsMinutes, UpStopsAt600AndDownStopsAt10) {
    std::string text = "60";
    for (int i = 0; i < 54; ++i) text = stepMinutesText(text, -1);
    EXPECT_EQ(text, "600");
    for (int i = 0; i < 5; ++i) text = stepMinutesText(text, -1);
    EXPECT_EQ(text, "600");

    text = "60";
    for (int i = 0; i < 5; ++i) text = stepMinutesText(text, +1);
    EXPECT_EQ(text, "10");
    for (int i = 0; i < 3; ++i) text = stepMinutesText(text, +1);
    EXPECT_EQ(text, "10");

    // Any size of change counts as one step in its direction.
    EXPECT_EQ(stepMinutesText("60", -5), "70");
    EXPECT_EQ(stepMinutesText("60", 3), "50");
    EXPECT_EQ(stepMinutesText("60", 0), "60");
}

TEST(OptionsMinutes, ValuesOutsideTheRangeAreKeptAndStepped) {
    EXPECT_EQ(stepMinutesText("605", -1), "605");
    EXPECT_EQ(stepMinutesText("605", +1), "595");
    EXPECT_EQ(stepMinutesText("0", +1), "0");
    EXPECT_EQ(stepMinutesText("0", -1), "10");
    EXPECT_EQ(stepMinutesText("5", -1), "15");
    EXPECT_EQ(stepMinutesText("15", +1), "5");
    EXPECT_EQ(stepMinutesText("4294967295", -1), "4294967295");
    EXPECT_EQ(stepMinutesText("4294967295", +1), "4294967285");
}

TEST(OptionsDialogModelTest, OpensFromTheStoredSettings) {
    AppOptions o = zeroOptions();
    o.startupCheck = 1;
    o.periodicCheck = 0;
    o.checkMinutes = 605;
    o.playSound = 2;  // not 1: shown unchecked
    o.autoOpen = 1;
    OptionsDialogModel m(o);
    EXPECT_TRUE(m.startupCheck());
    EXPECT_FALSE(m.periodicCheck());
    EXPECT_FALSE(m.playSound());
    EXPECT_TRUE(m.autoOpen());
    EXPECT_EQ(m.minutesText(), "605");
    // Minutes controls stay disabled until "Periodic check" is checked.
    EXPECT_FALSE(m.minutesEnabled());
    m.setPeriodicCheck(true);
    EXPECT_TRUE(m.minutesEnabled());
    m.setPeriodicCheck(false);
    EXPECT_FALSE(m.minutesEnabled());

    o.periodicCheck = 1;
    EXPECT_TRUE(OptionsDialogModel(o).minutesEnabled());
}

TEST(OptionsDialogModelTest, ApplyReplacesTheFiveDialogFieldsOnly) {
    AppOptions stored = zeroOptions();
    stored.checkMinutes = 60;
    stored.playSound = 2;
    OptionsDialogModel m(stored);
    m.setStartupCheck(true);
    m.setPeriodicCheck(true);
    m.setAutoOpen(true);
    m.spin(-1);
    m.spin(-1);

    AppOptions base = stored;
    base.backgroundChoice = BackgroundCustom;
    std::strcpy(base.customBitmapPath, "x.bmp");
    AppOptions out = m.appliedTo(base);
    EXPECT_EQ(out.startupCheck, 1);
    EXPECT_EQ(out.periodicCheck, 1);
    EXPECT_EQ(out.checkMinutes, 80u);
    EXPECT_EQ(out.playSound, 0);  // unchecked is stored as 0, not left at 2
    EXPECT_EQ(out.autoOpen, 1);
    EXPECT_EQ(out.backgroundChoice, BackgroundCustom);
    EXPECT_STREQ(out.customBitmapPath, "x.bmp");

    // The minutes are applied even while the periodic check is off.
    m.setPeriodicCheck(false);
    m.setMinutesText("605");
    out = m.applied();
    EXPECT_EQ(out.periodicCheck, 0);
    EXPECT_EQ(out.checkMinutes, 605u);
}

TEST_F(OptionsFileTest, CancelLeavesMemoryAndFileUntouched) {
    options_.readOptions();
    const std::string before = readBytes(kOptionsFileName);
    const AppOptions inMemory = options_.current();

    OptionsDialogModel m(options_.current());
    for (int i = 0; i < 7; ++i) m.spin(-1);
    m.setStartupCheck(true);
    m.setPeriodicCheck(true);
    m.setPlaySound(false);
    EXPECT_EQ(readBytes(kOptionsFileName), before);
    EXPECT_TRUE(sameBlock(options_.current(), inMemory));

    // Applying the same changes stores them and writes them through.
    applyOptionsDialog(m, options_);
    const std::string after = readBytes(kOptionsFileName);
    ASSERT_EQ(after.size(), kOptionsSize);
    EXPECT_EQ(after.substr(0, 24), le32(1) + le32(130) + le32(1) + le32(0) + le32(0) + le32(0));
    EXPECT_TRUE(options_.periodicCheckOn());
    EXPECT_EQ(options_.periodicIntervalMs(), 130u * 60000u);
}

TEST_F(OptionsFileTest, ApplyKeepsTheBackgroundChosenMeanwhile) {
    options_.readOptions();
    OptionsDialogModel m(options_.current());
    m.setAutoOpen(true);
    ASSERT_TRUE(options_.setCustomBackground("later.bmp"));
    applyOptionsDialog(m, options_);
    EXPECT_EQ(options_.backgroundChoice(), BackgroundCustom);
    EXPECT_EQ(options_.customBitmapPath(), "later.bmp");
    EXPECT_TRUE(options_.autoOpenOn());
    EXPECT_TRUE(fileExists(kOptionsFileName));
}

}  // namespace
}  // namespace hs

namespace hs {
namespace {

// The settings beside the options file: a value that cannot be read keeps
// the default, keys of other versions survive a write.
TEST(SettingsFile, DefaultsBadValuesAndUnknownKeys) {
    EXPECT_TRUE(parseSettings("").changeBalloons);
    EXPECT_TRUE(parseSettings("change-balloons=no\r\n").changeBalloons);
    std::vector<std::string> keep;
    const ProgramSettings off = parseSettings("later=7\nchange-balloons=0\n", &keep);
    EXPECT_FALSE(off.changeBalloons);
    EXPECT_EQ(formatSettings(off, keep), "change-balloons=0\r\nlater=7\r\n");
}

}  // namespace
}  // namespace hs
