// A document's files in the data directory, and the only code that names
// them: the record file "data\<name>.data", the kept content
// "data\<name>.content", the middle text "data\<name>.middle", the staged
// (temporary) files "data\QVRxxxx.tmp" that a check writes before its
// commit, the copies for opening "data\QVRxxxx.tmp_<file name>", and the
// earlier versions "data\<name>.v<seq>" with their index
// "data\<name>.history" (versions.h).
//
// Every file that belongs to a document by its name is listed once, in
// kDocumentFiles (document_files.cpp), with what an edit does to it; Delete
// and Edit walk that list, so a new kind of file goes with its document by
// adding a line there.
//
// Nothing here takes the document files lock (DocumentCatalogue::
// lockDocumentFiles): the commands and the check's commit hold it around the
// calls that remove, replace or read kept files.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/versions.h"
#include "platform/file_system.h"

namespace hs {

// One entry of a document's history as the history window lists it.
struct VersionInfo {
    uint32_t seq = kCurrentVersion;  // kCurrentVersion: the kept content itself
    int64_t time = 0;                // seconds since 1970 (UTC), 0 when not known
    uint64_t size = 0;
    bool baseline = false;           // the acknowledged content
};

// A staged file and the kept file it replaces at the commit.
struct StagedFile {
    std::string staged;  // a temporary file in the data directory, "" for none
    std::string target;
};

// The path of a copy for opening: "<tempFile>_<component>", at most
// `maxLength` characters. A longer one loses the end of the component's
// stem, never its extension, so the type stays. "" when not even the
// temporary name, the "_" and the extension fit.
std::string openCopyPath(const std::string& tempFile, const std::string& component, std::size_t maxLength);

class DocumentFiles {
public:
    explicit DocumentFiles(FileSystem& fs) : fs_(fs) {}

    // The data directory, relative to the working directory.
    static const char* directory();

    // "data\<name>.data", "data\<name>.content", "data\<name>.middle". A name
    // that fails hasValidNameCharacters (name_rule.h) gives "", which names
    // no file: such a name could reach outside "data".
    static std::string recordPath(const std::string& name);
    static std::string contentPath(const std::string& name);
    static std::string middlePath(const std::string& name);

    // Creates the data directory; an existing one is not an error.
    bool makeDirectory();

    // The record files of the data directory, as paths, in the order the
    // platform lists them; false when the listing cannot start.
    bool listRecordFiles(std::vector<std::string>& paths);

    // A new, empty temporary file in the staging folder of the data
    // directory ("" on failure): where new content, a middle text or a record
    // is written before it replaces the kept file.
    std::string newTempFile();
    static std::string stagingDirectory();

    // Deletes a staged file, if any (failures are passed over), and forgets it.
    void discard(StagedFile& file);

    // How a commit ended.
    enum class Kept {
        Everything,        // the record was written and every staged file moved
        RecordNotWritten,  // nothing was kept
        ContentNotKept,    // the record was written, the kept files stay as they were
    };

    // The commit of a check, with the document files lock held and the
    // document confirmed: writeRecord() first, then the staged content and
    // middle text over the kept ones. A process that dies in between leaves
    // a record that announces the change rather than new kept content behind
    // a record that does not. When the content cannot be moved the middle
    // text is not either. A staged file that was moved is forgotten; the
    // others are left to discard().
    //
    // Kept content that is replaced becomes the newest earlier version: it is
    // renamed to its version name and the staged content takes its place
    // (no copy, no extra room on the disk); when that second step fails the
    // content is renamed back, so it is never lost. A first kept content is
    // acknowledged. A version that cannot be kept (the index cannot be
    // written, the rename fails, it alone is beyond the limits) never fails
    // the commit: the content is replaced as it would be without versions and
    // the history says why.
    Kept keep(const std::function<bool()>& writeRecord, StagedFile& content, StagedFile& middle);

    // Delete: every file of the document, its versions and history
    // included. A file that does not exist or cannot be deleted is passed
    // over.
    void removeAll(const std::string& name);

