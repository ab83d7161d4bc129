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

    char szCurrentDir[MAX_PATH];
    DWORD curLen = GetCurrentDirectoryA(MAX_PATH, szCurrentDir);
    if (curLen == 0 || curLen >= MAX_PATH) szCurrentDir[0] = '\0';
    bool ok = SetCurrentDirectoryA(installDir.c_str()) != 0 || makeDirectories(installDir.c_str());
    if (szCurrentDir[0]) SetCurrentDirectoryA(szCurrentDir);
    if (!ok) return;

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
