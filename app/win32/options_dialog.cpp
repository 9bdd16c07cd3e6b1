// The Options dialog (resource 138). The controls mirror an
// OptionsDialogModel: check boxes and the minutes text are set from it when
// the dialog opens and read back into it on "&Apply"; the spin arrows step
// the minutes text through the model's arithmetic.
#include "app/win32/options_dialog.h"

#include <commctrl.h>

#include <string>

#include "app/command_ids.h"
#include "app/options.h"
#include "app/options_dialog_model.h"

namespace hs {

namespace {

// The position the spin control is parked at. Its own position is never
// used; keeping it in the middle of its range means the control never sits at
// a limit, so every arrow press reaches the dialog as a notification.
constexpr int kSpinLow = 0;
constexpr int kSpinHigh = 100;
constexpr int kSpinParked = 50;

struct DialogContext {
    OptionsDialogModel model;
};

void setCheck(HWND dlg, int id, bool on) {
    CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool isChecked(HWND dlg, int id) {
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

std::string controlText(HWND dlg, int id) {
    char buffer[64] = {};
    GetDlgItemTextA(dlg, id, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

void enableMinutes(HWND dlg, bool on) {
    EnableWindow(GetDlgItem(dlg, IDC_MINUTES_SPIN), on ? TRUE : FALSE);
    EnableWindow(GetDlgItem(dlg, IDC_MINUTES_TEXT), on ? TRUE : FALSE);
}

void showModel(HWND dlg, const OptionsDialogModel& model) {
    setCheck(dlg, IDC_STARTUP_CHECK, model.startupCheck());
    setCheck(dlg, IDC_PERIODIC_CHECK, model.periodicCheck());
    setCheck(dlg, IDC_PLAY_SOUND, model.playSound());
    setCheck(dlg, IDC_AUTO_OPEN, model.autoOpen());
    SetDlgItemTextA(dlg, IDC_MINUTES_TEXT, model.minutesText().c_str());
    enableMinutes(dlg, model.minutesEnabled());
}

// Copies the controls into the model; the minutes text is the only store of
// the period while the dialog is open.
void readControls(HWND dlg, OptionsDialogModel& model) {
    model.setStartupCheck(isChecked(dlg, IDC_STARTUP_CHECK));
    model.setPeriodicCheck(isChecked(dlg, IDC_PERIODIC_CHECK));
    model.setPlaySound(isChecked(dlg, IDC_PLAY_SOUND));
    model.setAutoOpen(isChecked(dlg, IDC_AUTO_OPEN));
    model.setMinutesText(controlText(dlg, IDC_MINUTES_TEXT));
}

void parkSpin(HWND dlg) {
    HWND spin = GetDlgItem(dlg, IDC_MINUTES_SPIN);
    if (!spin) return;
    // Lower limit above upper: the control's default orientation, in which
    // the up arrow reports a negative change.
    SendMessageA(spin, UDM_SETRANGE32, static_cast<WPARAM>(kSpinHigh), static_cast<LPARAM>(kSpinLow));
    SendMessageA(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(kSpinParked));
}

// Places the dialog over the middle of its owner's top-level window, kept
// inside that monitor's work area. With the owner hidden in the notification
// area or minimized, the template's screen centring stays.
void centreOnOwner(HWND dlg) {
    HWND owner = GetWindow(dlg, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner)) return;
    RECT ownerRect{}, dlgRect{};
    if (!GetWindowRect(owner, &ownerRect) || !GetWindowRect(dlg, &dlgRect)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const LONG width = dlgRect.right - dlgRect.left;
    const LONG height = dlgRect.bottom - dlgRect.top;
    LONG x = ownerRect.left + ((ownerRect.right - ownerRect.left) - width) / 2;
    LONG y = ownerRect.top + ((ownerRect.bottom - ownerRect.top) - height) / 2;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR onInit(HWND dlg, LPARAM lParam) {
    auto* ctx = reinterpret_cast<DialogContext*>(lParam);
    SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(ctx));
    if (!ctx) {
        EndDialog(dlg, 0);
        return TRUE;
    }
    centreOnOwner(dlg);
    parkSpin(dlg);
    showModel(dlg, ctx->model);
    return TRUE;  // focus to the first tab stop
}

INT_PTR onCommand(HWND dlg, DialogContext& ctx, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case IDC_PERIODIC_CHECK:
        if (code == BN_CLICKED) {
            ctx.model.setPeriodicCheck(isChecked(dlg, IDC_PERIODIC_CHECK));
            enableMinutes(dlg, ctx.model.minutesEnabled());
        }
        return TRUE;
    case IDOK:
        readControls(dlg, ctx.model);
        EndDialog(dlg, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dlg, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR onNotify(HWND dlg, DialogContext& ctx, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != IDC_MINUTES_SPIN || header->code != UDN_DELTAPOS) return FALSE;
    const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
    ctx.model.setMinutesText(controlText(dlg, IDC_MINUTES_TEXT));
    ctx.model.spin(change->iDelta);
    SetDlgItemTextA(dlg, IDC_MINUTES_TEXT, ctx.model.minutesText().c_str());
    // Refuse the position change: the control stays parked.
    SetWindowLongPtrA(dlg, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

INT_PTR CALLBACK optionsDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) return onInit(dlg, lParam);
        auto* ctx = reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dlg, DWLP_USER));
        if (!ctx) return FALSE;
        switch (message) {
        case WM_COMMAND:
            return onCommand(dlg, *ctx, wParam);
        case WM_NOTIFY:
            return onNotify(dlg, *ctx, lParam);
        default:
            return FALSE;
        }
    } catch (...) {
        // Nothing may cross the window procedure; a failure closes the
        // dialog as a cancel, leaving the settings untouched.
        EndDialog(dlg, 0);
        return TRUE;
    }
}

}  // namespace

bool showOptionsDialog(HWND owner) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&icc);

    DialogContext ctx{OptionsDialogModel(currentOptions())};
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OPTIONS),
                                           owner, optionsDialogProc, reinterpret_cast<LPARAM>(&ctx));
    return finishOptionsDialog(ctx.model, result == 1);
}

}  // namespace hs
