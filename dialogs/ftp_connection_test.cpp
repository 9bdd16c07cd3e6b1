#include "dialogs/ftp_connection_test.h"

#include <vector>

#include "catalogue/store.h"
#include "engine/text_mode.h"

namespace hs {

bool SessionFtpTestSteps::connect(const std::string& server, const std::string& user, const std::string& password) {
    if (server.empty()) return false;
    session_ = std::make_unique<FtpSession>(network_, bounds_);
    const bool anonymous = user.empty();
    return session_->open(server, port_, anonymous ? kAnonymousUser : user,
                          anonymous ? kAnonymousPassword : password);
}

bool SessionFtpTestSteps::changeDirectory(const std::string& path) {
    return session_ && session_->changeDirectory(path);
}

bool SessionFtpTestSteps::getFile(const std::string& fileName) {
    const std::string temp = files_.makeTempFile(kDataDir, "QVR");
    if (temp.empty()) return false;
    bool complete = false;
    if (session_ && !fileName.empty() && session_->startRetrieve(fileName)) {
        ContentWriter out;
        if (out.open(temp, FileMode::Binary)) {
            std::vector<char> buffer(8192);
            complete = true;
            for (;;) {
                const long got = session_->readData(buffer.data(), buffer.size());
                if (got == 0) break;
                if (got < 0 || !out.write(buffer.data(), static_cast<std::size_t>(got))) {
                    complete = false;
                    break;
                }
            }
            complete = out.close() && complete;
        }
    }
    files_.removeFile(temp);
    return complete;
}

}  // namespace hs
