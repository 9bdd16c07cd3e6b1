#include "app/win32/win32_check_host.h"

#include <mmsystem.h>

#include <ctime>

#include "app/win32/frame_messages.h"
#include "check/check_worker.h"  // formatLastCheck

namespace hs {

void Win32CheckHost::recordChanged(std::size_t slot) {
    if (!refreshes_.add(slot)) return;  // a wake-up is on its way
    HWND window = window_.load();
    if (window == nullptr || !::PostMessageA(window, kRecordsChangedMessage, 0, 0)) refreshes_.wakeFailed();
}

void Win32CheckHost::queue(Effect effect, const Document* record) {
    {
        std::lock_guard<std::mutex> lock(effectsMutex_);
        effects_.emplace_back(effect, record ? *record : zeroRecord());
    }
    if (HWND window = window_.load()) ::PostMessageA(window, kCheckEffectsMessage, 0, 0);
}

// A box runs a message loop of its own, which brings the next wake-ups
// here again: sounds and opens coming meanwhile run at once, a second box
// waits until the first is closed.
void Win32CheckHost::runEffects() {
    const bool insideBox = boxShown_;
    for (;;) {
        std::pair<Effect, Document> next;
        {
            std::lock_guard<std::mutex> lock(effectsMutex_);
            auto it = effects_.begin();
            if (insideBox) {
                while (it != effects_.end() && it->first == Effect::MarkersMissing) ++it;
            }
            if (it == effects_.end()) break;
            next = std::move(*it);
            effects_.erase(it);
        }
        switch (next.first) {
            case Effect::Sound:
                if (!options_.playSoundOn()) break;
                // Without SND_NODEFAULT: a missing file plays the system's
                // default sound.
                ::PlaySoundA(kSoundFileName, nullptr, SND_FILENAME | SND_ASYNC | SND_NOWAIT);
                break;
            case Effect::Open:
                if (open_ && options_.autoOpenOn()) open_(next.second);
                break;
            case Effect::Notice:
                if (notice_) notice_(next.second);
                break;
            case Effect::MarkersMissing:
                // No owner: the list stays usable while the box is up.
                boxShown_ = true;
                showMessage(nullptr, "Cannot find the specified strings from document content.",
                            MB_OK | MB_ICONINFORMATION);
                boxShown_ = false;
                break;
        }
    }
}

void Win32CheckHost::playChangeSound() {
    if (options_.playSoundOn()) queue(Effect::Sound);
}

void Win32CheckHost::startChangeBlink() {
    HWND window = window_.load();
    if (!shell_.isHiddenInTray() || window == nullptr) return;
    ::PostMessageA(window, kArmBlinkMessage, 0, 0);
}

void Win32CheckHost::documentChanged(const Document& record) {
    queue(Effect::Notice, &record);
    if (!open_ || !options_.autoOpenOn()) return;
    if (record.type != HtmlPage && record.type != WebFile) return;
    queue(Effect::Open, &record);
}

void Win32CheckHost::workerFinished() {
    if (HWND window = window_.load()) ::PostMessageA(window, kRecordsChangedMessage, kFlushRefreshes, 0);
}

void Win32CheckHost::middleMarkersMissing(const Document& record) { queue(Effect::MarkersMissing, &record); }

std::string Win32CheckHost::lastCheckText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return lastCheckTextOf(now);
}

std::string lastCheckTextOf(const SYSTEMTIME& time) {
    std::tm local{};
    local.tm_year = time.wYear - 1900;
    local.tm_mon = time.wMonth - 1;
    local.tm_mday = time.wDay;
    local.tm_hour = time.wHour;
    local.tm_min = time.wMinute;
    local.tm_sec = time.wSecond;
    return formatLastCheck(local);
}

}  // namespace hs
