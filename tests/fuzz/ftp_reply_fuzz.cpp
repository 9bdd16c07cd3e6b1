// One reply of an FTP server taken off what came so far: whatever came, a
// whole reply is a front part of it ending with a line, and taking from a
// front part of the bytes never decides otherwise than taking from all.
#include <string>

#include "engine/ftp_client.h"
#include "fuzz_support.h"

using namespace hs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::size_t cut = in.byte() * 256u + in.byte();
    const std::string all = in.rest();

    std::string buffer = all;
    FtpReply reply;
    const FtpReplyParse whole = takeFtpReply(buffer, reply);
    const std::size_t taken = all.size() - buffer.size();
    if (whole != FtpReplyParse::Complete) {
        fuzz::require(buffer == all, "no reply leaves the bytes as they came");
    } else {
        fuzz::require(taken > 0 && all[taken - 1] == '\n' && all.compare(taken, std::string::npos, buffer) == 0,
                      "a reply is a front part that ends with a line");
        fuzz::require(reply.code >= 100 && reply.code <= 599, "a reply code");
    }

    const std::size_t frontSize = cut % (all.size() + 1);
    std::string front = all.substr(0, frontSize);
    FtpReply early;
    const FtpReplyParse part = takeFtpReply(front, early);
    if (part != FtpReplyParse::Incomplete) fuzz::require(part == whole, "more bytes never change the decision");
    if (part == FtpReplyParse::Complete) {
        fuzz::require(early.code == reply.code && early.text == reply.text && frontSize - front.size() == taken,
                      "the same reply");
    }
    return 0;
}
