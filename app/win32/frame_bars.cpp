#include "app/win32/frame_bars.h"

#include <cstring>

#include "res/command_ids.h"
#include "platform/win32/dpi.h"
#include "res/resource_ids.h"

namespace hs {

namespace {

// The toolbar's buttons in order, 0 for a separator.
constexpr int kToolbarButtons[] = {ID_DOC_ADD, ID_DOC_EDIT, ID_DOC_DELETE, 0, ID_DOC_CHECK, ID_DOC_WHAT_CHANGED};

// Sizes at 100 percent: a button's picture, and the button around it.
constexpr int kImageWidth = 45;
constexpr int kImageHeight = 54;
constexpr int kButtonWidth = 46 + 7;
constexpr int kButtonHeight = 54 + 7;
constexpr int kSeparatorWidth = 8;
constexpr COLORREF kMaskColour = RGB(255, 0, 255);

int windowHeight(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.bottom - r.top;
}

// Rounded to the nearest pixel, as the image generator cuts the strips.
int scaled(int size, int percent) { return (size * percent + 50) / 100; }

UniqueImageList loadImageStrip(HINSTANCE module, int bitmapId, int percent) {
    UniqueImageList images(::ImageList_Create(scaled(kImageWidth, percent), scaled(kImageHeight, percent),
                                              ILC_COLORDDB | ILC_MASK, 4, 1));
    if (!images) return images;
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (bitmap) ::ImageList_AddMasked(images.get(), bitmap.get(), kMaskColour);
    return images;
}

}  // namespace

std::string loadResourceString(HINSTANCE module, int id) {
    char text[1024] = {};
    const int length = ::LoadStringA(module, static_cast<UINT>(id), text, sizeof text);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

std::string commandPrompt(HINSTANCE module, int commandId) {
    const std::string text = loadResourceString(module, commandId);
    return text.substr(0, text.find('\n'));
}

std::string commandTooltip(HINSTANCE module, int commandId) {
    const std::string text = loadResourceString(module, commandId);
    const std::string::size_type newline = text.find('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

bool FrameBars::createToolbar(HWND frame, HINSTANCE module) {
    module_ = module;
    toolbar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_TOP | CCS_NODIVIDER |
                                     TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                                 0, 0, 0, 0, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarId)),
                                 module, nullptr);
    if (toolbar_ == nullptr) return false;
    ::SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    imagePercent_ = imageScalePercent(windowDpi(frame));
    applyButtonSizes();
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int command : kToolbarButtons) {
        TBBUTTON button;
        std::memset(&button, 0, sizeof button);
        if (command == 0) {
            button.iBitmap = kSeparatorWidth;
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = image++;
            button.idCommand = command;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(button);
    }
    ::SendMessageA(toolbar_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    return true;
}

void FrameBars::applyButtonSizes() {
    ::SendMessageA(toolbar_, TB_SETBITMAPSIZE, 0,
                   MAKELPARAM(scaled(kImageWidth, imagePercent_), scaled(kImageHeight, imagePercent_)));
    ::SendMessageA(toolbar_, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(scaled(kButtonWidth, imagePercent_), scaled(kButtonHeight, imagePercent_)));
}

void FrameBars::attachToolbarImages(HINSTANCE module) {
    const bool doubled = imagePercent_ == 200, half = imagePercent_ == 150;
    const int normal = doubled ? IDB_TOOLBAR_NORMAL_200 : half ? IDB_TOOLBAR_NORMAL_150 : IDB_TOOLBAR_NORMAL;
    const int hot = doubled ? IDB_TOOLBAR_HOT_200 : half ? IDB_TOOLBAR_HOT_150 : IDB_TOOLBAR_HOT;
    // The toolbar lets go of the old lists before they are destroyed.
    UniqueImageList normalImages = loadImageStrip(module, normal, imagePercent_);
    ::SendMessageA(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normalImages.get()));
    normalImages_ = std::move(normalImages);
    UniqueImageList hotImages = loadImageStrip(module, hot, imagePercent_);
    ::SendMessageA(toolbar_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages.get()));
    hotImages_ = std::move(hotImages);
    // Setting a list can reset the button size to the list's own.
    applyButtonSizes();
    ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
}

