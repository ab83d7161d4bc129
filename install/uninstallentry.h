// The game's entry in Settings > Apps (Apps & features; Programs and Features on
// older systems): a key of the user's own under HKEY_CURRENT_USER,
// Software\Microsoft\Windows\CurrentVersion\Uninstall\<product name>. setup
// writes it when an installation is finished; uninstall.exe removes it.
#pragma once

#include <string>

struct UninstallEntry {
    std::string displayName;            // DisplayName
    std::string displayIcon;            // DisplayIcon: the game's program, whose first icon is shown
    std::string uninstallString;        // UninstallString: the uninstaller's path in quotation marks
    std::string installLocation;        // InstallLocation
    std::string publisher;              // Publisher; empty: no value
    std::string urlInfoAbout;           // URLInfoAbout, the home page; empty: no value
    std::string helpLink;               // HelpLink, the support page; empty: no value
    unsigned long estimatedSizeKb = 0;  // EstimatedSize, a DWORD
    std::string installDate;            // InstallDate, YYYYMMDD
};

// The entry's key below HKEY_CURRENT_USER.
std::string uninstallEntryKey();

// Writes every value of the entry, with NoModify and NoRepair (the game can only
// be removed); false when the key or a value cannot be written.
bool writeUninstallEntry(const UninstallEntry& entry);

bool uninstallEntryExists();

// Removes the entry's key; an absent key is fine.
void deleteUninstallEntry();
