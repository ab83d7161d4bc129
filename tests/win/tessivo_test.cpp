// Tests of the tessivo audio engine: decoding real MP3 files made by lame,
// refusing damaged ones, the mixer's arithmetic and thread safety, and the
// engine's calling interface.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tessivo/decoder.h"
#include "tessivo/mixer.h"
#include "tessivo/tessivo.h"

using namespace tessivo;

namespace {

// Made by make-test-sounds.sh at build time.
const std::string sounds = "..\\..\\sounds\\";

constexpr size_t SECOND = OUTPUT_RATE;
constexpr size_t MP3_FRAME = 1152;

std::vector<uint8_t> readBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Rising zero crossings per second of the left channel, over the middle
// half of the sound (away from any fade at the ends).
double frequencyOf(const Samples& s) {
    const size_t frames = s.size() / 2;
    const size_t from = frames / 4, to = frames * 3 / 4;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i)
        if (s[(i - 1) * 2] < 0 && s[i * 2] >= 0) ++crossings;
    return crossings * double(OUTPUT_RATE) / double(to - from);
}

double rms(const int16_t* p, size_t count, size_t stride) {
    double sum = 0;
    for (size_t i = 0; i < count; ++i) sum += double(p[i * stride]) * p[i * stride];
    return std::sqrt(sum / double(count));
}

}  // namespace

TEST(TessivoDecode, CbrToneHasItsLengthFrequencyAndPlace) {
    Samples s;
    ASSERT_EQ(loadMpegFile((sounds + "tone.mp3").c_str(), s), ERR_OK);
    const size_t frames = s.size() / 2;
    EXPECT_NEAR(double(frames), double(SECOND), double(MP3_FRAME));
    EXPECT_NEAR(frequencyOf(s), 440.0, 3.0);

    // The decoded signal lies where the original does: the encoder's delay
    // and padding are cut exactly, which is what lets a loop close without
    // a gap. Compare against the WAV that lame encoded.
    const std::vector<uint8_t> wav = readBytes(sounds + "tone.wav");
    ASSERT_GE(wav.size(), 44u + SECOND * 4);
    const int16_t* original = reinterpret_cast<const int16_t*>(wav.data() + 44);
    std::vector<int16_t> diff(SECOND / 2);
    for (size_t i = 0; i < diff.size(); ++i) {
        const size_t at = (SECOND / 4 + i) * 2;
        diff[i] = static_cast<int16_t>(s[at] - original[at]);
    }
    EXPECT_LT(rms(diff.data(), diff.size(), 1), 0.05 * rms(original + SECOND / 2, SECOND / 2, 2));
}

TEST(TessivoDecode, Id3TaggedAndVariableRateMonoFilesDecode) {
    Samples tagged;
    ASSERT_EQ(loadMpegFile((sounds + "tone-id3.mp3").c_str(), tagged), ERR_OK);
    EXPECT_NEAR(double(tagged.size() / 2), double(SECOND), double(MP3_FRAME));
    EXPECT_NEAR(frequencyOf(tagged), 440.0, 3.0);

    // 22.05 kHz mono VBR: resampled to the output rate, both channels equal.
    Samples vbr;
    ASSERT_EQ(loadMpegFile((sounds + "tone-vbr.mp3").c_str(), vbr), ERR_OK);
    EXPECT_NEAR(double(vbr.size() / 2), double(SECOND), double(MP3_FRAME));
    EXPECT_NEAR(frequencyOf(vbr), 1000.0, 5.0);
    EXPECT_EQ(vbr[SECOND], vbr[SECOND + 1]);
}

