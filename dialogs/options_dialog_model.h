// The rules of the Options dialog, free of any window code: what the controls
// show when the dialog opens, when the minutes controls are enabled, how the
// spin arrows step the minutes text, and the settings "&Apply" produces.
// The Win32 dialog mirrors its controls into this model and back.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/options.h"

namespace hs {

// Reads the minutes text as an unsigned decimal number: leading blanks are
// skipped, digits are taken up to the first non-digit, no digits give 0 and
// a value beyond 4294967295 is held there.
uint32_t parseMinutes(const std::string& text);

// The minutes as the dialog shows them: unsigned decimal.
std::string formatMinutes(uint32_t minutes);

// One step of the spin control on the minutes text. The up arrow leaves a
// value of 600 or more and adds 10 to anything smaller; the down arrow leaves
// a value of 10 or less and subtracts 10 from anything larger. So values the
// dialog itself never produces (605, 0) are kept as they are and only moved
// in steps of 10.
uint32_t minutesAfterUp(uint32_t minutes);
uint32_t minutesAfterDown(uint32_t minutes);

// The spin control's position change: in its default orientation a negative
// delta is the up arrow and a positive one the down arrow. A zero delta
// leaves the text unchanged. Returns the new text.
std::string stepMinutesText(const std::string& text, int delta);

class OptionsDialogModel {
public:
    // The state of the controls when the dialog opens from `stored`.
    explicit OptionsDialogModel(const AppOptions& stored);

    bool startupCheck() const { return startupCheck_; }
    bool periodicCheck() const { return periodicCheck_; }
    bool playSound() const { return playSound_; }
    bool autoOpen() const { return autoOpen_; }
    const std::string& minutesText() const { return minutesText_; }

    // The spin control and the minutes text are enabled only while
    // "Periodic check" is checked.
    bool minutesEnabled() const { return periodicCheck_; }

    void setStartupCheck(bool on) { startupCheck_ = on; }
    void setPeriodicCheck(bool on) { periodicCheck_ = on; }
    void setPlaySound(bool on) { playSound_ = on; }
    void setAutoOpen(bool on) { autoOpen_ = on; }
    void setMinutesText(const std::string& text) { minutesText_ = text; }

    // The spin control's notification (see stepMinutesText).
    void spin(int delta) { minutesText_ = stepMinutesText(minutesText_, delta); }

    // The settings "&Apply" stores: `base` (the block as it stands when the
    // user applies) with the five fields of the dialog replaced; the
    // background fields are carried over unchanged.
    AppOptions appliedTo(const AppOptions& base) const;

    // The same over the block the dialog was opened with.
    AppOptions applied() const { return appliedTo(stored_); }

private:
    AppOptions stored_;
    bool startupCheck_;
    bool periodicCheck_;
    bool playSound_;
    bool autoOpen_;
    std::string minutesText_;
};

// What "&Apply" does: the program's settings take the dialog's settings
// (over the block as it stands now) and the options file is rewritten.
void applyOptionsDialog(const OptionsDialogModel& model, ProgramOptions& options);

}  // namespace hs
