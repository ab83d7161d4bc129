// MPEG Layer III framing, gapless note and PCM conversion.
#include "tessivo/mpegaudio.h"

#include <algorithm>
#include <cstring>

namespace tessivo {
namespace {

struct FrameHeader {
    int version;  // 1 = MPEG-1, 2 = MPEG-2, 25 = MPEG-2.5
    int sampleRate;
    int bitRate;
    int channels;
    int bytes;
    int samples;
};

// Reads a Layer III frame header; false for anything else (other layers,
// free-format or reserved fields).
bool readHeader(const uint8_t* p, FrameHeader& h) {
    static const int bitRatesV1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int bitRatesV2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static const int ratesV1[3] = {44100, 48000, 32000};
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    const int versionBits = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int bitRateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 3) return false;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    const int kbps = (h.version == 1 ? bitRatesV1 : bitRatesV2)[bitRateIndex];
    if (kbps == 0) return false;
    h.bitRate = kbps * 1000;
    h.sampleRate = ratesV1[rateIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    const int padding = (p[2] >> 1) & 1;
    h.samples = h.version == 1 ? 1152 : 576;
    h.bytes = (h.version == 1 ? 144 : 72) * h.bitRate / h.sampleRate + padding;
    return true;
}

bool sameStream(const FrameHeader& a, const FrameHeader& b) {
    return a.version == b.version && a.sampleRate == b.sampleRate && a.channels == b.channels;
}

// A frame at pos that fits and is followed by as many as `chain` more frames
// of the same stream (fewer only where the data ends).
bool frameChainAt(const uint8_t* data, size_t size, size_t pos, int chain, FrameHeader& first) {
    if (size - pos < 4 || !readHeader(data + pos, first)) return false;
    size_t next = pos + first.bytes;
    if (next > size) return false;
    for (int i = 0; i < chain && size - next >= 4; ++i) {
        FrameHeader h;
        if (!readHeader(data + next, h) || !sameStream(first, h) || next + h.bytes > size) return false;
        next += h.bytes;
    }
    return true;
}

size_t skipId3v2(const uint8_t* data, size_t size) {
    if (size < 10 || std::memcmp(data, "ID3", 3) != 0) return 0;
    for (int i = 6; i < 10; ++i)
        if (data[i] & 0x80) return 0;
    size_t tagSize = 10 + ((size_t(data[6]) << 21) | (size_t(data[7]) << 14) | (size_t(data[8]) << 7) | data[9]);
    if (data[5] & 0x10) tagSize += 10;  // footer
    return tagSize < size ? tagSize : size;
}

// Reads an information frame; true when the frame holds no audio.
bool readInfoFrame(const uint8_t* frame, const FrameHeader& h, MpegStream& stream) {
    const size_t sideInfo = h.version == 1 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17);
    const size_t tag = 4 + sideInfo;
    const size_t frameBytes = h.bytes;
    if (frameBytes >= 36 + 4 && std::memcmp(frame + 36, "VBRI", 4) == 0) return true;
    if (frameBytes < tag + 8) return false;
    if (std::memcmp(frame + tag, "Xing", 4) != 0 && std::memcmp(frame + tag, "Info", 4) != 0) return false;
    const uint8_t flags = frame[tag + 7];
    size_t lame = tag + 8;
    if (flags & 1) {
        const uint8_t* count = frame + lame;
        stream.declaredFrames =
            (size_t(count[0]) << 24) | (size_t(count[1]) << 16) | (size_t(count[2]) << 8) | count[3];
        lame += 4;
    }
    if (flags & 2) lame += 4;    // byte count
    if (flags & 4) lame += 100;  // seek table
    if (flags & 8) lame += 4;    // quality
    // Encoder name (9), revision, low pass, replay gain (8), flags, bit rate,
    // then 12 bits of delay and 12 of padding.
    if (lame + 24 <= frameBytes &&
        (std::memcmp(frame + lame, "LAME", 4) == 0 || std::memcmp(frame + lame, "Lav", 3) == 0)) {
        const uint8_t* gap = frame + lame + 21;
        stream.encoderDelay = (uint32_t(gap[0]) << 4) | (gap[1] >> 4);
        stream.padding = (uint32_t(gap[1] & 0x0F) << 8) | gap[2];
        stream.gapless = true;
    }
    return true;
}

}  // namespace

