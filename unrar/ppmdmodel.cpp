// PPMd variant H as RAR 2.9 uses it; see ppmdmodel.h.
//
// Sections: the arena of 12-byte units and its free lists; the model (restart,
// successors, update, rescale, escape estimation); the range decoder and decodeChar.
#include "unrar/ppmdmodel.h"

#include "unrar/unrar.h"

#include <cstring>
#include <new>

namespace {

constexpr unsigned UnitSize = 12;
constexpr unsigned NumIndexes = 38;
constexpr unsigned MaxOrderLimit = 64;
constexpr unsigned MaxFreq = 124;
constexpr unsigned IntBits = 7;
constexpr unsigned PeriodBits = 7;
constexpr unsigned BinScale = 1 << (IntBits + PeriodBits);
constexpr uint32_t TopValue = 1u << 24;
constexpr uint32_t BotValue = 1u << 15;

const uint16_t InitBinEsc[8] = {0x3CDD, 0x1F3F, 0x59BF, 0x48F3, 0x64A1, 0x5ABC, 0x6632, 0x6051};
const uint8_t ExpEscape[16] = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};

unsigned getMean(unsigned prob) { return (prob + (1 << (PeriodBits - 2))) >> PeriodBits; }

}  // namespace

struct PpmdModel::State {
    uint8_t symbol;
    uint8_t freq;
    uint16_t successorLow;
    uint16_t successorHigh;
    uint32_t successor() const { return successorLow | static_cast<uint32_t>(successorHigh) << 16; }
    void setSuccessor(uint32_t v) {
        successorLow = static_cast<uint16_t>(v);
        successorHigh = static_cast<uint16_t>(v >> 16);
    }
};

struct PpmdModel::Context {
    uint16_t numStats;
    uint16_t summFreq;
    uint32_t stats;
    uint32_t suffix;
};

// A free block while the free lists are glued together.
struct PpmdNode {
    uint16_t stamp;
    uint16_t nu;
    uint32_t next;
    uint32_t prev;
};

static_assert(sizeof(PpmdNode) == UnitSize, "a node is one unit");

PpmdModel::PpmdModel() {
    static_assert(sizeof(State) == 6 && sizeof(Context) == UnitSize, "PPMd records");
    for (unsigned i = 0, k = 0; i < NumIndexes; ++i) {
        unsigned step = i >= 12 ? 4 : (i >> 2) + 1;
        do {
            unitsToIndex_[k++] = static_cast<uint8_t>(i);
        } while (--step);
        indexToUnits_[i] = static_cast<uint8_t>(k);
    }
    ns2BsIndex_[0] = 0 << 1;
    ns2BsIndex_[1] = 1 << 1;
    memset(ns2BsIndex_ + 2, 2 << 1, 9);
    memset(ns2BsIndex_ + 11, 3 << 1, 256 - 11);
    unsigned i = 0;
    for (; i < 3; ++i) ns2Index_[i] = static_cast<uint8_t>(i);
    for (unsigned m = i, k = 1; i < 256; ++i) {
        ns2Index_[i] = static_cast<uint8_t>(m);
        if (--k == 0) k = (++m) - 2;
    }
    memset(hb2Flag_, 0, 0x40);
    memset(hb2Flag_ + 0x40, 8, 0x100 - 0x40);
}

PpmdModel::~PpmdModel() = default;

// ---- The arena -----------------------------------------------------------------------------

bool PpmdModel::allocate(uint32_t size) {
    if (memory_ && size_ == size) return true;
    memory_.reset();
    alignOffset_ = 4 - (size & 3);
    memory_.reset(new (std::nothrow) uint8_t[alignOffset_ + size + UnitSize]);
    if (!memory_) return false;
    base_ = memory_.get();
    size_ = size;
    return true;
}

