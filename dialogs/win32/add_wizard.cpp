// The add wizard's dialogs over an AddWizardModel: each step shows what the
// model reads from the pending record, and Next, Finish and Back leave the
// step through the model, which checks and stores; a refusal is shown and
// the step stays open.
#include "dialogs/win32/add_wizard.h"

#include "dialogs/win32/message_box.h"
#include "dialogs/add_wizard_model.h"
#include "platform/win32/file_chooser.h"
#include "platform/win32/window_base.h"
#include "res/dialogs/add_wizard_ids.h"

namespace hs {

namespace {

// The edit fields take at most 511 characters, what the record holds.
constexpr WPARAM kFieldLimit = kTextFieldSize - 1;

constexpr int kTypeButtons[] = {IDC_WIZARD_TYPE_HTML, IDC_WIZARD_TYPE_WEB, IDC_WIZARD_TYPE_FTP,
                                IDC_WIZARD_TYPE_LOCAL};

int templateOf(WizardStep step) {
    switch (step) {
        case WizardStep::Name: return IDD_WIZARD_NAME;
        case WizardStep::Type: return IDD_WIZARD_TYPE;
        case WizardStep::Address: return IDD_WIZARD_ADDRESS;
        case WizardStep::File: return IDD_WIZARD_FILE;
        case WizardStep::Account: return IDD_WIZARD_ACCOUNT;
        case WizardStep::Compare: return IDD_WIZARD_COMPARE;
    }
    return IDD_WIZARD_NAME;
}

// A dialog whose buttons 1 and 2 end it with 1 and 0.
class ChoiceDialog : public Dialog {
protected:
    BOOL onCommand(int id, int code, HWND) override {
        if (code != BN_CLICKED) return FALSE;
        if (id == IDOK) {
            accept();
            endDialog(1);
            return TRUE;
        }
        if (id == IDCANCEL) {
            endDialog(0);
            return TRUE;
        }
        return FALSE;
    }
    virtual void accept() {}
};

class MethodChoice : public ChoiceDialog {
public:
    explicit MethodChoice(bool preferWizard) : preferWizard_(preferWizard) {}
    bool preferWizard() const { return preferWizard_; }

private:
    BOOL onInitDialog() override {
        centreOnOwner();
        setChecked(IDC_METHOD_WIZARD, preferWizard_);
        setChecked(IDC_METHOD_CLASSIC, !preferWizard_);
        return TRUE;
    }
    void accept() override { preferWizard_ = isChecked(IDC_METHOD_WIZARD); }

    bool preferWizard_;
};

class StartupPrompt : public ChoiceDialog {
    BOOL onInitDialog() override {
        centreOnOwner();
        ::SendDlgItemMessageA(window(), IDC_PROMPT_ICON, STM_SETICON,
                              reinterpret_cast<WPARAM>(::LoadIconA(nullptr, IDI_INFORMATION)), 0);
        return TRUE;
    }
};

class WizardStepDialog : public Dialog {
public:
    WizardStepDialog(AddWizardModel& wizard, const DocumentCatalogue& catalogue, FileSystem& files,
                     const std::function<void(HWND)>& explainMiddle)
        : wizard_(wizard), catalogue_(catalogue), files_(files), explainMiddle_(explainMiddle) {}

private:
    BOOL onInitDialog() override {
        centreOnOwner();
        switch (wizard_.step()) {
            case WizardStep::Name:
                showField(IDC_WIZARD_NAME, wizard_.name());
                break;
            case WizardStep::Type:
                for (int type = HtmlPage; type <= LocalFile; ++type) {
                    setChecked(kTypeButtons[type], wizard_.type() == type);
                }
                break;
            case WizardStep::Address:
                showField(IDC_WIZARD_LOCATION, wizard_.location());
                setItemText(IDC_WIZARD_EXAMPLE, wizard_.addressExample());
                break;
            case WizardStep::File:
                showField(IDC_WIZARD_PATH, wizard_.location());
                break;
            case WizardStep::Account:
                setChecked(IDC_WIZARD_ACCOUNT, wizard_.useAccount());
                showField(IDC_WIZARD_USER_NAME, wizard_.userName());
                showField(IDC_WIZARD_PASSWORD, wizard_.password());
                setItemText(IDOK, wizard_.accountForwardCaption());
                break;
            case WizardStep::Compare:
                showCompare(wizard_.compare());
                showField(IDC_WIZARD_COUNT, wizard_.countString());
                showField(IDC_WIZARD_START, wizard_.middleStart());
                showField(IDC_WIZARD_END, wizard_.middleEnd());
                break;
        }
        return TRUE;  // focus to the first tab stop
    }

