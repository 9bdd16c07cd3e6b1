#include "app/win32/main_frame.h"

#include <shellapi.h>

#include "app/win32/frame_messages.h"
#include "app/win32/frame_timers.h"
#include "app/win32/program.h"
#include "app/win32/tray_icon.h"
#include "catalogue/document_files.h"
#include "listview/win32/document_list_control.h"
#include "platform/win32/handles.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"

namespace hs {

CMainFrame::CMainFrame(Program& program)
    : program_(program), taskbarCreatedMessage_(::RegisterWindowMessageA("TaskbarCreated")) {
    // An existing directory is not an error; a failure is not reported.
    DocumentFiles documentFiles(program_.files());
    documentFiles.makeDirectory();
    // Nothing of the last run reads its copies for opening any more.
    documentFiles.removeOpenCopies();
    program_.shell().setHiddenInTray(false);
}

bool CMainFrame::create() {
    HINSTANCE module = program_.module();
    HICON icon = ::LoadIconA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    HICON smallIcon = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXSMICON),
                                                      ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    HBRUSH background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    if (!registerClass(module, kWindowClass, CS_DBLCLKS, icon, smallIcon, background)) return false;
    // The menu belongs to the window and is destroyed with it.
    UniqueMenu menu(::LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAINFRAME)));
    if (!createWindow(module, kWindowClass, kAppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, nullptr,
                      menu.get(), CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT)) {
        return false;
    }
    menu.release();
    return true;
}

HWND CMainFrame::listWindow() const {
    DocumentListWindow* list = program_.list();
    return list != nullptr ? list->window() : nullptr;
}

LRESULT CMainFrame::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate();
        case WM_SIZE:
            layout();
            return 0;
        case WM_DPICHANGED:
            // Moved to a monitor of another scale: the bars and the list take
            // their pictures and sizes for it, and the window takes the place
            // and size the system suggests, so it keeps its size on the new
            // screen.
            bars_.dpiChanged(window());
            if (DocumentListWindow* list = program_.list()) list->dpiChanged();
            if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
                ::SetWindowPos(window(), nullptr, suggested->left, suggested->top,
                               suggested->right - suggested->left, suggested->bottom - suggested->top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_SETFOCUS:
            if (HWND list = listWindow()) ::SetFocus(list);
            return 0;
        case WM_SYSCOMMAND:
            return onSysCommand(wParam, lParam);
        case WM_CLOSE:
            // Closing never hides the window to the tray: it ends the program.
            program_.shutDown();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The system ends the process once this returns, without the
            // close that runs the orderly exit: the catalogue is saved here.
            if (wParam) program_.shutDown();
            return 0;
        case WM_COMMAND:
            if (program_.runCommand(commandIdOf(wParam)) != CommandOutcome::NotHandled) {
                // A command may change what the selected rows allow without
                // changing the selection (the list keeps no texts to notify).
                postAvailabilityUpdate();
                return 0;
            }
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) == 0) applyMenuState(reinterpret_cast<HMENU>(wParam), program_.commandScope());
            return 0;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == listWindow()) {
                showContextMenu(lParam);
                return 0;
            }
            break;
        case WM_TIMER:
            onTimer(static_cast<UINT_PTR>(wParam));
            return 0;
        case kTrayCallbackMessage:
            if (LOWORD(lParam) >= NIN_BALLOONSHOW && LOWORD(lParam) <= NIN_BALLOONUSERCLICK) {
                program_.balloonEvent(LOWORD(lParam));
            }
            return handleTrayCallback(window(), message, wParam, lParam, program_.shell(),
                                      [this] { showTrayMenu(); });
        case kRecordsChangedMessage:
            onRecordsChanged(wParam);
            return 0;
        case kCheckEffectsMessage:
            program_.checkHost().runEffects();
            return 0;
        case kArmBlinkMessage:
            // Still hidden? The window may have come back since the post.
            if (program_.shell().isHiddenInTray()) armTrayBlinkTimer(window());
            return 0;
        case WM_MENUSELECT:
            bars_.onMenuSelect(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return onNotify(wParam, lParam);
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            DocumentListWindow* list = program_.list();
            if (list != nullptr && draw != nullptr && draw->CtlType == ODT_LISTVIEW &&
                draw->hwndItem == list->window()) {
                list->drawItem(*draw);
                return TRUE;
            }
            break;
        }
        case WM_QUERYNEWPALETTE: {
            defaultProc(message, wParam, lParam);
            HWND list = listWindow();
            return list != nullptr ? ::SendMessageA(list, message, wParam, lParam) : 0;
        }
        case WM_PALETTECHANGED:
            defaultProc(message, wParam, lParam);
            if (HWND list = listWindow()) ::SendMessageA(list, message, wParam, lParam);
            return 0;
        case kSelectionChangedMessage:
            availabilityUpdatePosted_ = false;
            updateToolbarAvailability();
            return 0;
        default:
            if (message == taskbarCreatedMessage_ && message != 0) {
                program_.tray().addAgain();
                return 0;
            }
            break;
    }
    return defaultProc(message, wParam, lParam);
}

LRESULT CMainFrame::onCreate() {
    // The list first (its creation finds the browser), then the bars.
    if (!program_.createList(window())) return -1;
    if (!bars_.createToolbar(window(), program_.module())) return -1;
    if (!bars_.createStatusBar(window())) return -1;
    bars_.attachToolbarImages(program_.module());
    updateToolbarAvailability();
    program_.shell().mainFrame.store(window());
    layout();
    return 0;
}

