// The mixer: every loaded sound as a voice over its decoded samples, summed
// with saturation into 16-bit stereo at the output rate. Platform-neutral, so
// that it can be measured on its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "tessivo/tessivo.h"

namespace tessivo {

constexpr int OUTPUT_RATE = 44100;
constexpr int OUTPUT_CHANNELS = 2;

// Decoded audio: interleaved 16-bit stereo frames at OUTPUT_RATE.
using Samples = std::vector<int16_t>;

class Voice;

class Mixer {
public:
    Mixer() = default;
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Adds a silent voice over the samples; the mixer owns it until the
    // voice is released or the mixer is destroyed.
    Sound* addVoice(Samples samples, bool loop);

    // Writes the next frames of the mix (interleaved stereo) into out.
    void mix(int16_t* out, size_t frames);

private:
    friend class Voice;
    void removeVoice(Voice* voice);

    // Held for a whole mixing pass, so a voice removed under it is no
    // longer in use once removeVoice returns.
    std::mutex voicesLock;
    std::vector<Voice*> voices;
    std::vector<int32_t> accumulator;
};

}  // namespace tessivo
