// The rules of the document properties dialog, free of any window code: the
// title and the opening state per mode, what the type, comparison and account
// controls enable, the texts shown per type, the location button's actions
// (the FTP connection test runs here over an interface the platform fills
// in), and the checks of OK with the record they produce; the checks are
// shared with the add wizard.
//
// The Win32 dialog copies the texts of its edit fields into `fields` before
// OK and before the location button, and shows the model's state after every
// reaction.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/record.h"
#include "open/open_document.h"  // normalizeWebLocation
#include "platform/file_system.h"

namespace hs {

// Who opened the dialog; decides the title, whether the fields start filled,
// and how the duplicate-name test treats the source record.
enum PropertiesMode : int32_t {
    PropertiesAdd = 0,
    PropertiesEdit = 1,
    PropertiesDuplicate = 2,
};

// The comparison buttons.
enum class CompareChoice { Binary, Count, Middle };

// What the location button does for the selected type.
enum class LocationAction {
    OpenInBrowser,  // HTML/CGI page, web file
    TestFtp,        // FTP file: the connection test
    ChooseFile,     // local file: the open-file chooser
};

// The messages of the dialog (information icon, OK button).
extern const char* const kEnterCountStringText;
extern const char* const kEnterMarkerText;
extern const char* const kEnterUserNameText;
extern const char* const kEnterPasswordText;
extern const char* const kEnterFilePathText;
extern const char* const kEnterUrlText;
extern const char* const kEnterNameText;
extern const char* const kNameTakenText;
extern const char* const kInvalidNameText;        // with the line of forbidden characters
extern const char* const kInvalidFtpAddressText;
// The record has room for 127 characters of an account and 511 of a
// location; longer entries are refused rather than cut.
extern const char* const kUserNameTooLongText;
extern const char* const kPasswordTooLongText;
extern const char* const kLocationTooLongText;

// Equal names when the letters A to Z are compared without their case (no
// other character is folded).
bool sameDocumentName(const std::string& a, const std::string& b);

// A used slot of the catalogue and its name, for the duplicate-name test.
struct NamedSlot {
    std::size_t slot;
    std::string name;
};

// The used slots of `catalogue` with their names.
std::vector<NamedSlot> namedSlots(const DocumentCatalogue& catalogue);

// No slot: with nameTaken, every used slot is tested.
constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);

// True when a slot of `used` other than `except` has the name `name`
// (sameDocumentName). Pass kNoSlot to test them all.
bool nameTaken(const std::vector<NamedSlot>& used, const std::string& name, std::size_t except);

// The checks both the properties dialog and the add wizard make of what
// the user typed. Each is empty when it passes, else the message.

// How many characters the dialogs read of an edit field: a capacity of 512
// takes at most 511 characters, one of 511 at most 510.
constexpr std::size_t kLongField = kTextFieldSize - 1;
constexpr std::size_t kMarkerField = kTextFieldSize - 2;

// A field's text as read with room for `characters` characters.
std::string readField(const std::string& text, std::size_t characters = kLongField);

// A name: there at all, then not the name of a slot of `used` other than
// `except`, and valid as a file name by the name rule; with `ruleFirst`
// (the wizard) the rule comes before the duplicate test.
std::string nameRefusal(const std::string& name, const std::vector<NamedSlot>& used, std::size_t except,
                        FileSystem& files, bool ruleFirst);

// An account in use, in this order: user name, password, then each one's
// length.
std::string accountRefusal(const std::string& userName, const std::string& password);

// The strings the comparison `choice` needs: the count string, or both
// markers.
std::string compareRefusal(CompareChoice choice, const std::string& count, const std::string& start,
                           const std::string& end);

// The location the record stores for a typed one of `type`: a page's or a
// web file's normalized (normalizeWebLocation), any other as typed. A
// location the record cannot hold whole is refused rather than cut.
std::string storedLocation(int32_t type, const std::string& typed, std::string& stored);

// The edit fields' texts, as the user typed them.
struct PropertiesFields {
    std::string name;
    std::string location;
    std::string countString;
    std::string middleStart;
    std::string middleEnd;
    std::string userName;
    std::string password;
};

