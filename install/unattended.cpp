// InstallApp: the command line and the unattended installation of /S. The
// unattended run goes the window's road without the window: the same start-up,
// checks, worker, rollback and finishing, with every message in the run's
// report instead of a box, and the first failure as the exit code.
//
//   one setup at a time
//   cancelling from the console
//   the command line
//   the unattended installation
//   what the shared road asks of a run
#include <atomic>
#include <string>

#include "installapp.h"
#include "installworker.h"
#include "productidentity.h"

namespace {

// --- cancelling from the console -------------------------------------------

std::atomic<bool> cancelledFromConsole{false};
std::atomic<bool> unattendedRunning{false};

// Ctrl+C, Ctrl+Break or a closed console would end the process halfway through
// the extraction; instead the worker stops and rolls back. When the console
// closes, Windows ends the process soon after this returns, so it gives the
// rollback a few seconds first.
BOOL WINAPI onConsoleControl(DWORD event) {
    if (!installApp.finishing) {
        cancelledFromConsole = true;
        installApp.cancelRequested = true;
    }
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        for (int i = 0; i < 400 && unattendedRunning; ++i) Sleep(10);
    return TRUE;
}

// --- the command line --------------------------------------------------------

// The full form of a path given on the command line, without trailing
// separators; relative to the folder that setup was started in.
std::string fullPath(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::string full(size, '\0');
    size = GetFullPathNameA(path.c_str(), size, &full[0], nullptr);
    full.resize(size < full.size() ? size : 0);
    while (full.size() > 3 && (full.back() == '\\' || full.back() == '/')) full.pop_back();
    return full.empty() ? path : full;
}

bool sameFolder(const std::string& a, const std::string& b) {
    return lstrcmpiA(fullPath(a).c_str(), fullPath(b).c_str()) == 0;
}

}  // namespace

bool claimSetupInstance() {
    // One mark per product, named after its registry key (a name holds no
    // backslash but the one after its namespace), so that setups of two products
    // do not hold each other up. The handle stays open for the whole run; the
    // system closes it at the end.
    std::string name = "Local\\Setup:" + productIdentity().registryKey;
    for (size_t i = 6; i < name.size(); ++i)
        if (name[i] == '\\') name[i] = '/';
    CreateMutexA(nullptr, FALSE, name.c_str());
    return GetLastError() != ERROR_ALREADY_EXISTS;
}

bool InstallApp::runCommandLine(HINSTANCE hInst, const std::string& commandLine, int& exitCode) {
    options = parseSetupCommandLine(commandLine);
    // Without options the window's road runs exactly as it always has.
    if (!options.given) return false;
    // The product's name and key are known before start-up, for the captions and
    // the one-setup mark.
    readIdentityBesideSetup();
    if (options.silent || options.help) report.useConsole();
    // The log receives the reason of a refused command line too.
    if (!options.logFile.empty() && !report.openLog(fullPath(options.logFile)) && options.error.empty())
        options.error = "Cannot create the log file " + options.logFile + ".";
    if (!options.error.empty()) {
        showBox(options.error, MB_OK | MB_ICONERROR);
        report.result(SetupExit::BadCommandLine, "");
        exitCode = static_cast<int>(SetupExit::BadCommandLine);
        return true;
    }
    if (options.help) {
        report.message(setupUsage());
        if (!options.silent)
            MessageBoxA(nullptr, setupUsage().c_str(), productIdentity().installCaption().c_str(),
                        MB_OK | MB_ICONINFORMATION);
        exitCode = static_cast<int>(SetupExit::Installed);
        return true;
    }
    if (!options.installDir.empty()) options.installDir = fullPath(options.installDir);
    report.step("setup.exe " + commandLine);
    if (options.silent) {
        exitCode = static_cast<int>(installUnattended(hInst));
        return true;
    }
    desktopShortcut = !options.noShortcut;
    return false;
}

// --- the unattended installation ----------------------------------------------

namespace {

// The outcome of the run once the worker has ended: the first failure, or a
// cancel from the console; a game that was extracted and finished counts as
// installed even when measuring complained on the way.
SetupExit outcomeAfterWorker(const InstallApp& app) {
    if (app.extractionDone && !app.cancelRequested)
        return app.report.hasFailed(SetupExit::FinishingFailed) ? SetupExit::FinishingFailed : SetupExit::Installed;
    if (app.report.failure() != SetupExit::Installed) return app.report.failure();
    return SetupExit::Cancelled;
}

}  // namespace

SetupExit InstallApp::installUnattended(HINSTANCE hInst) {
    auto run = [&]() -> SetupExit {
        if (!claimSetupInstance()) {
            report.fail(SetupExit::AlreadyRunning);
            report.message("Another setup of " + productIdentity().name + " is running; this one does nothing.");
            return SetupExit::AlreadyRunning;
        }
        SetConsoleCtrlHandler(onConsoleControl, TRUE);
        if (!startCommon(hInst)) return report.failure();

        // An installed game is installed again where it is, never beside itself.
        reinstalling = isInstalled();
        if (reinstalling) {
            const std::string registered = registeredInstallDir();
            if (!options.installDir.empty() && !sameFolder(options.installDir, registered)) {
                report.fail(SetupExit::OtherFolder);
                report.message(productIdentity().name + " is installed in " + registered +
                               " and is reinstalled only there. Leave out /D= or uninstall it first.");
                return SetupExit::OtherFolder;
            }
            installDir = registered;
            report.step("Reinstalling over the installation in " + installDir);
        } else {
            setDefaultInstallDir();
            if (!options.installDir.empty()) installDir = options.installDir;
        }
        desktopShortcut = !options.noShortcut;

        if (!checkInstallation() || cancelledFromConsole) {
            removeCreatedFolders();
            return report.failure() != SetupExit::Installed ? report.failure() : SetupExit::Cancelled;
        }
        installWorker(nullptr);
        const SetupExit outcome = outcomeAfterWorker(*this);
        if (reinstalling && outcome != SetupExit::Installed)
            report.message("The earlier installation in " + installDir +
                           " was changed by this run before it failed and may be incomplete now. Run setup again, "
                           "or uninstall it.");
        return outcome;
    };
    unattendedRunning = true;
    const SetupExit outcome = run();
    report.result(outcome,
                  outcome == SetupExit::Installed ? ": " + productIdentity().name + " is in " + installDir : "");
    unattendedRunning = false;
    return outcome;
}

// --- what the shared road asks of a run -----------------------------------------

void InstallApp::showProgress(float fraction) {
    progressScreen.setProgress(fraction);
    report.progress(fraction);
}

bool InstallApp::wantsAdditionalInstall(const std::string& question) {
    if (!options.silent) return question.empty() || askYesNo(question.c_str());
    switch (options.extras) {
    case ExtrasChoice::All:
        return true;
    case ExtrasChoice::Unasked:
        return question.empty();
    case ExtrasChoice::None:
        break;
    }
    return false;
}
