#include "catalogue/name_rule.h"

#include <cstdio>
#include <cstring>

namespace hs {

const char* const kForbiddenNameCharacters = "\\/:*?\"<>|";

namespace {

// The longest ending the store puts after a name, and the longest file name
// the common file systems allow.
constexpr std::size_t kLongestEnding = sizeof(".content") - 1;
constexpr std::size_t kLongestFileName = 255;

// An existing file that could be opened for writing: opened for update,
// which neither creates nor empties it, and closed again without writing.
bool existingFileIsWritable(const std::string& name) {
    std::FILE* f = std::fopen(name.c_str(), "r+b");
    if (!f) return false;
    std::fclose(f);
    return true;
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows treats these names as devices, also with an ending: "NUL.data"
// is the null device, so a record file of such a document would vanish.
// They are refused on every platform, since record files move between
// builds.
bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = upperAscii(c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0)) {
        return stem[3] >= '1' && stem[3] <= '9';
    }
    return false;
}

bool isControlCharacter(char c) {
    return static_cast<unsigned char>(c) < 32;
}

}  // namespace

bool hasValidNameCharacters(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (isControlCharacter(c)) return false;
    }
    if (name.find_first_of(kForbiddenNameCharacters) != std::string::npos) return false;
    return !isDeviceName(name);
}

bool isValidDocumentName(const std::string& name, FileSystem& fs) {
    if (!hasValidNameCharacters(name)) return false;
    if (name.size() + kLongestEnding > kLongestFileName) return false;

    if (fs.createNewFile(name)) {
        // Ours: remove it again. A name the system lets us open but not
        // delete is a device, not a file.
        return fs.removeFile(name);
    }
    if (!fs.exists(name) || fs.isDirectory(name)) return false;
    return existingFileIsWritable(name);
}

}  // namespace hs
