// The "What changed" window. Above: the history list with its four buttons
// and the line of events (versions that could not be kept); below: the
// navigation buttons and toggles, the summary line and the difference view.
// Everything is laid out again on every resize.
//
// Both versions are read under the document files lock (a check's commit
// never finds them open) and compared on this thread: the difference models
// stop at a bounded cost, so the window never waits long.
#include "dialogs/win32/what_changed_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "catalogue/document_files.h"
#include "dialogs/what_changed_model.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_base.h"
#include "res/dialogs/what_changed_ids.h"
#include "res/resource_ids.h"

namespace hs {

namespace {

constexpr const char* kWindowClass = "HalvorsightWhatChanged";
constexpr const char* kViewClass = "HalvorsightDifferenceView";

const COLORREF kRemovedBack = RGB(255, 226, 226);
const COLORREF kRemovedMark = RGB(250, 160, 160);
const COLORREF kAddedBack = RGB(224, 248, 224);
const COLORREF kAddedMark = RGB(140, 220, 140);
const COLORREF kNoLineBack = RGB(236, 236, 236);
const COLORREF kHeadingBack = RGB(222, 230, 242);
const COLORREF kNumberInk = RGB(128, 128, 128);
const COLORREF kTextInk = RGB(0, 0, 0);
const COLORREF kSplitInk = RGB(160, 160, 160);

// Characters of the line-number gutter of each side.
constexpr int kGutterChars = 7;
// Rows of context shown above a change that next/previous moves to.
constexpr std::size_t kContextRows = 3;
// How far the view scrolls sideways, in characters.
constexpr int kMaxSideways = 2000;

int64_t localOffsetSeconds() {
    TIME_ZONE_INFORMATION zone{};
    const DWORD kind = ::GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    if (kind == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    return -static_cast<int64_t>(bias) * 60;
}

// What a row shows of a line: tabs and other control characters as spaces,
// so that every byte keeps one cell and the marks stay in place.
std::string drawable(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return out;
}

// ---------------------------------------------------------------- the view

class DifferenceView : public Window {
public:
    bool create(HWND parent, HINSTANCE module) {
        if (!registerClass(module, kViewClass, CS_DBLCLKS, nullptr, nullptr,
                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))) {
            return false;
        }
        return createWindow(module, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                            WS_EX_CLIENTEDGE, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WC_VIEW)), 0, 0, 10, 10);
    }

    void setComparison(const Comparison* comparison, std::size_t top) {
        comparison_ = comparison;
        left_ = 0;
        top_ = 0;
        scrollTo(top);
    }

    std::size_t top() const { return top_; }

    // Puts `row` a few rows below the top (the lines before a change show).
    void showRow(std::size_t row) { scrollTo(row > kContextRows ? row - kContextRows : 0); }

