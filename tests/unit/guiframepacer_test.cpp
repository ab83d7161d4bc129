// GuiFramePacer: the frame rate the message loop reaches with system timers of
// different precision, and no burst of frames after a stall.
#include "gui/guiframepacer.h"

#include <gtest/gtest.h>

namespace {

// One second of the message loop with nothing else to do: a frame when one is
// due (drawing takes no time here), otherwise a wait for the pacer's time, which
// a system timer ends on its first tick at or after that time. The frames drawn.
int framesInOneSecond(int64_t timerTickUs) {
    GuiFramePacer pacer;
    int64_t now = 0;
    pacer.restart(now);
    int frames = 0;
    while (now < 1000000) {
        if (pacer.frameDue(now)) {
            ++frames;
            continue;
        }
        const int64_t wake = now + int64_t{pacer.msUntilNextFrame(now)} * 1000;
        now = (wake + timerTickUs - 1) / timerTickUs * timerTickUs;
    }
    return frames;
}

TEST(GuiFramePacer, SixtyFramesASecondWithPreciseAndCoarseTimers) {
    // Wine's timers, Windows with a raised timer resolution, and Windows' default
    // tick of 15.6 ms, which a pacer counting from each wake-up would halve.
    for (int64_t tickUs : {int64_t{1}, int64_t{1000}, int64_t{15625}}) {
        const int frames = framesInOneSecond(tickUs);
        EXPECT_GE(frames, 58) << "timer tick " << tickUs << " us";
        EXPECT_LE(frames, 61) << "timer tick " << tickUs << " us";
    }
}

TEST(GuiFramePacer, AfterAStallTheNextFrameIsAPeriodAway) {
    GuiFramePacer pacer;
    pacer.restart(0);
    EXPECT_TRUE(pacer.frameDue(0));
    EXPECT_FALSE(pacer.frameDue(1000));
    EXPECT_EQ(pacer.msUntilNextFrame(1000), 16u);  // 15,667 us, rounded up
    // Half a second without a chance to draw: one frame, then the regular pace.
    EXPECT_TRUE(pacer.frameDue(500000));
    EXPECT_FALSE(pacer.frameDue(500001));
    EXPECT_EQ(pacer.msUntilNextFrame(500000), 17u);
    // The window comes back: a frame at once.
    pacer.restart(600000);
    EXPECT_EQ(pacer.msUntilNextFrame(600000), 0u);
    EXPECT_TRUE(pacer.frameDue(600000));
}

}  // namespace
