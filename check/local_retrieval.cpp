#include "check/local_retrieval.h"

#include <memory>

namespace hs {

Fetched fetchLocalFile(const Document& record, RetrievalContext&) {
    auto file = std::make_unique<FileSource>(kLocalPieceSize);
    if (!file->open(fieldText(record.url), FileMode::Binary)) return Fetched::failed();
    return Fetched::stream(std::move(file));
}

}  // namespace hs
