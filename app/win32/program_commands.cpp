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
#include "dialogs/win32/what_changed_window.h"
#include "res/command_ids.h"

namespace hs {

ProgramCommands::ProgramCommands(Program& program) : program_(program) {}

ProgramCommands::~ProgramCommands() = default;

// Add: the slot first, then the method choice, then the wizard or the
// properties dialog. Cancel anywhere stores nothing (a slot appended for
// the new document stays free).
void ProgramCommands::addDocument() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    const std::size_t slot = program_.catalogue().findFreeSlot();
    if (showAddMethodChoice(program_.module(), view->window(), preferWizard_) != 1) return;
    if (preferWizard_) {
        addByWizard(slot);
        return;
    }
    if (showPropertiesDialog(program_.module(), view->window(), PropertiesAdd, 0, program_.catalogue(),
                             program_.files()) != 1) {
        return;
    }
    CommandContext ctx = view->commandContext();
    storeNewRecord(ctx, slot, pendingRecord());
}

void ProgramCommands::offerStartupWizard() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    // A dialog the user opened in the first two seconds (Add, Options, ...)
    // holds the window disabled; a prompt on top of it could add a second
    // document into the slot that dialog's command took.
    if (!::IsWindowEnabled(::GetAncestor(view->window(), GA_ROOT))) return;
    if (showStartupPrompt(program_.module(), view->window()) != 1) return;
    addByWizard(program_.catalogue().findFreeSlot());
}

void ProgramCommands::addByWizard(std::size_t slot) {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    const auto explainMiddle = [this](HWND) { program_.openManualSection("middle"); };
    if (!runAddWizardDialogs(program_.module(), view->window(), program_.catalogue(), program_.files(),
                             explainMiddle)) {
        return;
    }
    Document& added = pendingRecord();
    added.status = WaitingForRetrieve;
    CommandContext ctx = view->commandContext();
    storeNewRecord(ctx, slot, added);
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
    if (showPropertiesDialog(program_.module(), view->window(), PropertiesEdit, source, program_.catalogue(),
                             program_.files()) != 1) {
        return;
    }
    applyEdit(ctx, row, source, pendingRecord());
}

void ProgramCommands::duplicateDocument() {
    CHalvorsightView* view = program_.view();
    if (view == nullptr) return;
    CommandContext ctx = view->commandContext();
    std::size_t copySlot = 0;
    long sourceSlot = -1;
    if (!findDuplicateTarget(ctx, copySlot, sourceSlot)) return;
    if (showPropertiesDialog(program_.module(), view->window(), PropertiesDuplicate,
                             static_cast<std::size_t>(sourceSlot), program_.catalogue(), program_.files()) != 1) {
        return;
    }
    storeNewRecord(ctx, copySlot, pendingRecord());
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

void ProgramCommands::showWhatChanged() {
    std::string name;
    if (CHalvorsightView* view = program_.view(); view != nullptr && view->singleSelectedName(name)) {
        showWhatChangedOf(name);
    }
}

void ProgramCommands::showWhatChangedOf(const std::string& name) {
    if (!whatChanged_) {
        WhatChangedServices services;
        services.module = program_.module();
        services.catalogue = &program_.catalogue();
        services.files = &program_.files();
        services.launcher = &program_.launcher();
        whatChanged_ = std::make_unique<WhatChangedWindows>(services);
    }
    CMainFrame* frame = program_.frame();
    whatChanged_->show(frame != nullptr ? frame->window() : nullptr, name);
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
    showOptionsDialog(program_.module(), view != nullptr ? view->window() : nullptr, program_.options(),
                      &program_.settings());
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
