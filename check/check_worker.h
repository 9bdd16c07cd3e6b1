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

namespace hs {

// Starts one more worker over `catalogue` and returns at once. The host, the
// catalogue and the file system must outlive the worker (the program's own
// live until exit). The thread is detached; nothing waits for it.
void startCheckWorker(DocumentCatalogue& catalogue, CheckHost& host, FileSystem& files,
                      RetrievalPaths paths);

// One pass of a worker (its thread function without the thread): every slot
// in slot order, including slots appended while the pass runs. Returns the
// number of retrievals made.
std::size_t runCheckPass(DocumentCatalogue& catalogue, CheckHost& host, FileSystem& files,
                         const RetrievalPaths& paths);

// One slot: if it is waiting for retrieval and no other worker holds it,
// claims it (Retrieving), fetches it by its type, decides by its comparison
// rule, commits the outcome and the last-check time (then notifies the host
// of a change), and retrieves it again while it was marked again meanwhile. Returns the number of retrievals made (0 when not waiting).
std::size_t checkDocument(DocumentCatalogue& catalogue, std::size_t slot, CheckHost& host,
                          FileSystem& files, const RetrievalPaths& paths);

// The last-check text of a local time: "%02d/%02d/%02d [%02d:%02d:%02d]" from
// the year (all its digits), month, day, hour, minute and second, for
// example "2004/07/15 [09:05:03]".
std::string formatLastCheck(const std::tm& local);

// formatLastCheck of the local time now.
std::string currentLastCheckText();

}  // namespace hs
