#include "catalogue/document_files.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>
#include <ctime>

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
    Move,    // follows the document to its new name (removeForEdit)
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
    {".history", OnEdit::Move},  // after the versions it lists (removeAll)
};

const char* const kContentEnding = ".content";
const char* const kHistoryEnding = ".history";

std::string documentFilePath(const std::string& name, const char* ending) {
    if (!hasValidNameCharacters(name)) return std::string();
    return joinPath(kDataDir, name + ending);
}

// "<base>.v<seq>" for the base path "data\<name>".
std::string versionFile(const std::string& base, uint32_t seq) { return base + ".v" + std::to_string(seq); }

// The bytes of a file, 0 when it cannot be opened.
uint64_t fileSize(const std::string& path) {
    StdioFile f(openForReading(path));
    if (!f.get()) return 0;
#ifdef _WIN32
    if (_fseeki64(f.get(), 0, SEEK_END) != 0) return 0;
    const long long size = _ftelli64(f.get());
#else
    if (fseeko(f.get(), 0, SEEK_END) != 0) return 0;
    const long long size = ftello(f.get());
#endif
    return size > 0 ? static_cast<uint64_t>(size) : 0;
}

// When a file was last written (seconds since 1970), 0 when not known. A
// rename keeps it, so for a kept content it is when it was kept.
int64_t modifiedTime(const std::string& path) {
#ifdef _WIN32
    struct _stat64 st;
    if (_stat64(path.c_str(), &st) != 0) return 0;
#else
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return 0;
#endif
    return static_cast<int64_t>(st.st_mtime);
}

bool readSmallFile(const std::string& path, std::string& text) {
    StdioFile f(openForReading(path));
    if (!f.get()) return false;
    text.clear();
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) text.append(buffer, got);
    return std::ferror(f.get()) == 0;
}

// Whether two files hold the same bytes; false when either cannot be read.
bool sameBytes(const std::string& a, const std::string& b) {
    StdioFile fa(openForReading(a));
    StdioFile fb(openForReading(b));
    if (!fa.get() || !fb.get()) return false;
    char x[16384];
    char y[sizeof x];
    for (;;) {
        const std::size_t n = std::fread(x, 1, sizeof x, fa.get());
        const std::size_t m = std::fread(y, 1, sizeof y, fb.get());
        if (n != m || std::memcmp(x, y, n) != 0) return false;
        if (n < sizeof x) return std::ferror(fa.get()) == 0 && std::ferror(fb.get()) == 0;
    }
}

int64_t now() { return static_cast<int64_t>(std::time(nullptr)); }

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
        if (!keepContent(content)) return Kept::ContentNotKept;
        content.staged.clear();
    }
    // A middle text that cannot be moved leaves the old one.
    if (!middle.staged.empty() && fs_.replaceFile(middle.staged, middle.target)) middle.staged.clear();
    return Kept::Everything;
}