bool parseMpegStream(const uint8_t* data, size_t size, MpegStream& stream) {
    stream = MpegStream();
    size_t pos = skipId3v2(data, size);
    FrameHeader first;
    while (pos < size && !frameChainAt(data, size, pos, 3, first)) ++pos;
    if (pos >= size) return false;

    stream.sampleRate = first.sampleRate;
    stream.channels = first.channels;
    stream.samplesPerFrame = first.samples;
    if (readInfoFrame(data + pos, first, stream)) pos += first.bytes;

    // Walk the frames; damage in between is skipped up to the next frame of
    // the same stream, a cut-off frame at the end is dropped.
    while (size - pos >= 4) {
        FrameHeader h;
        if (readHeader(data + pos, h) && sameStream(first, h)) {
            if (pos + h.bytes > size) break;
            if (stream.frameCount == 0) {
                stream.bitRate = h.bitRate;
                stream.firstFrameBytes = h.bytes;
            }
            stream.frames.insert(stream.frames.end(), data + pos, data + pos + h.bytes);
            ++stream.frameCount;
            pos += h.bytes;
            continue;
        }
        FrameHeader next;
        ++pos;
        while (size - pos >= 4 && !(frameChainAt(data, size, pos, 1, next) && sameStream(first, next))) ++pos;
    }
    return stream.frameCount > 0 && stream.frameCount >= stream.declaredFrames;
}

void signalRange(const MpegStream& stream, size_t decodedFrames, size_t& first, size_t& count) {
    first = 0;
    count = decodedFrames;
    if (!stream.gapless) return;
    const size_t encoded = stream.frameCount * stream.samplesPerFrame;
    const size_t cut = size_t(stream.encoderDelay) + stream.padding;
    const size_t lead = size_t(stream.encoderDelay) + DECODER_DELAY;
    if (cut >= encoded || lead >= decodedFrames) return;
    first = lead;
    count = std::min(encoded - cut, decodedFrames - lead);
}

Samples toOutputFormat(const int16_t* pcm, size_t frames, int channels, int sampleRate) {
    auto sampleAt = [&](size_t frame, int channel) -> int32_t {
        return pcm[frame * channels + (channels == 1 ? 0 : channel)];
    };
    Samples out;
    if (frames == 0) return out;
    if (sampleRate == OUTPUT_RATE) {
        out.resize(frames * OUTPUT_CHANNELS);
        for (size_t i = 0; i < frames; ++i)
            for (int c = 0; c < OUTPUT_CHANNELS; ++c) out[i * OUTPUT_CHANNELS + c] = int16_t(sampleAt(i, c));
        return out;
    }
    const size_t outFrames = size_t((unsigned long long)frames * OUTPUT_RATE / sampleRate);
    out.resize(outFrames * OUTPUT_CHANNELS);
    for (size_t i = 0; i < outFrames; ++i) {
        // Source position in 16.16 fixed point.
        const unsigned long long at = ((unsigned long long)i * sampleRate << 16) / OUTPUT_RATE;
        const size_t s = size_t(at >> 16);
        const int32_t frac = int32_t(at & 0xFFFF);
        const size_t t = s + 1 < frames ? s + 1 : s;
        for (int c = 0; c < OUTPUT_CHANNELS; ++c) {
            const int32_t a = sampleAt(s, c), b = sampleAt(t, c);
            out[i * OUTPUT_CHANNELS + c] = int16_t(a + ((int64_t(b - a) * frac) >> 16));
        }
    }
    return out;
}

}  // namespace tessivo
