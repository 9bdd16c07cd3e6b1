#include "app/win32/program_commands.h"

#include "app/win32/about_box.h"
#include "app/win32/halvorsight_view.h"
#include "app/win32/main_frame.h"
#include "app/win32/program.h"
#include "app/win32/shell_links.h"
#include "app/win32/tray_icon.h"
#include "dialogs/kept_content.h"
#include "dialogs/win32/add_wizard.h"
#include "dialogs/win32/header_viewer.h"
#include "dialogs/win32/options_dialog.h"
#include "dialogs/win32/properties_dialog.h"
#include "res/command_ids.h"

namespace hs {

// Add: the slot first, then the method choice, then the wizard or the
// properties dialog. Cancel anywhere stores nothing (a slot appended for
// the new document stays free).
void ProgramCommands::addDocument() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    const std::size_t slot = program_.catalogue().findFreeSlot();
    const std::optional<bool> byWizard = showAddMethodChoice(program_.module(), view->window(), preferWizard_);
    if (!byWizard) return;
    preferWizard_ = *byWizard;
    if (preferWizard_) {
        addByWizard(slot);
        return;
    }
    const std::optional<Document> added = showPropertiesDialog(program_.module(), view->window(), PropertiesAdd, 0,
                                                               program_.catalogue(), program_.files());
    if (!added) return;
    CommandContext ctx = view->commandContext();
    storeNewRecord(ctx, slot, *added);
}

void ProgramCommands::offerStartupWizard() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    // A dialog the user opened in the first two seconds (Add, Options, ...)
    // holds the window disabled; a prompt on top of it could add a second
    // document into the slot that dialog's command took.
    if (!::IsWindowEnabled(::GetAncestor(view->window(), GA_ROOT))) return;
    if (!showStartupPrompt(program_.module(), view->window())) return;
    addByWizard(program_.catalogue().findFreeSlot());
}

void ProgramCommands::addByWizard(std::size_t slot) {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    const auto explainMiddle = [this](HWND) { program_.openManualSection("middle"); };
    const std::optional<Document> added =
        runAddWizardDialogs(program_.module(), view->window(), program_.catalogue(), program_.files(), explainMiddle);
    if (!added) return;
    CommandContext ctx = view->commandContext();
    storeNewRecord(ctx, slot, *added);
}

// The viewer and Save as work on the kept content of the one selected,
// retrieved document. The file is read before the viewer opens and copied
// after the save-file dialog closed, each time under the document files
// lock, so a worker's commit never finds it open.
void ProgramCommands::viewDocumentHeader() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    CommandContext ctx = view->commandContext();
    std::string name;
    if (!findKeptContentTarget(ctx, name)) return;
    if (showHeaderViewer(program_.module(), view->window(), ctx.catalogue, ctx.files, name) == 0) {
        ctx.host.showError(kCannotOpenDocumentText);
    }
}

void ProgramCommands::saveDocumentAs() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    CommandContext ctx = view->commandContext();
    std::string name;
    if (!findKeptContentTarget(ctx, name)) return;
    const std::string target = chooseSaveAsPath(view->window());
    if (target.empty()) return;
    if (!copyKeptContent(ctx.catalogue, ctx.files, name, target)) ctx.host.showError(kSaveFailedText);
}

// Edit and Duplicate: the properties dialog, owned by the list view window,
// between finding the target and storing what the dialog produced. Cancel
// changes nothing (a slot appended for a copy stays free).
void ProgramCommands::editDocument() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    CommandContext ctx = view->commandContext();
    int row = -1;
    long slot = -1;
    if (!findEditTarget(ctx, row, slot)) return;
    const auto source = static_cast<std::size_t>(slot);
    const std::optional<Document> edited = showPropertiesDialog(program_.module(), view->window(), PropertiesEdit,
                                                                source, program_.catalogue(), program_.files());
    if (!edited) return;
    applyEdit(ctx, row, source, *edited);
}

void ProgramCommands::duplicateDocument() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    CommandContext ctx = view->commandContext();
    std::size_t copySlot = 0;
    long sourceSlot = -1;
    if (!findDuplicateTarget(ctx, copySlot, sourceSlot)) return;
    const std::optional<Document> copy =
        showPropertiesDialog(program_.module(), view->window(), PropertiesDuplicate,
                             static_cast<std::size_t>(sourceSlot), program_.catalogue(), program_.files());
    if (!copy) return;
    storeNewRecord(ctx, copySlot, *copy);
}

void ProgramCommands::openDocuments() {
    if (CHalvorsightView* view = program_.view()) view->openSelectedDocuments();
}

void ProgramCommands::deleteDocuments() {
    if (CHalvorsightView* view = program_.view()) view->deleteSelectedDocuments();
}

void ProgramCommands::checkDocuments() {
    if (CHalvorsightView* view = program_.view()) view->checkSelectedDocuments();
}

void ProgramCommands::checkAllDocuments() {
    if (CHalvorsightView* view = program_.view()) view->checkAllDocuments();
}

void ProgramCommands::selectAllDocuments() {
    if (CHalvorsightView* view = program_.view()) view->setSelectionOfAllRows(true);
}

void ProgramCommands::deselectAllDocuments() {
    if (CHalvorsightView* view = program_.view()) view->setSelectionOfAllRows(false);
}

void ProgramCommands::setDocumentsNotChanged() {
    if (CHalvorsightView* view = program_.view()) view->setSelectedDocumentsNotChanged();
}

void ProgramCommands::setAllDocumentsNotChanged() {
    if (CHalvorsightView* view = program_.view()) view->setAllDocumentsNotChanged();
}

void ProgramCommands::toggleToolbar() {
    if (CMainFrame* frame = program_.frame()) frame->toggleToolbar();
}

void ProgramCommands::toggleStatusBar() {
    if (CMainFrame* frame = program_.frame()) frame->toggleStatusBar();
}

void ProgramCommands::backgroundDefault() {
    if (CHalvorsightView* view = program_.view()) view->useDefaultBackground();
}

void ProgramCommands::backgroundEmpty() {
    if (CHalvorsightView* view = program_.view()) view->useEmptyBackground();
}

void ProgramCommands::backgroundCustom() {
    if (CHalvorsightView* view = program_.view()) view->chooseCustomBackground();
}

void ProgramCommands::showOptions() {
    // Owned by the list view window, like the other windows of the view's
    // commands.
    CHalvorsightView* view = program_.view();
    const std::optional<OptionsDialogModel> applied =
        showOptionsDialog(program_.module(), view != nullptr ? view->window() : nullptr, program_.options().current());
    if (applied) applyOptionsDialog(*applied, program_.options());
}

void ProgramCommands::exitProgram() { program_.shutDown(); }

void ProgramCommands::showAbout() {
    CMainFrame* frame = program_.frame();
    showAboutBox(program_.module(), frame != nullptr ? frame->window() : nullptr);
}

void ProgramCommands::openManual() { openHelpLink(ID_HELP_MANUAL); }
void ProgramCommands::openSupportPage() { openHelpLink(ID_HELP_SUPPORT); }
void ProgramCommands::openHomePage() { openHelpLink(ID_HELP_HOMEPAGE); }

void ProgramCommands::openFromTray() { restoreFromTray(program_.shell()); }

}  // namespace hs
