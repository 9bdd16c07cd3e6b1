// The document name rule, on any text a user could type or a record file
// could hold, over a file system that only pretends: the trial creation may
// touch nothing but a file of exactly that name in the working directory,
// and only what it created may go again.
#include <string>

#include "catalogue/name_rule.h"
#include "catalogue/store.h"
#include "fuzz_support.h"
#include "../unit/file_system_fake.h"

using namespace hs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();  // an existing name is opened (not changed) there
    fuzz::Input in(data, size);
    const bool exists = in.byte() & 1;
    const std::string name = in.rest();

    test::SwitchableFileSystem fs;  // pretended names only
    fs.directories.insert("data");
    if (exists) fs.files.insert(name);
    const bool valid = isValidDocumentName(name, fs);
    fuzz::require(fs.files.size() == (exists ? 1u : 0u) && fs.directories.size() == 1,
                  "the trial leaves the working directory as it was");
    const bool removed = !fs.calls("remove").empty();
    for (const std::string& c : fs.calls()) {
        fuzz::require(c == "create " + name || c == "exists " + name || c == "directory " + name ||
                          c == "remove " + name,
                      "the trial touches nothing but a file of exactly that name");
    }
    fuzz::require(!removed || (!exists && name != "data"), "only what the trial created is removed");

    const bool characters = hasValidNameCharacters(name);
    fuzz::require(!valid || characters, "a valid name passes the character test");
    if (!characters) {
        fuzz::require(DocumentFiles::recordPath(name).empty() && DocumentFiles::contentPath(name).empty() &&
                          DocumentFiles::middlePath(name).empty(),
                      "a refused name gives no path");
        return 0;
    }
    for (const char c : name) {
        fuzz::require(c != '/' && c != '\\' && c != ':' && static_cast<unsigned char>(c) >= 32,
                      "no separator, drive or control character");
    }
    fuzz::require(DocumentFiles::recordPath(name) == joinPath(DocumentFiles::directory(), name + ".data"), "the record file lies in data");
    return 0;
}
