// What every check of a medium shares: the report it adds its findings to, and
// the helpers for reading the medium's files. Each problem names the file (and
// the key or picture), says what is wrong and what to do, in words for the
// publisher.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct MediumReport {
    std::vector<std::string> problems;  // each makes the medium unusable
    std::vector<std::string> warnings;  // most likely a mistake, but setup copes
    std::vector<std::string> notes;     // worth knowing, not wrong

    bool ok() const { return problems.empty(); }
};

// Files larger than this are no picture or sound cue of an installer.
constexpr uintmax_t MaxMediaFileBytes = 64u << 20;

std::string inQuotes(const std::string& text);

// The characters that end a key in a line of the string table.
inline bool isKeySeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The whole file as bytes; false when it cannot be read.
bool readWholeFile(const std::filesystem::path& path, std::string& bytes);

// A file of the medium as the publisher knows it: "Media\x.tga" as "Media/x.tga".
std::string shownName(const char* mediumFile);
