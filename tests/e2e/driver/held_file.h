// A "file" whose reading the driver holds up: a named pipe that the program
// opens like any local file (a LocalFile document's location) and whose
// read blocks until the driver sends the content and closes its end. A
// check worker that reads it stays in "Retrieving..." until then, so the
// rows behind it can be seen waiting.
#pragma once

#include <windows.h>

#include <string>

#include "handles.h"
#include "wait.h"

namespace hs::e2e {

class HeldFile {
public:
    // A new pipe named after the driver's process and `label`.
    explicit HeldFile(const std::string& label);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    explicit operator bool() const { return static_cast<bool>(pipe_); }
    // The location to store in the record ("\\.\pipe\...").
    const std::string& path() const { return path_; }

    // Whether the program has opened it, waiting up to `timeout`.
    bool opened(milliseconds timeout);
    // Sends `content` (once the program has opened the pipe) and keeps the
    // pipe open: the reader gets these bytes and then waits again.
    bool send(const std::string& content, milliseconds timeout = kShortWait);
    // Sends `content` and closes the driver's end, which the reader sees
    // as the end of the file.
    bool release(const std::string& content, milliseconds timeout = kShortWait);

private:
    std::string path_;
    UniqueHandle pipe_;
    UniqueHandle event_;
    OVERLAPPED connect_{};
    bool connected_ = false;
};

}  // namespace hs::e2e
