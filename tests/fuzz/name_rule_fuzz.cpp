// The document name rule, on any text a user could type or a record file
// could hold, over a file system that only pretends: the trial creation may
// touch nothing but a file of exactly that name in the working directory,
// and only what it created may go again.
#include <set>
#include <string>
#include <vector>

#include "catalogue/name_rule.h"
#include "catalogue/store.h"
#include "fuzz_support.h"

using namespace hs;

namespace {

class PretendFileSystem final : public FileSystem {
public:
    std::string name;
    std::set<std::string> existing;  // pretended files of the working directory
    std::set<std::string> created;

    bool listFiles(const std::string&, const std::string&, std::vector<std::string>&) override { return false; }
    bool makeDirectory(const std::string&) override { return false; }
    bool createNewFile(const std::string& path) override {
        fuzz::require(path == name, "only the name itself is created");
        if (existing.count(path)) return false;
        existing.insert(path);
        created.insert(path);
        return true;
    }
    bool exists(const std::string& path) override { return existing.count(path) != 0; }
    bool isDirectory(const std::string& path) override { return path == "data"; }
    bool removeFile(const std::string& path) override {
        fuzz::require(created.count(path) != 0, "only what the trial created is removed");
        existing.erase(path);
        return true;
    }
    bool replaceFile(const std::string&, const std::string&) override { return unexpected(); }
    bool copyFile(const std::string&, const std::string&) override { return unexpected(); }
    std::string makeTempFile(const std::string&, const std::string&) override {
        unexpected();
        return std::string();
    }

private:
    static bool unexpected() {
        fuzz::require(false, "the name rule writes no other file");
        return false;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();  // an existing name is opened (not changed) there
    fuzz::Input in(data, size);
    const bool exists = in.byte() & 1;
    const std::string name = in.rest();

    PretendFileSystem fs;
    fs.name = name;
    fs.existing.insert("data");
    if (exists) fs.existing.insert(name);
    const bool valid = isValidDocumentName(name, fs);
    fuzz::require(fs.existing.count(name) == (exists || name == "data" ? 1u : 0u),
                  "the trial leaves the working directory as it was");

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
