// Reads an MP3 file, decodes its frames through the ACM MPEG Layer-3 codec and
// converts the result for the mixer.
#include "tessivo/decoder.h"

#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "tessivo/mpegaudio.h"

namespace tessivo {
namespace {

ErrCode readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ERR_UNREADABLE_FILE;
    LARGE_INTEGER size;
    ErrCode result = ERR_OK;
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0) {
        result = ERR_BAD_MPEG;
    } else if (static_cast<unsigned long long>(size.QuadPart) > MAX_FILE_BYTES) {
        result = ERR_TOO_LARGE;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) {
            result = ERR_UNREADABLE_FILE;
        } else {
            bytes.resize(got);  // a file that shrank while we read is simply shorter
        }
    }
    CloseHandle(file);
    return result;
}

// An open ACM conversion stream that closes itself.
class AcmStream {
public:
    ~AcmStream() {
        if (handle) acmStreamClose(handle, 0);
    }
    HACMSTREAM handle = nullptr;
};

// Decodes every frame into interleaved 16-bit PCM of the stream's layout.
ErrCode decodeFrames(const MpegStream& stream, std::vector<int16_t>& pcm) {
    MPEGLAYER3WAVEFORMAT mp3 = {};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = static_cast<WORD>(stream.channels);
    mp3.wfx.nSamplesPerSec = static_cast<DWORD>(stream.sampleRate);
    mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(stream.bitRate / 8);
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.wBitsPerSample = 0;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    mp3.nBlockSize = static_cast<WORD>(stream.firstFrameBytes);
    mp3.nFramesPerBlock = 1;
    mp3.nCodecDelay = 0;

    WAVEFORMATEX out = {};
    out.wFormatTag = WAVE_FORMAT_PCM;
    out.nChannels = static_cast<WORD>(stream.channels);
    out.nSamplesPerSec = static_cast<DWORD>(stream.sampleRate);
    out.wBitsPerSample = 16;
    out.nBlockAlign = static_cast<WORD>(out.nChannels * 2);
    out.nAvgBytesPerSec = out.nSamplesPerSec * out.nBlockAlign;

    AcmStream acm;
    if (acmStreamOpen(&acm.handle, nullptr, &mp3.wfx, &out, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
        return ERR_DECODER;

    // Every frame decodes to samplesPerFrame frames; room for one extra frame
    // covers what a codec holds back until the end.
    const size_t expected = (stream.frameCount + 1) * stream.samplesPerFrame * stream.channels;
    pcm.clear();
    pcm.reserve(expected);

    // The codec may hold decoded audio back when the output buffer fills or
    // the data ends, so after the last byte it is asked again until it has
    // nothing more to give.
    const DWORD chunkBytes = 64 * 1024;
    const DWORD dstBytes = 1024 * 1024;
    std::vector<BYTE> src(chunkBytes);
    std::vector<BYTE> dst(dstBytes);
    size_t fed = 0;     // bytes of stream.frames handed to the codec
    DWORD pending = 0;  // bytes left over in src from the last call
    DWORD flags = ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_BLOCKALIGN;
    for (;;) {
        const size_t take = std::min<size_t>(chunkBytes - pending, stream.frames.size() - fed);
        std::memcpy(src.data() + pending, stream.frames.data() + fed, take);
        fed += take;
        const DWORD srcBytes = pending + static_cast<DWORD>(take);
        const bool last = fed == stream.frames.size();
        if (last) flags = (flags & ~ACM_STREAMCONVERTF_BLOCKALIGN) | ACM_STREAMCONVERTF_END;

        ACMSTREAMHEADER header = {};
        header.cbStruct = sizeof(header);
        header.pbSrc = src.data();
        header.cbSrcLength = srcBytes;
        header.pbDst = dst.data();
        header.cbDstLength = dstBytes;
        if (acmStreamPrepareHeader(acm.handle, &header, 0) != 0) return ERR_DECODER;
        const MMRESULT converted = acmStreamConvert(acm.handle, &header, flags);
        acmStreamUnprepareHeader(acm.handle, &header, 0);
        if (converted != 0) return ERR_DECODER;
        flags &= ~ACM_STREAMCONVERTF_START;

        const size_t produced = std::min(header.cbDstLengthUsed, dstBytes) / sizeof(int16_t);
        if (pcm.size() + produced > expected) return ERR_DECODER;  // a codec gone astray
        const int16_t* samples = reinterpret_cast<const int16_t*>(dst.data());
        pcm.insert(pcm.end(), samples, samples + produced);

        const DWORD used = std::min(header.cbSrcLengthUsed, srcBytes);
        pending = srcBytes - used;
        std::memmove(src.data(), src.data() + used, pending);
        if (produced == 0 && used == 0 && (last || take == 0)) break;
    }
    return ERR_OK;
}

}  // namespace

ErrCode loadMpegFile(const char* path, Samples& samples) {
    std::vector<uint8_t> bytes;
    const ErrCode read = readWholeFile(path, bytes);
    if (read != ERR_OK) return read;

    MpegStream stream;
    if (!parseMpegStream(bytes.data(), bytes.size(), stream)) return ERR_BAD_MPEG;
    bytes = std::vector<uint8_t>();
    const unsigned long long outputFrames =
        (unsigned long long)stream.frameCount * stream.samplesPerFrame * OUTPUT_RATE / stream.sampleRate;
    if (outputFrames > MAX_DECODED_FRAMES) return ERR_TOO_LARGE;

    std::vector<int16_t> pcm;
    const ErrCode decoded = decodeFrames(stream, pcm);
    if (decoded != ERR_OK) return decoded;

    size_t first = 0, count = 0;
    signalRange(stream, pcm.size() / stream.channels, first, count);
    if (count == 0) return ERR_BAD_MPEG;
    samples = toOutputFormat(pcm.data() + first * stream.channels, count, stream.channels, stream.sampleRate);
    return ERR_OK;
}

}  // namespace tessivo
