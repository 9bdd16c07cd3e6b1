#include "app/win32/main_frame.h"

#include "app/command_ids.h"
#include "app/win32/about_box.h"
#include "app/win32/message_guard.h"
#include "app/win32/shell_links.h"
#include "app/win32/shell_state.h"
#include "app/win32/shutdown.h"
#include "app/win32/view_messages.h"
#include "catalogue/store.h"

namespace hs {

CMainFrame::CMainFrame() {
    // An existing directory is not an error; a failure is not reported.
    ::CreateDirectoryA(kDataDir, nullptr);
    setHiddenInTray(false);
}

CMainFrame::~CMainFrame() {
    if (window_ != nullptr && ::IsWindow(window_)) {
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool CMainFrame::create(HINSTANCE module) {
    module_ = module;
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!::GetClassInfoExA(module, kWindowClass, &existing)) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = module;
        wc.hIcon = ::LoadIconA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
        wc.hIconSm = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kWindowClass;
        if (!::RegisterClassExA(&wc)) return false;
    }
    // The menu belongs to the window and is destroyed with it.
    HMENU menu = ::LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    HWND created = ::CreateWindowExA(0, kWindowClass, kAppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu,
                                     module, this);
    if (created == nullptr) {
        if (menu != nullptr) ::DestroyMenu(menu);
        window_ = nullptr;
        return false;
    }
    return true;
}

LRESULT CALLBACK CMainFrame::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* frame = static_cast<CMainFrame*>(create->lpCreateParams);
        frame->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = reinterpret_cast<CMainFrame*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (frame == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    // A failed creation answers -1 so that CreateWindowEx fails cleanly.
    const LRESULT fallback = message == WM_CREATE ? -1 : 0;
    return guardedMessage([&] { return frame->handleMessage(message, wParam, lParam); }, fallback);
}

LRESULT CMainFrame::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate();
        case WM_SIZE:
            layout();
            return 0;
        case WM_SETFOCUS:
            if (view_ && view_->window() != nullptr) ::SetFocus(view_->window());
            return 0;
        case WM_SYSCOMMAND:
            return onSysCommand(wParam, lParam);
        case WM_CLOSE:
            // Closing never hides the window to the tray: it ends the program.
            shutDown();
            return 0;
        case WM_COMMAND:
            if (routeCommand(commandIdOf(wParam)) != CommandOutcome::NotHandled) return 0;
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
            if (view_ && draw != nullptr && draw->CtlType == ODT_LISTVIEW && draw->hwndItem == view_->window()) {
                view_->drawItem(*draw);
                return TRUE;
            }
            break;
        }
        case WM_QUERYNEWPALETTE: {
            ::DefWindowProcA(window_, message, wParam, lParam);
            return view_ ? ::SendMessageA(view_->window(), message, wParam, lParam) : 0;
        }
        case WM_PALETTECHANGED:
            ::DefWindowProcA(window_, message, wParam, lParam);
            if (view_) ::SendMessageA(view_->window(), message, wParam, lParam);
            return 0;
        case kSelectionChangedMessage:
            availabilityUpdatePosted_ = false;
            updateToolbarAvailability();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CMainFrame::onCreate() {
    // The view first (its construction finds the browser), then the bars.
    view_ = std::make_unique<CHalvorsightView>();
    if (!view_->create(window_)) return -1;
    if (!bars_.createToolbar(window_, module_)) return -1;
    if (!bars_.createStatusBar(window_)) return -1;
    bars_.attachToolbarImages(module_);
    updateToolbarAvailability();
    shellState().mainFrame.store(window_);
    layout();
    return 0;
}

LRESULT CMainFrame::onSysCommand(WPARAM wParam, LPARAM lParam) {
    // The low four bits of the code are the system's own.
    const UINT code = static_cast<UINT>(wParam) & 0xFFF0u;
    const LRESULT result = ::DefWindowProcA(window_, WM_SYSCOMMAND, wParam, lParam);
    if (code == SC_MINIMIZE) {
        // The program then lives in the notification area only.
        ::ShowWindow(window_, SW_HIDE);
        setHiddenInTray(true);
    } else if (code == SC_MAXIMIZE || code == SC_RESTORE) {
        setHiddenInTray(false);
    }
    return result;
}

LRESULT CMainFrame::onNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) return 0;
    LRESULT result = 0;
    if (view_ && header->hwndFrom == view_->window()) {
        switch (header->code) {
            case LVN_ITEMCHANGED:
            case LVN_INSERTITEM:
            case LVN_DELETEITEM:
            case LVN_DELETEALLITEMS:
                // One toolbar update for a burst of selection changes.
                if (!availabilityUpdatePosted_ &&
                    ::PostMessageA(window_, kSelectionChangedMessage, 0, 0)) {
                    availabilityUpdatePosted_ = true;
                }
                break;
            default:
                break;
        }
        if (view_->onListNotify(*header, result)) return result;
    } else if (bars_.onNotify(*header, result)) {
        return result;
    }
    return ::DefWindowProcA(window_, WM_NOTIFY, wParam, lParam);
}

void CMainFrame::onInitMenuPopup(HMENU menu) {
    SelectionSnapshot selection;
    selection.selectedRows = view_ ? view_->selectedCount() : 0;
    applyMenuAvailability(menu, selection);
    ::CheckMenuItem(menu, ID_VIEW_TOOLBAR_CMD,
                    MF_BYCOMMAND | (bars_.toolbarVisible() ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(menu, ID_VIEW_STATUS_BAR_CMD,
                    MF_BYCOMMAND | (bars_.statusBarVisible() ? MF_CHECKED : MF_UNCHECKED));
}

void CMainFrame::layout() {
    const RECT rest = bars_.layout(window_);
    if (view_ && view_->window() != nullptr) {
        ::MoveWindow(view_->window(), rest.left, rest.top, rest.right - rest.left, rest.bottom - rest.top, TRUE);
    }
}

void CMainFrame::updateToolbarAvailability() {
    SelectionSnapshot selection;
    selection.selectedRows = view_ ? view_->selectedCount() : 0;
    bars_.applyAvailability(selection);
}

CommandOutcome CMainFrame::routeCommand(int commandId) {
    SelectionSnapshot selection;
    selection.selectedRows = view_ ? view_->selectedCount() : 0;
    return hs::routeCommand(commandId, selection, {view_.get(), this});
}

bool CMainFrame::onCommand(int commandId) {
    switch (commandId) {
        case ID_APP_EXIT_CMD:
        case ID_TRAY_EXIT:
            shutDown();
            return true;
        case ID_VIEW_TOOLBAR_CMD:
            bars_.toggleToolbar();
            layout();
            return true;
        case ID_VIEW_STATUS_BAR_CMD:
            bars_.toggleStatusBar();
            layout();
            return true;
        case ID_HELP_MANUAL:
        case ID_HELP_SUPPORT:
        case ID_HELP_HOMEPAGE:
            openHelpLink(commandId);
            return true;
        case ID_APP_ABOUT_CMD:
            showAboutBox(window_);
            return true;
        default:
            return false;
    }
}

}  // namespace hs
