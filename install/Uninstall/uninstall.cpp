// uninstall.exe: removes an installation made by setup. It asks first, removes
// every file and folder that install.log lists, deletes the product's registry
// key and its entry in Settings > Apps, and leaves its own file and the
// installation folder to a batch file that runs after it has ended. What it could
// not remove it says, naming the folder; an installation that is still there
// keeps its registration. With /S it asks nothing and shows no box: the exit code
// and a line on the parent console tell the result.
//
//   the registry and the boxes
//   what is left
//   self-removal
//   WinMain
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "commandline.h"
#include "installlog.h"
#include "logremoval.h"
#include "mediumcatalogue.h"
#include "parentconsole.h"
#include "productidentity.h"
#include "resstringtable.h"
#include "uninstallentry.h"

namespace {

const char* const LOAD_FAILURE_TEXT = "Cannot load string table. Application will terminate.";
// Shown when MSG_UNINSTALL_INCOMPLETE is missing from the string table.
const char* const INCOMPLETE_TEXT =
    "The game could not be removed completely: its installation log is missing or damaged, or some of its files "
    "could not be deleted. Please look into this folder:";
using medium::RUNONCE_KEY;
using medium::RUNONCE_VALUE;
const wchar_t* const BATCH_NAME_PREFIX = L"QuillmarkUninstall-";
// Long enough for any path the system hands out.
constexpr DWORD WIDE_PATH_BUFFER = 32768;

// The options of this run, and the console that an unattended run reports to.
UninstallOptions options;
ParentConsole console;

// --- the registry and the boxes ------------------------------------------

int showBox(const char* text, UINT type) {
    return MessageBoxA(nullptr, text, productIdentity().uninstallCaption().c_str(), type);
}

// Says that not everything is gone, naming the installation folder: in a box,
// or in an unattended run on the console and by the exit code.
int reportIncomplete(const std::string& installDir) {
    if (options.silent) {
        console.writeLine(productIdentity().name + " could not be removed completely; files are left in " + installDir +
                          ".");
        return static_cast<int>(UninstallExit::Incomplete);
    }
    const char* text = stringTable.text("MSG_UNINSTALL_INCOMPLETE");
    const std::string message = std::string(*text ? text : INCOMPLETE_TEXT) + "\n" + installDir;
    showBox(message.c_str(), MB_ICONWARNING);
    return 0;
}

// Says that no installation was found.
int reportNotFound() {
    if (options.silent) {
        console.writeLine("No installation of " + productIdentity().name + " was found; nothing was removed.");
        return static_cast<int>(UninstallExit::NotFound);
    }
    showBox(stringTable.text("MSG_UNINSTALL_FAIL"), MB_ICONINFORMATION);
    return 0;
}

// The texts from "Media\strings.txt" in the current folder, as the shortcut and
// setup start the program; Settings > Apps starts it with a current folder of
// its own (often System32), so then the copy beside the program file is read.
bool loadStringTable() {
    if (stringTable.load(medium::STRINGS_FILE)) return true;
    char szProgram[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, szProgram, sizeof szProgram);
    if (length == 0 || length >= sizeof szProgram) return false;
    std::string folder(szProgram, length);
    folder.resize(folder.find_last_of('\\') + 1);
    return stringTable.load((folder + medium::STRINGS_FILE).c_str());
}

// The registered installation folder; false when the key or value is missing, is
// not a text, is empty or does not fit the 260-byte buffer.
bool readInstallDir(std::string& installDir) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, productIdentity().registryKey.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    char szInstallDir[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "InstallDir", nullptr, &type, reinterpret_cast<BYTE*>(szInstallDir), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    installDir = szInstallDir;  // the extra byte keeps a value stored without terminator terminated
    return !installDir.empty();
}

// Deletes the product key, and the maker's key above it when nothing else is
// left in it.
void deleteProductKey() {
    const ProductIdentity& identity = productIdentity();
    const std::string makerKey = identity.makerKey();
    HKEY maker;
    // Opened, not created: a run that finds no registration adds none.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, makerKey.c_str(), 0, KEY_ALL_ACCESS, &maker) != ERROR_SUCCESS) return;
    RegDeleteKeyA(maker, identity.productSubkey().c_str());
    DWORD subkeys = 1, values = 1;
    const bool empty = RegQueryInfoKeyA(maker, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                        nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                       subkeys == 0 && values == 0;
    RegCloseKey(maker);
    // The maker's key goes with its last product; a top-level key such as
    // SOFTWARE itself never does.
    if (empty && makerKey.find('\\') != std::string::npos) RegDeleteKeyA(HKEY_CURRENT_USER, makerKey.c_str());
}

// The entry that would resume the extra installers at the next logon belongs to
// the installation: once its registration is gone there is nothing to resume.
void deleteResumptionEntry() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RUNONCE_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, RUNONCE_VALUE);
    RegCloseKey(key);
}

