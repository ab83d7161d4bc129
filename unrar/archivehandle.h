// The archive handle behind the exported functions: what one open archive holds
// between the calls, and the entry whose header was read last.
#pragma once

#include "unrar/entrypath.h"
#include "unrar/rar4index.h"
#include "unrar/unrar.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// The entry whose header was read last, in the form extraction needs.
struct Entry {
    PathString name;
    PathString linkTarget;      // symbolic link target, empty otherwise
    PathString hardlinkTarget;  // hard-link target entry, empty otherwise
    bool isFolder = false;
    bool encrypted = false;
    bool nameTooLong = false;  // the caller's record could not hold the whole name
    bool sizeKnown = false;
    int64_t size = 0;
    bool checkCrc = false;               // a stored RAR 4.x file whose CRC32 libarchive leaves unchecked
    const Rar4Entry* headers = nullptr;  // RAR 4.x: what the file header says
    time_t modified = 0;
};

struct ArchiveHandle {
    archive* reader = nullptr;
    unsigned int openMode = RAR_OM_LIST;
    unsigned int opFlags = 0;
    UNRARCALLBACK callback = nullptr;
    UnrarParam userData = 0;
    PROCESSDATAPROC processDataProc = nullptr;
    bool hasPassword = false;
    std::vector<std::string> volumes;  // the archive's files, first volume first
    std::wstring arcNameWide;
    std::vector<Rar4Entry> rar4Entries;  // RAR 4.x only, in archive order
    size_t entryIndex = 0;               // entries read so far

    archive_entry* current = nullptr;
    Entry entry;
    bool headerPending = false;  // a header was read and not yet processed
    int firstHeaderResult = 0;   // libarchive's answer for the header read at open
    bool firstHeaderUsed = false;
    bool broken = false;  // libarchive reported a fatal error; nothing more is read
};
