// Texts as publishers have them: "Media/strings.txt" and "Media/license.txt" in
// UTF-8 (with or without a byte-order mark), UTF-16 with one, or the medium's
// own code page, are written into the medium in that code page (the one of
// LNG_CHARSET). In strings.txt, lines that start with '#' are comments and are
// left out of the medium.
#pragma once

#include "tools/mkmedium/mediumreport.h"
#include "tools/mkmedium/textencoding.h"

#include <filesystem>
#include <string>

// The code page of a LNG_CHARSET name; none for a name without one (or unknown).
CodePage codePageOfCharset(const std::string& charsetName);

// Rewrites the two texts of a medium being made (`mediumFolder`) in the medium's
// code page. Every character the code page cannot spell is a problem naming the
// file, the line, the key and the character.
void convertTexts(const std::filesystem::path& mediumFolder, MediumReport& report);
