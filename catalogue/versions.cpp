#include "catalogue/versions.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace hs {

namespace {

bool readNumber(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 20) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    value = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

bool readTime(const std::string& text, int64_t& value) {
    uint64_t v = 0;
    if (!readNumber(text, v) || v > static_cast<uint64_t>(INT64_MAX)) return false;
    value = static_cast<int64_t>(v);
    return true;
}

bool readSeq(const std::string& text, uint32_t& value) {
    uint64_t v = 0;
    if (!readNumber(text, v) || v == 0 || v > UINT32_MAX) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

// An event's text on one line: line breaks become spaces.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

const VersionEntry* History::find(uint32_t seq) const {
    for (const VersionEntry& v : versions) {
        if (v.seq == seq) return &v;
    }
    return nullptr;
}

void History::addEvent(int64_t time, const std::string& text) {
    events.push_back(HistoryEvent{time, oneLine(text)});
    if (events.size() > kMaxHistoryEvents) events.erase(events.begin(), events.end() - kMaxHistoryEvents);
}

std::string formatHistory(const History& h) {
    std::ostringstream out;
    out << "next " << h.nextSeq << "\n";
    out << "current " << h.currentTime << "\n";
    out << "baseline ";
    switch (h.baseline) {
        case History::Baseline::None: out << "none"; break;
        case History::Baseline::Current: out << "current"; break;
        case History::Baseline::Version: out << h.baselineSeq; break;
    }
    out << "\n";
    for (const VersionEntry& v : h.versions) out << "version " << v.seq << " " << v.time << " " << v.size << "\n";
    for (const HistoryEvent& e : h.events) out << "event " << e.time << " " << oneLine(e.text) << "\n";
    return out.str();
}

History parseHistory(const std::string& text) {
    History h;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string key, a, b, c;
        fields >> key >> a;
        if (key == "next") {
            uint32_t seq = 0;
            if (readSeq(a, seq)) h.nextSeq = seq;
        } else if (key == "current") {
            readTime(a, h.currentTime);
        } else if (key == "baseline") {
            if (a == "current") {
                h.baseline = History::Baseline::Current;
            } else if (readSeq(a, h.baselineSeq)) {
                h.baseline = History::Baseline::Version;
            }
        } else if (key == "version") {
            fields >> b >> c;
            VersionEntry v;
            if (readSeq(a, v.seq) && readTime(b, v.time) && readNumber(c, v.size) && !h.find(v.seq)) {
                h.versions.push_back(v);
            }
        } else if (key == "event") {
            HistoryEvent e;
            const std::size_t start = line.find(' ', 6);  // after "event <time>"
            if (readTime(a, e.time) && start != std::string::npos) {
                e.text = line.substr(start + 1);
                h.events.push_back(e);
            }
        }
    }
    std::sort(h.versions.begin(), h.versions.end(),
              [](const VersionEntry& x, const VersionEntry& y) { return x.seq < y.seq; });
    // A seq at or below a listed one would be given twice.
    if (!h.versions.empty() && h.nextSeq <= h.versions.back().seq) h.nextSeq = h.versions.back().seq + 1;
    if (h.baseline == History::Baseline::Version && !h.find(h.baselineSeq)) h.baseline = History::Baseline::None;
    if (h.events.size() > kMaxHistoryEvents) h.events.erase(h.events.begin(), h.events.end() - kMaxHistoryEvents);
    return h;
}

uint32_t addReplacedVersion(History& h, uint64_t replacedSize, int64_t now) {
    const uint32_t seq = h.nextSeq++;
    h.versions.push_back(VersionEntry{seq, h.currentTime != 0 ? h.currentTime : now, replacedSize});
    if (h.baseline == History::Baseline::Current) {
        h.baseline = History::Baseline::Version;
        h.baselineSeq = seq;
    }
    h.currentTime = now;
    return seq;
}

std::vector<uint32_t> pruneVersions(History& h, std::size_t maxVersions, uint64_t maxBytes) {
    std::vector<uint32_t> dropped;
    uint64_t bytes = 0;
    for (const VersionEntry& v : h.versions) bytes += v.size;
    auto it = h.versions.begin();
    while (it != h.versions.end() && (h.versions.size() > maxVersions || bytes > maxBytes)) {
        if (h.isBaseline(it->seq)) {
            ++it;
            continue;
        }
        bytes -= it->size;
        dropped.push_back(it->seq);
        it = h.versions.erase(it);
    }
    return dropped;
}

}  // namespace hs
