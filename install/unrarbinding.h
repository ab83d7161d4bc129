// The binding to the RAR library "unrar.dll": loaded at run time from setup's folder, its
// functions looked up by name, one global open record, header record and archive
// handle, and thin wrappers that forward to the library.
//
// Names pass as wide text: the destination folder goes to RARProcessFileW and
// each entry's name comes from the wide field of the extended header, so that a
// folder the ANSI code page can spell receives every file under that spelling
// (the OEM code page of the narrow functions spells some letters differently).
//
// The two records follow the library's published layout byte for byte: 1-byte
// packing, pointers of the build's width. The size checks below hold for both
// 32- and 64-bit builds, so any library with that interface can stand beside
// setup.exe without a rebuild.
#pragma once

#include <windows.h>

#include <cstddef>

// Operations of RARProcessFile and modes of RAROpenArchive.
constexpr int RAR_OM_LIST = 0;
constexpr int RAR_OM_EXTRACT = 1;
constexpr int RAR_SKIP = 0;
constexpr int RAR_EXTRACT = 2;

// The library's code for a file it could not create; the wrappers return it too
// when the library lacks the function, so a caller sees an ordinary failure.
constexpr int ERAR_ECREATE = 16;
// The library's codes for a file it could not close or write.
constexpr int ERAR_ECLOSE = 17;
constexpr int ERAR_EWRITE = 19;

#pragma pack(push, 1)
struct RAROpenArchiveData {
    char* ArcName;
    UINT OpenMode;
    UINT OpenResult;
    char* CmtBuf;
    UINT CmtBufSize;
    UINT CmtSize;
    UINT CmtState;
};

// The extended header record; wchar_t is 16 bits on Windows, as the library's.
struct RARHeaderDataEx {
    char ArcName[1024];
    wchar_t ArcNameW[1024];
    char FileName[1024];
    wchar_t FileNameW[1024];
    UINT Flags;
    UINT PackSize;
    UINT PackSizeHigh;
    UINT UnpSize;
    UINT UnpSizeHigh;
    UINT HostOS;
    UINT FileCRC;
    UINT FileTime;
    UINT UnpVer;
    UINT Method;
    UINT FileAttr;
    char* CmtBuf;
    UINT CmtBufSize;
    UINT CmtSize;
    UINT CmtState;
    UINT DictSize;
    UINT HashType;
    char Hash[32];
    UINT RedirType;
    wchar_t* RedirName;
    UINT RedirNameSize;
    UINT DirTarget;
    UINT MtimeLow;
    UINT MtimeHigh;
    UINT CtimeLow;
    UINT CtimeHigh;
    UINT AtimeLow;
    UINT AtimeHigh;
    UINT Reserved[988];
};

struct RARHeaderData {
    char ArcName[260];
    char FileName[260];
    UINT Flags;
    UINT PackSize;
    UINT UnpSize;
    UINT HostOS;
    UINT FileCRC;
    UINT FileTime;
    UINT UnpVer;
    UINT Method;
    UINT FileAttr;
    char* CmtBuf;
    UINT CmtBufSize;
    UINT CmtSize;
    UINT CmtState;
};
#pragma pack(pop)

static_assert(offsetof(RAROpenArchiveData, OpenMode) == sizeof(void*), "unrarbinding: open record layout");
static_assert(offsetof(RAROpenArchiveData, CmtBuf) == sizeof(void*) + 8, "unrarbinding: open record layout");
static_assert(sizeof(RAROpenArchiveData) == 2 * sizeof(void*) + 20, "unrarbinding: open record size");
static_assert(offsetof(RARHeaderData, FileName) == 260, "unrarbinding: header record layout");
static_assert(offsetof(RARHeaderData, UnpSize) == 528, "unrarbinding: header record layout");
static_assert(offsetof(RARHeaderData, CmtBuf) == 556, "unrarbinding: header record layout");
static_assert(sizeof(RARHeaderData) == 556 + sizeof(void*) + 12, "unrarbinding: header record size");
static_assert(sizeof(wchar_t) == 2, "unrarbinding: the library's wide text is 16 bits");
static_assert(offsetof(RARHeaderDataEx, FileNameW) == 4096, "unrarbinding: extended header record layout");
static_assert(offsetof(RARHeaderDataEx, UnpSize) == 6156, "unrarbinding: extended header record layout");
static_assert(offsetof(RARHeaderDataEx, CmtBuf) == 6188, "unrarbinding: extended header record layout");
static_assert(sizeof(RARHeaderDataEx) == (sizeof(void*) == 8 ? 10244 : 10236), "unrarbinding: extended header size");

// The data callback: block address and size; 1 goes on, 0 abandons the entry.
typedef int(CALLBACK* UNRARPROCESSDATAPROC)(unsigned char* address, int size);
typedef int(CALLBACK* UNRARCHANGEVOLPROC)(char* arcName, int mode);

// Binding state. The comment buffer and both records are reused for every package;
// one archive is open at a time, and only the worker thread touches them.
constexpr UINT UNRAR_COMMENT_BUFFER = 16384;
extern HMODULE unrarLibrary;
extern RAROpenArchiveData openArchiveData;
extern RARHeaderDataEx headerData;
extern char commentBuffer[UNRAR_COMMENT_BUFFER];
extern HANDLE archiveHandle;

// Loads "unrar.dll" from the folder of setup's program file (`setupPath`) and
// looks up its functions. True when the library is there with the five that
// setup calls (opening, closing, the extended header, the wide extraction and
// the data callback); otherwise it has told the user, naming
// the file or the function, and the installation must not start.
bool loadUnrarLibrary();

// Thin wrappers: the arguments and the library's result pass unchanged. A function
// the library lacks gives a null handle or ERAR_ECREATE instead of a crash.
HANDLE RAROpenArchive(RAROpenArchiveData* data);
int RARCloseArchive(HANDLE archive);
int RARReadHeader(HANDLE archive, RARHeaderData* header);
int RARReadHeaderEx(HANDLE archive, RARHeaderDataEx* header);
int RARProcessFile(HANDLE archive, int operation, char* destPath, char* destName);
int RARProcessFileW(HANDLE archive, int operation, wchar_t* destPath, wchar_t* destName);
void RARSetProcessDataProc(HANDLE archive, UNRARPROCESSDATAPROC callback);
