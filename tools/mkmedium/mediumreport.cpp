// The helpers that every check of a medium shares.
#include "tools/mkmedium/mediumreport.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

bool readWholeFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return !in.bad();
}

std::string shownName(const char* mediumFile) {
    std::string name = mediumFile;
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}
