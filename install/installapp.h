// InstallApp: the one application object of setup.exe. It owns the installer's
// state, the main window and its window procedure, the five screens, the message
// boxes and the actions that the screens' controls trigger.
//
// Sections of the class, each implemented in its own file:
//   state ............................ this header
//   start-up, loop, window, boxes .... installapp.cpp
//   system services .................. services.cpp
//   starting the installation ........ startinstall.cpp
//   finishing the installation ....... finishinstall.cpp
//   the command line, unattended run . unattended.cpp
//   the entry in Settings > Apps ..... appsandfeatures.cpp
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "commandline.h"
#include "gui/guirect.h"
#include "runreport.h"
#include "screens/installedscreen.h"
#include "screens/licensescreen.h"
#include "screens/optionsscreen.h"
#include "screens/progressscreen.h"
#include "screens/welcomescreen.h"

// The GDI character set of every font (defined with the fonts, in guifont.cpp);
// start-up may replace it from LNG_CHARSET.
extern int fontCharset;

// The major version of an NT-family Windows above 4, otherwise 0.
int windowsMajorVersion();

// Takes the product's identity from the string table beside the program, before
// start-up: a resumed run reads the product's registry key first.
void readIdentityBesideSetup();

// A path in the ANSI code page that setup works in. Where a letter of it has no
// place there (a user name in another script), the short 8.3 names of its
// folders, which the file system spells in ASCII. Empty when neither names it.
std::string ansiPath(const std::wstring& path);

// Maps a LNG_CHARSET name to its GDI character set; false for an unknown name.
bool charsetFromName(const char* name, int& charset);

// Marks this process as the running setup for the rest of its life; false when
// another setup was running already (an unattended run then ends at once).
bool claimSetupInstance();

class InstallApp {
public:
    InstallApp();
    InstallApp(const InstallApp&) = delete;
    InstallApp& operator=(const InstallApp&) = delete;

    // Start-up and main loop.
    bool start(HINSTANCE hInst);
    bool messageLoop();
    static LRESULT CALLBACK windowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Message boxes: printf-style, caption "<product name> Install", owner hwnd.
    // Called without arguments, the format is shown as it stands, so a percent
    // sign in a string-table text is never formatted with arguments never passed.
    // Every text also goes to the run's log; an unattended run shows no box, and
    // a question there is answered No. A failure that ends the installation names
    // its exit code first, which an unattended run ends with.
    template <typename... Args>
    void errorBox(const char* format, Args... args) {
        showBox(formatMessage(format, args...), MB_OK | MB_ICONERROR);
    }
    template <typename... Args>
    void infoBox(const char* format, Args... args) {
        playInfoCue();
        showBox(formatMessage(format, args...), MB_OK | MB_ICONINFORMATION);
    }
    template <typename... Args>
    void errorBox(SetupExit failure, const char* format, Args... args) {
        report.fail(failure);
        errorBox(format, args...);
    }
    template <typename... Args>
    void infoBox(SetupExit failure, const char* format, Args... args) {
        report.fail(failure);
        infoBox(format, args...);
    }
    template <typename... Args>
    bool askYesNo(const char* format, Args... args) {
        playQuestionCue();
        return showBox(formatMessage(format, args...), MB_YESNO | MB_ICONQUESTION) == IDYES;
    }

    // Actions of the screens' controls.
    void showWelcomeScreen();
    void showLicenseScreen();
    void showOptionsScreen();
    void quit();
    void setDesktopShortcut(bool on);
    void confirmCancel();

    // System services.
    const char* registeredInstallDir();
    bool isInstalled();
    void writeRegistry();
    // Registers the finished installation in Settings > Apps (uninstallentry.h):
    // the game's name, icon, folder, size and date, the uninstaller, the maker
    // (STR_PUBLISHER) and the home-page and support links.
    void registerUninstallEntry();
    void setDefaultInstallDir();
    // The user's own folder for installed programs (%LOCALAPPDATA%\Programs, not
    // the Start menu's); empty when it cannot be named in the ANSI code page.
    std::string userProgramFilesFolder();
    std::string programsFolder();
    std::string desktopFolder();
    int requiredSpaceMb();
    std::string sourceFilePath();
    unsigned long long freeDiskSpace();
    // True when the drive of installDir has fewer than `bytes` bytes free (and
    // at least one): how a write that failed is told to have met a full disk.
    bool lacksRoomFor(unsigned long long bytes);
    bool fileExists(const char* path);
    bool makeDirectories(const char* path);
    // The path itself when it is a folder, otherwise the deepest folder above it
    // that exists; empty when none does (a missing drive).
    std::string deepestExistingFolder(const char* path);
    // Whether this user may create folders at `path`: in it, or when it does not
    // exist yet, in the deepest folder above it that does. Leaves nothing behind.
    bool canCreateFoldersIn(const char* path);
    void browseInstallDir();
    bool runProgram(const char* program, const char* commandLine, bool wait);
    void openReadme();
    void openHomepage();
    void runUninstaller();
    void launchGame();
    HRESULT createShortcut(const char* target, const char* linkFile, const char* description, const char* workingDir,
                           const char* arguments, const char* iconFile, int iconIndex);
    bool isWindowsXp();

