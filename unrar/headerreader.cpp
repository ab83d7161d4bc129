// Opens archives through libarchive and reads their headers into the handle's entry.
#include "unrar/headerreader.h"

#include "unrar/names.h"
#include "unrar/packedinput.h"
#include "unrar/volumes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

// Reads at most this much per block; every block is one data callback.
constexpr size_t ReadBlockSize = 256 * 1024;

// A RAR 5 archive as libarchive's input: the first volume, already open, from the
// archive's marker on (past a self-extractor's program, however large), then the
// volumes that follow it, one after the other as libarchive reads a set. Skipping
// seeks within the open volume, so that passing over an entry reads none of it.
struct VolumeInput {
    std::vector<std::string> volumes;
    size_t next = 1;  // the volume to open when the open one ends
    FILE* file = nullptr;
    uint64_t pos = 0;   // in the open volume
    uint64_t size = 0;  // of the open volume
    // Not cleared: clearing touched every page of it, which cost a small archive more
    // than reading it.
    std::unique_ptr<unsigned char[]> buffer{new (std::nothrow) unsigned char[ReadBlockSize]};
};

la_ssize_t readVolumes(archive*, void* data, const void** block) {
    VolumeInput* input = static_cast<VolumeInput*>(data);
    *block = input->buffer.get();
    while (input->file) {
        size_t n = fread(input->buffer.get(), 1, ReadBlockSize, input->file);
        input->pos += n;
        if (n > 0 || input->next >= input->volumes.size()) return static_cast<la_ssize_t>(n);
        fclose(input->file);
        // A missing volume ends the data: libarchive then reports the set as truncated.
        input->file = fopen(input->volumes[input->next++].c_str(), "rb");
        input->size = input->file ? fileSize(input->file) : 0;
        input->pos = 0;
        if (input->file && !seekTo(input->file, 0)) return -1;
    }
    return 0;
}

la_int64_t skipVolumes(archive*, void* data, la_int64_t request) {
    VolumeInput* input = static_cast<VolumeInput*>(data);
    if (!input->file || request <= 0 || input->pos >= input->size) return 0;
    // Within the open volume only: libarchive reads its way over the rest.
    uint64_t n = std::min(static_cast<uint64_t>(request), input->size - input->pos);
    if (!seekTo(input->file, input->pos + n)) return 0;
    input->pos += n;
    return static_cast<la_int64_t>(n);
}

int closeVolumes(archive*, void* data) {
    VolumeInput* input = static_cast<VolumeInput*>(data);
    if (input->file) fclose(input->file);
    delete input;
    return ARCHIVE_OK;
}

// Hands `first` (closed in any case) to libarchive, read from `offset` on.
int openVolumes(archive* reader, FILE* first, uint64_t offset, const std::vector<std::string>& volumes) {
    VolumeInput* input = new (std::nothrow) VolumeInput;
    if (!input || !input->buffer) {
        delete input;
        fclose(first);
        return ARCHIVE_FATAL;
    }
    input->volumes = volumes;
    input->file = first;
    input->size = fileSize(first);
    input->pos = offset;
    if (!seekTo(first, offset)) {
        closeVolumes(reader, input);
        return ARCHIVE_FATAL;
    }
    return archive_read_open2(reader, input, nullptr, readVolumes, skipVolumes, closeVolumes);
}

void describeEntry(ArchiveHandle* h) {
    archive_entry* e = h->current;
    Entry& entry = h->entry;
    entry = Entry();
    entry.name = entryText(archive_entry_pathname_utf8(e), archive_entry_pathname_w(e), archive_entry_pathname(e));
    // Folder names may come with a trailing separator; the record names the folder.
    while (entry.name.size() > 1 && (entry.name.back() == '/' || entry.name.back() == '\\')) entry.name.pop_back();
    entry.isFolder = archive_entry_filetype(e) == AE_IFDIR;
    if (archive_entry_filetype(e) == AE_IFLNK)
        entry.linkTarget =
            entryText(archive_entry_symlink_utf8(e), archive_entry_symlink_w(e), archive_entry_symlink(e));
    entry.hardlinkTarget =
        entryText(archive_entry_hardlink_utf8(e), archive_entry_hardlink_w(e), archive_entry_hardlink(e));
    entry.encrypted = archive_entry_is_encrypted(e) != 0;
    entry.sizeKnown = archive_entry_size_is_set(e) != 0;
    entry.size = entry.sizeKnown && !entry.isFolder ? archive_entry_size(e) : 0;
    if (entry.size < 0) entry.size = 0;
    entry.modified = archive_entry_mtime_is_set(e) ? archive_entry_mtime(e) : 0;
    entry.isLink = archive_entry_filetype(e) == AE_IFLNK;
    entry.redirType = entry.isLink ? 1 : !entry.hardlinkTarget.empty() ? 4 : 0;
    entry.flags = (entry.isFolder ? RHDF_DIRECTORY : 0) | (entry.encrypted ? RHDF_ENCRYPTED : 0);
    entry.unpackVersion = 50;
    entry.fileAttr = fileAttributes(e, entry.isFolder);
    auto timeOf = [](bool set, time_t seconds, long nanoseconds) {
        RarTime t;
        t.set = set;
        t.seconds = seconds;
        t.nanoseconds = nanoseconds;
        return t;
    };
    entry.mtime = timeOf(archive_entry_mtime_is_set(e), archive_entry_mtime(e), archive_entry_mtime_nsec(e));
    entry.ctime = timeOf(archive_entry_ctime_is_set(e), archive_entry_ctime(e), archive_entry_ctime_nsec(e));
    entry.atime = timeOf(archive_entry_atime_is_set(e), archive_entry_atime(e), archive_entry_atime_nsec(e));
}

