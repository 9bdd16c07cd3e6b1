#include "check/web_retrieval.h"

#include <string>
#include <utility>

#include "catalogue/document_files.h"

namespace hs {

RetrievalPath webRetrievalPath(std::shared_ptr<const WebClient> client, ContentLimits limits) {
    return [client = std::move(client), limits](const Document& record, RetrievalContext& ctx) {
        std::string error;
        auto body = client->open(webRequestOf(record), error);
        if (!body) return Fetched::failed();
        return Fetched::stream(
            std::make_unique<LimitedSource>(std::move(body), ctx.files, DocumentFiles::directory(), limits));
    };
}

}  // namespace hs
