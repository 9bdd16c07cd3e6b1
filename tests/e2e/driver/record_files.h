// Record files for the program under test: prepared from Document
// before a start, and read back after the program wrote them, by explicit
// byte offsets so that a layout mistake in the program cannot hide behind
// the same mistake in the test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/record.h"

namespace hs::e2e {

// Byte offsets inside the 4632-byte record file.
namespace offsets {
constexpr std::size_t type = 0;
constexpr std::size_t url = 4;
constexpr std::size_t name = 516;
constexpr std::size_t useAccount = 1028;
constexpr std::size_t userName = 1032;
constexpr std::size_t password = 1544;
constexpr std::size_t lastCheck = 2056;
constexpr std::size_t status = 2568;
constexpr std::size_t countMode = 2572;
constexpr std::size_t countResult = 2576;
constexpr std::size_t countString = 2580;
constexpr std::size_t middleMode = 3092;
constexpr std::size_t middleStart = 3096;
constexpr std::size_t reserved = 3608;
constexpr std::size_t middleEnd = 4120;
constexpr std::size_t fieldSize = 512;
constexpr std::size_t recordSize = 4632;
}  // namespace offsets

// A zero-filled record with the given name, type, location and status.
Document makeRecord(const std::string& name, int32_t type, const std::string& url,
                          int32_t status);

// The bytes of a record file for `record`: the record itself, with the
// account fields in their stored (scrambled) form when useAccount is 1.
std::string recordFileBytes(const Document& record);

// The stored form of one account field: byte 0 the length, the characters
// in reverse order at bytes 1, 5, 9, ..., filler from 32 to 125 elsewhere.
// `seed` varies the filler.
std::string encodeStoredField(const std::string& plain, unsigned seed = 1);

// Reads the stored form of an account field at `offset` of a record file.
// Returns false with a reason when the form is broken: a length above 127,
// a filler byte outside 32..125, or a field that does not fit.
bool decodeStoredField(const std::string& fileBytes, std::size_t offset, std::string& plain,
                       std::string& problem);

// Little-endian int32 at `offset`; 0 when the bytes are not there.
int32_t int32At(const std::string& bytes, std::size_t offset);
// The zero-terminated text of the 512-byte field at `offset`.
std::string textAt(const std::string& bytes, std::size_t offset);
// The raw bytes of the 512-byte field at `offset`.
std::string fieldAt(const std::string& bytes, std::size_t offset);

// "data\<name>.data", the record file of a document.
std::string recordFileName(const std::string& name);

}  // namespace hs::e2e
