// The balloon over the tray icon when checks find changes: it names the
// changed document, or counts them when there are several, until the user
// clicks it or it goes away; a click leads to "What changed" for the first
// of them. Shown only while the change balloons setting is on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/win32/tray_icon.h"
#include "catalogue/settings.h"

namespace hs {

// The balloon's title and text for these changed documents (oldest first).
void balloonTexts(const std::vector<std::string>& names, std::string& title, std::string& text);

class ChangeBalloon {
public:
    ChangeBalloon(TrayIcon& tray, const SettingsFile& settings) : tray_(tray), settings_(settings) {}

    // A check committed a change of the document `name` (window thread).
    void documentChanged(const std::string& name);

    // The tray icon's callback for the balloon (NIN_BALLOON*). A click
    // returns the first changed document's name in `clicked`; true then.
    bool balloonEvent(UINT event, std::string& clicked);

    // Takes a balloon that is up away (the user is back at the window).
    void dismiss();

private:
    TrayIcon& tray_;
    const SettingsFile& settings_;
    std::vector<std::string> names_;  // changed since the balloon was last closed
};

}  // namespace hs
