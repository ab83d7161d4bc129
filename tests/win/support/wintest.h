// Helpers of the Win32 tests: scratch folders, registry values restored after a
// test, and a scripted answerer for the installer's message boxes.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <fstream>
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

// Deletes a folder with everything in it.
inline void removeTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA((path + "\\*").c_str(), &data);
    if (found != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(found, &data));
        FindClose(found);
    }
    RemoveDirectoryA(path.c_str());
}

// A fresh, empty folder under the test's working folder, removed afterwards.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name) : path_(currentDir() + "\\" + name) {
        removeTree(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
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

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

// The string value, or "<absent>".
inline std::string registryString(HKEY root, const char* subKey, const char* name) {
    char szValue[1024];
    DWORD size = sizeof szValue;
    if (RegGetValueA(root, subKey, name, RRF_RT_REG_SZ, nullptr, szValue, &size) != ERROR_SUCCESS)
        return "<absent>";
    return szValue;
}

inline void setRegistryString(HKEY root, const char* subKey, const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
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

// Answers the installer's message boxes (caption "Quillmark Demo Install") on
// a helper thread, one answer a box in order, and keeps their texts. Boxes
// beyond the script are answered with the first button; every wait times out.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> answers, int timeoutMs = 20000)
        : answers_(std::move(answers)), thread_([this, timeoutMs] { run(timeoutMs); }) {}
    ~BoxAnswerer() { stop(); }

    // Stops watching and returns the texts of the boxes seen.
    std::vector<std::string> stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return texts_;
    }

private:
    void run(int timeoutMs) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done_ && std::chrono::steady_clock::now() < deadline) {
            HWND box = FindWindowA("#32770", "Quillmark Demo Install");
            if (box && IsWindowVisible(box)) {
                char szText[2048] = "";
                GetDlgItemTextA(box, 0xFFFF, szText, sizeof szText);
                texts_.push_back(szText);
                size_t index = texts_.size() - 1;
                int answer = index < answers_.size() ? answers_[index] : 0;
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
    std::vector<std::string> texts_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace wintest
