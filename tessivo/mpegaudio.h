// MPEG audio files as stored on a disk: finding the Layer III frames behind an
// ID3v2 tag, skipping junk and damage, reading the encoder's gapless note, and
// bringing decoded PCM to the mixer's format. Platform-neutral; the decoding
// itself is Windows' codec (decoder.cpp).
//
// A file is ID3v2 tag (optional) + frames + trailing tags (optional). Each frame
// starts with a 4-byte header (11 sync bits, version, layer, bit rate, sample
// rate, padding, channel mode) that gives its length. An encoder may put an
// information frame first ("Xing", "Info" or "VBRI") that holds no audio; after
// a "Xing"/"Info" block LAME-style encoders record the delay they added at the
// start and the padding at the end, which we cut to loop without a gap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tessivo/mixer.h"

namespace tessivo {

struct MpegStream {
    int sampleRate = 0;
    int channels = 0;
    int bitRate = 0;  // of the first audio frame, bits per second
    int firstFrameBytes = 0;
    int samplesPerFrame = 0;
    size_t frameCount = 0;
    size_t declaredFrames = 0;    // by the information frame; 0 = not told
    std::vector<uint8_t> frames;  // the audio frames, back to back
    bool gapless = false;         // encoderDelay and padding are known
    uint32_t encoderDelay = 0;
    uint32_t padding = 0;
};

// The samples a Layer III decoder emits before the first encoded one.
constexpr uint32_t DECODER_DELAY = 529;

// Finds the audio frames of a file's bytes; false when there are none or
// fewer than the information frame declares (a file cut short).
bool parseMpegStream(const uint8_t* data, size_t size, MpegStream& stream);

// The range of decoded frames that holds the encoded signal: all of them
// unless the encoder noted its delay and padding.
void signalRange(const MpegStream& stream, size_t decodedFrames, size_t& first, size_t& count);

// Converts interleaved 16-bit PCM of the given layout to the mixer's format
// (stereo, OUTPUT_RATE), resampling linearly when the rate differs.
Samples toOutputFormat(const int16_t* pcm, size_t frames, int channels, int sampleRate);

}  // namespace tessivo
