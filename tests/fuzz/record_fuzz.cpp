// The record file loader: any bytes in a record file, through the loading
// of the catalogue with its checks and the unscrambling of the account.
#include <cstring>
#include <memory>
#include <string>

#include "catalogue/name_rule.h"
#include "catalogue/scramble.h"
#include "catalogue/store.h"
#include "fuzz_support.h"

using namespace hs;

namespace {

// The document's files lie directly in "data".
void requireInsideData(const std::string& path) {
    fuzz::require(!path.empty(), "a loaded name gives its paths");
    const std::string prefix = joinPath(DocumentFiles::directory(), "");
    fuzz::require(path.compare(0, prefix.size(), prefix) == 0, "path starts with data");
    const std::string rest = path.substr(prefix.size());
    fuzz::require(rest.find_first_of("/\\:") == std::string::npos, "no separator or drive after data");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::unique_ptr<FileSystem> files = makePlatformFileSystem();
    fuzz::enterScratchDirectory();

    Document parsed;
    const bool accepted = recordFromFileBytes(data, size, parsed);

    // The same bytes as a record file in "data", loaded as at start-up.
    fuzz::writeFile(joinPath(DocumentFiles::directory(), "fuzzed.data"),
                    std::string(reinterpret_cast<const char*>(data), size));
    DocumentCatalogue catalogue;
    std::size_t shown = 0;
    loadCatalogue(catalogue, *files, [&](std::size_t) { ++shown; });
    fuzz::require(catalogue.slotCount() == (accepted ? 1u : 0u) && shown == catalogue.slotCount(),
                  "the loader takes what recordFromFileBytes accepts");
    if (!accepted) return 0;
    const Document loaded = catalogue.record(0);
    fuzz::require(loaded == parsed, "loaded as parsed");

    const RecordLayout layout = layoutFromDocument(loaded);
    for (const char* field : {layout.url, layout.name, layout.userName, layout.password, layout.lastCheck,
                              layout.countString, layout.middleStart, layout.middleEnd}) {
        fuzz::require(std::memchr(field, 0, kTextFieldSize) != nullptr, "every text field is terminated");
    }
    const std::string name = fieldText(loaded.name);
    fuzz::require(hasValidNameCharacters(name), "loaded names pass the character test");
    requireInsideData(DocumentFiles::recordPath(name));
    requireInsideData(DocumentFiles::contentPath(name));
    requireInsideData(DocumentFiles::middlePath(name));

    if (loaded.useAccount == 1) {
        fuzz::require(std::strlen(layout.userName) <= kMaxAccountLength,
                      "user name fits the stored form");
        fuzz::require(std::strlen(layout.password) <= kMaxAccountLength, "password fits the stored form");
        // Written and loaded again, the record comes back unchanged.
        RecordLayout stored = layout;
        scrambleCredentials(stored, static_cast<unsigned>(size));
        Document again;
        fuzz::require(recordFromFileBytes(&stored, sizeof stored, again), "a written record loads");
        fuzz::require(again == loaded, "credentials survive a write");
    }
    return 0;
}
