// The binding to "unrar.dll": loading, the function table and the wrappers.
#include "unrarbinding.h"

#include <string>

#include "installapp.h"

HMODULE unrarLibrary = nullptr;
RAROpenArchiveData openArchiveData{};
RARHeaderDataEx headerData{};
char commentBuffer[UNRAR_COMMENT_BUFFER];
HANDLE archiveHandle = nullptr;

namespace {

constexpr char UNRAR_FILE_NAME[] = "unrar.dll";

typedef HANDLE(CALLBACK* OpenArchiveProc)(RAROpenArchiveData*);
typedef int(CALLBACK* CloseArchiveProc)(HANDLE);
typedef int(CALLBACK* ReadHeaderProc)(HANDLE, RARHeaderData*);
typedef int(CALLBACK* ReadHeaderExProc)(HANDLE, RARHeaderDataEx*);
typedef int(CALLBACK* ProcessFileProc)(HANDLE, int, char*, char*);
typedef int(CALLBACK* ProcessFileWProc)(HANDLE, int, wchar_t*, wchar_t*);
typedef void(CALLBACK* SetChangeVolProcProc)(HANDLE, UNRARCHANGEVOLPROC);
typedef void(CALLBACK* SetProcessDataProcProc)(HANDLE, UNRARPROCESSDATAPROC);
typedef void(CALLBACK* SetPasswordProc)(HANDLE, char*);

// The addresses. Setup never installs a volume callback or a password, so those
// two are looked up but never called; the narrow header and extraction are kept
// for callers that name folders in the OEM code page.
OpenArchiveProc openArchiveProc = nullptr;
CloseArchiveProc closeArchiveProc = nullptr;
ReadHeaderProc readHeaderProc = nullptr;
ProcessFileProc processFileProc = nullptr;
ReadHeaderExProc readHeaderExProc = nullptr;
ProcessFileWProc processFileWProc = nullptr;
SetProcessDataProcProc setProcessDataProcProc = nullptr;
SetChangeVolProcProc setChangeVolProcProc = nullptr;
SetPasswordProc setPasswordProc = nullptr;

template <typename Proc>
void lookUp(Proc& proc, const char* name) {
    proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(unrarLibrary, name)));
}

}  // namespace

bool loadUnrarLibrary() {
    // By its full path in setup's folder: the search for libraries loaded by name
    // covers System32 alone, and no other folder's unrar.dll may stand in for it.
    const std::string& program = installApp.setupPath;
    const std::string path = program.substr(0, program.rfind('\\') + 1) + UNRAR_FILE_NAME;
    unrarLibrary = LoadLibraryA(path.c_str());
    if (unrarLibrary == nullptr) {
        installApp.errorBox(SetupExit::NoUnrarLibrary, "Cannot load %s. Installation will not proceed",
                            UNRAR_FILE_NAME);
        return false;
    }
    lookUp(openArchiveProc, "RAROpenArchive");
    lookUp(closeArchiveProc, "RARCloseArchive");
    lookUp(readHeaderProc, "RARReadHeader");
    lookUp(processFileProc, "RARProcessFile");
    lookUp(readHeaderExProc, "RARReadHeaderEx");
    lookUp(processFileWProc, "RARProcessFileW");
    lookUp(setChangeVolProcProc, "RARSetChangeVolProc");
    lookUp(setProcessDataProcProc, "RARSetProcessDataProc");
    lookUp(setPasswordProc, "RARSetPassword");

    struct UsedFunction {
        const char* name;
        bool present;
    };
    const UsedFunction used[] = {
        {"RAROpenArchive", openArchiveProc != nullptr},
        {"RARCloseArchive", closeArchiveProc != nullptr},
        {"RARReadHeaderEx", readHeaderExProc != nullptr},
        {"RARProcessFileW", processFileWProc != nullptr},
        {"RARSetProcessDataProc", setProcessDataProcProc != nullptr},
    };
    for (const UsedFunction& function : used) {
        if (!function.present) {
            installApp.errorBox(SetupExit::NoUnrarLibrary, "Cannot find %s in %s. Installation will not proceed",
                                function.name, UNRAR_FILE_NAME);
            return false;
        }
    }
    return true;
}

HANDLE RAROpenArchive(RAROpenArchiveData* data) { return openArchiveProc != nullptr ? openArchiveProc(data) : nullptr; }

int RARCloseArchive(HANDLE archive) { return closeArchiveProc != nullptr ? closeArchiveProc(archive) : ERAR_ECREATE; }

int RARReadHeader(HANDLE archive, RARHeaderData* header) {
    return readHeaderProc != nullptr ? readHeaderProc(archive, header) : ERAR_ECREATE;
}

int RARReadHeaderEx(HANDLE archive, RARHeaderDataEx* header) {
    return readHeaderExProc != nullptr ? readHeaderExProc(archive, header) : ERAR_ECREATE;
}

int RARProcessFileW(HANDLE archive, int operation, wchar_t* destPath, wchar_t* destName) {
    return processFileWProc != nullptr ? processFileWProc(archive, operation, destPath, destName) : ERAR_ECREATE;
}

int RARProcessFile(HANDLE archive, int operation, char* destPath, char* destName) {
    return processFileProc != nullptr ? processFileProc(archive, operation, destPath, destName) : ERAR_ECREATE;
}

void RARSetProcessDataProc(HANDLE archive, UNRARPROCESSDATAPROC callback) {
    if (setProcessDataProcProc != nullptr) setProcessDataProcProc(archive, callback);
}
