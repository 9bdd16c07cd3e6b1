#include "net/ftp_client.h"

#include <algorithm>
#include <cstdio>

namespace hs {

namespace {

// A reply longer than this is not an FTP server talking.
constexpr std::size_t kMaxReplyBytes = 64 * 1024;
// QUIT is a courtesy: its reply is not worth the full reply bound.
constexpr int kQuitWaitMs = 2000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The code of a reply line "ddd..." (its first digit 1 to 5), or 0.
int lineCode(const std::string& line) {
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2])) return 0;
    if (line[0] < '1' || line[0] > '5') return 0;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool hasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

FtpReplyParse takeFtpReply(std::string& buffer, FtpReply& reply) {
    std::size_t pos = 0;
    int code = 0;
    std::string text;
    for (;;) {
        const std::size_t end = buffer.find('\n', pos);
        if (end == std::string::npos) return FtpReplyParse::Incomplete;
        std::string line = buffer.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = end + 1;
        if (code == 0) {
            code = lineCode(line);
            if (code == 0 || (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
                return FtpReplyParse::Malformed;
            }
            text = line.size() > 4 ? line.substr(4) : std::string();
            if (line.size() == 3 || line[3] == ' ') break;
            continue;
        }
        // Inside a multi-line reply: the line "ddd " (or just "ddd") ends it.
        const bool last = lineCode(line) == code && (line.size() == 3 || line[3] == ' ');
        text += '\n';
        text += last ? (line.size() > 4 ? line.substr(4) : std::string()) : line;
        if (last) break;
    }
    buffer.erase(0, pos);
    reply.code = code;
    reply.text = std::move(text);
    return FtpReplyParse::Complete;
}

FtpSession::FtpSession(Network& network, const NetBounds& bounds)
    : network_(network), bounds_(bounds),
      deadline_(Clock::now() + std::chrono::milliseconds(bounds.totalMs)) {}

FtpSession::~FtpSession() {
    data_.reset();
    if (control_) control_->sendAll("QUIT\r\n", std::min(waitMs(bounds_.connectMs), kQuitWaitMs));
}

bool FtpSession::fail(const std::string& why) {
    error_ = why;
    return false;
}

int FtpSession::waitMs(int bound) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    if (left <= 0) return 0;
    return static_cast<int>(std::min<long long>(bound, left));
}

bool FtpSession::readReply(FtpReply& reply, int boundMs) {
    const auto replyDeadline = Clock::now() + std::chrono::milliseconds(boundMs);
    for (bool parse = true;; parse = mayEndReply()) {
        switch (parse ? takeFtpReply(pending_, reply) : FtpReplyParse::Incomplete) {
            case FtpReplyParse::Complete: scanned_ = 0; return true;
            case FtpReplyParse::Malformed: return fail("the server's reply is not FTP");
            case FtpReplyParse::Incomplete: break;
        }
        if (pending_.size() > kMaxReplyBytes) return fail("the server's reply is too long");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(replyDeadline - Clock::now()).count();
        const int wait = waitMs(static_cast<int>(std::max<long long>(left, 0)));
        if (wait <= 0) return fail("no reply from the server in time");
        char piece[4096];
        const long got = control_->receive(piece, sizeof piece, wait);
        if (got == kNetTimedOut) return fail("no reply from the server in time");
        if (got <= 0) return fail("the server closed the connection");
        pending_.append(piece, static_cast<std::size_t>(got));
    }
}

bool FtpSession::mayEndReply() {
    bool may = false;
    for (std::size_t end; (end = pending_.find('\n', scanned_)) != std::string::npos; scanned_ = end + 1) {
        const std::size_t length = end - scanned_;
        const bool ends = length >= 3 && lineCode(pending_.substr(scanned_, 3)) != 0 &&
                          (length == 3 || pending_[scanned_ + 3] == ' ' ||
                           (length == 4 && pending_[scanned_ + 3] == '\r'));
        may = may || scanned_ == 0 || ends;
    }
    return may;
}

bool FtpSession::command(const std::string& verb, const std::string& argument, FtpReply& reply,
                         int boundMs) {
    // A line break would end the command early and send the rest as one
    // of its own.
    if (hasLineBreak(argument)) return fail("a line break in " + verb);
    if (!control_) return fail("not connected");
    const std::string line = argument.empty() ? verb + "\r\n" : verb + " " + argument + "\r\n";
    const int wait = waitMs(boundMs);
    if (wait <= 0 || !control_->sendAll(line, wait)) return fail("cannot send " + verb);
    return readReply(reply, boundMs);
}

