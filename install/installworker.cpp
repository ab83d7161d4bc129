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
#include <iterator>
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
        installApp.errorBox(SetupExit::BadMedium, "Cannot process package: %s", packagePath);
        return false;
    }
    headerData.CmtBuf = nullptr;
    return true;
}

// Reads the next entry's header. The names are cut at the record's end, whatever
// the library left there.
bool readNextHeader() {
    if (RARReadHeaderEx(archiveHandle, &headerData) != 0) return false;
    headerData.FileName[sizeof headerData.FileName - 1] = '\0';
    headerData.FileNameW[std::size(headerData.FileNameW) - 1] = L'\0';
    return true;
}

int64_t unpackedSize() { return static_cast<int64_t>(headerData.UnpSizeHigh) << 32 | headerData.UnpSize; }

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

// The entry's name as the log and the file system calls of setup spell it: its
// wide name in the ANSI code page, which is how Windows names the file that the
// library creates from it. False when the code page cannot spell a letter of it
// (`name` then holds a stand-in for messages). A library that gives no wide name
// is read the narrow way.
bool entryNameInAnsi(std::string& name) {
    const wchar_t* wide = headerData.FileNameW;
    if (*wide == L'\0') {
        name = oemToAnsi(headerData.FileName);
        return true;
    }
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &usedDefault);
    name.assign(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, &name[0], length, nullptr, &usedDefault);
    if (!name.empty()) name.pop_back();  // the terminator
    return length > 0 && !usedDefault;
}

// A write that failed on a drive without room for the entry is named a full
// disk, which the user can do something about; the library's code alone does
// not say so. A failure while measuring shows a damaged medium before anything
// is written; one while extracting ends an installation that has begun.
// `name` is the entry's name as the log spells it.
void reportUnpackError(SetupExit failure, int code, const std::string& name) {
    bool writeFailed = code == ERAR_ECREATE || code == ERAR_EWRITE || code == ERAR_ECLOSE;
    if (writeFailed && installApp.lacksRoomFor(static_cast<unsigned long long>(unpackedSize()))) {
        const std::string path = installApp.installDir + "\\" + name;
        installApp.errorBox(failure, DISK_FULL_FORMAT, path.c_str(), code, name.c_str());
    } else {
        installApp.errorBox(failure, UNPACK_ERROR_FORMAT, code, name.c_str());
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

std::wstring ansiToWide(const std::string& ansi) {
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), static_cast<int>(ansi.size()), &wide[0], length);
    return wide;
}

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
            std::string name;
            entryNameInAnsi(name);
            reportUnpackError(SetupExit::BadMedium, code, name);
            break;
        }
        sum += unpackedSize();
    }
    closePackage();
    return sum;
}

bool extractPackage(const char* packagePath, const wchar_t* folder) {
    if (!openPackage(packagePath, RAR_OM_EXTRACT)) return false;
    RARSetProcessDataProc(archiveHandle, onUnpackedData);
    installApp.report.step(std::string("Extracting ") + packagePath);
    installApp.logEntries.push_back(installApp.installDir + "\\");

    bool result = true;
    while (readNextHeader()) {
        // Logged before it is written, so a partly written entry is rolled back too.
        // A name the log cannot spell could be neither rolled back nor uninstalled:
        // it is refused like an entry the library cannot create.
        std::string cpath;
        if (!entryNameInAnsi(cpath)) {
            reportUnpackError(SetupExit::ExtractionFailed, ERAR_ECREATE, cpath);
            installApp.cancelRequested = true;
            result = false;
            break;
        }
        if (isSafeEntryName(cpath.c_str())) installApp.logEntries.push_back(cpath);

        int code = RARProcessFileW(archiveHandle, RAR_EXTRACT, const_cast<wchar_t*>(folder), nullptr);
        // A cancel makes the library fail the entry; that code is no error to report.
        if (installApp.cancelRequested) break;
        if (code != 0) {
            reportUnpackError(SetupExit::ExtractionFailed, code, cpath);
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
    installApp.showProgress(progressFraction);
    return 1;
}

// --- rollback --------------------------------------------------------------

void rollbackInstallation() {
    installApp.report.step("Rolling back the " + std::to_string(installApp.logEntries.size()) +
                           " entries extracted so far");
    removeLoggedEntries(installApp.logEntries, installPlaces(installApp.installDir));
    RemoveDirectoryA(installApp.installDir.c_str());
    installApp.removeCreatedFolders();
}

// --- the thread procedure --------------------------------------------------

DWORD WINAPI installWorker(LPVOID) {
    installApp.cancelPrompting = false;
    installApp.cancelRequested = false;
    installApp.finishing = false;
    installApp.showProgress(0.0f);
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

    installApp.report.step("The packages hold " + std::to_string(packagesTotal) + " bytes");
    bytesDone = 0;
    const std::wstring installFolder = ansiToWide(installApp.installDir);

    // A main package that fails is rolled back like a cancel, so the user gets
    // back to the welcome screen with nothing left on the disk.
    bool mainExtracted = extractPackage(arcName.c_str(), installFolder.c_str());
    if (mainExtracted) {
        for (unsigned n = 0; n < medium::NUMBERED_PACKAGES; ++n) {
            if (installApp.cancelRequested) break;
            formatPackageName(strArcName, n);
            if (packageExists(strArcName)) extractPackage(strArcName, installFolder.c_str());
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
