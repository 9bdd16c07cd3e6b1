// The options file: any bytes in "Halvorsight.option", read at start-up and
// shown by the Options dialog.
#include <algorithm>
#include <cstring>
#include <string>

#include "catalogue/options.h"
#include "dialogs/options_dialog_model.h"
#include "fuzz_support.h"

using namespace hs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(kOptionsFileName, bytes);

    ProgramOptions options;
    options.readOptions();
    const AppOptions block = options.current();
    // Read as far as the file goes, at most one block; the rest stays zero.
    AppOptions expected = zeroOptions();
    std::memcpy(&expected, bytes.data(), std::min(bytes.size(), sizeof expected));
    fuzz::require(std::memcmp(&block, &expected, sizeof block) == 0, "the block is the file's bytes");

    fuzz::require(options.customBitmapPath().size() < kOptionsPathSize + 1, "the path stays in its field");
    const uint32_t interval = options.periodicIntervalMs();
    fuzz::require(interval <= 0x7FFFFFFFu, "a timer interval a window timer accepts");
    fuzz::require(block.checkMinutes == 0 || interval >= 60000u, "no period shorter than a minute");
    fuzz::require(!options.periodicCheckOn() || block.checkMinutes != 0, "no timer without a period");

    // The dialog opened on the block and applied unchanged keeps it.
    OptionsDialogModel dialog(block);
    const uint32_t minutes = parseMinutes(dialog.minutesText());
    fuzz::require(minutes == block.checkMinutes, "the minutes text reads back");
    const AppOptions applied = dialog.applied();
    fuzz::require(applied.checkMinutes == block.checkMinutes && applied.backgroundChoice == block.backgroundChoice &&
                      std::memcmp(applied.customBitmapPath, block.customBitmapPath, kOptionsPathSize) == 0,
                  "applying an unchanged dialog keeps the minutes and the background");
    const std::string up = stepMinutesText(dialog.minutesText(), -1);
    const std::string down = stepMinutesText(dialog.minutesText(), 1);
    fuzz::require(parseMinutes(up) >= minutes && parseMinutes(down) <= minutes, "the spin steps one way");
    return 0;
}
