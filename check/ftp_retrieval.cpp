#include "check/ftp_retrieval.h"

#include <utility>
#include <vector>

#include "catalogue/document_files.h"
#include "net/ftp_client.h"
#include "net/ftp_location.h"
#include "catalogue/text_mode.h"

namespace hs {

namespace {

// Copies the whole transfer into `path`; false when either side failed.
bool receiveInto(ContentSource& source, const std::string& path) {
    ContentWriter out;
    if (!out.open(path, FileMode::Binary)) return false;
    std::vector<char> buffer(8192);
    for (;;) {
        const long got = source.read(buffer.data(), buffer.size());
        if (got < 0) return false;
        if (got == 0) return out.close();
        if (!out.write(buffer.data(), static_cast<std::size_t>(got))) return false;
    }
}

}  // namespace

Fetched fetchFtpFile(const Document& record, FileSystem& files, Network& network,
                     const NetBounds& bounds, ContentLimits limits) {
    const std::optional<FtpLocation> where = splitFtpLocation(fieldText(record.url));
    if (!where || where->server.empty() || where->fileName.empty()) return Fetched::failed();

    const bool account = record.useAccount == 1;
    auto session = std::make_unique<FtpSession>(network, bounds);
    if (!session->open(where->server, kFtpPort, account ? fieldText(record.userName) : kAnonymousUser,
                       account ? fieldText(record.password) : kAnonymousPassword)) {
        return Fetched::failed();
    }
    if (!where->directory.empty() && !session->changeDirectory(where->directory)) return Fetched::failed();
    if (!session->startRetrieve(where->fileName)) return Fetched::failed();

    const std::string fetched = DocumentFiles(files).newTempFile();
    if (fetched.empty()) return Fetched::failed();
    bool complete;
    {
        LimitedSource transfer(std::make_unique<FtpFileSource>(std::move(session)), files,
                               DocumentFiles::directory(), limits);
        complete = receiveInto(transfer, fetched);
    }  // the session ends here, before the comparison
    if (!complete) {
        files.removeFile(fetched);
        return Fetched::failed();
    }
    return Fetched::file(fetched);
}

RetrievalPath ftpRetrievalPath(std::shared_ptr<Network> network) {
    return [network = std::move(network)](const Document& record, RetrievalContext& ctx) {
        return fetchFtpFile(record, ctx.files, *network, netBounds());
    };
}

}  // namespace hs
