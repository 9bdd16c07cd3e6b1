#include "app/win32/win32_check_host.h"

#include <mmsystem.h>

#include <cstdio>

#include "app/options.h"
#include "app/win32/shell_state.h"
#include "app/win32/view_messages.h"

namespace hs {

void Win32CheckHost::recordChanged(std::size_t slot) {
    ::PostMessageA(listViewWindow(), kRecordChangedMessage, static_cast<WPARAM>(slot), 0);
}

void Win32CheckHost::playChangeSound() {
    if (!playSoundOn()) return;
    // Without SND_NODEFAULT: a missing file plays the system's default sound.
    ::PlaySoundA(kSoundFileName, nullptr, SND_FILENAME | SND_ASYNC | SND_NOWAIT);
}

void Win32CheckHost::startChangeBlink() {
    if (!isHiddenInTray()) return;
    ::PostMessageA(listViewWindow(), kArmBlinkMessage, 0, 0);
}

std::string Win32CheckHost::lastCheckText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return lastCheckTextOf(now);
}

std::string lastCheckTextOf(const SYSTEMTIME& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d [%02d:%02d:%02d]", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}

Win32CheckHost& programCheckHost() {
    static Win32CheckHost host;
    return host;
}

}  // namespace hs