// Everything that registers the installation: the product key, the entry in
// Settings > Apps and the resumption entry.
void deleteRegistration() {
    deleteProductKey();
    deleteUninstallEntry();
    deleteResumptionEntry();
}

// --- what is left ----------------------------------------------------------

std::wstring widened(const std::string& ansi) {
    int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], length);
    return wide;
}

// This program's own file; empty when its path cannot be had.
std::wstring ownProgramPath() {
    std::wstring path(WIDE_PATH_BUFFER, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, &path[0], WIDE_PATH_BUFFER);
    path.resize(length < WIDE_PATH_BUFFER ? length : 0);
    return path;
}

bool samePath(const std::wstring& a, const std::wstring& b) {
    wchar_t szFullA[MAX_PATH * 2], szFullB[MAX_PATH * 2];
    DWORD lengthA = GetFullPathNameW(a.c_str(), MAX_PATH * 2, szFullA, nullptr);
    DWORD lengthB = GetFullPathNameW(b.c_str(), MAX_PATH * 2, szFullB, nullptr);
    return lengthA > 0 && lengthA < MAX_PATH * 2 && lengthB > 0 && lengthB < MAX_PATH * 2 &&
           lstrcmpiW(szFullA, szFullB) == 0;
}

bool isFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// True when a file that the log lists is still there; this program does not
// count, the self-removal deletes it.
bool listedFileLeft(const std::vector<std::string>& files, const InstallPlaces& places, const std::wstring& program) {
    for (const std::string& entry : files) {
        const std::string path = planRemoval(entry, places).path;
        if (path.empty()) continue;
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !samePath(widened(path), program))
            return true;
    }
    return false;
}

// True when the folder or one below it holds a file other than the given ones.
// Links to folders elsewhere are not followed.
bool holdsFilesBesides(const std::wstring& folder, const std::vector<std::wstring>& except) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool holds = false;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            holds = !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && holdsFilesBesides(path, except);
        } else {
            holds = true;
            for (const std::wstring& kept : except)
                if (samePath(path, kept)) holds = false;
        }
    } while (!holds && FindNextFileW(search, &found));
    FindClose(search);
    return holds;
}

// --- self-removal ------------------------------------------------------------

// The bytes of a text in the OEM code page; false when it has no letter for a
// character of the text.
bool inOemCodePage(const std::wstring& text, std::string& oem) {
    const UINT codePage = GetOEMCP();
    // UTF-8 spells everything and takes neither the flag nor the question.
    const bool utf8 = codePage == CP_UTF8;
    BOOL usedDefault = FALSE;
    const int wideLength = static_cast<int>(text.size());
    int length = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), wideLength, nullptr, 0,
                                     nullptr, utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault) return false;
    oem.assign(length, '\0');
    WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), wideLength, &oem[0], length, nullptr,
                        nullptr);
    return true;
}

