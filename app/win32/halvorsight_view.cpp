#include "app/win32/halvorsight_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>

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
#include "listview/win32/context_menu.h"
#include "listview/win32/document_list_control.h"
#include "platform/file_system.h"

namespace hs {

namespace {

constexpr int kListControlId = 0xE900;  // the framework's first pane id
constexpr const char* kBrowserProbeFile = "HalvorsightTemp.htm";

// Changes to more rows than this are made with the list's redrawing off and
// one repaint at the end; smaller ones repaint just their rows.
constexpr int kBulkRows = 64;

CHalvorsightView* theView = nullptr;

// The delete command's host: after a Yes the rows go with the list's
// redrawing paused (when there are many), never while the question shows.
class PauseAfterYes : public CommandHost {
public:
    PauseAfterYes(CommandHost& inner, RedrawPause& pause, bool bulk) : inner_(inner), pause_(pause), bulk_(bulk) {}
    void showInformation(const std::string& text) override { inner_.showInformation(text); }
    bool askYesNo(const std::string& text) override {
        const bool yes = inner_.askYesNo(text);
        if (yes && bulk_) pause_.begin();
        return yes;
    }

private:
    CommandHost& inner_;
    RedrawPause& pause_;
    bool bulk_;
};

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

CHalvorsightView::CHalvorsightView() : CHalvorsightView(ViewServices{}) {}

CHalvorsightView::CHalvorsightView(ViewServices services) : services_(std::move(services)) {
    if (theView == nullptr) theView = this;
    catalogue_ = services_.catalogue != nullptr ? services_.catalogue : &theCatalogue();
    files_ = services_.files != nullptr ? services_.files : &platformFileSystem();
    if (!services_.startCheckWorker) {
        services_.startCheckWorker = [] {
            startCheckWorker(theCatalogue(), programCheckHost(), platformFileSystem(), localRetrievalPaths());
        };
    }
    shellState().browserPath = findBrowserPath();
}

CHalvorsightView::~CHalvorsightView() {
    if (theView == this) theView = nullptr;
    unsubclass();
}

CHalvorsightView* programView() { return theView; }

bool CHalvorsightView::create(HWND frame) {
    frame_ = frame;
    messageBoxes_.setOwner(frame);
    HWND list = DocumentListControl::create(frame, kListControlId);
    if (list == nullptr) return false;
    rows_.attach(list);
    documents_ = std::make_unique<DocumentList>(rows_, *catalogue_);
    // The control's own procedure is replaced, not chained through the
    // common controls' subclass list: that one looks its data up as a window
    // property on every message, which costs a round trip to the window
    // server under Wine and made each row message forty times dearer.
    ::SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHalvorsightView::listWindowProc)));
    return listProc_ != nullptr;
}

void CHalvorsightView::unsubclass() {
    HWND list = rows_.window();
    if (list == nullptr || listProc_ == nullptr || !::IsWindow(list)) return;
    ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc_));
    ::SetWindowLongPtrA(list, GWLP_USERDATA, 0);
    listProc_ = nullptr;
}

LRESULT CHalvorsightView::callListProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcA(listProc_, rows_.window(), message, wParam, lParam);
}

CommandContext CHalvorsightView::commandContext() {
    CommandHost& host = services_.commandHost != nullptr ? *services_.commandHost : messageBoxes_;
    return CommandContext{*catalogue_, *documents_, host, *files_, services_.startCheckWorker};
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
    ::InvalidateRect(window(), nullptr, TRUE);
}

void CHalvorsightView::rememberViewWindow() {
    shellState().listView.store(window());
}

void CHalvorsightView::addTrayIconStep() {
    addTrayIcon(window());
}

void CHalvorsightView::setUpColumnsAndImages() {
    DocumentListControl control(window());
    control.insertColumns();
    control.attachStatusImages(resourceModule());
}

void CHalvorsightView::enableFullRowHighlight() {
    // The row painter highlights a row across every column, from the name's
    // label to the row's right edge.
    ::InvalidateRect(window(), nullptr, TRUE);
}

void CHalvorsightView::loadDocuments() {
    RedrawPause pause(window());
    bool first = true;
    loadCatalogue(*catalogue_, *files_, [&](std::size_t slot) {
        // Every record is in the catalogue before the first row is shown:
        // the list makes room for all of them at once.
        if (first) {
            rows_.reserveRows(documents_->rowCount() + static_cast<int>(catalogue_->slotCount()));
            first = false;
        }
        documents_->showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
    });
}

void CHalvorsightView::readProgramOptions() {
    readOptions();
}

void CHalvorsightView::runStartupCheck() {
    if (startupCheckOn()) markAllDocumentsForCheck();
}

void CHalvorsightView::armPeriodicCheck() {
    armPeriodicCheckTimer(window());
}

void CHalvorsightView::applyStoredBackground() {
    applyStartupBackground(window());
}

void CHalvorsightView::setPreferWizard() {
    preferWizardAtStart();
}

void CHalvorsightView::startStartupWorker() {
    startWorker();
}

void CHalvorsightView::armStartupPrompt() {
    armStartupPromptTimer(window());
}

// ---------------------------------------------------------------- checking

void CHalvorsightView::startWorker() {
    if (services_.startCheckWorker) services_.startCheckWorker();
}

std::size_t CHalvorsightView::markAllDocumentsForCheck() {
    RedrawPause pause(window(), documents_->rowCount() > kBulkRows);
    return markAllDocuments(*catalogue_, *documents_);
}

