// mkmedium: turns a medium folder and a folder of game files into a finished
// medium, or checks a medium folder; see usageText for the command line.
#include "mediumcatalogue.h"
#include "tools/mkmedium/cataloguetext.h"
#include "tools/mkmedium/mediumcheck.h"
#include "tools/mkmedium/mediuminit.h"
#include "tools/mkmedium/mediumpack.h"
#include "tools/mkmedium/mediumpreview.h"
#include "tools/mkmedium/pictureinput.h"
#include "tools/mkmedium/textinput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char usageText[] =
    "usage: mkmedium --medium DIR --game DIR --out DIR [--programs DIR] [--split MB]\n"
    "       mkmedium --check DIR\n"
    "       mkmedium init DIR\n"
    "       mkmedium preview --medium DIR --out DIR [--programs DIR]\n"
    "       mkmedium --list\n"
    "\n"
    "Makes a finished installation medium in --out from\n"
    "  --medium DIR    the medium folder: Readme.txt and Media/ with strings.txt,\n"
    "                  license.txt, every picture (PNG, JPEG or TGA) and the five\n"
    "                  MP3 sounds (everything in it is copied to the medium; the\n"
    "                  texts are written in the code page of LNG_CHARSET, PNG and\n"
    "                  JPEG pictures as the TGA files setup reads)\n"
    "  --game DIR      the game's files, as they are to be installed\n"
    "  --programs DIR  the folder with setup.exe, uninstall.exe and unrar.dll\n"
    "                  (default: the medium folder); --setup FILE, --uninstall FILE\n"
    "                  and --unrar FILE name each one instead\n"
    "  --split MB      largest package size in megabytes (1 MB = 1,048,576 bytes):\n"
    "                  the game goes into the main package that PATH_SOURCE names,\n"
    "                  then into data0.pak, data1.pak ... up to data127.pak.\n"
    "                  Default 0: everything in the main package\n"
    "  --out DIR       where the medium is made; a new or empty folder, or an\n"
    "                  earlier medium, which is replaced\n"
    "\n"
    "Before packing, mkmedium checks the medium and refuses it, naming every\n"
    "problem at once and what to do, when a text, picture or sound would fail in\n"
    "setup; warnings (a key no program reads) and notes do not stop it.\n"
    "It writes INT_SPACE_NEED into the medium's strings.txt from the game's size.\n"
    "\n"
    "--check DIR only checks a medium folder (a finished one also for its programs\n"
    "and main package) and packs nothing.\n"
    "\n"
    "init DIR writes a medium template into a new or empty folder that passes the\n"
    "check: every text with a comment on what it is, placeholder pictures at the\n"
    "sizes the screens need, short silent sound cues, a licence and a readme.\n"
    "\n"
    "preview draws every screen of the medium as setup does (setup.exe /PREVIEW,\n"
    "run with Wine here) into --out: welcome.png, licence.png, options.png,\n"
    "progress.png, installed.png and contact-sheet.png. setup.exe comes from\n"
    "--programs (default: the medium folder) or --setup FILE.\n"
    "\n"
    "--list prints what a medium holds, one fact a line with tab-separated fields:\n"
    "the panel size, every picture (file, width, height, depth, screens, use), every\n"
    "sound cue, every string key, the character-set names and the registry key.\n"
    "\n"
    "Exit code 0: the medium is complete; 1: it was refused or could not be made;\n"
    "2: the command line is wrong.\n";

constexpr const char* ProgramFiles[] = {"setup.exe", "uninstall.exe", "unrar.dll"};
// Room for install.log beside the uninstaller in the space estimate.
constexpr uint64_t LogAllowance = 64 * 1024;

int usageError(const std::string& message) {
    std::fprintf(stderr, "mkmedium: %s\n(mkmedium --help explains the command line)\n", message.c_str());
    return 2;
}

void printReport(const MediumReport& report) {
    for (const std::string& note : report.notes) std::printf("  note: %s\n", note.c_str());
    for (const std::string& warning : report.warnings) std::printf("  warning: %s\n", warning.c_str());
    for (const std::string& problem : report.problems) std::fprintf(stderr, "  problem: %s\n", problem.c_str());
}

