#include "app/options.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace hs {

namespace {

// The program-wide block. Zero-initialised as a static, which is the state
// before readOptions runs.
std::mutex gOptionsMutex;
AppOptions gOptions{};

// Longest interval a window timer accepts.
constexpr uint64_t kMaxTimerMs = 0x7FFFFFFFu;

bool writeBlock(const AppOptions& block) {
    std::FILE* f = std::fopen(kOptionsFileName, "wb");
    if (!f) return false;
    const bool wrote = std::fwrite(&block, 1, sizeof block, f) == sizeof block;
    const bool closed = std::fclose(f) == 0;
    return wrote && closed;
}

}  // namespace

AppOptions zeroOptions() {
    AppOptions o;
    std::memset(&o, 0, sizeof o);
    return o;
}

AppOptions defaultOptions() {
    AppOptions o = zeroOptions();
    o.periodicCheck = 0;
    o.checkMinutes = 60;
    o.startupCheck = 0;
    o.playSound = 1;
    o.autoOpen = 0;
    o.backgroundChoice = BackgroundDefault;
    return o;
}

void readOptions() {
    AppOptions block = zeroOptions();
    std::FILE* f = std::fopen(kOptionsFileName, "rb");
    if (!f) {
        setOptions(defaultOptions());
        // Create the file only when there is none: a file that exists but
        // cannot be read now (locked, no permission) keeps the user's settings.
        // A failed write leaves the defaults for this run only.
        std::error_code ec;
        const bool present = std::filesystem::exists(kOptionsFileName, ec) || ec;
        if (!present) writeOptions();
        return;
    }
    // Read as far as the file goes; whatever it does not cover stays zero.
    std::fread(&block, 1, sizeof block, f);
    std::fclose(f);
    setOptions(block);
}

bool writeOptions() {
    // Snapshot under the lock, write outside it so that a slow disk never
    // holds up a worker asking for playSound or autoOpen.
    return writeBlock(currentOptions());
}

AppOptions currentOptions() {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    return gOptions;
}

void setOptions(const AppOptions& options) {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    gOptions = options;
}

bool startupCheckOn() {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    return gOptions.startupCheck == 1;
}

bool playSoundOn() {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    return gOptions.playSound == 1;
}

bool autoOpenOn() {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    return gOptions.autoOpen == 1;
}

bool periodicCheckOn() {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    return gOptions.periodicCheck == 1 && gOptions.checkMinutes != 0;
}

uint32_t periodicIntervalMsFor(uint32_t minutes) {
    const uint64_t ms = static_cast<uint64_t>(minutes) * 60000u;
    return static_cast<uint32_t>(ms > kMaxTimerMs ? kMaxTimerMs : ms);
}

uint32_t periodicIntervalMs() {
    uint32_t minutes;
    {
        std::lock_guard<std::mutex> lock(gOptionsMutex);
        minutes = gOptions.checkMinutes;
    }
    return periodicIntervalMsFor(minutes);
}

int32_t backgroundChoice() {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    return gOptions.backgroundChoice;
}

std::string customBitmapPath() {
    std::lock_guard<std::mutex> lock(gOptionsMutex);
    // The field may lack a terminator in a damaged file: read at most its size.
    const char* p = gOptions.customBitmapPath;
    const void* end = std::memchr(p, 0, sizeof gOptions.customBitmapPath);
    const std::size_t n = end ? static_cast<std::size_t>(static_cast<const char*>(end) - p)
                              : sizeof gOptions.customBitmapPath;
    return std::string(p, n);
}

void setBackgroundChoice(int32_t choice) {
    {
        std::lock_guard<std::mutex> lock(gOptionsMutex);
        gOptions.backgroundChoice = choice;
    }
    writeOptions();
}

bool setCustomBackground(const std::string& path) {
    if (path.size() >= kOptionsPathSize) return false;
    {
        std::lock_guard<std::mutex> lock(gOptionsMutex);
        gOptions.backgroundChoice = BackgroundCustom;
        std::memset(gOptions.customBitmapPath, 0, sizeof gOptions.customBitmapPath);
        std::memcpy(gOptions.customBitmapPath, path.data(), path.size());
    }
    writeOptions();
    return true;
}

}  // namespace hs
