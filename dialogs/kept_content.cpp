#include "dialogs/kept_content.h"

#include <cstdio>

#include "catalogue/document_files.h"

namespace hs {

void appendDumpByte(HeaderDump& dump, unsigned char byte, std::size_t n) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X ", static_cast<unsigned>(byte));
    dump.hex += pair;
    if (byte != 0) dump.text += static_cast<char>(byte);
    if (n % 6 == 0) dump.hex += "\r\n";
}

HeaderDump dumpHeader(const std::string& bytes) {
    HeaderDump dump;
    const std::size_t count = bytes.size() < kHeaderDumpLimit ? bytes.size() : kHeaderDumpLimit;
    for (std::size_t i = 0; i < count; ++i) appendDumpByte(dump, static_cast<unsigned char>(bytes[i]), i + 1);
    return dump;
}

bool readHeaderDump(DocumentCatalogue& catalogue, FileSystem& fs, const std::string& name, HeaderDump& dump) {
    std::string bytes;
    {
        const auto filesLock = catalogue.lockDocumentFiles();
        if (!DocumentFiles(fs).readKeptContent(name, kHeaderDumpLimit, bytes)) return false;
    }
    dump = dumpHeader(bytes);
    return true;
}

bool copyKeptContent(DocumentCatalogue& catalogue, FileSystem& fs, const std::string& name,
                     const std::string& to) {
    const auto filesLock = catalogue.lockDocumentFiles();
    return DocumentFiles(fs).copyKeptContent(name, to);
}

}  // namespace hs
