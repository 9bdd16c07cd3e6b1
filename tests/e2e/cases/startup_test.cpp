// First start of the program: the main window, its menu bar, status bar and
// list, the files it creates, and how the menu follows the selection.
#include <string>
#include <vector>

#include "program_test.h"

namespace hs::e2e {
namespace {

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, FirstStartInEmptyDirectoryShowsTheReadyMainWindow) {
    RunningProgram& app = start();

    EXPECT_TRUE(dir().isDirectory("data")) << "the data directory was not created";

    EXPECT_EQ(windowText(app.main), kAppTitle);
    EXPECT_TRUE(IsWindowVisible(app.main));
    EXPECT_FALSE(IsIconic(app.main));
    EXPECT_EQ(visibleWindowsOf(app.pid()).size(), 1u) << "more than the main window is shown";

    EXPECT_EQ(statusBarText(app.status), "Ready");
    EXPECT_EQ(statusBarPaneCount(app.status), 1) << "the status bar has key indicators";

    const RemoteListView list = app.rows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.headerTexts(), (std::vector<std::string>{"Name", "Type", "Status", "Last check"}));
    const std::vector<int> widths{list.columnWidth(0), list.columnWidth(1), list.columnWidth(2),
                                  list.columnWidth(3)};
    EXPECT_EQ(widths, (std::vector<int>{200, 130, 150, 170}));

    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value()) << "Exit did not end the program";
    EXPECT_EQ(*code, 0u);
    // Nothing to save: no record files appear.
    EXPECT_EQ(dir().list("data"), std::vector<std::string>{});
}

TEST_F(StartupTest, FirstStartCreatesTheOptionsFileWithDefaults) {
    RunningProgram& app = start();
    std::string options;
    ASSERT_TRUE(pollUntil([&] { return dir().readFile("Halvorsight.option", options) && options.size() == 536; },
                          kShortWait))
        << "Halvorsight.option missing or not 536 bytes (size " << options.size() << ")";
    const std::vector<int32_t> head{int32At(options, 0), int32At(options, 4), int32At(options, 8),
                                    int32At(options, 12), int32At(options, 16), int32At(options, 20)};
    EXPECT_EQ(head, (std::vector<int32_t>{0, 60, 0, 1, 0, 0}));
    EXPECT_EQ(options.substr(24), std::string(512, '\0'));
    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    // Exit does not write the options again.
    std::string after;
    dir().readFile("Halvorsight.option", after);
    EXPECT_EQ(after, options);
}

TEST_F(StartupTest, MenuBarHasEveryCommandInOrder) {
    RunningProgram& app = start();
    const Menu menu = readMainMenu(app);
    const std::vector<std::string> expected{
        "&Application >",
        "  &Option.. = 32790",
        "  ----",
        "  E&xit = 32779",
        "&Document >",
        "  &Open..\tDblClk = 32791",
        "  Vie&w document header.. = 32806",
        "  Sa&ve document as.. = 32805",
        "  W&hat changed..\tCtrl+W = 32807",
        "  ----",
        "  &Add..\tCtrl+A = 32776",
        "  &Edit..\tCtrl+E = 32777",
        "  Dupl&icate..\tCtrl+C = 32778",
        "  Dele&te\tDel = 32782",
        "  ----",
        "  &Check !\tF5 = 32783",
        "  Chec&k All !\tCtrl+F5 = 32800",
        "  ----",
        "  &Select All\tCtrl+S = 32780",
        "  &Deselect All\tCtrl+D = 32781",
        "  ----",
        "  Set as '&Not changed' status = 32789",
        "  Set all as 'Not changed' stat&us\tESC = 32794",
        "&View >",
        "  &Toolbar = 59392",
        "  &Status Bar = 59393",
        "  ----",
        "  &Background images >",
        "    &Default = 32803",
        "    &Empty = 32802",
        "    ----",
        "    &Custom.. = 32804",
        "&Help >",
        "  Manual page.. = 32786",
        "  Support page.. = 32785",
        "  ----",
        "  Tollenby Lab website.. = 32784",
        "  ----",
        "  &About Halvorsight...\tF1 = 57664",
    };
    EXPECT_EQ(menuLines(menu), expected);
    ASSERT_TRUE(exitByCommand(app).has_value());
}

// The Document menu greys its commands by the number of selected rows when
// it opens; the View menu checks the bars that are shown.
TEST_F(StartupTest, MenuStateFollowsTheSelection) {
    for (const char* name : {"Alpha", "Beta"})
        writeRecord(makeRecord(name, LocalFile, "C:\\no-such-dir\\none.txt", NotChanged));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_TRUE(pollUntil([&] { return list.rowCount() == 2; }, kShortWait))
        << "rows: " << list.rowCount();

    struct Case {
        int selected;
        std::vector<UINT> grey;
    };
    const std::vector<UINT> documentCommands{32791, 32806, 32805, 32776, 32777, 32778, 32782,
                                             32783, 32800, 32780, 32781, 32789, 32794, 32807};
    // "What changed" stays grey: no document has an earlier version.
    const std::vector<Case> cases{
        {0, {32791, 32806, 32805, 32777, 32778, 32782, 32783, 32789, 32807}},
        {1, {32807}},
        {2, {32806, 32805, 32777, 32778, 32807}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("selected rows: " + std::to_string(c.selected));
        ASSERT_TRUE(list.setSelected(-1, false));
        for (int r = 0; r < c.selected; ++r) ASSERT_TRUE(list.setSelected(r, true));
        ASSERT_EQ(list.selectedCount(), c.selected);
        const Menu menu = readMainMenu(app, true);
        std::vector<UINT> grey;
        for (UINT id : documentCommands) {
            const MenuItem* item = findMenuItem(menu, id);
            ASSERT_NE(item, nullptr) << "no menu item " << id;
            if (item->grey) grey.push_back(id);
        }
        EXPECT_EQ(grey, c.grey);
        for (UINT id : {59392u, 59393u}) {
            const MenuItem* item = findMenuItem(menu, id);
            ASSERT_NE(item, nullptr);
            EXPECT_TRUE(item->checked) << id << " is not checked while its bar is shown";
            EXPECT_FALSE(item->grey);
        }
    }
    ASSERT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
