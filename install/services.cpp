// System services of InstallApp: registry, shell folders, disk space, files,
// folders, programs, documents and shortcuts. None of them shows a message.
//
//   registry and shell folders
//   settings from the string table
//   disk space, files and folders
//   programs, documents and the folder browser
//   shortcuts and the Windows version
#include "installapp.h"
#include "mediumcatalogue.h"
#include "productidentity.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "resstringtable.h"
#include "shellfolders.h"
#include "trace.h"

namespace {

void writeRegistryString(HKEY key, const char* name, const std::string& value) {
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    if (rc != ERROR_SUCCESS) traceFailure("writing the registry value", name, static_cast<unsigned long>(rc));
}

bool isDirectory(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Wide text in the ANSI code page; false when a letter has no place there.
bool toAnsi(const std::wstring& wide, std::string& narrow) {
    BOOL lossy = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return false;
    narrow.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size) - 1);
    return true;
}

}  // namespace

std::string ansiPath(const std::wstring& path) {
    std::string narrow;
    if (toAnsi(path, narrow)) return narrow;
    WCHAR wszShort[MAX_PATH];
    DWORD length = GetShortPathNameW(path.c_str(), wszShort, MAX_PATH);
    if (length > 0 && length < MAX_PATH && toAnsi(wszShort, narrow)) return narrow;
    // A folder that does not exist yet has no short name: its parent's short
    // name, and its own name as it is.
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 3) return std::string();
    const std::string parent = ansiPath(path.substr(0, slash));
    if (parent.empty() || !toAnsi(path.substr(slash + 1), narrow)) return std::string();
    return parent + "\\" + narrow;
}

namespace {

// The user's own folder for programs (the known folder of per-user programs,
// %LOCALAPPDATA%\Programs), whether or not it exists yet.
std::wstring userProgramFilesFolderWide() {
    // Looked up by name: the known-folder call is missing before Windows Vista.
    using GetKnownFolderPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    auto getKnownFolderPath = reinterpret_cast<GetKnownFolderPath>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("shell32.dll"), "SHGetKnownFolderPath")));
    if (getKnownFolderPath) {
        PWSTR wszFolder = nullptr;
        HRESULT hr = getKnownFolderPath(FOLDERID_UserProgramFiles, KF_FLAG_DONT_VERIFY, nullptr, &wszFolder);
        std::wstring folder = SUCCEEDED(hr) && wszFolder ? wszFolder : L"";
        CoTaskMemFree(wszFolder);
        if (!folder.empty()) return folder;
    }
    // Systems that do not know it (Wine among them) have it in the same place.
    WCHAR wszLocal[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, wszLocal)))
        return std::wstring();
    return std::wstring(wszLocal) + L"\\Programs";
}

}  // namespace

// --- registry and shell folders ------------------------------------------

const char* InstallApp::registeredInstallDir() {
    static char szInstallDir[MAX_PATH];
    if (!readRegistryString(HKEY_CURRENT_USER, productIdentity().registryKey.c_str(), "InstallDir", szInstallDir,
                            sizeof szInstallDir))
        return nullptr;
    return szInstallDir;
}

bool InstallApp::isInstalled() {
    const char* dir = registeredInstallDir();
    if (!dir) return false;
    std::string base = dir;
    return fileExists((base + "//install.log").c_str()) && fileExists((base + "//uninstall.exe").c_str());
}

void InstallApp::writeRegistry() {
    HKEY key;
    const char* productKey = productIdentity().registryKey.c_str();
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, productKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        traceFailure("creating the registry key", productKey, static_cast<unsigned long>(rc));
        return;
    }
    writeRegistryString(key, "InstallDir", installDir);
    writeRegistryString(key, "InstallFrom", sourceDrive);
    RegCloseKey(key);
}

void InstallApp::setDefaultInstallDir() {
    const std::string gameDir = stringTable.text("PATH_GAME_DIR");
    installDir = shellFolder(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                             MAX_PATH, CSIDL_PROGRAM_FILES) +
                 "\\" + gameDir;
    // A standard user, and an administrator until elevated, cannot create folders
    // in Program Files, and a 64-bit program gets no redirected copy of it. Then
    // the game goes into the user's own programs folder; its registry values and
    // shortcuts are the user's anyway.
    if (canCreateFoldersIn(installDir.c_str())) return;
    const std::string userProgramFiles = userProgramFilesFolder();
    if (!userProgramFiles.empty()) installDir = userProgramFiles + "\\" + gameDir;
}

