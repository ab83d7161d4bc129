// Finds the volumes that follow an archive's first file; naming rules in volumes.h.
#include "unrar/volumes.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Adds one to a number written in decimal digits, keeping its leading zeros: "09" gives
// "10", "99" gives "100".
void incrementDecimal(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(0, 1, '1');
}

}  // namespace

bool fileExists(const std::string& name) {
#ifdef _WIN32
    DWORD attrs = GetFileAttributesA(name.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat st;
    return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

std::vector<std::string> findVolumes(const std::string& first) {
    std::vector<std::string> volumes{first};
    std::string lower = first;
    for (auto& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower.size() < 4) return volumes;
    std::string extension = first.substr(first.size() - 4);
    // The volumes after a self-extracting first one are plain archives.
    if (lower.compare(lower.size() - 4, 4, ".exe") == 0)
        extension = extension[1] == 'E' ? ".RAR" : ".rar";
    else if (lower.compare(lower.size() - 4, 4, ".rar") != 0)
        return volumes;
    size_t digitsEnd = first.size() - 4;
    size_t digitsBegin = digitsEnd;
    while (digitsBegin > 0 && isDigit(first[digitsBegin - 1])) --digitsBegin;
    if (digitsBegin < digitsEnd && digitsBegin >= 5 && lower.compare(digitsBegin - 5, 5, ".part") == 0) {
        std::string prefix = first.substr(0, digitsBegin);
        // Counted on the digits themselves: a run of any length never overflows.
        std::string digits = first.substr(digitsBegin, digitsEnd - digitsBegin);
        for (;;) {
            incrementDecimal(digits);
            std::string next = prefix + digits + extension;
            if (!fileExists(next)) break;
            volumes.push_back(next);
        }
        return volumes;
    }
    std::string stem = first.substr(0, first.size() - 3);
    for (char letter = extension[1]; letter <= 'z'; ++letter) {
        for (int i = 0; i < 100; ++i) {
            std::string next = stem + letter + static_cast<char>('0' + i / 10) + static_cast<char>('0' + i % 10);
            if (!fileExists(next)) return volumes;
            volumes.push_back(next);
        }
    }
    return volumes;
}
