// Names between the archive, the caller's records and the file system.
//
// libarchive gives wide names on Windows and UTF-8 natively. Records carry the name in
// the OEM code page on Windows (UTF-8 natively) and as wide text in the Ex records;
// files are created from the wide (Windows) or UTF-8 (native) name.
#pragma once

#include "unrar/entrypath.h"

#include <cstddef>
#include <string>

#ifndef _WIN32
#include <clocale>
#endif

// A path given to the library in the OEM code page (UTF-8 natively), as the interface
// prescribes, or as wide text.
PathString pathFromOem(const char* text);
PathString pathFromWide(const wchar_t* text);

// The name for a record: OEM code page with '\' on Windows, UTF-8 natively.
std::string recordName(const PathString& name);
// The name for a wide record field ('\' between the components on Windows).
std::wstring wideName(const PathString& name);

// Completes the archive's name when the caller gave only one of its two forms
// (the narrow one in the ANSI code page on Windows, UTF-8 natively).
void completeArchiveNames(std::string& narrow, std::wstring& wide);

// libarchive keeps a name in whichever form the format gave it, and on Windows it
// offers no wide form of a name it only has as UTF-8 (every RAR5 name): take the best
// form there is. `mbs` is the name in the reading system's code page.
PathString entryText(const char* utf8, const wchar_t* wide, const char* mbs);

#ifdef _WIN32
// Windows names come from libarchive as wide text; no locale is involved.
struct Utf8Names {};
#else
// libarchive turns archive names into the calling thread's character set; natively
// that is made UTF-8 for the duration of each call, whatever the process's locale.
class Utf8Names {
public:
    Utf8Names();
    ~Utf8Names();
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t previous_;
};
#endif

// Copies text into a fixed record field; false when it had to be cut short.
template <typename Char>
bool copyField(Char* field, size_t capacity, const std::basic_string<Char>& text) {
    size_t n = text.size() < capacity ? text.size() : capacity - 1;
    for (size_t i = 0; i < n; ++i) field[i] = text[i];
    field[n] = 0;
    return n == text.size();
}

// Names as RAR headers store them, turned into paths: UTF-8, UTF-16 (RAR 4.x Unicode
// names), or the 8-bit code page of an old packer (the OEM code page on Windows).
bool isUtf8(const std::string& text);
PathString pathFromUtf8(const std::string& text);
PathString pathFromUtf16(const std::u16string& text);
PathString pathFromLegacy(const std::string& text);
