// The public interface of unrar.dll (libunrar.so natively): RAR listing and extraction
// with the exports, calling convention, records and codes of the published UnRAR DLL
// interface, so that either library can sit beside setup.exe.
//
// Records are packed to 1 byte, exactly as the published interface declares them;
// the checks at the end of this file pin their sizes and field offsets for 32- and
// 64-bit Windows, so a build that disagrees with the published layout does not compile.
#pragma once

#include <stddef.h>

#ifdef _WIN32
#include <windows.h>
#define UNRAR_CALL WINAPI
typedef LPARAM UnrarParam;
#else
#define UNRAR_CALL
typedef long UnrarParam;
#endif

// Error codes returned by the functions and left in OpenResult.
#define ERAR_SUCCESS 0
#define ERAR_END_ARCHIVE 10
#define ERAR_NO_MEMORY 11
#define ERAR_BAD_DATA 12
#define ERAR_BAD_ARCHIVE 13
#define ERAR_UNKNOWN_FORMAT 14
#define ERAR_EOPEN 15
#define ERAR_ECREATE 16
#define ERAR_ECLOSE 17
#define ERAR_EREAD 18
#define ERAR_EWRITE 19
#define ERAR_SMALL_BUF 20
#define ERAR_UNKNOWN 21
#define ERAR_MISSING_PASSWORD 22
#define ERAR_EREFERENCE 23
#define ERAR_BAD_PASSWORD 24

// OpenMode values.
#define RAR_OM_LIST 0
#define RAR_OM_EXTRACT 1
#define RAR_OM_LIST_INCSPLIT 2

// RARProcessFile operations.
#define RAR_SKIP 0
#define RAR_TEST 1
#define RAR_EXTRACT 2

// Modes of the volume-change notification.
#define RAR_VOL_ASK 0
#define RAR_VOL_NOTIFY 1

// The interface version that RARGetDllVersion reports.
#define RAR_DLL_VERSION 8

#define RAR_HASH_NONE 0
#define RAR_HASH_CRC32 1
#define RAR_HASH_BLAKE2 2

// Entry flags in the header records.
#define RHDF_SPLITBEFORE 0x01
#define RHDF_SPLITAFTER 0x02
#define RHDF_ENCRYPTED 0x04
#define RHDF_SOLID 0x10
#define RHDF_DIRECTORY 0x20

// Archive flags in RAROpenArchiveDataEx.Flags.
#define ROADF_VOLUME 0x0001
#define ROADF_COMMENT 0x0002
#define ROADF_LOCK 0x0004
#define ROADF_SOLID 0x0008
#define ROADF_NEWNUMBERING 0x0010
#define ROADF_SIGNED 0x0020
#define ROADF_RECOVERY 0x0040
#define ROADF_ENCHEADERS 0x0080
#define ROADF_FIRSTVOLUME 0x0100

// RAROpenArchiveDataEx.OpFlags: keep files whose checksum failed.
#define ROADOF_KEEPBROKEN 0x0001

// Messages of the general callback.
enum UnrarCallbackMessage { UCM_CHANGEVOLUME, UCM_PROCESSDATA, UCM_NEEDPASSWORD, UCM_CHANGEVOLUMEW, UCM_NEEDPASSWORDW };

typedef int(UNRAR_CALL* UNRARCALLBACK)(unsigned int msg, UnrarParam userData, UnrarParam p1, UnrarParam p2);
typedef int(UNRAR_CALL* CHANGEVOLPROC)(char* arcName, int mode);
typedef int(UNRAR_CALL* PROCESSDATAPROC)(unsigned char* addr, int size);

#pragma pack(push, 1)

struct RARHeaderData {
    char ArcName[260];
    char FileName[260];
    unsigned int Flags;
    unsigned int PackSize;
    unsigned int UnpSize;
    unsigned int HostOS;
    unsigned int FileCRC;
    unsigned int FileTime;
    unsigned int UnpVer;
    unsigned int Method;
    unsigned int FileAttr;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
};

struct RARHeaderDataEx {
    char ArcName[1024];
    wchar_t ArcNameW[1024];
    char FileName[1024];
    wchar_t FileNameW[1024];
    unsigned int Flags;
    unsigned int PackSize;
    unsigned int PackSizeHigh;
    unsigned int UnpSize;
    unsigned int UnpSizeHigh;
    unsigned int HostOS;
    unsigned int FileCRC;
    unsigned int FileTime;
    unsigned int UnpVer;
    unsigned int Method;
    unsigned int FileAttr;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
    unsigned int DictSize;
    unsigned int HashType;
    char Hash[32];
    unsigned int RedirType;
    wchar_t* RedirName;
    unsigned int RedirNameSize;
    unsigned int DirTarget;
    unsigned int MtimeLow;
    unsigned int MtimeHigh;
    unsigned int CtimeLow;
    unsigned int CtimeHigh;
    unsigned int AtimeLow;
    unsigned int AtimeHigh;
    unsigned int Reserved[988];
};