PpmdModel::State* PpmdModel::stats(const Context* c) const { return reinterpret_cast<State*>(base_ + c->stats); }
PpmdModel::State* PpmdModel::oneState(Context* c) const {
    return reinterpret_cast<State*>(reinterpret_cast<uint8_t*>(c) + 2);
}
PpmdModel::Context* PpmdModel::suffix(const Context* c) const { return ctx(c->suffix); }

void PpmdModel::insertNode(void* node, unsigned index) {
    *static_cast<uint32_t*>(node) = freeList_[index];
    freeList_[index] = ref(node);
}

void* PpmdModel::removeNode(unsigned index) {
    uint32_t* node = reinterpret_cast<uint32_t*>(base_ + freeList_[index]);
    freeList_[index] = *node;
    return node;
}

void PpmdModel::splitBlock(void* block, unsigned oldIndex, unsigned newIndex) {
    unsigned nu = indexToUnits_[oldIndex] - indexToUnits_[newIndex];
    uint8_t* p = static_cast<uint8_t*>(block) + indexToUnits_[newIndex] * UnitSize;
    unsigned i = unitsToIndex_[nu - 1];
    if (indexToUnits_[i] != nu) {
        unsigned k = indexToUnits_[--i];
        insertNode(p + k * UnitSize, nu - k - 1);
    }
    insertNode(p, i);
}

void PpmdModel::glueFreeBlocks() {
    uint32_t head = alignOffset_ + size_;
    uint32_t n = head;
    auto node = [this](uint32_t r) { return reinterpret_cast<PpmdNode*>(base_ + r); };
    glueCount_ = 255;
    // A doubly linked list of every free block.
    for (unsigned i = 0; i < NumIndexes; ++i) {
        uint16_t nu = indexToUnits_[i];
        uint32_t next = freeList_[i];
        freeList_[i] = 0;
        while (next != 0) {
            PpmdNode* nd = node(next);
            nd->next = n;
            node(n)->prev = next;
            n = next;
            next = *reinterpret_cast<const uint32_t*>(nd);
            nd->stamp = 0;
            nd->nu = nu;
        }
    }
    node(head)->stamp = 1;
    node(head)->next = n;
    node(n)->prev = head;
    if (loUnit_ != hiUnit_) reinterpret_cast<PpmdNode*>(loUnit_)->stamp = 1;
    // Neighbours merge.
    while (n != head) {
        PpmdNode* nd = node(n);
        uint32_t nu = nd->nu;
        for (;;) {
            PpmdNode* nd2 = nd + nu;
            nu += nd2->nu;
            if (nd2->stamp != 0 || nu >= 0x10000) break;
            node(nd2->prev)->next = nd2->next;
            node(nd2->next)->prev = nd2->prev;
            nd->nu = static_cast<uint16_t>(nu);
        }
        n = nd->next;
    }
    // Back into the free lists by size.
    for (n = node(head)->next; n != head;) {
        PpmdNode* nd = node(n);
        uint32_t next = nd->next;
        unsigned nu = nd->nu;
        for (; nu > 128; nu -= 128, nd += 128) insertNode(nd, NumIndexes - 1);
        unsigned i = unitsToIndex_[nu - 1];
        if (indexToUnits_[i] != nu) {
            unsigned k = indexToUnits_[--i];
            insertNode(nd + k, nu - k - 1);
        }
        insertNode(nd, i);
        n = next;
    }
}

void* PpmdModel::allocUnitsRare(unsigned index) {
    if (glueCount_ == 0) {
        glueFreeBlocks();
        if (freeList_[index] != 0) return removeNode(index);
    }
    unsigned i = index;
    do {
        if (++i == NumIndexes) {
            uint32_t numBytes = indexToUnits_[index] * UnitSize;
            --glueCount_;
            if (static_cast<uint32_t>(unitsStart_ - text_) > numBytes) return unitsStart_ -= numBytes;
            return nullptr;
        }
    } while (freeList_[i] == 0);
    void* block = removeNode(i);
    splitBlock(block, i, index);
    return block;
}

