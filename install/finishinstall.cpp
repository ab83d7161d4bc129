// Finishing the installation: shortcuts, the uninstaller copy, install.log, the
// registry values, the entry in Settings > Apps, the resumption entry, the
// additional installers, and the relaunch of setup. Runs on the worker thread, or
// on the main thread in a resumed run; whatever only the main thread may do is
// handed to it.
//
//   additional-installation flags
//   handing work to the main thread
//   a write that failed
//   finishInstallation
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "gui/guiwindow.h"
#include "installapp.h"
#include "installlog.h"
#include "installworker.h"
#include "mediumcatalogue.h"
#include "productidentity.h"
#include "resstringtable.h"
#include "soundcue.h"
#include "trace.h"
#include "uninstallentry.h"

namespace {

using medium::RUNONCE_KEY;
using medium::RUNONCE_VALUE;
constexpr size_t KEY_BUFFER = 1024;

// --- additional-installation flags ----------------------------------------

// "addinstf.bin": one byte per additional installer, 1 = handled. A missing or
// short file leaves the remaining flags at zero; extra bytes are ignored.
struct AddInstallFlags {
    unsigned char done[medium::ADD_INSTALL_SLOTS] = {};

    void read(const std::string& path) {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) return;
        size_t got = std::fread(done, 1, sizeof done, file);
        std::memset(done + got, 0, sizeof done - got);
        std::fclose(file);
    }

    bool write(const std::string& path) const {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return false;
        // The flush is asked for on its own: some C runtimes lose its failure in fclose.
        bool written = std::fwrite(done, 1, sizeof done, file) == sizeof done && std::fflush(file) == 0;
        return std::fclose(file) == 0 && written;
    }
};

std::string addInstallText(const char* keyFormat, unsigned k) {
    char szKey[KEY_BUFFER];
    std::snprintf(szKey, sizeof szKey, keyFormat, k);
    return stringTable.text(szKey);
}

void writeResumptionEntry(const std::string& setupPath) {
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, RUNONCE_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        std::string command = "\"" + setupPath + "\" -AdditionalInstall";
        rc = RegSetValueExA(key, RUNONCE_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS)
        traceFailure("writing the resumption entry", RUNONCE_VALUE, static_cast<unsigned long>(rc));
}

}  // namespace

// --- handing work to the main thread -------------------------------------

void InstallApp::handleFinishMessage(UINT msg) {
    switch (msg) {
    case WM_FINISH_CANCELLED:
        showWelcomeScreen();
        releaseAllSounds();
        break;
    case WM_FINISH_QUIT:
        PostQuitMessage(0);
        break;
    case WM_FINISH_COMPLETE:
        // The worker posts this as its last act; once it has ended nothing but
        // this thread uses the application, and the loop ends with code 0.
        if (workerThread) WaitForSingleObject(workerThread, INFINITE);
        PostQuitMessage(0);
        break;
    }
}