struct RAROpenArchiveData {
    char* ArcName;
    unsigned int OpenMode;
    unsigned int OpenResult;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
};

struct RAROpenArchiveDataEx {
    char* ArcName;
    wchar_t* ArcNameW;
    unsigned int OpenMode;
    unsigned int OpenResult;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
    unsigned int Flags;
    UNRARCALLBACK Callback;
    UnrarParam UserData;
    unsigned int OpFlags;
    wchar_t* CmtBufW;
    unsigned int Reserved[25];
};

#pragma pack(pop)

#ifdef __cplusplus
extern "C" {
#endif

void* UNRAR_CALL RAROpenArchive(struct RAROpenArchiveData* archiveData);
void* UNRAR_CALL RAROpenArchiveEx(struct RAROpenArchiveDataEx* archiveData);
int UNRAR_CALL RARCloseArchive(void* arcData);
int UNRAR_CALL RARReadHeader(void* arcData, struct RARHeaderData* headerData);
int UNRAR_CALL RARReadHeaderEx(void* arcData, struct RARHeaderDataEx* headerData);
int UNRAR_CALL RARProcessFile(void* arcData, int operation, char* destPath, char* destName);
int UNRAR_CALL RARProcessFileW(void* arcData, int operation, wchar_t* destPath, wchar_t* destName);
void UNRAR_CALL RARSetCallback(void* arcData, UNRARCALLBACK callback, UnrarParam userData);
void UNRAR_CALL RARSetChangeVolProc(void* arcData, CHANGEVOLPROC changeVolProc);
void UNRAR_CALL RARSetProcessDataProc(void* arcData, PROCESSDATAPROC processDataProc);
void UNRAR_CALL RARSetPassword(void* arcData, char* password);
int UNRAR_CALL RARGetDllVersion(void);

#ifdef __cplusplus
}
#endif

// Layout checks. The published records are Windows records (wchar_t of 2 bytes); the
// pointer size decides the rest. Natively only the records without wchar_t are pinned.
#if defined(__cplusplus)
#define UNRAR_LAYOUT(cond) static_assert(cond, "record layout differs from the published interface")
#else
#define UNRAR_LAYOUT(cond) _Static_assert(cond, "record layout differs from the published interface")
#endif
#if defined(_WIN32) || defined(__LP64__)
#if defined(_WIN64) || defined(__LP64__)
UNRAR_LAYOUT(sizeof(struct RAROpenArchiveData) == 36);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveData, CmtBuf) == 16);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveData, CmtState) == 32);
UNRAR_LAYOUT(sizeof(struct RAROpenArchiveDataEx) == 176);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, OpenMode) == 16);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, Flags) == 44);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, Callback) == 48);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, UserData) == 56);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, OpFlags) == 64);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, Reserved) == 76);
UNRAR_LAYOUT(sizeof(struct RARHeaderData) == 576);
UNRAR_LAYOUT(offsetof(struct RARHeaderData, CmtBufSize) == 564);
#else
UNRAR_LAYOUT(sizeof(struct RAROpenArchiveData) == 28);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveData, CmtBuf) == 12);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveData, CmtState) == 24);
UNRAR_LAYOUT(sizeof(struct RAROpenArchiveDataEx) == 152);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, OpenMode) == 8);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, Flags) == 32);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, Callback) == 36);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, UserData) == 40);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, OpFlags) == 44);
UNRAR_LAYOUT(offsetof(struct RAROpenArchiveDataEx, Reserved) == 52);
UNRAR_LAYOUT(sizeof(struct RARHeaderData) == 572);
UNRAR_LAYOUT(offsetof(struct RARHeaderData, CmtBufSize) == 560);
#endif
UNRAR_LAYOUT(offsetof(struct RARHeaderData, FileName) == 260);
UNRAR_LAYOUT(offsetof(struct RARHeaderData, UnpSize) == 528);
UNRAR_LAYOUT(offsetof(struct RARHeaderData, FileAttr) == 552);
UNRAR_LAYOUT(offsetof(struct RARHeaderData, CmtBuf) == 556);
#endif
#ifdef _WIN32
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, FileName) == 3072);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, FileNameW) == 4096);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, Flags) == 6144);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, UnpSize) == 6156);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, FileAttr) == 6184);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, CmtBuf) == 6188);
#ifdef _WIN64
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, Hash) == 6216);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, RedirName) == 6252);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, MtimeLow) == 6268);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, Reserved) == 6292);
UNRAR_LAYOUT(sizeof(struct RARHeaderDataEx) == 10244);
#else
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, Hash) == 6212);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, RedirName) == 6248);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, MtimeLow) == 6260);
UNRAR_LAYOUT(offsetof(struct RARHeaderDataEx, Reserved) == 6284);
UNRAR_LAYOUT(sizeof(struct RARHeaderDataEx) == 10236);
#endif
#endif
#undef UNRAR_LAYOUT