    // Shows the change at `row` below some context; next/previous go on
    // from it.
    void moveToChange(std::size_t row) {
        showRow(row);
        anchoredAtChange_ = true;
        anchor_ = row;
    }
    // Where next/previous start: the change last moved to while the view
    // stays there, else the top row.
    std::size_t anchor() const { return anchoredAtChange_ ? anchor_ : top_; }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_CREATE: makeFont(); return 0;
            case WM_DESTROY: font_.reset(); return 0;
            case WM_SETTINGCHANGE: makeFont(); updateScrollBars(); return 0;  // a new scale
            case WM_SIZE: updateScrollBars(); return 0;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = ::BeginPaint(window(), &ps);
                paint(dc, ps.rcPaint);
                ::EndPaint(window(), &ps);
                return 0;
            }
            case WM_ERASEBKGND: return 1;  // every pixel is painted
            case WM_VSCROLL: onScroll(SB_VERT, LOWORD(wParam)); return 0;
            case WM_HSCROLL: onScroll(SB_HORZ, LOWORD(wParam)); return 0;
            case WM_MOUSEWHEEL: {
                const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
                scrollBy(-3 * notches);
                return 0;
            }
            case WM_LBUTTONDOWN: ::SetFocus(window()); return 0;
            case WM_GETDLGCODE: return DLGC_WANTARROWS;
            case WM_KEYDOWN: onKey(wParam); return 0;
            case WM_GETTEXTLENGTH: return static_cast<LRESULT>(shownText().size());
            case WM_GETTEXT: {
                // The rows in view as text, for readers of the screen and
                // for tests: "- " removed, "+ " added, "! " changed.
                const std::string text = shownText();
                if (wParam == 0 || lParam == 0) return 0;
                const std::size_t n = std::min(text.size(), static_cast<std::size_t>(wParam) - 1);
                std::copy_n(text.data(), n, reinterpret_cast<char*>(lParam));
                reinterpret_cast<char*>(lParam)[n] = '\0';
                return static_cast<LRESULT>(n);
            }
            default: break;
        }
        return defaultProc(message, wParam, lParam);
    }

    std::string shownText() const {
        return comparison_ ? comparison_->rowsText(top_, static_cast<std::size_t>(visibleRows())) : std::string();
    }

    void makeFont() {
        const UINT dpi = windowDpi(window());
        font_.reset(::CreateFontA(-::MulDiv(9, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                  FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  FIXED_PITCH | FF_MODERN, "Courier New"));
        HDC dc = ::GetDC(window());
        HGDIOBJ old = ::SelectObject(dc, font_ ? font_.get() : ::GetStockObject(ANSI_FIXED_FONT));
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc, &metrics);
        ::SelectObject(dc, old);
        ::ReleaseDC(window(), dc);
        rowHeight_ = std::max(1, static_cast<int>(metrics.tmHeight) + 1);
        charWidth_ = std::max(1, static_cast<int>(metrics.tmAveCharWidth));
    }

    int visibleRows() const {
        RECT client{};
        ::GetClientRect(window(), &client);
        return std::max(1, static_cast<int>(client.bottom) / rowHeight_);
    }

    std::size_t rowCount() const { return comparison_ ? comparison_->rowCount() : 0; }

    std::size_t lastTop() const {
        const std::size_t rows = rowCount();
        const auto page = static_cast<std::size_t>(visibleRows());
        return rows > page ? rows - page : 0;
    }

    void scrollTo(std::size_t top) {
        top_ = std::min(top, lastTop());
        anchoredAtChange_ = false;
        updateScrollBars();
        ::InvalidateRect(window(), nullptr, FALSE);
    }

    void scrollBy(long long rows) {
        const long long target = static_cast<long long>(top_) + rows;
        scrollTo(target < 0 ? 0 : static_cast<std::size_t>(target));
    }

    void updateScrollBars() {
        // Row counts beyond the scroll bar's range are scaled down to it.
        const std::size_t rows = rowCount();
        scale_ = rows > 0x7FFF0000u ? rows / 0x7FFF0000u + 1 : 1;
        SCROLLINFO v{};
        v.cbSize = sizeof v;
        v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        v.nMax = rows == 0 ? 0 : static_cast<int>((rows - 1) / scale_);
        v.nPage = static_cast<UINT>(visibleRows() / static_cast<int>(scale_) + (scale_ > 1 ? 1 : 0));
        v.nPos = static_cast<int>(top_ / scale_);
        ::SetScrollInfo(window(), SB_VERT, &v, TRUE);
        RECT client{};
        ::GetClientRect(window(), &client);
        SCROLLINFO h{};
        h.cbSize = sizeof h;
        h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        h.nMax = kMaxSideways;
        h.nPage = static_cast<UINT>(std::max(1, static_cast<int>(client.right) / charWidth_ / 2));
        h.nPos = left_;
        ::SetScrollInfo(window(), SB_HORZ, &h, TRUE);
    }

    void onScroll(int bar, int code) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        ::GetScrollInfo(window(), bar, &info);
        const int page = static_cast<int>(info.nPage);
        int pos = info.nPos;
        switch (code) {
            case SB_LINEUP: pos -= 1; break;
            case SB_LINEDOWN: pos += 1; break;
            case SB_PAGEUP: pos -= std::max(1, page); break;
            case SB_PAGEDOWN: pos += std::max(1, page); break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: pos = info.nTrackPos; break;
            case SB_TOP: pos = 0; break;
            case SB_BOTTOM: pos = info.nMax; break;
            default: return;
        }
        pos = std::max(0, pos);
        if (bar == SB_VERT) {
            const bool line = code == SB_LINEUP || code == SB_LINEDOWN;
            if (line && scale_ > 1) {
                scrollBy(code == SB_LINEUP ? -1 : 1);
            } else {
                scrollTo(static_cast<std::size_t>(pos) * scale_);
            }
        } else {
            left_ = std::min(pos, kMaxSideways);
            updateScrollBars();
            ::InvalidateRect(window(), nullptr, FALSE);
        }
    }

    void onKey(WPARAM key) {
        const long long page = visibleRows();
        switch (key) {
            case VK_UP: scrollBy(-1); break;
            case VK_DOWN: scrollBy(1); break;
            case VK_PRIOR: scrollBy(-page); break;
            case VK_NEXT: scrollBy(page); break;
            case VK_HOME: scrollTo(0); break;
            case VK_END: scrollTo(lastTop()); break;
            case VK_LEFT: onScroll(SB_HORZ, SB_LINEUP); break;
            case VK_RIGHT: onScroll(SB_HORZ, SB_LINEDOWN); break;
            case 'N':
            case 'P':
                // Next and previous change, as the buttons.
                ::SendMessageA(::GetParent(window()), WM_COMMAND, key == 'N' ? IDC_WC_NEXT : IDC_WC_PREVIOUS, 0);
                break;
            default: break;
        }
    }

    // One side's text from character `left_` on, in [x, right), with its
    // marked parts on `mark`.
    void drawSide(HDC dc, int x, int right, int y, const std::string& text, const std::vector<WordRange>& marks,
                  COLORREF back, COLORREF mark) const {
        RECT cell{x, y, right, y + rowHeight_};
        ::SetBkColor(dc, back);
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
        const std::string shown = drawable(text);
        const auto first = static_cast<std::size_t>(left_);
        if (first >= shown.size()) return;
        // Pieces of the line, each plain or marked, drawn in turn.
        std::size_t at = first;
        std::size_t m = 0;
        while (at < shown.size()) {
            while (m < marks.size() && marks[m].begin + marks[m].length <= at) ++m;
            bool marked = m < marks.size() && marks[m].begin <= at;
            std::size_t end = shown.size();
            if (marked) {
                end = std::min(end, marks[m].begin + marks[m].length);
            } else if (m < marks.size()) {
                end = std::min(end, marks[m].begin);
            }
            const int px = x + static_cast<int>(at - first) * charWidth_;
            if (px >= right) break;
            RECT piece{px, y, std::min(right, px + static_cast<int>(end - at) * charWidth_), y + rowHeight_};
            ::SetBkColor(dc, marked ? mark : back);
            ::ExtTextOutA(dc, px, y, ETO_OPAQUE | ETO_CLIPPED, &piece, shown.data() + at,
                          static_cast<UINT>(end - at), nullptr);
            at = end;
        }
    }

    void drawNumber(HDC dc, int x, int y, std::size_t number, COLORREF back) const {
        RECT cell{x, y, x + kGutterChars * charWidth_, y + rowHeight_};
        ::SetBkColor(dc, back);
        const std::string text = number == 0 ? std::string() : std::to_string(number);
        ::SetTextColor(dc, kNumberInk);
        ::SetTextAlign(dc, TA_RIGHT | TA_TOP);
        ::ExtTextOutA(dc, cell.right - charWidth_, y, ETO_OPAQUE | ETO_CLIPPED, &cell, text.data(),
                      static_cast<UINT>(text.size()), nullptr);
        ::SetTextAlign(dc, TA_LEFT | TA_TOP);
        ::SetTextColor(dc, kTextInk);
    }

    static COLORREF backOf(RowStyle style) {
        switch (style) {
            case RowStyle::Removed: return kRemovedBack;
            case RowStyle::Added: return kAddedBack;
            case RowStyle::Heading: return kNoLineBack;
            case RowStyle::Same:
            case RowStyle::Changed: break;
        }
        return ::GetSysColor(COLOR_WINDOW);
    }

    void paint(HDC target, const RECT& dirty) const {
        RECT client{};
        ::GetClientRect(window(), &client);
        // Drawn into a bitmap first, so that scrolling does not flicker.
        UniqueMemoryDc dc(::CreateCompatibleDC(target));
        UniqueBitmap bitmap(::CreateCompatibleBitmap(target, std::max(1L, client.right), std::max(1L, client.bottom)));
        if (!dc || !bitmap) return;
        HGDIOBJ oldBitmap = ::SelectObject(dc.get(), bitmap.get());
        HGDIOBJ oldFont = ::SelectObject(dc.get(), font_ ? font_.get() : ::GetStockObject(ANSI_FIXED_FONT));
        ::SetBkColor(dc.get(), ::GetSysColor(COLOR_WINDOW));
        ::ExtTextOutA(dc.get(), 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
        ::SetTextColor(dc.get(), kTextInk);

        const int rows = visibleRows() + 1;
        const std::vector<ViewRow> shown =
            comparison_ ? comparison_->rows(top_, static_cast<std::size_t>(rows)) : std::vector<ViewRow>();
        const int gutter = kGutterChars * charWidth_;
        const int width = static_cast<int>(client.right);
        const bool hex = comparison_ && comparison_->view() == ChangeView::Hex;
        // A hex row's sides are of fixed width: the left one with the offset.
        const int half = hex ? static_cast<int>(kHexLeftWidth + 2) * charWidth_ : width / 2;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const ViewRow& row = shown[i];
            const int y = static_cast<int>(i) * rowHeight_;
            if (row.style == RowStyle::Heading && row.twoSides && !hex) {
                drawSide(dc.get(), 0, half, y, row.left, {}, kHeadingBack, kHeadingBack);
                drawSide(dc.get(), half, width, y, row.right, {}, kHeadingBack, kHeadingBack);
                continue;
            }
            if (!row.twoSides) {
                const COLORREF back = backOf(row.style);
                drawNumber(dc.get(), 0, y, row.leftNumber, back);
                drawSide(dc.get(), gutter, width, y, row.left, row.leftMarks, back,
                         row.style == RowStyle::Added ? kAddedMark : kRemovedMark);
                continue;
            }
            const int leftText = hex ? 0 : gutter;
            const int rightText = hex ? half + charWidth_ : half + gutter;
            const COLORREF leftBack = backOf(row.leftStyle);
            const COLORREF rightBack = backOf(row.rightStyle);
            if (!hex) {
                drawNumber(dc.get(), 0, y, row.leftNumber, leftBack);
                drawNumber(dc.get(), half, y, row.rightNumber, rightBack);
            }
            drawSide(dc.get(), leftText, half, y, row.left, row.leftMarks, leftBack, kRemovedMark);
            drawSide(dc.get(), rightText, width, y, row.right, row.rightMarks, rightBack, kAddedMark);
        }
        const bool sideBySide = comparison_ && !comparison_->oneColumn();
        if (sideBySide) {
            HPEN pen = ::CreatePen(PS_SOLID, 1, kSplitInk);
            HGDIOBJ oldPen = ::SelectObject(dc.get(), pen);
            ::MoveToEx(dc.get(), half - 1, 0, nullptr);
            ::LineTo(dc.get(), half - 1, client.bottom);
            ::SelectObject(dc.get(), oldPen);
            ::DeleteObject(pen);
        }
        ::BitBlt(target, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, dc.get(),
                 dirty.left, dirty.top, SRCCOPY);
        ::SelectObject(dc.get(), oldFont);
        ::SelectObject(dc.get(), oldBitmap);
    }

    const Comparison* comparison_ = nullptr;
    UniqueGdiObject<HFONT> font_;
    int rowHeight_ = 16;
    int charWidth_ = 8;
    std::size_t top_ = 0;
    std::size_t scale_ = 1;
    int left_ = 0;
    bool anchoredAtChange_ = false;
    std::size_t anchor_ = 0;
};

}  // namespace

