// ResStringTable: the keyed text file "Media\strings.txt" that both programs
// read once at start-up and then look texts up in by key.
//
// File format: one entry a line. The key runs from the line's start to the first
// space, tab, CR or LF; one run of those separators follows; the rest of the line,
// without its trailing CR and LF characters, is the value (trailing blanks stay).
// A line is read into a 2,048-byte buffer, so a longer line is read as several.
// There are no comments, sections, quotes or escapes; a later duplicate key wins.
//
// Every key and value lives in one static 16,384-byte pool that is never freed,
// so the texts that `text` returns stay valid for the whole run. A text that no
// longer fits becomes the shared empty text.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

// A handle to a NUL-terminated text in the pool. Every construction from a text
// or another handle stores a fresh copy in the pool, and nothing is ever given
// back. A new text that does not fit becomes the shared empty text; a copy of a
// handle that does not fit shares its source's characters, so a full pool never
// loses a value that was stored.
class PooledString {
public:
    PooledString();
    PooledString(const char* text);  // NOLINT: converting on purpose, like a string
    PooledString(const PooledString& other);
    PooledString& operator=(const char* text);
    PooledString& operator=(const PooledString& other);
    ~PooledString() = default;

    const char* c_str() const { return str; }

private:
    const char* str;
};

class ResStringTable {
public:
    static constexpr int32_t POOL_SIZE = 16384;
    static constexpr int LINE_BUFFER = 2048;

    // Reads the file; false only when it cannot be opened. A second call starts
    // over with an empty pool, which invalidates the texts of the first.
    bool load(const char* path);

    // The value of the key, or the shared empty text; never null.
    const char* text(const char* key) const;

    // The value read as a decimal integer, like atoi (0 when absent or not a
    // number); values beyond the int range saturate.
    int number(const char* key) const;

    // Bytes of the pool in use, counting its shared empty text.
    static int32_t poolUsed();
    // Bytes the texts of the last load asked of the pool, also those that did not
    // fit. Above POOL_SIZE the file did not fit, and then it is a lower bound of
    // what the file would need (a text that was lost costs nothing when copied).
    static int64_t poolDemand();

private:
    struct KeyLess {
        bool operator()(const char* a, const char* b) const;
    };
    std::map<const char*, int32_t, KeyLess> index;
    std::vector<PooledString> values;
};

// The string table of the running program.
extern ResStringTable stringTable;

// Reads a text as atoi does (leading blanks, optional sign, digits), saturating
// at the int range instead of overflowing.
int parseNumber(const char* text);
