// The run's log file and its lines on the parent console.
#include "runreport.h"

#include <windows.h>

RunReport::~RunReport() {
    if (log) std::fclose(log);
}

bool RunReport::openLog(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex);
    if (log) std::fclose(log);
    log = std::fopen(path.c_str(), "wb");
    return log != nullptr;
}

void RunReport::writeLog(const std::string& text) {
    if (!log) return;
    // One line per entry: a message's own line breaks become blanks.
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::fprintf(log, "%04u-%02u-%02u %02u:%02u:%02u  %s\r\n", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                 now.wSecond, line.c_str());
    // Flushed at once, so that the log tells how far a run came even when the
    // process is ended from outside.
    std::fflush(log);
}

void RunReport::step(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex);
    writeLog(text);
}

void RunReport::message(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex);
    writeLog("Message: " + text);
    std::string line = text;
    while (!line.empty() && line.back() == '\n') line.pop_back();
    console.writeLine(line);
}

namespace {

// The percentage the window shows for a fraction, held to 1.1 .. 100.
float shownPercent(float fraction) {
    if (!(fraction > 0.0f)) fraction = 0.0f;
    if (fraction > 1.0f) fraction = 1.0f;
    return fraction * 98.9f + 1.1f;
}

}  // namespace

void RunReport::progress(float fraction) {
    const int percent = static_cast<int>(shownPercent(fraction));
    std::lock_guard<std::mutex> lock(mutex);
    if (percent / 10 <= lastTenth) return;
    lastTenth = percent / 10;
    const std::string line = "Installing: " + std::to_string(percent) + " %";
    writeLog(line);
    console.writeLine(line);
}

void RunReport::fail(SetupExit code) {
    failures |= 1u << static_cast<int>(code);
    int none = static_cast<int>(SetupExit::Installed);
    firstFailure.compare_exchange_strong(none, static_cast<int>(code));
}

void RunReport::result(SetupExit code, const std::string& detail) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::string line =
        "Result: " + std::to_string(static_cast<int>(code)) + " (" + setupExitMeaning(code) + ")" + detail;
    writeLog(line);
    console.writeLine(line);
}
