#include "catalogue/document_files.h"

#include "catalogue/name_rule.h"
#include "platform/stdio_file.h"

namespace hs {

namespace {

const char* const kDataDir = "data";
const char* const kTempPrefix = "QVR";

// What an edit does to a file of the document under its old name.
enum class OnEdit {
    Remove,  // the edited record starts without it
    Stay,    // left under the old name
};

struct DocumentFileKind {
    const char* ending;
    OnEdit onEdit;
};

// Every file that belongs to a document by its name, in the order Delete
// removes them.
const DocumentFileKind kDocumentFiles[] = {
    {".data", OnEdit::Remove},
    {".content", OnEdit::Remove},
    {".middle", OnEdit::Stay},
};

std::string documentFilePath(const std::string& name, const char* ending) {
    if (!hasValidNameCharacters(name)) return std::string();
    return joinPath(kDataDir, name + ending);
}

bool isOpenCopyName(const std::string& name) {
    const std::size_t mark = name.find(".tmp_");
    if (mark == std::string::npos || mark < 3) return false;
    return (name[0] == 'Q' || name[0] == 'q') && (name[1] == 'V' || name[1] == 'v') &&
           (name[2] == 'R' || name[2] == 'r');
}

}  // namespace

std::string openCopyPath(const std::string& tempFile, const std::string& component, std::size_t maxLength) {
    const std::string head = tempFile + "_";
    if (head.size() + component.size() <= maxLength) return head + component;
    const std::size_t dot = component.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : component.substr(dot);
    if (head.size() + extension.size() > maxLength) return std::string();
    return head + component.substr(0, maxLength - head.size() - extension.size()) + extension;
}

const char* DocumentFiles::directory() { return kDataDir; }

std::string DocumentFiles::recordPath(const std::string& name) { return documentFilePath(name, ".data"); }
std::string DocumentFiles::contentPath(const std::string& name) { return documentFilePath(name, ".content"); }
std::string DocumentFiles::middlePath(const std::string& name) { return documentFilePath(name, ".middle"); }

bool DocumentFiles::makeDirectory() { return fs_.makeDirectory(kDataDir); }

bool DocumentFiles::listRecordFiles(std::vector<std::string>& paths) {
    paths.clear();
    if (!fs_.listFiles(kDataDir, "*.data", paths)) return false;
    for (std::string& path : paths) path = joinPath(kDataDir, path);  // in place: one list of 10,000 names is enough
    return true;
}

std::string DocumentFiles::newTempFile() {
    const std::string staging = stagingDirectory();
    std::string temp = fs_.makeTempFile(staging, kTempPrefix);
    if (temp.empty() && fs_.makeDirectory(staging)) temp = fs_.makeTempFile(staging, kTempPrefix);
    if (temp.empty()) temp = fs_.makeTempFile(kDataDir, kTempPrefix);  // no room for the folder
    return temp;
}

// Where staged files are made. Under Wine a new name costs a read of the
// whole directory it is made in (names are matched without regard to case),
// and "data" holds every document's files: staged there, a check of N
// documents read N directories of N names. Made when first needed, removed
// at exit; a staged file is then moved over its target, whose name exists.
std::string DocumentFiles::stagingDirectory() { return joinPath(kDataDir, "staging"); }

void DocumentFiles::discard(StagedFile& file) {
    if (!file.staged.empty()) fs_.removeFile(file.staged);
    file.staged.clear();
}

DocumentFiles::Kept DocumentFiles::keep(const std::function<bool()>& writeRecord, StagedFile& content,
                                        StagedFile& middle) {
    if (!writeRecord()) return Kept::RecordNotWritten;
    if (!content.staged.empty()) {
        if (!fs_.replaceFile(content.staged, content.target)) return Kept::ContentNotKept;
        content.staged.clear();
    }
    // A middle text that cannot be moved leaves the old one.
    if (!middle.staged.empty() && fs_.replaceFile(middle.staged, middle.target)) middle.staged.clear();
    return Kept::Everything;
}

void DocumentFiles::removeAll(const std::string& name) {
    for (const DocumentFileKind& kind : kDocumentFiles) {
        const std::string path = documentFilePath(name, kind.ending);
        if (!path.empty()) fs_.removeFile(path);
    }
}

void DocumentFiles::removeForEdit(const std::string& oldName) {
    for (const DocumentFileKind& kind : kDocumentFiles) {
        if (kind.onEdit != OnEdit::Remove) continue;
        const std::string path = documentFilePath(oldName, kind.ending);
        if (!path.empty()) fs_.removeFile(path);
    }
}

bool DocumentFiles::hasKeptContent(const std::string& name) {
    StdioFile kept(openForReading(contentPath(name)));
    return kept.get() != nullptr;
}

bool DocumentFiles::readKeptContent(const std::string& name, std::size_t limit, std::string& bytes) {
    StdioFile kept(openForReading(contentPath(name)));
    if (!kept.get()) return false;
    bytes.assign(limit, '\0');
    bytes.resize(std::fread(&bytes[0], 1, limit, kept.get()));
    return true;
}

bool DocumentFiles::copyKeptContent(const std::string& name, const std::string& target) {
    StdioFile in(openForReading(contentPath(name)));
    if (!in.get()) return false;
    bool ok = true;
    {
        StdioFile out(target, "wb");
        if (!out.get()) return false;
        ok = copyStream(in.get(), out.get());
        if (!out.close()) ok = false;
    }
    if (!ok) fs_.removeFile(target);
    return ok;
}

std::string DocumentFiles::makeOpenCopy(const std::string& name, const std::string& fileName, std::size_t room,
                                        std::size_t maxLength) {
    // A fresh name that ends with the document's own file name, so that the
    // shell picks the program for its kind, in the data directory as the
    // shell can reach it however deep the working directory lies.
    const std::string dir = fs_.pathForOtherPrograms(kDataDir, room);
    std::string temp = fs_.makeTempFile(dir, kTempPrefix);
    if (temp.empty()) temp = fs_.makeTempFile(kDataDir, kTempPrefix);
    if (temp.empty()) return std::string();
    fs_.removeFile(temp);
    std::string copy = openCopyPath(temp, fileName, maxLength);
    if (copy.empty()) copy = temp + "_" + fileName;
    if (!fs_.copyFile(contentPath(name), copy)) return std::string();
    fs_.markFromInternet(copy);
    return copy;
}

void DocumentFiles::removeTempFiles() {
    const std::string staging = stagingDirectory();
    for (const std::string& dir : {std::string(kDataDir), staging}) {
        std::vector<std::string> names;
        if (!fs_.listFiles(dir, "*.tmp", names)) continue;
        for (const std::string& name : names) fs_.removeFile(joinPath(dir, name));
    }
    fs_.removeDirectory(staging);
}

void DocumentFiles::removeOpenCopies() {
    std::vector<std::string> names;
    if (!fs_.listFiles(kDataDir, "*", names)) return;
    for (const std::string& name : names) {
        if (isOpenCopyName(name)) fs_.removeFile(joinPath(kDataDir, name));
    }
}

}  // namespace hs
