// The catalogue of medium facts as text for scripts.
#include "tools/mkmedium/cataloguetext.h"

#include "mediumcatalogue.h"
#include "tools/mkmedium/mediumreport.h"

#include <cstdio>

namespace {

std::string sizeText(int size) { return size == medium::ANY_SIZE ? "any" : std::to_string(size); }

std::string line(std::initializer_list<std::string> fields) {
    std::string text;
    for (const std::string& field : fields) text += (text.empty() ? "" : "\t") + field;
    return text + "\n";
}

}  // namespace

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
    text += line({"registry", medium::PRODUCT_KEY});
    return text;
}
