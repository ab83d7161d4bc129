// Tests of the sound cues: silence without a device, and what a cue really
// sends to the speaker, captured through an ALSA file sink.
//
// Wine's waveOut plays through ALSA inside the process, with the ALSA
// configuration of the Wine session's Unix environment. The audible test
// therefore needs the session started with ALSA_CONFIG_PATH naming the
// sink.conf beside the test sounds (a default device that writes a WAV file)
// and QUILL_SOUND_SINK naming that file; without them it is skipped. A test
// cannot set this up for itself: a variable set in a Windows process does
// not reach ALSA in a child process of the same session.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "soundcue.h"
#include "support/soundsink.h"
#include "tessivo/tessivo.h"

namespace {

// The Windows path of the WAV file that the ALSA sink writes, when the test
// runs with one configured.
const char* const SINK_VARIABLE = "QUILL_SOUND_SINK";

// Loads the five cues as setup does, from the test sounds' Media folder.
void loadCuesLikeSetup(bool results[5]) {
    results[0] = cueBack.load("Media\\Back.mp3", true);
    results[1] = cueOk.load("Media\\Ok.mp3", false);
    results[2] = cueError.load("Media\\Error.mp3", false);
    results[3] = cuePresent.load("Media\\Present.mp3", false);
    results[4] = cueScrShot.load("Media\\ScrShot.mp3", false);
}

std::string currentDir() {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

// The test's own working folder; the cues load from the test sounds beside it.
const std::string workDir = currentDir();
const std::string soundsDir = workDir + "\\..\\..\\sounds";

// Stretches (in frames) where the peak of 10 ms windows is above level: the
// Back loop alone peaks at half scale, with the Ok cue over it near full.
std::vector<size_t> loudStretches(const std::vector<int16_t>& s, int level) {
    const size_t window = 441;
    std::vector<size_t> stretches;
    size_t run = 0;
    for (size_t at = 0; at + window <= s.size(); at += window) {
        int peak = 0;
        for (size_t i = at; i < at + window; ++i) peak = std::max(peak, std::abs(int(s[i])));
        if (peak > level) {
            run += window;
        } else if (run) {
            stretches.push_back(run);
            run = 0;
        }
    }
    if (run) stretches.push_back(run);
    return stretches;
}

}  // namespace

TEST(SoundCue, WithoutADeviceEveryLoadTriesAndAllCuesStaySilent) {
    if (waveOutGetNumDevs() != 0) GTEST_SKIP() << "this machine has a sound device";
    ASSERT_TRUE(SetCurrentDirectoryA(soundsDir.c_str()));
    bool loaded[5];
    loadCuesLikeSetup(loaded);
    for (bool ok : loaded) EXPECT_FALSE(ok);
    EXPECT_EQ(audioEngine, nullptr);  // each failed load gave its engine up again
    cueOk.stop();
    cueOk.play();
    cueBack.release();
    releaseAllSounds();
    EXPECT_EQ(audioEngine, nullptr);
    SetCurrentDirectoryA(workDir.c_str());
}

// Plays the Ok cue over the Back loop, then once more, stopping and
// restarting it after a moment; then releases everything and clicks again.
TEST(SoundCueAudible, OkOverBackIsHeardRestartsAfterStopAndEndsWithRelease) {
    const char* sink = std::getenv(SINK_VARIABLE);
    if (!sink) GTEST_SKIP() << SINK_VARIABLE << " is not set: no file sink configured";
    ASSERT_TRUE(SetCurrentDirectoryA(soundsDir.c_str()));
    bool loaded[5];
    loadCuesLikeSetup(loaded);
    SetCurrentDirectoryA(workDir.c_str());
    for (bool ok : loaded) ASSERT_TRUE(ok);

    cueBack.play();
    Sleep(300);
    cueOk.stop();
    cueOk.play();
    Sleep(1500);
    cueOk.stop();
    cueOk.play();
    Sleep(150);
    cueOk.stop();
    cueOk.play();
    Sleep(1500);
    releaseAllSounds();  // closes the device, so the sink's file is complete
    EXPECT_EQ(audioEngine, nullptr);
    cueOk.stop();
    cueOk.play();

    const std::vector<int16_t> left = wintest::readSinkLeft(sink);
    ASSERT_GT(left.size(), 44100u) << "the sink holds under a second of sound";
    EXPECT_FALSE(wintest::silentAt(left));
    // The Ok cue lasts 0.3 s: 13230 frames, found to within a window at
    // each end and a mixing buffer of start delay.
    const std::vector<size_t> okStretches = loudStretches(left, 24000);
    ASSERT_GE(okStretches.size(), 2u);
    ASSERT_LE(okStretches.size(), 3u);
    EXPECT_NEAR(double(okStretches[0]), 13230.0, 1000.0);
    // Restarted, the second play runs its full length after what was heard
    // before the stop (a mixing pass between stop and play leaves a gap).
    EXPECT_GT(double(okStretches.back()), 13230.0 - 1000.0);
    size_t afterFirst = 0;
    for (size_t i = 1; i < okStretches.size(); ++i) afterFirst += okStretches[i];
    EXPECT_GT(double(afterFirst), 13230.0 + 1000.0);
}