void CHalvorsightView::checkAllDocuments() {
    markAllDocumentsForCheck();
    startWorker();
}

// ---------------------------------------------------------------- commands

void CHalvorsightView::deleteSelectedDocuments() {
    // Redrawing stops only after the Yes, so the list is painted while the
    // question is shown.
    RedrawPause pause(window(), false);
    CommandContext ctx = commandContext();
    PauseAfterYes host(ctx.host, pause, selectedCount() > kBulkRows);
    CommandContext pausing{ctx.catalogue, ctx.list, host, ctx.files, ctx.startCheckWorker};
    deleteSelected(pausing);
}

bool CHalvorsightView::onCommand(int commandId) {
    if (!documents_) return false;
    HWND view = window();
    switch (commandId) {
        case ID_DOC_CHECK: {
            RedrawPause pause(view, selectedCount() > kBulkRows);
            CommandContext ctx = commandContext();
            checkSelected(ctx);
            return true;
        }
        case ID_DOC_CHECK_ALL:
            checkAllDocuments();
            return true;
        case ID_DOC_SELECT_ALL:
        case ID_DOC_DESELECT_ALL: {
            // One message, but the control repaints every row it changes.
            RedrawPause pause(view, documents_->rowCount() > kBulkRows);
            setSelectionOfAll(*documents_, commandId == ID_DOC_SELECT_ALL);
            return true;
        }
        case ID_DOC_SET_NOTCHANGED: {
            RedrawPause pause(view, selectedCount() > kBulkRows);
            CommandContext ctx = commandContext();
            setSelectedNotChanged(ctx);
            return true;
        }
        case ID_DOC_SET_ALL_NOTCHANGED: {
            RedrawPause pause(view, documents_->rowCount() > kBulkRows);
            CommandContext ctx = commandContext();
            setAllNotChanged(ctx);
            return true;
        }
        case ID_DOC_DELETE:
            deleteSelectedDocuments();
            return true;
        case ID_DOC_ADD: addDocumentCommand(view); return true;
        case ID_DOC_EDIT: editDocumentCommand(view); return true;
        case ID_DOC_DUPLICATE: duplicateDocumentCommand(view); return true;
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
    if (documents_) drawListRow(window(), *documents_, item);
}

bool CHalvorsightView::onListNotify(const NMHDR& header, LRESULT& result) {
    if (header.code == LVN_COLUMNCLICK && documents_) {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
        RedrawPause pause(window(), documents_->rowCount() > 1);
        documents_->headerClicked(click.iSubItem);
        result = 0;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- window

LRESULT CALLBACK CHalvorsightView::listWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<CHalvorsightView*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (view == nullptr || view->listProc_ == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = view->listProc_;
        view->unsubclass();
        return ::CallWindowProcA(original, window, message, wParam, lParam);
    }
    return guardedMessage([&] { return view->handleMessage(message, wParam, lParam); }, 0);
}

LRESULT CHalvorsightView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = rows_.window();
    LRESULT painted = 0;
    if (listPaintingMessage(window, message, wParam, lParam, painted)) return painted;
    switch (message) {
        case WM_COMMAND:
            // Commands of the menus this window owns (context and tray menu)
            // take the same route as the frame's: availability, then the chain.
            if (frame_ != nullptr) return ::SendMessageA(frame_, WM_COMMAND, wParam, lParam);
            break;
        case WM_TIMER:
            handleViewTimer(*this, wParam);
            return 0;
        case TRAY_CALLBACK_MESSAGE:
            return handleTrayCallback(window, message, wParam, lParam);
        case kRecordChangedMessage:
            // Lookup and refresh in one step on this thread: the refresh lands
            // in the row that shows the document now, whatever moved since.
            if (documents_) documents_->refreshRecordRow(static_cast<long>(wParam));
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
            if (frame_ != nullptr) ::SendMessageA(frame_, message, wParam, lParam);
            break;
        default:
            break;
    }
    return callListProc(message, wParam, lParam);
}

void CHalvorsightView::showContextMenu(LPARAM screenPoint) {
    POINT point{};
    if (!contextMenuPoint(window(), screenPoint, point)) return;
    showDocumentContextMenu(window(), resourceModule(), point, selectedCount());
}

LRESULT CHalvorsightView::onDoubleClick(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = rows_.window();
    const LRESULT result = callListProc(message, wParam, lParam);
    LVHITTESTINFO hit{};
    hit.pt.x = GET_X_LPARAM(lParam);
    hit.pt.y = GET_Y_LPARAM(lParam);
    const int row = static_cast<int>(::SendMessageA(window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0) openRowOnDoubleClick(window, row);
    return result;
}

// ---------------------------------------------------------------- timers

void CHalvorsightView::stopTimer(UINT_PTR timerId) {
    ::KillTimer(window(), timerId);
}

void CHalvorsightView::setTrayIcon(int iconId) {
    hs::setTrayIcon(iconId);
}

int CHalvorsightView::rowCount() {
    return documents_ ? documents_->rowCount() : 0;
}

void CHalvorsightView::offerStartupWizard() {
    hs::offerStartupWizard(window());
}

bool CHalvorsightView::hiddenInTray() {
    return isHiddenInTray();
}

int32_t& CHalvorsightView::blinkPhase() {
    return shellState().blinkPhase;
}

}  // namespace hs
