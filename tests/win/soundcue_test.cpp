// Tests of the sound cues: silence without a device, and what a cue really
// sends to the speaker, captured through an ALSA file sink.
//
// Wine's waveOut plays through ALSA in the process itself. The audible tests
// therefore run this program again as a child whose ALSA_CONFIG_PATH names a
// configuration that turns the default device into a WAV file, and then read
// that file. (Wine hands a child its Windows environment as its Unix one,
// except HOME, so a private .asoundrc would not be seen.) The build folder
// must be on Wine's Z: drive, the Unix root.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "soundcue.h"
#include "tessivo.h"

namespace {

const char* const CHILD_MODE = "QUILL_SOUND_CHILD";

// Loads the five cues as setup does, from the test sounds' Media folder.
void loadCuesLikeSetup(bool results[5]) {
    results[0] = cueBack.load("Media\\Back.mp3", true);
    results[1] = cueOk.load("Media\\Ok.mp3", false);
    results[2] = cueError.load("Media\\Error.mp3", false);
    results[3] = cuePresent.load("Media\\Present.mp3", false);
    results[4] = cueScrShot.load("Media\\ScrShot.mp3", false);
}

std::string unixPath(const std::string& windowsPath) {
    std::string path = windowsPath.substr(2);  // "Z:"
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string currentDir() {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

// The test's own working folder; the cues load from the test sounds beside it.
const std::string workDir = currentDir();
const std::string soundsDir = workDir + "\\..\\..\\sounds";

// Runs this test program as a child in the given mode with the file sink
// configured; returns the child's exit code and leaves the sink's WAV file.
DWORD runChildWithSink(const char* mode, const std::string& sinkWav) {
    const std::string config = workDir + "\\sink.conf";
    DeleteFileA(sinkWav.c_str());
    FILE* rc = std::fopen(config.c_str(), "w");
    if (!rc) return 100;
    std::fprintf(rc,
                 "</usr/share/alsa/alsa.conf>\n"
                 "pcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \"%s\"\n  format \"wav\"\n}\n",
                 unixPath(sinkWav).c_str());
    std::fclose(rc);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" --gtest_filter=SoundCueChild.*";
    SetEnvironmentVariableA("ALSA_CONFIG_PATH", unixPath(config).c_str());
    SetEnvironmentVariableA(CHILD_MODE, mode);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        workDir.c_str(), &startup, &process);
    SetEnvironmentVariableA(CHILD_MODE, nullptr);
    SetEnvironmentVariableA("ALSA_CONFIG_PATH", nullptr);
    if (!started) return 101;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 102;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The left channel of a 16-bit stereo WAV file as the sink wrote it; the
// sizes in its header may be unset when the device was never closed.
std::vector<int16_t> readSinkLeft(const std::string& path) {
    std::vector<int16_t> left;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return left;
    std::vector<char> bytes;
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof(block), f)) > 0) bytes.insert(bytes.end(), block, block + n);
    std::fclose(f);
    if (bytes.size() < 44 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) return left;
    short channels, bits;
    int rate;
    std::memcpy(&channels, bytes.data() + 22, 2);
    std::memcpy(&rate, bytes.data() + 24, 4);
    std::memcpy(&bits, bytes.data() + 34, 2);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(bits, 16);
    const std::string text(bytes.begin(), bytes.end());
    const size_t data = text.find("data", 12);
    if (data == std::string::npos || channels != 2 || bits != 16) return left;
    const char* end = bytes.data() + bytes.size();
    for (const char* p = bytes.data() + data + 8; p + 4 <= end; p += 4) {
        int16_t sample;
        std::memcpy(&sample, p, 2);
        left.push_back(sample);
    }
    return left;
}

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

bool silentAt(const std::vector<int16_t>& s) {
    for (int16_t v : s)
        if (std::abs(int(v)) > 100) return false;
    return true;
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
// restarting it after a moment.
TEST(SoundCueAudible, OkOverBackIsHeardAndRestartsAfterStop) {
    const std::string sink = workDir + "\\audible.wav";
    ASSERT_EQ(runChildWithSink("audible", sink), 0u);
    const std::vector<int16_t> left = readSinkLeft(sink);
    ASSERT_GT(left.size(), 44100u) << "the sink holds under a second of sound";
    EXPECT_FALSE(silentAt(left));

    // The Ok cue lasts 0.3 s: 13230 frames, found to within a window at
    // each end and a mixing buffer of start delay.
    const std::vector<size_t> okStretches = loudStretches(left, 24000);
    ASSERT_EQ(okStretches.size(), 2u);
    EXPECT_NEAR(double(okStretches[0]), 13230.0, 1000.0);
    // Restarted, the second play runs its full length after what was heard
    // before the stop.
    EXPECT_GT(double(okStretches[1]), 13230.0 + 1000.0);
}

TEST(SoundCueAudible, AfterReleaseAllNothingPlays) {
    const std::string sink = workDir + "\\released.wav";
    ASSERT_EQ(runChildWithSink("release", sink), 0u);
    const std::vector<int16_t> left = readSinkLeft(sink);
    EXPECT_TRUE(loudStretches(left, 24000).empty());
}

// The child side of the audible tests; skipped unless run by them.
TEST(SoundCueChild, PlaysIntoTheSink) {
    const char* mode = std::getenv(CHILD_MODE);
    if (!mode) GTEST_SKIP() << "run by the audible tests";
    ASSERT_TRUE(SetCurrentDirectoryA(soundsDir.c_str()));
    fprintf(stderr, "DBG env=%s devs=%u\n", getenv("ALSA_CONFIG_PATH"), waveOutGetNumDevs());
    bool loaded[5];
    loadCuesLikeSetup(loaded);
    for (bool ok : loaded) ASSERT_TRUE(ok);
    ASSERT_NE(audioEngine, nullptr);

    if (std::strcmp(mode, "release") == 0) {
        cueBack.play();
        Sleep(200);
        releaseAllSounds();
        EXPECT_EQ(audioEngine, nullptr);
        cueOk.stop();
        cueOk.play();
        return;
    }
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
    // The process ends with the engine running: the cues' destructors
    // release their sounds under the mixer.
}
