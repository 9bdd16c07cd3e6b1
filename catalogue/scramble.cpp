#include "catalogue/scramble.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <random>

namespace hs {

namespace {

// Plain text that fits the stored form: at most 127 characters, read up to
// the terminator or the end of the field.
std::size_t storableLength(const char (&field)[kTextFieldSize]) {
    const void* end = std::memchr(field, 0, kTextFieldSize);
    const std::size_t n = end ? static_cast<std::size_t>(static_cast<const char*>(end) - field)
                              : kTextFieldSize;
    return std::min(n, kMaxAccountLength);
}

// Position of the k-th stored character.
constexpr std::size_t storedIndex(std::size_t k) { return 1 + 4 * k; }
static_assert(storedIndex(kMaxAccountLength - 1) < kTextFieldSize,
              "the longest stored text fits its field");

void fillWithFiller(char (&field)[kTextFieldSize], unsigned seed) {
    // A generator of its own for every field: workers write records at the
    // same time as the window thread, so no shared generator state.
    std::minstd_rand generator(seed);
    for (char& c : field) {
        int v = static_cast<int>(generator() % 126u);
        if (v < 32) v += 32;
        c = static_cast<char>(v);
    }
}

void scrambleField(char (&field)[kTextFieldSize], unsigned seed) {
    char plain[kTextFieldSize] = {};
    const std::size_t length = storableLength(field);
    std::memcpy(plain, field, length);  // cut at 127, terminated by the zero fill
    fillWithFiller(field, seed);
    field[0] = static_cast<char>(length);
    reverseString(plain);
    for (std::size_t k = 0; k < length; ++k) field[storedIndex(k)] = plain[k];
}

void unscrambleField(char (&field)[kTextFieldSize]) {
    char stored[kTextFieldSize];
    std::memcpy(stored, field, kTextFieldSize);
    std::memset(field, 0, kTextFieldSize);
    const unsigned length = static_cast<unsigned char>(stored[0]);
    if (length > kMaxAccountLength) return;  // not a stored form the program writes
    for (std::size_t k = 0; k < length; ++k) field[k] = stored[storedIndex(k)];
    // Reverse exactly the stored characters, then end the text at its first
    // zero byte (a damaged file may hold one) so the bytes after the
    // terminator are zero as in every record.
    std::reverse(field, field + length);
    const void* end = std::memchr(field, 0, length);
    if (end) {
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(end) - field);
        std::memset(field + at, 0, kTextFieldSize - at);
    }
}

}  // namespace

void reverseString(char* text) {
    if (!text) return;
    const std::size_t n = std::strlen(text);
    if (n < 2) return;
    std::reverse(text, text + n);
}

void scrambleCredentials(RecordLayout& record, unsigned seed) {
    scrambleField(record.userName, seed);
    scrambleField(record.password, seed);
}

void scrambleCredentials(RecordLayout& record) {
    scrambleCredentials(record, static_cast<unsigned>(std::time(nullptr)));
}

void unscrambleCredentials(RecordLayout& record) {
    unscrambleField(record.userName);
    unscrambleField(record.password);
}

}  // namespace hs
