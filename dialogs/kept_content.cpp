#include "dialogs/kept_content.h"

#include <cstdio>

#include "platform/stdio_file.h"

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

bool readHeaderDump(DocumentCatalogue& catalogue, const std::string& path, HeaderDump& dump) {
    const auto filesLock = catalogue.lockDocumentFiles();
    std::FILE* f = openForReading(path);
    if (f == nullptr) return false;
    dump = HeaderDump();
    for (std::size_t n = 1; n <= kHeaderDumpLimit; ++n) {
        const int c = std::fgetc(f);
        if (c == EOF) break;
        appendDumpByte(dump, static_cast<unsigned char>(c), n);
    }
    std::fclose(f);
    return true;
}

bool copyKeptContent(DocumentCatalogue& catalogue, const std::string& from, const std::string& to) {
    const auto filesLock = catalogue.lockDocumentFiles();
    std::FILE* in = openForReading(from);
    if (in == nullptr) return false;
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (out == nullptr) {
        std::fclose(in);
        return false;
    }
    bool ok = true;
    char buffer[16384];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, in);
        if (got > 0 && std::fwrite(buffer, 1, got, out) != got) {
            ok = false;
            break;
        }
        if (got < sizeof buffer) {
            ok = std::ferror(in) == 0;
            break;
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0) ok = false;
    if (!ok) std::remove(to.c_str());
    return ok;
}

}  // namespace hs
