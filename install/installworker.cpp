// The installation worker: measuring, extraction with progress, rollback.
//
//   helpers (packages, code pages, names)
//   measuring and extracting one package
//   the data callback
//   rollback
//   the thread procedure
#include "installworker.h"

#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "installapp.h"
#include "logremoval.h"
#include "mediumcatalogue.h"
#include "resstringtable.h"

int64_t packagesTotal = 0;
int64_t bytesDone = 0;
float progressFraction = 0.0f;
void (*finishStep)() = [] { installApp.finishInstallation(); };

namespace {

constexpr char UNPACK_ERROR_FORMAT[] = "Unpack error. Code: %d (File:%s). Installation will not proceed";
constexpr char DISK_FULL_FORMAT[] =
    "The disk is full: there is no room for %s.\nUnpack error. Code: %d (File:%s). Installation will not proceed";

// --- helpers ---------------------------------------------------------------

bool packageExists(const char* path) { return _access(path, 0) == 0; }

// Opens a package and prepares the header record; tells the user when it cannot.
bool openPackage(const char* packagePath, UINT openMode) {
    openArchiveData = RAROpenArchiveData{};
    openArchiveData.ArcName = const_cast<char*>(packagePath);
    openArchiveData.OpenMode = openMode;
    openArchiveData.CmtBuf = commentBuffer;
    openArchiveData.CmtBufSize = UNRAR_COMMENT_BUFFER;
    archiveHandle = RAROpenArchive(&openArchiveData);
    if (archiveHandle == nullptr) {
        installApp.errorBox("Cannot process package: %s", packagePath);
        return false;
    }
    headerData.CmtBuf = nullptr;
    return true;
}

// Reads the next entry's header. The name is cut at the record's end, whatever
// the library left there.
bool readNextHeader() {
    if (RARReadHeader(archiveHandle, &headerData) != 0) return false;
    headerData.FileName[sizeof headerData.FileName - 1] = '\0';
    return true;
}

void closePackage() {
    RARCloseArchive(archiveHandle);
    archiveHandle = nullptr;
}

// The library speaks the OEM code page; the log and the file system calls of
// setup speak ANSI. Both conversions keep the length, so no fixed buffer is
// needed and nothing is cut.
std::string oemToAnsi(const char* oem) {
    std::string ansi(std::strlen(oem), '\0');
    if (!ansi.empty()) OemToCharBuffA(oem, &ansi[0], static_cast<DWORD>(ansi.size()));
    return ansi;
}

std::string ansiToOem(const std::string& ansi) {
    std::string oem(ansi.size(), '\0');
    if (!oem.empty()) CharToOemBuffA(ansi.c_str(), &oem[0], static_cast<DWORD>(oem.size()));
    return oem;
}

// A write that failed on a drive without room for the entry is named a full
// disk, which the user can do something about; the library's code alone does
// not say so.
void reportUnpackError(int code) {
    bool writeFailed = code == ERAR_ECREATE || code == ERAR_EWRITE || code == ERAR_ECLOSE;
    if (writeFailed && installApp.lacksRoomFor(headerData.UnpSize)) {
        const std::string path = installApp.installDir + "\\" + oemToAnsi(headerData.FileName);
        installApp.errorBox(DISK_FULL_FORMAT, path.c_str(), code, headerData.FileName);
    } else {
        installApp.errorBox(UNPACK_ERROR_FORMAT, code, headerData.FileName);
    }
}

// A component made of dots and blanks only (other than ".") is a way up once
// Windows has trimmed its trailing dots and blanks.
bool isWayUp(const char* begin, const char* end) {
    if (end - begin == 1 && *begin == '.') return false;
    if (begin == end) return false;
    for (const char* c = begin; c != end; ++c) {
        if (*c != '.' && *c != ' ') return false;
    }
    return true;
}

void formatPackageName(char (&strArcName)[261], unsigned number) {
    std::snprintf(strArcName, sizeof strArcName, medium::NUMBERED_PACKAGE_FORMAT, number);
}

}  // namespace

