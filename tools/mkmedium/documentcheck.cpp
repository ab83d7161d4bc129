// The documents' check: the licence that its screen shows and the readme that
// its button opens are there and not empty.
#include "tools/mkmedium/documentcheck.h"

#include "mediumcatalogue.h"

namespace fs = std::filesystem;

void checkDocuments(const fs::path& mediumFolder, MediumReport& report) {
    const struct {
        const char* file;
        const char* use;
    } documents[] = {{medium::LICENSE_FILE, "the licence screen"}, {medium::README_FILE, "the readme button"}};
    for (const auto& document : documents) {
        const std::string name = shownName(document.file);
        std::error_code ec;
        const fs::path path = mediumFolder / name;
        if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) == 0)
            report.problems.push_back(name + ": is missing or empty; " + document.use + " shows it. Add the text.");
    }
}
