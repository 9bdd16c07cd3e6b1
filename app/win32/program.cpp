#include "app/win32/program.h"

#include "app/background_choice.h"
#include "app/win32/frame_timers.h"
#include "app/win32/main_frame.h"
#include "app/win32/shell_links.h"
#include "catalogue/document_files.h"
#include "catalogue/store.h"
#include <chrono>

#include "check/check_worker.h"
#include "check/ftp_retrieval.h"
#include "check/web_retrieval.h"
#include "dialogs/win32/what_changed_window.h"
#include "listview/win32/document_list_control.h"
#include "platform/network.h"
#include "platform/proxy_settings.h"
#include "platform/tls.h"

namespace hs {

namespace {

// The local-file path and the web path for pages and web files, all with
// one client: its own sockets and Schannel, the application title as agent,
// the user's proxy settings.
// The networks share one cancel token, which the engine cancels at exit.
RetrievalPaths programRetrievalPaths(const std::shared_ptr<CancelToken>& cancel) {
    RetrievalPaths paths = localRetrievalPaths();
    auto client = std::make_shared<WebClient>(std::shared_ptr<Network>(makePlatformNetwork(cancel)), startTls,
                                              kAppTitle, webBounds());
    client->setProxySource(systemProxy);
    paths.htmlPage = webRetrievalPath(client);
    paths.webFile = paths.htmlPage;
    paths.ftpFile = ftpRetrievalPath(makePlatformNetwork(cancel));
    return paths;
}

// The list control's child window id in the frame.
constexpr int kListId = 1;

// How long the exit waits for the engine's threads once their retrievals
// are cancelled (which ends them within a fraction of a second).
constexpr auto kEngineStopLimit = std::chrono::seconds(5);

}  // namespace

Program::Program(HINSTANCE module, CommandHost* boxes, std::function<void()> wake)
    : module_(module),
      files_(makePlatformFileSystem()),
      boxes_(boxes != nullptr ? boxes : &messageBoxes_),
      wake_(std::move(wake)),
      checkHost_(options_, shell_,
                 [this](const Document& record) { return openDocument(record, OpenMode::Automatic); }),
      cancel_(std::make_shared<CancelToken>()),
      retrievalPaths_(programRetrievalPaths(cancel_)),
      engine_(std::make_unique<CheckEngine>(catalogue_, checkHost_, *files_, retrievalPaths_, cancel_)),
      tray_(module) {}

// The windows go before the parts they use.
Program::~Program() {
    whatChanged_.reset();
    frame_.reset();
    list_.reset();
}

bool Program::createMainFrame() {
    frame_ = std::make_unique<CMainFrame>(*this);
    return frame_->create();
}

bool Program::createList(HWND frame) {
    shell_.browserPath = findBrowserPath();
    settings_.read();
    messageBoxes_.setOwner(frame);
    // A change that a check found: the balloon names it.
    checkHost_.setChangeNotice([this](const Document& record) { balloon_.documentChanged(fieldText(record.name)); });
    list_ = std::make_unique<DocumentListWindow>(catalogue_, module_);
    if (!list_->create(frame, kListId)) return false;
    list_->onRowDoubleClicked = [this](int row) {
        CommandContext ctx = commandContext();
        openRow(ctx, row, true, [this](const Document& record) { return openDocument(record); });
    };
    return true;
}

void Program::start() {
    HWND frame = frame_->window();
    // From now on the workers' refreshes and blink requests come here.
    checkHost_.setWindow(frame);
    tray_.add(frame);
    list_->setUpColumns();
    list_->loadDocuments(*files_);
    options_.readOptions();
    if (options_.startupCheckOn()) markAllForCheck();
    armPeriodicCheckTimer(frame, options_);
    applyStartupBackground(options_, list_->background(), *boxes_);
    startCheckWorker();
    armStartupPromptTimer(frame);
}

CommandScope Program::commandScope() {
    return CommandScope{*this, list_ ? list_->selectedCount() : 0, options_};
}

CommandOutcome Program::runCommand(int commandId) {
    CommandScope scope = commandScope();
    return hs::runCommand(commandId, scope);
}

CommandContext Program::commandContext() {
    return CommandContext{catalogue_, list_->documents(), *boxes_, *files_, [this] { startCheckWorker(); }};
}

std::size_t Program::markAllForCheck() {
    if (!list_) return 0;
    RedrawPause pause(list_->rows(), list_->bulk(list_->documents().rowCount()));
    return markAllDocuments(catalogue_, list_->documents());
}

OpenResult Program::openDocument(const Document& record, OpenMode mode) {
    return hs::openDocument(record, shell_.browserPath, *files_, launcher_, mode);
}

void Program::openManualSection(const std::string& section) {
    const std::string address = manualSectionAddress(section);
    if (!shell_.browserPath.empty() && launcher_.startProcess(browserCommandLine(shell_.browserPath, address))) {
        return;
    }
    launcher_.shellOpen(address, true);
}

bool Program::singleSelectedName(std::string& name) {
    if (!list_ || list_->selectedCount() != 1) return false;
    const std::vector<int> rows = list_->documents().selectedRows();
    const long slot = rows.empty() ? -1 : list_->documents().recordOfRow(rows.front());
    if (slot < 0) return false;
    name = catalogue_.name(static_cast<std::size_t>(slot));
    return !name.empty();
}

void Program::showWhatChangedOf(const std::string& name) {
    if (!whatChanged_) {
        WhatChangedServices services;
        services.module = module_;
        services.catalogue = &catalogue_;
        services.files = files_.get();
        services.launcher = &launcher_;
        whatChanged_ = std::make_unique<WhatChangedWindows>(services);
    }
    whatChanged_->show(frame_ ? frame_->window() : nullptr, name);
}

void Program::balloonEvent(UINT event) {
    std::string name;
    if (!balloon_.balloonEvent(event, name)) return;
    restoreFromTray(shell_);
    showWhatChangedOf(name);
}

void Program::startCheckWorker() {
    if (wake_) wake_();
    else engine_->wake();
}

void Program::shutDown() {
    tray_.remove();
    // Nothing of a cancelled retrieval lands: its record stays Retrieving,
    // which the save stores as WaitingForRetrieve.
    if (!engine_->stop(kEngineStopLimit)) engineEnded_ = false;
    DocumentFiles documentFiles(*files_);
    documentFiles.removeTempFiles();  // the room they took may be what the save needs
    saveCatalogue(catalogue_, *files_);
    documentFiles.removeTempFiles();  // the save staged its records too: the folder goes now
    ::PostQuitMessage(0);
}

}  // namespace hs
