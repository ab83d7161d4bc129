// Helpers of the Win32 tests: answering message boxes from a watcher thread and
// running programs with a time limit.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

// The text of a message box's static control.
inline std::string dialogText(HWND dialog) {
    char text[2048] = "";
    GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    return text;
}

// Watches for message boxes with the given caption, in this process or any
// other, records their texts and answers each with the given button (IDOK,
// IDYES, IDNO ...), until destroyed.
class BoxWatcher {
public:
    BoxWatcher(std::string caption, int answer) : caption_(std::move(caption)), answer_(answer) {
        thread_ = std::thread([this] { run(); });
    }
    ~BoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    void setAnswer(int answer) { answer_ = answer; }

    std::vector<std::string> texts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }

    // Waits until at least n boxes were answered; false on time-out.
    bool waitFor(size_t n, int timeoutMs = 20000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            if (texts().size() >= n) return true;
            Sleep(20);
        }
        return false;
    }

private:
    void run() {
        while (!stop_) {
            HWND box = FindWindowA("#32770", caption_.c_str());
            if (box && IsWindowVisible(box)) {
                std::string text = dialogText(box);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    texts_.push_back(text);
                }
                // A box with Yes/No has no IDOK; the button's own click works for all.
                HWND button = GetDlgItem(box, answer_);
                if (button) SendMessageA(button, BM_CLICK, 0, 0);
                else PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer_), 0);
                for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
            }
            Sleep(20);
        }
    }

    std::string caption_;
    std::atomic<int> answer_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};

// Result of running a program: its exit code, or STILL_ACTIVE when it was
// killed after the time limit.
struct RunResult {
    DWORD exitCode = STILL_ACTIVE;
    bool timedOut = false;
};

inline RunResult runProgram(const std::string& commandLine, const std::string& workDir, int timeoutMs = 30000) {
    RunResult result;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
        return result;
    if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
        result.timedOut = true;
    } else {
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

// A fresh empty folder under the current directory.
inline std::string scratchFolder(const std::string& name) {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    std::string path = std::string(cwd) + "\\" + name;
    std::string command = "cmd /c rmdir /s /q \"" + path + "\" >nul 2>&1";
    runProgram(command, "");
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

inline bool writeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace wintest
