// Fuzz target: the string table loads any bytes as "strings.txt", and every key of
// the file and of the catalogue then looks up a text inside the pool.
#include "mediumcatalogue.h"
#include "resstringtable.h"
#include "support/scratchfolder.h"

#include <cstring>
#include <string>

namespace {

// Looks a key up both ways; the text must be a string inside the pool's bounds,
// which AddressSanitizer checks as strlen walks it.
void lookUp(const ResStringTable& table, const char* key) {
    const char* text = table.text(key);
    if (!text) fuzzFailure(std::string("no text for key ") + key);
    volatile size_t length = std::strlen(text);
    (void)length;
    (void)table.number(key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch("resstringtable");
    const std::string path = scratch.write("strings.txt", data, size);
    ResStringTable table;
    if (!table.load(path.c_str())) fuzzFailure("a written file did not open");
    if (ResStringTable::poolUsed() > ResStringTable::POOL_SIZE) fuzzFailure("the pool overflowed");

    // Every line's first word, as the loader would see it as a key.
    std::string key;
    bool inKey = true;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            lookUp(table, key.c_str());
            key.clear();
            inKey = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\0') {
            inKey = false;
        } else if (inKey) {
            key += c;
        }
    }
    lookUp(table, key.c_str());
    for (const medium::Key& known : medium::KEYS) lookUp(table, known.name);
    (void)parseNumber(reinterpret_cast<const char*>(table.text(key.c_str())));
    return 0;
}
