// Fuzz target: any bytes as install.log: the uninstaller's reading and classifying
// of every entry, and a log written from what was read reads back the same.
#include "installlog.h"
#include "support/scratchfolder.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch("installlog");
    const std::string path = scratch.write("install.log", data, size);
    std::vector<std::string> entries;
    if (!readInstallLog(path, entries)) fuzzFailure("a written log did not read");
    bool writable = true;
    for (const std::string& entry : entries) {
        (void)classifyLogEntry(entry);
        if (entry.size() >= INSTALL_LOG_LINE_BUFFER - 1 || entry.find_first_of(std::string("\r\n\0", 3)) != entry.npos)
            writable = false;
    }
    // Entries that fit a line and hold no line break survive writing and reading.
    if (!writable) return 0;
    const std::string copy = (scratch.root() / "copy.log").string();
    std::vector<std::string> again;
    if (!writeInstallLog(copy, entries) || !readInstallLog(copy, again)) fuzzFailure("the copy could not be made");
    if (again != entries) fuzzFailure("the log changed on its way through writing and reading");
    return 0;
}
