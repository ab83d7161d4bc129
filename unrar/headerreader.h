// Opening an archive and reading its headers: the handle's libarchive reader, the
// entry it describes, and the record fields derived from it.
#pragma once

#include "unrar/archivehandle.h"

#include <cstdint>
#include <ctime>
#include <string>

// Opens the archive (and the volumes that follow it) and reads its first header;
// null with the error code in `result` when it cannot be read.
ArchiveHandle* openArchive(const std::string& arcName, const std::wstring& arcNameWide, unsigned int mode,
                           unsigned int& result);

// Advances to the next header; ERAR_SUCCESS with h->entry filled, or the error code.
int nextHeader(ArchiveHandle* h);

// libarchive states encryption only in its messages and its encrypted-entries probe.
bool mentionsEncryption(archive* reader);

// Windows file attributes on Windows, the Unix mode natively.
unsigned int fileAttributes(archive_entry* e, bool isFolder);
// MS-DOS date and time in local time, as the records carry it.
unsigned int dosTime(time_t t);
// 100-nanosecond ticks since 1601 (a Windows FILETIME); 0 for an unset time.
uint64_t fileTimeTicks(time_t t, long nanoseconds);
