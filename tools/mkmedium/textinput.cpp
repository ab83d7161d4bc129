// Reading publishers' texts in any of their encodings and writing them in the
// medium's code page.
#include "tools/mkmedium/textinput.h"

#include "mediumcatalogue.h"
#include "resstringtable.h"

#include <fstream>

namespace fs = std::filesystem;

namespace {

// The lines of a text, each without its line end.
std::vector<std::u32string> splitLines(const std::u32string& text) {
    std::vector<std::u32string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find(U'\n', at)) != std::u32string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    if (at < text.size()) lines.push_back(text.substr(at));
    return lines;
}

// The key of a line of the string table, as setup parses it.
std::string keyOf(const std::u32string& line) {
    std::string key;
    for (char32_t c : line) {
        if (c == U' ' || c == U'\t' || c == U'\r' || c == U'\n') break;
        key += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return key;
}

// The value of LNG_CHARSET in raw bytes: the name is ASCII in every encoding
// whose ASCII bytes stand for themselves, which is all setup's code pages.
std::string charsetInBytes(const std::string& bytes) {
    const std::string key = "LNG_CHARSET";
    std::string found;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, key.size(), key) != 0 || line.size() == key.size() || !isKeySeparator(line[key.size()]))
            continue;
        size_t start = line.find_first_not_of(" \t", key.size());
        found = start == std::string::npos ? "" : line.substr(start);  // a later line wins, as in setup
        while (!found.empty() && (found.back() == '\r' || found.back() == ' ' || found.back() == '\t'))
            found.pop_back();
    }
    return found;
}

bool readText(const fs::path& path, std::string& bytes) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && fs::file_size(path, ec) <= MaxMediaFileBytes && readWholeFile(path, bytes);
}

// Decodes, drops what `keep` refuses, encodes and writes back one text file.
template <typename KeepLine>
void convertText(const fs::path& path, const std::string& shown, const CodePage& codePage, const std::string& charset,
                 MediumReport& report, bool namesKeys, KeepLine keep) {
    std::string bytes;
    if (!readText(path, bytes)) return;  // the checks tell what is missing
    DecodedText decoded;
    std::string error;
    if (!decodeText(bytes, codePage, decoded, error)) {
        report.problems.push_back(shown + ": " + error);
        return;
    }
    std::u32string kept;
    std::vector<std::u32string> lines = splitLines(decoded.text);
    std::vector<std::string> keys;  // of each kept line
    std::vector<size_t> origin;     // the publisher's line number of each kept line
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!keep(lines[i])) continue;
        kept += lines[i] + U'\n';
        keys.push_back(keyOf(lines[i]));
        origin.push_back(i + 1);
    }
    if (!decoded.text.empty() && decoded.text.back() != U'\n' && !kept.empty()) kept.pop_back();
    std::vector<Unspellable> unspellable;
    const std::string encoded = encodeText(kept, codePage, unspellable);
    size_t lastLine = 0;
    for (const Unspellable& bad : unspellable) {
        if (bad.line == lastLine || bad.line > origin.size()) continue;  // one message a line
        lastLine = bad.line;
        const std::string where =
            shown + ", line " + std::to_string(origin[bad.line - 1]) + (namesKeys ? ", " + keys[bad.line - 1] : "");
        report.problems.push_back(
            where + ": the character " + describeCharacter(bad.character) + " cannot be written in " +
            (codePage.number ? codePage.shown() : std::string("plain ASCII")) + ", which LNG_CHARSET " +
            inQuotes(charset) + " draws the texts in. Use another character or another LNG_CHARSET.");
    }
    if (decoded.encoding != "plain ASCII" && decoded.encoding != codePage.shown())
        report.notes.push_back(shown + ": read as " + decoded.encoding + ", written in " +
                               (codePage.number ? codePage.shown() : std::string("plain ASCII")) + ".");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << encoded;
}

}  // namespace

CodePage codePageOfCharset(const std::string& charsetName) {
    const medium::Charset* charset = medium::findCharset(charsetName.c_str());
    return CodePage{charset ? charset->codePage : 0};
}

void convertTexts(const fs::path& mediumFolder, MediumReport& report) {
    const fs::path stringsPath = mediumFolder / shownName(medium::STRINGS_FILE);
    std::string bytes;
    if (!readText(stringsPath, bytes)) return;
    // UTF-16 spells the name with NUL bytes between its letters; decoded first, it reads plainly.
    DecodedText decoded;
    std::string error, charset = charsetInBytes(bytes);
    if (charset.empty() && decodeText(bytes, CodePage{}, decoded, error)) {
        std::string utf8 = toUtf8(decoded.text);
        charset = charsetInBytes(utf8);
    }
    const CodePage codePage = codePageOfCharset(charset);
    convertText(stringsPath, shownName(medium::STRINGS_FILE), codePage, charset, report, true,
                [](const std::u32string& line) { return line.empty() || line[0] != U'#'; });
    convertText(mediumFolder / shownName(medium::LICENSE_FILE), shownName(medium::LICENSE_FILE), codePage, charset,
                report, false, [](const std::u32string&) { return true; });
}
