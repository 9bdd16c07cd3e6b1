#include "platform/win32/window_base.h"

#include "platform/win32/message_guard.h"

namespace hs {

// ---------------------------------------------------------------- windows

Window::~Window() {
    unsubclass();
    if (window_ != nullptr && ::IsWindow(window_)) {
        // The object goes first: the window's last messages find no object.
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool Window::registerClass(HINSTANCE module, const char* className, UINT style, HICON icon, HICON smallIcon,
                           HBRUSH background) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExA(module, className, &existing)) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &Window::thunk;
    wc.hInstance = module;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

bool Window::createWindow(HINSTANCE module, const char* className, const char* title, DWORD style,
                          DWORD exStyle, HWND parent, HMENU menu, int x, int y, int width, int height) {
    HWND created = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, module,
                                     this);
    if (created == nullptr) window_ = nullptr;
    return created != nullptr;
}

bool Window::subclass(HWND window) {
    if (window == nullptr) return false;
    window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The control's procedure is replaced, not chained through the common
    // controls' subclass list: that one looks its data up as a window
    // property on every message, a round trip to the window server under
    // Wine.
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::thunk)));
    return original_ != nullptr;
}

void Window::unsubclass() {
    if (window_ == nullptr || original_ == nullptr || !::IsWindow(window_)) return;
    ::SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    original_ = nullptr;
}

void Window::detach() {
    unsubclass();
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

LRESULT Window::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (original_ != nullptr) return ::CallWindowProcA(original_, window_, message, wParam, lParam);
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT Window::failedMessageResult(UINT message) const {
    return message == WM_CREATE || message == WM_NCCREATE ? -1 : 0;
}

LRESULT CALLBACK Window::thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (auto* self = static_cast<Window*>(create->lpCreateParams)) {
            self->window_ = window;
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The last message: handled by the class's procedure, after which
        // the object no longer belongs to the window.
        const WNDPROC original = self->original_;
        self->detach();
        if (original != nullptr) return ::CallWindowProcA(original, window, message, wParam, lParam);
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT fallback = self->failedMessageResult(message);
    return guardedMessage([&] { return self->handleMessage(message, wParam, lParam); }, fallback);
}

// ---------------------------------------------------------------- dialogs

INT_PTR Dialog::runModal(HINSTANCE module, int templateId, HWND owner) {
    const INT_PTR result = ::DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), owner, &Dialog::thunk,
                                             reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
    return result < 0 ? 0 : result;
}

BOOL Dialog::onCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        endDialog(id);
        return TRUE;
    }
    return FALSE;
}

BOOL Dialog::onNotify(const NMHDR&) { return FALSE; }

BOOL Dialog::onMessage(UINT, WPARAM, LPARAM) { return FALSE; }

void Dialog::endDialog(INT_PTR result) { ::EndDialog(dialog_, result); }

void Dialog::setMessageResult(LONG_PTR result) { ::SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, result); }

std::string Dialog::itemText(int id) const {
    HWND control = ::GetDlgItem(dialog_, id);
    const int length = control ? ::GetWindowTextLengthA(control) : 0;
    if (length <= 0) return {};
    std::string value(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(control, &value[0], length + 1);
    value.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return value;
}

void Dialog::setItemText(int id, const std::string& text) { ::SetDlgItemTextA(dialog_, id, text.c_str()); }

bool Dialog::isChecked(int id) const { return ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }

void Dialog::setChecked(int id, bool on) { ::CheckDlgButton(dialog_, id, on ? BST_CHECKED : BST_UNCHECKED); }

void Dialog::enableItem(int id, bool on) { ::EnableWindow(::GetDlgItem(dialog_, id), on ? TRUE : FALSE); }

void Dialog::centreOnOwner() {
    HWND owner = ::GetWindow(dialog_, GW_OWNER);
    if (!owner || !::IsWindowVisible(owner) || ::IsIconic(owner)) return;
    RECT ownerRect{}, dlgRect{};
    if (!::GetWindowRect(owner, &ownerRect) || !::GetWindowRect(dialog_, &dlgRect)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const LONG width = dlgRect.right - dlgRect.left;
    const LONG height = dlgRect.bottom - dlgRect.top;
    LONG x = ownerRect.left + ((ownerRect.right - ownerRect.left) - width) / 2;
    LONG y = ownerRect.top + ((ownerRect.bottom - ownerRect.top) - height) / 2;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(dialog_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR Dialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return onInitDialog();
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            return header != nullptr ? onNotify(*header) : FALSE;
        }
        default:
            return onMessage(message, wParam, lParam);
    }
}

INT_PTR CALLBACK Dialog::thunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        if (self == nullptr) {
            ::EndDialog(dialog, 0);
            return TRUE;
        }
        self->dialog_ = dialog;
        ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (self == nullptr) return FALSE;
    bool handled = false;
    const INT_PTR result = guardedCall<INT_PTR>(
        "dialog message",
        [&] {
            const INT_PTR answer = self->dispatch(message, wParam, lParam);
            handled = true;
            return answer;
        },
        TRUE);
    // A failure closes the dialog as a cancel: nothing it was editing is kept.
    if (!handled) ::EndDialog(dialog, 0);
    return result;
}

}  // namespace hs
