// Text-mode files, translated by the program itself so that every platform
// stores and reads them alike: writing stores each line feed as carriage
// return plus line feed; reading turns each carriage return plus line feed
// back into a line feed and ends the text at the first byte 0x1A. A carriage
// return that is not followed by a line feed is kept as it is.
//
// Every file is opened in binary mode underneath; the translation is here.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace hs {

constexpr char kTextEnd = 0x1A;

// How a content file is read or written.
enum class FileMode { Binary, Text };

// Reads a file in pieces, in binary or text mode. read() behaves like fread:
// it returns fewer bytes than asked only at the end of the (translated) data
// or on a read error, which failed() then reports.
class ContentReader {
public:
    ContentReader() = default;
    ~ContentReader();
    ContentReader(const ContentReader&) = delete;
    ContentReader& operator=(const ContentReader&) = delete;

    bool open(const std::string& path, FileMode mode);
    bool isOpen() const { return file_ != nullptr; }
    std::size_t read(char* out, std::size_t n);
    bool failed() const { return failed_; }
    void close();

private:
    bool refill();

    std::FILE* file_ = nullptr;
    FileMode mode_ = FileMode::Binary;
    bool failed_ = false;
    bool ended_ = false;       // no more raw bytes will come (EOF, 0x1A or error)
    std::vector<char> raw_;
    std::size_t pos_ = 0;      // next unread raw byte
    std::size_t end_ = 0;      // end of the valid raw bytes
};

// Writes a file in binary or text mode. Every failure is remembered, and
// close() reports whether everything reached the file.
class ContentWriter {
public:
    ContentWriter() = default;
    ~ContentWriter();
    ContentWriter(const ContentWriter&) = delete;
    ContentWriter& operator=(const ContentWriter&) = delete;

    // Creates the file or empties an existing one.
    bool open(const std::string& path, FileMode mode);
    bool isOpen() const { return file_ != nullptr; }
    bool write(const char* data, std::size_t n);
    bool close();

private:
    bool flushBuffer();

    std::FILE* file_ = nullptr;
    FileMode mode_ = FileMode::Binary;
    bool failed_ = false;
    std::vector<char> buffer_;
};

// A file read as text for the string searches, piece by piece: text mode,
// and every byte 0 dropped. Each piece is read straight into the caller's
// string and translated there in place, so no byte is held twice.
class TextStream {
public:
    static constexpr std::size_t kPiece = 256 * 1024;

    TextStream() = default;
    ~TextStream();
    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;

    bool open(const std::string& path);
    // Appends the next piece (from up to `raw` bytes of the file) to `out`.
    // Returns false, appending nothing, once the text has ended.
    bool next(std::string& out, std::size_t raw = kPiece);
    // The file could not be read to its end (an I/O error).
    bool failed() const { return failed_; }
    // The file's length in bytes when the platform can tell it, else 0.
    std::size_t sizeHint() const { return sizeHint_; }
    void close();

private:
    std::FILE* file_ = nullptr;
    bool carry_ = false;   // a carriage return held back for the next piece
    bool ended_ = false;
    bool failed_ = false;
    std::size_t sizeHint_ = 0;
};

// Loads a whole file as text (as TextStream reads it) into `text`, sized
// once from the file's length. Returns false when the file cannot be opened
// or read.
bool loadText(const std::string& path, std::string& text);

// Creates (or empties) `path` and writes `n` bytes into it in text mode.
// Returns false when the file cannot be created or written completely.
bool writeTextFile(const std::string& path, const char* data, std::size_t n);

// The same translations on strings: what text mode stores for `text`, and
// what it reads back from the stored bytes.
std::string toStoredText(const std::string& text);
std::string fromStoredText(const std::string& stored);

}  // namespace hs
