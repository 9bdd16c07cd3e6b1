#include "app/win32/halvorsight_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstdio>
#include <cstring>

#include "app/command_ids.h"
#include "app/options.h"
#include "app/win32/feature_hooks.h"
#include "app/win32/message_guard.h"
#include "app/win32/shell_state.h"
#include "app/win32/tray_icon.h"
#include "app/win32/view_messages.h"
#include "app/win32/win32_check_host.h"
#include "app/win32/win32_handles.h"
#include "catalogue/catalogue.h"
#include "catalogue/commands.h"
#include "catalogue/store.h"
#include "engine/check_worker.h"
#include "platform/file_system.h"


namespace hs {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kListControlId = 0xE900;  // the framework's first pane id
constexpr const char* kBrowserProbeFile = "HalvorsightTemp.htm";

}  // namespace

std::string findBrowserPath() {
    // The shell answers only for a file that exists, so an empty probe is
    // made and deleted again. A file of that name that is already there is
    // the user's: it is asked about as it is, and neither emptied nor
    // deleted.
    HANDLE probe = ::CreateFileA(kBrowserProbeFile, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    const bool madeProbe = probe != INVALID_HANDLE_VALUE;
    if (madeProbe) ::CloseHandle(probe);
    char found[MAX_PATH + 1] = {};
    const HINSTANCE result = ::FindExecutableA(kBrowserProbeFile, nullptr, found);
    if (madeProbe) ::DeleteFileA(kBrowserProbeFile);
    if (reinterpret_cast<INT_PTR>(result) <= 32) return std::string();
    found[MAX_PATH] = '\0';
    return found;
}

CHalvorsightView::CHalvorsightView() {
    shellState().browserPath = findBrowserPath();
}

CHalvorsightView::~CHalvorsightView() {
    if (list_.window() != nullptr && ::IsWindow(list_.window())) {
        ::RemoveWindowSubclass(list_.window(), subclassProc, kSubclassId);
    }
}

bool CHalvorsightView::create(HWND frame) {
    frame_ = frame;
    HWND list = DocumentListControl::create(frame, kListControlId);
    if (list == nullptr) return false;
    list_ = DocumentListControl(list);
    return ::SetWindowSubclass(list, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

// ---------------------------------------------------------------- start-up

void CHalvorsightView::initialUpdate() {
    frameworkInitialUpdate();   // 1
    rememberViewWindow();       // 2
    addTrayIconStep();          // 3
    setUpColumnsAndImages();    // 4
    enableFullRowHighlight();   // 5
    loadDocuments();            // 6
    readProgramOptions();       // 7
    runStartupCheck();          // 8
    armPeriodicCheck();         // 9
    applyStoredBackground();    // 10
    setPreferWizard();          // 11
    startStartupWorker();       // 12
    armStartupPrompt();         // 13
}

void CHalvorsightView::frameworkInitialUpdate() {
    ::InvalidateRect(list_.window(), nullptr, TRUE);
}

void CHalvorsightView::rememberViewWindow() {
    shellState().listView.store(list_.window());
}

void CHalvorsightView::addTrayIconStep() {
    addTrayIcon(list_.window());
}

void CHalvorsightView::setUpColumnsAndImages() {
    list_.insertColumns();
    list_.attachStatusImages(resourceModule());
}

void CHalvorsightView::enableFullRowHighlight() {
    fullRowHighlight_ = true;
    ::InvalidateRect(list_.window(), nullptr, TRUE);
}

void CHalvorsightView::showLoadedRow(std::size_t slot) {
    list_.showRecordRow(theCatalogue(), slot, static_cast<int>(slot), RowMode::Insert);
}

void CHalvorsightView::loadDocuments() {
    loadCatalogue(theCatalogue(), platformFileSystem(), [this](std::size_t slot) { showLoadedRow(slot); });
}

void CHalvorsightView::readProgramOptions() {
    readOptions();
}

void CHalvorsightView::runStartupCheck() {
    if (startupCheckOn()) markAllDocumentsForCheck();
}

void CHalvorsightView::armPeriodicCheck() {
    armPeriodicCheckTimer(list_.window());
}

void CHalvorsightView::applyStoredBackground() {
    applyStartupBackground(list_.window());
}

void CHalvorsightView::setPreferWizard() {
    preferWizardAtStart();
}

void CHalvorsightView::startStartupWorker() {
    startWorker();
}

void CHalvorsightView::armStartupPrompt() {
    armStartupPromptTimer(list_.window());
}

// ---------------------------------------------------------------- checking

void CHalvorsightView::startWorker() {
    startCheckWorker(theCatalogue(), programCheckHost());
}

std::size_t CHalvorsightView::markAllDocumentsForCheck() {
    DocumentCatalogue& catalogue = theCatalogue();
    std::size_t marked = 0;
    const std::size_t slots = catalogue.slotCount();
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const long row = list_.rowOfRecord(catalogue, slot);  // free slots have no row
        if (row < 0) continue;
        // Test and change in one step under the catalogue lock; a slot a
        // worker holds right now is flagged to be retrieved once more.
        if (!markForRetrieval(catalogue, slot, SkipChanged)) continue;
        list_.showRecordRow(catalogue, slot, static_cast<int>(row), RowMode::Refresh);
        ++marked;
    }
    return marked;
}

void CHalvorsightView::checkAllDocuments() {
    markAllDocumentsForCheck();
    startWorker();
}

// ---------------------------------------------------------------- commands

bool CHalvorsightView::onCommand(int commandId) {
    HWND view = list_.window();
    switch (commandId) {
        case ID_DOC_ADD: addDocumentCommand(view); return true;
        case ID_DOC_EDIT: editDocumentCommand(view); return true;
        case ID_DOC_DUPLICATE: duplicateDocumentCommand(view); return true;
        case ID_DOC_DELETE: deleteDocumentsCommand(view); return true;
        case ID_DOC_CHECK: checkSelectedDocumentsCommand(view); return true;
        case ID_DOC_CHECK_ALL: checkAllDocuments(); return true;
        case ID_DOC_SELECT_ALL: selectAllRowsCommand(view); return true;
        case ID_DOC_DESELECT_ALL: deselectAllRowsCommand(view); return true;
        case ID_DOC_SET_NOTCHANGED: setSelectedNotChangedCommand(view); return true;
        case ID_DOC_SET_ALL_NOTCHANGED: setAllNotChangedCommand(view); return true;
        case ID_DOC_OPEN: openSelectedDocumentsCommand(view); return true;
        case ID_DOC_VIEW_HEADER: viewDocumentHeaderCommand(view); return true;
        case ID_DOC_SAVE_AS: saveDocumentAsCommand(view); return true;
        case ID_BG_DEFAULT: backgroundDefaultCommand(view); return true;
        case ID_BG_EMPTY: backgroundEmptyCommand(view); return true;
        case ID_BG_CUSTOM: backgroundCustomCommand(view); return true;
        case ID_APP_OPTION: optionsCommand(view); return true;
        case ID_TRAY_OPEN: restoreFromTray(); return true;
        default: return false;
    }
}

// ---------------------------------------------------------------- painting

void CHalvorsightView::drawItem(const DRAWITEMSTRUCT& item) const {
    list_.drawRow(item, fullRowHighlight_);
}

bool CHalvorsightView::onListNotify(const NMHDR& header, LRESULT& result) {
    if (header.code == LVN_COLUMNCLICK) {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
        sortRowsByColumn(list_.window(), click.iSubItem);
        result = 0;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- window

LRESULT CALLBACK CHalvorsightView::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR self) {
    auto* view = reinterpret_cast<CHalvorsightView*>(self);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, subclassProc, kSubclassId);
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    return guardedMessage([&] { return view->handleMessage(message, wParam, lParam); }, 0);
}

LRESULT CHalvorsightView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = list_.window();
    switch (message) {
        case WM_COMMAND:
            // Commands of the menus this window owns (context and tray menu)
            // take the same route as the frame's: availability, then the chain.
            return ::SendMessageA(frame_, WM_COMMAND, wParam, lParam);
        case WM_TIMER:
            handleViewTimer(*this, wParam);
            return 0;
        case TRAY_CALLBACK_MESSAGE:
            return handleTrayCallback(window, message, wParam, lParam);
        case kRecordChangedMessage:
            list_.refreshRecordRow(theCatalogue(), static_cast<std::size_t>(wParam));
            return 0;
        case kArmBlinkMessage:
            // Still hidden? The window may have come back since the post.
            if (isHiddenInTray()) armTrayBlinkTimer(window);
            return 0;
        case WM_CONTEXTMENU:
            showContextMenu(lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            return onDoubleClick(message, wParam, lParam);
        case WM_MENUSELECT:
            // The status bar shows the prompts of this window's menus too.
            ::SendMessageA(frame_, message, wParam, lParam);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void CHalvorsightView::showContextMenu(LPARAM screenPoint) {
    const int x = GET_X_LPARAM(screenPoint);
    const int y = GET_Y_LPARAM(screenPoint);
    if (x == -1 && y == -1) return;  // a keyboard request has no point
    HWND window = list_.window();
    RECT client{};
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT point{x, y};
    if (!::PtInRect(&client, point)) return;
    UniqueMenu menu(::LoadMenuA(resourceModule(), MAKEINTRESOURCEA(IDR_CONTEXT_MENU)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (popup == nullptr) return;
    SelectionSnapshot selection;
    selection.selectedRows = selectedCount();
    applyMenuAvailability(popup, selection);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, window, nullptr);
}

LRESULT CHalvorsightView::onDoubleClick(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = list_.window();
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    LVHITTESTINFO hit{};
    hit.pt.x = GET_X_LPARAM(lParam);
    hit.pt.y = GET_Y_LPARAM(lParam);
    const int row = static_cast<int>(::SendMessageA(window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0) openRowOnDoubleClick(window, row);
    return result;
}

// ---------------------------------------------------------------- timers

void CHalvorsightView::stopTimer(UINT_PTR timerId) {
    ::KillTimer(list_.window(), timerId);
}

void CHalvorsightView::setTrayIcon(int iconId) {
    hs::setTrayIcon(iconId);
}

int CHalvorsightView::rowCount() {
    return list_.rowCount();
}

void CHalvorsightView::offerStartupWizard() {
    hs::offerStartupWizard(list_.window());
}

bool CHalvorsightView::hiddenInTray() {
    return isHiddenInTray();
}

int32_t& CHalvorsightView::blinkPhase() {
    return shellState().blinkPhase;
}

}  // namespace hs