void* PpmdModel::allocUnits(unsigned index) {
    if (freeList_[index] != 0) return removeNode(index);
    uint32_t numBytes = indexToUnits_[index] * UnitSize;
    if (numBytes <= static_cast<uint32_t>(hiUnit_ - loUnit_)) {
        void* block = loUnit_;
        loUnit_ += numBytes;
        return block;
    }
    return allocUnitsRare(index);
}

void* PpmdModel::shrinkUnits(void* oldBlock, unsigned oldUnits, unsigned newUnits) {
    unsigned i0 = unitsToIndex_[oldUnits - 1];
    unsigned i1 = unitsToIndex_[newUnits - 1];
    if (i0 == i1) return oldBlock;
    if (freeList_[i1] != 0) {
        void* block = removeNode(i1);
        memcpy(block, oldBlock, newUnits * UnitSize);
        insertNode(oldBlock, i0);
        return block;
    }
    splitBlock(oldBlock, i0, i1);
    return oldBlock;
}

// ---- The model -------------------------------------------------------------------------------

void PpmdModel::restartModel() {
    memset(freeList_, 0, sizeof freeList_);
    text_ = base_ + alignOffset_;
    hiUnit_ = text_ + size_;
    loUnit_ = unitsStart_ = hiUnit_ - size_ / 8 / UnitSize * 7 * UnitSize;
    glueCount_ = 0;
    orderFall_ = maxOrder_;
    runLength_ = initRl_ = -static_cast<int32_t>(maxOrder_ < 12 ? maxOrder_ : 12) - 1;
    prevSuccess_ = 0;
    hiUnit_ -= UnitSize;
    minContext_ = maxContext_ = reinterpret_cast<Context*>(hiUnit_);
    minContext_->suffix = 0;
    minContext_->numStats = 256;
    minContext_->summFreq = 256 + 1;
    foundState_ = reinterpret_cast<State*>(loUnit_);
    loUnit_ += (256 / 2) * UnitSize;
    minContext_->stats = ref(foundState_);
    for (unsigned i = 0; i < 256; ++i) {
        State* s = &foundState_[i];
        s->symbol = static_cast<uint8_t>(i);
        s->freq = 1;
        s->setSuccessor(0);
    }
    for (unsigned i = 0; i < 128; ++i)
        for (unsigned k = 0; k < 8; ++k)
            for (unsigned m = 0; m < 64; m += 8)
                binSumm_[i][k + m] = static_cast<uint16_t>(BinScale - InitBinEsc[k] / (i + 2));
    for (unsigned i = 0; i < 25; ++i)
        for (unsigned k = 0; k < 16; ++k) {
            See& s = see_[i][k];
            s.shift = PeriodBits - 4;
            s.summ = static_cast<uint16_t>((5 * i + 10) << s.shift);
            s.count = 4;
        }
}

