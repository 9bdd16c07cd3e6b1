#include "catalogue/settings.h"

#include <cstdio>

#include "platform/stdio_file.h"

namespace hs {

namespace {

constexpr const char* kBalloonsKey = "change-balloons";

// At most this much of the file is read: it holds a few short lines.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

}  // namespace

ProgramSettings parseSettings(const std::string& text, std::vector<std::string>* keep) {
    ProgramSettings settings;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        const std::string key = line.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        if (key == kBalloonsKey && (value == "0" || value == "1")) {
            settings.changeBalloons = value == "1";
        } else if (keep != nullptr && key != kBalloonsKey) {
            keep->push_back(line);
        }
    }
    return settings;
}

std::string formatSettings(const ProgramSettings& settings, const std::vector<std::string>& keep) {
    std::string text = std::string(kBalloonsKey) + "=" + (settings.changeBalloons ? "1" : "0") + "\r\n";
    for (const std::string& line : keep) text += line + "\r\n";
    return text;
}

void SettingsFile::read() {
    settings_ = ProgramSettings();
    unknown_.clear();
    StdioFile f(openForReading(path_));
    if (!f) return;
    std::string text(kMaxSettingsBytes, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), f.get()));
    settings_ = parseSettings(text, &unknown_);
}

bool SettingsFile::write() {
    const std::string text = formatSettings(settings_, unknown_);
    StdioFile f(openForWriting(path_));
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
    return f.close() && written;
}

}  // namespace hs
