// What a run of setup tells besides its window: the /LOG= file, one line with
// the time for every step and for every message that a box shows (or, in an
// unattended run, would show), and the parent console, which an unattended run
// tells its progress, its messages and its result.
#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "commandline.h"
#include "parentconsole.h"

class RunReport {
public:
    RunReport() = default;
    RunReport(const RunReport&) = delete;
    RunReport& operator=(const RunReport&) = delete;
    ~RunReport();

    // Creates the log file, replacing an earlier one; false when it cannot.
    bool openLog(const std::string& path);
    // From now on progress, messages and the result also go to the parent's
    // console, when there is one.
    void useConsole() { console.attach(); }

    // One step of the run: the log only.
    void step(const std::string& text);
    // The text of a message box: the log and the console.
    void message(const std::string& text);
    // The installation's fraction: a line each time the shown percentage reaches
    // another tenth. Called by the worker.
    void progress(float fraction);

    // Remembers the first failure of the run; later ones are consequences of it.
    void fail(SetupExit code);
    // The first failure, or Installed when there was none.
    SetupExit failure() const { return static_cast<SetupExit>(firstFailure.load()); }
    bool hasFailed(SetupExit code) const { return (failures.load() >> static_cast<int>(code)) & 1u; }
    // The last line: the exit code, its meaning and what the run did.
    void result(SetupExit code, const std::string& detail);

private:
    void writeLog(const std::string& text);

    std::mutex mutex;
    FILE* log = nullptr;
    ParentConsole console;
    std::atomic<int> firstFailure{static_cast<int>(SetupExit::Installed)};
    std::atomic<unsigned> failures{0};
    int lastTenth = -1;
};
