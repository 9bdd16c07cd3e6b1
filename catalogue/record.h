// One monitored document: `Document` is what the program works on in memory,
// `RecordLayout` the fixed-size bytes of its record file. Only the store
// converts between the two (documentFromLayout, layoutFromDocument); the
// layout is a file format and is checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

namespace hs {

enum DocumentType : int32_t {
    HtmlPage = 0,
    WebFile = 1,
    FtpFile = 2,
    LocalFile = 3,
};

enum DocumentStatus : int32_t {
    NotChanged = 0,
    Retrieving = 1,
    Changed = 2,
    UnableToRetrieve = 3,
    WaitingForRetrieve = 4,
    Saved = 5,
};

constexpr std::size_t kTextFieldSize = 512;     // every string field: 511 chars + NUL
constexpr std::size_t kMaxAccountLength = 127;  // user name / password limit
constexpr std::size_t kRecordSize = 4632;

struct RecordLayout {
    int32_t type;
    char url[kTextFieldSize];
    char name[kTextFieldSize];
    int32_t useAccount;
    char userName[kTextFieldSize];
    char password[kTextFieldSize];
    char lastCheck[kTextFieldSize];
    int32_t status;
    int32_t countMode;
    int32_t countResult;
    char countString[kTextFieldSize];
    int32_t middleMode;
    char middleStart[kTextFieldSize];
    unsigned char reserved[kTextFieldSize];  // never read, carried along
    char middleEnd[kTextFieldSize];
};

static_assert(sizeof(RecordLayout) == kRecordSize, "record size is a file format");
static_assert(offsetof(RecordLayout, type) == 0, "layout");
static_assert(offsetof(RecordLayout, url) == 4, "layout");
static_assert(offsetof(RecordLayout, name) == 516, "layout");
static_assert(offsetof(RecordLayout, useAccount) == 1028, "layout");
static_assert(offsetof(RecordLayout, userName) == 1032, "layout");
static_assert(offsetof(RecordLayout, password) == 1544, "layout");
static_assert(offsetof(RecordLayout, lastCheck) == 2056, "layout");
static_assert(offsetof(RecordLayout, status) == 2568, "layout");
static_assert(offsetof(RecordLayout, countMode) == 2572, "layout");
static_assert(offsetof(RecordLayout, countResult) == 2576, "layout");
static_assert(offsetof(RecordLayout, countString) == 2580, "layout");
static_assert(offsetof(RecordLayout, middleMode) == 3092, "layout");
static_assert(offsetof(RecordLayout, middleStart) == 3096, "layout");
static_assert(offsetof(RecordLayout, reserved) == 3608, "layout");
static_assert(offsetof(RecordLayout, middleEnd) == 4120, "layout");
static_assert(std::is_trivially_copyable<RecordLayout>::value, "copied whole as bytes");

// A layout with every byte zero, the state of a new record and of a free slot.
inline RecordLayout zeroLayout() {
    RecordLayout r;
    std::memset(&r, 0, sizeof r);
    return r;
}

// A document in memory: the record's fields as text (each at most 511
// characters, cut like the file's fields) and numbers. The credentials are
// in plain form. An empty name marks a free slot.
struct Document {
    int32_t type = 0;
    std::string url;
    std::string name;
    int32_t useAccount = 0;
    std::string userName;
    std::string password;
    std::string lastCheck;
    int32_t status = 0;
    int32_t countMode = 0;
    int32_t countResult = 0;
    std::string countString;
    int32_t middleMode = 0;
    std::string middleStart;
    std::string middleEnd;
    // The record file's bytes as loaded, kept only when it carried bytes
    // that the fields above do not hold (the reserved block, bytes after a
    // field's terminator). Writing starts from them, so such a file keeps
    // those bytes; a field whose text changed is written afresh.
    std::shared_ptr<const RecordLayout> carried;
};

// Two documents are the same when their record files' bytes would be.
bool operator==(const Document& a, const Document& b);
inline bool operator!=(const Document& a, const Document& b) { return !(a == b); }

// A fingerprint of the bytes a document's record file gets (before the
// credentials are scrambled): equal bytes give equal fingerprints.
uint64_t recordFingerprint(const Document& document);

// A document with every field empty or zero.
inline Document zeroRecord() { return Document{}; }

// The document a layout holds (text fields read to their terminator).
Document documentFromLayout(const RecordLayout& layout);

// The layout of a document: the carried bytes, if any, with every field
// whose text differs written afresh, and every number.
RecordLayout layoutFromDocument(const Document& document);

// Copies text into a fixed field, cutting it at 511 characters and zero-filling
// the rest so that the bytes after the terminator are zero.
void setField(char (&field)[kTextFieldSize], const std::string& text);

// Reads a fixed field as text; a field without terminator is read to its end.
std::string fieldText(const char (&field)[kTextFieldSize]);

// The same for a document's field, which is text already; setField cuts the
// text at 511 characters like the file's field.
inline const std::string& fieldText(const std::string& field) { return field; }
void setField(std::string& field, const std::string& text);

// Display texts of the list's "Type" and "Status" columns and the status image.
const char* documentTypeText(int32_t type);
const char* documentStatusText(int32_t status);
int statusImageIndex(int32_t status);

}  // namespace hs