std::string InstallApp::programsFolder() { return userProgramsFolder(); }

std::string InstallApp::userProgramFilesFolder() { return ansiPath(userProgramFilesFolderWide()); }

std::string InstallApp::desktopFolder() { return userDesktopFolder(); }

// --- settings from the string table --------------------------------------

int InstallApp::requiredSpaceMb() { return stringTable.number("INT_SPACE_NEED"); }

std::string InstallApp::sourceFilePath() { return stringTable.text("PATH_SOURCE"); }

// --- disk space, files and folders ---------------------------------------

unsigned long long InstallApp::freeDiskSpace() {
    // Looked up by name: the extended query is missing on the oldest systems.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    using FreeSpace = BOOL(WINAPI*)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
    auto freeSpaceEx =
        reinterpret_cast<FreeSpaceEx>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
    if (freeSpaceEx) {
        std::string root = installDir.substr(0, 3);
        ULARGE_INTEGER available, total, free;
        if (!freeSpaceEx(root.c_str(), &available, &total, &free)) return 0;
        return available.QuadPart;
    }
    auto freeSpace =
        reinterpret_cast<FreeSpace>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetDiskFreeSpaceA")));
    if (!freeSpace) return 0;
    std::string root = installDir.substr(0, 2);
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!freeSpace(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) return 0;
    return static_cast<DWORD>(sectorsPerCluster * bytesPerSector * freeClusters);
}

bool InstallApp::lacksRoomFor(unsigned long long bytes) { return freeDiskSpace() < std::max(bytes, 1ULL); }

bool InstallApp::fileExists(const char* path) {
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA(path, &data);
    if (found == INVALID_HANDLE_VALUE) return false;
    FindClose(found);
    return true;
}

std::string InstallApp::deepestExistingFolder(const char* path) {
    std::string folder = path ? path : "";
    for (;;) {
        if (!folder.empty() && isDirectory(folder.c_str())) return folder;
        size_t slash = folder.find_last_of("\\/");
        if (slash == std::string::npos) return std::string();
        // "C:\" keeps its backslash: "C:" alone names the drive's current folder.
        folder.resize(slash > 0 && folder[slash - 1] == ':' ? slash + 1 : slash);
        if (folder.size() <= 3 && !isDirectory(folder.c_str())) return std::string();
    }
}

bool InstallApp::canCreateFoldersIn(const char* path) {
    const std::string folder = deepestExistingFolder(path);
    if (folder.empty()) return false;
    // Asking for the rights would miss what the file system itself refuses (a
    // read-only medium or mount); a folder made and removed at once tells.
    std::string probe = folder;
    if (probe.back() != '\\' && probe.back() != '/') probe += '\\';
    probe += "~setup-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    if (!CreateDirectoryA(probe.c_str(), nullptr)) return false;
    if (!RemoveDirectoryA(probe.c_str())) traceFailure("removing the folder", probe.c_str(), GetLastError());
    return true;
}

bool InstallApp::makeDirectories(const char* path) {
    if (!path) return false;
    std::string szDir(path);
    // Longer paths do not fit the system's path buffers: refused, never cut.
    if (szDir.empty() || szDir.size() >= MAX_PATH) return false;
    for (char& c : szDir)
        if (c == '\\') c = '/';
    while (szDir.size() > 3 && szDir.back() == '/') szDir.pop_back();
    if (isDirectory(szDir.c_str())) return true;

    // The deepest ancestor that exists. Probing with attributes rather than by
    // changing the current directory keeps the process's folder untouched, which
    // matters because finishing runs beside the main thread.
    size_t existing = szDir.size();
    for (;;) {
        size_t slash = szDir.rfind('/', existing - 1);
        if (slash == std::string::npos || slash == 0) {
            existing = 0;
            break;
        }
        existing = slash;
        if (isDirectory(szDir.substr(0, existing).c_str())) break;
    }

    // Create each deeper level in turn; the last creation decides.
    bool created = false;
    size_t next = existing;
    while (next < szDir.size()) {
        next = szDir.find('/', next + 1);
        if (next == std::string::npos) next = szDir.size();
        created = CreateDirectoryA(szDir.substr(0, next).c_str(), nullptr) != 0;
    }
    return created;
}

