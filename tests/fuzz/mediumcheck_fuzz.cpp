// Fuzz target: mkmedium's check of a medium folder made from the input, as it checks
// a publisher's folder: texts and PNG or JPEG pictures converted first.
//
// Input: the text of Media/strings.txt, then any number of sections, each a line
// "@@ <file>" followed by that file's bytes up to the next such line. <file> is a
// file of the medium as the publisher names it ("Media/back_license.tga",
// "Media/Ok.mp3", "Readme.txt", a picture also as ".png", ".jpg" or ".jpeg"); other
// names are ignored, so nothing is written outside the medium folder. A file
// without a section is missing.
#include "mediumcatalogue.h"
#include "support/scratchfolder.h"
#include "tools/mkmedium/mediumcheck.h"
#include "tools/mkmedium/pictureinput.h"
#include "tools/mkmedium/textinput.h"

#include <set>
#include <string>

namespace {

// Every file of a medium that the check reads.
std::set<std::string> mediumFiles() {
    std::set<std::string> files{shownName(medium::STRINGS_FILE), shownName(medium::LICENSE_FILE),
                                shownName(medium::README_FILE)};
    for (const medium::Picture* picture : medium::PICTURES)
        for (const char* extension : {".tga", ".png", ".jpg", ".jpeg"})
            files.insert("Media/" + medium::pictureName(*picture) + extension);
    for (const medium::Cue* cue : medium::CUES) files.insert(shownName(cue->file));
    return files;
}

const std::string SECTION = "\n@@ ";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch("mediumcheck");
    static const std::set<std::string> files = mediumFiles();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path folder = scratch.root() / "medium";
    std::filesystem::create_directories(folder / "Media");

    // A newline in front, so that a section on the first line is found like any
    // other; the newline before a section's line belongs to that line.
    const std::string framed = "\n" + input;
    std::string name = shownName(medium::STRINGS_FILE);
    size_t from = 1, search = 0;
    for (;;) {
        const size_t marker = framed.find(SECTION, search);
        const size_t stop = marker == std::string::npos ? framed.size() : marker;
        // Text before the first section is the string table only when there is some.
        const bool leadingText = from == 1;
        if (files.count(name) && (stop > from || !leadingText))
            scratch.write(std::filesystem::path("medium") / name,
                          reinterpret_cast<const uint8_t*>(framed.data()) + from, stop > from ? stop - from : 0);
        if (marker == std::string::npos) break;
        const size_t nameStart = marker + SECTION.size();
        const size_t lineEnd = std::min(framed.find('\n', nameStart), framed.size());
        name = framed.substr(nameStart, lineEnd - nameStart);
        from = std::min(lineEnd + 1, framed.size());
        search = lineEnd;
    }

    MediumReport report;
    convertTexts(folder, report);
    convertPictures(folder / "Media", report);
    (void)checkMedium(folder, report);
    scratch.empty();
    return 0;
}
