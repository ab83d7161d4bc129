// The waveOut stream and its mixing thread.
#include "tessivo/output.h"

namespace tessivo {

bool Output::open() {
    if (waveOutGetNumDevs() == 0) return false;
    bufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!bufferDone) return false;

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = OUTPUT_CHANNELS;
    format.nSamplesPerSec = OUTPUT_RATE;
    format.wBitsPerSample = 16;
    format.nBlockAlign = OUTPUT_CHANNELS * 2;
    format.nAvgBytesPerSec = OUTPUT_RATE * format.nBlockAlign;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        device = nullptr;
        return false;
    }
    for (int i = 0; i < BUFFER_COUNT; ++i) {
        buffers[i].assign(BUFFER_FRAMES * OUTPUT_CHANNELS, 0);
        headers[i].lpData = reinterpret_cast<LPSTR>(buffers[i].data());
        headers[i].dwBufferLength = BUFFER_FRAMES * OUTPUT_CHANNELS * sizeof(int16_t);
        if (waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
        headers[i].dwFlags |= WHDR_DONE;  // free to fill
    }
    thread = CreateThread(nullptr, 0, threadMain, this, CREATE_SUSPENDED, nullptr);
    if (!thread) return false;
    // setup's extraction worker runs at the highest normal priority; the mixer
    // must still be served first or the device runs dry and the sound stutters.
    // It sleeps most of the time.
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    ResumeThread(thread);
    return true;
}

Output::~Output() {
    if (thread) {
        stopping.store(true);
        SetEvent(bufferDone);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (device) {
        waveOutReset(device);
        for (WAVEHDR& header : headers)
            if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device, &header, sizeof(WAVEHDR));
        waveOutClose(device);
    }
    if (bufferDone) CloseHandle(bufferDone);
}

DWORD WINAPI Output::threadMain(LPVOID self) {
    static_cast<Output*>(self)->run();
    return 0;
}

void Output::run() {
    while (!stopping.load()) {
        for (int i = 0; i < BUFFER_COUNT; ++i) {
            WAVEHDR& header = headers[i];
            if (!(header.dwFlags & WHDR_DONE)) continue;
            mixer.mix(buffers[i].data(), BUFFER_FRAMES);
            header.dwFlags &= ~WHDR_DONE;
            waveOutWrite(device, &header, sizeof(WAVEHDR));
        }
        WaitForSingleObject(bufferDone, 1000);
    }
}

}  // namespace tessivo