    BOOL onCommand(int id, int code, HWND) override {
        if (code != BN_CLICKED) return FALSE;
        switch (id) {
            case IDOK: leave(WizardForward); return TRUE;
            case IDC_WIZARD_BACK: leave(WizardBack); return TRUE;
            case IDCANCEL: endDialog(WizardCancel); return TRUE;
            case IDC_WIZARD_BROWSE: browse(); return TRUE;
            case IDC_WIZARD_EXPLAIN: explainMiddle_(window()); return TRUE;
            case IDC_WIZARD_BINARY: showCompare(CompareChoice::Binary); return TRUE;
            case IDC_WIZARD_BY_COUNT: showCompare(CompareChoice::Count); return TRUE;
            case IDC_WIZARD_BY_MIDDLE: showCompare(CompareChoice::Middle); return TRUE;
            default: return FALSE;
        }
    }

    void leave(WizardButton how) {
        std::string refusal;
        switch (wizard_.step()) {
            case WizardStep::Name:
                if (how != WizardForward) return;  // step 1 has no Back
                refusal = wizard_.leaveName(itemText(IDC_WIZARD_NAME), namedSlots(catalogue_), files_);
                break;
            case WizardStep::Type:
                wizard_.leaveType(how, selectedType());
                break;
            case WizardStep::Address:
                refusal = wizard_.leaveAddress(how, itemText(IDC_WIZARD_LOCATION));
                break;
            case WizardStep::File:
                refusal = wizard_.leaveFile(how, itemText(IDC_WIZARD_PATH));
                break;
            case WizardStep::Account:
                refusal = wizard_.leaveAccount(how, isChecked(IDC_WIZARD_ACCOUNT), itemText(IDC_WIZARD_USER_NAME),
                                               itemText(IDC_WIZARD_PASSWORD));
                break;
            case WizardStep::Compare:
                refusal = wizard_.leaveCompare(how, selectedCompare(), itemText(IDC_WIZARD_COUNT),
                                               itemText(IDC_WIZARD_START), itemText(IDC_WIZARD_END));
                break;
        }
        if (!refusal.empty()) {
            showMessage(window(), refusal.c_str(), MB_OK | MB_ICONINFORMATION);
            return;
        }
        endDialog(how);
    }

    int32_t selectedType() const {
        for (int type = HtmlPage; type <= LocalFile; ++type) {
            if (isChecked(kTypeButtons[type])) return type;
        }
        return wizard_.type();
    }

    CompareChoice selectedCompare() const {
        if (isChecked(IDC_WIZARD_BY_COUNT)) return CompareChoice::Count;
        if (isChecked(IDC_WIZARD_BY_MIDDLE)) return CompareChoice::Middle;
        return CompareChoice::Binary;
    }

    // The three buttons are set together: the edit fields between them
    // are part of their group, and all three fields stay enabled.
    void showCompare(CompareChoice choice) {
        setChecked(IDC_WIZARD_BINARY, choice == CompareChoice::Binary);
        setChecked(IDC_WIZARD_BY_COUNT, choice == CompareChoice::Count);
        setChecked(IDC_WIZARD_BY_MIDDLE, choice == CompareChoice::Middle);
    }

    void browse() {
        const std::string path = chooseExistingFile(window(), "c:\\");
        if (!path.empty()) setItemText(IDC_WIZARD_PATH, path);
    }

    void showField(int id, const std::string& text) {
        ::SendDlgItemMessageA(window(), id, EM_LIMITTEXT, kFieldLimit, 0);
        setItemText(id, text);
    }

    AddWizardModel& wizard_;
    const DocumentCatalogue& catalogue_;
    FileSystem& files_;
    const std::function<void(HWND)>& explainMiddle_;
};

}  // namespace

std::optional<bool> showAddMethodChoice(HINSTANCE module, HWND owner, bool preferWizard) {
    MethodChoice dialog(preferWizard);
    if (dialog.runModal(module, IDD_ADD_METHOD, owner) != 1) return std::nullopt;
    return dialog.preferWizard();
}

bool showStartupPrompt(HINSTANCE module, HWND owner) {
    StartupPrompt dialog;
    return dialog.runModal(module, IDD_STARTUP_PROMPT, owner) == 1;
}

std::optional<Document> runAddWizardDialogs(HINSTANCE module, HWND owner, const DocumentCatalogue& catalogue,
                                            FileSystem& files, const std::function<void(HWND)>& explainMiddle) {
    AddWizardModel wizard;
    const bool finished = runAddWizard(wizard, [&](WizardStep step) {
        WizardStepDialog dialog(wizard, catalogue, files, explainMiddle);
        const INT_PTR result = dialog.runModal(module, templateOf(step), owner);
        return result == WizardForward || result == WizardBack ? static_cast<WizardButton>(result) : WizardCancel;
    });
    if (!finished) return std::nullopt;
    return wizard.record();
}

}  // namespace hs