bool DocumentFiles::keepContent(StagedFile& content) {
    const std::string& target = content.target;
    const std::size_t endingSize = std::strlen(kContentEnding);
    if (target.size() <= endingSize || target.compare(target.size() - endingSize, endingSize, kContentEnding) != 0) {
        return fs_.replaceFile(content.staged, target);  // not a document's content: no versions
    }
    const std::string base = target.substr(0, target.size() - endingSize);
    const std::string historyFile = base + kHistoryEnding;
    std::string text;
    const bool indexed = readSmallFile(historyFile, text);
    History history = parseHistory(text);
    const int64_t time = now();
    // A commit cut short between its renames left the replaced content
    // under the next version's name, unlisted: it is taken back.
    const std::string interrupted = versionFile(base, history.nextSeq);
    const bool wasInterrupted = fs_.exists(interrupted);
    if (wasInterrupted && !fs_.exists(target)) fs_.replaceFile(interrupted, target);
    // No index: a first content, or one kept before versions existed.
    if (!indexed && fs_.exists(target)) history.baseline = History::Baseline::Current;
    if (wasInterrupted && fs_.exists(interrupted)) addReplacedVersion(history, fileSize(interrupted), time);

    if (!fs_.exists(target)) {
        // A first kept content: acknowledged. Without an index that goes
        // without saying, and the index is left until there is a version:
        // under Wine every new name in "data" costs a read of all its names.
        if (!fs_.replaceFile(content.staged, target)) return false;
        history.baseline = History::Baseline::Current;
        history.currentTime = time;
        if (indexed) writeHistory(historyFile, history);
        return true;
    }

    if (history.currentTime == 0) history.currentTime = modifiedTime(target);
    History next = history;
    const uint32_t seq = addReplacedVersion(next, fileSize(target), time);
    const std::vector<uint32_t> dropped = pruneVersions(next);
    const std::string version = versionFile(base, seq);
    std::string why;
    std::string stagedIndex;
    bool versionKept = false;
    if (!next.find(seq)) {
        why = "version not kept: larger than the room kept for versions";
    } else if ((stagedIndex = stageHistory(next)).empty()) {
        why = "version not kept: the history could not be written (is the disk full?)";
    } else if (!fs_.replaceFile(target, version)) {
        why = "version not kept: the kept content could not be renamed";
        fs_.removeFile(stagedIndex);
    } else {
        versionKept = true;
    }

    if (!fs_.replaceFile(content.staged, target)) {
        if (versionKept) {
            // The kept content stays what it was; should it not go back, it
            // stays listed as the version it became.
            if (fs_.replaceFile(version, target) || !fs_.replaceFile(stagedIndex, historyFile)) {
                fs_.removeFile(stagedIndex);
            }
        }
        return false;
    }
    if (versionKept && fs_.replaceFile(stagedIndex, historyFile)) {
        for (uint32_t gone : dropped) fs_.removeFile(versionFile(base, gone));
        return true;
    }
    if (versionKept) {
        // Unlisted, the version would never be found again.
        fs_.removeFile(stagedIndex);
        fs_.removeFile(version);
        why = "version not kept: the history could not be written (is the disk full?)";
    }
    // The replaced content is gone; so is its acknowledgement.
    if (history.baseline == History::Baseline::Current) history.baseline = History::Baseline::None;
    history.nextSeq = next.nextSeq;
    history.currentTime = time;
    history.addEvent(time, why);
    writeHistory(historyFile, history);
    return true;
}

std::string DocumentFiles::stageHistory(const History& history) {
    const std::string temp = newTempFile();
    if (temp.empty()) return temp;
    const std::string text = formatHistory(history);
    bool ok = false;
    {
        StdioFile out(openForWriting(temp));
        ok = out.get() && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
        if (!out.close()) ok = false;
    }
    if (ok) return temp;
    fs_.removeFile(temp);
    return std::string();
}

bool DocumentFiles::writeHistory(const std::string& historyFile, const History& history) {
    if (historyFile.empty()) return false;
    const std::string staged = stageHistory(history);
    if (staged.empty()) return false;
    if (fs_.replaceFile(staged, historyFile)) return true;
    fs_.removeFile(staged);
    return false;
}

void DocumentFiles::removeAll(const std::string& name) {
    if (!historyPath(name).empty()) {
        const History history = readHistory(name);
        for (const VersionEntry& v : history.versions) fs_.removeFile(versionPath(name, v.seq));
        // One a commit renamed just before the process ended, unlisted.
        fs_.removeFile(versionPath(name, history.nextSeq));
    }
    for (const DocumentFileKind& kind : kDocumentFiles) {
        const std::string path = documentFilePath(name, kind.ending);
        if (!path.empty()) fs_.removeFile(path);
    }
}

void DocumentFiles::removeForEdit(const std::string& oldName, const std::string& newName) {
    for (const DocumentFileKind& kind : kDocumentFiles) {
        if (kind.onEdit != OnEdit::Remove) continue;
        const std::string path = documentFilePath(oldName, kind.ending);
        if (!path.empty()) fs_.removeFile(path);
    }
    const std::string from = historyPath(oldName);
    const std::string to = historyPath(newName);
    if (from.empty() || to.empty() || from == to) return;
    std::string text;
    if (!readSmallFile(from, text)) return;
    History history = parseHistory(text);
    std::vector<VersionEntry> moved;
    for (const VersionEntry& v : history.versions) {
        if (fs_.replaceFile(versionPath(oldName, v.seq), versionPath(newName, v.seq))) moved.push_back(v);
    }
    history.versions = moved;
    if (history.baseline == History::Baseline::Version && !history.find(history.baselineSeq)) {
        history.baseline = History::Baseline::None;
    }
    if (history.baseline == History::Baseline::Current) history.baseline = History::Baseline::None;
    history.currentTime = 0;
    if (writeHistory(to, history)) fs_.removeFile(from);
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
    return copyFileTo(contentPath(name), target);
}

