// The program's command handlers: what each row of the command table does in
// the Windows program, over the program's windows and parts.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "app/command_table.h"

namespace hs {

class Program;
class WhatChangedWindows;

class ProgramCommands final : public CommandHandlers {
public:
    explicit ProgramCommands(Program& program);
    ~ProgramCommands() override;

    void addDocument() override;
    void editDocument() override;
    void duplicateDocument() override;
    void openDocuments() override;
    void viewDocumentHeader() override;
    void saveDocumentAs() override;
    void deleteDocuments() override;
    void checkDocuments() override;
    void checkAllDocuments() override;
    void selectAllDocuments() override;
    void deselectAllDocuments() override;
    void setDocumentsNotChanged() override;
    void setAllDocumentsNotChanged() override;
    void showWhatChanged() override;
    void toggleToolbar() override;
    void toggleStatusBar() override;
    void backgroundDefault() override;
    void backgroundEmpty() override;
    void backgroundCustom() override;
    void showOptions() override;
    void exitProgram() override;
    void showAbout() override;
    void openManual() override;
    void openSupportPage() override;
    void openHomePage() override;
    void openFromTray() override;

    // The start-up prompt: with "&Start add wizard >>" the wizard runs at
    // once, without the method choice.
    void offerStartupWizard();

    // The "What changed" window for the document named `name` (the balloon
    // of a change leads there).
    void showWhatChangedOf(const std::string& name);

private:
    // Runs the wizard for slot `slot` and stores what it produced.
    void addByWizard(std::size_t slot);

    Program& program_;
    std::unique_ptr<WhatChangedWindows> whatChanged_;
    // The method the method choice preselects: the wizard at every start,
    // then the user's last choice until the program ends.
    bool preferWizard_ = true;
};

}  // namespace hs
