// The tray icon's blink steps: the blink sequence while hidden and its end
// once the window is shown.
#include <gtest/gtest.h>

#include <vector>

#include "app/win32/frame_timers.h"
#include "res/resource_ids.h"

namespace hs {
namespace {

TEST(FrameTimers, BlinkAlternatesWhileHiddenStartingWithTheBlinkIcon) {
    int32_t phase = 0;
    std::vector<int> icons;
    for (int i = 0; i < 5; ++i) {
        const BlinkStep step = nextBlinkStep(true, phase);
        EXPECT_FALSE(step.stopTimer);
        icons.push_back(step.iconId);
    }
    EXPECT_EQ(icons, (std::vector<int>{IDI_BLINK, IDR_MAINFRAME, IDI_BLINK, IDR_MAINFRAME, IDI_BLINK}));
    EXPECT_EQ(phase, 1);
}

TEST(FrameTimers, BlinkStopsAndRestoresTheIconOnceShownAndKeepsItsPhase) {
    int32_t phase = 0;
    nextBlinkStep(true, phase);  // 140, phase 1
    const BlinkStep shown = nextBlinkStep(false, phase);
    EXPECT_TRUE(shown.stopTimer);
    EXPECT_EQ(shown.iconId, IDR_MAINFRAME);
    EXPECT_EQ(phase, 1);  // never reset
    // The next blink (hidden again) continues from that phase: 128 first.
    EXPECT_EQ(nextBlinkStep(true, phase).iconId, IDR_MAINFRAME);
}

}  // namespace
}  // namespace hs
