// The command table: availability decides before any handler runs, every
// row reaches its own handler, and no command id appears twice.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "res/command_ids.h"

namespace hs {
namespace {

#define HS_RECORD(name) \
    void name() override { ran.push_back(#name); }

class RecordingHandlers : public CommandHandlers {
public:
    std::vector<std::string> ran;
    HS_RECORD(addDocument)
    HS_RECORD(editDocument)
    HS_RECORD(duplicateDocument)
    HS_RECORD(openDocuments)
    HS_RECORD(viewDocumentHeader)
    HS_RECORD(saveDocumentAs)
    HS_RECORD(deleteDocuments)
    HS_RECORD(checkDocuments)
    HS_RECORD(checkAllDocuments)
    HS_RECORD(selectAllDocuments)
    HS_RECORD(deselectAllDocuments)
    HS_RECORD(setDocumentsNotChanged)
    HS_RECORD(setAllDocumentsNotChanged)
    HS_RECORD(showWhatChanged)
    HS_RECORD(toggleToolbar)
    HS_RECORD(toggleStatusBar)
    HS_RECORD(backgroundDefault)
    HS_RECORD(backgroundEmpty)
    HS_RECORD(backgroundCustom)
    HS_RECORD(showOptions)
    HS_RECORD(exitProgram)
    HS_RECORD(showAbout)
    HS_RECORD(openManual)
    HS_RECORD(openSupportPage)
    HS_RECORD(openHomePage)
    HS_RECORD(openFromTray)
};

SelectionSnapshot selected(int rows) {
    SelectionSnapshot s;
    s.selectedRows = rows;
    return s;
}

TEST(CommandTable, AvailabilityDecidesBeforeTheHandler) {
    RecordingHandlers h;
    EXPECT_EQ(runCommand(ID_DOC_EDIT, selected(0), h), CommandOutcome::Unavailable);
    EXPECT_EQ(runCommand(ID_DOC_EDIT, selected(2), h), CommandOutcome::Unavailable);
    EXPECT_EQ(runCommand(ID_DOC_DELETE, selected(0), h), CommandOutcome::Unavailable);
    EXPECT_TRUE(h.ran.empty());
    EXPECT_EQ(runCommand(ID_DOC_DELETE, selected(3), h), CommandOutcome::Handled);
    EXPECT_EQ(runCommand(ID_DOC_EDIT, selected(1), h), CommandOutcome::Handled);
    EXPECT_EQ(runCommand(ID_DOC_CHECK_ALL, selected(0), h), CommandOutcome::Handled);
    EXPECT_EQ(runCommand(12345, selected(1), h), CommandOutcome::NotHandled);
    EXPECT_EQ(h.ran, (std::vector<std::string>{"deleteDocuments", "editDocument", "checkAllDocuments"}));
    EXPECT_TRUE(isCommandAvailable(12345, selected(0)));
}

TEST(CommandTable, RulesByCommand) {
    for (int id : {ID_DOC_EDIT, ID_DOC_DUPLICATE, ID_DOC_SAVE_AS, ID_DOC_VIEW_HEADER}) {
        EXPECT_FALSE(isCommandAvailable(id, selected(0))) << id;
        EXPECT_TRUE(isCommandAvailable(id, selected(1))) << id;
        EXPECT_FALSE(isCommandAvailable(id, selected(2))) << id;
    }
    SelectionSnapshot changed = selected(1);
    changed.selectedHasDifference = true;
    EXPECT_TRUE(isCommandAvailable(ID_DOC_WHAT_CHANGED, changed));
    EXPECT_FALSE(isCommandAvailable(ID_DOC_WHAT_CHANGED, selected(1)));
    changed.selectedRows = 2;
    EXPECT_FALSE(isCommandAvailable(ID_DOC_WHAT_CHANGED, changed));
    for (int id : {ID_DOC_OPEN, ID_DOC_DELETE, ID_DOC_CHECK, ID_DOC_SET_NOTCHANGED}) {
        EXPECT_FALSE(isCommandAvailable(id, selected(0))) << id;
        EXPECT_TRUE(isCommandAvailable(id, selected(5))) << id;
    }
    for (int id : {ID_DOC_ADD, ID_DOC_CHECK_ALL, ID_DOC_SELECT_ALL, ID_APP_OPTION, ID_TRAY_EXIT}) {
        EXPECT_TRUE(isCommandAvailable(id, selected(0))) << id;
    }
}

TEST(CommandTable, EveryRowHasItsOwnIdAndAHandler) {
    std::set<int> ids;
    for (std::size_t i = 0; i < commandRowCount(); ++i) {
        const CommandRow& row = commandRows()[i];
        EXPECT_TRUE(ids.insert(row.id).second) << row.id;
        EXPECT_NE(row.handler, nullptr) << row.id;
        RecordingHandlers h;
        SelectionSnapshot one = selected(1);
        one.selectedHasDifference = true;
        EXPECT_EQ(runCommand(row.id, one, h), CommandOutcome::Handled);
        EXPECT_EQ(h.ran.size(), 1u) << row.id;
    }
}

}  // namespace
}  // namespace hs
