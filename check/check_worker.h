// The check worker: a background thread that walks the catalogue once and
// retrieves every record waiting for retrieval, in slot order.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>

#include "catalogue/catalogue.h"
#include "check/check_host.h"
#include "check/retrieval.h"
#include "platform/file_system.h"
#include "platform/network.h"

namespace hs {

// One pass over the catalogue on the calling thread: every slot in slot
// order, including slots appended while the pass runs. Returns the number of
// retrievals made. (The program's checks run on the check engine,
// check_engine.h, which hands the slots to checkDocument side by side.)
std::size_t runCheckPass(DocumentCatalogue& catalogue, CheckHost& host, FileSystem& files,
                         const RetrievalPaths& paths);

// One slot: if it is waiting for retrieval and no other worker holds it,
// claims it (Retrieving), fetches it by its type, decides by its comparison
// rule, commits the outcome and the last-check time (then notifies the host
// of a change), and retrieves it again while it was marked again meanwhile.
// Returns the number of retrievals made (0 when not waiting). Once `cancel`
// is cancelled, the outcome of the retrieval that was running is dropped and
// the record stays Retrieving.
std::size_t checkDocument(DocumentCatalogue& catalogue, std::size_t slot, CheckHost& host,
                          FileSystem& files, const RetrievalPaths& paths,
                          const CancelToken* cancel = nullptr);

// The last-check text of a local time: "%02d/%02d/%02d [%02d:%02d:%02d]" from
// the year (all its digits), month, day, hour, minute and second, for
// example "2004/07/15 [09:05:03]".
std::string formatLastCheck(const std::tm& local);

// formatLastCheck of the local time now.
std::string currentLastCheckText();

}  // namespace hs
