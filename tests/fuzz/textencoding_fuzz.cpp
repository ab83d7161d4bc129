// Fuzz target: any bytes as a publisher's text, read in one of the medium's code
// pages (the input's last byte picks it) and written in it and in every other.
#include "mediumcatalogue.h"
#include "support/scratchfolder.h"
#include "tools/mkmedium/textencoding.h"
#include "tools/mkmedium/textinput.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<CodePage> codePages = [] {
        std::vector<CodePage> pages{CodePage{}};
        for (const medium::Charset& charset : medium::CHARSETS) pages.push_back(codePageOfCharset(charset.name));
        return pages;
    }();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const CodePage& codePage = codePages[size ? data[size - 1] % codePages.size() : 0];
    DecodedText decoded;
    std::string error;
    if (!decodeText(bytes, codePage, decoded, error)) return 0;
    (void)toUtf8(decoded.text);
    for (const CodePage& target : {codePage, codePages[decoded.text.size() % codePages.size()]}) {
        std::vector<Unspellable> unspellable;
        (void)encodeText(decoded.text, target, unspellable);
        for (const Unspellable& missing : unspellable) {
            if (missing.line == 0) fuzzFailure("an unspellable character on line 0");
            (void)describeCharacter(missing.character);
        }
    }
    return 0;
}
