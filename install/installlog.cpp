// Writing, reading and planning the removal of the entries of install.log.
#include "installlog.h"

#include <cstdio>

namespace {

bool holdsLineBreakOrNul(const std::string& entry) {
    return entry.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// A character as folder names are compared: ASCII letters in one case, "/" as "\".
char folded(char c) {
    if (c == '/') return '\\';
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c;
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::string tail(suffix);
    if (text.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (folded(text[text.size() - tail.size() + i]) != folded(tail[i])) return false;
    return true;
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

// When `path` is `folder` itself or lies below it, the length of the part that
// names the folder; npos otherwise (and always for an empty folder).
size_t folderPrefix(const std::string& path, std::string folder) {
    while (folder.size() > 3 && isSeparator(folder.back())) folder.pop_back();
    if (folder.empty() || path.size() < folder.size()) return std::string::npos;
    for (size_t i = 0; i < folder.size(); ++i)
        if (folded(path[i]) != folded(folder[i])) return std::string::npos;
    // "C:\" ends with its separator; any other folder must be followed by one.
    bool boundary = path.size() == folder.size() || isSeparator(folder.back()) || isSeparator(path[folder.size()]);
    return boundary ? folder.size() : std::string::npos;
}

// True when something other than separators follows the first `prefix` characters.
bool namesSomethingBelow(const std::string& path, size_t prefix) {
    for (size_t i = prefix; i < path.size(); ++i)
        if (!isSeparator(path[i])) return true;
    return false;
}

// The folders that hold `path` below its first `prefix` characters, deepest
// first; a run of separators counts once.
std::vector<std::string> foldersBetween(std::string path, size_t prefix, const std::string& joinedTo) {
    while (!path.empty() && isSeparator(path.back())) path.pop_back();
    std::vector<std::string> folders;
    for (size_t sep = path.find_last_of("\\/"); sep != std::string::npos && sep > prefix;
         sep = path.find_last_of("\\/", sep - 1)) {
        if (!isSeparator(path[sep - 1])) folders.push_back(joinedTo + path.substr(0, sep));
    }
    return folders;
}

EntryRemoval planAbsolute(const std::string& entry, const InstallPlaces& places) {
    // A second colon names a stream of a file, which setup never writes.
    if (entry.find(':', 2) != std::string::npos) return {};
    size_t prefix = folderPrefix(entry, places.installDir);
    if (prefix != std::string::npos) return {entry, foldersBetween(entry, prefix, "")};
    const bool folder = isSeparator(entry.back());
    const bool shortcut = endsWith(entry, ".lnk") || endsWith(entry, ".url");
    if (!folder && !shortcut) return {};
    for (const std::string* place : {&places.desktop, &places.programs}) {
        prefix = folderPrefix(entry, *place);
        if (prefix != std::string::npos && namesSomethingBelow(entry, prefix))
            return {entry, foldersBetween(entry, prefix, "")};
    }
    return {};
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
    // Some C runtimes lose a failed flush inside fclose; an explicit one reports it.
    if (std::fflush(file) != 0 || std::ferror(file)) written = false;
    if (std::fclose(file) != 0) written = false;
    if (!written) std::remove(path.c_str());
    return written;
}

bool readInstallLog(const std::string& path, std::vector<std::string>& entries, size_t* skippedLines) {
    entries.clear();
    if (skippedLines) *skippedLines = 0;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    size_t skipped = 0;
    std::string line;
    // CR characters are held back until a character follows them: trailing ones
    // belong to the line end. A line found too long is no longer stored.
    size_t pendingCr = 0;
    bool started = false, tooLong = false;
    auto endLine = [&] {
        if (tooLong)
            ++skipped;
        else
            entries.push_back(line);
        line.clear();
        pendingCr = 0;
        started = tooLong = false;
    };
    int c;
    while ((c = std::getc(file)) != EOF) {
        if (c == '\n') {
            endLine();
            continue;
        }
        started = true;
        if (c == '\r') {
            if (!tooLong) ++pendingCr;
            continue;
        }
        if (tooLong) continue;
        if (line.size() + pendingCr + 1 > INSTALL_LOG_LONGEST_LINE) {
            tooLong = true;
            line.clear();
            continue;
        }
        line.append(pendingCr, '\r');
        pendingCr = 0;
        line.push_back(static_cast<char>(c));
    }
    if (started) endLine();
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        entries.clear();
        skipped = 0;
    }
    if (skippedLines) *skippedLines = skipped;
    return !failed;
}

EntryRemoval planRemoval(const std::string& entry, const InstallPlaces& places) {
    if (entry.find('\0') != std::string::npos || climbsOut(entry)) return {};
    if (entry.size() >= 4 && entry[1] == ':') return planAbsolute(entry, places);
    const std::string joinedTo = places.installDir + "//";
    return {joinedTo + entry, foldersBetween(entry, 0, joinedTo)};
}
