// uninstall.exe: removes an installation made by setup. It asks first, deletes the
// product's registry key, removes every file and folder that install.log lists,
// and leaves its own file and the installation folder to a batch file that runs
// after it has ended.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "installlog.h"
#include "mediumcatalogue.h"
#include "resstringtable.h"

namespace {

const char* const BOX_CAPTION = "Quillmark Demo Uninstall";
const char* const LOAD_FAILURE_TEXT = "Cannot load string table. Application will terminate.";
using medium::PRODUCT_KEY;
const char* const BATCH_NAME_PREFIX = "QuillmarkUninstall-";

int showBox(const char* text, UINT type) { return MessageBoxA(nullptr, text, BOX_CAPTION, type); }

// The registered installation folder; false when the key or value is missing, is
// not a text, is empty or does not fit the 260-byte buffer.
bool readInstallDir(std::string& installDir) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char szInstallDir[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "InstallDir", nullptr, &type, reinterpret_cast<BYTE*>(szInstallDir), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    installDir = szInstallDir;  // the extra byte keeps a value stored without terminator terminated
    return !installDir.empty();
}

// Deletes the product key but keeps the maker's key above it, even when it is
// left empty.
void deleteProductKey() {
    const std::string productKey = PRODUCT_KEY;
    const size_t split = productKey.rfind('\\');
    const std::string makerKey = productKey.substr(0, split), productSubkey = productKey.substr(split + 1);
    HKEY maker;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, makerKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &maker, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegDeleteKeyA(maker, productSubkey.c_str());
    RegCloseKey(maker);
}

// Either call fails quietly when the path is not of its kind, in use or not empty.
void removePath(const std::string& path) {
    DeleteFileA(path.c_str());
    RemoveDirectoryA(path.c_str());
}

// Two passes from the last entry to the first, so that files go before the folders
// that hold them; the second catches folders that were not empty in the first.
// Unsafe entries are never touched. The second pass joins only relative entries:
// an absolute entry joined to the folder names nothing, unless ".." components let
// it climb to somewhere else entirely.
void removeListedEntries(const std::string& installDir, const std::vector<std::string>& files) {
    for (auto entry = files.rbegin(); entry != files.rend(); ++entry) {
        LogEntryKind kind = classifyLogEntry(*entry);
        if (kind == LogEntryKind::Absolute)
            removePath(*entry);
        else if (kind == LogEntryKind::Relative)
            removePath(installDir + "//" + *entry);
    }
    DeleteFileA((installDir + "\\install.log").c_str());
    for (auto entry = files.rbegin(); entry != files.rend(); ++entry)
        if (classifyLogEntry(*entry) == LogEntryKind::Relative) removePath(installDir + "//" + *entry);
}

// A path as a batch file must spell it: cmd expands %NAME% even inside quotes.
std::string batchQuoted(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        quoted += c;
        if (c == '%') quoted += '%';
    }
    return quoted + "\"";
}

// Creates a batch file of a name no other uninstall uses, in the user's temporary
// folder (the root of a drive is not writable for a standard user).
HANDLE createBatchFile(std::string& batchPath) {
    char szTempPath[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof szTempPath, szTempPath);
    if (length == 0 || length >= sizeof szTempPath) return INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100; ++attempt) {
        batchPath = std::string(szTempPath) + BATCH_NAME_PREFIX + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(attempt) + ".bat";
        HANDLE file = CreateFileA(batchPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Writes and starts the batch that deletes this program's file once the program
// has ended, then removes the program's folder and `folderToRemove` when they are
// empty, and itself. Every failure leaves things as they are, quietly.
void startSelfRemoval(const std::string& folderToRemove) {
    char szUnsetupPathname[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, szUnsetupPathname, sizeof szUnsetupPathname);
    if (length == 0 || length >= sizeof szUnsetupPathname) return;  // a cut path would name another file
    std::string unsetupPathname(szUnsetupPathname, length);
    std::string unsetupPath = unsetupPathname.substr(0, unsetupPathname.find_last_of('\\'));

    // A copy from a read-only medium keeps its read-only flag, which "del" refuses
    // to override; the batch would then repeat forever.
    DWORD attributes = GetFileAttributesA(unsetupPathname.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(unsetupPathname.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);

    std::string batchPath;
    HANDLE file = createBatchFile(batchPath);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string strBatFile = ":Repeat\r\ndel " + batchQuoted(unsetupPathname) + "\r\nif exist " +
                                   batchQuoted(unsetupPathname) + " goto Repeat\r\nrmdir " + batchQuoted(unsetupPath) +
                                   "\r\nrmdir " + batchQuoted(folderToRemove) + "\r\ndel " + batchQuoted(batchPath) +
                                   "\r\n";
    DWORD written = 0;
    bool complete = WriteFile(file, strBatFile.data(), static_cast<DWORD>(strBatFile.size()), &written, nullptr) &&
                    written == strBatFile.size();
    CloseHandle(file);
    if (!complete) {
        DeleteFileA(batchPath.c_str());
        return;
    }

    std::string commandLine = "\"" + batchPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION batch = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED | IDLE_PRIORITY_CLASS,
                        nullptr, "\\", &startup, &batch)) {
        DeleteFileA(batchPath.c_str());
        return;
    }
    // The batch spins on the program file until this process is gone; let this
    // process finish first.
    SetThreadPriority(batch.hThread, THREAD_PRIORITY_IDLE);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    CloseHandle(batch.hProcess);
    ResumeThread(batch.hThread);
    CloseHandle(batch.hThread);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!stringTable.load(medium::STRINGS_FILE)) {
        showBox(LOAD_FAILURE_TEXT, MB_OK);
        std::exit(-1);
    }
    if (showBox(stringTable.text("MSG_CONFIRM_UNINSTALL"), MB_YESNO) != IDYES) return 0;

    std::string installDir;
    if (!readInstallDir(installDir)) {
        showBox(stringTable.text("MSG_UNINSTALL_FAIL"), MB_ICONINFORMATION);
        return 0;
    }
    deleteProductKey();

    std::vector<std::string> files;
    if (!readInstallLog(installDir + "\\install.log", files)) {
        showBox(stringTable.text("MSG_UNINSTALL_FAIL"), MB_ICONINFORMATION);
        return 0;
    }
    removeListedEntries(installDir, files);

    // The log's first line is the installation folder; the registered folder is
    // the same, and is there even when the log is empty or damaged.
    startSelfRemoval(installDir);
    showBox(stringTable.text("MSG_UNINSTALL_SUCCESS"), MB_ICONINFORMATION);
    return 0;
}
