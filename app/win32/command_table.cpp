#include "app/win32/command_table.h"

#include <iterator>

#include "app/background_choice.h"
#include "app/commands.h"
#include "app/win32/about_box.h"
#include "app/win32/main_frame.h"
#include "app/win32/program.h"
#include "app/win32/shell_links.h"
#include "app/win32/tray_icon.h"
#include "catalogue/document_files.h"
#include "dialogs/kept_content.h"
#include "dialogs/win32/add_wizard.h"
#include "dialogs/win32/header_viewer.h"
#include "dialogs/win32/options_dialog.h"
#include "dialogs/win32/properties_dialog.h"
#include "listview/win32/document_list_control.h"
#include "platform/win32/handles.h"
#include "res/command_ids.h"

namespace hs {

namespace {

// ---------------------------------------------------------------- rules

bool exactlyOne(const CommandScope& s) { return s.selectedRows == 1; }
bool oneOrMore(const CommandScope& s) { return s.selectedRows >= 1; }

// One selected document whose kept content differs from the version the
// user acknowledged. Its files are looked at under the document files lock;
// the look stops at the first differing byte.
bool oneWithDifference(const CommandScope& s) {
    std::string name;
    if (s.selectedRows != 1 || !s.program.singleSelectedName(name)) return false;
    const auto lock = s.program.catalogue().lockDocumentFiles();
    return DocumentFiles(s.program.files()).hasDifference(name);
}

bool toolbarShown(const CommandScope& s) {
    const CMainFrame* frame = s.program.frame();
    return frame != nullptr && frame->bars().toolbarVisible();
}

bool statusBarShown(const CommandScope& s) {
    const CMainFrame* frame = s.program.frame();
    return frame != nullptr && frame->bars().statusBarVisible();
}

// ---------------------------------------------------------------- helpers

// The window that owns the commands' dialogs: the document list.
HWND dialogOwner(Program& program) {
    DocumentListWindow* list = program.list();
    return list != nullptr ? list->window() : nullptr;
}

// Runs a catalogue command over the rows; changes to more than a few rows
// are made with the list's redrawing paused.
template <class Command>
void onRows(CommandScope& s, int rows, Command command) {
    DocumentListWindow* list = s.program.list();
    if (list == nullptr) return;
    RedrawPause pause(list->rows(), list->bulk(rows));
    CommandContext ctx = s.program.commandContext();
    command(ctx);
}

int allRows(const CommandScope& s) {
    DocumentListWindow* list = s.program.list();
    return list != nullptr ? list->documents().rowCount() : 0;
}

// The delete command's host: after a Yes the rows go with the list's
// redrawing paused (when there are many), never while the question shows.
class PauseAfterYes : public CommandHost {
public:
    PauseAfterYes(CommandHost& inner, RedrawPause& pause, bool bulk) : inner_(inner), pause_(pause), bulk_(bulk) {}
    void showInformation(const std::string& text) override { inner_.showInformation(text); }
    void showWarning(const std::string& text) override { inner_.showWarning(text); }
    void showError(const std::string& text) override { inner_.showError(text); }
    bool askYesNo(const std::string& text) override {
        const bool yes = inner_.askYesNo(text);
        if (yes && bulk_) pause_.begin();
        return yes;
    }

private:
    CommandHost& inner_;
    RedrawPause& pause_;
    bool bulk_;
};

// Stores what an Add dialog produced in slot `slot`; nothing after Cancel.
void storeAdded(Program& program, std::size_t slot, const std::optional<Document>& added) {
    if (!added) return;
    CommandContext ctx = program.commandContext();
    storeNewRecord(ctx, slot, *added);
}

// Runs the wizard for slot `slot` and stores what it produced.
void addByWizard(Program& program, std::size_t slot) {
    const auto explainMiddle = [&program](HWND) { program.openManualSection("middle"); };
    storeAdded(program, slot,
               runAddWizardDialogs(program.module(), dialogOwner(program), program.catalogue(), program.files(),
                                   explainMiddle));
}

// ---------------------------------------------------------------- handlers

// Add: the slot first, then the method choice, then the wizard or the
// properties dialog. Cancel anywhere stores nothing (a slot appended for
// the new document stays free).
void addDocument(CommandScope& s) {
    Program& program = s.program;
    if (program.list() == nullptr) return;
    const std::size_t slot = program.catalogue().findFreeSlot();
    const std::optional<bool> byWizard =
        showAddMethodChoice(program.module(), dialogOwner(program), program.preferWizard());
    if (!byWizard) return;
    program.preferWizard() = *byWizard;
    if (*byWizard) {
        addByWizard(program, slot);
        return;
    }
    storeAdded(program, slot,
               showPropertiesDialog(program.module(), dialogOwner(program), PropertiesAdd, 0, program.catalogue(),
                                    program.files()));
}

// Edit and Duplicate: the properties dialog between finding the target and
// storing what the dialog produced. Cancel changes nothing (a slot appended
// for a copy stays free).
void editDocument(CommandScope& s) {
    Program& program = s.program;
    if (program.list() == nullptr) return;
    CommandContext ctx = program.commandContext();
    int row = -1;
    long slot = -1;
    if (!findEditTarget(ctx, row, slot)) return;
    const auto source = static_cast<std::size_t>(slot);
    const std::optional<Document> edited = showPropertiesDialog(program.module(), dialogOwner(program),
                                                                PropertiesEdit, source, program.catalogue(),
                                                                program.files());
    if (!edited) return;
    applyEdit(ctx, row, source, *edited);
}

void duplicateDocument(CommandScope& s) {
    Program& program = s.program;
    if (program.list() == nullptr) return;
    CommandContext ctx = program.commandContext();
    std::size_t copySlot = 0;
    long sourceSlot = -1;
    if (!findDuplicateTarget(ctx, copySlot, sourceSlot)) return;
    const std::optional<Document> copy =
        showPropertiesDialog(program.module(), dialogOwner(program), PropertiesDuplicate,
                             static_cast<std::size_t>(sourceSlot), program.catalogue(), program.files());
    if (!copy) return;
    storeNewRecord(ctx, copySlot, *copy);
}

void openDocuments(CommandScope& s) {
    if (s.program.list() == nullptr) return;
    CommandContext ctx = s.program.commandContext();
    openSelected(ctx, [&s](const Document& record) { return s.program.openDocument(record); });
}

// The viewer and Save as work on the kept content of the one selected,
// retrieved document. The file is read before the viewer opens and copied
// after the save-file dialog closed, each time under the document files
// lock, so a worker's commit never finds it open.
void viewDocumentHeader(CommandScope& s) {
    Program& program = s.program;
    if (program.list() == nullptr) return;
    CommandContext ctx = program.commandContext();
    std::string name;
    if (!findKeptContentTarget(ctx, name)) return;
    if (showHeaderViewer(program.module(), dialogOwner(program), ctx.catalogue, ctx.files, name) == 0) {
        ctx.host.showError(kCannotOpenDocumentText);
    }
}

void saveDocumentAs(CommandScope& s) {
    Program& program = s.program;
    if (program.list() == nullptr) return;
    CommandContext ctx = program.commandContext();
    std::string name;
    if (!findKeptContentTarget(ctx, name)) return;
    const std::string target = chooseSaveAsPath(dialogOwner(program));
    if (target.empty()) return;
    if (!copyKeptContent(ctx.catalogue, ctx.files, name, target)) ctx.host.showError(kSaveFailedText);
}

void deleteDocuments(CommandScope& s) {
    DocumentListWindow* list = s.program.list();
    if (list == nullptr) return;
    // Redrawing stops only after the Yes, so the list is painted while the
    // question is shown.
    RedrawPause pause(list->rows(), false);
    CommandContext ctx = s.program.commandContext();
    PauseAfterYes host(ctx.host, pause, list->bulk(s.selectedRows));
    CommandContext pausing{ctx.catalogue, ctx.list, host, ctx.files, ctx.startCheckWorker};
    deleteSelected(pausing);
}

void checkDocuments(CommandScope& s) { onRows(s, s.selectedRows, [](CommandContext& ctx) { checkSelected(ctx); }); }

// Also the periodic check's tick.
void checkAll(CommandScope& s) {
    s.program.markAllForCheck();
    s.program.startCheckWorker();
}

// One message, but the control repaints every row it changes.
void selectAll(CommandScope& s) {
    onRows(s, allRows(s), [](CommandContext& ctx) { setSelectionOfAll(ctx.list, true); });
}

void deselectAll(CommandScope& s) {
    onRows(s, allRows(s), [](CommandContext& ctx) { setSelectionOfAll(ctx.list, false); });
}

void setNotChanged(CommandScope& s) {
    onRows(s, s.selectedRows, [](CommandContext& ctx) { setSelectedNotChanged(ctx); });
}

void setAllNotChanged(CommandScope& s) {
    onRows(s, allRows(s), [](CommandContext& ctx) { hs::setAllNotChanged(ctx); });
}

void toggleToolbar(CommandScope& s) {
    if (CMainFrame* frame = s.program.frame()) frame->toggleToolbar();
}

void toggleStatusBar(CommandScope& s) {
    if (CMainFrame* frame = s.program.frame()) frame->toggleStatusBar();
}

void backgroundDefault(CommandScope& s) {
    if (DocumentListWindow* list = s.program.list()) chooseDefaultBackground(s.options, list->background());
}

void backgroundEmpty(CommandScope& s) {
    if (DocumentListWindow* list = s.program.list()) chooseEmptyBackground(s.options, list->background());
}

void backgroundCustom(CommandScope& s) {
    DocumentListWindow* list = s.program.list();
    if (list == nullptr) return;
    const std::string path = chooseBackgroundBitmapFile(list->window());
    if (path.empty()) return;
    CommandContext ctx = s.program.commandContext();
    chooseCustomBackground(s.options, list->background(), ctx.host, path);
}

void showOptions(CommandScope& s) {
    SettingsFile& settings = s.program.settings();
    const std::optional<OptionsChoice> applied = showOptionsDialog(
        s.program.module(), dialogOwner(s.program), s.options.current(), settings.current().changeBalloons);
    if (!applied) return;
    applyOptionsDialog(applied->options, s.options);
    // The settings file is written only when a setting changed.
    if (applied->changeBalloons != settings.current().changeBalloons) {
        settings.edit().changeBalloons = applied->changeBalloons;
        settings.write();
    }
}

void showWhatChanged(CommandScope& s) {
    std::string name;
    if (s.program.singleSelectedName(name)) s.program.showWhatChangedOf(name);
}

void exitProgram(CommandScope& s) { s.program.shutDown(); }

void showAbout(CommandScope& s) {
    CMainFrame* frame = s.program.frame();
    showAboutBox(s.program.module(), frame != nullptr ? frame->window() : nullptr);
}

void openManual(CommandScope&) { openHelpLink(ID_HELP_MANUAL); }
void openSupportPage(CommandScope&) { openHelpLink(ID_HELP_SUPPORT); }
void openHomePage(CommandScope&) { openHelpLink(ID_HELP_HOMEPAGE); }

void openFromTray(CommandScope& s) { restoreFromTray(s.program.shell()); }

// ---------------------------------------------------------------- the table

const CommandRow kCommands[] = {
    {ID_DOC_ADD, nullptr, nullptr, addDocument},
    {ID_DOC_EDIT, exactlyOne, nullptr, editDocument},
    {ID_DOC_DUPLICATE, exactlyOne, nullptr, duplicateDocument},
    {ID_DOC_OPEN, oneOrMore, nullptr, openDocuments},
    {ID_DOC_VIEW_HEADER, exactlyOne, nullptr, viewDocumentHeader},
    {ID_DOC_SAVE_AS, exactlyOne, nullptr, saveDocumentAs},
    {ID_DOC_WHAT_CHANGED, oneWithDifference, nullptr, showWhatChanged},
    {ID_DOC_DELETE, oneOrMore, nullptr, deleteDocuments},
    {ID_DOC_CHECK, oneOrMore, nullptr, checkDocuments},
    {ID_DOC_CHECK_ALL, nullptr, nullptr, checkAll},
    {ID_DOC_SELECT_ALL, nullptr, nullptr, selectAll},
    {ID_DOC_DESELECT_ALL, nullptr, nullptr, deselectAll},
    {ID_DOC_SET_NOTCHANGED, oneOrMore, nullptr, setNotChanged},
    {ID_DOC_SET_ALL_NOTCHANGED, nullptr, nullptr, setAllNotChanged},
    {ID_VIEW_TOOLBAR_CMD, nullptr, toolbarShown, toggleToolbar},
    {ID_VIEW_STATUS_BAR_CMD, nullptr, statusBarShown, toggleStatusBar},
    {ID_BG_DEFAULT, nullptr, nullptr, backgroundDefault},
    {ID_BG_EMPTY, nullptr, nullptr, backgroundEmpty},
    {ID_BG_CUSTOM, nullptr, nullptr, backgroundCustom},
    {ID_APP_OPTION, nullptr, nullptr, showOptions},
    {ID_APP_EXIT_CMD, nullptr, nullptr, exitProgram},
    {ID_TRAY_EXIT, nullptr, nullptr, exitProgram},
    {ID_APP_ABOUT_CMD, nullptr, nullptr, showAbout},
    {ID_HELP_MANUAL, nullptr, nullptr, openManual},
    {ID_HELP_SUPPORT, nullptr, nullptr, openSupportPage},
    {ID_HELP_HOMEPAGE, nullptr, nullptr, openHomePage},
    {ID_TRAY_OPEN, nullptr, nullptr, openFromTray},
};

}  // namespace

const CommandRow* commandRows() { return kCommands; }
std::size_t commandRowCount() { return std::size(kCommands); }

const CommandRow* findCommand(int commandId) {
    for (const CommandRow& row : kCommands) {
        if (row.id == commandId) return &row;
    }
    return nullptr;
}

bool isCommandAvailable(int commandId, const CommandScope& scope) {
    const CommandRow* row = findCommand(commandId);
    return row == nullptr || row->available == nullptr || row->available(scope);
}

CommandOutcome runCommand(int commandId, CommandScope& scope) {
    const CommandRow* row = findCommand(commandId);
    if (row == nullptr) return CommandOutcome::NotHandled;
    if (!isCommandAvailable(commandId, scope)) return CommandOutcome::Unavailable;
    row->run(scope);
    return CommandOutcome::Handled;
}

void applyMenuState(HMENU menu, const CommandScope& scope) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if ((info.fType & MFT_SEPARATOR) != 0 || info.hSubMenu != nullptr) continue;
        const int id = static_cast<int>(info.wID);
        const UINT position = MF_BYPOSITION;
        ::EnableMenuItem(menu, static_cast<UINT>(i),
                         position | (isCommandAvailable(id, scope) ? MF_ENABLED : MF_GRAYED));
        const CommandRow* row = findCommand(id);
        if (row != nullptr && row->checked != nullptr) {
            ::CheckMenuItem(menu, static_cast<UINT>(i), position | (row->checked(scope) ? MF_CHECKED : MF_UNCHECKED));
        }
    }
}

void showCommandMenu(HWND owner, HINSTANCE module, int menuId, POINT point, UINT flags, const CommandScope& scope) {
    UniqueMenu menu(::LoadMenuA(module, MAKEINTRESOURCEA(menuId)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (popup == nullptr) return;
    applyMenuState(popup, scope);
    ::TrackPopupMenu(popup, flags, point.x, point.y, 0, owner, nullptr);
}

void offerStartupWizard(Program& program) {
    HWND owner = dialogOwner(program);
    if (owner == nullptr) return;
    // A dialog the user opened in the first two seconds (Add, Options, ...)
    // holds the window disabled; a prompt on top of it could add a second
    // document into the slot that dialog's command took.
    if (!::IsWindowEnabled(::GetAncestor(owner, GA_ROOT))) return;
    if (!showStartupPrompt(program.module(), owner)) return;
    addByWizard(program, program.catalogue().findFreeSlot());
}

}  // namespace hs