bool isWithin(const fs::path& inner, const fs::path& outer) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(inner, ec), b = fs::weakly_canonical(outer, ec);
    auto [end, _] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return end == b.end();
}

bool isPackageName(const std::string& name, const std::string& mainPackage) {
    unsigned number = 0;
    char rest = 0;
    return name == mainPackage || (std::sscanf(name.c_str(), "data%u.pak%c", &number, &rest) == 1 && number < 128);
}

// Prints progress on one line that rewrites itself on a terminal, and a line
// per package and tenth otherwise.
class ProgressPrinter {
public:
    void operator()(uint64_t done, uint64_t total, const std::string& package) {
        const int percent = total == 0 ? 100 : int(done * 100 / total);
        const bool newPackage = package != package_;
        if (!newPackage && (percent == percent_ || (!terminal_ && percent / 10 == percent_ / 10))) return;
        percent_ = percent;
        package_ = package;
        if (package.empty()) {
            std::printf(terminal_ ? "\r  packed %llu MB%30s\n" : "  packed %llu MB%s\n",
                        (unsigned long long)(done >> 20), "");
        } else {
            std::printf(terminal_ ? "\r  packing %3d%% (%llu of %llu MB) into %s   "
                                  : "  packing %3d%% (%llu of %llu MB) into %s\n",
                        percent, (unsigned long long)(done >> 20), (unsigned long long)(total >> 20), package.c_str());
        }
        std::fflush(stdout);
    }

private:
    bool terminal_ = isatty(fileno(stdout));
    int percent_ = -1;
    std::string package_;
};

struct Options {
    fs::path medium, game, out, programs, check;
    fs::path programPaths[3];
    uint64_t splitMb = 0;
};

// Copies a medium folder (or only what setup shows: Media and the readme) to
// `staging` and turns its texts and pictures into the files setup reads; false
// when it cannot be copied.
bool stageMedium(const fs::path& medium, const fs::path& staging, MediumReport& report, bool shownOnly = false) {
    std::error_code ec;
    fs::remove_all(staging, ec);
    fs::create_directories(staging / "Media", ec);
    if (!shownOnly) {
        fs::copy(medium, staging, fs::copy_options::recursive, ec);
    } else {
        fs::copy(medium / "Media", staging / "Media", fs::copy_options::recursive, ec);
        if (!ec && fs::exists(medium / shownName(medium::README_FILE)))
            fs::copy_file(medium / shownName(medium::README_FILE), staging / shownName(medium::README_FILE), ec);
    }
    if (ec) {
        std::fprintf(stderr, "mkmedium: cannot copy %s to %s: %s\n", medium.string().c_str(), staging.string().c_str(),
                     ec.message().c_str());
        fs::remove_all(staging, ec);
        return false;
    }
    convertTexts(staging, report);
    convertPictures(staging / "Media", report);
    return true;
}

fs::path scratchFolder(const char* use) {
    return fs::temp_directory_path() / ("mkmedium-" + std::string(use) + "-" + std::to_string(getpid()));
}

int checkOnly(const fs::path& folder) {
    MediumReport report;
    std::error_code ec;
    // A publisher's folder is checked as it will ship: texts and pictures converted.
    const bool finished = fs::exists(folder / "setup.exe", ec);
    const fs::path checked = finished ? folder : scratchFolder("check");
    if (!finished && !stageMedium(folder, checked, report)) return 1;
    MediumStrings strings = checkMedium(checked, report);
    if (!finished) fs::remove_all(checked, ec);
    if (finished) {
        for (const char* program : ProgramFiles)
            if (!fs::is_regular_file(folder / program, ec))
                report.problems.push_back(std::string(program) + ": is missing beside setup.exe.");
        if (!strings.mainPackage.empty() && !fs::is_regular_file(folder / strings.mainPackage, ec))
            report.problems.push_back(
                strings.mainPackage +
                ": the main package that PATH_SOURCE names is missing. Make the medium with mkmedium.");
    }
    std::printf("Checking the medium in %s\n", folder.string().c_str());
    printReport(report);
    if (!report.ok()) {
        std::fprintf(stderr, "mkmedium: %zu problem(s); setup would not work right with this medium.\n",
                     report.problems.size());
        return 1;
    }
    std::printf("The medium is fine.\n");
    return 0;
}