// ---------------------------------------------------------------- the window

class WhatChangedWindow : public Window {
public:
    explicit WhatChangedWindow(const WhatChangedServices& services) : services_(services) {}

    bool create(HWND owner) {
        HICON appIcon = ::LoadIconA(services_.module, MAKEINTRESOURCEA(IDR_MAINFRAME));
        if (!registerClass(services_.module, kWindowClass, 0, appIcon, appIcon,
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
            return false;
        }
        RECT area{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        const int width = std::min(1040, static_cast<int>(area.right - area.left));
        const int height = std::min(640, static_cast<int>(area.bottom - area.top));
        return createWindow(services_.module, kWindowClass, "What changed",
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, owner, nullptr,
                            area.left + (area.right - area.left - width) / 2,
                            area.top + (area.bottom - area.top - height) / 2, width, height);
    }

    // The document's history, and its acknowledged version against its kept
    // content (or the newest two versions when it has no acknowledged one).
    void load(const std::string& name) {
        name_ = name;
        ::SetWindowTextA(window(), ("What changed - " + name).c_str());
        readHistory();
        uint32_t older = kCurrentVersion;
        uint32_t newer = kCurrentVersion;
        if (!baselinePair(versions_, older, newer)) {
            if (versions_.size() < 2) {
                older = newer = kCurrentVersion;
            } else {
                older = versions_[versions_.size() - 2].seq;
                newer = versions_.back().seq;
            }
        }
        compare(older, newer);
    }

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_CREATE: return makeControls() ? 0 : -1;
            case WM_SIZE: layout(); return 0;
            case WM_GETMINMAXINFO: {
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                limits->ptMinTrackSize.x = scaled(520);
                limits->ptMinTrackSize.y = scaled(360);
                return 0;
            }
            case WM_COMMAND: onCommand(LOWORD(wParam)); return 0;
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->idFrom == IDC_WC_HISTORY && header->code == LVN_ITEMCHANGED) enableHistoryButtons();
                if (header->idFrom == IDC_WC_HISTORY && header->code == NM_DBLCLK) onCommand(IDC_WC_COMPARE);
                return 0;
            }
            case WM_SETFOCUS: ::SetFocus(view_.window()); return 0;
            case WM_DPICHANGED: {
                const auto* suggested = reinterpret_cast<const RECT*>(lParam);
                ::SetWindowPos(window(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
                makeFont();
                ::SendMessageA(view_.window(), WM_SETTINGCHANGE, 0, 0);
                layout();
                return 0;
            }
            case WM_CLOSE: ::DestroyWindow(window()); return 0;
            case WM_DESTROY: font_.reset(); return 0;
            default: break;
        }
        return defaultProc(message, wParam, lParam);
    }

