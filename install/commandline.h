// The command lines of setup.exe and uninstall.exe: the options of an unattended
// run, and the exit codes by which a script learns how the run ended.
//
// setup.exe [/S] [/NOSHORTCUT] [/EXTRAS=ALL|UNASKED|NONE] [/LOG=file] [/D=folder]
// setup.exe /?
// uninstall.exe [/S]
//
// Options are case-insensitive and start with "/" or "-". Double quotes group
// blanks into one word and are removed. /D= takes the rest of the command line,
// so its folder may hold blanks without quotes; it therefore comes last. A
// resumed run ("-AdditionalInstall") is recognised before and apart from these.
#pragma once

#include <string>

// How a run of setup.exe ends. An unattended run exits with the code of the first
// failure it met; a run with the window keeps its codes 0 and 1 (a bad command
// line gives 2 there too).
enum class SetupExit : int {
    Installed = 0,
    NotStarted = 1,
    BadCommandLine = 2,
    BadMedium = 3,
    BadFolder = 4,
    NoSpace = 5,
    ExtractionFailed = 6,
    NoUnrarLibrary = 7,
    AlreadyRunning = 8,
    OtherFolder = 9,
    FinishingFailed = 10,
    Cancelled = 11,
};

// One line that says what the code means, as /? and the log put it.
const char* setupExitMeaning(SetupExit code);

// Which extra installers an unattended run starts: all of them, only those that
// ask no question, or none.
enum class ExtrasChoice { All, Unasked, None };

struct SetupOptions {
    bool silent = false;
    bool help = false;
    bool noShortcut = false;
    ExtrasChoice extras = ExtrasChoice::Unasked;
    // As given, quotes removed; empty when the option is absent.
    std::string installDir;
    std::string logFile;
    // Why the command line is refused; empty when it is fine.
    std::string error;

    // True when the command line held any option at all.
    bool given = false;
};

// Reads setup's options. /D= must be a folder on a drive ("C:\Games\Quillmark");
// its length is left to the installation's own folder check.
SetupOptions parseSetupCommandLine(const std::string& commandLine);

// The text of setup.exe /?: every option and every exit code.
std::string setupUsage();

// uninstall.exe's exit codes: 0 removed, NotFound when no installation is
// registered, BadCommandLine for anything but /S, Incomplete when files of the
// game are left (its log is missing or damaged, or a file could not be
// deleted); the game then stays registered. The interactive run keeps exit code
// 0 in every case but a missing string table.
enum class UninstallExit : int { Removed = 0, NotFound = 1, BadCommandLine = 2, Incomplete = 3 };

struct UninstallOptions {
    bool silent = false;
    std::string error;
};

UninstallOptions parseUninstallCommandLine(const std::string& commandLine);
