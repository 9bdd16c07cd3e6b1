// The check worker: a background thread that walks the catalogue once and
// retrieves every record waiting for retrieval, in slot order.
#pragma once

#include "catalogue/catalogue.h"
#include "engine/check_host.h"

namespace hs {

// Starts one more worker over `catalogue` and returns at once. The host and
// the catalogue must outlive the worker (the program's own live until exit).
void startCheckWorker(DocumentCatalogue& catalogue, CheckHost& host);

}  // namespace hs
