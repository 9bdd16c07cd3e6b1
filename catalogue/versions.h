// A document's earlier versions and the version the user acknowledged: the
// history index "data\<name>.history" and the rules that keep it.
//
// When a check replaces the kept content, the replaced content is renamed to
// "data\<name>.v<seq>" (seq counts up from 1 and is never reused) and listed
// in the index with the time it became the kept content and its size.
// DocumentFiles (document_files.h) does the file work; this file holds the
// index format and the rules, without any file access, so they can be
// tested on their own.
//
// The index is a small text file, one item a line, fields separated by a
// single space (an event's text runs to the end of its line):
//
//   next <seq>                    the number the next version gets
//   current <time>                when the kept content was kept
//   baseline <seq>|current|none   the acknowledged content
//   version <seq> <time> <size>   an earlier version, oldest first
//   event <time> <text>           something the user should know, such as a
//                                 version that could not be kept
//
// Times are seconds since 1970 (UTC), 0 when not known. Lines that cannot be
// read are passed over, so a damaged index loses only what it cannot say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hs {

// How many earlier versions a document keeps, and how many bytes they may
// take together. Enough to go back a few weeks of daily changes without
// letting a large file that changes often fill the disk; the acknowledged
// version is kept beyond both limits, since the difference is shown against
// it.
constexpr std::size_t kMaxVersions = 20;
constexpr uint64_t kMaxVersionBytes = 50ull * 1024 * 1024;

// How many events the index remembers (the newest ones).
constexpr std::size_t kMaxHistoryEvents = 20;

// The sequence number that stands for the kept content itself ("current")
// where a version is asked for; no earlier version has it.
constexpr uint32_t kCurrentVersion = 0;

struct VersionEntry {
    uint32_t seq = 0;
    int64_t time = 0;   // when this content became the kept content
    uint64_t size = 0;  // bytes
};

struct HistoryEvent {
    int64_t time = 0;
    std::string text;
};

struct History {
    enum class Baseline { None, Current, Version };

    uint32_t nextSeq = 1;
    int64_t currentTime = 0;
    Baseline baseline = Baseline::None;
    uint32_t baselineSeq = 0;  // with Baseline::Version
    std::vector<VersionEntry> versions;  // ascending seq
    std::vector<HistoryEvent> events;    // oldest first

    const VersionEntry* find(uint32_t seq) const;
    bool isBaseline(uint32_t seq) const { return baseline == Baseline::Version && baselineSeq == seq; }
    void addEvent(int64_t time, const std::string& text);
};

// The index's text, and back. parseHistory never fails: what it cannot read
// it leaves at the defaults.
std::string formatHistory(const History& history);
History parseHistory(const std::string& text);

// What the commit of a new kept content does to the index when the replaced
// content (`replacedSize` bytes) becomes version history.nextSeq: the version
// is listed with the time the replaced content was kept (`now` when that is
// not known), an acknowledged current content becomes the acknowledged
// version, the new content is dated `now`, and the versions beyond the limits
// are dropped (pruneVersions). Returns the seq of the new version.
uint32_t addReplacedVersion(History& history, uint64_t replacedSize, int64_t now);

// Drops the oldest versions, never the acknowledged one, until at most
// kMaxVersions remain and they take at most kMaxVersionBytes together (or
// only the acknowledged one is left). Returns the seqs dropped, whose files
// the caller removes.
std::vector<uint32_t> pruneVersions(History& history, std::size_t maxVersions = kMaxVersions,
                                    uint64_t maxBytes = kMaxVersionBytes);

}  // namespace hs