// Adds what the RAR 5 headers say and libarchive does not: the CRC32, encryption (an
// encrypted entry is then refused without its data being read, so the walk goes on),
// and file copies, which are extracted like hard links from the file they repeat.
void addRar5Facts(ArchiveHandle* h) {
    if (h->rar5Index >= h->rar5Files.size()) return;
    const Rar5File& file = h->rar5Files[h->rar5Index];
    Entry& entry = h->entry;
    if (pathFromUtf8(file.name) != entry.name) return;  // out of step: claim nothing
    ++h->rar5Index;
    entry.crc = file.crc;
    entry.hasCrc = file.hasCrc;
    entry.checkCrc = file.stored && file.hasCrc && !entry.isFolder && !file.isCopy;
    if (file.encrypted) {
        entry.encrypted = true;
        entry.flags |= RHDF_ENCRYPTED;
    }
    if (file.isCopy) {
        entry.hardlinkTarget = pathFromUtf8(file.copyOf);
        entry.redirType = 5;
        entry.size = static_cast<int64_t>(file.unpackedSize);
    }
}

// Windows attributes (natively a Unix mode) of a RAR 4.x file, whichever system packed it.
unsigned rar4Attributes(const Rar4File& file) {
    bool unixHost = file.hostOs == 3 || file.hostOs == 5;
#ifdef _WIN32
    if (!unixHost) return file.attributes | (file.isFolder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    unsigned attrs = file.isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(file.attributes & 0222)) attrs |= FILE_ATTRIBUTE_READONLY;
    return attrs;
#else
    if (unixHost) return file.attributes;
    unsigned mode = file.isFolder ? S_IFDIR | 0755 : S_IFREG | 0644;
    if (file.attributes & 0x01) mode &= ~0222u;  // read-only
    return mode;
#endif
}

void describeRar4Entry(ArchiveHandle* h) {
    const Rar4File& file = h->rar4->current();
    Entry& entry = h->entry;
    entry = Entry();
    entry.name = file.name;
    entry.isFolder = file.isFolder;
    entry.isLink = file.isSymlink;
    entry.redirType = file.isSymlink ? 1 : 0;
    entry.encrypted = file.encrypted;
    entry.sizeKnown = true;
    entry.size = file.isFolder ? 0 : static_cast<int64_t>(file.unpackedSize);
    entry.modified = file.mtime.set ? file.mtime.seconds : 0;
    entry.flags =
        (file.isFolder ? RHDF_DIRECTORY : 0) | (file.encrypted ? RHDF_ENCRYPTED : 0) | (file.solid ? RHDF_SOLID : 0);
    entry.packedSize = file.packedSize;
    entry.hostOs = file.hostOs;
    entry.crc = file.crc;
    entry.hasCrc = !file.isFolder;
    entry.unpackVersion = file.unpackVersion;
    entry.method = file.method;
    entry.fileAttr = rar4Attributes(file);
    entry.dictionaryKb = file.dictionaryKb;
    entry.mtime = file.mtime;
    entry.ctime = file.ctime;
    entry.atime = file.atime;
    if (file.isSymlink) {
        // The link's target is its data; a damaged or unreadable one leaves the link
        // without a target, which extraction refuses.
        std::string target;
        if (h->rar4->readSmall(target, 4096))
            entry.linkTarget = isUtf8(target) ? pathFromUtf8(target) : pathFromLegacy(target);
    }
}

}  // namespace

bool mentionsEncryption(archive* reader) {
    const char* message = archive_error_string(reader);
    return archive_read_has_encrypted_entries(reader) > 0 ||
           (message && (strstr(message, "ncrypt") || strstr(message, "assword")));
}

