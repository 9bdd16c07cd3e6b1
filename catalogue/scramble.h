// The stored form of a record's user name and password. In the record file
// each of the two 512-byte fields holds, when useAccount is 1:
//   byte 0               the length L of the plain text (0 to 127)
//   bytes 1, 5, 9, ...   the characters in reverse order: byte 1 the last
//                        character, byte 1 + 4 * (L - 1) the first
//   every other byte     filler from 32 to 125
// There is no terminator. The record in memory always holds plain text; only
// the copy that goes to the file is scrambled.
#pragma once

#include "catalogue/record.h"

namespace hs {

// Reverses a zero-terminated text in place (first with last, and so on
// inwards). A null pointer and texts of 0 or 1 characters are left alone.
void reverseString(char* text);

// Turns both userName and password of `record` into the stored form. Both
// fields get the filler of a generator seeded with `seed`, so within one
// seed they share one filler sequence.
//
// A plain text longer than 127 characters cannot be expressed (the length
// byte is read back as a signed 8-bit value and the characters stand four
// bytes apart inside 512 bytes): only its first 127 characters are stored,
// so the field never reaches beyond its 512 bytes and the text read back is
// the beginning of what was typed.
void scrambleCredentials(RecordLayout& record, unsigned seed);

// The same, seeded with the current time in seconds.
void scrambleCredentials(RecordLayout& record);

// Turns both fields from the stored form back into plain, zero-terminated
// text with zero bytes after it. A length byte above 127 (never written by
// the program) gives an empty field; nothing is read beyond the 512 bytes.
void unscrambleCredentials(RecordLayout& record);

}  // namespace hs
