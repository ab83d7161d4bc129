// Fuzz target: any bytes as an MP3 cue: the frame walk, the gapless range of what a
// decoder would give, and the conversion of PCM to the mixer's format.
#include "support/scratchfolder.h"
#include "tessivo/mpegaudio.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tessivo::MpegStream stream;
    if (!tessivo::parseMpegStream(data, size, stream)) return 0;
    if (stream.channels < 1 || stream.channels > 2 || stream.sampleRate <= 0 || stream.frames.empty() ||
        stream.frames.size() > size)
        fuzzFailure("a parsed stream has an impossible layout");

    // The decoder gives its delay plus every encoded frame's samples.
    const size_t decoded = stream.frameCount * stream.samplesPerFrame + tessivo::DECODER_DELAY;
    size_t first = 0, count = 0;
    tessivo::signalRange(stream, decoded, first, count);
    if (first > decoded || count > decoded - first) fuzzFailure("the signal range leaves the decoded samples");

    // The input's bytes stand in for the decoded PCM of the stream's layout.
    std::vector<int16_t> pcm(size / 2);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(data[2 * i] | data[2 * i + 1] << 8);
    const size_t frames = pcm.size() / static_cast<size_t>(stream.channels);
    (void)tessivo::toOutputFormat(pcm.data(), frames, stream.channels, stream.sampleRate);
    return 0;
}
