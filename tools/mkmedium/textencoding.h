// Texts as publishers deliver them (UTF-8 with or without a byte-order mark,
// UTF-16 with one, or the medium's own code page), turned into the bytes setup
// reads: the medium's code page, without a byte-order mark.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A Windows code page by its number (1252, 1251, 932 ...); 0 is none.
struct CodePage {
    int number = 0;
    // The converter's name of the code page ("CP1252"); empty for none.
    std::string converterName() const;
    // "code page 1252"
    std::string shown() const;
};

struct DecodedText {
    std::u32string text;   // line ends kept as they were
    std::string encoding;  // how it was read, for the publisher: "UTF-8", "UTF-16 (little-endian)" ...
};

// Reads the bytes of a text file. A byte-order mark says UTF-8 or UTF-16; without
// one, bytes that are valid UTF-8 are taken as UTF-8 and others as `codePage`.
// False, with `error` saying what the bytes are, when they cannot be read so.
bool decodeText(const std::string& bytes, const CodePage& codePage, DecodedText& decoded, std::string& error);

// A character that a code page cannot spell, and the line (from 1) it is on.
struct Unspellable {
    size_t line;
    char32_t character;
};

// Writes a text in the code page; every character it cannot spell is listed (and
// left out). A code page of none spells plain ASCII only.
std::string encodeText(const std::u32string& text, const CodePage& codePage, std::vector<Unspellable>& unspellable);

// "'é' (U+00E9)"
std::string describeCharacter(char32_t character);

// The text as UTF-8, for messages.
std::string toUtf8(const std::u32string& text);
