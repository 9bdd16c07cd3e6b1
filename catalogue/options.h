// The program-wide settings block and its file "Halvorsight.option" in the
// working directory. The block is 536 bytes and the file holds exactly those
// bytes, so the layout below is a file format and is checked at compile time.
//
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <type_traits>

namespace hs {

enum BackgroundChoice : int32_t {
    BackgroundDefault = 0,
    BackgroundEmpty = 1,
    BackgroundCustom = 2,
};

constexpr std::size_t kOptionsSize = 536;
constexpr std::size_t kOptionsPathSize = 512;  // 511 characters + NUL
constexpr const char* kOptionsFileName = "Halvorsight.option";
constexpr const char* kSoundFileName = "Halvorsight.sound";

// Every flag counts as on only when it equals 1.
struct AppOptions {
    int32_t periodicCheck;
    uint32_t checkMinutes;
    int32_t startupCheck;
    int32_t playSound;
    int32_t autoOpen;
    int32_t backgroundChoice;
    char customBitmapPath[kOptionsPathSize];
};

static_assert(sizeof(AppOptions) == kOptionsSize, "options block size is a file format");
static_assert(offsetof(AppOptions, periodicCheck) == 0, "layout");
static_assert(offsetof(AppOptions, checkMinutes) == 4, "layout");
static_assert(offsetof(AppOptions, startupCheck) == 8, "layout");
static_assert(offsetof(AppOptions, playSound) == 12, "layout");
static_assert(offsetof(AppOptions, autoOpen) == 16, "layout");
static_assert(offsetof(AppOptions, backgroundChoice) == 20, "layout");
static_assert(offsetof(AppOptions, customBitmapPath) == 24, "layout");
static_assert(std::is_trivially_copyable<AppOptions>::value, "copied whole as bytes");

// A block with every byte zero: the state before readOptions runs.
AppOptions zeroOptions();

// The first-start settings: periodic check off, 60 minutes, start-up check
// off, sound on, automatic open off, Default background, no custom path.
AppOptions defaultOptions();

// The program's settings: one block in memory, mirrored in the options file
// "Halvorsight.option" of the working directory. The program owns one; the
// window thread writes it and check workers read it (playSoundOn,
// autoOpenOn), so every access goes through a mutex and callers get copies.
// Before readOptions runs, every byte of the block is zero.
class ProgramOptions {
public:
    ProgramOptions();
    ProgramOptions(const ProgramOptions&) = delete;
    ProgramOptions& operator=(const ProgramOptions&) = delete;

    // Fills the block from "Halvorsight.option". A missing file gives the
    // defaults and creates the file with them. An existing file is read as
    // far as it goes, at most 536 bytes: bytes it does not cover stay zero
    // (not defaults), bytes beyond 536 are ignored. Called once, at start-up.
    void readOptions();

    // Writes the whole block to "Halvorsight.option" (created or truncated).
    // Returns false when the file could not be written; callers may ignore
    // that, the settings in memory stay as they are either way.
    bool writeOptions();

    // A copy of the whole block.
    AppOptions current() const;

    // Replaces the whole block in memory (does not write the file; call
    // writeOptions afterwards to persist it).
    void set(const AppOptions& options);

    bool startupCheckOn() const;   // startupCheck == 1
    bool playSoundOn() const;      // playSound == 1
    bool autoOpenOn() const;       // autoOpen == 1

    // True when the periodic timer should be armed: periodicCheck == 1 and a
    // period of at least one minute. A stored period of 0 minutes (never
    // written by the dialog) arms no timer instead of one that fires
    // continuously.
    bool periodicCheckOn() const;

    // The timer interval for the stored period (periodicIntervalMsFor).
    uint32_t periodicIntervalMs() const;

    int32_t backgroundChoice() const;
    std::string customBitmapPath() const;

    // Background commands of the View menu: store the choice and write the
    // file. The custom path is kept as it is for Default and Empty.
    void setBackgroundChoice(int32_t choice);

    // Stores Custom with `path` and writes the file. A path longer than 511
    // characters does not fit the block: nothing changes and false is
    // returned.
    bool setCustomBackground(const std::string& path);

private:
    mutable std::mutex mutex_;
    AppOptions block_;
};

// The timer interval in milliseconds for a number of minutes: minutes *
// 60000 (600 minutes give 36 000 000). Periods too long for a window timer
// are held at 0x7FFFFFFF ms instead of wrapping around to a short interval;
// 0 minutes give 0.
uint32_t periodicIntervalMsFor(uint32_t minutes);

}  // namespace hs
