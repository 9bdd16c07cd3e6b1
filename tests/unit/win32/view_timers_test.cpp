// The view's timer ticks: the blink sequence while hidden and its end once
// the window is shown, the one-shot start-up prompt, the periodic check, and
// ticks of unknown timers.
#include <gtest/gtest.h>

#include <vector>

#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "app/win32/view_timers.h"

namespace hs {
namespace {

class FakeView : public ViewTimerActions {
public:
    void checkAllDocuments() override { ++checks; }
    void stopTimer(UINT_PTR id) override { stopped.push_back(id); }
    void setTrayIcon(int id) override { icons.push_back(id); }
    int rowCount() override { return rows; }
    void offerStartupWizard() override { ++wizardOffers; }
    bool hiddenInTray() override { return hidden; }
    int32_t& blinkPhase() override { return phase; }

    int checks = 0;
    int wizardOffers = 0;
    int rows = 0;
    bool hidden = false;
    int32_t phase = 0;
    std::vector<UINT_PTR> stopped;
    std::vector<int> icons;
};

TEST(ViewTimers, BlinkAlternatesWhileHiddenStartingWithTheBlinkIcon) {
    FakeView view;
    view.hidden = true;
    for (int i = 0; i < 5; ++i) handleViewTimer(view, kTrayBlinkTimer);
    EXPECT_EQ(view.icons, (std::vector<int>{IDI_BLINK, IDR_MAINFRAME, IDI_BLINK, IDR_MAINFRAME, IDI_BLINK}));
    EXPECT_TRUE(view.stopped.empty());
    EXPECT_EQ(view.phase, 1);
}

TEST(ViewTimers, BlinkStopsAndRestoresTheIconOnceShownAndKeepsItsPhase) {
    FakeView view;
    view.hidden = true;
    handleViewTimer(view, kTrayBlinkTimer);  // 140, phase 1
    view.hidden = false;
    handleViewTimer(view, kTrayBlinkTimer);
    EXPECT_EQ(view.icons.back(), IDR_MAINFRAME);
    EXPECT_EQ(view.stopped, std::vector<UINT_PTR>{kTrayBlinkTimer});
    EXPECT_EQ(view.phase, 1);  // never reset
    // The next blink (hidden again) continues from that phase: 128 first.
    view.hidden = true;
    view.icons.clear();
    handleViewTimer(view, kTrayBlinkTimer);
    EXPECT_EQ(view.icons, std::vector<int>{IDR_MAINFRAME});
}

TEST(ViewTimers, StartupPromptIsOneShotAndOnlyForAnEmptyList) {
    FakeView empty;
    handleViewTimer(empty, kStartupPromptTimer);
    EXPECT_EQ(empty.stopped, std::vector<UINT_PTR>{kStartupPromptTimer});
    EXPECT_EQ(empty.wizardOffers, 1);

    FakeView withRows;
    withRows.rows = 2;
    handleViewTimer(withRows, kStartupPromptTimer);
    EXPECT_EQ(withRows.stopped, std::vector<UINT_PTR>{kStartupPromptTimer});
    EXPECT_EQ(withRows.wizardOffers, 0);
}

TEST(ViewTimers, PeriodicTickChecksAllAndOtherIdsAreIgnored) {
    FakeView view;
    view.hidden = true;
    handleViewTimer(view, kPeriodicCheckTimer);
    handleViewTimer(view, kPeriodicCheckTimer);
    EXPECT_EQ(view.checks, 2);
    EXPECT_TRUE(view.stopped.empty());  // the periodic timer runs until exit
    handleViewTimer(view, 77);
    EXPECT_EQ(view.checks, 2);
    EXPECT_TRUE(view.icons.empty());
    EXPECT_EQ(view.wizardOffers, 0);
}

}  // namespace
}  // namespace hs