bool DocumentFiles::copyFileTo(const std::string& from, const std::string& target) {
    StdioFile in(openForReading(from));
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
    return makeOpenCopyOf(contentPath(name), fileName, room, maxLength);
}

std::string DocumentFiles::makeOpenCopyOf(const std::string& from, const std::string& fileName, std::size_t room,
                                          std::size_t maxLength) {
    if (from.empty()) return std::string();
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
    if (!fs_.copyFile(from, copy)) return std::string();
    fs_.markFromInternet(copy);
    return copy;
}

std::string DocumentFiles::historyPath(const std::string& name) { return documentFilePath(name, kHistoryEnding); }

std::string DocumentFiles::versionPath(const std::string& name, uint32_t seq) {
    if (seq == kCurrentVersion) return contentPath(name);
    const std::string base = documentFilePath(name, "");
    return base.empty() ? base : versionFile(base, seq);
}

History DocumentFiles::readHistory(const std::string& name) {
    std::string text;
    const bool indexed = readSmallFile(historyPath(name), text);
    History history = parseHistory(text);
    if (!indexed && hasKeptContent(name)) history.baseline = History::Baseline::Current;
    return history;
}

std::vector<VersionInfo> DocumentFiles::listVersions(const std::string& name) {
    const History history = readHistory(name);
    std::vector<VersionInfo> list;
    for (const VersionEntry& v : history.versions) {
        list.push_back(VersionInfo{v.seq, v.time, v.size, history.isBaseline(v.seq)});
    }
    if (hasKeptContent(name)) {
        const int64_t time = history.currentTime != 0 ? history.currentTime : modifiedTime(contentPath(name));
        list.push_back(VersionInfo{kCurrentVersion, time, fileSize(contentPath(name)),
                                   history.baseline == History::Baseline::Current});
    }
    return list;
}

std::vector<HistoryEvent> DocumentFiles::historyEvents(const std::string& name) { return readHistory(name).events; }

bool DocumentFiles::readVersion(const std::string& name, uint32_t seq, std::size_t limit, std::string& bytes) {
    StdioFile kept(openForReading(versionPath(name, seq)));
    if (!kept.get()) return false;
    bytes.assign(limit, '\0');
    bytes.resize(std::fread(&bytes[0], 1, limit, kept.get()));
    return true;
}

bool DocumentFiles::copyVersion(const std::string& name, uint32_t seq, const std::string& target) {
    return copyFileTo(versionPath(name, seq), target);
}

std::string DocumentFiles::makeVersionOpenCopy(const std::string& name, uint32_t seq, const std::string& fileName,
                                               std::size_t room, std::size_t maxLength) {
    return makeOpenCopyOf(versionPath(name, seq), fileName, room, maxLength);
}

bool DocumentFiles::acknowledgeCurrent(const std::string& name) { return setBaseline(name, kCurrentVersion); }

bool DocumentFiles::setBaseline(const std::string& name, uint32_t seq) {
    std::string text;
    const bool indexed = readSmallFile(historyPath(name), text);
    History history = parseHistory(text);
    if (seq == kCurrentVersion) {
        if (!hasKeptContent(name)) return false;
        if (!indexed) return true;  // goes without saying (readHistory)
        history.baseline = History::Baseline::Current;
    } else {
        if (!history.find(seq)) return false;
        history.baseline = History::Baseline::Version;
        history.baselineSeq = seq;
    }
    return writeHistory(historyPath(name), history);
}

bool DocumentFiles::baselineOf(const std::string& name, uint32_t& seq) {
    const History history = readHistory(name);
    switch (history.baseline) {
        case History::Baseline::None: return false;
        case History::Baseline::Current: seq = kCurrentVersion; return true;
        case History::Baseline::Version: seq = history.baselineSeq; return true;
    }
    return false;
}

bool DocumentFiles::hasDifference(const std::string& name) {
    uint32_t seq = kCurrentVersion;
    if (!baselineOf(name, seq) || seq == kCurrentVersion) return false;
    const std::string baseline = versionPath(name, seq);
    const std::string current = contentPath(name);
    if (!fs_.exists(baseline) || !hasKeptContent(name)) return false;
    return fileSize(baseline) != fileSize(current) || !sameBytes(baseline, current);
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
