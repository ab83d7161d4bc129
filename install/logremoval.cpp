// Removing what install.log lists, in setup's rollback and in the uninstaller.
#include "logremoval.h"

#include <windows.h>

#include "shellfolders.h"

namespace {

// Either call fails quietly when the path is not of its kind, in use or not empty.
void removePath(const std::string& path) {
    if (!DeleteFileA(path.c_str())) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            DeleteFileA(path.c_str());
        }
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

InstallPlaces installPlaces(const std::string& installDir) {
    return InstallPlaces{installDir, userDesktopFolder(), userProgramsFolder()};
}

size_t removeLoggedEntries(const std::vector<std::string>& entries, const InstallPlaces& places) {
    size_t skipped = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
            EntryRemoval removal = planRemoval(*entry, places);
            if (removal.path.empty()) {
                if (pass == 0) ++skipped;
                continue;
            }
            removePath(removal.path);
            for (const std::string& folder : removal.enclosingFolders) RemoveDirectoryA(folder.c_str());
        }
    }
    return skipped;
}
