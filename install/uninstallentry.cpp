// The Apps & features entry: writing, testing for and removing its key.
#include "uninstallentry.h"

#include <windows.h>

#include "productidentity.h"
#include "trace.h"

namespace {

constexpr char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool setString(HKEY key, const char* name, const std::string& value) {
    if (value.empty()) return true;
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    if (rc != ERROR_SUCCESS) traceFailure("writing the registry value", name, static_cast<unsigned long>(rc));
    return rc == ERROR_SUCCESS;
}

bool setNumber(HKEY key, const char* name, DWORD value) {
    LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (rc != ERROR_SUCCESS) traceFailure("writing the registry value", name, static_cast<unsigned long>(rc));
    return rc == ERROR_SUCCESS;
}

}  // namespace

std::string uninstallEntryKey() { return UNINSTALL_KEY + productIdentity().name; }

bool writeUninstallEntry(const UninstallEntry& entry) {
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, uninstallEntryKey().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        traceFailure("creating the registry key", uninstallEntryKey().c_str(), static_cast<unsigned long>(rc));
        return false;
    }
    // Every value is tried, so that one failure leaves as much of the entry as can be.
    bool written = setString(key, "DisplayName", entry.displayName);
    written = setString(key, "DisplayIcon", entry.displayIcon) && written;
    written = setString(key, "UninstallString", entry.uninstallString) && written;
    written = setString(key, "InstallLocation", entry.installLocation) && written;
    written = setString(key, "Publisher", entry.publisher) && written;
    written = setString(key, "URLInfoAbout", entry.urlInfoAbout) && written;
    written = setString(key, "HelpLink", entry.helpLink) && written;
    written = setString(key, "InstallDate", entry.installDate) && written;
    written = setNumber(key, "EstimatedSize", static_cast<DWORD>(entry.estimatedSizeKb)) && written;
    written = setNumber(key, "NoModify", 1) && written;
    written = setNumber(key, "NoRepair", 1) && written;
    RegCloseKey(key);
    return written;
}

bool uninstallEntryExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, uninstallEntryKey().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void deleteUninstallEntry() {
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, uninstallEntryKey().c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        traceFailure("deleting the registry key", uninstallEntryKey().c_str(), static_cast<unsigned long>(rc));
}
