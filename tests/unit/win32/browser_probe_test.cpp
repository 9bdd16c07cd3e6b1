// Finding the browser through a probe file in the working directory: the
// probe leaves nothing behind, and a user's file of the probe's name is
// neither emptied nor deleted.
#include <gtest/gtest.h>

#include "app/win32/shell_launcher.h"
#include "unit/test_support.h"

namespace hs {
namespace {

using BrowserProbe = test::WorkingDirTest;

TEST_F(BrowserProbe, LeavesNoProbeBehind) {
    findBrowserPath();
    EXPECT_FALSE(test::fileExists("HalvorsightTemp.htm"));
}

TEST_F(BrowserProbe, KeepsAnExistingFileOfTheProbesName) {
    const std::string answer = findBrowserPath();
    test::writeBytes("HalvorsightTemp.htm", "<p>my own page</p>");
    EXPECT_EQ(findBrowserPath(), answer);
    EXPECT_EQ(test::readBytes("HalvorsightTemp.htm"), "<p>my own page</p>");
}

}  // namespace
}  // namespace hs