    // Edit: the files of the document under its old name that the edited
    // record starts without (the record file and the kept content; the
    // middle text stays where it is). The earlier versions and the history
    // move to `newName` (given by the caller, the name of the edited record);
    // without it, or under the same name, they stay. The kept content is
    // gone, so an acknowledged kept content leaves no acknowledged version;
    // the first retrieval under the new name acknowledges its content.
    void removeForEdit(const std::string& oldName, const std::string& newName = std::string());

    // Whether the document has kept content that can be read.
    bool hasKeptContent(const std::string& name);

    // The first `limit` bytes of the kept content (all of a shorter one); a
    // read error ends them as the end of the file does. False when there is
    // no kept content to read.
    bool readKeptContent(const std::string& name, std::size_t limit, std::string& bytes);

    // Save as: copies the whole kept content to `target`, replacing it. False
    // when there is no kept content (`target` untouched) or `target` cannot
    // be written completely (a half-written one is removed).
    bool copyKeptContent(const std::string& name, const std::string& target);

    // Copies the kept content to a fresh name for opening, "<data>\QVRxxxx.
    // tmp_<fileName>" (openCopyPath, at most maxLength characters; <data> as
    // other programs are given it with `room` characters left for the name),
    // marks it as coming from the Internet and returns its path; "" when no
    // copy could be made. A name too long even for openCopyPath is used all
    // the same: the shell refusing it is what the user hears of.
    std::string makeOpenCopy(const std::string& name, const std::string& fileName, std::size_t room,
                             std::size_t maxLength);

    // ------------------------------------------------ earlier versions
    //
    // For the history and the difference windows. Like every call here they
    // are made with the document files lock held; seq kCurrentVersion names
    // the kept content itself.

    static std::string historyPath(const std::string& name);
    static std::string versionPath(const std::string& name, uint32_t seq);

    // The document's history index as it is on disk (an empty History when
    // there is none or it cannot be read). A document without versions yet
    // (a first content, or one kept before versions existed) may have no
    // index; its kept content counts as acknowledged, as only acknowledged
    // or first content is ever checked again.
    History readHistory(const std::string& name);

    // The earlier versions, oldest first, then the kept content (when there
    // is one) as seq kCurrentVersion; each with its time, size and whether it
    // is the acknowledged one.
    std::vector<VersionInfo> listVersions(const std::string& name);

    // Events of the history (versions that could not be kept), oldest first.
    std::vector<HistoryEvent> historyEvents(const std::string& name);

    // The first `limit` bytes of a version (as readKeptContent); false when
    // it is not there.
    bool readVersion(const std::string& name, uint32_t seq, std::size_t limit, std::string& bytes);

    // Save as for a version (as copyKeptContent).
    bool copyVersion(const std::string& name, uint32_t seq, const std::string& target);

    // A copy of a version for opening through the shell (as makeOpenCopy).
    std::string makeVersionOpenCopy(const std::string& name, uint32_t seq, const std::string& fileName,
                                    std::size_t room, std::size_t maxLength);

    // "Set as 'Not changed'": the kept content becomes the acknowledged one.
    // False when the index cannot be written.
    bool acknowledgeCurrent(const std::string& name);

    // Makes a listed version (or kCurrentVersion, the kept content) the
    // acknowledged one; false when there is no such version or the index
    // cannot be written.
    bool setBaseline(const std::string& name, uint32_t seq);

    // The acknowledged version's seq (kCurrentVersion for the kept content);
    // false when there is none.
    bool baselineOf(const std::string& name, uint32_t& seq);

    // Whether "What changed" has something to show: an acknowledged earlier
    // version exists and its bytes differ from the kept content's.
    bool hasDifference(const std::string& name);

    // At exit: every "*.tmp" file of the data directory and of its staging
    // folder, then the folder.
    void removeTempFiles();

    // At start: the copies made for opening ("QVR*.tmp_*"), which the
    // programs that showed them may have used until the last run ended. A
    // copy still open elsewhere stays until the next time.
    void removeOpenCopies();

private:
    bool copyFileTo(const std::string& from, const std::string& target);
    std::string makeOpenCopyOf(const std::string& from, const std::string& fileName, std::size_t room,
                               std::size_t maxLength);
    bool keepContent(StagedFile& content);
    bool writeHistory(const std::string& historyFile, const History& history);
    std::string stageHistory(const History& history);

    FileSystem& fs_;
};

}  // namespace hs
