// The output: one waveOut stream fed by a mixing thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "tessivo/mixer.h"

namespace tessivo {

class Output {
public:
    // Buffers queued on the device, each of BUFFER_FRAMES frames: about
    // 90 ms in all, short enough for a click to follow the button.
    static constexpr int BUFFER_COUNT = 4;
    static constexpr int BUFFER_FRAMES = 1024;

    explicit Output(Mixer& mixer) : mixer(mixer) {}
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Opens the default device and starts mixing into it; false when there
    // is no device.
    bool open();

private:
    static DWORD WINAPI threadMain(LPVOID self);
    void run();

    Mixer& mixer;
    HWAVEOUT device = nullptr;
    HANDLE bufferDone = nullptr;  // signalled by the device for each finished buffer
    HANDLE thread = nullptr;
    std::atomic<bool> stopping{false};
    WAVEHDR headers[BUFFER_COUNT] = {};
    std::vector<int16_t> buffers[BUFFER_COUNT];
};

}  // namespace tessivo
