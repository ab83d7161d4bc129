// System services of InstallApp: registry, shell folders, files and programs.
#include "installapp.h"

#include <string>

#include "resstringtable.h"

namespace {

constexpr char PRODUCT_KEY[] = "SOFTWARE\\Orvanta\\Quillmark Demo";

// Reads a string value into buf; false when the key or value cannot be read.
bool readRegistryString(HKEY root, const char* subKey, const char* name, char* buf, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD bytes = size - 1;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &bytes);
    bool closed = RegCloseKey(key) == ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS || !closed || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    buf[bytes < size ? bytes : size - 1] = '\0';
    return true;
}

}  // namespace

const char* InstallApp::registeredInstallDir() {
    static char szInstallDir[MAX_PATH];
    if (!readRegistryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir", szInstallDir, sizeof szInstallDir))
        return nullptr;
    return szInstallDir;
}

bool InstallApp::isInstalled() {
    const char* dir = registeredInstallDir();
    if (!dir) return false;
    std::string base = dir;
    return fileExists((base + "//install.log").c_str()) && fileExists((base + "//uninstall.exe").c_str());
}

void InstallApp::setDefaultInstallDir() {
    char szProgramFiles[MAX_PATH] = "";
    readRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                       szProgramFiles, sizeof szProgramFiles);
    installDir = std::string(szProgramFiles) + "\\" + stringTable.text("PATH_GAME_DIR");
}

bool InstallApp::fileExists(const char* path) {
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA(path, &data);
    if (found == INVALID_HANDLE_VALUE) return false;
    FindClose(found);
    return true;
}
