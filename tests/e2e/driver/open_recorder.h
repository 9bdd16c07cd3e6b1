// The stand-in browser and file opener (hs_open_recorder.exe, beside the
// driver): registered under HKLM\Software\Classes for ".htm" (so the
// program finds it as its browser at start-up) and for the test file types
// ".hsdoc" and ".docm" while an object of this class lives. The recorder appends its
// command line to "opened.log" beside itself.
#pragma once

#include <string>
#include <vector>

namespace hs::e2e {

class OpenRecorder {
public:
    OpenRecorder();   // registers it and empties the log
    ~OpenRecorder();  // removes the keys again
    OpenRecorder(const OpenRecorder&) = delete;
    OpenRecorder& operator=(const OpenRecorder&) = delete;

    // The command lines recorded so far.
    std::vector<std::string> lines() const;
    // Waits until at least `count` lines are there (or the usual wait ends).
    std::vector<std::string> waitForLines(std::size_t count) const;

private:
    std::string log_;
};

}  // namespace hs::e2e
