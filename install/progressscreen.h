// ProgressScreen: watches the installation; the worker feeds it the progress.
#pragma once

#include <atomic>

#include "guiscreen.h"

class ProgressScreen : public GuiScreen {
public:
    // Resets the screen for a new installation.
    void start() { progress = 0.0f; }
    // Called on the worker thread after every block of data.
    void setProgress(float fraction) { progress = fraction; }
    float getProgress() const { return progress; }

private:
    std::atomic<float> progress{0.0f};
};
