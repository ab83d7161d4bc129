// qdriver: drives setup's windows from outside for the end-to-end tests.
//
//   qdriver wait-window CLASS TIMEOUT_MS     prints "x y w h" of the window's rectangle
//   qdriver wait-gone CLASS TIMEOUT_MS       waits until no such window exists
//   qdriver close CLASS                      posts WM_CLOSE to the window
//   qdriver box CAPTION TIMEOUT_MS           prints the text of a message box
//   qdriver press CAPTION BUTTON_ID          presses a button of a message box (1 OK, 6 Yes, 7 No)
//   qdriver title CLASS                      prints the window's title
//   qdriver minimize CLASS | restore CLASS   minimises the window or restores it
//   qdriver wait-title CLASS TEXT TIMEOUT_MS [BMP]
//                                            waits until the title holds TEXT; prints it and
//                                            saves the screen as BMP in that moment
//   qdriver link FILE                        prints a shortcut's target and working folder,
//                                            one a line, in UTF-8
//
// Exit code 0 on success, 1 when the window did not appear in time, 2 on bad use.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND waitFor(const char* className, const char* title, int timeoutMs) {
    DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    do {
        HWND window = FindWindowA(className, title);
        if (window && IsWindowVisible(window)) return window;
        Sleep(50);
    } while (GetTickCount() < end);
    return nullptr;
}

// Saves the whole screen as a 24-bit BMP file. Done here rather than by an outside
// tool, so that the picture shows the same moment as the title just read.
bool saveScreen(const char* path) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const DWORD size = static_cast<DWORD>((w * 3 + 3) & ~3) * static_cast<DWORD>(h);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + size;
        if (FILE* out = std::fopen(path, "wb")) {
            saved = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1 &&
                    std::fwrite(bits, size, 1, out) == 1;
            saved = std::fclose(out) == 0 && saved;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

std::string utf8(const WCHAR* text) {
    char szText[4 * MAX_PATH] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, szText, sizeof szText, nullptr, nullptr);
    return szText;
}

// Reads a shortcut through the shell, as Windows would follow it.
int printLink(const char* file) {
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return 1;
    WCHAR wszFile[MAX_PATH], wszTarget[MAX_PATH] = L"", wszDir[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, file, -1, wszFile, MAX_PATH);
    IPersistFile* persist = nullptr;
    bool loaded = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)));
    loaded = loaded && SUCCEEDED(persist->Load(wszFile, STGM_READ));
    if (persist) persist->Release();
    if (loaded) {
        link->GetPath(wszTarget, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(wszDir, MAX_PATH);
        std::printf("%s\n%s\n", utf8(wszTarget).c_str(), utf8(wszDir).c_str());
    }
    link->Release();
    return loaded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const char* command = argv[1];
    const char* name = argv[2];
    int number = argc > 3 ? std::atoi(argv[3]) : 0;

    if (!std::strcmp(command, "wait-window")) {
        HWND window = waitFor(name, nullptr, number);
        if (!window) return 1;
        RECT r;
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (!std::strcmp(command, "wait-gone")) {
        DWORD end = GetTickCount() + static_cast<DWORD>(number);
        while (FindWindowA(name, nullptr)) {
            if (GetTickCount() >= end) return 1;
            Sleep(50);
        }
        return 0;
    }
    if (!std::strcmp(command, "close")) {
        HWND window = FindWindowA(name, nullptr);
        if (!window) return 1;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (!std::strcmp(command, "minimize") || !std::strcmp(command, "restore")) {
        HWND window = FindWindowA(name, nullptr);
        if (!window) return 1;
        ShowWindow(window, command[0] == 'm' ? SW_MINIMIZE : SW_RESTORE);
        return 0;
    }
    if (!std::strcmp(command, "title")) {
        HWND window = FindWindowA(name, nullptr);
        if (!window) return 1;
        char title[512] = "";
        GetWindowTextA(window, title, sizeof title);
        std::printf("%s\n", title);
        return 0;
    }
    if (!std::strcmp(command, "wait-title") && argc > 4) {
        // Polled here, not from the script, so that a title shown for a moment is seen.
        DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(argv[4]));
        char title[512] = "";
        do {
            HWND window = FindWindowA(name, nullptr);
            if (window && GetWindowTextA(window, title, sizeof title) && std::strstr(title, argv[3])) {
                if (argc > 5 && !saveScreen(argv[5])) return 1;
                std::printf("%s\n", title);
                return 0;
            }
            Sleep(10);
        } while (GetTickCount() < end);
        return 1;
    }
    if (!std::strcmp(command, "box")) {
        HWND box = waitFor("#32770", name, number);
        if (!box) return 1;
        char text[2048] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        std::printf("%s\n", text);
        return 0;
    }
    if (!std::strcmp(command, "link")) return printLink(name);
    if (!std::strcmp(command, "press")) {
        HWND box = waitFor("#32770", name, 10000);
        if (!box) return 1;
        HWND button = GetDlgItem(box, number);
        if (!button) return 1;
        SendMessageA(button, BM_CLICK, 0, 0);
        return 0;
    }
    return 2;
}
