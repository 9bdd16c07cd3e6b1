#include "app/win32/halvorsight_view.h"

#include "platform/win32/dpi.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>

#include "app/background_choice.h"
#include "app/win32/context_menu.h"
#include "app/win32/view_messages.h"
#include "catalogue/document_files.h"
#include "catalogue/store.h"
#include "listview/win32/document_list_control.h"
#include "listview/win32/row_painter.h"

namespace hs {

namespace {

constexpr int kListControlId = 0xE900;  // the framework's first pane id
constexpr const char* kBrowserProbeFile = "HalvorsightTemp.htm";

// Changes to more rows than this are made with the list's redrawing off and
// one repaint at the end; smaller ones repaint just their rows.
constexpr int kBulkRows = 64;

// The delete command's host: after a Yes the rows go with the list's
// redrawing paused (when there are many), never while the question shows.
class PauseAfterYes : public CommandHost {
public:
    PauseAfterYes(CommandHost& inner, RedrawPause& pause, bool bulk) : inner_(inner), pause_(pause), bulk_(bulk) {}
    void showInformation(const std::string& text) override { inner_.showInformation(text); }
    void showWarning(const std::string& text) override { inner_.showWarning(text); }
    void showError(const std::string& text) override { inner_.showError(text); }
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
    const bool madeProbe = static_cast<bool>(UniqueHandle(::CreateFileA(
        kBrowserProbeFile, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    char found[MAX_PATH + 1] = {};
    const HINSTANCE result = ::FindExecutableA(kBrowserProbeFile, nullptr, found);
    if (madeProbe) ::DeleteFileA(kBrowserProbeFile);
    if (reinterpret_cast<INT_PTR>(result) <= 32) return std::string();
    found[MAX_PATH] = '\0';
    return found;
}

CHalvorsightView::CHalvorsightView(ViewServices services) : services_(std::move(services)) {
    services_.shell.browserPath = findBrowserPath();
}

CHalvorsightView::~CHalvorsightView() = default;

bool CHalvorsightView::create(HWND frame) {
    frame_ = frame;
    messageBoxes_.setOwner(frame);
    HWND list = DocumentListControl::create(frame, kListControlId);
    if (list == nullptr) return false;
    rows_.attach(list);
    background_.attach(list, services_.module);
    documents_ = std::make_unique<DocumentList>(rows_, services_.catalogue);
    return subclass(list);
}

bool CHalvorsightView::bulk(int rows) const { return rows > kBulkRows; }

CommandContext CHalvorsightView::commandContext() {
    CommandHost& host = services_.commandHost != nullptr ? *services_.commandHost : messageBoxes_;
    return CommandContext{services_.catalogue, *documents_, host, services_.files, services_.startCheckWorker};
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
    // From now on the workers' refreshes and blink requests come here.
    services_.checkHost.setWindow(window());
}

void CHalvorsightView::addTrayIconStep() {
    services_.tray.add(window());
}

void CHalvorsightView::setUpColumnsAndImages() {
    DocumentListControl control(window());
    dpi_ = windowDpi(window());
    control.insertColumns();
    control.attachStatusImages(services_.module);
}

void CHalvorsightView::dpiChanged() {
    const UINT dpi = windowDpi(window());
    if (dpi == dpi_) return;
    DocumentListControl control(window());
    control.rescaleColumns(dpi_, dpi);
    control.attachStatusImages(services_.module);
    dpi_ = dpi;
    ::InvalidateRect(window(), nullptr, TRUE);
}

void CHalvorsightView::enableFullRowHighlight() {
    // The row painter highlights a row across every column, from the name's
    // label to the row's right edge.
    ::InvalidateRect(window(), nullptr, TRUE);
}

void CHalvorsightView::loadDocuments() {
    RedrawPause pause(rows_);
    bool first = true;
    loadCatalogue(services_.catalogue, services_.files, [&](std::size_t slot) {
        // Every record is in the catalogue before the first row is shown:
        // the list makes room for all of them at once.
        if (first) {
            rows_.reserveRows(documents_->rowCount() + static_cast<int>(services_.catalogue.slotCount()));
            first = false;
        }
        documents_->showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
    });
}

void CHalvorsightView::readProgramOptions() {
    services_.options.readOptions();
}

void CHalvorsightView::runStartupCheck() {
    if (services_.options.startupCheckOn()) markAllDocumentsForCheck();
}

void CHalvorsightView::armPeriodicCheck() {
    armPeriodicCheckTimer(window(), services_.options);
}

void CHalvorsightView::applyStoredBackground() {
    CommandContext ctx = commandContext();
    applyStartupBackground(services_.options, background_, ctx.host);
}

void CHalvorsightView::setPreferWizard() {
    // Nothing to prefer until the add wizard exists.
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
    RedrawPause pause(rows_, bulk(documents_->rowCount()));
    return markAllDocuments(services_.catalogue, *documents_);
}

void CHalvorsightView::checkAllDocuments() {
    markAllDocumentsForCheck();
    startWorker();
}

void CHalvorsightView::refreshChangedRows() {
    const std::vector<std::size_t> slots = services_.checkHost.takeChangedSlots();
    if (!documents_) return;
    RedrawPause pause(rows_, bulk(static_cast<int>(slots.size())));
    // Lookup and refresh in one step on this thread: each refresh lands in
    // the row that shows the document now, whatever moved since.
    for (std::size_t slot : slots) documents_->refreshRecordRow(static_cast<long>(slot));
}

// ---------------------------------------------------------------- commands

void CHalvorsightView::checkSelectedDocuments() {
    RedrawPause pause(rows_, bulk(selectedCount()));
    CommandContext ctx = commandContext();
    checkSelected(ctx);
}

void CHalvorsightView::setSelectionOfAllRows(bool select) {
    // One message, but the control repaints every row it changes.
    RedrawPause pause(rows_, bulk(documents_->rowCount()));
    setSelectionOfAll(*documents_, select);
}

void CHalvorsightView::setSelectedDocumentsNotChanged() {
    RedrawPause pause(rows_, bulk(selectedCount()));
    CommandContext ctx = commandContext();
    setSelectedNotChanged(ctx);
}

void CHalvorsightView::setAllDocumentsNotChanged() {
    RedrawPause pause(rows_, bulk(documents_->rowCount()));
    CommandContext ctx = commandContext();
    setAllNotChanged(ctx);
}

void CHalvorsightView::deleteSelectedDocuments() {
    // Redrawing stops only after the Yes, so the list is painted while the
    // question is shown.
    RedrawPause pause(rows_, false);
    CommandContext ctx = commandContext();
    PauseAfterYes host(ctx.host, pause, bulk(selectedCount()));
    CommandContext pausing{ctx.catalogue, ctx.list, host, ctx.files, ctx.startCheckWorker};
    deleteSelected(pausing);
}

bool CHalvorsightView::singleSelectedName(std::string& name) {
    if (!documents_ || selectedCount() != 1) return false;
    const std::vector<int> rows = documents_->selectedRows();
    const long slot = rows.empty() ? -1 : documents_->recordOfRow(rows.front());
    if (slot < 0) return false;
    name = services_.catalogue.name(static_cast<std::size_t>(slot));
    return !name.empty();
}

SelectionSnapshot CHalvorsightView::selection() {
    SelectionSnapshot snapshot;
    snapshot.selectedRows = selectedCount();
    std::string name;
    if (singleSelectedName(name)) {
        auto lock = services_.catalogue.lockDocumentFiles();
        snapshot.selectedHasDifference = DocumentFiles(services_.files).hasDifference(name);
    }
    return snapshot;
}

// ---------------------------------------------------------------- painting

void CHalvorsightView::drawItem(const DRAWITEMSTRUCT& item) const {
    if (documents_) drawListRow(window(), *documents_, item, &background_);
}

void CHalvorsightView::useDefaultBackground() {
    chooseDefaultBackground(services_.options, background_);
}

void CHalvorsightView::useEmptyBackground() {
    chooseEmptyBackground(services_.options, background_);
}

void CHalvorsightView::chooseCustomBackground() {
    const std::string path = chooseBackgroundBitmapFile(window());
    if (path.empty()) return;
    CommandContext ctx = commandContext();
    hs::chooseCustomBackground(services_.options, background_, ctx.host, path);
}

LRESULT CHalvorsightView::onHeaderNotify(WPARAM wParam, LPARAM lParam) {
    // The header is a child of the list: its notifications come here.
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header != nullptr && (header->code == HDN_ITEMCHANGINGA || header->code == HDN_ITEMCHANGINGW)) {
        background_.columnWidthChanging();
    }
    return defaultProc(WM_NOTIFY, wParam, lParam);
}

bool CHalvorsightView::onListNotify(const NMHDR& header, LRESULT& result) {
    if (header.code == LVN_COLUMNCLICK && documents_) {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
        RedrawPause pause(rows_, documents_->rowCount() > 1);
        documents_->headerClicked(click.iSubItem);
        result = 0;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- window

LRESULT CHalvorsightView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = this->window();
    switch (message) {
        case WM_COMMAND:
            // Commands of the menus this window owns (context and tray menu)
            // take the same route as the frame's: the command table.
            if (frame_ != nullptr) return ::SendMessageA(frame_, WM_COMMAND, wParam, lParam);
            break;
        case WM_TIMER:
            if (wParam == kRowRefreshTimer) {
                ::KillTimer(window, kRowRefreshTimer);
                refreshTimerArmed_ = false;
                refreshChangedRows();
                return 0;
            }
            handleViewTimer(*this, wParam);
            return 0;
        case kTrayCallbackMessage:
            if (LOWORD(lParam) >= NIN_BALLOONSHOW && LOWORD(lParam) <= NIN_BALLOONUSERCLICK && services_.balloonEvent) {
                services_.balloonEvent(LOWORD(lParam));
            }
            return handleTrayCallback(window, message, wParam, lParam, services_.shell, services_.module);
        case kRecordsChangedMessage:
            // A worker that finished has its last rows shown at once.
            if (wParam == kFlushRefreshes) {
                if (refreshTimerArmed_) ::KillTimer(window, kRowRefreshTimer);
                refreshTimerArmed_ = false;
                refreshChangedRows();
                return 0;
            }
            // The queue keeps filling until the timer drains it; no further
            // wake-up comes meanwhile.
            if (!refreshTimerArmed_) {
                refreshTimerArmed_ = ::SetTimer(window, kRowRefreshTimer, kRowRefreshIntervalMs, nullptr) != 0;
                if (!refreshTimerArmed_) refreshChangedRows();
            }
            return 0;
        case kCheckEffectsMessage:
            services_.checkHost.runEffects();
            return 0;
        case kArmBlinkMessage:
            // Still hidden? The window may have come back since the post.
            if (services_.shell.isHiddenInTray()) armTrayBlinkTimer(window);
            return 0;
        case WM_CONTEXTMENU:
            showContextMenu(lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            return onDoubleClick(message, wParam, lParam);
        case WM_ERASEBKGND:
            if (background_.eraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
            break;
        case LVM_DELETEITEM:
        case LVM_DELETEALLITEMS: {
            const LRESULT result = defaultProc(message, wParam, lParam);
            background_.rowsDeleted();
            return result;
        }
        case WM_NOTIFY:
            return onHeaderNotify(wParam, lParam);
        case WM_QUERYNEWPALETTE: {
            LRESULT changed = 0;
            if (background_.realizePalette(changed)) return changed;
            break;
        }
        case WM_PALETTECHANGED: {
            const LRESULT result = defaultProc(message, wParam, lParam);
            background_.paletteChanged(reinterpret_cast<HWND>(wParam));
            return result;
        }
        case WM_DESTROY:
            background_.release();
            break;
        case WM_MENUSELECT:
            // The status bar shows the prompts of this window's menus too.
            if (frame_ != nullptr) ::SendMessageA(frame_, message, wParam, lParam);
            break;
        default:
            break;
    }
    return defaultProc(message, wParam, lParam);
}

void CHalvorsightView::showContextMenu(LPARAM screenPoint) {
    POINT point{};
    if (!contextMenuPoint(window(), screenPoint, point)) return;
    showDocumentContextMenu(window(), services_.module, point, selection());
}

LRESULT CHalvorsightView::onDoubleClick(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = this->window();
    const LRESULT result = defaultProc(message, wParam, lParam);
    LVHITTESTINFO hit{};
    hit.pt.x = GET_X_LPARAM(lParam);
    hit.pt.y = GET_Y_LPARAM(lParam);
    const int row = static_cast<int>(::SendMessageA(window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0) openRowOnDoubleClick(row);
    return result;
}

void CHalvorsightView::openRowOnDoubleClick(int row) {
    if (!services_.openDocument) return;
    CommandContext ctx = commandContext();
    openRow(ctx, row, true, services_.openDocument);
}

void CHalvorsightView::openSelectedDocuments() {
    if (!services_.openDocument) return;
    CommandContext ctx = commandContext();
    openSelected(ctx, services_.openDocument);
}

// ---------------------------------------------------------------- timers

void CHalvorsightView::stopTimer(UINT_PTR timerId) {
    ::KillTimer(window(), timerId);
}

void CHalvorsightView::setTrayIcon(int iconId) {
    services_.tray.setIcon(iconId);
}

int CHalvorsightView::rowCount() {
    return documents_ ? documents_->rowCount() : 0;
}

void CHalvorsightView::offerStartupWizard() {
    if (services_.offerStartupWizard) services_.offerStartupWizard();
}

bool CHalvorsightView::hiddenInTray() {
    return services_.shell.isHiddenInTray();
}

int32_t& CHalvorsightView::blinkPhase() {
    return services_.shell.blinkPhase;
}

}  // namespace hs
