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

// How many characters the dialog reads of a field: a capacity of 512 takes
// at most 511 characters, one of 511 at most 510.
constexpr std::size_t kLongField = kTextFieldSize - 1;
constexpr std::size_t kMarkerField = kTextFieldSize - 2;

std::string readField(const std::string& text, std::size_t characters) {
    return text.size() <= characters ? text : text.substr(0, characters);
}

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

std::string normalizeWebLocation(const std::string& typed) {
    const bool secure = typed.find("s://") != std::string::npos || typed.find("S://") != std::string::npos;
    const std::size_t scheme = typed.find("://");
    const std::string address = scheme == std::string::npos ? typed : typed.substr(scheme + 3);
    return (secure ? "https://" : "http://") + address;
}

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
    if (readField(fields.userName, kLongField).empty()) return kEnterUserNameText;
    if (readField(fields.password, kLongField).empty()) return kEnterPasswordText;
    return {};
}

std::string DocumentPropertiesModel::browserAddress() const {
    const std::string typed = readField(fields.location, kLongField);
    if (typed.empty()) return {};
    Document page = zeroRecord();
    page.type = HtmlPage;
    setField(page.url, normalizeWebLocation(typed));
    page.useAccount = useAccount_ ? 1 : 0;
    setField(page.userName, readField(fields.userName, kLongField));
    setField(page.password, readField(fields.password, kLongField));
    return pageOpenUrl(page);
}

std::string DocumentPropertiesModel::prepareFtpTest(FtpTestTarget& target) const {
    const std::string location = readField(fields.location, kLongField);
    if (location.empty()) return kEnterUrlText;
    const std::optional<FtpLocation> where = splitFtpLocation(location);
    if (!where) return kInvalidFtpAddressText;
    target.server = where->server;
    target.directory = where->directory;
    target.fileName = where->fileName;
    target.user = useAccount_ ? readField(fields.userName, kLongField) : std::string();
    target.password = useAccount_ ? readField(fields.password, kLongField) : std::string();
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

    std::string countString, middleStart, middleEnd;
    if (type == HtmlPage) {
        if (compare_ == CompareChoice::Count) {
            countString = readField(fields.countString, kMarkerField);
            if (countString.empty()) return kEnterCountStringText;
        } else if (compare_ == CompareChoice::Middle) {
            middleStart = readField(fields.middleStart, kMarkerField);
            if (middleStart.empty()) return kEnterMarkerText;
            middleEnd = readField(fields.middleEnd, kMarkerField);
            if (middleEnd.empty()) return kEnterMarkerText;
        }
    }

    std::string userName, password;
    if (useAccount_) {
        userName = readField(fields.userName, kLongField);
        password = readField(fields.password, kLongField);
        const std::string refusal = accountRefusal(userName, password);
        if (!refusal.empty()) return refusal;
    }

    // The location is read whole: a text longer than the record holds is
    // refused, never stored cut.
    std::string location = fields.location;
    if (type == FtpFile || type == LocalFile) {
        if (location.empty()) return kEnterFilePathText;
    } else {
        if (location.empty()) return kEnterUrlText;
        location = normalizeWebLocation(location);
    }
    if (location.size() > kLongField) return kLocationTooLongText;

    const std::string name = readField(fields.name, kLongField);
    if (name.empty()) return kEnterNameText;
    if (nameTaken(used, name, mode_ == PropertiesEdit ? sourceSlot_ : kNoSlot)) return kNameTakenText;
    if (!isValidDocumentName(name, files)) return kInvalidNameText;

    Document record = zeroRecord();
    record.type = type;
    record.useAccount = useAccount_ ? 1 : 0;
    if (useAccount_) {
        setField(record.userName, userName);
        setField(record.password, password);
    }
    record.status = WaitingForRetrieve;
    if (type == HtmlPage && compare_ == CompareChoice::Count) {
        record.countMode = 1;
        setField(record.countString, countString);
    } else if (type == HtmlPage && compare_ == CompareChoice::Middle) {
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
