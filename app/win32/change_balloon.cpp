#include "app/win32/change_balloon.h"

#include <shellapi.h>

#include <algorithm>

namespace hs {

void balloonTexts(const std::vector<std::string>& names, std::string& title, std::string& text) {
    if (names.size() == 1) {
        title = "Document changed";
        text = names.front() + " has changed. Click here to see what changed.";
        return;
    }
    title = std::to_string(names.size()) + " documents changed";
    text = names.front() + " and " + std::to_string(names.size() - 1) +
           (names.size() == 2 ? " other" : " others") + " have changed. Click here to see what changed in " +
           names.front() + ".";
}

void ChangeBalloon::documentChanged(const std::string& name) {
    if (!settings_.current().changeBalloons || name.empty()) return;
    if (std::find(names_.begin(), names_.end(), name) == names_.end()) names_.push_back(name);
    std::string title;
    std::string text;
    balloonTexts(names_, title, text);
    tray_.showBalloon(title, text);
}

void ChangeBalloon::dismiss() {
    if (names_.empty()) return;
    names_.clear();
    tray_.showBalloon(std::string(), std::string());  // no text: the balloon goes
}

bool ChangeBalloon::balloonEvent(UINT event, std::string& clicked) {
    switch (event) {
        case NIN_BALLOONUSERCLICK:
            if (names_.empty()) return false;
            clicked = names_.front();
            names_.clear();
            return true;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE:
            names_.clear();
            return false;
        default:
            return false;
    }
}

}  // namespace hs
