#include "app/win32/main_frame.h"

#include "app/win32/halvorsight_view.h"
#include "app/win32/menu_availability.h"
#include "app/win32/program.h"
#include "app/win32/view_messages.h"
#include "platform/win32/handles.h"
#include "catalogue/document_files.h"
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

HWND CMainFrame::viewWindow() const {
    CHalvorsightView* view = program_.view();
    return view != nullptr ? view->window() : nullptr;
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
            if (CHalvorsightView* view = program_.view()) view->dpiChanged();
            if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
                ::SetWindowPos(window(), nullptr, suggested->left, suggested->top,
                               suggested->right - suggested->left, suggested->bottom - suggested->top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_SETFOCUS:
            if (HWND view = viewWindow()) ::SetFocus(view);
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
            if (program_.runCommand(commandIdOf(wParam)) != CommandOutcome::NotHandled) return 0;
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) == 0) onInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_MENUSELECT:
            bars_.onMenuSelect(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return onNotify(wParam, lParam);
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            CHalvorsightView* view = program_.view();
            if (view != nullptr && draw != nullptr && draw->CtlType == ODT_LISTVIEW &&
                draw->hwndItem == view->window()) {
                view->drawItem(*draw);
                return TRUE;
            }
            break;
        }
        case WM_QUERYNEWPALETTE: {
            defaultProc(message, wParam, lParam);
            HWND view = viewWindow();
            return view != nullptr ? ::SendMessageA(view, message, wParam, lParam) : 0;
        }
        case WM_PALETTECHANGED:
            defaultProc(message, wParam, lParam);
            if (HWND view = viewWindow()) ::SendMessageA(view, message, wParam, lParam);
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
    // The view first (its construction finds the browser), then the bars.
    if (!program_.createView(window())) return -1;
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
    CHalvorsightView* view = program_.view();
    if (view != nullptr && header->hwndFrom == view->window()) {
        switch (header->code) {
            case LVN_ITEMCHANGED:
            case LVN_INSERTITEM:
            case LVN_DELETEITEM:
            case LVN_DELETEALLITEMS:
                // One toolbar update for a burst of selection changes.
                if (!availabilityUpdatePosted_ &&
                    ::PostMessageA(window(), kSelectionChangedMessage, 0, 0)) {
                    availabilityUpdatePosted_ = true;
                }
                break;
            default:
                break;
        }
        if (view->onListNotify(*header, result)) return result;
    } else if (bars_.onNotify(*header, result)) {
        return result;
    }
    return defaultProc(WM_NOTIFY, wParam, lParam);
}

void CMainFrame::onInitMenuPopup(HMENU menu) {
    applyMenuAvailability(menu, program_.selection());
    ::CheckMenuItem(menu, ID_VIEW_TOOLBAR_CMD,
                    MF_BYCOMMAND | (bars_.toolbarVisible() ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(menu, ID_VIEW_STATUS_BAR_CMD,
                    MF_BYCOMMAND | (bars_.statusBarVisible() ? MF_CHECKED : MF_UNCHECKED));
}

void CMainFrame::layout() {
    const RECT rest = bars_.layout(window());
    if (HWND view = viewWindow()) {
        ::MoveWindow(view, rest.left, rest.top, rest.right - rest.left, rest.bottom - rest.top, TRUE);
    }
}

void CMainFrame::updateToolbarAvailability() {
    bars_.applyAvailability(program_.selection());
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
