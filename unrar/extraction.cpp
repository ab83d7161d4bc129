// Skips, tests and extracts entries: the data loop with its callbacks and checks, and
// the files, folders and links it makes below the destination.
#include "unrar/extraction.h"

#include "unrar/headerreader.h"
#include "unrar/names.h"
#include "unrar/outputfs.h"
#include "unrar/rarcrc.h"

namespace {

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

// The data of our own engine on its way to the callbacks and the file.
class HandleSink : public UnpackSink {
public:
    HandleSink(ArchiveHandle* h, OutputFile* out) : h_(h), out_(out) {}
    int write(const unsigned char* data, size_t size) override {
        if (!reportData(h_, data, size)) return ERAR_UNKNOWN;
        if (out_ && !out_->write(data, size)) return ERAR_EWRITE;
        return ERAR_SUCCESS;
    }

private:
    ArchiveHandle* h_;
    OutputFile* out_;
};

// Reads the current entry's data to its end, writing it to `out` when given.
int unpackData(ArchiveHandle* h, OutputFile* out) {
    if (h->rar4) {
        HandleSink sink(h, out);
        return h->rar4->unpack(sink);
    }
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
            if (h->entry.checkCrc) crc = rarCrc32(crc, zeros, n);
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
    if (h->entry.checkCrc && crc != h->entry.crc) return ERAR_BAD_DATA;
    return ERAR_SUCCESS;
}

// Makes `dest` and the folders that lead to component `count - 1` below it, refusing
// to go through anything that is not a real folder (a planted link above all). The
// destination, the caller's own folder, is only looked at when the entry lies right
// in it or its first folder is missing: every look-up walks the path under Wine.
bool makeLeadingFolders(const PathString& dest, const std::vector<PathString>& parts, size_t count) {
    if (count == 0) return makeFolderTree(dest);
    for (size_t i = 1; i <= count; ++i) {
        PathString folder = joinPath(dest, parts, i);
        PathKind kind = pathKind(folder);
        if (kind == PathKind::Directory) continue;
        if (i == 1 && kind == PathKind::Missing && !makeFolderTree(dest)) return false;
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
    if (entry.isLink) {
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

}  // namespace

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
        // Neither engine decrypts: a given password cannot help.
        askPassword(h);
        return h->hasPassword ? ERAR_UNKNOWN_FORMAT : ERAR_MISSING_PASSWORD;
    }
    if (h->entry.nameTooLong && operation == RAR_EXTRACT && destName.empty()) return ERAR_SMALL_BUF;
    if (operation == RAR_TEST)
        return h->entry.isFolder || !h->entry.linkTarget.empty() ? ERAR_SUCCESS : unpackData(h, nullptr);
    return extractEntry(h, destPath, destName);
}