    // The installation.
    void startInstallation();
    // Makes sure `installDir` exists and this user may write there; false (with
    // nothing left behind) when it cannot be created or written.
    bool prepareInstallDir();
    void finishInstallation();
    // The checks before the worker starts: the folder (made here when missing),
    // the free space, the main package and the RAR library. False when one
    // failed; it has told the user (or the run's report).
    bool checkInstallation();
    // Removes the folders that checkInstallation made, deepest first, as far as
    // they are empty: an installation that did not happen leaves none behind.
    void removeCreatedFolders();
    // The worker's fraction for the progress screen and the run's report.
    void showProgress(float fraction);
    // Whether an extra installer with this question (empty: none) is run: the
    // user answers in a run with the window, /EXTRAS= decides in an unattended one.
    bool wantsAdditionalInstall(const std::string& question);

    // The command line of a run that is not a resumed one: /? and a refused
    // command line end the run here, /S runs the installation without window.
    // True with the exit code when the run has ended; otherwise the options are
    // taken over (the folder, the shortcut choice, the log) for the window.
    bool runCommandLine(HINSTANCE hInst, const std::string& commandLine, int& exitCode);
    // The unattended installation of /S, from start-up to finishing.
    SetupExit installUnattended(HINSTANCE hInst);

    // What finishing hands from the worker to the main thread, which alone may
    // switch screens, release the sounds and end the process.
    enum FinishMessage : UINT {
        WM_FINISH_CANCELLED = WM_APP + 1,  // back to the welcome screen, sounds released
        WM_FINISH_QUIT = WM_APP + 2,       // leave the message loop (exit code 0)
        WM_FINISH_COMPLETE = WM_APP + 3,   // the new setup runs: end the process with code 0
    };
    // Runs one of those on the main thread.
    void handleFinishMessage(UINT msg);

    // State, in declaration order.
    std::string installDir;
    std::string gameExePath;
    std::string setupPath;
    std::string sourceDrive;
    std::string homepageUrl;
    std::vector<std::string> logEntries;
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> cancelPrompting{false};
    std::atomic<bool> finishing{false};
    std::atomic<bool> extractionDone{false};
    bool additionalMode = false;
    std::atomic<bool> sessionEnding{false};
    HANDLE workerThread = nullptr;
    LicenseScreen licenseScreen;
    OptionsScreen optionsScreen;
    InstalledScreen installedScreen;
    ProgressScreen progressScreen;
    WelcomeScreen welcomeScreen;
    HWND hwnd = nullptr;
    std::atomic<bool> windowActive{true};
    HINSTANCE hInstance = nullptr;
    RECT screenRect{};
    GuiRect panelRect;
    char className[256] = "__INSTALL_WND__";
    bool desktopShortcut = true;
    std::atomic<bool> keyDown{false};
    // The options of the command line, the run's log and console, and the
    // folder levels that the checks made for this installation (outermost first).
    SetupOptions options;
    RunReport report;
    std::vector<std::string> createdFolders;
    // An unattended run over an installed game: finishing keeps the earlier log.
    bool reinstalling = false;

    // The text of a message box: formatted into 1,024 characters, cut where it
    // would not fit, with a line break appended.
    static constexpr size_t MESSAGE_BUFFER = 1024;
    static std::string formatMessage(const char* format);
    template <typename... Args>
    static std::string formatMessage(const char* format, Args... args) {
        char buf[MESSAGE_BUFFER];
        int n = std::snprintf(buf, MESSAGE_BUFFER - 1, format, args...);
        if (n < 0) buf[0] = '\0';
        return std::string(buf) + "\n";
    }

private:
    // The caption is the product's installation caption unless given.
    int showBox(const std::string& text, UINT type, const char* caption = nullptr);
    // Start-up up to the character set (folder, string table, Windows version),
    // shared by the window's and the unattended run.
    bool startCommon(HINSTANCE hInst);
    static void playInfoCue();
    static void playQuestionCue();
    LRESULT handleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void paintBackground(HWND hWnd);
};

// The application object of setup.exe.
extern InstallApp installApp;
