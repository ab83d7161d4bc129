// The command lines of setup.exe and uninstall.exe.
//
//   words and options
//   exit codes
//   setup's options and usage
//   uninstall's options
#include "commandline.h"

#include <cctype>
#include <set>

// --- words and options ---------------------------------------------------

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string upperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string withoutQuotes(const std::string& text) {
    std::string result;
    for (char c : text)
        if (c != '"') result += c;
    return result;
}

std::string trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// One word of a command line, where it starts, and the option it spells when it
// starts with "/" or "-": its name in upper case and what follows a "=".
struct Word {
    std::string text;
    size_t start = 0;
    bool isOption = false;
    std::string name;
    bool hasValue = false;
    std::string value;
};

// Reads the word at pos: blanks inside double quotes belong to it, the quotes
// themselves are dropped. False at the end of the line.
bool nextWord(const std::string& line, size_t& pos, Word& word) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos >= line.size()) return false;
    word = Word();
    word.start = pos;
    bool quoted = false;
    for (; pos < line.size() && (quoted || !isBlank(line[pos])); ++pos) {
        if (line[pos] == '"')
            quoted = !quoted;
        else
            word.text += line[pos];
    }
    const std::string& text = word.text;
    word.isOption = text.size() >= 2 && (text[0] == '/' || text[0] == '-');
    if (word.isOption) {
        size_t equals = text.find('=');
        word.name = upperCase(text.substr(1, equals == std::string::npos ? std::string::npos : equals - 1));
        word.hasValue = equals != std::string::npos;
        if (word.hasValue) word.value = text.substr(equals + 1);
    }
    return true;
}

// Reads every word of a command line, also after a refused one, so that a
// script's /S still keeps the boxes away and its /LOG= still receives the
// reason. take(word, pos) handles one option (it may move pos to the line's end)
// and returns why it refuses it; the first reason is the result.
template <typename Take>
std::string readOptions(const std::string& line, Take take) {
    std::set<std::string> seen;
    std::string firstError;
    size_t pos = 0;
    Word word;
    while (nextWord(line, pos, word)) {
        std::string error;
        if (!word.isOption)
            error = "Unexpected word " + word.text + ": options start with / or -.";
        else if (!seen.insert(word.name).second)
            error = "The option " + word.text.substr(0, 1) + word.name + " is given twice.";
        else
            error = take(word, pos);
        if (firstError.empty()) firstError = error;
    }
    return firstError;
}

// Why a /D= folder cannot be an installation folder; empty when it can.
std::string folderError(const std::string& folder) {
    if (folder.empty()) return "/D= names no folder.";
    const bool onDrive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                         folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
    if (!onDrive) return "/D=" + folder + " is not a full path on a drive; write it like C:\\Games\\Quillmark Demo.";
    if (folder.find_first_not_of("\\/", 3) == std::string::npos)
        return "/D=" + folder + " is the root of a drive; name a folder on it.";
    for (size_t i = 2; i < folder.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(folder[i]);
        if (c < 32 || std::string("<>:\"|?*").find(static_cast<char>(c)) != std::string::npos)
            return "/D=" + folder + " holds a character that no folder name may hold.";
    }
    return std::string();
}

}  // namespace

// --- exit codes ----------------------------------------------------------

const char* setupExitMeaning(SetupExit code) {
    switch (code) {
    case SetupExit::Installed:
        return "installed";
    case SetupExit::NotStarted:
        return "setup could not start (a folder without a drive letter, an unsupported Windows)";
    case SetupExit::BadCommandLine:
        return "the command line is wrong";
    case SetupExit::BadMedium:
        return "the medium is incomplete or damaged";
    case SetupExit::BadFolder:
        return "the installation folder cannot be created or is too long";
    case SetupExit::NoSpace:
        return "not enough free space";
    case SetupExit::ExtractionFailed:
        return "the extraction failed and was rolled back";
    case SetupExit::NoUnrarLibrary:
        return "unrar.dll is missing or unusable";
    case SetupExit::AlreadyRunning:
        return "another setup is already running";
    case SetupExit::OtherFolder:
        return "the game is installed in another folder than /D names";
    case SetupExit::FinishingFailed:
        return "finishing could not write a file of the installation";
    case SetupExit::Cancelled:
        return "cancelled from the console and rolled back";
    }
    return "unknown";
}

