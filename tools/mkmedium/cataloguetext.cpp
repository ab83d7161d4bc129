// The catalogue of medium facts as text for scripts.
#include "tools/mkmedium/cataloguetext.h"

#include "mediumcatalogue.h"
#include "productidentity.h"
#include "tools/mkmedium/mediumreport.h"

#include <cstdio>
#include <iterator>

namespace {

std::string sizeText(int size) { return size == medium::ANY_SIZE ? "any" : std::to_string(size); }

std::string line(std::initializer_list<std::string> fields) {
    std::string text;
    for (const std::string& field : fields) text += (text.empty() ? "" : "\t") + field;
    return text + "\n";
}

}  // namespace

std::string catalogueHelp() {
    std::string text =
        "WHAT A MEDIUM HOLDS\n\nPictures, in Media/ as PNG, JPEG or TGA (mkmedium writes the TGA that setup\n"
        "reads); \"alpha\" marks those laid over other artwork, which need transparency:\n";
    char row[256];
    for (const medium::Picture* picture : medium::PICTURES) {
        const std::string size = sizeText(picture->width) + " x " + sizeText(picture->height);
        std::snprintf(row, sizeof row, "  %-22s %-11s %-6s %s: %s\n", medium::pictureName(*picture).c_str(),
                      size.c_str(), picture->needsAlpha ? "alpha" : "", picture->screens, picture->use);
        text += row;
    }
    text += "\nSound cues, in Media/ as MP3:\n";
    for (const medium::Cue* cue : medium::CUES) {
        std::snprintf(row, sizeof row, "  %-12s %s\n", shownName(cue->file).substr(6).c_str(), cue->use);
        text += row;
    }
    text +=
        "\nTexts, in Media/strings.txt, one \"KEY text\" a line (UTF-8, UTF-16 with a byte-order\n"
        "mark, or the code page of LNG_CHARSET; lines starting with # are comments):\n";
    for (const medium::Key& key : medium::KEYS)
        text += std::string("  ") + key.name + (key.required ? "" : " (optional)") + ": " + key.meaning + "\n";
    text += "  PATH_ADD_INSTALL_0 ... _" + std::to_string(medium::ADD_INSTALL_SLOTS - 1) +
            " (optional): the program of an additional installer inside the game folder\n"
            "  MSG_CONFIRM_ADD_INSTALL_0 ... _" +
            std::to_string(medium::ADD_INSTALL_SLOTS - 1) +
            " (optional): the question asked before it (none: it runs without asking)\n";
    text += "\nCharacter sets for LNG_CHARSET, with the code page of their texts:\n ";
    for (const medium::Charset& charset : medium::CHARSETS)
        text += std::string(" ") + charset.name + " (" +
                (charset.codePage ? std::to_string(charset.codePage) : std::string("ASCII only")) + ")" +
                (&charset == &medium::CHARSETS[std::size(medium::CHARSETS) - 1] ? ".\n" : ",");
    text +=
        "\nAlso in the medium folder: Readme.txt (the readme button) and Media/license.txt\n"
        "(the licence screen, in the same encodings as strings.txt).\n";
    return text;
}

std::string catalogueListing() {
    std::string text = line({"panel", std::to_string(medium::PANEL_WIDTH), std::to_string(medium::PANEL_HEIGHT)});
    for (const medium::Picture* picture : medium::PICTURES)
        text += line({"picture", shownName(picture->file), sizeText(picture->width), sizeText(picture->height),
                      picture->needsAlpha ? "32" : "24/32", picture->screens, picture->use});
    for (const medium::Cue* cue : medium::CUES)
        text += line({"sound", shownName(cue->file), cue->loop ? "loop" : "once", cue->use});
    for (const medium::Key& key : medium::KEYS)
        text += line({"key", key.name, key.required ? "required" : "optional", key.programs, key.meaning});
    for (unsigned n = 0; n < medium::ADD_INSTALL_SLOTS; ++n) {
        char path[64], question[64];
        std::snprintf(path, sizeof path, medium::ADD_INSTALL_PATH_KEY, n);
        std::snprintf(question, sizeof question, medium::ADD_INSTALL_QUESTION_KEY, n);
        text += line({"key", path, "optional", "setup",
                      "program of additional installer " + std::to_string(n) + " inside the game folder"});
        text += line({"key", question, "optional", "setup",
                      "question before additional installer " + std::to_string(n) + " (none: it runs without asking)"});
    }
    for (const medium::Charset& charset : medium::CHARSETS)
        text += line({"charset", charset.name, std::to_string(charset.number)});
    text += line({"registry", productIdentity().registryKey});
    return text;
}
