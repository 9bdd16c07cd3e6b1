#include "platform/stdio_file.h"

namespace hs {

std::FILE* openForWriting(const std::string& path) { return std::fopen(path.c_str(), "wb"); }

std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

}  // namespace hs
