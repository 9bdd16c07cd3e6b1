#include "check/retrieval.h"

#include "check/local_retrieval.h"

namespace hs {

RetrievalPaths localRetrievalPaths() {
    RetrievalPaths paths;
    paths.localFile = fetchLocalFile;
    return paths;
}

void discardStaged(FileSystem& files, StagedFile& file) { DocumentFiles(files).discard(file); }

}  // namespace hs
