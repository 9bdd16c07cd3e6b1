#include "options_file.h"

#include "record_files.h"

namespace hs::e2e {

namespace {

void putInt(std::string& bytes, std::size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string OptionsFile::bytes() const {
    std::string b(kOptionsFileSize, '\0');
    putInt(b, 0, static_cast<uint32_t>(periodicCheck));
    putInt(b, 4, checkMinutes);
    putInt(b, 8, static_cast<uint32_t>(startupCheck));
    putInt(b, 12, static_cast<uint32_t>(playSound));
    putInt(b, 16, static_cast<uint32_t>(autoOpen));
    putInt(b, 20, static_cast<uint32_t>(backgroundChoice));
    b.replace(24, customBitmapPath.size(), customBitmapPath.substr(0, 511));
    return b;
}

bool OptionsFile::parse(const std::string& b, OptionsFile& o) {
    if (b.size() != kOptionsFileSize) return false;
    o.periodicCheck = int32At(b, 0);
    o.checkMinutes = static_cast<uint32_t>(int32At(b, 4));
    o.startupCheck = int32At(b, 8);
    o.playSound = int32At(b, 12);
    o.autoOpen = int32At(b, 16);
    o.backgroundChoice = int32At(b, 20);
    o.customBitmapPath = textAt(b, 24);
    return true;
}

bool OptionsFile::operator==(const OptionsFile& o) const {
    return periodicCheck == o.periodicCheck && checkMinutes == o.checkMinutes &&
           startupCheck == o.startupCheck && playSound == o.playSound && autoOpen == o.autoOpen &&
           backgroundChoice == o.backgroundChoice && customBitmapPath == o.customBitmapPath;
}

std::string describe(const OptionsFile& o) {
    return "periodic " + std::to_string(o.periodicCheck) + ", minutes " + std::to_string(o.checkMinutes) +
           ", start-up " + std::to_string(o.startupCheck) + ", sound " + std::to_string(o.playSound) +
           ", open " + std::to_string(o.autoOpen) + ", background " + std::to_string(o.backgroundChoice) +
           ", bitmap \"" + o.customBitmapPath + "\"";
}

}  // namespace hs::e2e
