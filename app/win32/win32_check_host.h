// The check engine's host in the Windows program. The engine's threads make
// no user-interface call: row refreshes are queued and the main frame
// is woken by one posted message per burst; blink requests are posted to
// it; the sound, the automatic open and the markers-missing message are
// queued and run by the window thread (runEffects) once the commit that
// called for them landed. The last-check text comes from the local time.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "catalogue/options.h"
#include "app/win32/shell_state.h"
#include "check/check_host.h"
#include "listview/refresh_queue.h"

namespace hs {

class Win32CheckHost : public CheckHost {
public:
    // `open` opens a changed web document when the automatic open is on.
    Win32CheckHost(const ProgramOptions& options, const ShellState& shell, DocumentOpener open = {})
        : options_(options), shell_(shell), open_(std::move(open)) {}

    // The window that receives the wake-ups and blink requests (the main
    // frame); null until it exists.
    void setWindow(HWND window) { window_.store(window); }

    void recordChanged(std::size_t slot) override;
    void playChangeSound() override;
    void startChangeBlink() override;
    // With "Open HTML/CGI page if changed" on, a changed page or web file
    // is opened by the window thread, without messages; a file of a
    // dangerous type is not. Files from FTP servers and local files are
    // never opened by themselves.
    void documentChanged(const Document& record) override;
    // The message box of a MiddleString retrieval without its markers,
    // shown by the window thread; no retrieval waits for it.
    void middleMarkersMissing(const Document& record) override;
    std::string lastCheckText() override;
    // Asks the window to show the finished worker's last rows at once.
    void workerFinished() override;

    // Called on the window thread for every change a check committed (the
    // balloon of the tray icon).
    void setChangeNotice(std::function<void(const Document&)> notice) { notice_ = std::move(notice); }

    // The slots whose rows are to be refreshed, taken by the window thread
    // when kRecordsChangedMessage arrives.
    std::vector<std::size_t> takeChangedSlots() { return refreshes_.drain(); }

    // Window thread, on kCheckEffectsMessage: plays, opens and shows what
    // the engine queued, in order. While a message box is up, effects that
    // come meanwhile wait until it is closed.
    void runEffects();

private:
    enum class Effect { Sound, Open, MarkersMissing, Notice };
    void queue(Effect effect, const Document* record = nullptr);

    std::mutex effectsMutex_;
    std::deque<std::pair<Effect, Document>> effects_;
    bool boxShown_ = false;  // a markers box is up (window thread only)
    const ProgramOptions& options_;
    const ShellState& shell_;
    DocumentOpener open_;
    std::function<void(const Document&)> notice_;
    std::atomic<HWND> window_{nullptr};
    SlotRefreshQueue refreshes_;
};

// "YYYY/MM/DD [hh:mm:ss]" of a local time (formatLastCheck).
std::string lastCheckTextOf(const SYSTEMTIME& time);

}  // namespace hs
