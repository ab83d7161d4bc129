// The text conversions of the library's names; the forms are described in names.h.
#include "unrar/names.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdint>

#ifdef _WIN32

namespace {

std::wstring fromCodePage(const char* text, UINT codePage) {
    if (!text || !*text) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string toCodePage(const std::wstring& text, UINT codePage) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

}  // namespace

PathString pathFromOem(const char* text) { return fromCodePage(text, CP_OEMCP); }
PathString pathFromWide(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }
// Windows callers get '\' between the components, as from any Windows archiver.
std::wstring wideName(const PathString& name) {
    std::wstring windowsName = name;
    for (auto& c : windowsName)
        if (c == L'/') c = L'\\';
    return windowsName;
}
std::string recordName(const PathString& name) { return toCodePage(wideName(name), CP_OEMCP); }

void completeArchiveNames(std::string& narrow, std::wstring& wide) {
    if (narrow.empty()) narrow = toCodePage(wide, CP_ACP);
    if (wide.empty()) wide = fromCodePage(narrow.c_str(), CP_ACP);
}

PathString entryText(const char* utf8, const wchar_t* wide, const char* mbs) {
    if (wide && *wide) return std::wstring(wide);
    if (utf8 && *utf8) return fromCodePage(utf8, CP_UTF8);
    return fromCodePage(mbs, CP_ACP);
}

PathString pathFromUtf8(const std::string& text) { return fromCodePage(text.c_str(), CP_UTF8); }
PathString pathFromUtf16(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
PathString pathFromLegacy(const std::string& text) { return fromCodePage(text.c_str(), CP_OEMCP); }

#else

namespace {

// Natively wchar_t holds whole code points; names are UTF-8 bytes.
std::wstring utf8ToWide(const std::string& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) {
            out += L'?';
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += static_cast<wchar_t>(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string wideToUtf8(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        uint32_t cp = static_cast<uint32_t>(*text);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace

Utf8Names::Utf8Names() {
    static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    previous_ = utf8 ? uselocale(utf8) : static_cast<locale_t>(0);
}

Utf8Names::~Utf8Names() {
    if (previous_) uselocale(previous_);
}

PathString pathFromOem(const char* text) { return text ? std::string(text) : std::string(); }
PathString pathFromWide(const wchar_t* text) { return wideToUtf8(text); }
std::string recordName(const PathString& name) { return name; }
std::wstring wideName(const PathString& name) { return utf8ToWide(name); }

void completeArchiveNames(std::string& narrow, std::wstring& wide) {
    if (narrow.empty()) narrow = wideToUtf8(wide.c_str());
    if (wide.empty()) wide = utf8ToWide(narrow);
}

PathString entryText(const char* utf8, const wchar_t*, const char* mbs) {
    if (utf8 && *utf8) return std::string(utf8);
    return mbs ? std::string(mbs) : std::string();
}

PathString pathFromUtf8(const std::string& text) { return text; }

PathString pathFromUtf16(const std::u16string& text) {
    std::wstring wide;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        wide += static_cast<wchar_t>(c);
    }
    return wideToUtf8(wide.c_str());
}

// The 8-bit name of an old packer taken as Latin-1: no code page is known natively.
PathString pathFromLegacy(const std::string& text) {
    std::wstring wide;
    for (unsigned char c : text) wide += static_cast<wchar_t>(c);
    return wideToUtf8(wide.c_str());
}

#endif

bool isUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra > 0 && i + static_cast<size_t>(extra) >= text.size())) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}
