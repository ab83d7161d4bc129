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

}  // namespace

std::string unwritableFolderMessage(const std::string& folder) {
    const char* text = stringTable.text("ERR_NO_WRITE");
    if (!*text) text = "Setup cannot create files in this folder. Please choose a folder you may write to:";
    return std::string(text) + "\n" + folder;
}

bool InstallApp::prepareInstallDir() {
    // Tried before anything is made: a standard user may not write to Program
    // Files, a drive may be missing, read-only or a medium.
    if (!canCreateFoldersIn(installDir.c_str())) return false;
    const std::string existing = deepestExistingFolder(installDir.c_str());
    if (makeDirectories(installDir.c_str())) return true;
    // Whatever levels were made before a deeper one failed go again, so that a
    // refused folder leaves nothing behind.
    std::string level = installDir;
    while (level.size() > existing.size()) {
        RemoveDirectoryA(level.c_str());
        size_t slash = level.find_last_of("\\/");
        if (slash == std::string::npos) break;
        level.resize(slash);
    }
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

void InstallApp::startInstallation() {
    if (installDir.size() > LONGEST_INSTALL_DIR) {
        infoBox(
            "The installation folder is too long (%u characters). Please choose a folder whose path has at "
            "most %u characters.",
            static_cast<unsigned>(installDir.size()), static_cast<unsigned>(LONGEST_INSTALL_DIR));
        return;
    }

    if (!prepareInstallDir()) {
        infoBox(unwritableFolderMessage(installDir).c_str());
        return;
    }

    std::string message = outOfSpaceMessage(freeDiskSpace() / 1024 / 1024, requiredSpaceMb());
    if (!message.empty()) {
        infoBox(message.c_str());
        return;
    }

    std::string source = sourceFilePath();
    FILE* package = std::fopen(source.c_str(), "rb");
    if (!package) {
        infoBox((std::string(stringTable.text("ERR_NO_FILE")) + " " + source).c_str());
        return;
    }
    std::fclose(package);

    // The one place where the RAR library is bound before the worker starts.
    loadUnrarLibrary();

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
