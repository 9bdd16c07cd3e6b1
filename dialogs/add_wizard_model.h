// The add wizard as a step machine, free of any window code: which step
// follows which, what each step shows when it opens, what it writes back
// into the record being built (also on Back, and also for steps the path
// later leaves out), and the checks of Next and Finish.
//
// The wizard holds the record it builds, all zero bytes at the start. Every
// step's dialog asks the model to leave by Next/Finish or Back; a refusal is
// a message to show, and the step stays open. Cancel is the caller's:
// nothing has been stored by then.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/record.h"
#include "dialogs/document_properties_model.h"
#include "platform/file_system.h"

namespace hs {

enum class WizardStep {
    Name,     // step 1
    Type,     // step 2
    Address,  // step 3 for pages, web files and FTP files
    File,     // step 3 for local files
    Account,  // step 4
    Compare,  // step 5, pages only
};

// How a step's dialog ended.
enum WizardButton : int {
    WizardCancel = 0,
    WizardForward = 1,  // "&Next >>" or "&Finish"
    WizardBack = 3,
};

extern const char* const kWizardNextCaption;    // "&Next >>"
extern const char* const kWizardFinishCaption;  // "&Finish"

class AddWizardModel {
public:
    // Starts at step 1 with a record of all zero bytes.
    AddWizardModel() = default;

    WizardStep step() const { return step_; }
    // True once the last step of the path was left by Finish.
    bool finished() const { return finished_; }
    // The record as the steps have filled it so far.
    const Document& record() const { return pending_; }

    // What the steps show when they open, read from the pending record.
    std::string name() const { return fieldText(pending_.name); }
    int32_t type() const;  // a type outside the four shows as HTML/CGI page
    std::string location() const { return fieldText(pending_.url); }
    // The line under the address field: "e.g. " and an example of the type.
    std::string addressExample() const;
    bool useAccount() const { return pending_.useAccount == 1; }
    std::string userName() const { return fieldText(pending_.userName); }
    std::string password() const { return fieldText(pending_.password); }
    // Step 4's first button: "&Next >>" for a page, "&Finish" otherwise.
    const char* accountForwardCaption() const;
    CompareChoice compare() const;
    std::string countString() const { return fieldText(pending_.countString); }
    std::string middleStart() const { return fieldText(pending_.middleStart); }
    std::string middleEnd() const { return fieldText(pending_.middleEnd); }

    // Leaving the steps. Each returns the message of a failed check (the
    // step stays) or an empty string (the record holds the step's values
    // and the model is on the next step, or finished). The texts are the
    // fields' contents as typed.
    std::string leaveName(const std::string& typed, const std::vector<NamedSlot>& used, FileSystem& files);
    void leaveType(WizardButton how, int32_t type);
    std::string leaveAddress(WizardButton how, const std::string& typed);
    std::string leaveFile(WizardButton how, const std::string& typed);
    std::string leaveAccount(WizardButton how, bool use, const std::string& user, const std::string& password);
    std::string leaveCompare(WizardButton how, CompareChoice choice, const std::string& count,
                             const std::string& start, const std::string& end);

private:
    void move(WizardButton how, WizardStep back, WizardStep forward);
    // The finished record waits for its first retrieval.
    void finish() {
        finished_ = true;
        pending_.status = WaitingForRetrieve;
    }

    Document pending_ = zeroRecord();
    WizardStep step_ = WizardStep::Name;
    bool finished_ = false;
};

// Runs the steps in the order the model gives until Finish or Cancel.
// `showStep` shows one step's dialog and returns how it ended; the dialog
// has already left the step through the model when it returns Next or Back.
// True when the wizard finished, false on Cancel.
bool runAddWizard(AddWizardModel& wizard, const std::function<WizardButton(WizardStep)>& showStep);

}  // namespace hs
