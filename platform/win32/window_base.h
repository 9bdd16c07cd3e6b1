// The base of the program's windows and dialogs: one thunk from the system's
// procedure to the object, found through the window's user data, and one
// exception guard around every message.
//
// Window: a window of a class registered here (create), or an existing
// control whose procedure is replaced (subclass) so that its messages reach
// the object first; defaultProc passes a message on to the class's own
// procedure (or DefWindowProc).
//
// Dialog: a modal dialog from a template. The object is handed over with
// WM_INITDIALOG and kept in DWLP_USER. An exception in a handler closes the
// dialog as a cancel.
#pragma once

#include <windows.h>

#include <string>

namespace hs {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND window() const { return window_; }

protected:
    // Registers `className` once per module (class style, icon, cursor,
    // background as given) with the thunk as its procedure.
    static bool registerClass(HINSTANCE module, const char* className, UINT style, HICON icon, HICON smallIcon,
                              HBRUSH background);

    // Creates a window of a class registered with registerClass; the object
    // receives every message from WM_NCCREATE on.
    bool createWindow(HINSTANCE module, const char* className, const char* title, DWORD style, DWORD exStyle,
                      HWND parent, HMENU menu, int x, int y, int width, int height);

    // Takes over an existing window: its procedure is replaced by the thunk
    // and given back at WM_NCDESTROY (or by unsubclass).
    bool subclass(HWND window);
    void unsubclass();

    // The object's handling of one message. Anything not handled goes to
    // defaultProc.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // What a message not handled by the object gets.
    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The answer when a handler threw (WM_CREATE: -1, the creation fails).
    virtual LRESULT failedMessageResult(UINT message) const;

private:
    static LRESULT CALLBACK thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void detach();

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;  // a subclassed control's own procedure
};

class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog of template `templateId` modal to `owner`; returns the
    // value given to endDialog (0 when the dialog could not be made or a
    // handler failed).
    INT_PTR runModal(HINSTANCE module, int templateId, HWND owner);

    HWND window() const { return dialog_; }

protected:
    // The handlers of the messages the dialogs use. Each returns TRUE when
    // it handled the message, as a dialog procedure does.
    virtual BOOL onInitDialog() { return TRUE; }
    virtual BOOL onCommand(int id, int code, HWND control);
    virtual BOOL onNotify(const NMHDR& header);
    // Any other message.
    virtual BOOL onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void endDialog(INT_PTR result);
    // The result of a WM_NOTIFY (DWLP_MSGRESULT).
    void setMessageResult(LONG_PTR result);

    // Places the dialog over the middle of its owner, kept inside the owner's
    // monitor; leaves it where it is when the owner is hidden or minimized.
    void centreOnOwner();

    // The controls' texts and states, by control id.
    std::string itemText(int id) const;
    void setItemText(int id, const std::string& text);
    bool isChecked(int id) const;
    void setChecked(int id, bool on);
    void enableItem(int id, bool on);

private:
    static INT_PTR CALLBACK thunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_ = nullptr;
};

}  // namespace hs
