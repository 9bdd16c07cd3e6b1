// The list's background picture as the View menu's choices and the start-up
// see it. The Windows list implements it over its bitmaps; tests use fakes.
#pragma once

#include <string>

namespace hs {

// The built-in pictures, bitmap resources by name.
constexpr const char* kDefaultBackgroundResource = "BACKGROUND";
constexpr const char* kEmptyBackgroundResource = "EMPTY_BACKGROUND";

class BackgroundPictures {
public:
    virtual ~BackgroundPictures() = default;

    // Replaces the picture with a built-in one; false (the list is then
    // plain) when it cannot be loaded.
    virtual bool setBackgroundFromResource(const char* name) = 0;

    // Drops the current picture (the list is plain from here on) and reads
    // the bitmap file at `path`; false when it cannot be read.
    virtual bool loadBitmapFile(const std::string& path) = 0;

    // Makes the picture loadBitmapFile read the list's picture; false when
    // there is none.
    virtual bool setBackgroundFromBitmap() = 0;

    // No picture: the list is plain.
    virtual void clearBackground() = 0;
};

}  // namespace hs
