// The network side of the properties dialog's FTP connection test: one
// bounded FtpSession (the bounds of FTP retrieval) that asks for the file
// with a temporary file of the data directory standing by, and ends as
// soon as the server has accepted the transfer; and FtpTestRun, which runs
// the test on a thread of its own so that the dialog keeps answering.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dialogs/document_properties_model.h"
#include "net/ftp_client.h"
#include "net/net_bounds.h"
#include "platform/file_system.h"
#include "platform/network.h"

namespace hs {

class SessionFtpTestSteps final : public FtpTestSteps {
public:
    SessionFtpTestSteps(Network& network, FileSystem& files, const NetBounds& bounds, int port = kFtpPort)
        : network_(network), files_(files), bounds_(bounds), port_(port) {}

    bool connect(const std::string& server, const std::string& user, const std::string& password) override;
    bool changeDirectory(const std::string& path) override;
    bool getFile(const std::string& fileName) override;
    void close() override { session_.reset(); }

private:
    Network& network_;
    FileSystem& files_;
    NetBounds bounds_;
    int port_;
    std::unique_ptr<FtpSession> session_;
};

// One connection test on a thread of its own, with its own sockets and
// files. The window thread takes the progress texts as they come and may
// abandon the test at any time: its thread then cuts its remaining waits
// short (a connection being made still takes up to its bound), deletes its
// temporary file and ends by itself.
class FtpTestRun {
public:
    // Starts the test of `target`. `notify` runs on the test's thread after
    // each new text and must not block (post a message); it never runs
    // once abandon() has returned. Null when no thread could be started.
    static std::shared_ptr<FtpTestRun> start(const FtpTestTarget& target, const NetBounds& bounds,
                                             std::function<void()> notify, int port = kFtpPort);

    // The texts that came since the last call, in their order; `finished`
    // is true once the test's last text is among them.
    std::vector<std::string> takeProgress(bool& finished);

    void abandon();

private:
    explicit FtpTestRun(std::function<void()> notify) : notify_(std::move(notify)) {}
    void run(const FtpTestTarget& target, const NetBounds& bounds, int port);
    void post(const std::string* text);

    std::function<void()> notify_;
    std::atomic<bool> abandoned_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    bool finished_ = false;
};

}  // namespace hs
