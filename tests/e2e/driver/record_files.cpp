#include "record_files.h"

#include <cstring>

namespace hs::e2e {

Document makeRecord(const std::string& name, int32_t type, const std::string& url,
                          int32_t status) {
    Document r = zeroRecord();
    r.type = type;
    setField(r.url, url);
    setField(r.name, name);
    r.status = status;
    return r;
}

std::string encodeStoredField(const std::string& plain, unsigned seed) {
    std::string field(offsets::fieldSize, '\0');
    // A small linear congruential sequence: any filler in range will do.
    unsigned state = seed * 2654435761u + 12345u;
    for (auto& c : field) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(32 + (state >> 16) % 94);  // 32 .. 125
    }
    const std::size_t len = plain.size();
    field[0] = static_cast<char>(len);
    for (std::size_t k = 0; k < len; ++k) field[1 + 4 * k] = plain[len - 1 - k];
    return field;
}

std::string recordFileBytes(const Document& record) {
    const RecordLayout layout = layoutFromDocument(record);
    std::string bytes(reinterpret_cast<const char*>(&layout), sizeof layout);
    if (record.useAccount == 1) {
        bytes.replace(offsets::userName, offsets::fieldSize,
                      encodeStoredField(fieldText(record.userName), 7));
        bytes.replace(offsets::password, offsets::fieldSize,
                      encodeStoredField(fieldText(record.password), 11));
    }
    return bytes;
}

bool decodeStoredField(const std::string& fileBytes, std::size_t offset, std::string& plain,
                       std::string& problem) {
    plain.clear();
    if (fileBytes.size() < offset + offsets::fieldSize) {
        problem = "record file too short for the field at " + std::to_string(offset);
        return false;
    }
    const auto* f = reinterpret_cast<const unsigned char*>(fileBytes.data() + offset);
    const std::size_t len = f[0];
    if (len > 127) {
        problem = "stored length " + std::to_string(len) + " is above 127";
        return false;
    }
    std::string reversed;
    for (std::size_t i = 1; i < offsets::fieldSize; ++i) {
        const bool isChar = (i - 1) % 4 == 0 && (i - 1) / 4 < len;
        if (isChar) {
            reversed += static_cast<char>(f[i]);
        } else if (f[i] < 32 || f[i] > 125) {
            problem = "filler byte " + std::to_string(i) + " of the field at " +
                      std::to_string(offset) + " is " + std::to_string(f[i]) +
                      ", outside 32..125";
            return false;
        }
    }
    plain.assign(reversed.rbegin(), reversed.rend());
    return true;
}

int32_t int32At(const std::string& bytes, std::size_t offset) {
    if (bytes.size() < offset + 4) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

std::string fieldAt(const std::string& bytes, std::size_t offset) {
    if (bytes.size() < offset + offsets::fieldSize) return std::string();
    return bytes.substr(offset, offsets::fieldSize);
}

std::string textAt(const std::string& bytes, std::size_t offset) {
    const std::string field = fieldAt(bytes, offset);
    return field.substr(0, field.find('\0'));
}

std::string recordFileName(const std::string& name) { return "data\\" + name + ".data"; }

}  // namespace hs::e2e