// What the FTP connection test reaches for, taken from the fields when it
// starts (the account only when "Use username and password" is checked).
struct FtpTestTarget {
    std::string server;
    std::string directory;  // "" for none
    std::string fileName;
    std::string user;       // "" for an anonymous login
    std::string password;
};

// The network side of the FTP connection test. Each step is bounded by the
// implementation; the steps run in this order on one connection.
class FtpTestSteps {
public:
    virtual ~FtpTestSteps() = default;
    // Connects to `server` on the FTP port and logs in (anonymously when
    // `user` is empty).
    virtual bool connect(const std::string& server, const std::string& user, const std::string& password) = 0;
    // One change to the whole directory path.
    virtual bool changeDirectory(const std::string& path) = 0;
    // Asks for `fileName` of the current directory, with a fresh temporary
    // file of the data directory standing by for it (deleted again
    // afterwards); true once the server has accepted the transfer.
    virtual bool getFile(const std::string& fileName) = 0;
    // Ends the connection (also after a failed step).
    virtual void close() = 0;
};

// The steps of the connection test of `target`, with the hint area's texts
// through `show` in their order (the last one is the outcome). Touches no
// window: it may run on any thread.
void runFtpTestSteps(const FtpTestTarget& target, FtpTestSteps& steps,
                     const std::function<void(const std::string&)>& show);

class DocumentPropertiesModel {
public:
    // Add: empty fields, HTML/CGI page and Binary.
    DocumentPropertiesModel();
    // Edit or Duplicate of `source`, the record of slot `sourceSlot`.
    DocumentPropertiesModel(PropertiesMode mode, const Document& source, std::size_t sourceSlot);

    PropertiesMode mode() const { return mode_; }
    const char* title() const;

    // The selections.
    int32_t type() const { return type_; }
    CompareChoice compare() const { return compare_; }
    bool useAccount() const { return useAccount_; }

    // Enabled states.
    bool compareButtonsEnabled() const { return type_ == HtmlPage; }
    bool countFieldEnabled() const { return type_ == HtmlPage && compare_ == CompareChoice::Count; }
    bool markerFieldsEnabled() const { return type_ == HtmlPage && compare_ == CompareChoice::Middle; }
    bool useAccountEnabled() const { return type_ != LocalFile; }
    // Follows the check box only: a disabled box keeps its fields as they are.
    bool accountFieldsEnabled() const { return useAccount_; }

    // The texts of the type.
    const char* locationCaption() const;
    const std::string& actionCaption() const { return actionCaption_; }
    const std::string& hint() const { return hint_; }

    // The reactions to the buttons. Field texts never change with them.
    void selectType(int32_t type);
    void selectCompare(CompareChoice choice) { compare_ = choice; }
    void setUseAccount(bool on) { useAccount_ = on; }

    PropertiesFields fields;

    LocationAction locationAction() const;

    // The checks the location button makes before it acts: the account
    // fields when "Use username and password" is checked. Empty when they
    // pass, else the message to show.
    std::string checkActionAccount() const;

    // The address the browser opens for a page or web file: the normalized
    // location, with the account in it when the box is checked. Empty when
    // the location is empty.
    std::string browserAddress() const;

    // The checks before the FTP connection test, after checkActionAccount:
    // the location must be there and split. Empty with `target` filled when
    // they pass, else the message to show.
    std::string prepareFtpTest(FtpTestTarget& target) const;
    // A progress text of the test becomes the hint.
    void showFtpProgress(const std::string& text) { hint_ = text; }

    // OK: the checks in their order. On success `pending` is overwritten
    // with the new record and the result is empty; on failure `pending` is
    // untouched and the result is the message. `used` are the catalogue's
    // used slots; `files` answers whether the name can be a file.
    std::string accept(const std::vector<NamedSlot>& used, FileSystem& files, Document& pending) const;

private:
    void showTypeTexts(int32_t type, bool openedOnRecord);

    PropertiesMode mode_ = PropertiesAdd;
    std::size_t sourceSlot_ = 0;
    int32_t type_ = HtmlPage;
    CompareChoice compare_ = CompareChoice::Binary;
    bool useAccount_ = false;
    std::string actionCaption_;
    std::string hint_;
};

}  // namespace hs
