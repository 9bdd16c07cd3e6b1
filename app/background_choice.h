// The list background's three choices of the View menu ("&Default",
// "&Empty", "&Custom..") and the picture applied at start-up, with the
// choice and the custom file's path kept in the options file.
#pragma once

#include <string>

#include "app/commands.h"
#include "catalogue/options.h"
#include "listview/background_pictures.h"

namespace hs {

extern const char* const kCannotOpenBitmapText;
extern const char* const kBitmapPathTooLongText;

// The stored choice's picture, once at start-up after the options are read.
// A custom file that cannot be read any more: the message (stop icon), the
// choice goes back to Default in the options file (the old path stays
// there) and the Default picture is shown. A choice of no known value: no
// picture.
void applyStartupBackground(ProgramOptions& options, BackgroundPictures& pictures, CommandHost& host);

// "&Default" and "&Empty": the built-in picture, and the choice stored
// whether or not the picture could be loaded.
void chooseDefaultBackground(ProgramOptions& options, BackgroundPictures& pictures);
void chooseEmptyBackground(ProgramOptions& options, BackgroundPictures& pictures);

// "&Custom.." once the open-file dialog gave `path`. A file that cannot be
// read: the message (stop icon), the stored choice and path stay and the
// list is plain until the next choice. A path too long for the options
// file (over 511 characters): a message, and nothing changes.
void chooseCustomBackground(ProgramOptions& options, BackgroundPictures& pictures, CommandHost& host,
                            const std::string& path);

}  // namespace hs
