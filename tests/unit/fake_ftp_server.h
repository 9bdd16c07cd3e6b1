// An FTP server for the client tests, in the test process over real
// sockets on 127.0.0.1: it serves files from memory, in active mode, to
// one control connection at a time, and can misbehave on purpose.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/network.h"

namespace hs::test {

class FakeFtpServer {
public:
    enum class Mode {
        Normal,
        Silent,            // accepts and never says a word
        NoData,            // announces the transfer and never connects
        Trickle,           // connects and sends a byte every 100 ms
        Broken,            // sends half the file, closes and reports 426
    };

    // Its data connections come from 127.0.0.1 whatever `address` it listens on.
    explicit FakeFtpServer(const std::string& address = "127.0.0.1")
        : network_(makePlatformNetwork()), listener_(network_->listen(address)) {
        thread_ = std::thread([this] { run(); });
    }
    ~FakeFtpServer() {
        stop_ = true;
        thread_.join();
    }

    int port() const { return listener_ ? listener_->port() : 0; }
    void setMode(Mode m) { locked([&] { mode_ = m; }); }
    void setFile(const std::string& path, const std::string& bytes) { locked([&] { files_[path] = bytes; }); }
    void setAccount(const std::string& user, const std::string& password) {
        locked([&] { user_ = user, password_ = password; });
    }
    std::vector<std::string> commands() {
        std::lock_guard<std::mutex> lock(mutex_);
        return commands_;
    }

private:
    template <class F>
    void locked(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        f();
    }

    void run() {
        while (!stop_) {
            if (!listener_) return;
            std::unique_ptr<TcpStream> control = listener_->accept(50);
            if (control) serve(*control);
        }
    }

    // The next command line; false once the client went away or the test ends.
    bool readLine(TcpStream& c, std::string& line) {
        for (;;) {
            const std::size_t end = buffer_.find("\r\n");
            if (end != std::string::npos) {
                line = buffer_.substr(0, end);
                buffer_.erase(0, end + 2);
                return true;
            }
            char piece[1024];
            const long got = c.receive(piece, sizeof piece, 50);
            if (stop_ || got == kNetClosed || got == kNetError) return false;
            if (got > 0) buffer_.append(piece, static_cast<std::size_t>(got));
        }
    }

    void serve(TcpStream& c) {
        buffer_.clear();
        Mode mode;
        locked([&] { mode = mode_; });
        std::string line;
        if (mode == Mode::Silent) {
            while (readLine(c, line)) {
            }
            return;
        }
        c.sendAll("220-Welcome\r\n 220 not the end\r\n220 Ready\r\n", 1000);
        std::string user, cwd, dataHost;
        int dataPort = 0;
        while (readLine(c, line)) {
            locked([&] { commands_.push_back(line); });
            const std::size_t space = line.find(' ');
            const std::string verb = line.substr(0, space);
            const std::string arg = space == std::string::npos ? "" : line.substr(space + 1);
            std::string reply = "502 Not here\r\n";
            if (verb == "USER") {
                user = arg;
                reply = "331 Password please\r\n";
            } else if (verb == "PASS") {
                bool ok;
                locked([&] { ok = user == "anonymous" || (user == user_ && arg == password_); });
                reply = ok ? "230 In\r\n" : "530 Login incorrect\r\n";
            } else if (verb == "TYPE") {
                reply = arg == "I" ? "200 Binary\r\n" : "504 No\r\n";
            } else if (verb == "CWD") {
                bool found = false;
                locked([&] {
                    for (const auto& f : files_) found = found || f.first.rfind(arg + "/", 0) == 0;
                });
                if (found) cwd = arg;
                reply = found ? "250 OK\r\n" : "550 No such directory\r\n";
            } else if (verb == "PORT") {
                unsigned h[4], p[2];
                if (std::sscanf(arg.c_str(), "%u,%u,%u,%u,%u,%u", &h[0], &h[1], &h[2], &h[3], &p[0], &p[1]) == 6) {
                    dataHost = std::to_string(h[0]) + "." + std::to_string(h[1]) + "." + std::to_string(h[2]) +
                               "." + std::to_string(h[3]);
                    dataPort = static_cast<int>(p[0] * 256 + p[1]);
                    reply = "200 PORT OK\r\n";
                }
            } else if (verb == "RETR") {
                reply = retrieve(c, cwd.empty() ? arg : cwd + "/" + arg, dataHost, dataPort, mode);
            } else if (verb == "QUIT") {
                c.sendAll("221 Bye\r\n", 1000);
                return;
            }
            if (!reply.empty()) c.sendAll(reply, 1000);
        }
    }

    // Serves a file; returns the final reply ("" when already sent).
    std::string retrieve(TcpStream& c, const std::string& path, const std::string& host, int port, Mode mode) {
        std::string bytes;
        bool found = false;
        locked([&] {
            const auto f = files_.find(path);
            if (f != files_.end()) found = true, bytes = f->second;
        });
        if (!found) return "550 No such file\r\n";
        if (mode == Mode::NoData) return "150 Here it comes\r\n";
        std::string error;
        std::unique_ptr<TcpStream> data = network_->connect(host, port, 1000, error);
        if (!data) return "425 No data connection\r\n";
        c.sendAll("150 Here it comes\r\n", 1000);
        if (mode == Mode::Trickle) {
            for (std::size_t i = 0; !stop_ && data->sendAll(&bytes[i % bytes.size()], 1, 100); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            return "";
        }
        const bool broken = mode == Mode::Broken;
        data->sendAll(bytes.data(), broken ? bytes.size() / 2 : bytes.size(), 1000);
        data.reset();
        return broken ? "426 Transfer aborted\r\n" : "226 Done\r\n";
    }

    std::unique_ptr<Network> network_;
    std::unique_ptr<TcpListener> listener_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::string buffer_;  // the server thread's own
    std::mutex mutex_;
    Mode mode_ = Mode::Normal;
    std::map<std::string, std::string> files_;
    std::string user_ = "user", password_ = "secret";
    std::vector<std::string> commands_;
};

}  // namespace hs::test