int makeMedium(const Options& options) {
    MediumReport report;
    std::error_code ec;
    if (!fs::is_directory(options.medium, ec))
        return usageError("--medium " + options.medium.string() + " is not a folder");
    for (const fs::path& input : {options.medium, options.game})
        if (isWithin(options.out, input) || isWithin(input, options.out))
            return usageError("--out must lie outside the medium and game folders, and they outside it");
    if (fs::exists(options.out, ec) && !fs::is_empty(options.out, ec) &&
        !fs::is_regular_file(options.out / "Media" / "strings.txt", ec))
        return usageError("--out " + options.out.string() +
                          " holds files that are not a medium; give a new or empty folder");

    // The programs: named one by one, or found in --programs, or in the medium folder.
    fs::path programs[3];
    for (int i = 0; i < 3; ++i) {
        programs[i] = !options.programPaths[i].empty() ? options.programPaths[i]
                      : !options.programs.empty()      ? options.programs / ProgramFiles[i]
                                                       : options.medium / ProgramFiles[i];
        if (!fs::is_regular_file(programs[i], ec))
            report.problems.push_back(std::string(ProgramFiles[i]) + ": not found at " + programs[i].string() +
                                      ". Give --programs DIR, the folder with setup.exe, uninstall.exe and unrar.dll.");
    }

    std::printf("Reading the game files in %s\n", options.game.string().c_str());
    GameFolder game = readGameFolder(options.game, report.problems);
    const uint64_t uninstallBytes = fs::is_regular_file(programs[1], ec) ? fs::file_size(programs[1], ec) : 0;
    const uint64_t spaceMb = spaceNeedMb(game, uninstallBytes + LogAllowance);

    // Stage the medium beside --out, with the texts and pictures that ship, and check that.
    const fs::path staging = options.out.string() + ".mkmedium-partial";
    if (!stageMedium(options.medium, staging, report)) return 1;
    const fs::path stringsPath = staging / "Media" / "strings.txt";
    std::string stringsText;
    {
        std::ifstream in(stringsPath, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        stringsText = all.str();
    }
    const bool haveStrings = fs::is_regular_file(stringsPath, ec);
    if (haveStrings) {
        std::ofstream outStrings(stringsPath, std::ios::binary | std::ios::trunc);
        outStrings << withSpaceNeed(stringsText, spaceMb);
        outStrings.close();
        shipStringTable(game, stringsPath);
    }

    std::printf("Checking the medium in %s\n", options.medium.string().c_str());
    MediumStrings strings = checkMedium(staging, report);
    for (const std::string& path : strings.gameFiles)
        if (!game.entries.empty() && !gameHasFile(game, path))
            report.problems.push_back("Media/strings.txt: names the game file " + path +
                                      ", which is not in the game folder. Add the file or correct the path.");
    for (const auto& item : fs::directory_iterator(options.medium, ec))
        if (isPackageName(item.path().filename().string(), strings.mainPackage))
            report.problems.push_back(item.path().filename().string() +
                                      ": the medium folder already holds a package; mkmedium makes them. Remove it.");
    if (haveStrings && report.ok())
        report.notes.push_back("INT_SPACE_NEED: " + std::to_string(spaceMb) + " MB for " + std::to_string(game.bytes) +
                               " bytes of game files and the uninstaller.");
    printReport(report);
    std::vector<Package> packages;
    std::string error;
    if (report.ok() && !planPackages(game, strings.mainPackage, options.splitMb << 20, packages, error))
        report.problems.push_back(error);
    if (!report.ok()) {
        if (!error.empty()) std::fprintf(stderr, "  problem: %s\n", error.c_str());
        fs::remove_all(staging, ec);
        std::fprintf(stderr, "mkmedium: the medium was refused (%zu problem(s)); nothing was made.\n",
                     report.problems.size());
        return 1;
    }

    std::printf("Packing %zu files (%llu MB) into %zu package(s)\n", game.entries.size(),
                (unsigned long long)(game.bytes >> 20), packages.size());
    ProgressPrinter printer;
    if (!writePackages(game, packages, staging, std::ref(printer), error)) {
        std::fprintf(stderr, "\nmkmedium: %s; nothing was made.\n", error.c_str());
        fs::remove_all(staging, ec);
        return 1;
    }
    for (int i = 0; i < 3; ++i)
        if (!fs::copy_file(programs[i], staging / ProgramFiles[i], fs::copy_options::overwrite_existing, ec)) {
            std::fprintf(stderr, "mkmedium: cannot copy %s: %s; nothing was made.\n", programs[i].string().c_str(),
                         ec.message().c_str());
            fs::remove_all(staging, ec);
            return 1;
        }
    fs::remove_all(options.out, ec);
    fs::rename(staging, options.out, ec);
    if (ec) {
        std::fprintf(stderr, "mkmedium: cannot move the medium into %s: %s; it is in %s.\n",
                     options.out.string().c_str(), ec.message().c_str(), staging.string().c_str());
        return 1;
    }
    for (const Package& package : packages)
        std::printf("  %s: %zu entries, %llu bytes of files\n", package.file.c_str(), package.entries.size(),
                    (unsigned long long)package.bytes);
    std::printf("The medium is complete in %s\n", options.out.string().c_str());
    return 0;
}

int initCommand(int argc, char** argv) {
    if (argc != 3) return usageError("init takes one folder");
    std::string error;
    if (!writeMediumTemplate(argv[2], error)) {
        std::fprintf(stderr, "mkmedium: %s\n", error.c_str());
        return 1;
    }
    std::printf(
        "A medium template is in %s: replace its texts, pictures and sounds, then\n"
        "  mkmedium --check %s\n",
        argv[2], argv[2]);
    return 0;
}

int previewCommand(const Options& options) {
    if (options.medium.empty() || options.out.empty()) return usageError("preview needs --medium and --out");
    const fs::path setup = !options.programPaths[0].empty() ? options.programPaths[0]
                           : !options.programs.empty()      ? options.programs / "setup.exe"
                                                            : options.medium / "setup.exe";
    std::error_code ec;
    if (!fs::is_regular_file(setup, ec))
        return usageError("setup.exe not found at " + setup.string() + "; give --programs DIR or --setup FILE");
    MediumReport report;
    const fs::path staging = scratchFolder("preview");
    if (!stageMedium(options.medium, staging, report, true)) return 1;
    fs::copy_file(setup, staging / "setup.exe", fs::copy_options::overwrite_existing, ec);
    printReport(report);
    std::string error;
    const bool drawn = !ec && previewMedium(staging, options.out, error);
    fs::remove_all(staging, ec);
    if (!drawn) {
        std::fprintf(stderr, "mkmedium: %s\n", error.empty() ? "cannot copy setup.exe" : error.c_str());
        return 1;
    }
    std::printf("The screens are in %s (contact-sheet.png shows all five).\n", options.out.string().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "init") return initCommand(argc, argv);
    const bool preview = command == "preview";
    Options options;
    for (int i = preview ? 2 : 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(usageText, stdout);
            std::fputs(("\n" + catalogueHelp()).c_str(), stdout);
            return 0;
        }
        if (option == "--list") {
            std::fputs(catalogueListing().c_str(), stdout);
            return 0;
        }
        if (i + 1 >= argc) return usageError(option + " needs a value");
        const char* value = argv[++i];
        if (option == "--medium")
            options.medium = value;
        else if (option == "--game")
            options.game = value;
        else if (option == "--out")
            options.out = value;
        else if (option == "--programs")
            options.programs = value;
        else if (option == "--setup")
            options.programPaths[0] = value;
        else if (option == "--uninstall")
            options.programPaths[1] = value;
        else if (option == "--unrar")
            options.programPaths[2] = value;
        else if (option == "--check")
            options.check = value;
        else if (option == "--split") {
            char* end = nullptr;
            const unsigned long long mb = std::strtoull(value, &end, 10);
            if (end == value || *end != '\0' || value[0] == '-' || mb > 2048)
                return usageError("--split takes a whole number of megabytes from 0 to 2048");
            options.splitMb = mb;
        } else
            return usageError("unknown option " + option);
    }
    if (preview) return previewCommand(options);
    if (!options.check.empty()) return checkOnly(options.check);
    if (options.medium.empty() || options.game.empty() || options.out.empty())
        return usageError("--medium, --game and --out are all needed");
    return makeMedium(options);
}
