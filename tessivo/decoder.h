// Loading an MP3 file into the mixer's format with Windows' MPEG Layer-3 codec.
#pragma once

#include "tessivo/mixer.h"

namespace tessivo {

// Files larger than this are refused unread: cues and background tracks are
// a few megabytes at most.
constexpr unsigned long long MAX_FILE_BYTES = 16ull << 20;

// Decoded sounds longer than this are refused (about 100 MB of PCM).
constexpr unsigned long long MAX_DECODED_FRAMES = 10ull * 60 * OUTPUT_RATE;

ErrCode loadMpegFile(const char* path, Samples& samples);

}  // namespace tessivo
