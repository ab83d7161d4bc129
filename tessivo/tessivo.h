// Tessivo: the small audio engine behind setup's sound cues. MP3 files are
// decoded into memory when they are loaded; one thread mixes every playing
// sound into a single waveOut stream.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessivo {

class Mixer;
class Output;

enum ErrCode : int {
    ERR_OK = 1,
    ERR_INVALID_ARGUMENT = 2,
    ERR_NO_DEVICE = 3,
    ERR_NOT_INITIALISED = 4,
    ERR_UNREADABLE_FILE = 5,
    ERR_BAD_MPEG = 6,
    ERR_TOO_LARGE = 7,
    ERR_DECODER = 8,
};

// Only the waveOut device exists.
enum DeviceType : int { DEVICE_WAVEOUT = 2 };

// Only MPEG audio sounds exist.
enum SoundClass : int { SOUND_MPEG = 5 };

// The description of an MPEG sound. Its layout is fixed (40 bytes, the path
// at offset 4 in a 32-bit build and 8 in a 64-bit one), since callers fill
// it byte by byte as well as by name.
struct MPEGParams {
    static constexpr uint32_t VERSION = 0x201;       // this layout
    static constexpr uint32_t DECODE_IN_MEMORY = 2;  // the only load mode

    uint32_t version;  // VERSION
#if UINTPTR_MAX > 0xFFFFFFFFu
    uint32_t reserved0;
    const char* fileName;  // zero-terminated path
#else
    const char* fileName;
    uint32_t reserved0[2];
#endif
    uint32_t loop;  // 1 = repeat endlessly, 0 = play once
    uint32_t reserved1;
    uint32_t loadMode;  // DECODE_IN_MEMORY
    uint32_t reserved2[3];
};
static_assert(sizeof(MPEGParams) == 40, "tessivo: MPEGParams is 40 bytes");
static_assert(offsetof(MPEGParams, fileName) == (sizeof(void*) == 8 ? 8 : 4),
              "tessivo: the path follows the version word");
static_assert(offsetof(MPEGParams, loop) == 16, "tessivo: loop flag at 16");
static_assert(offsetof(MPEGParams, loadMode) == 24, "tessivo: load mode at 24");

// A loaded sound. Callers may use the operation table directly: entry 0 is
// play, 2 stop and 4 release, each taking the sound as its only argument.
// Every operation may be called from any thread while the mixer runs.
class Sound {
public:
    virtual void play() = 0;  // from the start; restarts a playing sound
    virtual bool isPlaying() = 0;
    virtual void stop() = 0;
    virtual uint32_t position() = 0;  // frames played since the last start
    virtual void release() = 0;       // frees the sound; the pointer dies with it

protected:
    ~Sound() = default;
};

class Tessivo {
public:
    Tessivo();
    ~Tessivo();
    Tessivo(const Tessivo&) = delete;
    Tessivo& operator=(const Tessivo&) = delete;

    // Opens the output device and starts the mixer. Only DEVICE_WAVEOUT at
    // 44100 Hz with no flags is supported.
    ErrCode init(DeviceType device, int sampleRate, int flags);

    // Loads a sound; on success *sound holds it, otherwise it is left alone.
    ErrCode getSoundClass(SoundClass soundClass, const MPEGParams* params, Sound** sound);

private:
    Mixer* mixer;
    Output* output;
};

}  // namespace tessivo
