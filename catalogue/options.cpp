#include "catalogue/options.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "platform/stdio_file.h"

namespace hs {

namespace {

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

ProgramOptions::ProgramOptions() : block_(zeroOptions()) {}

void ProgramOptions::readOptions() {
    AppOptions block = zeroOptions();
    std::FILE* f = openForReading(kOptionsFileName);
    if (!f) {
        set(defaultOptions());
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
    set(block);
}

bool ProgramOptions::writeOptions() {
    // Snapshot under the lock, write outside it so that a slow disk never
    // holds up a worker asking for playSound or autoOpen.
    return writeBlock(current());
}

AppOptions ProgramOptions::current() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return block_;
}

void ProgramOptions::set(const AppOptions& options) {
    std::lock_guard<std::mutex> lock(mutex_);
    block_ = options;
}

bool ProgramOptions::startupCheckOn() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return block_.startupCheck == 1;
}

bool ProgramOptions::playSoundOn() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return block_.playSound == 1;
}

bool ProgramOptions::autoOpenOn() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return block_.autoOpen == 1;
}

bool ProgramOptions::periodicCheckOn() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return block_.periodicCheck == 1 && block_.checkMinutes != 0;
}

uint32_t periodicIntervalMsFor(uint32_t minutes) {
    const uint64_t ms = static_cast<uint64_t>(minutes) * 60000u;
    return static_cast<uint32_t>(ms > kMaxTimerMs ? kMaxTimerMs : ms);
}

uint32_t ProgramOptions::periodicIntervalMs() const {
    uint32_t minutes;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        minutes = block_.checkMinutes;
    }
    return periodicIntervalMsFor(minutes);
}

int32_t ProgramOptions::backgroundChoice() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return block_.backgroundChoice;
}

std::string ProgramOptions::customBitmapPath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    // The field may lack a terminator in a damaged file: read at most its size.
    const char* p = block_.customBitmapPath;
    const void* end = std::memchr(p, 0, sizeof block_.customBitmapPath);
    const std::size_t n = end ? static_cast<std::size_t>(static_cast<const char*>(end) - p)
                              : sizeof block_.customBitmapPath;
    return std::string(p, n);
}

void ProgramOptions::setBackgroundChoice(int32_t choice) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        block_.backgroundChoice = choice;
    }
    writeOptions();
}

bool ProgramOptions::setCustomBackground(const std::string& path) {
    if (path.size() >= kOptionsPathSize) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        block_.backgroundChoice = BackgroundCustom;
        std::memset(block_.customBitmapPath, 0, sizeof block_.customBitmapPath);
        std::memcpy(block_.customBitmapPath, path.data(), path.size());
    }
    writeOptions();
    return true;
}

}  // namespace hs