PpmdModel::Context* PpmdModel::createSuccessors(bool skip) {
    Context* c = minContext_;
    uint32_t upBranch = foundState_->successor();
    State* ps[MaxOrderLimit];
    unsigned numPs = 0;
    if (!skip) ps[numPs++] = foundState_;
    while (c->suffix) {
        c = suffix(c);
        State* s;
        if (c->numStats != 1) {
            for (s = stats(c); s->symbol != foundState_->symbol; ++s) {}
        } else {
            s = oneState(c);
        }
        uint32_t successor = s->successor();
        if (successor != upBranch) {
            c = ctx(successor);
            if (numPs == 0) return c;
            break;
        }
        if (numPs >= MaxOrderLimit) return nullptr;
        ps[numPs++] = s;
    }
    if (upBranch < alignOffset_ || upBranch >= alignOffset_ + size_) return nullptr;
    State upState;
    upState.symbol = *ptr(upBranch);
    upState.setSuccessor(upBranch + 1);
    if (c->numStats == 1) {
        upState.freq = oneState(c)->freq;
    } else {
        State* s;
        for (s = stats(c); s->symbol != upState.symbol; ++s) {}
        uint32_t cf = s->freq - 1u;
        uint32_t s0 = c->summFreq - c->numStats - cf;
        upState.freq = static_cast<uint8_t>(1 + (2 * cf <= s0 ? (5 * cf > s0) : (2 * cf + 3 * s0 - 1) / (2 * s0)));
    }
    do {
        Context* c1;
        if (hiUnit_ != loUnit_) {
            hiUnit_ -= UnitSize;
            c1 = reinterpret_cast<Context*>(hiUnit_);
        } else if (freeList_[0] != 0) {
            c1 = static_cast<Context*>(removeNode(0));
        } else {
            c1 = static_cast<Context*>(allocUnitsRare(0));
            if (!c1) return nullptr;
        }
        c1->numStats = 1;
        *oneState(c1) = upState;
        c1->suffix = ref(c);
        ps[--numPs]->setSuccessor(ref(c1));
        c = c1;
    } while (numPs != 0);
    return c;
}

void PpmdModel::updateModel() {
    uint32_t fSuccessor = foundState_->successor();
    if (foundState_->freq < MaxFreq / 4 && minContext_->suffix != 0) {
        Context* c = suffix(minContext_);
        if (c->numStats == 1) {
            State* s = oneState(c);
            if (s->freq < 32) ++s->freq;
        } else {
            State* s = stats(c);
            if (s->symbol != foundState_->symbol) {
                do {
                    ++s;
                } while (s->symbol != foundState_->symbol);
                if (s[0].freq >= s[-1].freq) {
                    State t = s[0];
                    s[0] = s[-1];
                    s[-1] = t;
                    --s;
                }
            }
            if (s->freq < MaxFreq - 9) {
                s->freq += 2;
                c->summFreq += 2;
            }
        }
    }
    if (orderFall_ == 0) {
        minContext_ = maxContext_ = createSuccessors(true);
        if (!minContext_) {
            restartModel();
            return;
        }
        foundState_->setSuccessor(ref(minContext_));
        return;
    }
    *text_++ = foundState_->symbol;
    uint32_t successor = ref(text_);
    if (text_ >= unitsStart_) {
        restartModel();
        return;
    }
    if (fSuccessor) {
        if (fSuccessor <= successor) {
            Context* cs = createSuccessors(false);
            if (!cs) {
                restartModel();
                return;
            }
            fSuccessor = ref(cs);
        }
        if (--orderFall_ == 0) {
            successor = fSuccessor;
            text_ -= (maxContext_ != minContext_);
        }
    } else {
        foundState_->setSuccessor(successor);
        fSuccessor = ref(minContext_);
    }
    unsigned ns = minContext_->numStats;
    uint32_t s0 = minContext_->summFreq - ns - (foundState_->freq - 1u);
    for (Context* c = maxContext_; c != minContext_; c = suffix(c)) {
        unsigned ns1 = c->numStats;
        if (ns1 != 1) {
            if ((ns1 & 1) == 0) {
                unsigned oldNu = ns1 >> 1;
                unsigned i = unitsToIndex_[oldNu - 1];
                if (i != unitsToIndex_[oldNu]) {
                    void* block = allocUnits(i + 1);
                    if (!block) {
                        restartModel();
                        return;
                    }
                    void* old = stats(c);
                    memcpy(block, old, oldNu * UnitSize);
                    insertNode(old, i);
                    c->stats = ref(block);
                }
            }
            c->summFreq =
                static_cast<uint16_t>(c->summFreq + (2 * ns1 < ns) + 2 * ((4 * ns1 <= ns) & (c->summFreq <= 8 * ns1)));
        } else {
            State* s = static_cast<State*>(allocUnits(0));
            if (!s) {
                restartModel();
                return;
            }
            *s = *oneState(c);
            c->stats = ref(s);
            if (s->freq < MaxFreq / 4 - 1)
                s->freq = static_cast<uint8_t>(s->freq << 1);
            else
                s->freq = MaxFreq - 4;
            c->summFreq = static_cast<uint16_t>(s->freq + initEsc_ + (ns > 3));
        }
        uint32_t cf = 2 * static_cast<uint32_t>(foundState_->freq) * (c->summFreq + 6);
        uint32_t sf = s0 + c->summFreq;
        if (cf < 6 * sf) {
            cf = 1 + (cf > sf) + (cf >= 4 * sf);
            c->summFreq += 3;
        } else {
            cf = 4 + (cf >= 9 * sf) + (cf >= 12 * sf) + (cf >= 15 * sf);
            c->summFreq = static_cast<uint16_t>(c->summFreq + cf);
        }
        State* s = stats(c) + ns1;
        s->setSuccessor(successor);
        s->symbol = foundState_->symbol;
        s->freq = static_cast<uint8_t>(cf);
        c->numStats = static_cast<uint16_t>(ns1 + 1);
    }
    maxContext_ = minContext_ = ctx(fSuccessor);
}

