// Writing and reading install.log.
#include "installlog.h"

#include <cstdio>
#include <cstring>

bool writeInstallLog(const std::string& path, const std::vector<std::string>& entries) {
    FILE* file = std::fopen(path.c_str(), "wt");
    if (!file) return false;
    for (const std::string& entry : entries) std::fprintf(file, "%s\n", entry.c_str());
    return std::fclose(file) == 0;
}

bool readInstallLog(const std::string& path, std::vector<std::string>& entries) {
    FILE* file = std::fopen(path.c_str(), "rt");
    if (!file) return false;
    char szLine[INSTALL_LOG_LINE_BUFFER];
    while (std::fgets(szLine, sizeof szLine, file)) {
        size_t len = std::strlen(szLine);
        while (len > 0 && (szLine[len - 1] == '\n' || szLine[len - 1] == '\r')) szLine[--len] = '\0';
        entries.emplace_back(szLine, len);
    }
    std::fclose(file);
    return true;
}