// A path as the batch text must spell it, in double quotation marks. The
// command interpreter reads a batch file in the OEM code page, which spells the
// letters outside ASCII differently from the ANSI code page or not at all; where
// it has no letter for a character, the path's 8.3 short name stands in. Percent
// signs are doubled, or the interpreter would expand them. False when neither
// name can be spelled (a volume without short names).
bool batchSpelling(const std::wstring& path, std::string& spelled) {
    std::wstring name = path;
    std::string oem;
    if (!inOemCodePage(name, oem)) {
        std::wstring shortName(WIDE_PATH_BUFFER, L'\0');
        DWORD length = GetShortPathNameW(path.c_str(), &shortName[0], WIDE_PATH_BUFFER);
        if (length == 0 || length >= WIDE_PATH_BUFFER) return false;
        shortName.resize(length);
        if (!inOemCodePage(shortName, oem)) return false;
    }
    spelled = "\"";
    for (char c : oem) {
        spelled += c;
        if (c == '%') spelled += '%';
    }
    spelled += "\"";
    return true;
}

std::wstring folderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// Creates a batch file of a name no other uninstall uses, in the user's temporary
// folder (the root of a drive is not writable for a standard user).
HANDLE createBatchFile(std::wstring& batchPath) {
    wchar_t szTempPath[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, szTempPath);
    if (length == 0 || length > MAX_PATH) return INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100; ++attempt) {
        batchPath = std::wstring(szTempPath) + BATCH_NAME_PREFIX + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(attempt) + L".bat";
        HANDLE file = CreateFileW(batchPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// The batch text: it deletes the program again and again until the program has
// ended, then removes the program's folder and `folders` (in that order) when
// they are empty, and itself. False when a path cannot be spelled.
bool batchText(const std::wstring& program, const std::vector<std::wstring>& folders, const std::wstring& batchPath,
               std::string& text) {
    std::string szProgram, szProgramFolder, szBatch;
    if (!batchSpelling(program, szProgram) || !batchSpelling(folderOf(program), szProgramFolder) ||
        !batchSpelling(batchPath, szBatch))
        return false;
    text = ":Repeat\r\ndel " + szProgram + "\r\nif exist " + szProgram + " goto Repeat\r\nrmdir " + szProgramFolder +
           "\r\n";
    for (const std::wstring& folder : folders) {
        std::string szFolder;
        if (!batchSpelling(folder, szFolder)) return false;
        text += "rmdir " + szFolder + "\r\n";
    }
    text += "del " + szBatch + "\r\n";
    return true;
}

// The levels of the game's default folder name above its last one ("Orvanta" of
// "Orvanta\Quillmark Demo"), deepest first, when the installation folder ends with
// that name: setup made them for the maker's games, and the last game to go takes
// them along once they are empty. A folder the user chose elsewhere has none.
std::vector<std::string> makerFolders(const std::string& installDir) {
    std::string gameDir = stringTable.text("PATH_GAME_DIR");
    while (!gameDir.empty() && gameDir.back() == '\\') gameDir.pop_back();
    while (!gameDir.empty() && gameDir.front() == '\\') gameDir.erase(0, 1);
    std::vector<std::string> levels;
    if (gameDir.empty() || installDir.size() <= gameDir.size() + 1) return levels;
    const size_t start = installDir.size() - gameDir.size();
    if (installDir[start - 1] != '\\' || _stricmp(installDir.c_str() + start, gameDir.c_str()) != 0) return levels;
    std::string level = installDir;
    for (size_t slash = level.rfind('\\'); slash != std::string::npos && slash >= start; slash = level.rfind('\\')) {
        level.resize(slash);
        levels.push_back(level);
    }
    return levels;
}

// Starts the command interpreter from the system folder on the batch file, at
// idle priority and without a window. It runs in the temporary folder and is
// given the file's name only, which is plain ASCII: no path on its command line
// can be expanded or misread.
bool startBatch(const std::wstring& batchPath) {
    wchar_t szSystem[MAX_PATH];
    UINT length = GetSystemDirectoryW(szSystem, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring interpreter = std::wstring(szSystem) + L"\\cmd.exe";
    std::wstring commandLine = L"cmd.exe /d /q /v:off /c .\\" + batchPath.substr(batchPath.find_last_of(L'\\') + 1);
    const std::wstring folder = folderOf(batchPath);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION batch = {};
    if (!CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | IDLE_PRIORITY_CLASS | CREATE_NO_WINDOW, nullptr, folder.c_str(), &startup,
                        &batch))
        return false;
    // The batch spins on the program file until this process is gone; let this
    // process finish first.
    SetThreadPriority(batch.hThread, THREAD_PRIORITY_IDLE);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    CloseHandle(batch.hProcess);
    ResumeThread(batch.hThread);
    CloseHandle(batch.hThread);
    return true;
}

// Leaves the program file and the folders to a batch that runs once this
// program has ended. False when it could not be started; nothing is left of it.
bool startSelfRemoval(const std::wstring& program, const std::string& installDir) {
    if (program.empty()) return false;
    // A copy from a read-only medium keeps its read-only flag, which "del" refuses
    // to override; the batch would then repeat forever.
    DWORD attributes = GetFileAttributesW(program.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(program.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);

    std::wstring batchPath;
    HANDLE file = createBatchFile(batchPath);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string text;
    DWORD written = 0;
    std::vector<std::wstring> folders = {widened(installDir)};
    for (const std::string& level : makerFolders(installDir)) folders.push_back(widened(level));
    bool complete = batchText(program, folders, batchPath, text) &&
                    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    complete = CloseHandle(file) && complete;
    if (complete && startBatch(batchPath)) return true;
    DeleteFileW(batchPath.c_str());
    return false;
}

}  // namespace

// --- WinMain -------------------------------------------------------------------

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
    options = parseUninstallCommandLine(lpCmdLine ? lpCmdLine : "");
    if (options.silent) console.attach();
    if (!options.error.empty()) {
        if (options.silent)
            console.writeLine(options.error);
        else
            showBox(options.error.c_str(), MB_OK | MB_ICONERROR);
        return static_cast<int>(UninstallExit::BadCommandLine);
    }
    // An unattended run shows no text, so without a string table it goes on as
    // the demo's uninstaller.
    if (!loadStringTable() && !options.silent) {
        showBox(LOAD_FAILURE_TEXT, MB_OK);
        std::exit(-1);
    }
    setProductIdentity(readProductIdentity(stringTable));
    if (!options.silent && showBox(stringTable.text("MSG_CONFIRM_UNINSTALL"), MB_YESNO) != IDYES) return 0;

    std::string installDir;
    if (!readInstallDir(installDir)) return reportNotFound();

    const std::string logPath = installDir + "\\install.log";
    std::vector<std::string> files;
    size_t damaged = 0;
    if (!readInstallLog(logPath, files, &damaged)) {
        // Nothing is removed without the log. A folder that is still there keeps
        // its registration, so that setup can install over it and so repair it;
        // a registration whose folder is gone names nothing any more.
        if (isFolder(installDir)) return reportIncomplete(installDir);
        deleteRegistration();
        return reportNotFound();
    }
    const InstallPlaces places = installPlaces(installDir);
    damaged += removeLoggedEntries(files, places);

    // With a sound log only the listed files are the game; with an empty or
    // damaged one, any file in the folder may be one of them.
    const bool soundLog = damaged == 0 && !files.empty();
    const std::wstring program = ownProgramPath();
    if (listedFileLeft(files, places, program) ||
        (!soundLog && holdsFilesBesides(widened(installDir), {program, widened(logPath)}))) {
        // The registration, the log and this program stay, so that the removal
        // can be repeated once the files are free.
        return reportIncomplete(installDir);
    }
    DeleteFileA(logPath.c_str());
    deleteRegistration();

    // The log's first line is the installation folder; the registered folder is
    // the same, and is there even when the log is empty or damaged.
    const bool removesItself = startSelfRemoval(program, installDir);
    if (!soundLog || !removesItself) return reportIncomplete(installDir);
    if (options.silent) {
        console.writeLine(productIdentity().name + " was removed from " + installDir + ".");
        return static_cast<int>(UninstallExit::Removed);
    }
    showBox(stringTable.text("MSG_UNINSTALL_SUCCESS"), MB_ICONINFORMATION);
    return 0;
}