void PpmdModel::rescale() {
    State* st = stats(minContext_);
    State* s = foundState_;
    {
        State tmp = *s;
        for (; s != st; --s) s[0] = s[-1];
        *s = tmp;
    }
    uint32_t escFreq = minContext_->summFreq - s->freq;
    s->freq += 4;
    unsigned adder = orderFall_ != 0;
    s->freq = static_cast<uint8_t>((s->freq + adder) >> 1);
    uint32_t sumFreq = s->freq;
    unsigned i = minContext_->numStats - 1u;
    do {
        escFreq -= (++s)->freq;
        s->freq = static_cast<uint8_t>((s->freq + adder) >> 1);
        sumFreq += s->freq;
        if (s[0].freq > s[-1].freq) {
            State* s1 = s;
            State tmp = *s1;
            do {
                s1[0] = s1[-1];
            } while (--s1 != st && tmp.freq > s1[-1].freq);
            *s1 = tmp;
        }
    } while (--i);
    if (s->freq == 0) {
        unsigned numStats = minContext_->numStats;
        do {
            ++i;
        } while ((--s)->freq == 0);
        escFreq += i;
        minContext_->numStats = static_cast<uint16_t>(minContext_->numStats - i);
        if (minContext_->numStats == 1) {
            State tmp = *st;
            do {
                tmp.freq = static_cast<uint8_t>(tmp.freq - (tmp.freq >> 1));
                escFreq >>= 1;
            } while (escFreq > 1);
            insertNode(st, unitsToIndex_[((numStats + 1) >> 1) - 1]);
            *(foundState_ = oneState(minContext_)) = tmp;
            return;
        }
        unsigned n0 = (numStats + 1) >> 1;
        unsigned n1 = (minContext_->numStats + 1u) >> 1;
        if (n0 != n1) minContext_->stats = ref(shrinkUnits(st, n0, n1));
    }
    minContext_->summFreq = static_cast<uint16_t>(sumFreq + escFreq - (escFreq >> 1));
    foundState_ = stats(minContext_);
}

PpmdModel::See* PpmdModel::makeEscFreq(unsigned numMasked, uint32_t& escFreq) {
    unsigned nonMasked = minContext_->numStats - numMasked;
    if (minContext_->numStats != 256) {
        See* see = see_[ns2Index_[nonMasked - 1]] +
                   (nonMasked < static_cast<unsigned>(suffix(minContext_)->numStats) - minContext_->numStats) +
                   2 * (minContext_->summFreq < 11 * minContext_->numStats) + 4 * (numMasked > nonMasked) + hiBitsFlag_;
        unsigned r = see->summ >> see->shift;
        see->summ = static_cast<uint16_t>(see->summ - r);
        escFreq = r + (r == 0);
        return see;
    }
    escFreq = 1;
    return &dummySee_;
}

