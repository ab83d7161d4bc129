// Decoding publishers' texts and encoding them in the medium's code page, with
// the C library's converter (iconv).
#include "tools/mkmedium/textencoding.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace {

// Converts with iconv; false when the bytes do not convert (or no converter).
bool convert(const char* from, const char* to, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    bool ok = true;
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

bool isValidUtf8(const std::string& bytes, bool& anyMultibyte) {
    anyMultibyte = false;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        if (length > 1) {
            anyMultibyte = true;
            for (size_t k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
            // Overlong forms and surrogates are no UTF-8 a text editor writes.
            if (c == 0xC0 || c == 0xC1 || (c == 0xE0 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0) ||
                (c == 0xED && static_cast<unsigned char>(bytes[i + 1]) >= 0xA0) || c > 0xF4)
                return false;
        }
        i += length;
    }
    return true;
}

std::u32string fromUtf32(const std::string& bytes) {
    std::u32string text(bytes.size() / 4, U'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<unsigned char>(bytes[4 * i]) | static_cast<unsigned char>(bytes[4 * i + 1]) << 8 |
                  static_cast<unsigned char>(bytes[4 * i + 2]) << 16 |
                  static_cast<char32_t>(static_cast<unsigned char>(bytes[4 * i + 3])) << 24;
    return text;
}

std::string toUtf32(char32_t c) {
    return std::string{static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                       static_cast<char>((c >> 16) & 0xFF), static_cast<char>(c >> 24)};
}

}  // namespace

std::string CodePage::converterName() const {
    if (number == 0) return "";
    if (number == 10000) return "MACINTOSH";
    return "CP" + std::to_string(number);
}

std::string CodePage::shown() const { return "code page " + std::to_string(number); }

bool decodeText(const std::string& bytes, const CodePage& codePage, DecodedText& decoded, std::string& error) {
    auto startsWith = [&](const char* mark, size_t length) { return bytes.compare(0, length, mark, length) == 0; };
    std::string utf32;
    if (startsWith("\xEF\xBB\xBF", 3)) {
        decoded.encoding = "UTF-8 with a byte-order mark";
        if (!convert("UTF-8", "UTF-32LE", bytes.substr(3), utf32)) {
            error = "starts with the UTF-8 byte-order mark but is not valid UTF-8. Save it again as UTF-8.";
            return false;
        }
    } else if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2)) {
        const bool little = bytes[0] == '\xFF';
        decoded.encoding = little ? "UTF-16 (little-endian)" : "UTF-16 (big-endian)";
        if (!convert(little ? "UTF-16LE" : "UTF-16BE", "UTF-32LE", bytes.substr(2), utf32)) {
            error = "starts with a UTF-16 byte-order mark but is not valid UTF-16. Save it again as UTF-8.";
            return false;
        }
    } else {
        bool anyMultibyte = false;
        if (bytes.find('\0') != std::string::npos && bytes.size() >= 2) {
            error =
                "holds NUL bytes: it looks like UTF-16 without a byte-order mark. Save it as UTF-8 (or UTF-16 "
                "with a byte-order mark).";
            return false;
        }
        if (isValidUtf8(bytes, anyMultibyte)) {
            decoded.encoding = anyMultibyte ? "UTF-8" : "plain ASCII";
            convert("UTF-8", "UTF-32LE", bytes, utf32);
        } else if (codePage.number == 0) {
            error = "is neither UTF-8 nor UTF-16, and LNG_CHARSET names no code page to read it in. Save it as UTF-8.";
            return false;
        } else {
            decoded.encoding = codePage.shown();
            if (!convert(codePage.converterName().c_str(), "UTF-32LE", bytes, utf32)) {
                error = "is neither UTF-8 nor UTF-16, nor valid text in " + codePage.shown() +
                        " (from LNG_CHARSET). Save it as UTF-8.";
                return false;
            }
        }
    }
    decoded.text = fromUtf32(utf32);
    return true;
}

std::string encodeText(const std::u32string& text, const CodePage& codePage, std::vector<Unspellable>& unspellable) {
    const std::string target = codePage.converterName();
    iconv_t cd = target.empty() ? reinterpret_cast<iconv_t>(-1) : iconv_open(target.c_str(), "UTF-32LE");
    std::string out;
    size_t line = 1;
    for (char32_t c : text) {
        char spelled[16];
        size_t spelledLength = 0;
        if (c < 0x80) {
            spelled[spelledLength++] = static_cast<char>(c);
        } else if (cd != reinterpret_cast<iconv_t>(-1)) {
            std::string one = toUtf32(c);
            char* inPtr = one.data();
            size_t inLeft = one.size();
            char* outPtr = spelled;
            size_t outLeft = sizeof spelled;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
                spelledLength = sizeof spelled - outLeft;
        }
        if (spelledLength > 0)
            out.append(spelled, spelledLength);
        else
            unspellable.push_back({line, c});
        if (c == U'\n') ++line;
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    return out;
}

std::string describeCharacter(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return "'" + toUtf8(std::u32string(1, character)) + "' (" + code + ")";
}

std::string toUtf8(const std::u32string& text) {
    std::string bytes;
    for (char32_t c : text) bytes += toUtf32(c);
    std::string utf8;
    convert("UTF-32LE", "UTF-8", bytes, utf8);
    return utf8;
}
