// Helpers of the Win32 tests: scratch folders, registry values restored after a
// test, and a scripted answerer for the installer's message boxes.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

inline std::string currentDir() {
    char szDir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szDir);
    return szDir;
}

// Deletes a folder with everything in it, read-only files too.
inline void removeTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA((path + "\\*").c_str(), &data);
    if (found != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(found, &data));
        FindClose(found);
    }
    RemoveDirectoryA(path.c_str());
}

inline bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Copies a folder with everything in it into `to` (made when missing).
inline bool copyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA((from + "\\*").c_str(), &data);
    if (found == INVALID_HANDLE_VALUE) return false;
    bool copied = true;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copied = copyTree(from + "\\" + name, to + "\\" + name) && copied;
        else
            copied = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && copied;
    } while (FindNextFileA(found, &data));
    FindClose(found);
    return copied;
}

// Creates a folder with every missing level above it (an absolute path).
inline void makeDirs(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

// A drive letter with nothing behind it, as "Y:".
inline std::string missingDrive() {
    DWORD drives = GetLogicalDrives();
    char letter = 'Y';
    while (letter > 'D' && (drives & (1u << (letter - 'A')))) --letter;
    return std::string(1, letter) + ":";
}

// A fresh, empty folder under the test's working folder; prints its path.
inline std::string freshFolder(const std::string& name) {
    std::string path = currentDir() + "\\" + name;
    removeTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

// A fresh, empty folder under the test's working folder, removed afterwards.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name) : path_(freshFolder(name)) {}
    ~ScratchDir() { removeTree(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

inline std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline bool writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

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

// The string value, or "<absent>".
inline std::string registryString(HKEY root, const char* subKey, const char* name) {
    char szValue[1024];
    DWORD size = sizeof szValue;
    if (RegGetValueA(root, subKey, name, RRF_RT_REG_SZ, nullptr, szValue, &size) != ERROR_SUCCESS) return "<absent>";
    return szValue;
}

inline void setRegistryString(HKEY root, const char* subKey, const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

inline void deleteRegistryValue(HKEY root, const char* subKey, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// Remembers a registry string value and puts it back (or removes it) at the end.
class SavedRegistryValue {
public:
    SavedRegistryValue(HKEY root, const char* subKey, const char* name)
        : root_(root), subKey_(subKey), name_(name), old_(registryString(root, subKey, name)) {}
    ~SavedRegistryValue() {
        if (old_ == "<absent>")
            deleteRegistryValue(root_, subKey_.c_str(), name_.c_str());
        else
            setRegistryString(root_, subKey_.c_str(), name_.c_str(), old_);
    }

private:
    HKEY root_;
    std::string subKey_, name_, old_;
};

// What a shortcut file says, read back through the shell link.
struct LinkInfo {
    bool loaded = false;
    std::string target, workingDir, description, arguments;
    int iconIndex = -1;
};

inline LinkInfo readLink(const std::string& linkFile) {
    LinkInfo info;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wszLink[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wszLink, MAX_PATH);
        if (SUCCEEDED(file->Load(wszLink, STGM_READ))) {
            char szValue[MAX_PATH] = "";
            info.loaded = true;
            link->GetPath(szValue, MAX_PATH, nullptr, SLGP_RAWPATH);
            info.target = szValue;
            link->GetWorkingDirectory(szValue, MAX_PATH);
            info.workingDir = szValue;
            link->GetDescription(szValue, MAX_PATH);
            info.description = szValue;
            link->GetArguments(szValue, MAX_PATH);
            info.arguments = szValue;
            link->GetIconLocation(szValue, MAX_PATH, &info.iconIndex);
        }
        file->Release();
    }
    link->Release();
    return info;
}

// Answers message boxes with a caption (by default the installer's) on a helper
// thread, in this process or any other, and keeps their texts. The boxes are
// answered in order from the script; boxes beyond it get the default answer
// (0: Yes where there is one, else OK). Watching ends after the time limit.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> answers, int timeoutMs = 60000,
                         std::string caption = "Quillmark Demo Install")
        : answers_(std::move(answers)), caption_(std::move(caption)), thread_([this, timeoutMs] { run(timeoutMs); }) {}
    // Answers every box with one button.
    BoxAnswerer(const char* caption, int answer) : BoxAnswerer({}, 60000, caption) { defaultAnswer_ = answer; }
    ~BoxAnswerer() { stop(); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // The answer for the boxes beyond the script from now on.
    void setAnswer(int answer) { defaultAnswer_ = answer; }

    std::vector<std::string> texts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }

    // Waits until at least n boxes were answered; false on time-out.
    bool waitFor(size_t n, int timeoutMs = 20000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (texts().size() < n) {
            if (std::chrono::steady_clock::now() >= end) return false;
            Sleep(20);
        }
        return true;
    }

    // Stops watching and returns the texts of the boxes seen.
    std::vector<std::string> stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return texts();
    }

private:
    void run(int timeoutMs) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done_ && std::chrono::steady_clock::now() < deadline) {
            HWND box = FindWindowA("#32770", caption_.c_str());
            if (box && IsWindowVisible(box)) {
                char szText[2048] = "";
                GetDlgItemTextA(box, 0xFFFF, szText, sizeof szText);
                size_t index;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    texts_.push_back(szText);
                    index = texts_.size() - 1;
                }
                int answer = index < answers_.size() ? answers_[index] : defaultAnswer_.load();
                if (answer == 0) answer = GetDlgItem(box, IDYES) ? IDYES : IDOK;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
                // The next box is looked for only once this one has gone.
                while (IsWindow(box) && std::chrono::steady_clock::now() < deadline) Sleep(10);
            }
            Sleep(20);
        }
    }

    std::vector<int> answers_;
    std::string caption_;
    std::atomic<int> defaultAnswer_{0};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace wintest
