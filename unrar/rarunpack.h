// The decompressor of RAR 2.x-4.x entries: the RAR 2.0 algorithm (LZ and the audio
// predictor, unpack version 20 and 26) and the RAR 2.9 algorithm (LZ with the
// standard filters, and PPMd; unpack version 29 and 36). In a solid archive every
// entry continues the window, tables and models that the previous one left.
#pragma once

#include "unrar/packedinput.h"
#include "unrar/ppmdmodel.h"
#include "unrar/rarbits.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// Where unpacked data goes; a non-zero answer (an ERAR_ code) stops unpacking.
class UnpackSink {
public:
    virtual ~UnpackSink() = default;
    virtual int write(const unsigned char* data, size_t size) = 0;
};

class RarUnpacker {
public:
    RarUnpacker();
    ~RarUnpacker();
    RarUnpacker(const RarUnpacker&) = delete;
    RarUnpacker& operator=(const RarUnpacker&) = delete;

    // Whether entries packed by this unpack version can be decoded.
    static bool supports(unsigned version);

    // Unpacks one entry of `size` bytes into `sink`. `solid` continues the previous
    // entry's state; otherwise it starts afresh. Returns ERAR_SUCCESS, the sink's code,
    // ERAR_BAD_DATA for a damaged stream, ERAR_EOPEN for a missing volume,
    // ERAR_UNKNOWN_FORMAT for what this decoder does not know, or ERAR_NO_MEMORY.
    // After a failure the solid state is lost: a later solid entry fails too.
    int unpack(unsigned version, bool solid, PackedInput& input, uint64_t size, UnpackSink& sink);
    // An entry of the solid chain was passed over undecoded: the state is lost.
    void invalidate();

private:
    struct Filter {
        int type = 0;
        uint64_t start = 0;
        uint32_t length = 0;
        uint32_t registers[7] = {};
    };

    void resetState();
    int flush();
    int runFilter(const Filter& filter, uint32_t& outAddress);
    void copyString(uint32_t length, uint32_t distance);

    // RAR 2.9
    int unpack29(BitInput& in);
    int readTables29(BitInput& in);
    int readFilter(BitInput& in, bool fromPpmd);
    int parseFilter(const std::vector<unsigned char>& code, unsigned flags);
    int decodePpmdByte(BitInput& in);
    // RAR 2.0
    int unpack20(BitInput& in);
    bool readTables20(BitInput& in);
    unsigned char decodeAudio(int delta);

    struct FreeMemory {
        void operator()(unsigned char* p) const { free(p); }
    };
    std::unique_ptr<unsigned char, FreeMemory> window_;
    uint64_t mask_ = 0;
    uint64_t pos_ = 0;      // bytes decoded into the window so far
    uint64_t written_ = 0;  // bytes handed on (or passed over) so far
    uint64_t fileStart_ = 0;
    uint64_t fileEnd_ = 0;
    UnpackSink* sink_ = nullptr;
    bool stateValid_ = false;

    uint32_t oldDist_[4] = {};
    unsigned oldDistPtr_ = 0;
    uint32_t lastDist_ = 0;
    uint32_t lastLength_ = 0;

    // RAR 2.9 state
    HuffmanTable ld_, dd_, ldd_, rd_, bd_;
    unsigned char oldTable_[404] = {};
    bool tablesRead_ = false;
    bool ppmdBlock_ = false;
    int ppmdEscape_ = 2;
    uint32_t prevLowDist_ = 0;
    unsigned lowDistRepeats_ = 0;
    struct Program {
        int type = 0;
        uint32_t oldLength = 0;
        uint32_t usage = 0;
    };
    std::vector<Program> programs_;
    size_t lastProgram_ = 0;
    std::vector<Filter> filters_;
    std::unique_ptr<unsigned char[]> vmMemory_;
    std::unique_ptr<PpmdModel> ppmd_;

    // RAR 2.0 state
    HuffmanTable md_[4];
    unsigned char oldTable20_[257 * 4] = {};
    bool tablesRead20_ = false;
    bool audioBlock_ = false;
    unsigned channels_ = 1;
    unsigned currentChannel_ = 0;
    int channelDelta_ = 0;
    struct AudioState {
        int k[5] = {};
        int d[4] = {};
        int lastDelta = 0;
        unsigned dif[11] = {};
        unsigned byteCount = 0;
        int lastChar = 0;
    };
    AudioState audio_[4];
};
