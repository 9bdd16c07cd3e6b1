#include "dialogs/document_properties_model.h"

#include <optional>

#include "catalogue/name_rule.h"
#include "net/ftp_location.h"
#include "open/open_document.h"

namespace hs {

const char* const kEnterCountStringText = "Please enter the string for count.";
const char* const kEnterMarkerText = "Please enter the string.";
const char* const kEnterUserNameText = "Please enter the username.";
const char* const kEnterPasswordText = "Please enter the password.";
const char* const kEnterFilePathText = "Please enter the file path.";
const char* const kEnterUrlText = "Please enter the URL or server address of the document.";
const char* const kEnterNameText = "Please enter the document name.";
const char* const kNameTakenText = "Same document name already exist. Please use another name.";
const char* const kInvalidNameText =
    "Invalid document name. Please do not use the following characters:\n\n\\ / : * ? \" < > |";
const char* const kInvalidFtpAddressText = "Invalid FTP address. Please check again.";
const char* const kUserNameTooLongText = "The username is too long. It can have at most 127 characters.";
const char* const kPasswordTooLongText = "The password is too long. It can have at most 127 characters.";
const char* const kLocationTooLongText =
    "The location is too long. It can have at most 511 characters (including the \"http://\" or "
    "\"https://\" added to a web address).";

namespace {

const char* const kOpenCaption = "&Open to check..";
const char* const kConnectOnOpenCaption = "&Connect to Check..";
const char* const kConnectCaption = "&Connect to check..";
const char* const kBrowseCaption = "&Browse..";

const char* const kConnecting = "Connecting to the server...";
const char* const kConnected = "Connecting to the server...SUCCESS";
const char* const kChanging = "Connecting to the server...SUCCESS\nChanging directory...";
const char* const kChanged = "Connecting to the server...SUCCESS\nChanging directory...SUCCESS";
const char* const kGetting = "Connecting to the server...SUCCESS\nChanging directory...SUCCESS\nGetting file...";

char foldLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool sameDocumentName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldLetter(a[i]) != foldLetter(b[i])) return false;
    }
    return true;
}

std::vector<NamedSlot> namedSlots(const DocumentCatalogue& catalogue) {
    std::vector<NamedSlot> used;
    const std::size_t slots = catalogue.slotCount();
    for (std::size_t slot = 0; slot < slots; ++slot) {
        std::string name = catalogue.name(slot);
        if (!name.empty()) used.push_back({slot, std::move(name)});
    }
    return used;
}

bool nameTaken(const std::vector<NamedSlot>& used, const std::string& name, std::size_t except) {
    for (const NamedSlot& other : used) {
        if (other.slot != except && sameDocumentName(other.name, name)) return true;
    }
    return false;
}

std::string readField(const std::string& text, std::size_t characters) {
    return text.size() <= characters ? text : text.substr(0, characters);
}

std::string nameRefusal(const std::string& name, const std::vector<NamedSlot>& used, std::size_t except,
                        FileSystem& files, bool ruleFirst) {
    if (name.empty()) return kEnterNameText;
    if (ruleFirst && !isValidDocumentName(name, files)) return kInvalidNameText;
    if (nameTaken(used, name, except)) return kNameTakenText;
    if (!isValidDocumentName(name, files)) return kInvalidNameText;
    return {};
}

std::string compareRefusal(CompareChoice choice, const std::string& count, const std::string& start,
                           const std::string& end) {
    if (choice == CompareChoice::Count && count.empty()) return kEnterCountStringText;
    if (choice == CompareChoice::Middle && (start.empty() || end.empty())) return kEnterMarkerText;
    return {};
}

std::string storedLocation(int32_t type, const std::string& typed, std::string& stored) {
    stored = type == HtmlPage || type == WebFile ? normalizeWebLocation(typed) : typed;
    return stored.size() > kLongField ? kLocationTooLongText : std::string();
}

std::string accountRefusal(const std::string& userName, const std::string& password) {
    if (userName.empty()) return kEnterUserNameText;
    if (password.empty()) return kEnterPasswordText;
    // The record file keeps at most 127 characters of either.
    if (userName.size() > kMaxAccountLength) return kUserNameTooLongText;
    if (password.size() > kMaxAccountLength) return kPasswordTooLongText;
    return {};
}

DocumentPropertiesModel::DocumentPropertiesModel() { showTypeTexts(HtmlPage, false); }

DocumentPropertiesModel::DocumentPropertiesModel(PropertiesMode mode, const Document& source,
                                                 std::size_t sourceSlot)
    : mode_(mode), sourceSlot_(sourceSlot) {
    fields.name = fieldText(source.name);
    fields.location = fieldText(source.url);
    // A type outside the four opens as a local file, the one the dialog
    // offers the fewest settings for.
    type_ = source.type >= HtmlPage && source.type <= LocalFile ? source.type : LocalFile;
    if (type_ == HtmlPage) {
        if (source.middleMode == 1) {
            compare_ = CompareChoice::Middle;
            fields.middleStart = fieldText(source.middleStart);
            fields.middleEnd = fieldText(source.middleEnd);
        } else if (source.countMode == 1) {
            compare_ = CompareChoice::Count;
            fields.countString = fieldText(source.countString);
        }
    }
    showTypeTexts(type_, true);
    useAccount_ = source.useAccount == 1;
    if (useAccount_) {
        fields.userName = fieldText(source.userName);
        fields.password = fieldText(source.password);
    }
}

const char* DocumentPropertiesModel::title() const {
    switch (mode_) {
        case PropertiesEdit: return "Edit document";
        case PropertiesDuplicate: return "Duplicate document";
        default: return "Add document";
    }
}

