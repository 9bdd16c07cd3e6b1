#include "dialogs/options_dialog_model.h"

#include <limits>

namespace hs {

uint32_t parseMinutes(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
    uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > kMax) return static_cast<uint32_t>(kMax);
    }
    return static_cast<uint32_t>(value);
}

std::string formatMinutes(uint32_t minutes) {
    return std::to_string(minutes);
}

uint32_t minutesAfterUp(uint32_t minutes) {
    return minutes >= 600 ? minutes : minutes + 10;
}

uint32_t minutesAfterDown(uint32_t minutes) {
    return minutes <= 10 ? minutes : minutes - 10;
}

std::string stepMinutesText(const std::string& text, int delta) {
    if (delta == 0) return text;
    const uint32_t value = parseMinutes(text);
    return formatMinutes(delta < 0 ? minutesAfterUp(value) : minutesAfterDown(value));
}

OptionsDialogModel::OptionsDialogModel(const AppOptions& stored)
    : stored_(stored),
      startupCheck_(stored.startupCheck == 1),
      periodicCheck_(stored.periodicCheck == 1),
      playSound_(stored.playSound == 1),
      autoOpen_(stored.autoOpen == 1),
      minutesText_(formatMinutes(stored.checkMinutes)) {}

AppOptions OptionsDialogModel::appliedTo(const AppOptions& base) const {
    AppOptions out = base;
    out.checkMinutes = parseMinutes(minutesText_);
    out.periodicCheck = periodicCheck_ ? 1 : 0;
    out.autoOpen = autoOpen_ ? 1 : 0;
    out.startupCheck = startupCheck_ ? 1 : 0;
    out.playSound = playSound_ ? 1 : 0;
    return out;
}

void applyOptionsDialog(const OptionsDialogModel& model, ProgramOptions& options) {
    options.set(model.appliedTo(options.current()));
    options.writeOptions();  // a write failure is silent; memory holds the new settings
}

}  // namespace hs