    int scaled(int pixels) const { return scaleToDpi(pixels, windowDpi(window())); }

    HWND control(int id) const { return ::GetDlgItem(window(), id); }

    HWND addControl(const char* cls, const char* text, DWORD style, int id, DWORD exStyle = 0) {
        HWND made = ::CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, window(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), services_.module, nullptr);
        if (made != nullptr) ::SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont()), FALSE);
        return made;
    }

    HFONT uiFont() const { return font_ ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

    void makeFont() {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            metrics.lfMessageFont.lfHeight = -::MulDiv(9, static_cast<int>(windowDpi(window())), 72);
            font_.reset(::CreateFontIndirectA(&metrics.lfMessageFont));
        }
        for (HWND child = ::GetWindow(window(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (child != view_.window()) ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont()), TRUE);
        }
    }

    bool makeControls() {
        makeFont();
        HWND history = addControl(WC_LISTVIEWA, "",
                                  LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_BORDER, IDC_WC_HISTORY);
        if (history == nullptr) return false;
        ::SendMessageA(history, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        const char* titles[] = {"Version", "Kept at", "Size", "Acknowledged"};
        const int widths[] = {110, 150, 120, 100};
        for (int i = 0; i < 4; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = i == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            column.cx = scaled(widths[i]);
            column.pszText = const_cast<char*>(titles[i]);
            ::SendMessageA(history, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        addControl(WC_BUTTONA, "&Compare", BS_PUSHBUTTON | WS_TABSTOP, IDC_WC_COMPARE);
        addControl(WC_BUTTONA, "&Open", BS_PUSHBUTTON | WS_TABSTOP, IDC_WC_OPEN);
        addControl(WC_BUTTONA, "&Save as..", BS_PUSHBUTTON | WS_TABSTOP, IDC_WC_SAVE);
        addControl(WC_BUTTONA, "&Make baseline", BS_PUSHBUTTON | WS_TABSTOP, IDC_WC_BASELINE);
        addControl(WC_STATICA, "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, IDC_WC_EVENTS);
        addControl(WC_BUTTONA, "< &Previous", BS_PUSHBUTTON | WS_TABSTOP, IDC_WC_PREVIOUS);
        addControl(WC_BUTTONA, "&Next >", BS_PUSHBUTTON | WS_TABSTOP, IDC_WC_NEXT);
        addControl(WC_BUTTONA, "One co&lumn", BS_AUTOCHECKBOX | WS_TABSTOP, IDC_WC_ONE_COLUMN);
        addControl(WC_BUTTONA, "&Text only", BS_AUTOCHECKBOX | WS_TABSTOP, IDC_WC_TEXT_ONLY);
        addControl(WC_STATICA, "", SS_LEFT | SS_NOPREFIX, IDC_WC_SUMMARY);
        if (!view_.create(window(), services_.module)) return false;
        return true;
    }

    void layout() {
        RECT client{};
        ::GetClientRect(window(), &client);
        const int margin = scaled(7);
        const int gap = scaled(6);
        const int buttonW = scaled(96);
        const int buttonH = scaled(24);
        const int lineH = scaled(18);
        const int width = std::max(0, static_cast<int>(client.right) - 2 * margin);
        const int historyH = scaled(118);
        const auto place = [](HWND w, int x, int y, int cx, int cy) {
            ::SetWindowPos(w, nullptr, x, y, std::max(0, cx), std::max(0, cy), SWP_NOZORDER | SWP_NOACTIVATE);
        };
        int y = margin;
        // The history on the left, its buttons stacked on the right.
        const int listW = width - buttonW - gap;
        place(control(IDC_WC_HISTORY), margin, y, listW, historyH);
        const int buttonX = margin + listW + gap;
        const int ids[] = {IDC_WC_COMPARE, IDC_WC_OPEN, IDC_WC_SAVE, IDC_WC_BASELINE};
        for (int i = 0; i < 4; ++i) place(control(ids[i]), buttonX, y + i * (buttonH + scaled(7)), buttonW, buttonH);
        y += historyH + scaled(3);
        place(control(IDC_WC_EVENTS), margin, y, width, lineH);
        y += lineH + scaled(2);
        // The navigation line.
        int x = margin;
        place(control(IDC_WC_PREVIOUS), x, y, buttonW, buttonH);
        x += buttonW + gap;
        place(control(IDC_WC_NEXT), x, y, buttonW, buttonH);
        x += buttonW + 2 * gap;
        place(control(IDC_WC_ONE_COLUMN), x, y, scaled(100), buttonH);
        x += scaled(100) + gap;
        place(control(IDC_WC_TEXT_ONLY), x, y, scaled(90), buttonH);
        y += buttonH + scaled(4);
        place(control(IDC_WC_SUMMARY), margin, y, width, lineH * 2);
        y += lineH * 2 + scaled(2);
        place(view_.window(), margin, y, width, static_cast<int>(client.bottom) - margin - y);
    }

    // ------------------------------------------------------------ history

    void readHistory() {
        std::vector<HistoryEvent> events;
        {
            auto lock = services_.catalogue->lockDocumentFiles();
            DocumentFiles files(*services_.files);
            versions_ = files.listVersions(name_);
            events = files.historyEvents(name_);
        }
        HWND list = control(IDC_WC_HISTORY);
        ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        const int64_t offset = localOffsetSeconds();
        // Newest first: the kept content at the top.
        for (std::size_t i = versions_.size(); i-- > 0;) {
            const VersionInfo& v = versions_[i];
            const std::string cells[] = {versionName(v.seq), versionTimeText(v.time, offset), sizeText(v.size),
                                         v.baseline ? "yes" : ""};
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = static_cast<int>(versions_.size() - 1 - i);
            item.lParam = static_cast<LPARAM>(i);
            item.pszText = const_cast<char*>(cells[0].c_str());
            const int row = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            for (int c = 1; c < 4; ++c) {
                LVITEMA cell{};
                cell.iSubItem = c;
                cell.pszText = const_cast<char*>(cells[c].c_str());
                ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
            }
        }
        std::string line;
        if (!events.empty()) {
            const HistoryEvent& last = events.back();
            line = versionTimeText(last.time, offset) + "  " + last.text;
            if (events.size() > 1) line += "  (and " + std::to_string(events.size() - 1) + " earlier)";
        }
        ::SetWindowTextA(control(IDC_WC_EVENTS), line.c_str());
        enableHistoryButtons();
    }

    // The versions chosen in the list, as indexes into versions_.
    std::vector<std::size_t> chosenVersions() const {
        std::vector<std::size_t> chosen;
        HWND list = control(IDC_WC_HISTORY);
        for (int row = -1;
             (row = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0;) {
            LVITEMA item{};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            if (::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
                chosen.push_back(static_cast<std::size_t>(item.lParam));
            }
        }
        return chosen;
    }

    void enableHistoryButtons() {
        const std::vector<std::size_t> chosen = chosenVersions();
        uint32_t a = 0;
        uint32_t b = 0;
        ::EnableWindow(control(IDC_WC_COMPARE), pickComparePair(versions_, chosen, a, b));
        const bool one = chosen.size() == 1;
        ::EnableWindow(control(IDC_WC_OPEN), one);
        ::EnableWindow(control(IDC_WC_SAVE), one);
        ::EnableWindow(control(IDC_WC_BASELINE), one && !versions_[chosen.front()].baseline);
    }

    // ------------------------------------------------------------ comparing

    bool readVersion(DocumentFiles& files, uint32_t seq, std::string& bytes, bool& truncated) {
        if (!files.readVersion(name_, seq, kMaxCompareBytes + 1, bytes)) return false;
        if (bytes.size() > kMaxCompareBytes) {
            bytes.resize(kMaxCompareBytes);
            truncated = true;
        }
        return true;
    }

    void compare(uint32_t older, uint32_t newer) {
        older_ = older;
        newer_ = newer;
        Document record{};
        const long slot = services_.catalogue->firstSlotNamed(name_);
        if (slot >= 0) record = services_.catalogue->record(static_cast<std::size_t>(slot));
        source_ = changeSourceOf(record);
        std::string left;
        std::string right;
        bool truncated = false;
        bool read = older != newer;
        if (read) {
            auto lock = services_.catalogue->lockDocumentFiles();
            DocumentFiles files(*services_.files);
            read = readVersion(files, older, left, truncated) && readVersion(files, newer, right, truncated);
        }
        comparison_.reset();
        view_.setComparison(nullptr, 0);
        if (!read) {
            ::SetWindowTextA(control(IDC_WC_SUMMARY),
                             older == newer ? "There is no earlier version to compare with."
                                            : "The versions could not be read.");
            enableViewControls();
            return;
        }
        comparison_ = std::make_unique<Comparison>(source_, std::move(left), std::move(right), toggles(), truncated);
        std::string summary = describe(older) + " against " + describe(newer) + "\r\n" + comparison_->summary();
        if (!comparison_->note().empty()) summary += " (" + comparison_->note() + ")";
        ::SetWindowTextA(control(IDC_WC_SUMMARY), summary.c_str());
        view_.setComparison(comparison_.get(), 0);
        if (!comparison_->same()) view_.moveToChange(comparison_->firstChange());
        enableViewControls();
    }

    std::string describe(uint32_t seq) const {
        std::string text = versionName(seq);
        for (const VersionInfo& v : versions_) {
            if (v.seq != seq) continue;
            std::string about = v.baseline ? "acknowledged" : "";
            const std::string time = versionTimeText(v.time, localOffsetSeconds());
            if (!time.empty()) about += (about.empty() ? "" : ", ") + time;
            if (!about.empty()) text += " (" + about + ")";
        }
        return text;
    }

    ViewToggles toggles() const {
        ViewToggles t;
        t.oneColumn = ::IsDlgButtonChecked(window(), IDC_WC_ONE_COLUMN) == BST_CHECKED;
        t.textOnly = ::IsDlgButtonChecked(window(), IDC_WC_TEXT_ONLY) == BST_CHECKED;
        return t;
    }

    void enableViewControls() {
        const bool lines = comparison_ && (comparison_->view() == ChangeView::Lines ||
                                           comparison_->view() == ChangeView::Middle);
        const bool moves = comparison_ && comparison_->view() != ChangeView::Count && !comparison_->same();
        ::EnableWindow(control(IDC_WC_PREVIOUS), moves);
        ::EnableWindow(control(IDC_WC_NEXT), moves);
        ::EnableWindow(control(IDC_WC_ONE_COLUMN), lines);
        ::EnableWindow(control(IDC_WC_TEXT_ONLY), lines && source_.page);
    }

    void move(bool next) {
        if (!comparison_) return;
        const std::size_t from = view_.anchor();
        const std::size_t to = next ? comparison_->nextChange(from) : comparison_->previousChange(from);
        if (to == Comparison::npos) {
            ::MessageBeep(MB_OK);
            return;
        }
        view_.moveToChange(to);
    }

    // ------------------------------------------------------------ commands

    void onCommand(int id) {
        switch (id) {
            case IDC_WC_PREVIOUS: move(false); break;
            case IDC_WC_NEXT: move(true); break;
            case IDC_WC_ONE_COLUMN:
            case IDC_WC_TEXT_ONLY: compare(older_, newer_); break;
            case IDC_WC_COMPARE: {
                uint32_t a = 0;
                uint32_t b = 0;
                if (pickComparePair(versions_, chosenVersions(), a, b)) compare(a, b);
                break;
            }
            case IDC_WC_OPEN: openChosen(); break;
            case IDC_WC_SAVE: saveChosen(); break;
            case IDC_WC_BASELINE: makeChosenBaseline(); break;
            default: return;
        }
    }

    bool oneChosen(uint32_t& seq) const {
        const std::vector<std::size_t> chosen = chosenVersions();
        if (chosen.size() != 1) return false;
        seq = versions_[chosen.front()].seq;
        return true;
    }

    Document record() const {
        const long slot = services_.catalogue->firstSlotNamed(name_);
        return slot >= 0 ? services_.catalogue->record(static_cast<std::size_t>(slot)) : Document{};
    }

    void say(const char* text) { ::MessageBoxA(window(), text, "What changed", MB_OK | MB_ICONEXCLAMATION); }

    void openChosen() {
        uint32_t seq = 0;
        if (!oneChosen(seq) || services_.launcher == nullptr) return;
        std::string copy;
        {
            auto lock = services_.catalogue->lockDocumentFiles();
            DocumentFiles files(*services_.files);
            copy = files.makeVersionOpenCopy(name_, seq, versionFileName(record()), kOpenNameRoom,
                                             kMaxOpenPathLength);
        }
        if (copy.empty() || !services_.launcher->shellOpen(copy, false)) say("The version could not be opened.");
    }

    void saveChosen() {
        uint32_t seq = 0;
        if (!oneChosen(seq)) return;
        char path[4096] = {};
        const std::string suggested = versionFileName(record());
        suggested.copy(path, std::min(suggested.size(), sizeof path - 1));
        OPENFILENAMEA choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = window();
        choose.lpstrFile = path;
        choose.nMaxFile = sizeof path;
        choose.lpstrTitle = "Save version as..";
        // The working directory holds every data path: choosing must not move it.
        choose.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
        if (!::GetSaveFileNameA(&choose)) return;
        bool saved = false;
        {
            auto lock = services_.catalogue->lockDocumentFiles();
            DocumentFiles files(*services_.files);
            saved = files.copyVersion(name_, seq, path);
        }
        if (!saved) {
            say("The version could not be saved. Please check that the target folder can be written to and has "
                "free space.");
        }
    }

    void makeChosenBaseline() {
        uint32_t seq = 0;
        if (!oneChosen(seq)) return;
        bool made = false;
        {
            auto lock = services_.catalogue->lockDocumentFiles();
            DocumentFiles files(*services_.files);
            made = files.setBaseline(name_, seq);
        }
        if (!made) say("The version could not be made the acknowledged one.");
        load(name_);
    }

    WhatChangedServices services_;
    std::string name_;
    std::vector<VersionInfo> versions_;
    uint32_t older_ = kCurrentVersion;
    uint32_t newer_ = kCurrentVersion;
    ChangeSource source_;
    std::unique_ptr<Comparison> comparison_;
    DifferenceView view_;
    UniqueGdiObject<HFONT> font_;
};

WhatChangedWindows::WhatChangedWindows(WhatChangedServices services) : services_(std::move(services)) {}

WhatChangedWindows::~WhatChangedWindows() = default;

HWND WhatChangedWindows::window() const { return window_ ? window_->window() : nullptr; }

bool WhatChangedWindows::show(HWND owner, const std::string& name) {
    if (window() == nullptr) {
        window_ = std::make_unique<WhatChangedWindow>(services_);
        if (!window_->create(owner)) {
            window_.reset();
            return false;
        }
    }
    window_->load(name);
    HWND shown = window_->window();
    if (::IsIconic(shown)) ::ShowWindow(shown, SW_RESTORE);
    ::ShowWindow(shown, SW_SHOW);
    ::SetForegroundWindow(shown);
    return true;
}

}  // namespace hs
