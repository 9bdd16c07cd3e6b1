#include "engine/web_retrieval.h"

#include <string>
#include <utility>

namespace hs {

RetrievalPath webRetrievalPath(std::shared_ptr<const WebClient> client) {
    return [client = std::move(client)](const DocumentRecord& record, RetrievalContext&) {
        std::string error;
        auto body = client->open(webRequestOf(record), error);
        if (!body) return Fetched::failed();
        return Fetched::stream(std::move(body));
    };
}

}  // namespace hs