void PpmdModel::nextContext() {
    Context* c = ctx(foundState_->successor());
    if (orderFall_ == 0 && reinterpret_cast<uint8_t*>(c) > text_)
        minContext_ = maxContext_ = c;
    else
        updateModel();
}

void PpmdModel::update1() {
    State* s = foundState_;
    s->freq += 4;
    minContext_->summFreq += 4;
    if (s[0].freq > s[-1].freq) {
        State t = s[0];
        s[0] = s[-1];
        s[-1] = t;
        foundState_ = --s;
        if (s->freq > MaxFreq) rescale();
    }
    nextContext();
}

void PpmdModel::update1_0() {
    prevSuccess_ = 2 * foundState_->freq > minContext_->summFreq;
    runLength_ += static_cast<int32_t>(prevSuccess_);
    minContext_->summFreq += 4;
    if ((foundState_->freq += 4) > MaxFreq) rescale();
    nextContext();
}

void PpmdModel::updateBin() {
    foundState_->freq = static_cast<uint8_t>(foundState_->freq + (foundState_->freq < 128 ? 1 : 0));
    prevSuccess_ = 1;
    ++runLength_;
    nextContext();
}

void PpmdModel::update2() {
    State* s = foundState_;
    s->freq += 4;
    minContext_->summFreq += 4;
    if (s->freq > MaxFreq) rescale();
    runLength_ = initRl_;
    updateModel();
}

bool PpmdModel::validContext(const Context* c) const {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(c);
    if (p <= text_ || p + UnitSize > base_ + alignOffset_ + size_) return false;
    if (c->numStats == 1) return true;
    if (c->numStats == 0 || c->numStats > 256) return false;
    return c->stats >= alignOffset_ && c->stats + c->numStats * 6u <= alignOffset_ + size_;
}

// ---- Range decoder and symbols ---------------------------------------------------------------

void PpmdModel::rangeInit(BitInput& in) {
    code_ = 0;
    low_ = 0;
    range_ = 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | in.read(8);
}

void PpmdModel::rangeDecode(BitInput& in, uint32_t start, uint32_t size) {
    low_ += start * range_;
    range_ *= size;
    for (;;) {
        if ((low_ ^ (low_ + range_)) >= TopValue) {
            if (range_ >= BotValue) break;
            range_ = (0u - low_) & (BotValue - 1);
        }
        code_ = (code_ << 8) | in.read(8);
        range_ <<= 8;
        low_ <<= 8;
    }
}

int PpmdModel::decodeInit(BitInput& in, int& escape) {
    unsigned maxOrder = in.read(8);
    bool reset = (maxOrder & 0x20) != 0;
    unsigned maxMb = 0;
    if (reset)
        maxMb = in.read(8);
    else if (!memory_)
        return ERAR_BAD_DATA;
    if (maxOrder & 0x40) escape = static_cast<int>(in.read(8));
    rangeInit(in);
    if (in.overrun()) return ERAR_BAD_DATA;
    if (reset) {
        maxOrder = (maxOrder & 0x1F) + 1;
        if (maxOrder > 16) maxOrder = 16 + (maxOrder - 16) * 3;
        if (maxOrder == 1) return ERAR_BAD_DATA;
        if (!allocate((maxMb + 1) << 20)) return ERAR_NO_MEMORY;
        maxOrder_ = maxOrder;
        restartModel();
        dummySee_.shift = PeriodBits;
        dummySee_.summ = 0;
        dummySee_.count = 64;
    }
    return minContext_ ? ERAR_SUCCESS : ERAR_BAD_DATA;
}

