// The Options dialog (resource 138). The controls mirror an
// OptionsDialogModel: check boxes and the minutes text are set from it when
// the dialog opens and read back into it on "&Apply"; the spin arrows step
// the minutes text through the model's arithmetic.
#include "dialogs/win32/options_dialog.h"

#include <commctrl.h>

#include <string>

#include "dialogs/options_dialog_model.h"
#include "platform/win32/window_base.h"
#include "res/dialogs/options_dialog_ids.h"

namespace hs {

namespace {

// The position the spin control is parked at. Its own position is never
// used; keeping it in the middle of its range means the control never sits at
// a limit, so every arrow press reaches the dialog as a notification.
constexpr int kSpinLow = 0;
constexpr int kSpinHigh = 100;
constexpr int kSpinParked = 50;

class OptionsDialog : public Dialog {
public:
    OptionsDialog(const AppOptions& stored, bool balloons) : model_(stored), balloons_(balloons) {}
    const OptionsDialogModel& model() const { return model_; }
    bool balloons() const { return balloons_; }

private:
    BOOL onInitDialog() override {
        centreOnOwner();
        parkSpin();
        showModel();
        return TRUE;  // focus to the first tab stop
    }

    BOOL onCommand(int id, int code, HWND) override {
        switch (id) {
            case IDC_PERIODIC_CHECK:
                if (code == BN_CLICKED) {
                    model_.setPeriodicCheck(isChecked(IDC_PERIODIC_CHECK));
                    enableMinutes(model_.minutesEnabled());
                }
                return TRUE;
            case IDOK:
                readControls();
                endDialog(1);
                return TRUE;
            case IDCANCEL:
                endDialog(0);
                return TRUE;
            default:
                return FALSE;
        }
    }

    BOOL onNotify(const NMHDR& header) override {
        if (header.idFrom != IDC_MINUTES_SPIN || header.code != UDN_DELTAPOS) return FALSE;
        const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
        model_.setMinutesText(itemText(IDC_MINUTES_TEXT));
        model_.spin(change.iDelta);
        setItemText(IDC_MINUTES_TEXT, model_.minutesText());
        // Refuse the position change: the control stays parked.
        setMessageResult(TRUE);
        return TRUE;
    }

    void enableMinutes(bool on) {
        enableItem(IDC_MINUTES_SPIN, on);
        enableItem(IDC_MINUTES_TEXT, on);
    }

    void showModel() {
        setChecked(IDC_STARTUP_CHECK, model_.startupCheck());
        setChecked(IDC_PERIODIC_CHECK, model_.periodicCheck());
        setChecked(IDC_PLAY_SOUND, model_.playSound());
        setChecked(IDC_AUTO_OPEN, model_.autoOpen());
        setItemText(IDC_MINUTES_TEXT, model_.minutesText());
        setChecked(IDC_CHANGE_BALLOONS, balloons_);
        enableMinutes(model_.minutesEnabled());
    }

    // Copies the controls into the model; the minutes text is the only store
    // of the period while the dialog is open.
    void readControls() {
        model_.setStartupCheck(isChecked(IDC_STARTUP_CHECK));
        model_.setPeriodicCheck(isChecked(IDC_PERIODIC_CHECK));
        model_.setPlaySound(isChecked(IDC_PLAY_SOUND));
        model_.setAutoOpen(isChecked(IDC_AUTO_OPEN));
        balloons_ = isChecked(IDC_CHANGE_BALLOONS);
        model_.setMinutesText(itemText(IDC_MINUTES_TEXT));
    }

    void parkSpin() {
        HWND spin = ::GetDlgItem(window(), IDC_MINUTES_SPIN);
        if (!spin) return;
        // Lower limit above upper: the control's default orientation, in
        // which the up arrow reports a negative change.
        ::SendMessageA(spin, UDM_SETRANGE32, static_cast<WPARAM>(kSpinHigh), static_cast<LPARAM>(kSpinLow));
        ::SendMessageA(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(kSpinParked));
    }

    OptionsDialogModel model_;
    bool balloons_;
};

}  // namespace

std::optional<OptionsChoice> showOptionsDialog(HINSTANCE module, HWND owner, const AppOptions& current,
                                               bool balloons) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_UPDOWN_CLASS;
    ::InitCommonControlsEx(&icc);

    OptionsDialog dialog(current, balloons);
    if (dialog.runModal(module, IDD_OPTIONS, owner) != 1) return std::nullopt;
    return OptionsChoice{dialog.model(), dialog.balloons()};
}

}  // namespace hs