bool isSafeEntryName(const char* name) {
    if (name[0] == '\0' || name[0] == '\\' || name[0] == '/') return false;
    if (std::strchr(name, ':') != nullptr) return false;
    const char* begin = name;
    for (;;) {
        const char* end = begin + std::strcspn(begin, "\\/");
        if (isWayUp(begin, end)) return false;
        if (*end == '\0') return true;
        begin = end + 1;
    }
}

// --- measuring and extracting one package ----------------------------------

int64_t measurePackage(const char* packagePath) {
    if (!openPackage(packagePath, RAR_OM_LIST)) return 0;
    int64_t sum = 0;
    while (readNextHeader()) {
        int code = RARProcessFile(archiveHandle, RAR_SKIP, nullptr, nullptr);
        if (code != 0) {
            reportUnpackError(code);
            break;
        }
        sum += headerData.UnpSize;
    }
    closePackage();
    return sum;
}

bool extractPackage(const char* packagePath, const char* folderOem) {
    if (!openPackage(packagePath, RAR_OM_EXTRACT)) return false;
    RARSetProcessDataProc(archiveHandle, onUnpackedData);
    installApp.logEntries.push_back(installApp.installDir + "\\");

    bool result = true;
    while (readNextHeader()) {
        // Logged before it is written, so a partly written entry is rolled back too.
        std::string cpath = oemToAnsi(headerData.FileName);
        if (isSafeEntryName(cpath.c_str())) installApp.logEntries.push_back(cpath);

        int code = RARProcessFile(archiveHandle, RAR_EXTRACT, const_cast<char*>(folderOem), nullptr);
        // A cancel makes the library fail the entry; that code is no error to report.
        if (installApp.cancelRequested) break;
        if (code != 0) {
            reportUnpackError(code);
            installApp.cancelRequested = true;
            result = false;
            break;
        }
    }
    RARSetProcessDataProc(archiveHandle, nullptr);
    closePackage();
    return result;
}

// --- the data callback -----------------------------------------------------

int CALLBACK onUnpackedData(unsigned char*, int size) {
    while (installApp.cancelPrompting) Sleep(10);
    if (installApp.cancelRequested) return 0;
    if (size > 0) bytesDone += size;
    // A package that could not be measured leaves nothing to divide by; the
    // screen then shows the data as complete rather than an infinite fraction.
    progressFraction = packagesTotal > 0
                           ? static_cast<float>(static_cast<double>(bytesDone) / static_cast<double>(packagesTotal))
                           : 1.0f;
    installApp.progressScreen.setProgress(progressFraction);
    return 1;
}

// --- rollback --------------------------------------------------------------

void rollbackInstallation() {
    removeLoggedEntries(installApp.logEntries, installPlaces(installApp.installDir));
    RemoveDirectoryA(installApp.installDir.c_str());
}

// --- the thread procedure --------------------------------------------------

DWORD WINAPI installWorker(LPVOID) {
    installApp.cancelPrompting = false;
    installApp.cancelRequested = false;
    installApp.finishing = false;
    installApp.progressScreen.setProgress(0.0f);
    progressFraction = 0.0f;
    installApp.logEntries.clear();
    installApp.extractionDone = false;

    const std::string arcName = stringTable.text("PATH_SOURCE");
    char strArcName[261];
    packagesTotal = measurePackage(arcName.c_str());
    for (unsigned n = 0; n < medium::NUMBERED_PACKAGES; ++n) {
        formatPackageName(strArcName, n);
        if (packageExists(strArcName)) packagesTotal += measurePackage(strArcName);
    }

    bytesDone = 0;
    const std::string instFolderOEM = ansiToOem(installApp.installDir);

    // A main package that fails is rolled back like a cancel, so the user gets
    // back to the welcome screen with nothing left on the disk.
    bool mainExtracted = extractPackage(arcName.c_str(), instFolderOEM.c_str());
    if (mainExtracted) {
        for (unsigned n = 0; n < medium::NUMBERED_PACKAGES; ++n) {
            if (installApp.cancelRequested) break;
            formatPackageName(strArcName, n);
            if (packageExists(strArcName)) extractPackage(strArcName, instFolderOEM.c_str());
        }
    }

    if (!mainExtracted || installApp.cancelRequested) {
        rollbackInstallation();
    } else {
        installApp.extractionDone = true;
    }
    finishStep();
    return 0;
}
