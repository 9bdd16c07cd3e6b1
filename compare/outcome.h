// What the comparison rule of a document hands back to the check's commit:
// the new status, the staged files that replace the kept ones, the count, and
// whether a change or missing markers were found.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/document_files.h"  // StagedFile

namespace hs {

struct RetrievalOutcome {
    // The new status; none leaves the status as it is (an unknown type stays
    // Retrieving).
    std::optional<int32_t> status;
    // New content that becomes the content file. If it cannot be moved into
    // place, the outcome becomes UnableToRetrieve.
    StagedFile content;
    // A new middle file (MiddleString pages); a failed move leaves the old one.
    StagedFile middle;
    // A new countResult (CountString pages); the record file is written with
    // it at the commit.
    std::optional<int32_t> countResult;
    // A change was found. The sound and the blink follow once the outcome is
    // committed, also when keeping the new content failed afterwards.
    bool changed = false;
    // A first retrieval of a MiddleString page did not find its markers.
    bool markersMissing = false;

    static RetrievalOutcome withStatus(int32_t s) {
        RetrievalOutcome o;
        o.status = s;
        return o;
    }
};

}  // namespace hs
