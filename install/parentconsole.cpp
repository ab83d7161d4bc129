// The parent's console: a redirected standard output or the console window.
#include "parentconsole.h"

ParentConsole::~ParentConsole() {
    if (ownsHandle) CloseHandle(output);
}

void ParentConsole::attach() {
    if (attached()) return;
    // A script that redirects the output ("setup.exe /S > setup.txt") hands over
    // a file or a pipe, which a window program receives as well.
    HANDLE inherited = GetStdHandle(STD_OUTPUT_HANDLE);
    if (inherited != nullptr && inherited != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(inherited);
        if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
            output = inherited;
            return;
        }
    }
    // Fails when the parent has no console, and when this process is attached
    // already; opening the console's output tells the two apart.
    AttachConsole(ATTACH_PARENT_PROCESS);
    HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE) return;
    if (!GetConsoleMode(console, &mode)) {
        CloseHandle(console);
        return;
    }
    output = console;
    isConsoleWindow = true;
    ownsHandle = true;
}

void ParentConsole::writeLine(const std::string& text) {
    if (!attached()) return;
    const std::string line = text + "\r\n";
    DWORD written = 0;
    if (!isConsoleWindow) {
        WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const int length = MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    if (length <= 0) return;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), &wide[0], length);
    WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}
