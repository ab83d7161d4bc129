// The check of a whole medium folder.
#include "tools/mkmedium/mediumcheck.h"

#include "mediumcatalogue.h"

namespace fs = std::filesystem;

MediumStrings checkMedium(const fs::path& mediumFolder, MediumReport& report) {
    const fs::path media = mediumFolder / "Media";
    MediumStrings strings =
        checkStrings(mediumFolder / shownName(medium::STRINGS_FILE), shownName(medium::STRINGS_FILE), report);
    checkPictures(media, report);
    checkSounds(media, report);
    checkDocuments(mediumFolder, report);
    return strings;
}