bool FtpSession::expect(const std::string& verb, const std::string& argument, int wantClass) {
    FtpReply reply;
    if (!command(verb, argument, reply, bounds_.connectMs)) return false;
    if (reply.code / 100 != wantClass) return fail(verb + ": " + std::to_string(reply.code) + " " + reply.text);
    return true;
}

bool FtpSession::open(const std::string& server, int port, const std::string& user,
                      const std::string& password) {
    if (server.empty()) return fail("no server");
    if (hasLineBreak(user) || hasLineBreak(password)) return fail("a line break in the account");
    const int wait = waitMs(bounds_.connectMs);
    std::string why;
    if (wait > 0) control_ = network_.connect(server, port, wait, why);
    if (!control_) return fail(why.empty() ? "no time left" : why);

    FtpReply reply;
    if (!readReply(reply, bounds_.connectMs)) return false;
    // "120 ready in a moment" may come before the greeting, once.
    if (reply.code / 100 == 1 && !readReply(reply, bounds_.connectMs)) return false;
    if (reply.code / 100 != 2) return fail("greeting: " + std::to_string(reply.code) + " " + reply.text);

    if (!command("USER", user, reply, bounds_.connectMs)) return false;
    if (reply.code / 100 == 2) return true;
    if (reply.code != 331) return fail("USER: " + std::to_string(reply.code) + " " + reply.text);
    if (!command("PASS", password, reply, bounds_.connectMs)) return false;
    if (reply.code / 100 != 2) return fail("PASS: " + std::to_string(reply.code) + " " + reply.text);
    return true;
}

bool FtpSession::changeDirectory(const std::string& path) { return expect("CWD", path, 2); }

bool FtpSession::startRetrieve(const std::string& fileName) {
    if (!expect("TYPE", "I", 2)) return false;

    // Active mode: the server connects to a port of ours on the address
    // the control connection uses.
    const std::string address = control_->localAddress();
    unsigned a = 0, b = 0, c = 0, d = 0;
    char rest = 0;
    if (std::sscanf(address.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) != 4) {
        return fail("no IPv4 address for the data connection");
    }
    std::unique_ptr<TcpListener> listener = network_.listen(address);
    if (!listener) return fail("cannot listen for the data connection");
    const int port = listener->port();
    char portArgument[64];
    std::snprintf(portArgument, sizeof portArgument, "%u,%u,%u,%u,%d,%d", a, b, c, d, port / 256, port % 256);
    if (!expect("PORT", portArgument, 2)) return false;

    FtpReply reply;
    if (!command("RETR", fileName, reply, bounds_.connectMs)) return false;
    if (reply.code / 100 != 1) return fail("RETR: " + std::to_string(reply.code) + " " + reply.text);
    // PORT crossed the network in clear: anybody may connect first. Only a
    // connection from the server's own address is the data; any other is
    // closed, and the wait goes on within the same bound. Where the server's
    // address is unknown, no connection can be told to be its.
    const std::string server = control_->peerAddress();
    const auto acceptDeadline = Clock::now() + std::chrono::milliseconds(bounds_.connectMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(acceptDeadline - Clock::now());
        const int wait = waitMs(static_cast<int>(std::max<long long>(left.count(), 0)));
        if (wait <= 0) break;
        std::unique_ptr<TcpStream> data = listener->accept(wait);
        if (!data) break;
        if (!server.empty() && data->peerAddress() == server) {
            data_ = std::move(data);
            return true;
        }
    }
    return fail("the server did not open the data connection");
}

long FtpSession::readData(char* buffer, std::size_t size) {
    if (transferDone_) return 0;
    if (transferFailed_ || !data_) return -1;
    const int wait = waitMs(bounds_.idleMs);
    const long got = wait > 0 ? data_->receive(buffer, size, wait) : kNetTimedOut;
    if (got > 0) return got;
    data_.reset();
    if (got != kNetClosed) {
        transferFailed_ = true;
        fail(got == kNetTimedOut ? "the transfer stalled" : "the data connection failed");
        return -1;
    }
    // The end of the data is the end of the file only if the server says so.
    FtpReply reply;
    if (!readReply(reply, bounds_.connectMs) || reply.code / 100 != 2) {
        if (reply.code) fail("RETR: " + std::to_string(reply.code) + " " + reply.text);
        transferFailed_ = true;
        return -1;
    }
    transferDone_ = true;
    quit();
    return 0;
}

void FtpSession::quit() {
    if (!control_) return;
    FtpReply reply;
    command("QUIT", "", reply, std::min(bounds_.connectMs, kQuitWaitMs));  // its outcome changes nothing
    control_.reset();
}

}  // namespace hs
