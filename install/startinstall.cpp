// Starting the installation: the folder, free-space and package checks, then the
// progress screen and the worker thread.
#include "startinstall.h"

#include <cstdint>
#include <cstdio>

#include "gui/guiwindow.h"
#include "installapp.h"
#include "installworker.h"
#include "resstringtable.h"

namespace {

// The size together with the text of MSG_MB has always been formatted into 64
// characters; a longer unit text is cut there.
constexpr size_t SIZE_TEXT_BUFFER = 64;

bool isDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The levels of the folder that do not exist yet, outermost first; the drive's
// root is never one of them.
std::vector<std::string> missingFolders(const std::string& folder) {
    std::vector<std::string> missing;
    std::string level = folder;
    while (level.size() > 3 && !isDirectory(level)) {
        missing.insert(missing.begin(), level);
        const size_t slash = level.find_last_of("\\/");
        if (slash == std::string::npos || slash < 3) break;
        level.resize(slash);
    }
    return missing;
}

}  // namespace

std::string unwritableFolderMessage(const std::string& folder) {
    const char* text = stringTable.text("ERR_NO_WRITE");
    if (!*text) text = "Setup cannot create files in this folder. Please choose a folder you may write to:";
    return std::string(text) + "\n" + folder;
}

bool InstallApp::prepareInstallDir() {
    // Tried before anything is made: a standard user may not write to Program
    // Files, a drive may be missing, read-only or a medium.
    createdFolders.clear();
    if (!canCreateFoldersIn(installDir.c_str())) return false;
    createdFolders = missingFolders(installDir);
    if (makeDirectories(installDir.c_str())) return true;
    // Whatever levels were made before a deeper one failed go again, so that a
    // refused folder leaves nothing behind.
    removeCreatedFolders();
    return false;
}

std::string outOfSpaceMessage(unsigned long long freeMb, int needMb) {
    const unsigned long long need = static_cast<unsigned long long>(static_cast<long long>(needMb));
    if (freeMb >= need) return std::string();
    char szSize[SIZE_TEXT_BUFFER];
    std::snprintf(szSize, sizeof szSize, " %d %s ", needMb, stringTable.text("MSG_MB"));
    char szShortfall[SIZE_TEXT_BUFFER];
    std::snprintf(szShortfall, sizeof szShortfall, " %d ", static_cast<int32_t>(static_cast<uint32_t>(need - freeMb)));
    return std::string(stringTable.text("MSG_OUT_OF_SPACE1")) + szSize + stringTable.text("MSG_OUT_OF_SPACE2") +
           szShortfall + stringTable.text("MSG_OUT_OF_SPACE3");
}

bool InstallApp::checkInstallation() {
    report.step("Installation folder: " + installDir);
    if (installDir.size() > LONGEST_INSTALL_DIR) {
        infoBox(SetupExit::BadFolder,
                "The installation folder is too long (%u characters). Please choose a folder whose path has at "
                "most %u characters.",
                static_cast<unsigned>(installDir.size()), static_cast<unsigned>(LONGEST_INSTALL_DIR));
        return false;
    }

    if (!prepareInstallDir()) {
        infoBox(SetupExit::BadFolder, unwritableFolderMessage(installDir).c_str());
        return false;
    }

    const unsigned long long freeMb = freeDiskSpace() / 1024 / 1024;
    report.step("Free space: " + std::to_string(freeMb) + " MB, needed: " + std::to_string(requiredSpaceMb()) + " MB");
    std::string message = outOfSpaceMessage(freeMb, requiredSpaceMb());
    if (!message.empty()) {
        infoBox(SetupExit::NoSpace, message.c_str());
        return false;
    }

    std::string source = sourceFilePath();
    FILE* package = std::fopen(source.c_str(), "rb");
    if (!package) {
        infoBox(SetupExit::BadMedium, (std::string(stringTable.text("ERR_NO_FILE")) + " " + source).c_str());
        return false;
    }
    std::fclose(package);

    // The one place where the RAR library is bound before the worker starts.
    if (!loadUnrarLibrary()) return false;
    report.step("The checks passed; the RAR library is loaded.");
    return true;
}

void InstallApp::removeCreatedFolders() {
    for (auto folder = createdFolders.rbegin(); folder != createdFolders.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
    createdFolders.clear();
}

void InstallApp::startInstallation() {
    if (!checkInstallation()) return;

    progressScreen.start();
    showScreen(&progressScreen);

    DWORD threadId;
    workerThread = CreateThread(nullptr, 0, installWorker, nullptr, 0, &threadId);
    if (!workerThread) {
        // Without a worker the progress screen would wait for ever.
        errorBox("Cannot start the installation.");
        showScreen(&optionsScreen);
        return;
    }
    SetThreadPriority(workerThread, THREAD_PRIORITY_HIGHEST);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}
