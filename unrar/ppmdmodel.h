// PPMd variant H, the context-modelling coder of RAR 2.9 text blocks, with RAR's range
// decoder. The model lives in one arena of the size the block header asks for (up to
// 256 MB); nodes refer to each other by 32-bit offsets into it.
#pragma once

#include "unrar/rarbits.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class PpmdModel {
public:
    PpmdModel();
    ~PpmdModel();
    PpmdModel(const PpmdModel&) = delete;
    PpmdModel& operator=(const PpmdModel&) = delete;

    // Reads a PPMd block header (restarting or continuing the model) and starts the
    // range decoder; `escape` is the block's escape character. An ERAR_ code.
    int decodeInit(BitInput& in, int& escape);
    // The next byte, or -1 for damaged data.
    int decodeChar(BitInput& in);

private:
    struct State;
    struct Context;
    struct See {
        uint16_t summ;
        uint8_t shift;
        uint8_t count;
    };

    // Arena
    bool allocate(uint32_t size);
    uint8_t* ptr(uint32_t ref) const { return base_ + ref; }
    uint32_t ref(const void* p) const { return static_cast<uint32_t>(static_cast<const uint8_t*>(p) - base_); }
    Context* ctx(uint32_t ref) const { return reinterpret_cast<Context*>(base_ + ref); }
    State* stats(const Context* c) const;
    State* oneState(Context* c) const;
    Context* suffix(const Context* c) const;
    void insertNode(void* node, unsigned index);
    void* removeNode(unsigned index);
    void splitBlock(void* block, unsigned oldIndex, unsigned newIndex);
    void glueFreeBlocks();
    void* allocUnitsRare(unsigned index);
    void* allocUnits(unsigned index);
    void* shrinkUnits(void* oldBlock, unsigned oldUnits, unsigned newUnits);

    // Model
    void restartModel();
    Context* createSuccessors(bool skip);
    void updateModel();
    void rescale();
    See* makeEscFreq(unsigned numMasked, uint32_t& escFreq);
    void nextContext();
    void update1();
    void update1_0();
    void updateBin();
    void update2();
    bool validContext(const Context* c) const;

    // Range decoder
    void rangeInit(BitInput& in);
    uint32_t threshold(uint32_t total) { return (code_ - low_) / (range_ /= total); }
    void rangeDecode(BitInput& in, uint32_t start, uint32_t size);

    std::unique_ptr<uint8_t[]> memory_;
    uint8_t* base_ = nullptr;
    uint32_t size_ = 0;
    uint32_t alignOffset_ = 0;
    uint8_t* loUnit_ = nullptr;
    uint8_t* hiUnit_ = nullptr;
    uint8_t* text_ = nullptr;
    uint8_t* unitsStart_ = nullptr;
    uint32_t glueCount_ = 0;
    uint32_t freeList_[38] = {};
    uint8_t indexToUnits_[38] = {};
    uint8_t unitsToIndex_[128] = {};
    uint8_t ns2Index_[256] = {};
    uint8_t ns2BsIndex_[256] = {};
    uint8_t hb2Flag_[256] = {};

    Context* minContext_ = nullptr;
    Context* maxContext_ = nullptr;
    State* foundState_ = nullptr;
    unsigned orderFall_ = 0;
    unsigned initEsc_ = 0;
    unsigned prevSuccess_ = 0;
    unsigned maxOrder_ = 0;
    unsigned hiBitsFlag_ = 0;
    int32_t runLength_ = 0;
    int32_t initRl_ = 0;
    See dummySee_ = {};
    See see_[25][16] = {};
    uint16_t binSumm_[128][64] = {};

    uint32_t low_ = 0;
    uint32_t code_ = 0;
    uint32_t range_ = 0;
};
