#include "held_file.h"

#include <atomic>

namespace hs::e2e {

HeldFile::HeldFile(const std::string& label) {
    static std::atomic<unsigned> counter{0};
    path_ = "\\\\.\\pipe\\hs-e2e-" + label + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    pipe_.reset(CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr));
    event_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!pipe_ || !event_) {
        pipe_.reset();
        return;
    }
    connect_.hEvent = event_.get();
    if (!ConnectNamedPipe(pipe_.get(), &connect_)) {
        const DWORD error = GetLastError();
        if (error == ERROR_PIPE_CONNECTED) connected_ = true;
        else if (error != ERROR_IO_PENDING) pipe_.reset();
    }
}

HeldFile::~HeldFile() {
    if (pipe_ && !connected_) {
        CancelIo(pipe_.get());
        DWORD ignored = 0;
        GetOverlappedResult(pipe_.get(), &connect_, &ignored, TRUE);
    }
}

bool HeldFile::opened(milliseconds timeout) {
    if (!pipe_) return false;
    if (connected_) return true;
    if (WaitForSingleObject(event_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return false;
    DWORD ignored = 0;
    connected_ = GetOverlappedResult(pipe_.get(), &connect_, &ignored, FALSE) != 0;
    return connected_;
}

bool HeldFile::send(const std::string& content, milliseconds timeout) {
    if (!pipe_ || !opened(timeout)) return false;
    bool ok = true;
    if (!content.empty()) {
        OVERLAPPED write{};
        write.hEvent = event_.get();
        ResetEvent(event_.get());
        DWORD done = 0;
        if (!WriteFile(pipe_.get(), content.data(), static_cast<DWORD>(content.size()), &done, &write)) {
            ok = GetLastError() == ERROR_IO_PENDING &&
                 WaitForSingleObject(event_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0 &&
                 GetOverlappedResult(pipe_.get(), &write, &done, FALSE);
        }
        ok = ok && done == content.size();
        if (!ok) CancelIo(pipe_.get());
    }
    return ok;
}

bool HeldFile::release(const std::string& content, milliseconds timeout) {
    const bool ok = send(content, timeout);
    // Closing (without flushing, which would wait for the reader, and
    // without disconnecting, which would drop what is unread) leaves the
    // written bytes to the reader, then the end of the file.
    pipe_.reset();
    return ok;
}

}  // namespace hs::e2e