int PpmdModel::decodeChar(BitInput& in) {
    if (!memory_ || !minContext_ || !validContext(minContext_) || in.overrun()) return -1;
    signed char charMask[256];
    if (minContext_->numStats != 1) {
        State* s = stats(minContext_);
        uint32_t count = threshold(minContext_->summFreq);
        uint32_t hiCnt = s->freq;
        if (count < hiCnt) {
            rangeDecode(in, 0, s->freq);
            foundState_ = s;
            uint8_t symbol = s->symbol;
            update1_0();
            return symbol;
        }
        prevSuccess_ = 0;
        unsigned i = minContext_->numStats - 1u;
        do {
            if ((hiCnt += (++s)->freq) > count) {
                rangeDecode(in, hiCnt - s->freq, s->freq);
                foundState_ = s;
                uint8_t symbol = s->symbol;
                update1();
                return symbol;
            }
        } while (--i);
        if (count >= minContext_->summFreq) return -1;
        hiBitsFlag_ = hb2Flag_[foundState_->symbol];
        rangeDecode(in, hiCnt, minContext_->summFreq - hiCnt);
        memset(charMask, -1, sizeof charMask);
        charMask[s->symbol] = 0;
        i = minContext_->numStats - 1u;
        do {
            charMask[(--s)->symbol] = 0;
        } while (--i);
    } else {
        State* one = oneState(minContext_);
        hiBitsFlag_ = hb2Flag_[foundState_->symbol];
        uint16_t* prob =
            &binSumm_[one->freq - 1][prevSuccess_ + ns2BsIndex_[suffix(minContext_)->numStats - 1] + hiBitsFlag_ +
                                     2 * hb2Flag_[one->symbol] + ((runLength_ >> 26) & 0x20)];
        if (threshold(BinScale) < *prob) {
            rangeDecode(in, 0, *prob);
            *prob = static_cast<uint16_t>(*prob + (1 << IntBits) - getMean(*prob));
            foundState_ = one;
            uint8_t symbol = one->symbol;
            updateBin();
            return symbol;
        }
        rangeDecode(in, *prob, BinScale - *prob);
        *prob = static_cast<uint16_t>(*prob - getMean(*prob));
        initEsc_ = ExpEscape[*prob >> 10];
        memset(charMask, -1, sizeof charMask);
        charMask[one->symbol] = 0;
        prevSuccess_ = 0;
    }
    for (;;) {
        State* ps[256];
        unsigned numMasked = minContext_->numStats;
        do {
            ++orderFall_;
            if (!minContext_->suffix) return -1;
            minContext_ = suffix(minContext_);
            if (!validContext(minContext_)) return -1;
        } while (minContext_->numStats == numMasked);
        uint32_t hiCnt = 0;
        State* s = stats(minContext_);
        unsigned i = 0;
        unsigned num = minContext_->numStats - numMasked;
        do {
            int k = charMask[s->symbol];
            hiCnt += s->freq & static_cast<unsigned>(k);
            ps[i] = s++;
            i -= static_cast<unsigned>(k);
        } while (i != num);
        uint32_t freqSum;
        See* see = makeEscFreq(numMasked, freqSum);
        freqSum += hiCnt;
        uint32_t count = threshold(freqSum);
        if (count < hiCnt) {
            State** pps = ps;
            for (hiCnt = 0; (hiCnt += (*pps)->freq) <= count; ++pps) {}
            s = *pps;
            rangeDecode(in, hiCnt - s->freq, s->freq);
            if (see->shift < PeriodBits && --see->count == 0) {
                see->summ = static_cast<uint16_t>(see->summ << 1);
                see->count = static_cast<uint8_t>(3 << see->shift++);
            }
            foundState_ = s;
            uint8_t symbol = s->symbol;
            update2();
            return symbol;
        }
        if (count >= freqSum) return -1;
        rangeDecode(in, hiCnt, freqSum - hiCnt);
        see->summ = static_cast<uint16_t>(see->summ + freqSum);
        do {
            charMask[ps[--i]->symbol] = 0;
        } while (i != 0);
    }
}
