// Answers the installer's message boxes in a test: a thread that finds each box
// by its caption, records its text and presses one of its buttons.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxAnswerer {
public:
    // answer: the button to press, IDOK, IDYES or IDNO.
    explicit MessageBoxAnswerer(int answer = IDOK) : button(answer), watcher([this] { watch(); }) {}
    ~MessageBoxAnswerer() {
        stop = true;
        watcher.join();
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // The texts of the boxes answered so far, in order.
    std::vector<std::string> texts() {
        std::lock_guard<std::mutex> lock(mutex);
        return answered;
    }

private:
    static constexpr int TEXT_CONTROL_ID = 0xFFFF;

    void watch() {
        while (!stop) {
            HWND box = FindWindowA("#32770", "Quillmark Demo Install");
            if (box != nullptr && box != lastBox) {
                char text[2048] = "";
                GetDlgItemTextA(box, TEXT_CONTROL_ID, text, sizeof text);
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    answered.emplace_back(text);
                }
                lastBox = box;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            } else if (box == nullptr) {
                lastBox = nullptr;
            }
            Sleep(20);
        }
    }

    int button;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<std::string> answered;
    HWND lastBox = nullptr;
    std::thread watcher;
};
