#include "app/background_choice.h"

namespace hs {

const char* const kCannotOpenBitmapText = "Cannot open selected bitmap file.";
const char* const kBitmapPathTooLongText =
    "The path of the selected bitmap file is longer than 511 characters and cannot be kept. "
    "Please choose a file with a shorter path.";

void applyStartupBackground(ProgramOptions& options, BackgroundPictures& pictures, CommandHost& host) {
    switch (options.backgroundChoice()) {
        case BackgroundDefault:
            pictures.setBackgroundFromResource(kDefaultBackgroundResource);
            return;
        case BackgroundEmpty:
            pictures.setBackgroundFromResource(kEmptyBackgroundResource);
            return;
        case BackgroundCustom:
            if (pictures.loadBitmapFile(options.customBitmapPath()) && pictures.setBackgroundFromBitmap()) return;
            host.showError(kCannotOpenBitmapText);
            options.setBackgroundChoice(BackgroundDefault);
            pictures.setBackgroundFromResource(kDefaultBackgroundResource);
            return;
        default:
            pictures.clearBackground();
            return;
    }
}

void chooseDefaultBackground(ProgramOptions& options, BackgroundPictures& pictures) {
    pictures.setBackgroundFromResource(kDefaultBackgroundResource);
    options.setBackgroundChoice(BackgroundDefault);
}

void chooseEmptyBackground(ProgramOptions& options, BackgroundPictures& pictures) {
    pictures.setBackgroundFromResource(kEmptyBackgroundResource);
    options.setBackgroundChoice(BackgroundEmpty);
}

void chooseCustomBackground(ProgramOptions& options, BackgroundPictures& pictures, CommandHost& host,
                            const std::string& path) {
    if (path.size() >= kOptionsPathSize) {
        host.showInformation(kBitmapPathTooLongText);
        return;
    }
    if (!pictures.loadBitmapFile(path) || !pictures.setBackgroundFromBitmap()) {
        host.showError(kCannotOpenBitmapText);
        return;
    }
    options.setCustomBackground(path);
}

}  // namespace hs
