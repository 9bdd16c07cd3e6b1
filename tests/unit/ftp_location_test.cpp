// The split of an FTP location into server, directory and file name.
#include <gtest/gtest.h>

#include "net/ftp_location.h"
#include "net/net_bounds.h"

namespace hs {
namespace {

struct SplitCase {
    const char* location;
    bool splits;
    const char* server;
    const char* directory;
    const char* fileName;
};

TEST(FtpLocation, SplitsEveryFormAndRefusesBrokenOnes) {
    const SplitCase cases[] = {
        {"ftpserver/pub/tools/list.zip", true, "ftpserver", "pub/tools", "list.zip"},
        {"ftp://ftpserver/pub/tools/list.zip", true, "ftpserver", "pub/tools", "list.zip"},
        {"FTP://ftpserver/list.zip", true, "ftpserver", "", "list.zip"},
        {"ftpserver/list.zip", true, "ftpserver", "", "list.zip"},
        {"ftpserver\\pub\\sub\\file.zip", true, "ftpserver", "pub\\sub", "file.zip"},
        // The directory starts after the first "/" of the rest, even behind
        // a "\": the rule as the connection test has it.
        {"srv\\a/b/f", true, "srv", "b", "f"},
        {"srv/a\\b/f", true, "srv", "a\\b", "f"},
        // Only the first "://" goes, together with everything before it.
        {"x://y://srv/f", true, "y:", "/srv", "f"},
        {"ftpserver/", true, "ftpserver", "", ""},          // no file name
        {"srv//f", true, "srv", "", "f"},                    // an empty directory
        {"/pub/f", true, "", "pub", "f"},                    // no server
        {"//f", true, "", "", "f"},
        // The first character is never the file's separator.
        {"/file", false, "", "", ""},
        {"/", false, "", "", ""},
        {"ftpserver", false, "", "", ""},
        {"ftp://ftpserver", false, "", "", ""},
        {"", false, "", "", ""},
        {"srv\n/f", false, "", "", ""},
        {"srv/f\r", false, "", "", ""},
        {"srv/pub\r\nDELE x/f", false, "", "", ""},         // no line break reaches a command
        {"\r/f", false, "", "", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.location);
        const auto split = splitFtpLocation(c.location);
        ASSERT_EQ(split.has_value(), c.splits);
        if (!split) continue;
        EXPECT_EQ(split->server, c.server);
        EXPECT_EQ(split->directory, c.directory);
        EXPECT_EQ(split->fileName, c.fileName);
    }
}

TEST(NetBounds, TestSettingShortensAllThreeOrNone) {
    const NetBounds defaults;
    EXPECT_EQ(defaults.connectMs, 30000);
    EXPECT_EQ(defaults.idleMs, 60000);
    EXPECT_EQ(defaults.totalMs, 1800000);
    const NetBounds shortened = parseNetBounds("500,700,9000");
    EXPECT_EQ(shortened.connectMs, 500);
    EXPECT_EQ(shortened.idleMs, 700);
    EXPECT_EQ(shortened.totalMs, 9000);
    for (const char* broken : {"", "500,700", "500,700,9000,1", "0,700,9000", "-5,700,9000", "a,b,c", "500,,9000"}) {
        SCOPED_TRACE(broken);
        EXPECT_EQ(parseNetBounds(broken).totalMs, defaults.totalMs);
    }
}

}  // namespace
}  // namespace hs