const char* DocumentPropertiesModel::locationCaption() const {
    switch (type_) {
        case FtpFile: return "FTP server/directory/filename";
        case LocalFile: return "PATH";
        default: return "URL";
    }
}

void DocumentPropertiesModel::showTypeTexts(int32_t type, bool openedOnRecord) {
    switch (type) {
        case WebFile:
            actionCaption_ = kOpenCaption;
            hint_ = "Example: (Halvorsight's program file)\n\nhttp://www.example.com/download/setup.exe";
            break;
        case FtpFile:
            actionCaption_ = openedOnRecord ? kConnectOnOpenCaption : kConnectCaption;
            hint_ = "Example: (Project-related file in FTP server)\n\nftp.example.org/pub/project.zip";
            break;
        case LocalFile:
            actionCaption_ = kBrowseCaption;
            hint_ = "Example: (System log file of your PC)\n\nC:\\Logfiles\\System.log";
            break;
        default:
            actionCaption_ = kOpenCaption;
            hint_ = "Example: (Tollenby Lab's news page)\n\nhttp://www.example.com/news/index.html";
            break;
    }
}

void DocumentPropertiesModel::selectType(int32_t type) {
    if (type < HtmlPage || type > LocalFile) return;
    type_ = type;
    showTypeTexts(type, false);
}

LocationAction DocumentPropertiesModel::locationAction() const {
    switch (type_) {
        case FtpFile: return LocationAction::TestFtp;
        case LocalFile: return LocationAction::ChooseFile;
        default: return LocationAction::OpenInBrowser;
    }
}

std::string DocumentPropertiesModel::checkActionAccount() const {
    if (!useAccount_) return {};
    if (readField(fields.userName).empty()) return kEnterUserNameText;
    if (readField(fields.password).empty()) return kEnterPasswordText;
    return {};
}

std::string DocumentPropertiesModel::browserAddress() const {
    const std::string typed = readField(fields.location);
    if (typed.empty()) return {};
    Document page = zeroRecord();
    page.type = HtmlPage;
    setField(page.url, normalizeWebLocation(typed));
    page.useAccount = useAccount_ ? 1 : 0;
    setField(page.userName, readField(fields.userName));
    setField(page.password, readField(fields.password));
    return pageOpenUrl(page);
}

std::string DocumentPropertiesModel::prepareFtpTest(FtpTestTarget& target) const {
    const std::string location = readField(fields.location);
    if (location.empty()) return kEnterUrlText;
    const std::optional<FtpLocation> where = splitFtpLocation(location);
    if (!where) return kInvalidFtpAddressText;
    target.server = where->server;
    target.directory = where->directory;
    target.fileName = where->fileName;
    target.user = useAccount_ ? readField(fields.userName) : std::string();
    target.password = useAccount_ ? readField(fields.password) : std::string();
    return {};
}

void runFtpTestSteps(const FtpTestTarget& target, FtpTestSteps& steps,
                     const std::function<void(const std::string&)>& show) {
    show(kConnecting);
    if (!steps.connect(target.server, target.user, target.password)) {
        show(std::string(kConnecting) + "FAILED");
        steps.close();
        return;
    }
    show(kConnected);
    if (!target.directory.empty()) {
        show(kChanging);
        if (!steps.changeDirectory(target.directory)) {
            show(std::string(kChanging) + "FAILED");
            steps.close();
            return;
        }
        show(kChanged);
    }
    show(kGetting);
    const bool got = steps.getFile(target.fileName);
    show(std::string(kGetting) + (got ? "SUCCESS" : "FAILED"));
    steps.close();
}

std::string DocumentPropertiesModel::accept(const std::vector<NamedSlot>& used, FileSystem& files,
                                            Document& pending) const {
    const int32_t type = type_;

    const CompareChoice compare = type == HtmlPage ? compare_ : CompareChoice::Binary;
    const std::string countString = readField(fields.countString, kMarkerField);
    const std::string middleStart = readField(fields.middleStart, kMarkerField);
    const std::string middleEnd = readField(fields.middleEnd, kMarkerField);
    const std::string compareRefused = compareRefusal(compare, countString, middleStart, middleEnd);
    if (!compareRefused.empty()) return compareRefused;

    std::string userName, password;
    if (useAccount_) {
        userName = readField(fields.userName);
        password = readField(fields.password);
        const std::string refusal = accountRefusal(userName, password);
        if (!refusal.empty()) return refusal;
    }

    // The location is read whole: a text longer than the record holds is
    // refused, never stored cut.
    if (fields.location.empty()) return type == FtpFile || type == LocalFile ? kEnterFilePathText : kEnterUrlText;
    std::string location;
    const std::string locationRefused = storedLocation(type, fields.location, location);
    if (!locationRefused.empty()) return locationRefused;

    const std::string name = readField(fields.name);
    const std::string nameRefused =
        nameRefusal(name, used, mode_ == PropertiesEdit ? sourceSlot_ : kNoSlot, files, false);
    if (!nameRefused.empty()) return nameRefused;

    Document record = zeroRecord();
    record.type = type;
    record.useAccount = useAccount_ ? 1 : 0;
    if (useAccount_) {
        setField(record.userName, userName);
        setField(record.password, password);
    }
    record.status = WaitingForRetrieve;
    if (compare == CompareChoice::Count) {
        record.countMode = 1;
        setField(record.countString, countString);
    } else if (compare == CompareChoice::Middle) {
        record.middleMode = 1;
        setField(record.middleStart, middleStart);
        setField(record.middleEnd, middleEnd);
    }
    setField(record.url, location);
    setField(record.name, name);
    pending = record;
    return {};
}

}  // namespace hs
