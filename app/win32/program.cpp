#include "app/win32/program.h"

#include "app/win32/halvorsight_view.h"
#include "app/win32/main_frame.h"
#include "app/win32/program_commands.h"
#include "app/win32/shell_links.h"
#include "catalogue/document_files.h"
#include "catalogue/store.h"
#include <chrono>

#include "check/check_worker.h"
#include "check/ftp_retrieval.h"
#include "check/web_retrieval.h"
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

// How long the exit waits for the engine's threads once their retrievals
// are cancelled (which ends them within a fraction of a second).
constexpr auto kEngineStopLimit = std::chrono::seconds(5);

}  // namespace

Program::Program(HINSTANCE module)
    : module_(module),
      files_(makePlatformFileSystem()),
      checkHost_(options_, shell_,
                 [this](const Document& record) { return openDocument(record, OpenMode::Automatic); }),
      cancel_(std::make_shared<CancelToken>()),
      retrievalPaths_(programRetrievalPaths(cancel_)),
      engine_(std::make_unique<CheckEngine>(catalogue_, checkHost_, *files_, retrievalPaths_, cancel_)),
      tray_(module),
      commands_(std::make_unique<ProgramCommands>(*this)) {}

// The windows go before the parts they use.
Program::~Program() {
    frame_.reset();
    view_.reset();
}

bool Program::createMainFrame() {
    frame_ = std::make_unique<CMainFrame>(*this);
    return frame_->create();
}

bool Program::createView(HWND frame) {
    settings_.read();
    ViewServices services{catalogue_, *files_, options_, shell_, tray_, checkHost_, module_,
                          [this] { startCheckWorker(); },
                          [this](const Document& record) { return openDocument(record); },
                          [this] { offerStartupWizard(); },
                          nullptr,
                          {}};
    // A change that a check found: the balloon names it; a click on the
    // balloon brings the window back with what changed in it.
    checkHost_.setChangeNotice([this](const Document& record) { balloon_.documentChanged(fieldText(record.name)); });
    services.balloonEvent = [this](UINT event) {
        std::string name;
        if (!balloon_.balloonEvent(event, name)) return;
        restoreFromTray(shell_);
        commands_->showWhatChangedOf(name);
    };
    view_ = std::make_unique<CHalvorsightView>(std::move(services));
    return view_->create(frame);
}

CommandHandlers& Program::commands() { return *commands_; }

SelectionSnapshot Program::selection() const {
    return view_ ? view_->selection() : SelectionSnapshot();
}

CommandOutcome Program::runCommand(int commandId) {
    return hs::runCommand(commandId, selection(), *commands_);
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

void Program::offerStartupWizard() { commands_->offerStartupWizard(); }

void Program::startCheckWorker() { engine_->wake(); }

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