void FrameBars::dpiChanged(HWND frame) {
    if (toolbar_ == nullptr) return;
    const int percent = imageScalePercent(windowDpi(frame));
    if (percent == imagePercent_) return;
    imagePercent_ = percent;
    applyButtonSizes();
    attachToolbarImages(module_);
}

bool FrameBars::createStatusBar(HWND frame) {
    statusBar_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, 0,
                                   0, 0, 0, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                                   module_, nullptr);
    if (statusBar_ == nullptr) return false;
    int parts[1] = {-1};  // the message pane only
    ::SendMessageA(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    showIdlePrompt();
    return true;
}

RECT FrameBars::layout(HWND frame) {
    RECT client{};
    ::GetClientRect(frame, &client);
    if (toolbarVisible()) {
        ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
        client.top += windowHeight(toolbar_);
    }
    if (statusBarVisible()) {
        ::SendMessageA(statusBar_, WM_SIZE, 0, 0);
        client.bottom -= windowHeight(statusBar_);
    }
    if (client.bottom < client.top) client.bottom = client.top;
    return client;
}

bool FrameBars::toolbarVisible() const {
    return toolbar_ != nullptr && ::IsWindowVisible(toolbar_);
}

bool FrameBars::statusBarVisible() const {
    return statusBar_ != nullptr && ::IsWindowVisible(statusBar_);
}

void FrameBars::toggleToolbar() {
    if (toolbar_ != nullptr) ::ShowWindow(toolbar_, toolbarVisible() ? SW_HIDE : SW_SHOW);
}

void FrameBars::toggleStatusBar() {
    if (statusBar_ != nullptr) ::ShowWindow(statusBar_, statusBarVisible() ? SW_HIDE : SW_SHOW);
}

void FrameBars::setStatusText(const std::string& text) {
    if (statusBar_ != nullptr) {
        ::SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void FrameBars::showIdlePrompt() {
    setStatusText(loadResourceString(module_, IDS_READY));
}

void FrameBars::showCommandPrompt(int commandId) {
    setStatusText(commandPrompt(module_, commandId));
}

void FrameBars::onMenuSelect(WPARAM wParam, LPARAM lParam) {
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {
        showIdlePrompt();  // the menu closed
    } else if ((flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU)) != 0) {
        setStatusText(std::string());
    } else {
        showCommandPrompt(static_cast<int>(LOWORD(wParam)));
    }
}

void FrameBars::applyAvailability(const CommandScope& scope) {
    for (int command : kToolbarButtons) {
        if (command == 0) continue;
        ::SendMessageA(toolbar_, TB_ENABLEBUTTON, static_cast<WPARAM>(command),
                       MAKELPARAM(isCommandAvailable(command, scope) ? TRUE : FALSE, 0));
    }
}

bool FrameBars::onNotify(const NMHDR& header, LRESULT& result) {
    switch (header.code) {
        case TTN_GETDISPINFOA: {
            auto& info = const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header));
            tipText_ = commandTooltip(module_, static_cast<int>(header.idFrom));
            info.lpszText = const_cast<char*>(tipText_.c_str());
            info.hinst = nullptr;
            result = 0;
            return true;
        }
        case TTN_GETDISPINFOW: {
            auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
            const std::string tip = commandTooltip(module_, static_cast<int>(header.idFrom));
            const int length = ::MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, nullptr, 0);
            tipTextWide_.assign(length > 0 ? static_cast<std::size_t>(length) : 1u, L'\0');
            if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, &tipTextWide_[0], length);
            info.lpszText = &tipTextWide_[0];
            info.hinst = nullptr;
            result = 0;
            return true;
        }
        case TBN_HOTITEMCHANGE: {
            if (header.hwndFrom != toolbar_) return false;
            const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
            if ((hot.dwFlags & HICF_LEAVING) != 0 || hot.idNew == 0) showIdlePrompt();
            else showCommandPrompt(hot.idNew);
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace hs
