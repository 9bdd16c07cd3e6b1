#include "check/retrieval.h"

#include "check/local_retrieval.h"

namespace hs {

RetrievalPaths localRetrievalPaths() {
    RetrievalPaths paths;
    paths.localFile = fetchLocalFile;
    return paths;
}

void discardStaged(FileSystem& files, StagedFile& file) {
    if (!file.staged.empty()) files.removeFile(file.staged);
    file.staged.clear();
}

}  // namespace hs
