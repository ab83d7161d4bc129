// The mixer and its voices.
#include "tessivo/mixer.h"

#include <algorithm>

namespace tessivo {

// One loaded sound. Only the mixing pass moves the play position; the other
// threads ask for a start or a stop through atomic flags, which the next pass
// honours.
class Voice final : public Sound {
public:
    Voice(Mixer* owner, Samples samples, bool loop) : owner(owner), samples(std::move(samples)), loop(loop) {}

    void play() override {
        restartRequested.store(true);
        playing.store(true);
    }
    bool isPlaying() override { return playing.load() || restartRequested.load(); }
    void stop() override {
        restartRequested.store(false);
        playing.store(false);
    }
    uint32_t position() override { return restartRequested.load() ? 0 : frame.load(); }
    void release() override {
        owner->removeVoice(this);
        delete this;
    }

    // Adds up to frames frames into acc; called only by Mixer::mix.
    void mixInto(int32_t* acc, size_t frames) {
        if (restartRequested.exchange(false)) frame.store(0);
        if (!playing.load()) return;
        const size_t total = samples.size() / OUTPUT_CHANNELS;
        size_t pos = frame.load();
        size_t done = 0;
        while (done < frames && total > 0) {
            if (pos >= total) {
                if (!loop) break;
                pos = 0;
            }
            const size_t n = std::min(frames - done, total - pos);
            const int16_t* src = samples.data() + pos * OUTPUT_CHANNELS;
            int32_t* dst = acc + done * OUTPUT_CHANNELS;
            for (size_t i = 0; i < n * OUTPUT_CHANNELS; ++i) dst[i] += src[i];
            pos += n;
            done += n;
        }
        if (pos >= total && !loop) playing.store(false);
        frame.store(static_cast<uint32_t>(pos));
    }

private:
    ~Voice() = default;
    friend class Mixer;

    Mixer* owner;
    const Samples samples;
    const bool loop;
    std::atomic<bool> playing{false};
    std::atomic<bool> restartRequested{false};
    std::atomic<uint32_t> frame{0};
};

Mixer::~Mixer() {
    for (Voice* voice : voices) delete voice;
}

Sound* Mixer::addVoice(Samples samples, bool loop) {
    Voice* voice = new Voice(this, std::move(samples), loop);
    std::lock_guard<std::mutex> hold(voicesLock);
    voices.push_back(voice);
    return voice;
}

void Mixer::removeVoice(Voice* voice) {
    std::lock_guard<std::mutex> hold(voicesLock);
    voices.erase(std::remove(voices.begin(), voices.end(), voice), voices.end());
}

void Mixer::mix(int16_t* out, size_t frames) {
    const size_t count = frames * OUTPUT_CHANNELS;
    std::lock_guard<std::mutex> hold(voicesLock);
    accumulator.assign(count, 0);
    for (Voice* voice : voices) voice->mixInto(accumulator.data(), frames);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(accumulator[i], INT16_MIN, INT16_MAX));
}

}  // namespace tessivo
