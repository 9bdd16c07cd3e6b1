// The fixed-size document record: one monitored document. The same bytes are
// the catalogue slot, the dialogs' working copy and the record file on disk,
// so the layout below is a file format and is checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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

struct Document {
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

static_assert(sizeof(Document) == kRecordSize, "record size is a file format");
static_assert(offsetof(Document, type) == 0, "layout");
static_assert(offsetof(Document, url) == 4, "layout");
static_assert(offsetof(Document, name) == 516, "layout");
static_assert(offsetof(Document, useAccount) == 1028, "layout");
static_assert(offsetof(Document, userName) == 1032, "layout");
static_assert(offsetof(Document, password) == 1544, "layout");
static_assert(offsetof(Document, lastCheck) == 2056, "layout");
static_assert(offsetof(Document, status) == 2568, "layout");
static_assert(offsetof(Document, countMode) == 2572, "layout");
static_assert(offsetof(Document, countResult) == 2576, "layout");
static_assert(offsetof(Document, countString) == 2580, "layout");
static_assert(offsetof(Document, middleMode) == 3092, "layout");
static_assert(offsetof(Document, middleStart) == 3096, "layout");
static_assert(offsetof(Document, reserved) == 3608, "layout");
static_assert(offsetof(Document, middleEnd) == 4120, "layout");
static_assert(std::is_trivially_copyable<Document>::value, "copied whole as bytes");

// A record with every byte zero, the state of a new record and of a free slot.
inline Document zeroRecord() {
    Document r;
    std::memset(&r, 0, sizeof r);
    return r;
}

// Copies text into a fixed field, cutting it at 511 characters and zero-filling
// the rest so that the bytes after the terminator are zero.
void setField(char (&field)[kTextFieldSize], const std::string& text);

// Reads a fixed field as text; a field without terminator is read to its end.
std::string fieldText(const char (&field)[kTextFieldSize]);

// Display texts of the list's "Type" and "Status" columns and the status image.
const char* documentTypeText(int32_t type);
const char* documentStatusText(int32_t status);
int statusImageIndex(int32_t status);

}  // namespace hs