LRESULT CMainFrame::onSysCommand(WPARAM wParam, LPARAM lParam) {
    // The low four bits of the code are the system's own.
    const UINT code = static_cast<UINT>(wParam) & 0xFFF0u;
    const LRESULT result = defaultProc(WM_SYSCOMMAND, wParam, lParam);
    if (code == SC_MINIMIZE) {
        // The program then lives in the notification area only.
        ::ShowWindow(window(), SW_HIDE);
        program_.shell().setHiddenInTray(true);
    } else if (code == SC_MAXIMIZE || code == SC_RESTORE) {
        program_.shell().setHiddenInTray(false);
    }
    return result;
}

LRESULT CMainFrame::onNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) return 0;
    LRESULT result = 0;
    DocumentListWindow* list = program_.list();
    if (list != nullptr && header->hwndFrom == list->window()) {
        switch (header->code) {
            case LVN_ITEMCHANGED:
            case LVN_INSERTITEM:
            case LVN_DELETEITEM:
            case LVN_DELETEALLITEMS:
                postAvailabilityUpdate();
                break;
            case LVN_GETDISPINFOA:
            case LVN_GETDISPINFOW:
                list->answerDisplayInfo(*reinterpret_cast<NMHDR*>(lParam));
                return 0;
            case LVN_COLUMNCLICK:
                list->columnClicked(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
                return 0;
            default:
                break;
        }
    } else if (bars_.onNotify(*header, result)) {
        return result;
    }
    return defaultProc(WM_NOTIFY, wParam, lParam);
}

void CMainFrame::onTimer(UINT_PTR timerId) {
    HWND frame = window();
    switch (timerId) {
        case kRowRefreshTimer:
            ::KillTimer(frame, kRowRefreshTimer);
            refreshTimerArmed_ = false;
            refreshChangedRows();
            break;
        case kPeriodicCheckTimer:
            program_.runCommand(ID_DOC_CHECK_ALL);
            break;
        case kTrayBlinkTimer: {
            ShellState& shell = program_.shell();
            const BlinkStep step = nextBlinkStep(shell.isHiddenInTray(), shell.blinkPhase);
            if (step.stopTimer) {
                ::KillTimer(frame, kTrayBlinkTimer);
                // The window is back: a change balloon still up says nothing new.
                program_.dismissBalloon();
            }
            program_.tray().setIcon(step.iconId);
            break;
        }
        case kStartupPromptTimer: {
            // One-shot: gone before the (modal) wizard could run.
            ::KillTimer(frame, kStartupPromptTimer);
            DocumentListWindow* list = program_.list();
            if (list != nullptr && list->documents().rowCount() == 0) offerStartupWizard(program_);
            break;
        }
        default:
            break;
    }
}

void CMainFrame::onRecordsChanged(WPARAM wParam) {
    // A worker that finished has its last rows shown at once.
    if (wParam == kFlushRefreshes) {
        if (refreshTimerArmed_) ::KillTimer(window(), kRowRefreshTimer);
        refreshTimerArmed_ = false;
        refreshChangedRows();
        return;
    }
    // The queue keeps filling until the timer drains it; no further wake-up
    // comes meanwhile.
    if (!refreshTimerArmed_) {
        refreshTimerArmed_ = ::SetTimer(window(), kRowRefreshTimer, kRowRefreshIntervalMs, nullptr) != 0;
        if (!refreshTimerArmed_) refreshChangedRows();
    }
}

void CMainFrame::refreshChangedRows() {
    const std::vector<std::size_t> slots = program_.checkHost().takeChangedSlots();
    DocumentListWindow* list = program_.list();
    if (list == nullptr || slots.empty()) return;
    list->refreshRows(slots);
    // What the selected documents allow may have changed with their status.
    if (list->selectedCount() > 0) postAvailabilityUpdate();
}

void CMainFrame::showContextMenu(LPARAM screenPoint) {
    POINT point{};
    if (!contextMenuPoint(listWindow(), screenPoint, point)) return;
    showCommandMenu(window(), program_.module(), IDR_CONTEXT_MENU, point,
                    TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, program_.commandScope());
}

void CMainFrame::showTrayMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    showCommandMenu(window(), program_.module(), IDR_TRAY_MENU, cursor, TPM_LEFTALIGN | TPM_RIGHTBUTTON,
                    program_.commandScope());
}

void CMainFrame::layout() {
    const RECT rest = bars_.layout(window());
    if (HWND list = listWindow()) {
        ::MoveWindow(list, rest.left, rest.top, rest.right - rest.left, rest.bottom - rest.top, TRUE);
    }
}

void CMainFrame::postAvailabilityUpdate() {
    if (!availabilityUpdatePosted_ && ::PostMessageA(window(), kSelectionChangedMessage, 0, 0)) {
        availabilityUpdatePosted_ = true;
    }
}

void CMainFrame::updateToolbarAvailability() {
    bars_.applyAvailability(program_.commandScope());
}

void CMainFrame::toggleToolbar() {
    bars_.toggleToolbar();
    layout();
}

void CMainFrame::toggleStatusBar() {
    bars_.toggleStatusBar();
    layout();
}

}  // namespace hs
