// The check workers' host in the Windows program: row refreshes are queued
// and the list view window is woken by one posted message per burst; blink
// requests are posted to it; the sound plays asynchronously; the last-check
// text comes from the local time.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "app/options.h"
#include "app/win32/shell_state.h"
#include "check/check_host.h"
#include "listview/refresh_queue.h"

namespace hs {

class Win32CheckHost : public CheckHost {
public:
    // `open` opens a changed web document when the automatic open is on.
    Win32CheckHost(const ProgramOptions& options, const ShellState& shell, DocumentOpener open = {})
        : options_(options), shell_(shell), open_(std::move(open)) {}

    // The window that receives the wake-ups and blink requests (the list
    // view); null until it exists.
    void setWindow(HWND window) { window_.store(window); }

    void recordChanged(std::size_t slot) override;
    void playChangeSound() override;
    void startChangeBlink() override;
    // With "Open HTML/CGI page if changed" on, a changed page or web file
    // is opened at once, on the worker's thread, without messages; a file
    // of a dangerous type is not. Files from FTP servers and local files
    // are never opened by themselves.
    void documentChanged(const Document& record) override;
    // The message box of a first MiddleString retrieval without its
    // markers, shown from the worker's thread; the worker waits for it.
    void middleMarkersMissing(const Document& record) override;
    std::string lastCheckText() override;
    // Asks the window to show the finished worker's last rows at once.
    void workerFinished() override;

    // The slots whose rows are to be refreshed, taken by the window thread
    // when kRecordsChangedMessage arrives.
    std::vector<std::size_t> takeChangedSlots() { return refreshes_.drain(); }

private:
    const ProgramOptions& options_;
    const ShellState& shell_;
    DocumentOpener open_;
    std::atomic<HWND> window_{nullptr};
    SlotRefreshQueue refreshes_;
};

// "YYYY/MM/DD [hh:mm:ss]" of a local time.
std::string lastCheckTextOf(const SYSTEMTIME& time);

}  // namespace hs