// --- setup's options and usage --------------------------------------------

namespace {

// Takes one option other than /D=; returns why it is refused, or empty.
std::string applySetupOption(SetupOptions& options, const Word& word) {
    if (word.name == "LOG" && word.hasValue) {
        options.logFile = word.value;
        return options.logFile.empty() ? "/LOG= names no file." : "";
    }
    if (word.name == "EXTRAS" && word.hasValue) {
        const std::string choice = upperCase(word.value);
        if (choice == "ALL")
            options.extras = ExtrasChoice::All;
        else if (choice == "UNASKED")
            options.extras = ExtrasChoice::Unasked;
        else if (choice == "NONE")
            options.extras = ExtrasChoice::None;
        else
            return "/EXTRAS=" + word.value + " is not one of ALL, UNASKED and NONE.";
        return "";
    }
    if (word.hasValue) return "The option " + word.text + " is unknown or takes no value.";
    if (word.name == "S")
        options.silent = true;
    else if (word.name == "NOSHORTCUT")
        options.noShortcut = true;
    else if (word.name == "?")
        options.help = true;
    else if (word.name == "D" || word.name == "LOG" || word.name == "EXTRAS")
        return "The option " + word.text + " needs a value after \"=\".";
    else
        return "The option " + word.text + " is unknown.";
    return "";
}

}  // namespace

SetupOptions parseSetupCommandLine(const std::string& commandLine) {
    SetupOptions options;
    options.given = commandLine.find_first_not_of(" \t\r\n") != std::string::npos;
    options.error = readOptions(commandLine, [&](const Word& word, size_t& pos) {
        if (!(word.name == "D" && word.hasValue)) return applySetupOption(options, word);
        // The folder is the rest of the line, blanks and all.
        options.installDir = trimmed(withoutQuotes(commandLine.substr(commandLine.find('=', word.start) + 1)));
        pos = commandLine.size();
        return folderError(options.installDir);
    });
    if (!options.error.empty()) options.error += " setup.exe /? lists the options.";
    return options;
}

std::string setupUsage() {
    std::string text =
        "setup.exe [/S] [/NOSHORTCUT] [/EXTRAS=ALL|UNASKED|NONE] [/LOG=file] [/D=folder]\n"
        "\n"
        "/S\tInstalls without window, sounds or questions: into the default folder (the registered one when the "
        "game is installed), with a desktop shortcut, then shortcuts, uninstaller, log, registry values and extra "
        "installers as the window does.\n"
        "/D=folder\tThe installation folder, a full path. It takes the rest of the command line, so it comes last "
        "and needs no quotes. Without /S it fills the options screen.\n"
        "/NOSHORTCUT\tNo desktop shortcut.\n"
        "/EXTRAS=\tWhich extra installers /S runs: ALL, UNASKED (only those that ask nothing; the default) or NONE.\n"
        "/LOG=file\tWrites every step and every message with its time into the file.\n"
        "/PREVIEW=folder\tDraws the five screens into bitmap files in the folder and installs nothing.\n"
        "/?\tShows this text.\n"
        "Options are case-insensitive and may start with / or -. From a console, progress and result go there.\n"
        "\n"
        "Exit codes:\n";
    for (int code = static_cast<int>(SetupExit::Installed); code <= static_cast<int>(SetupExit::Cancelled); ++code)
        text += std::to_string(code) + "\t" + setupExitMeaning(static_cast<SetupExit>(code)) + "\n";
    return text;
}

// --- uninstall's options ----------------------------------------------------

UninstallOptions parseUninstallCommandLine(const std::string& commandLine) {
    UninstallOptions options;
    options.error = readOptions(commandLine, [&](const Word& word, size_t&) {
        if (word.name != "S" || word.hasValue) return "Unknown option " + word.text + ": uninstall.exe takes only /S.";
        options.silent = true;
        return std::string();
    });
    return options;
}
