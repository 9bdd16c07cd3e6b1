// Settings the options file has no room for, in a small text file beside it,
// "Halvorsight.settings": one "key=value" a line. The file is written only
// when the user changes a setting, so a user who never does has none and
// gets the defaults. Unknown keys and lines that cannot be read are passed
// over (and kept when the file is written again).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace hs {

constexpr const char* kSettingsFileName = "Halvorsight.settings";

struct ProgramSettings {
    // A balloon over the tray icon when a check finds changes.
    bool changeBalloons = true;
};

// The file's text and back; `keep` holds the lines of keys this program
// does not know, written again as they were.
ProgramSettings parseSettings(const std::string& text, std::vector<std::string>* keep = nullptr);
std::string formatSettings(const ProgramSettings& settings, const std::vector<std::string>& keep = {});

// The settings of the working directory's file. Read once at start-up;
// written by the window thread when the user changes them.
class SettingsFile {
public:
    explicit SettingsFile(std::string path = kSettingsFileName) : path_(std::move(path)) {}

    // A missing or unreadable file gives the defaults.
    void read();
    // Writes the file; false when it could not be written (the settings in
    // memory stay as they are).
    bool write();

    const ProgramSettings& current() const { return settings_; }
    ProgramSettings& edit() { return settings_; }

private:
    std::string path_;
    ProgramSettings settings_;
    std::vector<std::string> unknown_;
};

}  // namespace hs