namespace {

// This is the window's thread: a resumed run.
bool onMainThread(const InstallApp& app) {
    return app.hwnd && GetWindowThreadProcessId(app.hwnd, nullptr) == GetCurrentThreadId();
}

// Runs the message's work here on the main thread, otherwise posts it there. An
// unattended run has no window, no loop and no sounds; it reads the outcome itself.
void handToMainThread(InstallApp& app, UINT msg) {
    if (!app.hwnd) return;
    if (onMainThread(app))
        app.handleFinishMessage(msg);
    else
        PostMessageA(app.hwnd, msg, 0, 0);
}

// --- a write that failed ------------------------------------------------

unsigned long long fileSizeOf(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

unsigned long long logSizeOf(const std::vector<std::string>& entries) {
    unsigned long long bytes = 0;
    for (const std::string& entry : entries) bytes += entry.size() + 2;
    return bytes;
}

// A file that the installed game needs could not be written (`bytes` long).
// The user is told why in plain words. A normal run is then undone as after an
// extraction error, before anything is registered, and returns to the welcome
// screen; a resumed run leaves the game that the first run installed and
// registered as it is, and quits.
void abandonFinishing(InstallApp& app, const std::string& path, unsigned long long bytes) {
    // Asked before the rollback frees the space again.
    const bool diskFull = app.lacksRoomFor(bytes);
    std::string message = diskFull ? "The disk is full: there is no room for " + path + "."
                                   : "The file " + path + " could not be written.";
    if (app.additionalMode) {
        app.errorBox(SetupExit::FinishingFailed, "%s", message.c_str());
        handToMainThread(app, InstallApp::WM_FINISH_QUIT);
        return;
    }
    message += diskFull ? "\nThe installation has been undone. Please free some space or choose another folder."
                        : "\nThe installation has been undone.";
    app.errorBox(SetupExit::FinishingFailed, "%s", message.c_str());
    // The log lists everything but itself.
    DeleteFileA((app.installDir + "\\install.log").c_str());
    rollbackInstallation();
    handToMainThread(app, InstallApp::WM_FINISH_CANCELLED);
}

}  // namespace

// --- finishInstallation --------------------------------------------------

void InstallApp::finishInstallation() {
    // Only a resumed run takes the registered folder: a normal run installs
    // where the user chose, even over an older registration.
    if (additionalMode) {
        if (const char* registered = registeredInstallDir()) installDir = registered;
    }
    finishing = true;

    showProgress(1.0f);
    // The worker leaves drawing to the main thread's loop, which redraws anyway.
    if (onMainThread(*this)) {
        progressScreen.draw();
        updateAll();
    }

    const std::string flagsPath = installDir + "\\addinstf.bin";
    AddInstallFlags flags;
    flags.read(flagsPath);

    if (!extractionDone || cancelRequested) {
        handToMainThread(*this, WM_FINISH_CANCELLED);
        return;
    }

    // A resumed run and a reinstallation start from the earlier log, so that the
    // files of the first run stay listed for the uninstaller, and add only the
    // lines it does not hold yet.
    const std::string logPath = installDir + "\\install.log";
    std::vector<std::string> earlierLog;
    const bool keepEarlierLog = (additionalMode || reinstalling) && readInstallLog(logPath, earlierLog);
    const std::string desktopLink = "\\" + productIdentity().desktopShortcut + ".lnk";
    std::unordered_set<std::string> listed(earlierLog.begin(), earlierLog.end());
    auto appendLog = [&](const std::string& entry) {
        if (keepEarlierLog && !listed.insert(entry).second) return;
        logEntries.push_back(entry);
    };
    if (keepEarlierLog) {
        std::vector<std::string> thisRun;
        thisRun.swap(logEntries);
        logEntries = earlierLog;
        for (const std::string& entry : thisRun) appendLog(entry);
        // The desktop choice of the first run is known only from its log.
        if (additionalMode)
            desktopShortcut =
                std::find(earlierLog.begin(), earlierLog.end(), desktopFolder() + desktopLink) != earlierLog.end();
    }
    report.step("Finishing: shortcuts, uninstaller, install.log and registry values");

    gameExePath = installDir + "\\" + stringTable.text("PATH_GAME_EXE");
    const char* gameDescription = stringTable.text("TXT_GAME_ICON_DESCR");

    if (desktopShortcut) {
        std::string link = desktopFolder() + desktopLink;
        createShortcut(gameExePath.c_str(), link.c_str(), gameDescription, installDir.c_str(), nullptr, nullptr, 0);
        appendLog(link);
    }

    // Every level of the game's folder is created, however deeply it is nested.
    std::string startMenu = programsFolder() + "\\" + stringTable.text("PATH_GAME_DIR");
    if (!makeDirectories(startMenu.c_str())) traceFailure("creating the folder", startMenu.c_str(), GetLastError());
    startMenu += "\\";
    appendLog(startMenu);

    // Listed before the copy, so that a copy cut short is rolled back too. A
    // resumed run keeps the uninstaller that the first run put in place: copying
    // it again could only break it, on a drive that has filled up since.
    const std::string uninstaller = installDir + "\\uninstall.exe";
    appendLog(uninstaller);
    const bool keepUninstaller = additionalMode && fileExists(uninstaller.c_str());
    if (!keepUninstaller && !CopyFileA("uninstall.exe", uninstaller.c_str(), FALSE)) {
        abandonFinishing(*this, uninstaller, fileSizeOf("uninstall.exe"));
        return;
    }

    struct Shortcut {
        const char* descriptionKey;
        std::string target;
    };
    const Shortcut shortcuts[] = {
        {"TXT_GAME_ICON_DESCR", gameExePath},
        {"TXT_SUPPORT_ICON_DESCR", installDir + "\\" + stringTable.text("PATH_SUPPORT")},
        {"TXT_SITE_ICON_DESCR", stringTable.text("URL_HOMEPAGE")},
        {"TXT_SPONSOR_SITE_ICON_DESCR", stringTable.text("URL_SPONSOR_HOMEPAGE")},
        {"TXT_UNINSTALL_ICON_DESCR", uninstaller},
    };
    for (const Shortcut& shortcut : shortcuts) {
        const char* description = stringTable.text(shortcut.descriptionKey);
        std::string link = startMenu + description + ".lnk";
        createShortcut(shortcut.target.c_str(), link.c_str(), description, installDir.c_str(), nullptr, nullptr, 0);
        appendLog(link);
    }

    for (const char* name : {"addinstf.bin", "uninstall.exe", "Media\\strings.txt", "Media"}) appendLog(name);

    // A resumed run (or a reinstallation) that adds no line leaves the log alone:
    // rewriting it could only lose it, on a drive that has filled up since.
    const bool logGrew = !keepEarlierLog || logEntries.size() > earlierLog.size();
    if (logGrew && !writeInstallLog(logPath, logEntries)) {
        abandonFinishing(*this, logPath, logSizeOf(logEntries));
        return;
    }
    // Written once before anything is registered, so that a drive without room
    // for it is found while the installation can still be undone.
    if (!flags.write(flagsPath)) {
        abandonFinishing(*this, flagsPath, sizeof flags.done);
        return;
    }
    writeRegistry();
    // A resumed run keeps the entry of the first run as it stands.
    if (!additionalMode || !uninstallEntryExists()) registerUninstallEntry();
    writeResumptionEntry(setupPath);

    for (unsigned k = 0; k < medium::ADD_INSTALL_SLOTS; ++k) {
        if (flags.done[k] == 1) continue;
        // The flag is stored before the installer runs, so that it is never
        // offered twice, even when Windows restarts in the middle of it.
        flags.done[k] = 1;
        if (!flags.write(flagsPath)) {
            errorBox(SetupExit::FinishingFailed, "Cannot open file %s", flagsPath.c_str());
            handToMainThread(*this, WM_FINISH_QUIT);
            return;
        }
        std::string program = addInstallText(medium::ADD_INSTALL_PATH_KEY, k);
        std::string question = addInstallText(medium::ADD_INSTALL_QUESTION_KEY, k);
        if (program.empty()) continue;
        if (k == 2 && !isWindowsXp()) continue;
        const bool wanted = wantsAdditionalInstall(question);
        report.step("Extra installer " + program + (wanted ? ": run" : ": not run"));
        if (wanted) runProgram((installDir + "\\" + program).c_str(), "", true);
        if (sessionEnding) break;
    }

    // An unattended run ends here; the window's run opens again on the installed screen.
    if (!sessionEnding && !options.silent) runProgram(setupPath.c_str(), "", false);
    handToMainThread(*this, WM_FINISH_COMPLETE);
}
