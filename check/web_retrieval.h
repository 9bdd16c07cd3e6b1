// Web retrieval: an HtmlPage or WebFile fetched over HTTP or HTTPS. The path
// asks the web client for the document (web_url.h forms the request from
// the location and account) and hands the body over as a stream; the page
// or file rules of compare_rules.h decide, stage and keep. Anything that
// keeps the body from arriving whole (no connection, no answer, a broken or
// endless body, a bound run out, a body past the limits of ContentLimits)
// fails the retrieval: UnableToRetrieve, the kept content as it was and the
// staged file gone.
#pragma once

#include <memory>

#include "check/retrieval.h"
#include "net/web_client.h"

namespace hs {

// The path for both web document types; the type decides text or bytes
// and the comparison rule when the content is decided.
RetrievalPath webRetrievalPath(std::shared_ptr<const WebClient> client, ContentLimits limits = {});

}  // namespace hs
