// The check workers' host in the Windows program: row refreshes and blink
// requests are posted to the list view window; the sound plays
// asynchronously; the last-check text comes from the local time.
#pragma once

#include <windows.h>

#include <string>

#include "engine/check_host.h"

namespace hs {

class Win32CheckHost : public CheckHost {
public:
    void recordChanged(std::size_t slot) override;
    void playChangeSound() override;
    void startChangeBlink() override;
    std::string lastCheckText() override;
};

// The program's host; it lives until the process ends.
Win32CheckHost& programCheckHost();

// "YYYY/MM/DD [hh:mm:ss]" of a local time.
std::string lastCheckTextOf(const SYSTEMTIME& time);

}  // namespace hs
