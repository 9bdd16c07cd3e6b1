// The document properties dialog (resource 129). The controls mirror a
// DocumentPropertiesModel: the button reactions go through the model and the
// controls are shown from it again; the edit fields are copied into it before
// OK and before the location button.
//
// The FTP connection test runs on a thread of its own (FtpTestRun) that
// posts a message for each progress text; only this thread touches the
// controls. While it runs, the location button and OK are disabled: the
// settings are stored after the test has ended or not at all. Cancel, the
// close box and Escape abandon the test and close the dialog at once, and
// so does leaving the FTP file type.
#include "dialogs/win32/properties_dialog.h"

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/win32/message_box.h"
#include "dialogs/ftp_connection_test.h"
#include "net/net_bounds.h"
#include "platform/win32/file_chooser.h"
#include "platform/win32/window_base.h"
#include "res/dialogs/properties_dialog_ids.h"

namespace hs {

namespace {

constexpr int kTypeButtons[] = {IDC_TYPE_HTML, IDC_TYPE_WEB, IDC_TYPE_FTP, IDC_TYPE_LOCAL};

// Dialog texts use "\n" for a line break; a static control wants "\r\n".
std::string withCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Posted by the test's thread: progress texts are waiting.
constexpr UINT kFtpProgressMessage = WM_APP + 40;

class PropertiesDialog : public Dialog {
public:
    PropertiesDialog(DocumentPropertiesModel model, const DocumentCatalogue& catalogue, FileSystem& files)
        : model_(std::move(model)), catalogue_(catalogue), files_(files) {}
    ~PropertiesDialog() override { abandonFtpTest(); }

    // The record OK built.
    const std::optional<Document>& result() const { return result_; }

private:
    BOOL onInitDialog() override {
        centreOnOwner();
        ::SetWindowTextA(window(), model_.title());
        setItemText(IDC_DOC_NAME, model_.fields.name);
        setItemText(IDC_LOCATION, model_.fields.location);
        setItemText(IDC_COUNT_STRING, model_.fields.countString);
        setItemText(IDC_MIDDLE_START, model_.fields.middleStart);
        setItemText(IDC_MIDDLE_END, model_.fields.middleEnd);
        setItemText(IDC_USER_NAME, model_.fields.userName);
        setItemText(IDC_PASSWORD, model_.fields.password);
        showModel();
        return TRUE;  // focus to the first tab stop
    }

    BOOL onCommand(int id, int code, HWND) override {
        if (code != BN_CLICKED) return FALSE;
        if (ftpTest_ && (id == IDC_TYPE_HTML || id == IDC_TYPE_WEB || id == IDC_TYPE_FTP || id == IDC_TYPE_LOCAL)) {
            abandonFtpTest();
        }
        switch (id) {
            case IDC_TYPE_HTML: model_.selectType(HtmlPage); break;
            case IDC_TYPE_WEB: model_.selectType(WebFile); break;
            case IDC_TYPE_FTP: model_.selectType(FtpFile); break;
            case IDC_TYPE_LOCAL: model_.selectType(LocalFile); break;
            case IDC_COMPARE_BINARY: model_.selectCompare(CompareChoice::Binary); break;
            case IDC_COMPARE_COUNT: model_.selectCompare(CompareChoice::Count); break;
            case IDC_COMPARE_MIDDLE: model_.selectCompare(CompareChoice::Middle); break;
            case IDC_USE_ACCOUNT: model_.setUseAccount(isChecked(IDC_USE_ACCOUNT)); break;
            case IDC_LOCATION_ACTION:
                runLocationAction();
                return TRUE;
            case IDOK:
                if (!ftpTest_) accept();
                return TRUE;
            case IDCANCEL:
                abandonFtpTest();
                endDialog(0);
                return TRUE;
            default:
                return FALSE;
        }
        showModel();
        return TRUE;
    }

    // Shows the selections, enabled states and texts of the model; field
    // contents are left as they are.
    void showModel() {
        for (int i = 0; i < 4; ++i) setChecked(kTypeButtons[i], model_.type() == i);
        setChecked(IDC_COMPARE_BINARY, model_.compare() == CompareChoice::Binary);
        setChecked(IDC_COMPARE_COUNT, model_.compare() == CompareChoice::Count);
        setChecked(IDC_COMPARE_MIDDLE, model_.compare() == CompareChoice::Middle);
        setChecked(IDC_USE_ACCOUNT, model_.useAccount());
        enableItem(IDC_COMPARE_BINARY, model_.compareButtonsEnabled());
        enableItem(IDC_COMPARE_COUNT, model_.compareButtonsEnabled());
        enableItem(IDC_COMPARE_MIDDLE, model_.compareButtonsEnabled());
        enableItem(IDC_COUNT_STRING, model_.countFieldEnabled());
        enableItem(IDC_MIDDLE_START, model_.markerFieldsEnabled());
        enableItem(IDC_MIDDLE_END, model_.markerFieldsEnabled());
        enableItem(IDC_USE_ACCOUNT, model_.useAccountEnabled());
        enableItem(IDC_USER_NAME, model_.accountFieldsEnabled());
        enableItem(IDC_PASSWORD, model_.accountFieldsEnabled());
        setItemText(IDC_LOCATION_GROUP, model_.locationCaption());
        setItemText(IDC_LOCATION_ACTION, model_.actionCaption());
        setItemText(IDC_HINT, withCarriageReturns(model_.hint()));
    }

