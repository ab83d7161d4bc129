// Registering the finished installation in Settings > Apps, so that the player
// finds the game there and can remove it from there.
#include <cctype>
#include <cstdio>
#include <set>

#include "installapp.h"
#include "installlog.h"
#include "productidentity.h"
#include "resstringtable.h"
#include "uninstallentry.h"

namespace {

// The size of the files that the log lists inside the installation folder, in
// KB rounded up: what the game takes as installed. Each file counts once,
// however often and in whichever spelling the log names it.
unsigned long installedSizeKb(const std::string& installDir, const std::vector<std::string>& entries) {
    const std::string folder = installDir + "\\";
    // One spelling of a path: lower case, one backslash between folders.
    auto folded = [](const std::string& path) {
        std::string spelling;
        for (char c : path) {
            const bool separator = c == '/' || c == '\\';
            if (separator && !spelling.empty() && spelling.back() == '\\') continue;
            spelling += separator ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return spelling;
    };
    std::set<std::string> counted;
    unsigned long long bytes = 0;
    const InstallPlaces places{installDir, std::string(), std::string()};
    for (const std::string& entry : entries) {
        // Where the uninstaller would look for it, when it is inside the folder.
        const std::string path = planRemoval(entry, places).path;
        if (path.empty() || folded(path).rfind(folded(folder), 0) != 0 || !counted.insert(folded(path)).second)
            continue;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        bytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    const unsigned long long kb = (bytes + 1023) / 1024;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<unsigned long>(kb);
}

std::string today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char szDate[16];
    std::snprintf(szDate, sizeof szDate, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return szDate;
}

}  // namespace

void InstallApp::registerUninstallEntry() {
    UninstallEntry entry;
    entry.displayName = productIdentity().name;
    entry.displayIcon = gameExePath;
    entry.uninstallString = "\"" + installDir + "\\uninstall.exe\"";
    entry.installLocation = installDir;
    entry.publisher = productIdentity().publisher;
    entry.urlInfoAbout = stringTable.text("URL_HOMEPAGE");
    entry.helpLink = stringTable.text("URL_SUPPORT");
    entry.estimatedSizeKb = installedSizeKb(installDir, logEntries);
    entry.installDate = today();
    writeUninstallEntry(entry);
}
