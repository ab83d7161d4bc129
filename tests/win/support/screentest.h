// Helpers of the screen tests: a string table in the test's working folder,
// the pointer and the left button at panel points, a real main window, and a
// watcher that cancels the folder browser.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "gui/guiwindow.h"
#include "installapp.h"
#include "resstringtable.h"
#include "support/wintest.h"

namespace screentest {

// Writes Media\strings.txt in the working folder and loads it.
inline bool loadStrings(const std::string& text) {
    CreateDirectoryA("Media", nullptr);
    return wintest::writeFile("Media\\strings.txt", text) && stringTable.load("Media\\strings.txt");
}

// The panel lies at 0, 0 of the window, so panel points are client points.
inline void moveTo(int x, int y) {
    setMousePos(x, y);
    dispatchMouse(GE_MOUSEMOVE);
}
inline void press(int x, int y) {
    setMousePos(x, y);
    dispatchMouse(GE_LBUTTONDOWN);
}
inline void click(int x, int y) {
    press(x, y);
    dispatchMouse(GE_LBUTTONUP);
}

// Takes the messages waiting for this thread; true when a quit was among them.
inline bool quitPosted() {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            quit = true;
        else
            DispatchMessageA(&msg);
    }
    return quit;
}

inline LRESULT CALLBACK plainWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

// A plain top-level window of this thread standing in for the main window.
inline HWND createMainWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ScreenTestWindow";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "before", WS_POPUP, 0, 0, 550, 400, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

inline std::string windowTitle(HWND window) {
    char szTitle[512] = "";
    GetWindowTextA(window, szTitle, sizeof szTitle);
    return szTitle;
}

// Cancels the first dialog of this process that appears (the folder browser).
class DialogCanceller {
public:
    DialogCanceller() : thread_([this] { run(); }) {}
    ~DialogCanceller() {
        done_ = true;
        thread_.join();
    }
    DialogCanceller(const DialogCanceller&) = delete;
    DialogCanceller& operator=(const DialogCanceller&) = delete;
    bool cancelled() const { return cancelled_; }

private:
    void run() {
        for (int i = 0; i < 1500 && !done_ && !cancelled_; ++i) {
            HWND dialog = nullptr;
            while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(dialog, &pid);
                if (pid == GetCurrentProcessId() && IsWindowVisible(dialog)) {
                    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                    cancelled_ = true;
                    break;
                }
            }
            Sleep(20);
        }
    }

    std::atomic<bool> done_{false};
    std::atomic<bool> cancelled_{false};
    std::thread thread_;
};

}  // namespace screentest