    void readFields() {
        model_.fields.name = itemText(IDC_DOC_NAME);
        model_.fields.location = itemText(IDC_LOCATION);
        model_.fields.countString = itemText(IDC_COUNT_STRING);
        model_.fields.middleStart = itemText(IDC_MIDDLE_START);
        model_.fields.middleEnd = itemText(IDC_MIDDLE_END);
        model_.fields.userName = itemText(IDC_USER_NAME);
        model_.fields.password = itemText(IDC_PASSWORD);
    }

    void accept() {
        readFields();
        Document built = zeroRecord();
        const std::string refusal = model_.accept(namedSlots(catalogue_), files_, built);
        if (!refusal.empty()) {
            showMessage(refusal);
            return;
        }
        result_ = built;
        endDialog(1);
    }

    void runLocationAction() {
        readFields();
        const std::string refusal = model_.checkActionAccount();
        if (!refusal.empty()) {
            showMessage(refusal);
            return;
        }
        switch (model_.locationAction()) {
            case LocationAction::OpenInBrowser: openInBrowser(); break;
            case LocationAction::TestFtp: testFtp(); break;
            case LocationAction::ChooseFile: chooseFile(); break;
        }
    }

    void openInBrowser() {
        const std::string address = model_.browserAddress();
        if (address.empty()) {
            showMessage(kEnterUrlText);
            return;
        }
        // A failed open is not reported.
        ::ShellExecuteA(window(), "open", address.c_str(), nullptr, ".", SW_SHOWNORMAL);
    }

    void testFtp() {
        FtpTestTarget target;
        const std::string refusal = model_.prepareFtpTest(target);
        if (!refusal.empty()) {
            showMessage(refusal);
            return;
        }
        HWND dialog = window();
        ftpTest_ = FtpTestRun::start(target, netBounds(),
                                     [dialog] { ::PostMessageA(dialog, kFtpProgressMessage, 0, 0); });
        if (ftpTest_) showTestRunning(true);
    }

    BOOL onMessage(UINT message, WPARAM, LPARAM) override {
        if (message == WM_DESTROY) abandonFtpTest();
        if (message != kFtpProgressMessage) return FALSE;
        if (!ftpTest_) return TRUE;  // from a test abandoned since
        bool finished = false;
        for (const std::string& progress : ftpTest_->takeProgress(finished)) {
            model_.showFtpProgress(progress);
            setItemText(IDC_HINT, withCarriageReturns(progress));
        }
        if (finished) {
            ftpTest_.reset();
            showTestRunning(false);
        }
        return TRUE;
    }

    // The test's thread ends by itself and never posts again.
    void abandonFtpTest() {
        if (!ftpTest_) return;
        ftpTest_->abandon();
        ftpTest_.reset();
        if (window()) showTestRunning(false);
    }

    void showTestRunning(bool running) {
        // The keyboard stays with the dialog: the focus leaves a button
        // about to be disabled for Cancel.
        HWND action = ::GetDlgItem(window(), IDC_LOCATION_ACTION);
        if (running && ::GetFocus() == action) {
            ::SendMessageA(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(window(), IDCANCEL)), TRUE);
        }
        enableItem(IDC_LOCATION_ACTION, !running);
        enableItem(IDOK, !running);
    }

    void chooseFile() {
        const std::string path = chooseExistingFile(window(), "C:\\");
        if (!path.empty()) setItemText(IDC_LOCATION, path);
    }

    void showMessage(const std::string& message) {
        hs::showMessage(window(), message.c_str(), MB_OK | MB_ICONINFORMATION);
    }

    DocumentPropertiesModel model_;
    const DocumentCatalogue& catalogue_;
    FileSystem& files_;
    std::shared_ptr<FtpTestRun> ftpTest_;
    std::optional<Document> result_;
};

}  // namespace

std::optional<Document> showPropertiesDialog(HINSTANCE module, HWND owner, PropertiesMode mode,
                                             std::size_t sourceSlot, const DocumentCatalogue& catalogue,
                                             FileSystem& files) {
    DocumentPropertiesModel model = mode == PropertiesAdd
                                        ? DocumentPropertiesModel()
                                        : DocumentPropertiesModel(mode, catalogue.record(sourceSlot), sourceSlot);
    PropertiesDialog dialog(std::move(model), catalogue, files);
    if (dialog.runModal(module, IDD_PROPERTIES, owner) != 1) return std::nullopt;
    return dialog.result();
}

}  // namespace hs
