// The request a web document makes: location, scheme and credentials, and
// the URL rules of the client (parts of a URL, redirection targets).
#include <gtest/gtest.h>

#include <string>

#include "net/web_client.h"
#include "net/web_url.h"
#include "engine_test_support.h"

namespace hs {
namespace {

TEST(WebUrl, PartsOfLocations) {
    struct Row {
        const char* text;
        bool ok;
        bool https;
        const char* host;
        int port;
        const char* target;
    };
    const Row rows[] = {
        {"http://example.com", true, false, "example.com", 80, "/"},
        {"HTTPS://Example.com:8443/a b?x=1#part", true, true, "Example.com", 8443, "/a%20b?x=1"},
        {"example.com/x/\xE9", true, false, "example.com", 80, "/x/%E9"},
        {"http://h?q", true, false, "h", 80, "/?q"},
        {"http://h:/p", true, false, "h", 80, "/p"},
        {"ftp://h/x", false, false, "", 0, ""},
        {"http://:80/", false, false, "", 0, ""},
        {"http://h:0/", false, false, "", 0, ""},
        {"http://h:65536/", false, false, "", 0, ""},
        {"http://h:8x/", false, false, "", 0, ""},
        {"http://[::1]/", false, false, "", 0, ""},
        {"http:///path", false, false, "", 0, ""},
    };
    for (const Row& row : rows) {
        WebUrl url;
        ASSERT_EQ(parseWebUrl(row.text, url), row.ok) << row.text;
        if (!row.ok) continue;
        EXPECT_EQ(url.https, row.https) << row.text;
        EXPECT_EQ(url.host, row.host) << row.text;
        EXPECT_EQ(url.port, row.port) << row.text;
        EXPECT_EQ(url.target, row.target) << row.text;
    }
    WebUrl url;
    ASSERT_TRUE(parseWebUrl("http://us%40er:p%3Aw@h:81/", url));
    EXPECT_TRUE(url.hasUserInfo);
    EXPECT_EQ(url.user, "us@er");
    EXPECT_EQ(url.password, "p:w");
    EXPECT_EQ(url.hostHeader(), "h:81");
}

TEST(WebUrl, AccountTravelsBesideTheLocationWhichKeepsItsScheme) {
    Document r = zeroRecord();
    setField(r.url, "https://secure.example/private/page.html");
    setField(r.userName, "ann@corp");
    setField(r.password, "p:a/s@s");

    WebRequest plain = webRequestOf(r);
    EXPECT_EQ(plain.location, "https://secure.example/private/page.html");
    EXPECT_FALSE(plain.withAccount);

    r.useAccount = 1;
    WebRequest account = webRequestOf(r);
    EXPECT_EQ(account.location, "https://secure.example/private/page.html");  // https stays https
    EXPECT_TRUE(account.withAccount);
    EXPECT_EQ(account.userName, "ann@corp");
    EXPECT_EQ(account.password, "p:a/s@s");

    setField(r.url, "intranet/page");
    EXPECT_EQ(webRequestOf(r).location, "http://intranet/page");

    EXPECT_EQ(base64Encode("ann@corp:p:a/s@s"), "YW5uQGNvcnA6cDphL3NAcw==");
    EXPECT_EQ(base64Encode("ab"), "YWI=");
}

TEST(WebUrl, RedirectionTargets) {
    WebUrl base;
    ASSERT_TRUE(parseWebUrl("http://h:81/a/b?z", base));
    struct Row {
        const char* location;
        const char* expected;  // scheme://hostHeader target
    };
    const Row rows[] = {
        {"/c", "http://h:81/c"},
        {"c d", "http://h:81/a/c%20d"},
        {"../d", "http://h:81/d"},
        {"./e/../f?x", "http://h:81/a/f?x"},
        {"?q", "http://h:81/a/b?q"},
        {"//other/x", "http://other/x"},
        {"https://secure/y", "https://secure/y"},
        {"  /padded  ", "http://h:81/padded"},
    };
    for (const Row& row : rows) {
        WebUrl url;
        ASSERT_TRUE(resolveLocation(base, row.location, url)) << row.location;
        EXPECT_EQ(std::string(url.https ? "https://" : "http://") + url.hostHeader() + url.target, row.expected)
            << row.location;
    }
    WebUrl url;
    EXPECT_FALSE(resolveLocation(base, "gopher://x/", url));
    EXPECT_FALSE(resolveLocation(base, "   ", url));
}

}  // namespace
}  // namespace hs
