// The exported functions of unrar.dll: the published interface over the archive
// handle. Opening and headers are in headerreader.*, entries in extraction.*, names
// in names.*, volumes in volumes.*.
#include "unrar/unrar.h"

#include "unrar/archivehandle.h"
#include "unrar/extraction.h"
#include "unrar/headerreader.h"
#include "unrar/names.h"

#include <cstring>
#include <memory>
#include <new>

extern "C" {

void* UNRAR_CALL RAROpenArchiveEx(RAROpenArchiveDataEx* data) {
    if (!data) return nullptr;
    data->OpenResult = ERAR_SUCCESS;
    data->CmtSize = 0;
    data->CmtState = 0;
    data->Flags = 0;
    std::string arcName = data->ArcName ? data->ArcName : "";
    std::wstring arcNameWide = data->ArcNameW ? data->ArcNameW : L"";
    completeArchiveNames(arcName, arcNameWide);
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
    int r = h->reader ? archive_read_free(h->reader) : ARCHIVE_OK;
    delete h;
    return r == ARCHIVE_OK ? ERAR_SUCCESS : ERAR_ECLOSE;
}

int UNRAR_CALL RARReadHeaderEx(void* handle, RARHeaderDataEx* data) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (!h || !data) return ERAR_UNKNOWN;
    int r = nextHeader(h);
    if (r != ERAR_SUCCESS) return r;
    const Entry& entry = h->entry;
    copyField(data->ArcName, sizeof data->ArcName, h->volumes.front());
    copyField(data->ArcNameW, sizeof data->ArcNameW / sizeof(wchar_t), h->arcNameWide);
    bool fits = copyField(data->FileName, sizeof data->FileName, recordName(entry.name));
    fits = copyField(data->FileNameW, sizeof data->FileNameW / sizeof(wchar_t), wideName(entry.name)) && fits;
    h->entry.nameTooLong = !fits;
    data->Flags = entry.flags;
    data->PackSize = static_cast<unsigned int>(entry.packedSize);
    data->PackSizeHigh = static_cast<unsigned int>(entry.packedSize >> 32);
    data->UnpSize = static_cast<unsigned int>(entry.size);
    data->UnpSizeHigh = static_cast<unsigned int>(static_cast<uint64_t>(entry.size) >> 32);
    data->HostOS = entry.hostOs;
    data->FileCRC = entry.crc;
    data->FileTime = dosTime(entry.modified);
    data->UnpVer = entry.unpackVersion;
    data->Method = entry.method;
    data->FileAttr = entry.fileAttr;
    data->CmtSize = 0;
    data->CmtState = 0;
    data->DictSize = entry.dictionaryKb;
    data->HashType = entry.hasCrc ? RAR_HASH_CRC32 : RAR_HASH_NONE;
    memset(data->Hash, 0, sizeof data->Hash);
    data->RedirType = entry.redirType;
    if (data->RedirName && data->RedirNameSize > 0) {
        std::wstring target = wideName(!entry.linkTarget.empty() ? entry.linkTarget : entry.hardlinkTarget);
        copyField(data->RedirName, data->RedirNameSize, target);
    }
    data->DirTarget = 0;
    auto ticks = [](const RarTime& t) { return t.set ? fileTimeTicks(t.seconds, t.nanoseconds) : 0; };
    uint64_t m = ticks(entry.mtime);
    uint64_t c = ticks(entry.ctime);
    uint64_t a = ticks(entry.atime);
    data->MtimeLow = static_cast<unsigned int>(m);
    data->MtimeHigh = static_cast<unsigned int>(m >> 32);
    data->CtimeLow = static_cast<unsigned int>(c);
    data->CtimeHigh = static_cast<unsigned int>(c >> 32);
    data->AtimeLow = static_cast<unsigned int>(a);
    data->AtimeHigh = static_cast<unsigned int>(a >> 32);
    return ERAR_SUCCESS;
}

// The short record is the extended one cut to its fields; the name must fit its own,
// shorter field, or extracting the entry under that name is refused.
int UNRAR_CALL RARReadHeader(void* handle, RARHeaderData* data) {
    ArchiveHandle* h = static_cast<ArchiveHandle*>(handle);
    if (!h || !data) return ERAR_UNKNOWN;
    std::unique_ptr<RARHeaderDataEx> ex(new (std::nothrow) RARHeaderDataEx());
    if (!ex) return ERAR_NO_MEMORY;
    int r = RARReadHeaderEx(handle, ex.get());
    if (r != ERAR_SUCCESS) return r;
    copyField(data->ArcName, sizeof data->ArcName, h->volumes.front());
    h->entry.nameTooLong = !copyField(data->FileName, sizeof data->FileName, recordName(h->entry.name));
    data->Flags = ex->Flags;
    // The short record has no high halves: larger sizes are capped rather than wrapped.
    data->PackSize = ex->PackSizeHigh ? 0xFFFFFFFFu : ex->PackSize;
    data->UnpSize = ex->UnpSizeHigh ? 0xFFFFFFFFu : ex->UnpSize;
    data->HostOS = ex->HostOS;
    data->FileCRC = ex->FileCRC;
    data->FileTime = ex->FileTime;
    data->UnpVer = ex->UnpVer;
    data->Method = ex->Method;
    data->FileAttr = ex->FileAttr;
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
