#include "dialogs/add_wizard_model.h"

namespace hs {

const char* const kWizardNextCaption = "&Next >>";
const char* const kWizardFinishCaption = "&Finish";

int32_t AddWizardModel::type() const {
    return pending_.type >= HtmlPage && pending_.type <= LocalFile ? pending_.type : HtmlPage;
}

std::string AddWizardModel::addressExample() const {
    switch (type()) {
        case WebFile: return "e.g. http://www.example.com/download/setup.exe";
        case FtpFile: return "e.g. ftp.example.org/pub/project.gz";
        default: return "e.g. http://www.example.com/news/index.html";
    }
}

const char* AddWizardModel::accountForwardCaption() const {
    return type() == HtmlPage ? kWizardNextCaption : kWizardFinishCaption;
}

CompareChoice AddWizardModel::compare() const {
    if (pending_.countMode == 1) return CompareChoice::Count;
    if (pending_.middleMode == 1) return CompareChoice::Middle;
    return CompareChoice::Binary;
}

void AddWizardModel::move(WizardButton how, WizardStep back, WizardStep forward) {
    step_ = how == WizardBack ? back : forward;
}

// Here the name rule comes before the duplicate test (the properties dialog
// tests for duplicates first).
std::string AddWizardModel::leaveName(const std::string& typed, const std::vector<NamedSlot>& used,
                                      FileSystem& files) {
    const std::string name = readField(typed);
    setField(pending_.name, name);
    const std::string refusal = nameRefusal(name, used, kNoSlot, files, true);
    if (!refusal.empty()) return refusal;
    step_ = WizardStep::Type;
    return {};
}

void AddWizardModel::leaveType(WizardButton how, int32_t type) {
    if (type >= HtmlPage && type <= LocalFile) pending_.type = type;
    move(how, WizardStep::Name, pending_.type == LocalFile ? WizardStep::File : WizardStep::Address);
}

// Pages and web files are stored normalized, on Back too (so an empty field
// becomes "http://"); an FTP location is stored as typed. A location that
// the record cannot hold whole is refused rather than cut.
std::string AddWizardModel::leaveAddress(WizardButton how, const std::string& typed) {
    if (how == WizardForward && typed.empty()) return kEnterUrlText;
    std::string location;
    const std::string refusal = storedLocation(type(), typed, location);
    if (!refusal.empty()) return refusal;
    setField(pending_.url, location);
    move(how, WizardStep::Type, WizardStep::Account);
    return {};
}

std::string AddWizardModel::leaveFile(WizardButton how, const std::string& typed) {
    std::string location;
    const std::string refusal = storedLocation(LocalFile, typed, location);
    if (!refusal.empty()) return refusal;
    setField(pending_.url, location);
    if (how == WizardBack) {
        step_ = WizardStep::Type;
        return {};
    }
    if (typed.empty()) return kEnterFilePathText;
    finish();
    return {};
}

// The account fields are stored in every case, also when "Yes" is not
// checked; only Next and Finish with "Yes" checked test them.
std::string AddWizardModel::leaveAccount(WizardButton how, bool use, const std::string& user,
                                         const std::string& password) {
    pending_.useAccount = use ? 1 : 0;
    setField(pending_.userName, readField(user));
    setField(pending_.password, readField(password));
    if (how == WizardBack) {
        step_ = WizardStep::Address;
        return {};
    }
    if (use) {
        const std::string refusal = accountRefusal(readField(user), readField(password));
        if (!refusal.empty()) return refusal;
    }
    if (type() == HtmlPage) {
        step_ = WizardStep::Compare;
    } else {
        finish();
    }
    return {};
}

// The three fields are stored in every case; the selected button decides
// the modes, and only Finish tests the fields it needs.
std::string AddWizardModel::leaveCompare(WizardButton how, CompareChoice choice, const std::string& count,
                                         const std::string& start, const std::string& end) {
    setField(pending_.countString, readField(count));
    setField(pending_.middleStart, readField(start));
    setField(pending_.middleEnd, readField(end));
    const bool finishing = how == WizardForward;
    if (finishing) {
        const std::string refusal = compareRefusal(choice, count, start, end);
        if (!refusal.empty()) return refusal;
    }
    pending_.countMode = choice == CompareChoice::Count ? 1 : 0;
    pending_.middleMode = choice == CompareChoice::Middle ? 1 : 0;
    if (finishing) {
        finish();
    } else {
        step_ = WizardStep::Account;
    }
    return {};
}

bool runAddWizard(AddWizardModel& wizard, const std::function<WizardButton(WizardStep)>& showStep) {
    while (!wizard.finished()) {
        const WizardStep shown = wizard.step();
        const WizardButton how = showStep(shown);
        if (how == WizardCancel) return false;
        // A dialog that ended without leaving its step through the model
        // (it could not be shown) ends the wizard like Cancel.
        if (!wizard.finished() && wizard.step() == shown) return false;
    }
    return true;
}

}  // namespace hs
