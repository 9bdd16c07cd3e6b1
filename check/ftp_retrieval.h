// FTP retrieval: a document that is a file on an FTP server, at the
// location "server/directory/file" of the record's url. The server is
// reached on the FTP port, with the record's account when useAccount is 1
// and anonymously otherwise; the directory is entered in one change and the
// file is fetched in binary form in active mode, fresh every time.
//
// The file is fetched whole into a temporary file of our own in "data"
// before anything is compared: a transfer that fails leaves no trace (its
// temporary file is deleted) and never touches the kept content, and only a
// complete file is compared, so a broken transfer is a failure, never a
// change. The Binary rule then keeps the fetched file or deletes it.
#pragma once

#include <memory>

#include "catalogue/record.h"
#include "net/net_bounds.h"
#include "check/retrieval.h"
#include "platform/file_system.h"
#include "platform/network.h"

namespace hs {

// Connects, fetches and hands over the fetched file. Fails without
// connecting when the location cannot be split or names no server or no
// file; fails when the login, the directory change or the transfer fails,
// stalls, runs out of time or passes `limits`.
Fetched fetchFtpFile(const Document& record, FileSystem& files, Network& network,
                     const NetBounds& bounds, ContentLimits limits = {});

// The path for RetrievalPaths::ftpFile: the process's bounds over `network`.
RetrievalPath ftpRetrievalPath(std::shared_ptr<Network> network);

}  // namespace hs