// --- programs, documents and the folder browser --------------------------

void InstallApp::browseInstallDir() {
    BROWSEINFOA info{};
    info.hwndOwner = hwnd;
    info.lpszTitle = stringTable.text("TXT_SELECT_DIRECTORY");
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE;
    if (LPITEMIDLIST item = SHBrowseForFolderA(&info)) {
        char szPath[MAX_PATH];
        if (SHGetPathFromIDListA(item, szPath)) {
            std::string chosen = szPath;
            // Only folders on a drive letter; network places and virtual folders do not count.
            if (chosen.size() >= 3 && chosen[1] == ':') {
                if (chosen.back() != '\\') chosen += '\\';
                installDir = chosen + stringTable.text("PATH_GAME_DIR");
            }
        }
        CoTaskMemFree(item);
    }
    // Chosen or cancelled, the edit box shows the folder again with the caret at its end.
    optionsScreen.refreshInstallDir();
}

bool InstallApp::runProgram(const char* program, const char* commandLine, bool wait) {
    std::string szCommandLine = commandLine ? commandLine : "";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWDEFAULT;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program, szCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        traceFailure("starting", program, GetLastError());
        return false;
    }
    if (wait) {
        DWORD exitCode = STILL_ACTIVE;
        while (GetExitCodeProcess(process.hProcess, &exitCode) && exitCode == STILL_ACTIVE) Sleep(100);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

namespace {

// Opens a document or web address with the program the user chose for it.
void openWithShell(HWND owner, const char* file) {
    auto rc = reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", file, nullptr, nullptr, SW_SHOWNORMAL));
    // Results up to 32 are the shell's error codes.
    if (rc <= 32) traceFailure("opening", file, static_cast<unsigned long>(rc));
}

}  // namespace

void InstallApp::openReadme() { openWithShell(hwnd, medium::README_FILE); }

void InstallApp::openHomepage() { openWithShell(hwnd, homepageUrl.c_str()); }

void InstallApp::runUninstaller() {
    const char* dir = registeredInstallDir();
    if (!dir) return;
    std::string uninstaller = std::string(dir) + "//uninstall.exe";
    if (!fileExists(uninstaller.c_str())) return;
    runProgram(uninstaller.c_str(), "", false);
    PostQuitMessage(0);
}

void InstallApp::launchGame() {
    const char* dir = registeredInstallDir();
    std::string game = std::string(dir ? dir : "") + "\\" + stringTable.text("PATH_GAME_EXE");
    Sleep(200);
    runProgram(game.c_str(), "", false);
    PostQuitMessage(0);
}

// --- shortcuts and the Windows version -----------------------------------

HRESULT InstallApp::createShortcut(const char* target, const char* linkFile, const char* description,
                                   const char* workingDir, const char* arguments, const char* iconFile, int iconIndex) {
    // Finishing calls this on the worker thread, which has no COM of its own yet.
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) {
        traceFailure("making the shortcut", linkFile, static_cast<unsigned long>(hr));
        return hr;
    }
    link->SetPath(target);
    link->SetDescription(description);
    link->SetWorkingDirectory(workingDir);
    if (arguments) link->SetArguments(arguments);
    if (iconFile) link->SetIconLocation(iconFile, iconIndex);
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        WCHAR wszLink[MAX_PATH];
        // A name that does not fit is refused rather than saved under a cut name.
        if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, linkFile, -1, wszLink, MAX_PATH) == 0)
            hr = HRESULT_FROM_WIN32(GetLastError());
        else
            hr = file->Save(wszLink, TRUE);
        file->Release();
    }
    link->Release();
    if (FAILED(hr)) traceFailure("saving the shortcut", linkFile, static_cast<unsigned long>(hr));
    return hr;
}

bool InstallApp::isWindowsXp() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool extended = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != 0;
    if (!extended) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
    }
    return extended && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.wProductType == VER_NT_WORKSTATION &&
           info.dwMajorVersion == 5 && info.dwMinorVersion == 1;
}
