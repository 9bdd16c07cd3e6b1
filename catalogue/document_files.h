// A document's files in the data directory, and the only code that names
// them: the record file "data\<name>.data", the kept content
// "data\<name>.content", the middle text "data\<name>.middle", the staged
// (temporary) files "data\QVRxxxx.tmp" that a check writes before its
// commit, and the copies for opening "data\QVRxxxx.tmp_<file name>".
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

#include "platform/file_system.h"

namespace hs {

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
    Kept keep(const std::function<bool()>& writeRecord, StagedFile& content, StagedFile& middle);

    // Delete: every file of the document. A file that does not exist or
    // cannot be deleted is passed over.
    void removeAll(const std::string& name);

    // Edit: the files of the document under its old name that the edited
    // record starts without (the record file and the kept content; the
    // middle text stays where it is).
    void removeForEdit(const std::string& oldName);

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

    // At exit: every "*.tmp" file of the data directory and of its staging
    // folder, then the folder.
    void removeTempFiles();

    // At start: the copies made for opening ("QVR*.tmp_*"), which the
    // programs that showed them may have used until the last run ended. A
    // copy still open elsewhere stays until the next time.
    void removeOpenCopies();

private:
    FileSystem& fs_;
};

}  // namespace hs
