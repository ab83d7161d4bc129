// The archive handle behind the exported functions: what one open archive holds
// between the calls, and the entry whose header was read last.
#pragma once

#include "unrar/entrypath.h"
#include "unrar/rar4archive.h"
#include "unrar/rar4reader.h"
#include "unrar/rar5index.h"
#include "unrar/unrar.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

// The entry whose header was read last, in the form extraction needs.
struct Entry {
    PathString name;
    PathString linkTarget;      // symbolic link target, empty otherwise
    PathString hardlinkTarget;  // the entry a hard link or file copy repeats, empty otherwise
    unsigned redirType = 0;     // the record's RedirType: 1 symbolic link, 4 hard link, 5 file copy
    bool isFolder = false;
    bool encrypted = false;
    bool nameTooLong = false;  // the caller's record could not hold the whole name
    bool isLink = false;
    bool sizeKnown = false;
    int64_t size = 0;
    time_t modified = 0;
    // The record fields the headers give (zero where an engine does not know them).
    unsigned flags = 0;  // RHDF_ flags
    uint64_t packedSize = 0;
    unsigned hostOs = 0;
    uint32_t crc = 0;
    bool hasCrc = false;
    // A stored RAR 5 file: libarchive 3.6.2 ends it without comparing its CRC32, so
    // extraction compares it.
    bool checkCrc = false;
    unsigned unpackVersion = 0;
    unsigned method = 0;
    unsigned fileAttr = 0;
    unsigned dictionaryKb = 0;
    RarTime mtime, ctime, atime;
};

struct ArchiveHandle {
    std::unique_ptr<Rar4Reader> rar4;  // RAR 1.5-4.x archives: our own engine
    archive* reader = nullptr;         // RAR 5 archives: libarchive
    unsigned int openMode = RAR_OM_LIST;
    unsigned int opFlags = 0;
    UNRARCALLBACK callback = nullptr;
    UnrarParam userData = 0;
    PROCESSDATAPROC processDataProc = nullptr;
    bool hasPassword = false;
    std::vector<std::string> volumes;  // the archive's files, first volume first
    std::wstring arcNameWide;
    std::vector<Rar5File> rar5Files;  // RAR 5: what the headers say, in archive order
    size_t rar5Index = 0;             // the next of them to match libarchive's entry

    archive_entry* current = nullptr;
    Entry entry;
    bool headerPending = false;  // a header was read and not yet processed
    int firstHeaderResult = 0;   // libarchive's answer for the header read at open
    bool firstHeaderUsed = false;
    bool broken = false;  // the engine reported a fatal error; nothing more is read
};
