// What a check worker needs from the program around it. The worker never
// touches windows: it reports changed records to the host, which hands them
// to the window thread without waiting.
#pragma once

#include <cstddef>
#include <string>

#include "catalogue/record.h"

namespace hs {

class CheckHost {
public:
    virtual ~CheckHost() = default;

    // The status or last-check text of the record in `slot` changed. The
    // window thread looks the row up and refreshes it in one step, so the
    // refresh always lands in the row that shows this document. Must not
    // block the calling worker.
    virtual void recordChanged(std::size_t slot) = 0;

    // The two change notifications; both return at once. The worker calls
    // them once the outcome of a check that found a change is committed,
    // never for a document deleted or edited during its check.
    virtual void playChangeSound() = 0;
    virtual void startChangeBlink() = 0;

    // A check committed Changed for `record` (as it is now, its new content
    // kept). Called after the two notifications above.
    virtual void documentChanged(const Document& record) { (void)record; }

    // The first retrieval of a MiddleString page did not find its markers
    // (committed as UnableToRetrieve). The worker waits until this returns.
    virtual void middleMarkersMissing(const Document& record) { (void)record; }

    // Local time as the last-check text "YYYY/MM/DD [hh:mm:ss]"
    // (formatLastCheck of check_worker.h forms it from a std::tm).
    virtual std::string lastCheckText() = 0;

    // Called by a worker as the last thing it does, after its pass. Nothing
    // of the worker touches the host or the catalogue afterwards.
    virtual void workerFinished() {}
};

}  // namespace hs
