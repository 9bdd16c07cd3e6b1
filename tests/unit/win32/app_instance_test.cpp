// The single-instance rule over real top-level windows, and bringToFront.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/win32/app_instance.h"
#include "platform/win32/handles.h"
#include "unit/win32/hidden_window.h"

namespace hs {
namespace {

using test::hiddenWindow;

// A title no other window of the test machine carries.
std::string uniqueTitle() {
    return "Instance probe " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
}

TEST(SingleInstance, CaptionContainsTitleIsCaseSensitive) {
    EXPECT_TRUE(captionContainsTitle("Tarnwell (QVR) - Halvorsight", "Tarnwell (QVR) - Halvorsight"));
    EXPECT_TRUE(captionContainsTitle("Browser - Tarnwell (QVR) - Halvorsight page", "Tarnwell (QVR) - Halvorsight"));
    EXPECT_FALSE(captionContainsTitle("tarnwell (qvr) - halvorsight", "Tarnwell (QVR) - Halvorsight"));
    EXPECT_FALSE(captionContainsTitle("Tarnwell (QVR) - Halvorsigh", "Tarnwell (QVR) - Halvorsight"));
    EXPECT_FALSE(captionContainsTitle(nullptr, "x"));
}

TEST(SingleInstance, FindsAnyTopLevelWindowWhoseCaptionContainsTheTitle) {
    const std::string title = uniqueTitle();
    EXPECT_EQ(findWindowWithTitle(title.c_str()), nullptr);
    // Hidden windows count too: the running instance may be in the tray.
    UniqueWindow other = hiddenWindow(("Viewer showing " + title + " (page)").c_str());
    ASSERT_TRUE(other);
    EXPECT_EQ(findWindowWithTitle(title.c_str()), other.get());
    other.reset();
    EXPECT_EQ(findWindowWithTitle(title.c_str()), nullptr);
}

TEST(SingleInstance, CaseDifferentCaptionIsNoInstance) {
    std::string title = uniqueTitle();
    std::string upper = title;
    for (char& c : upper) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    UniqueWindow other = hiddenWindow(upper.c_str());
    ASSERT_TRUE(other);
    EXPECT_EQ(findWindowWithTitle(title.c_str()), nullptr);
}

TEST(BringToFront, ShowsRestoresAndLeavesTheWindowNotTopmost) {
    UniqueWindow window = hiddenWindow(uniqueTitle().c_str());
    ASSERT_TRUE(window);
    ::ShowWindow(window.get(), SW_MINIMIZE);
    ::ShowWindow(window.get(), SW_HIDE);
    ASSERT_FALSE(::IsWindowVisible(window.get()));

    bringToFront(window.get());
    EXPECT_TRUE(::IsWindowVisible(window.get()));
    EXPECT_FALSE(::IsIconic(window.get()));
    EXPECT_EQ(::GetWindowLongA(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // A window that is already shown keeps its place and size.
    RECT before{}, after{};
    ::GetWindowRect(window.get(), &before);
    bringToFront(window.get());
    ::GetWindowRect(window.get(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_EQ(::GetWindowLongA(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

}  // namespace
}  // namespace hs
