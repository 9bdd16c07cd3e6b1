// A small FTP client over bounded TCP connections: login, one directory
// change, and a binary transfer in active mode (the server connects back
// to a port of ours). Every wait is bounded by NetBounds: a connection or
// a whole reply takes at most connectMs, the data connection may stay
// silent for at most idleMs, and the session as a whole ends after
// totalMs, whatever the server does.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "net/content_source.h"
#include "net/net_bounds.h"
#include "platform/network.h"

namespace hs {

constexpr int kFtpPort = 21;

// The login of a session without an account.
constexpr const char* kAnonymousUser = "anonymous";
constexpr const char* kAnonymousPassword = "anonymous@";

// One reply of a server: its three-digit code, and its text (the lines of
// a multi-line reply joined by "\n", without the codes of the first and
// the last line).
struct FtpReply {
    int code = 0;
    std::string text;
};

enum class FtpReplyParse { Complete, Incomplete, Malformed };

// Takes one whole reply off the front of `buffer` (lines end with CR LF or
// a bare LF). A multi-line reply starts with "ddd-" and ends with the line
// that starts with the same code and a space. Incomplete leaves `buffer`
// as it is.
FtpReplyParse takeFtpReply(std::string& buffer, FtpReply& reply);

class FtpSession {
public:
    // The session's whole-time bound starts here.
    FtpSession(Network& network, const NetBounds& bounds);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Connects, reads the greeting and logs in with `user` and `password`
    // (sent as they are; a line break in either fails without sending it).
    bool open(const std::string& server, int port, const std::string& user,
              const std::string& password);

    // One change of the remote directory, relative to the current one, for
    // the whole path.
    bool changeDirectory(const std::string& path);

    // Asks for `fileName` in binary form in active mode; true once the
    // server's data connection came in. Then readData() gives the content.
    bool startRetrieve(const std::string& fileName);

    // Content bytes: their count; 0 at the end, once the server confirmed
    // the whole transfer; less than 0 when the transfer failed or a bound
    // ran out.
    long readData(char* buffer, std::size_t size);

    // Why the last step failed (for a progress text or a test).
    const std::string& error() const { return error_; }

private:
    using Clock = std::chrono::steady_clock;

    bool fail(const std::string& why);
    int waitMs(int bound) const;  // the bound, cut to what the session has left
    // One whole reply within `boundMs`.
    bool readReply(FtpReply& reply, int boundMs);
    // Whether a line completed since the last call may end the reply in
    // `pending_`: its first line, or a line "ddd" or "ddd ...". Only then is
    // the reply parsed again, so that one dribbled a byte at a time costs no
    // parse per byte.
    bool mayEndReply();
    bool command(const std::string& verb, const std::string& argument, FtpReply& reply, int boundMs);
    bool expect(const std::string& verb, const std::string& argument, int wantClass);
    void quit();

    Network& network_;
    NetBounds bounds_;
    Clock::time_point deadline_;
    std::unique_ptr<TcpStream> control_;
    std::unique_ptr<TcpStream> data_;
    std::string pending_;  // reply bytes received but not yet taken
    std::size_t scanned_ = 0;  // where mayEndReply() goes on in pending_
    std::string error_;
    bool transferDone_ = false;
    bool transferFailed_ = false;
};

// The content of a started retrieval as a source; it owns the session.
class FtpFileSource : public ContentSource {
public:
    explicit FtpFileSource(std::unique_ptr<FtpSession> session) : session_(std::move(session)) {}
    long read(char* buf, std::size_t n) override { return session_->readData(buf, n); }

private:
    std::unique_ptr<FtpSession> session_;
};

}  // namespace hs
