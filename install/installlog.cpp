// Writing, reading and classifying the entries of install.log.
#include "installlog.h"

#include <cstdio>

namespace {

// Longest line, line feed included, that one read of the line buffer takes.
constexpr size_t MAX_LINE_READ = INSTALL_LOG_LINE_BUFFER - 1;

bool holdsLineBreakOrNul(const std::string& entry) {
    return entry.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

void appendEntry(std::string& line, std::vector<std::string>& entries) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    entries.push_back(line);
    line.clear();
}

bool climbsOut(const std::string& entry) {
    size_t start = 0;
    while (start <= entry.size()) {
        size_t end = entry.find_first_of("\\/", start);
        if (end == std::string::npos) end = entry.size();
        int dots = 0;
        bool onlyDotsAndSpaces = true;
        for (size_t i = start; i < end; ++i) {
            if (entry[i] == '.')
                ++dots;
            else if (entry[i] != ' ')
                onlyDotsAndSpaces = false;
        }
        if (onlyDotsAndSpaces && dots >= 2) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

bool writeInstallLog(const std::string& path, const std::vector<std::string>& entries) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = true;
    for (const std::string& entry : entries) {
        if (holdsLineBreakOrNul(entry)) continue;
        written =
            std::fwrite(entry.data(), 1, entry.size(), file) == entry.size() && std::fwrite("\r\n", 1, 2, file) == 2;
        if (!written) break;
    }
    if (std::fclose(file) != 0) written = false;
    if (!written) std::remove(path.c_str());
    return written;
}

bool readInstallLog(const std::string& path, std::vector<std::string>& entries) {
    entries.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string line;
    int c;
    while ((c = std::getc(file)) != EOF) {
        if (c == '\r') {
            // A text stream hands CR LF over as a single line feed.
            int next = std::getc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, file);
        }
        line.push_back(static_cast<char>(c));
        if (c == '\n' || line.size() == MAX_LINE_READ) appendEntry(line, entries);
    }
    if (!line.empty()) appendEntry(line, entries);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) entries.clear();
    return !failed;
}

LogEntryKind classifyLogEntry(const std::string& entry) {
    if (entry.find('\0') != std::string::npos) return LogEntryKind::Unsafe;
    if (entry.size() >= 4 && entry[1] == ':') return LogEntryKind::Absolute;
    return climbsOut(entry) ? LogEntryKind::Unsafe : LogEntryKind::Relative;
}