ArchiveHandle* openArchive(const std::string& arcName, const std::wstring& arcNameWide, unsigned int mode,
                           unsigned int& result) {
    [[maybe_unused]] Utf8Names names;
    if (arcName.empty() || !fileExists(arcName)) {
        result = ERAR_EOPEN;
        return nullptr;
    }
    ArchiveHandle* h = new (std::nothrow) ArchiveHandle;
    if (!h) {
        result = ERAR_NO_MEMORY;
        return nullptr;
    }
    h->openMode = mode;
    h->arcNameWide = arcNameWide;
    h->volumes = findVolumes(arcName);
    // The first volume is opened once: for the format, RAR 5 facts and libarchive.
    FILE* first = fopen(arcName.c_str(), "rb");
    if (!first) {
        delete h;
        result = ERAR_EOPEN;
        return nullptr;
    }
    int version = 0;
    int64_t marker = findRarMarker(first, version);
    if (marker >= 0 && version == 4) {
        fclose(first);
        h->rar4.reset(new (std::nothrow) Rar4Reader);
        int r = h->rar4 ? h->rar4->open(h->volumes) : ERAR_NO_MEMORY;
        if (r != ERAR_SUCCESS) {
            delete h;
            result = static_cast<unsigned int>(r);
            return nullptr;
        }
        h->volumes = h->rar4->archive().volumes;
        result = ERAR_SUCCESS;
        return h;
    }
    // Neither RAR 4 (above) nor RAR 5: libarchive would read on into the next volume
    // as if the files were one stream, and a first volume that is no archive at all
    // (an empty file, say) leads it into freed memory.
    if (marker < 0) {
        fclose(first);
        delete h;
        result = ERAR_BAD_ARCHIVE;
        return nullptr;
    }
    h->reader = archive_read_new();
    if (!h->reader) {
        fclose(first);
        delete h;
        result = ERAR_NO_MEMORY;
        return nullptr;
    }
    archive_read_support_format_rar(h->reader);
    archive_read_support_format_rar5(h->reader);
    // RAR 4.x names without the Unicode flag come from Unix packers these days, in
    // UTF-8; the default (the code page of the reading system) would garble them.
    archive_read_set_format_option(h->reader, "rar", "hdrcharset", "UTF-8");
    h->rar5Files = readRar5Files(first, static_cast<uint64_t>(marker), h->volumes);
    if (openVolumes(h->reader, first, static_cast<uint64_t>(marker), h->volumes) != ARCHIVE_OK) {
        // The file exists (checked above), so it is not a RAR archive libarchive knows.
        result = ERAR_BAD_ARCHIVE;
        archive_read_free(h->reader);
        delete h;
        return nullptr;
    }
    // The first header is read now so that an archive whose headers are encrypted or
    // broken from the start fails to open, as callers of the interface expect.
    h->firstHeaderResult = archive_read_next_header(h->reader, &h->current);
    if (h->firstHeaderResult < ARCHIVE_WARN) {
        result = mentionsEncryption(h->reader) ? ERAR_MISSING_PASSWORD : ERAR_BAD_DATA;
        archive_read_free(h->reader);
        delete h;
        return nullptr;
    }
    result = ERAR_SUCCESS;
    return h;
}

unsigned int fileAttributes(archive_entry* e, bool isFolder) {
#ifdef _WIN32
    unsigned int attrs = isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(archive_entry_perm(e) & 0222)) attrs |= FILE_ATTRIBUTE_READONLY;
    return attrs;
#else
    (void)isFolder;
    return archive_entry_mode(e);
#endif
}

unsigned int dosTime(time_t t) {
    if (t <= 0) return 0;
    struct tm local;
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0) return 0;
#else
    if (!localtime_r(&t, &local)) return 0;
#endif
    // Seven bits of year from 1980: a time outside 1980-2107 has no DOS form (and
    // shifting a larger year would overflow).
    if (local.tm_year < 80 || local.tm_year > 80 + 127) return 0;
    return static_cast<unsigned int>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 | local.tm_mday << 16 |
                                     local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

uint64_t fileTimeTicks(time_t t, long nanoseconds) {
    if (t == 0 && nanoseconds == 0) return 0;
    return (static_cast<uint64_t>(t) + 11644473600ULL) * 10000000ULL + static_cast<uint64_t>(nanoseconds / 100);
}

int nextHeader(ArchiveHandle* h) {
    if (h->broken) return ERAR_BAD_DATA;
    if (h->rar4) {
        int r = h->rar4->next();
        h->headerPending = r == ERAR_SUCCESS;
        if (r == ERAR_BAD_DATA) h->broken = true;
        if (r == ERAR_SUCCESS) describeRar4Entry(h);
        return r;
    }
    if (!h->reader) return ERAR_BAD_DATA;
    [[maybe_unused]] Utf8Names names;
    int r;
    if (!h->firstHeaderUsed) {
        h->firstHeaderUsed = true;
        r = h->firstHeaderResult;
    } else {
        r = archive_read_next_header(h->reader, &h->current);
    }
    if (r == ARCHIVE_EOF) {
        h->headerPending = false;
        return ERAR_END_ARCHIVE;
    }
    if (r < ARCHIVE_WARN) {
        h->broken = true;
        h->headerPending = false;
        if (mentionsEncryption(h->reader)) return h->hasPassword ? ERAR_UNKNOWN_FORMAT : ERAR_MISSING_PASSWORD;
        return ERAR_BAD_DATA;
    }
    describeEntry(h);
    addRar5Facts(h);
    h->headerPending = true;
    return ERAR_SUCCESS;
}
