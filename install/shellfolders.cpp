// Registry strings and the user's shell folders.
#include "shellfolders.h"

#include <shlobj.h>

namespace {

constexpr char SHELL_FOLDERS_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The "Programs" value has always been read into a slightly smaller buffer.
constexpr DWORD PROGRAMS_BUFFER = 255;

}  // namespace

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

std::string shellFolder(HKEY root, const char* subKey, const char* name, DWORD bufferSize, int csidl) {
    char szFolder[MAX_PATH] = "";
    if (readRegistryString(root, subKey, name, szFolder, bufferSize)) return szFolder;
    if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, szFolder))) return szFolder;
    return std::string();
}

std::string userDesktopFolder() {
    return shellFolder(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, "Desktop", MAX_PATH, CSIDL_DESKTOPDIRECTORY);
}

std::string userProgramsFolder() {
    return shellFolder(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, "Programs", PROGRAMS_BUFFER, CSIDL_PROGRAMS);
}