TEST(TessivoDecode, DamagedAndForeignFilesAreRefused) {
    Samples s;
    EXPECT_EQ(loadMpegFile("no-such-file.mp3", s), ERR_UNREADABLE_FILE);
    EXPECT_EQ(loadMpegFile((sounds + "tone-wav.mp3").c_str(), s), ERR_BAD_MPEG);

    writeBytes("empty.mp3", {});
    EXPECT_EQ(loadMpegFile("empty.mp3", s), ERR_BAD_MPEG);

    // Cut short anywhere: inside the first frame, in the middle, one byte
    // before the end.
    const std::vector<uint8_t> tone = readBytes(sounds + "tone.mp3");
    ASSERT_GT(tone.size(), 1000u);
    for (size_t cut : {size_t(3), size_t(200), tone.size() / 2, tone.size() - 1}) {
        writeBytes("cut.mp3", std::vector<uint8_t>(tone.begin(), tone.begin() + cut));
        EXPECT_NE(loadMpegFile("cut.mp3", s), ERR_OK) << "cut at " << cut;
    }

    // Noise rich in sync bytes, deterministic.
    std::vector<uint8_t> noise(200000);
    uint32_t seed = 12345;
    for (uint8_t& b : noise) {
        seed = seed * 1103515245u + 12345u;
        b = (seed >> 24) & 1 ? 0xFF : static_cast<uint8_t>(seed >> 16);
    }
    writeBytes("noise.mp3", noise);
    EXPECT_EQ(loadMpegFile("noise.mp3", s), ERR_BAD_MPEG);

    // An absurd size is refused before anything is read.
    HANDLE huge = CreateFileA("huge.mp3", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(huge, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 3ll << 30;
    SetFilePointerEx(huge, size, nullptr, FILE_BEGIN);
    SetEndOfFile(huge);
    CloseHandle(huge);
    EXPECT_EQ(loadMpegFile("huge.mp3", s), ERR_TOO_LARGE);
    DeleteFileA("huge.mp3");
}

TEST(TessivoDecode, DamageInsideTheStreamIsSkipped) {
    std::vector<uint8_t> tone = readBytes(sounds + "tone.mp3");
    ASSERT_GT(tone.size(), 10000u);
    for (size_t i = 8000; i < 8100; ++i) tone[i] = 0xFF;
    writeBytes("damaged.mp3", tone);
    Samples s;
    ASSERT_EQ(loadMpegFile("damaged.mp3", s), ERR_OK);
    EXPECT_NEAR(double(s.size() / 2), double(SECOND), 2.0 * MP3_FRAME);
}

TEST(TessivoMixer, SumsSaturateAndLoopsCloseWithoutGap) {
    Mixer mixer;
    Sound* loud = mixer.addVoice(Samples(8, 30000), true);    // 4 frames, looping
    Sound* quiet = mixer.addVoice(Samples(6, -1000), false);  // 3 frames, once
    loud->play();
    quiet->play();
    int16_t out[20];
    mixer.mix(out, 10);
    EXPECT_EQ(out[0], 29000);
    EXPECT_EQ(out[6 * 2 - 1], 30000);                        // the quiet voice ended after 3 frames
    for (int i = 0; i < 20; ++i) EXPECT_NE(out[i], 0) << i;  // the loop repeats seamlessly
    EXPECT_TRUE(loud->isPlaying());
    EXPECT_FALSE(quiet->isPlaying());

    Sound* second = mixer.addVoice(Samples(8, 30000), false);
    second->play();
    mixer.mix(out, 2);
    EXPECT_EQ(out[0], INT16_MAX);
    loud->release();
    second->release();
    quiet->release();
}

TEST(TessivoMixer, StopThenPlayRestartsFromTheBeginning) {
    Mixer mixer;
    Samples ramp(2000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i / 2);
    Sound* sound = mixer.addVoice(ramp, false);
    int16_t out[200];
    sound->play();
    mixer.mix(out, 100);
    EXPECT_EQ(sound->position(), 100u);
    sound->stop();
    mixer.mix(out, 100);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(sound->position(), 100u);
    sound->play();
    EXPECT_EQ(sound->position(), 0u);
    mixer.mix(out, 100);
    EXPECT_EQ(out[10 * 2], 10);
    sound->release();
}

// The installer calls a sound through its operation table by position; the
// table must hold play, stop and release at entries 0, 2 and 4.
TEST(TessivoMixer, OperationTableHasPlayStopReleaseAtZeroTwoFour) {
    Mixer mixer;
    Sound* sound = mixer.addVoice(Samples(20000, 100), false);
    using Operation = void (*)(void*);
    Operation* table = *reinterpret_cast<Operation**>(sound);
    table[0](sound);
    EXPECT_TRUE(sound->isPlaying());
    table[2](sound);
    EXPECT_FALSE(sound->isPlaying());
    table[4](sound);
    int16_t out[4];
    mixer.mix(out, 2);  // the released voice is gone
    EXPECT_EQ(out[0], 0);
}

TEST(TessivoMixer, VoicesComeAndGoWhileTheMixerRuns) {
    Mixer mixer;
    std::atomic<bool> done{false};
    std::thread mixing([&] {
        std::vector<int16_t> out(512 * 2);
        while (!done.load()) mixer.mix(out.data(), 512);
    });
    for (int i = 0; i < 2000; ++i) {
        Sound* sound = mixer.addVoice(Samples(4096, static_cast<int16_t>(i)), i % 2 == 0);
        sound->play();
        sound->stop();
        sound->play();
        sound->release();
    }
    done.store(true);
    mixing.join();
}

TEST(TessivoEngine, RefusesWhatItDoesNotKnow) {
    Tessivo engine;
    EXPECT_EQ(engine.init(static_cast<DeviceType>(1), 44100, 0), ERR_INVALID_ARGUMENT);
    EXPECT_EQ(engine.init(DEVICE_WAVEOUT, 22050, 0), ERR_INVALID_ARGUMENT);

    MPEGParams params = {};
    params.version = MPEGParams::VERSION;
    params.fileName = "..\\..\\sounds\\tone.mp3";
    params.loadMode = MPEGParams::DECODE_IN_MEMORY;
    Sound* sound = nullptr;
    EXPECT_EQ(engine.getSoundClass(SOUND_MPEG, &params, &sound), ERR_NOT_INITIALISED);
    EXPECT_EQ(engine.getSoundClass(static_cast<SoundClass>(4), &params, &sound), ERR_INVALID_ARGUMENT);
    params.version = 0x200;
    EXPECT_EQ(engine.getSoundClass(SOUND_MPEG, &params, &sound), ERR_INVALID_ARGUMENT);
    EXPECT_EQ(sound, nullptr);
}
