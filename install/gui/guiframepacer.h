// GuiFramePacer: when the panel's next frame is due. The application's message
// loop draws a frame when one is due and otherwise waits for messages until the
// next one, so the screen keeps its pace without holding a processor core. The
// animations follow the tick count, not the frames, so the pace decides only how
// often they are shown.
#pragma once

#include <cstdint>

class GuiFramePacer {
public:
    static constexpr int64_t FRAMES_PER_SECOND = 60;
    static constexpr int64_t FRAME_PERIOD_US = 1000000 / FRAMES_PER_SECOND;

    // True when a frame is due at `nowUs` (microseconds of a steady clock). The
    // one after is then due a period after this one was due, so that wake-ups
    // that come late (a system timer that ticks every 15.6 ms) do not lower the
    // rate; after a stall of more than a period it is due a period from now, so
    // no burst of frames follows.
    bool frameDue(int64_t nowUs);

    // Whole milliseconds until the next frame is due, rounded up; 0 when it is.
    uint32_t msUntilNextFrame(int64_t nowUs) const;

    // The next frame is due at once: the window has come back.
    void restart(int64_t nowUs);

private:
    int64_t nextFrameUs = 0;
};
