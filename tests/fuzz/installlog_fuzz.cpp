// Fuzz target: any bytes as install.log: the uninstaller's reading, the removal it
// plans for every entry, and a log written from what was read reads back the same.
#include "installlog.h"
#include "support/scratchfolder.h"

#include <string>
#include <vector>

namespace {

// A path as Windows compares it: ASCII letters in one case, one backslash for any
// run of separators, none at the end.
std::string comparable(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == '\\' && !out.empty() && out.back() == '\\') continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

// Below one of the places setup writes to, and without a component that Windows
// would read as "..". Of the places only the installation folder itself may go
// (an empty or "." entry names it; it is removed only when empty).
bool staysInPlace(const std::string& path, const InstallPlaces& places) {
    const std::string target = comparable(path);
    size_t start = 0;
    while (start <= target.size()) {
        size_t end = target.find('\\', start);
        if (end == std::string::npos) end = target.size();
        const std::string part = target.substr(start, end - start);
        if (part.find_first_not_of(". ") == std::string::npos && part.find("..") != std::string::npos) return false;
        start = end + 1;
    }
    if (target == comparable(places.installDir)) return true;
    for (const std::string* place : {&places.installDir, &places.desktop, &places.programs}) {
        const std::string prefix = comparable(*place) + "\\";
        if (target.size() > prefix.size() && target.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch("installlog");
    static const InstallPlaces places{"C:\\Games\\Quillmark Demo", "C:\\Users\\Ana\\Desktop",
                                      "C:\\Users\\Ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"};
    const std::string path = scratch.write("install.log", data, size);
    std::vector<std::string> entries;
    size_t skipped = 0;
    if (!readInstallLog(path, entries, &skipped)) fuzzFailure("a written log did not read");
    bool writable = true;
    for (const std::string& entry : entries) {
        if (entry.size() > INSTALL_LOG_LONGEST_LINE) fuzzFailure("an entry longer than a line");
        const EntryRemoval removal = planRemoval(entry, places);
        if (!removal.path.empty() && !staysInPlace(removal.path, places))
            fuzzFailure("a removal outside the places setup writes to: " + removal.path);
        for (const std::string& folder : removal.enclosingFolders)
            if (!staysInPlace(folder, places)) fuzzFailure("a folder removal outside the places: " + folder);
        if (entry.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) writable = false;
    }
    // Entries without line breaks survive writing and reading.
    if (!writable) return 0;
    const std::string copy = (scratch.root() / "copy.log").string();
    std::vector<std::string> again;
    if (!writeInstallLog(copy, entries) || !readInstallLog(copy, again)) fuzzFailure("the copy could not be made");
    if (again != entries) fuzzFailure("the log changed on its way through writing and reading");
    return 0;
}
