// The exported functions of unrar.dll over libarchive's RAR and RAR5 readers.
//
// Sections: text conversions; the archive handle; volumes; opening; reading headers;
// processing entries (skip, test, extract); the exports.
//
// Names: libarchive gives wide names on Windows and UTF-8 natively. Records carry the
// name in the OEM code page on Windows (UTF-8 natively) and as wide text in the Ex
// records; files are created from the wide (Windows) or UTF-8 (native) name.
#include "unrar/unrar.h"

#include "unrar/entrypath.h"
#include "unrar/outputfs.h"
#include "unrar/rar4index.h"
#include "unrar/rarcrc.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#ifndef _WIN32
#include <clocale>
#include <sys/stat.h>
#endif

namespace {

// ---- Text conversions ------------------------------------------------------------

#ifdef _WIN32

std::wstring fromCodePage(const char* text, UINT codePage) {
    if (!text || !*text) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string toCodePage(const std::wstring& text, UINT codePage) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

// A path given to the library in the OEM code page, as the interface prescribes.
PathString pathFromOem(const char* text) { return fromCodePage(text, CP_OEMCP); }
PathString pathFromWide(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }
// Windows callers get '\' between the components, as from any Windows archiver.
std::wstring wideName(const PathString& name) {
    std::wstring windowsName = name;
    for (auto& c : windowsName)
        if (c == L'/') c = L'\\';
    return windowsName;
}
std::string recordName(const PathString& name) { return toCodePage(wideName(name), CP_OEMCP); }

#else

// Natively wchar_t holds whole code points; names are UTF-8 bytes.
std::wstring utf8ToWide(const std::string& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) {
            out += L'?';
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += static_cast<wchar_t>(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string wideToUtf8(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        uint32_t cp = static_cast<uint32_t>(*text);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// libarchive turns archive names into the calling thread's character set; natively
// that is made UTF-8 for the duration of each call, whatever the process's locale.
class Utf8Names {
public:
    Utf8Names() {
        static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        previous_ = utf8 ? uselocale(utf8) : static_cast<locale_t>(0);
    }
    ~Utf8Names() {
        if (previous_) uselocale(previous_);
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t previous_;
};

PathString pathFromOem(const char* text) { return text ? std::string(text) : std::string(); }
PathString pathFromWide(const wchar_t* text) { return wideToUtf8(text); }
std::string recordName(const PathString& name) { return name; }
std::wstring wideName(const PathString& name) { return utf8ToWide(name); }

#endif

#ifdef _WIN32
// Windows names come from libarchive as wide text; no locale is involved.
struct Utf8Names {};
#endif

// Copies text into a fixed record field; false when it had to be cut short.
template <typename Char>
bool copyField(Char* field, size_t capacity, const std::basic_string<Char>& text) {
    size_t n = text.size() < capacity ? text.size() : capacity - 1;
    for (size_t i = 0; i < n; ++i) field[i] = text[i];
    field[n] = 0;
    return n == text.size();
}

// ---- The archive handle ------------------------------------------------------------

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

// ---- Volumes -------------------------------------------------------------------------

bool fileExists(const std::string& name) {
#ifdef _WIN32
    DWORD attrs = GetFileAttributesA(name.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat st;
    return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The names of the volumes that follow `first` and exist: "name.part1.rar",
// "name.part2.rar", ... (keeping the digit count), or "name.rar", "name.r00",
// "name.r01", ... "name.r99", "name.s00", ...
std::vector<std::string> findVolumes(const std::string& first) {
    std::vector<std::string> volumes{first};
    std::string lower = first;
    for (auto& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".rar") != 0) return volumes;
    size_t digitsEnd = first.size() - 4;
    size_t digitsBegin = digitsEnd;
    while (digitsBegin > 0 && isDigit(first[digitsBegin - 1])) --digitsBegin;
    if (digitsBegin < digitsEnd && digitsBegin >= 5 && lower.compare(digitsBegin - 5, 5, ".part") == 0) {
        std::string prefix = first.substr(0, digitsBegin);
        std::string suffix = first.substr(digitsEnd);
        size_t width = digitsEnd - digitsBegin;
        unsigned long number = std::stoul(first.substr(digitsBegin, width));
        for (;;) {
            std::string digits = std::to_string(++number);
            if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
            std::string next = prefix + digits + suffix;
            if (!fileExists(next)) break;
            volumes.push_back(next);
        }
        return volumes;
    }
    std::string stem = first.substr(0, first.size() - 3);
    for (char letter = first[first.size() - 3] == 'R' ? 'R' : 'r'; letter <= 'z'; ++letter) {
        for (int i = 0; i < 100; ++i) {
            std::string next = stem + letter + static_cast<char>('0' + i / 10) + static_cast<char>('0' + i % 10);
            if (!fileExists(next)) return volumes;
            volumes.push_back(next);
        }
    }
    return volumes;
}

// ---- Opening -------------------------------------------------------------------------

// libarchive states encryption only in its messages and its encrypted-entries probe.
bool mentionsEncryption(archive* reader) {
    const char* message = archive_error_string(reader);
    return archive_read_has_encrypted_entries(reader) > 0 ||
           (message && (strstr(message, "ncrypt") || strstr(message, "assword")));
}

// Reads at most this much per block; every block is one data callback.
constexpr size_t ReadBlockSize = 256 * 1024;

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
    h->reader = archive_read_new();
    if (!h->reader) {
        delete h;
        result = ERAR_NO_MEMORY;
        return nullptr;
    }
    archive_read_support_format_rar(h->reader);
    archive_read_support_format_rar5(h->reader);
    // RAR 4.x names without the Unicode flag come from Unix packers these days, in
    // UTF-8; the default (the code page of the reading system) would garble them.
    archive_read_set_format_option(h->reader, "rar", "hdrcharset", "UTF-8");
    std::vector<const char*> volumeNames;
    for (const auto& v : h->volumes) volumeNames.push_back(v.c_str());
    volumeNames.push_back(nullptr);
    if (archive_read_open_filenames(h->reader, volumeNames.data(), ReadBlockSize) != ARCHIVE_OK) {
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
    if (archive_format(h->reader) == ARCHIVE_FORMAT_RAR) h->rar4Entries = readRar4Entries(h->volumes);
    result = ERAR_SUCCESS;
    return h;
}

// ---- Reading headers -----------------------------------------------------------------

// libarchive keeps a name in whichever form the format gave it, and on Windows it
// offers no wide form of a name it only has as UTF-8 (every RAR5 name): take the best
// form there is. `mbs` is the name in the reading system's code page.
PathString entryText(const char* utf8, const wchar_t* wide, const char* mbs) {
#ifdef _WIN32
    if (wide && *wide) return std::wstring(wide);
    if (utf8 && *utf8) return fromCodePage(utf8, CP_UTF8);
    return fromCodePage(mbs, CP_ACP);
#else
    (void)wide;
    if (utf8 && *utf8) return std::string(utf8);
    return mbs ? std::string(mbs) : std::string();
#endif
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
}

// Windows file attributes on Windows, the Unix mode natively.
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

// MS-DOS date and time in local time, as the records carry it.
unsigned int dosTime(time_t t) {
    if (t <= 0) return 0;
    struct tm local;
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0) return 0;
#else
    if (!localtime_r(&t, &local)) return 0;
#endif
    if (local.tm_year < 80) return 0;
    return static_cast<unsigned int>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 | local.tm_mday << 16 |
                                     local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

uint64_t fileTimeTicks(time_t t, long nanoseconds) {
    if (t == 0 && nanoseconds == 0) return 0;
    return (static_cast<uint64_t>(t) + 11644473600ULL) * 10000000ULL + static_cast<uint64_t>(nanoseconds / 100);
}

// Advances to the next header; ERAR_SUCCESS with h->entry filled, or the error code.
int nextHeader(ArchiveHandle* h) {
    if (!h->reader || h->broken) return ERAR_BAD_DATA;
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
    size_t index = h->entryIndex++;
    // Sizes must agree, or the headers and libarchive's entries are out of step.
    if (index < h->rar4Entries.size() && h->rar4Entries[index].unpackedSize == static_cast<uint64_t>(h->entry.size)) {
        h->entry.headers = &h->rar4Entries[index];
        h->entry.checkCrc = h->entry.headers->method == 0x30 && !h->entry.isFolder && h->entry.sizeKnown;
    }
    h->headerPending = true;
    return ERAR_SUCCESS;
}

unsigned int headerFlags(const Entry& entry) {
    return (entry.isFolder ? RHDF_DIRECTORY : 0) | (entry.encrypted ? RHDF_ENCRYPTED : 0);
}

unsigned int unpackVersion(ArchiveHandle* h) { return archive_format(h->reader) == ARCHIVE_FORMAT_RAR_V5 ? 50 : 29; }

// ---- Processing entries ----------------------------------------------------------------

// Hands one block of unpacked data to the caller's callbacks; false when one of
// them asked to stop.
bool reportData(ArchiveHandle* h, const void* data, size_t size) {
    unsigned char* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
    if (h->callback && h->callback(UCM_PROCESSDATA, h->userData, reinterpret_cast<UnrarParam>(bytes),
                                   static_cast<UnrarParam>(size)) == -1)
        return false;
    if (h->processDataProc && h->processDataProc(bytes, static_cast<int>(size)) == 0) return false;
    return true;
}

// Reads the current entry's data to its end, writing it to `out` when given.
int unpackData(ArchiveHandle* h, OutputFile* out) {
    static const char zeros[4096] = {};
    int64_t produced = 0;
    int emptyBlocks = 0;
    uint32_t crc = 0;
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        int r = archive_read_data_block(h->reader, &block, &size, &offset);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) {
            h->broken = true;
            return mentionsEncryption(h->reader) ? ERAR_MISSING_PASSWORD : ERAR_BAD_DATA;
        }
        if (offset < produced || (h->entry.sizeKnown && offset > h->entry.size)) return ERAR_BAD_DATA;
        // Holes (never made by RAR writers, but cheap to honour) become zeros.
        while (produced < offset) {
            size_t n = offset - produced < static_cast<int64_t>(sizeof zeros) ? static_cast<size_t>(offset - produced)
                                                                              : sizeof zeros;
            if (out && !out->write(zeros, n)) return ERAR_EWRITE;
            produced += static_cast<int64_t>(n);
        }
        // A damaged archive must not make the reader spin or grow the file without end.
        if (size == 0) {
            if (++emptyBlocks > 4096) return ERAR_BAD_DATA;
            continue;
        }
        emptyBlocks = 0;
        produced += static_cast<int64_t>(size);
        if (h->entry.sizeKnown && produced > h->entry.size) return ERAR_BAD_DATA;
        if (h->entry.checkCrc) crc = rarCrc32(crc, block, size);
        if (!reportData(h, block, size)) return ERAR_UNKNOWN;
        if (out && !out->write(block, size)) return ERAR_EWRITE;
    }
    if (h->entry.sizeKnown && produced != h->entry.size) return ERAR_BAD_DATA;
    if (h->entry.checkCrc && crc != h->entry.headers->crc) return ERAR_BAD_DATA;
    return ERAR_SUCCESS;
}

// Makes the folders that lead to component `count - 1` below `dest`, refusing to go
// through anything that is not a real folder (a planted link above all).
bool makeLeadingFolders(const PathString& dest, const std::vector<PathString>& parts, size_t count) {
    for (size_t i = 1; i <= count; ++i) {
        PathString folder = joinPath(dest, parts, i);
        PathKind kind = pathKind(folder);
        if (kind == PathKind::Directory) continue;
        if (kind != PathKind::Missing || !makeFolder(folder)) return false;
    }
    return true;
}

// Clears the way for a new file or link at `path`: an old file or link is removed
// (never written through); a folder stays and makes the entry fail.
bool clearTarget(const PathString& path) {
    PathKind kind = pathKind(path);
    if (kind == PathKind::Missing) return true;
    if (kind == PathKind::Directory) return false;
    return removeFile(path);
}

int writeFile(ArchiveHandle* h, const PathString& path) {
    if (!clearTarget(path)) return ERAR_ECREATE;
    OutputFile out;
    if (!out.create(path)) return ERAR_ECREATE;
    int result = unpackData(h, &out);
    bool closed = out.close(h->entry.modified);
    if (result == ERAR_SUCCESS && !closed) result = ERAR_ECLOSE;
    // A file that failed its check or was abandoned is not left behind half written.
    if (result != ERAR_SUCCESS && !(result == ERAR_BAD_DATA && (h->opFlags & ROADOF_KEEPBROKEN))) removeFile(path);
    return result;
}

int extractEntry(ArchiveHandle* h, const PathString& destPath, const PathString& destName) {
    const Entry& entry = h->entry;
    if (!destName.empty()) {
        if (entry.isFolder) return makeFolderTree(destName) ? ERAR_SUCCESS : ERAR_ECREATE;
        return writeFile(h, destName);
    }
    std::vector<PathString> parts;
    if (!splitEntryPath(entry.name, parts)) return ERAR_ECREATE;
    PathString dest = destPath.empty() ? PathString(PATH_TEXT(".")) : destPath;
    if (!makeFolderTree(dest)) return ERAR_ECREATE;
    size_t leading = entry.isFolder ? parts.size() : parts.size() - 1;
    if (!makeLeadingFolders(dest, parts, leading)) return ERAR_ECREATE;
    if (entry.isFolder) return ERAR_SUCCESS;
    PathString path = joinPath(dest, parts, parts.size());

    if (!entry.hardlinkTarget.empty()) {
        std::vector<PathString> targetParts;
        if (!splitEntryPath(entry.hardlinkTarget, targetParts)) return ERAR_ECREATE;
        PathString source = joinPath(dest, targetParts, targetParts.size());
        if (pathKind(source) != PathKind::File) return ERAR_EREFERENCE;
        if (!clearTarget(path)) return ERAR_ECREATE;
        return copyFile(source, path) ? ERAR_SUCCESS : ERAR_ECREATE;
    }
    if (archive_entry_filetype(h->current) == AE_IFLNK) {
        if (!linkTargetStaysInside(entry.linkTarget, parts.size() - 1) || !clearTarget(path)) return ERAR_ECREATE;
        std::vector<PathString> here(parts.begin(), parts.end() - 1);
        PathString resolved = joinPath(joinPath(dest, here, here.size()), {entry.linkTarget}, 1);
        bool toFolder = pathKind(resolved) == PathKind::Directory;
        // Some systems (Wine among them) report success without making the link.
        bool made = makeSymlink(entry.linkTarget, path, toFolder) && pathKind(path) == PathKind::Link;
        return made ? ERAR_SUCCESS : ERAR_ECREATE;
    }
    return writeFile(h, path);
}

// Asks the caller for a password through the general callback, if there is one.
void askPassword(ArchiveHandle* h) {
    if (h->hasPassword || !h->callback) return;
    char password[128] = {};
    int answer = h->callback(UCM_NEEDPASSWORD, h->userData, reinterpret_cast<UnrarParam>(password),
                             static_cast<UnrarParam>(sizeof password - 1));
    h->hasPassword = answer > 0 && password[0] != 0;
}

int processFile(void* handle, int operation, const PathString& destPath, const PathString& destName) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (!h) return ERAR_UNKNOWN;
    [[maybe_unused]] Utf8Names names;
    if (!h->headerPending) return h->broken ? ERAR_BAD_DATA : ERAR_UNKNOWN;
    h->headerPending = false;
    bool listing = h->openMode != RAR_OM_EXTRACT;
    if (operation == RAR_SKIP || listing || (operation != RAR_TEST && operation != RAR_EXTRACT))
        return ERAR_SUCCESS;  // the reader skips the data at the next header
    if (h->entry.encrypted) {
        // libarchive reads no encrypted RAR data: a given password cannot help.
        askPassword(h);
        return h->hasPassword ? ERAR_UNKNOWN_FORMAT : ERAR_MISSING_PASSWORD;
    }
    if (h->entry.nameTooLong && operation == RAR_EXTRACT && destName.empty()) return ERAR_SMALL_BUF;
    if (operation == RAR_TEST)
        return h->entry.isFolder || !h->entry.linkTarget.empty() ? ERAR_SUCCESS : unpackData(h, nullptr);
    return extractEntry(h, destPath, destName);
}

}  // namespace

// ---- The exports -------------------------------------------------------------------------

extern "C" {

void* UNRAR_CALL RAROpenArchiveEx(RAROpenArchiveDataEx* data) {
    if (!data) return nullptr;
    data->OpenResult = ERAR_SUCCESS;
    data->CmtSize = 0;
    data->CmtState = 0;
    data->Flags = 0;
    std::string arcName = data->ArcName ? data->ArcName : "";
    std::wstring arcNameWide = data->ArcNameW ? data->ArcNameW : L"";
#ifdef _WIN32
    if (arcName.empty()) arcName = toCodePage(arcNameWide, CP_ACP);
    if (arcNameWide.empty()) arcNameWide = fromCodePage(arcName.c_str(), CP_ACP);
#else
    if (arcName.empty()) arcName = wideToUtf8(arcNameWide.c_str());
    if (arcNameWide.empty()) arcNameWide = utf8ToWide(arcName);
#endif
    unsigned int result = ERAR_SUCCESS;
    ArchiveHandle* h = openArchive(arcName, arcNameWide, data->OpenMode, result);
    data->OpenResult = result;
    if (!h) return nullptr;
    h->opFlags = data->OpFlags;
    h->callback = data->Callback;
    h->userData = data->UserData;
    if (h->volumes.size() > 1) data->Flags |= ROADF_VOLUME | ROADF_FIRSTVOLUME;
    return h;
}

void* UNRAR_CALL RAROpenArchive(RAROpenArchiveData* data) {
    if (!data) return nullptr;
    RAROpenArchiveDataEx ex;
    memset(&ex, 0, sizeof ex);
    ex.ArcName = data->ArcName;
    ex.OpenMode = data->OpenMode;
    ex.CmtBuf = data->CmtBuf;
    ex.CmtBufSize = data->CmtBufSize;
    void* h = RAROpenArchiveEx(&ex);
    data->OpenResult = ex.OpenResult;
    data->CmtSize = ex.CmtSize;
    data->CmtState = ex.CmtState;
    return h;
}

int UNRAR_CALL RARCloseArchive(void* handle) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (!h) return ERAR_ECLOSE;
    int r = archive_read_free(h->reader);
    delete h;
    return r == ARCHIVE_OK ? ERAR_SUCCESS : ERAR_ECLOSE;
}

int UNRAR_CALL RARReadHeaderEx(void* handle, RARHeaderDataEx* data) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (!h || !data) return ERAR_UNKNOWN;
    int r = nextHeader(h);
    if (r != ERAR_SUCCESS) return r;
    const Entry& entry = h->entry;
    archive_entry* e = h->current;
    copyField(data->ArcName, sizeof data->ArcName, h->volumes.front());
    copyField(data->ArcNameW, sizeof data->ArcNameW / sizeof(wchar_t), h->arcNameWide);
    bool fits = copyField(data->FileName, sizeof data->FileName, recordName(entry.name));
    fits = copyField(data->FileNameW, sizeof data->FileNameW / sizeof(wchar_t), wideName(entry.name)) && fits;
    h->entry.nameTooLong = !fits;
    const Rar4Entry* headers = entry.headers;
    data->Flags = headerFlags(entry);
    data->PackSize = headers ? static_cast<unsigned int>(headers->packedSize) : 0;
    data->PackSizeHigh = headers ? static_cast<unsigned int>(headers->packedSize >> 32) : 0;
    data->UnpSize = static_cast<unsigned int>(entry.size);
    data->UnpSizeHigh = static_cast<unsigned int>(static_cast<uint64_t>(entry.size) >> 32);
    data->HostOS = headers ? headers->hostOs : 0;
    data->FileCRC = headers ? headers->crc : 0;
    data->FileTime = dosTime(entry.modified);
    data->UnpVer = unpackVersion(h);
    data->Method = headers ? headers->method : 0;
    data->FileAttr = fileAttributes(e, entry.isFolder);
    data->CmtSize = 0;
    data->CmtState = 0;
    data->DictSize = 0;
    data->HashType = RAR_HASH_NONE;
    memset(data->Hash, 0, sizeof data->Hash);
    data->RedirType = !entry.linkTarget.empty() ? 1 : !entry.hardlinkTarget.empty() ? 4 : 0;
    if (data->RedirName && data->RedirNameSize > 0) {
        std::wstring target = wideName(!entry.linkTarget.empty() ? entry.linkTarget : entry.hardlinkTarget);
        copyField(data->RedirName, data->RedirNameSize, target);
    }
    data->DirTarget = 0;
    uint64_t m = archive_entry_mtime_is_set(e) ? fileTimeTicks(archive_entry_mtime(e), archive_entry_mtime_nsec(e)) : 0;
    uint64_t c = archive_entry_ctime_is_set(e) ? fileTimeTicks(archive_entry_ctime(e), archive_entry_ctime_nsec(e)) : 0;
    uint64_t a = archive_entry_atime_is_set(e) ? fileTimeTicks(archive_entry_atime(e), archive_entry_atime_nsec(e)) : 0;
    data->MtimeLow = static_cast<unsigned int>(m);
    data->MtimeHigh = static_cast<unsigned int>(m >> 32);
    data->CtimeLow = static_cast<unsigned int>(c);
    data->CtimeHigh = static_cast<unsigned int>(c >> 32);
    data->AtimeLow = static_cast<unsigned int>(a);
    data->AtimeHigh = static_cast<unsigned int>(a >> 32);
    return ERAR_SUCCESS;
}

int UNRAR_CALL RARReadHeader(void* handle, RARHeaderData* data) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (!h || !data) return ERAR_UNKNOWN;
    int r = nextHeader(h);
    if (r != ERAR_SUCCESS) return r;
    const Entry& entry = h->entry;
    copyField(data->ArcName, sizeof data->ArcName, h->volumes.front());
    h->entry.nameTooLong = !copyField(data->FileName, sizeof data->FileName, recordName(entry.name));
    const Rar4Entry* headers = entry.headers;
    data->Flags = headerFlags(entry);
    // The short record has no high halves: larger sizes are capped rather than wrapped.
    data->PackSize = !headers                            ? 0
                     : headers->packedSize > 0xFFFFFFFFu ? 0xFFFFFFFFu
                                                         : static_cast<unsigned int>(headers->packedSize);
    data->UnpSize = entry.size > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<unsigned int>(entry.size);
    data->HostOS = headers ? headers->hostOs : 0;
    data->FileCRC = headers ? headers->crc : 0;
    data->FileTime = dosTime(entry.modified);
    data->UnpVer = unpackVersion(h);
    data->Method = headers ? headers->method : 0;
    data->FileAttr = fileAttributes(h->current, entry.isFolder);
    data->CmtSize = 0;
    data->CmtState = 0;
    return ERAR_SUCCESS;
}

int UNRAR_CALL RARProcessFile(void* handle, int operation, char* destPath, char* destName) {
    return processFile(handle, operation, pathFromOem(destPath), pathFromOem(destName));
}

int UNRAR_CALL RARProcessFileW(void* handle, int operation, wchar_t* destPath, wchar_t* destName) {
    return processFile(handle, operation, pathFromWide(destPath), pathFromWide(destName));
}

void UNRAR_CALL RARSetCallback(void* handle, UNRARCALLBACK callback, UnrarParam userData) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (!h) return;
    h->callback = callback;
    h->userData = userData;
}

// Following volumes are found by their names when the archive is opened, so there is
// never a volume to ask for; the procedure is accepted for compatibility only.
void UNRAR_CALL RARSetChangeVolProc(void*, CHANGEVOLPROC) {}

void UNRAR_CALL RARSetProcessDataProc(void* handle, PROCESSDATAPROC processDataProc) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (h) h->processDataProc = processDataProc;
}

void UNRAR_CALL RARSetPassword(void* handle, char* password) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (h) h->hasPassword = password && *password;
}

int UNRAR_CALL RARGetDllVersion(void) { return RAR_DLL_VERSION; }

}  // extern "C"
