// The network side of the properties dialog's FTP connection test: one
// bounded FtpSession (the bounds of FTP retrieval), the file fetched into a
// temporary file of the data directory that is removed again at once.
#pragma once

#include <memory>
#include <string>

#include "dialogs/document_properties_model.h"
#include "engine/ftp_client.h"
#include "engine/net_bounds.h"
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

}  // namespace hs
