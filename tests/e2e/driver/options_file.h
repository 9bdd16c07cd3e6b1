// The options file "Halvorsight.option": 536 bytes, six 32-bit values and a
// 512-byte path, written and read by explicit offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace hs::e2e {

constexpr const char* kOptionsFile = "Halvorsight.option";
constexpr std::size_t kOptionsFileSize = 536;

struct OptionsFile {
    int32_t periodicCheck = 0;
    uint32_t checkMinutes = 60;
    int32_t startupCheck = 0;
    int32_t playSound = 1;
    int32_t autoOpen = 0;
    int32_t backgroundChoice = 0;
    std::string customBitmapPath;

    std::string bytes() const;
    // Reads the six values and the path; false for a file of another size.
    static bool parse(const std::string& bytes, OptionsFile& out);
    bool operator==(const OptionsFile& o) const;
};

std::string describe(const OptionsFile& o);

}  // namespace hs::e2e
