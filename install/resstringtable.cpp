// The string table: its character pool, the line parser and the lookups.
#include "resstringtable.h"

#include <cassert>
#include <climits>
#include <cstdio>
#include <cstring>

ResStringTable stringTable;

namespace {

char pool[ResStringTable::POOL_SIZE];
int32_t poolFill = 1;
int64_t poolAsked = 1;  // what poolFill would be with a pool of any size

const char* emptyText() {
    pool[0] = '\0';
    return pool;
}

bool fitsInPool(size_t n) { return static_cast<size_t>(ResStringTable::POOL_SIZE - poolFill) >= n + 1; }

// Copies a text of length n into the pool (a text that exactly fills the rest
// is accepted); the caller has checked that it fits.
const char* copyIntoPool(const char* text, size_t n) {
    char* dest = pool + poolFill;
    std::memcpy(dest, text, n + 1);
    poolFill += static_cast<int32_t>(n + 1);
    return dest;
}

// A new text: copied into the pool, or the shared empty text when it does not fit.
const char* storeInPool(const char* text) {
    size_t n = std::strlen(text);
    poolAsked += static_cast<int64_t>(n + 1);
    if (!fitsInPool(n)) {
        assert(false && "resstringtable");
        return emptyText();
    }
    return copyIntoPool(text, n);
}

// A copy of a text already in the pool. When the pool is full the copy keeps
// the original's characters (which are never freed) instead of losing them:
// otherwise a full pool would empty every value that the array of values moves
// to larger storage, also values that were stored long before.
const char* copyPooled(const char* pooled) {
    size_t n = std::strlen(pooled);
    poolAsked += static_cast<int64_t>(n + 1);
    return fitsInPool(n) ? copyIntoPool(pooled, n) : pooled;
}

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

PooledString::PooledString() : str(emptyText()) {}
PooledString::PooledString(const char* text) : str(storeInPool(text)) {}
PooledString::PooledString(const PooledString& other) : str(copyPooled(other.str)) {}

PooledString& PooledString::operator=(const char* text) {
    str = storeInPool(text);
    return *this;
}

PooledString& PooledString::operator=(const PooledString& other) {
    if (this != &other) str = copyPooled(other.str);
    return *this;
}

bool ResStringTable::KeyLess::operator()(const char* a, const char* b) const { return std::strcmp(a, b) < 0; }

bool ResStringTable::load(const char* path) {
    FILE* file = std::fopen(path, "rt");
    if (!file) return false;

    // A second load starts over: an empty array (no capacity kept, so the pool
    // is charged as on the first load) and an empty pool.
    index.clear();
    std::vector<PooledString>().swap(values);
    poolFill = 1;
    poolAsked = 1;

    char strBuf[LINE_BUFFER];
    while (std::fgets(strBuf, sizeof strBuf, file)) {
        // A NUL byte read from the file ends the line's text where it stands.
        size_t k = 0;
        while (strBuf[k] != '\0' && !isSeparator(strBuf[k])) ++k;
        char* value = strBuf + k;
        while (*value != '\0' && isSeparator(*value)) ++value;
        strBuf[k] = '\0';

        PooledString strID(strBuf);
        index[strID.c_str()] = static_cast<int32_t>(values.size());

        size_t len = std::strlen(value);
        while (len > 0 && (value[len - 1] == '\n' || value[len - 1] == '\r')) value[--len] = '\0';
        PooledString strTxt(value);
        values.push_back(strTxt);
    }
    std::fclose(file);
    return true;
}

const char* ResStringTable::text(const char* key) const {
    auto it = index.find(key);
    if (it == index.end()) return emptyText();
    return values[static_cast<size_t>(it->second)].c_str();
}

int ResStringTable::number(const char* key) const { return parseNumber(text(key)); }

int32_t ResStringTable::poolUsed() { return poolFill; }

int64_t ResStringTable::poolDemand() { return poolAsked; }

int parseNumber(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    if (n > INT_MAX) n = INT_MAX;
    return static_cast<int>(n);
}
