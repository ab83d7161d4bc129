// The string table's check: every key setup and uninstall need, texts the
// message boxes would misread, numbers, lengths that setup's buffers hold, lines
// its parser would misread, paths, and the text pool as setup fills it.
#include "tools/mkmedium/stringscheck.h"

#include "mediumcatalogue.h"
#include "productidentity.h"
#include "resstringtable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The longest line the table reads as one: its 2,048-byte buffer holds the
// line, its LF and the terminator.
constexpr size_t MaxLineLength = ResStringTable::LINE_BUFFER - 2;

std::string addInstallKey(const char* format, unsigned n) {
    char key[64];
    std::snprintf(key, sizeof key, format, n);
    return key;
}

// Every key that setup or uninstall looks up.
std::vector<std::string> knownKeys() {
    std::vector<std::string> keys;
    for (const medium::Key& key : medium::KEYS) keys.push_back(key.name);
    for (unsigned n = 0; n < medium::ADD_INSTALL_SLOTS; ++n) {
        keys.push_back(addInstallKey(medium::ADD_INSTALL_PATH_KEY, n));
        keys.push_back(addInstallKey(medium::ADD_INSTALL_QUESTION_KEY, n));
    }
    return keys;
}

// The number of single-letter edits from one text to the other.
size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// What is wrong with a text that becomes a file name (a shortcut), or "".
std::string fileNameProblem(const std::string& name) {
    for (unsigned char c : name)
        if (c < 32 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return "holds a character that Windows does not allow in file names (\\ / : * ? \" < > |)";
    if (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        return "ends in a space or dot, which Windows drops";
    return "";
}

// What is wrong with the product's registry key, or "".
std::string registryKeyProblem(const std::string& key) {
    std::vector<std::string> parts;
    std::istringstream in(key);
    for (std::string part; std::getline(in, part, '\\');) parts.push_back(part);
    if (key.empty() || key.back() == '\\' || parts.size() < 3 || parts[0] != "SOFTWARE")
        return "is no key of the form SOFTWARE\\Maker\\Product under HKEY_CURRENT_USER";
    for (const std::string& part : parts)
        if (part.empty()) return "has an empty part between two backslashes";
    for (const char* shared : {"Microsoft", "Classes", "Policies", "Wow6432Node", "Clients", "RegisteredApplications"})
        if (parts[1] == shared)
            return "lies under SOFTWARE\\" + std::string(shared) +
                   ", which belongs to Windows; uninstall deletes this key";
    return "";
}

// The first '%' of a text that is not part of "%%", with the conversion it
// starts (up to its conversion letter), or npos.
size_t findConversion(const std::string& text, std::string& conversion) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && std::string("-+ #0123456789.*hlLqjztI").find(text[end]) != std::string::npos) ++end;
        conversion = text.substr(i, end < text.size() ? end - i + 1 : end - i);
        return i;
    }
    return std::string::npos;
}

// What is wrong with a path relative to setup's or the game's folder, or "".
std::string relativePathProblem(const std::string& path) {
    if (path.empty()) return "is empty";
    if (path[0] == '\\' || path[0] == '/' || path.find(':') != std::string::npos) return "is not a relative path";
    for (unsigned char c : path)
        if (c < 32 || std::string("<>\"|?*").find(static_cast<char>(c)) != std::string::npos)
            return "holds a character that Windows does not allow in file names";
    std::string component;
    std::istringstream parts(path);
    while (std::getline(parts, component, '\\'))
        for (size_t at = 0, slash; at <= component.size(); at = slash + 1) {
            slash = component.find('/', at);
            if (slash == std::string::npos) slash = component.size();
            std::string part = component.substr(at, slash - at);
            if (part == "..") return "leads out of its folder with \"..\"";
            if (part.empty() || part.back() == ' ' || part.back() == '.')
                return "has an empty name or a name that ends in a space or dot";
        }
    return "";
}

// True when a number as the programs read it (optional sign, digits) fits an int.
bool isPlainNumber(const std::string& text) {
    size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i == text.size() || text.size() - i > 10) return false;
    for (size_t j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9') return false;
    long long n = std::stoll(text);
    return n >= INT32_MIN && n <= INT32_MAX;
}

// The file's bytes line by line: what the table's parser cannot tell the
// publisher (long lines, bytes that end the file early, duplicate keys) and
// which keys it holds.
std::vector<std::string> scanLines(const std::string& bytes, const std::string& shownName, MediumReport& report) {
    std::vector<std::string> keys;
    std::map<std::string, int> firstLine;
    int lineNumber = 0;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        const std::string where = shownName + ", line " + std::to_string(lineNumber) + ": ";
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('\0') != std::string::npos)
            report.problems.push_back(where +
                                      "holds a NUL byte, which cuts the text short. Save the file as plain text.");
        if (line.find('\x1a') != std::string::npos)
            report.problems.push_back(where + "holds a Ctrl+Z byte, where Windows stops reading the file. Remove it.");
        if (line.size() > MaxLineLength)
            report.problems.push_back(where + "is " + std::to_string(line.size()) +
                                      " characters long; setup reads at most " + std::to_string(MaxLineLength) +
                                      " at once and would take the rest for another key. Shorten the text.");
        size_t k = 0;
        while (k < line.size() && !isKeySeparator(line[k])) ++k;
        std::string key = line.substr(0, k);
        if (key.empty()) {
            if (line.find_first_not_of(" \t") != std::string::npos)
                report.problems.push_back(where +
                                          "starts with a space or tab, so its text belongs to no key. "
                                          "Start the line with its key.");
            continue;
        }
        auto [it, fresh] = firstLine.emplace(key, lineNumber);
        if (fresh)
            keys.push_back(key);
        else
            report.notes.push_back(where + key + " is given again (first on line " + std::to_string(it->second) +
                                   "); the later text wins.");
    }
    return keys;
}

}  // namespace

MediumStrings checkStrings(const fs::path& path, const std::string& shownName, MediumReport& report) {
    MediumStrings facts;
    std::string bytes;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || !readWholeFile(path, bytes)) {
        report.problems.push_back(shownName + ": is missing or cannot be read. Every text of setup comes from it.");
        return facts;
    }
    // mkmedium writes a publisher's text without one; setup would read it as part of the first key.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || bytes.compare(0, 2, "\xFF\xFE") == 0 ||
        bytes.compare(0, 2, "\xFE\xFF") == 0)
        report.problems.push_back(shownName +
                                  ": starts with a byte-order mark, which setup reads as part of the first key. "
                                  "Make the medium with mkmedium, which writes the texts in LNG_CHARSET's code page.");
    const std::vector<std::string> keys = scanLines(bytes, shownName, report);

    // The table as setup fills it: what it reads, and how much of its pool.
    ResStringTable table;
    if (!table.load(path.string().c_str())) {
        report.problems.push_back(shownName + ": cannot be opened.");
        return facts;
    }
    facts.poolUsed = ResStringTable::poolUsed();
    facts.poolNeeded = ResStringTable::poolDemand();
    if (facts.poolNeeded > ResStringTable::POOL_SIZE)
        report.problems.push_back(shownName + ": needs at least " + std::to_string(facts.poolNeeded) +
                                  " bytes of the " + std::to_string(ResStringTable::POOL_SIZE) + "-byte text pool, " +
                                  std::to_string(facts.poolNeeded - ResStringTable::POOL_SIZE) +
                                  " more than it holds; the texts after that read as empty. Shorten or remove texts "
                                  "(each line costs its key once and its text two or more times).");
    else
        report.notes.push_back(shownName + ": the texts take " + std::to_string(facts.poolUsed) + " of the " +
                               std::to_string(ResStringTable::POOL_SIZE) + " bytes of the text pool; " +
                               std::to_string(ResStringTable::POOL_SIZE - facts.poolUsed) + " bytes are left.");
    auto value = [&](const std::string& key) { return std::string(table.text(key.c_str())); };
    auto fault = [&](const std::string& key, const std::string& text) {
        report.problems.push_back(shownName + ", " + key + ": " + text);
    };

    for (const medium::Key& key : medium::KEYS)
        if (key.required && value(key.name).empty())
            fault(key.name,
                  std::string("has no text, but ") + key.programs + " uses it. Add a line \"" + key.name + " <text>\"" +
                      (std::string(key.name) == "INT_SPACE_NEED" ? " (mkmedium writes it when it packs the game)."
                                                                 : "."));

    // Texts that the message boxes take as printf formats; the file name of
    // the main package is put into one as well.
    for (const std::string& key : keys) {
        if (key.compare(0, 4, "MSG_") != 0 && key.compare(0, 4, "ERR_") != 0 && key != "PATH_SOURCE") continue;
        std::string conversion;
        if (findConversion(value(key), conversion) != std::string::npos)
            fault(key, "holds " + inQuotes(conversion) +
                           ", which the message box would read as a printf conversion and show garbage or crash. "
                           "Write %% for a percent sign.");
    }
    for (const std::string& key : keys)
        if (key.compare(0, 4, "INT_") == 0 && !value(key).empty() && !isPlainNumber(value(key)))
            fault(key, "is " + inQuotes(value(key)) + ", not a whole number. Write it in digits only.");

    const std::string unit = value("MSG_MB");
    if (unit.size() > MaxUnitWordLength)
        fault("MSG_MB", "is " + std::to_string(unit.size()) + " characters long; the space message has room for " +
                            std::to_string(MaxUnitWordLength) + ". Use a shorter unit word.");
    const std::string title = value("STR_APP_TITLE");
    if (title.size() > MaxAppTitleLength)
        fault("STR_APP_TITLE", "is " + std::to_string(title.size()) +
                                   " characters long; the window title has room for " +
                                   std::to_string(MaxAppTitleLength) + " beside the percentage. Shorten it.");
    const std::string charset = value("LNG_CHARSET");
    if (!charset.empty() && !medium::findCharset(charset.c_str()))
        fault("LNG_CHARSET", "is " + inQuotes(charset) +
                                 ", which is no character set name setup knows (they are upper case, such as "
                                 "ANSI_CHARSET, EASTEUROPE_CHARSET or RUSSIAN_CHARSET).");
    const std::string checkBoxX = value("INT_ICON_CB_X");
    if (isPlainNumber(checkBoxX) && (std::stoi(checkBoxX) < 0 || std::stoi(checkBoxX) > medium::PANEL_WIDTH - 20))
        fault("INT_ICON_CB_X", "is " + checkBoxX +
                                   "; the 20-pixel check box must stay inside the 550-pixel panel (0 to " +
                                   std::to_string(medium::PANEL_WIDTH - 20) + ").");

    // The product's identity: names that become shortcut files, the registry key.
    const ProductIdentity identity = readProductIdentity(table);
    for (const char* key : {"TXT_GAME_ICON_DESCR", "TXT_SUPPORT_ICON_DESCR", "TXT_SITE_ICON_DESCR",
                            "TXT_SPONSOR_SITE_ICON_DESCR", "TXT_UNINSTALL_ICON_DESCR"}) {
        const std::string problem = fileNameProblem(value(key));
        if (!problem.empty()) fault(key, inQuotes(value(key)) + " names a shortcut file but " + problem + ".");
    }
    const std::string desktopProblem = fileNameProblem(identity.desktopShortcut);
    if (!desktopProblem.empty())
        fault(value("TXT_DESKTOP_ICON_DESCR").empty() ? "STR_PRODUCT_NAME" : "TXT_DESKTOP_ICON_DESCR",
              inQuotes(identity.desktopShortcut) + " names the desktop shortcut but " + desktopProblem +
                  ". Give TXT_DESKTOP_ICON_DESCR a name without those characters.");
    if (value("PATH_REGISTRY_KEY").empty() && identity.publisher.find('\\') != std::string::npos)
        fault("STR_PUBLISHER", inQuotes(identity.publisher) +
                                   " names a folder of the registry key and must not hold a backslash. Remove it, "
                                   "or give the whole key as PATH_REGISTRY_KEY.");
    else if (const std::string problem = registryKeyProblem(identity.registryKey); !problem.empty())
        fault(value("PATH_REGISTRY_KEY").empty() ? "STR_PRODUCT_NAME" : "PATH_REGISTRY_KEY",
              "the product's registry key " + inQuotes(identity.registryKey) + " " + problem +
                  ". Give PATH_REGISTRY_KEY as SOFTWARE\\Maker\\Product.");

    // A key no program asks for is most likely a misspelt one.
    const std::vector<std::string> known = knownKeys();
    for (const std::string& key : keys) {
        if (std::find(known.begin(), known.end(), key) != known.end()) continue;
        const std::string* closest = &known[0];
        for (const std::string& candidate : known)
            if (editDistance(key, candidate) < editDistance(key, *closest)) closest = &candidate;
        report.warnings.push_back(shownName + ", " + key + ": no program reads this key. Did you mean " + *closest +
                                  "?");
    }
    const std::string gameFolder = value("PATH_GAME_DIR");
    if (std::any_of(gameFolder.begin(), gameFolder.end(), [](char c) { return static_cast<unsigned char>(c) >= 128; }))
        report.notes.push_back(shownName + ", PATH_GAME_DIR: " + inQuotes(gameFolder) +
                               " holds letters outside plain ASCII; players whose Windows uses another code page "
                               "than LNG_CHARSET's see it spelled differently.");

    facts.mainPackage = value("PATH_SOURCE");
    if (!facts.mainPackage.empty()) {
        std::string problem = relativePathProblem(facts.mainPackage);
        std::string lower;
        for (char c : facts.mainPackage) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        unsigned number = 0;
        char rest = 0;
        if (problem.empty() && std::sscanf(lower.c_str(), "data%u.pak%c", &number, &rest) == 1 && number < 128)
            problem = "is one of the numbered packages data0.pak to data127.pak, which setup would install twice";
        if (!problem.empty())
            fault("PATH_SOURCE", "the main package " + inQuotes(facts.mainPackage) + " " + problem +
                                     ". Name a file beside setup.exe, such as game.rar.");
    }
    const std::string gameDir = value("PATH_GAME_DIR");
    if (!gameDir.empty() && !relativePathProblem(gameDir).empty())
        fault("PATH_GAME_DIR",
              inQuotes(gameDir) + " " + relativePathProblem(gameDir) + ". Give a folder name such as Publisher\\Game.");

    // Paths inside the installed game: they must be in the game folder.
    std::vector<std::string> gamePathKeys = {"PATH_GAME_EXE", "PATH_SUPPORT"};
    for (unsigned n = 0; n < medium::ADD_INSTALL_SLOTS; ++n)
        gamePathKeys.push_back(addInstallKey(medium::ADD_INSTALL_PATH_KEY, n));
    for (const std::string& key : gamePathKeys) {
        const std::string path = value(key);
        if (path.empty()) continue;
        const std::string problem = relativePathProblem(path);
        if (!problem.empty())
            fault(key,
                  inQuotes(path) + " " + problem + ". Give the path inside the game folder, such as Bin\\Game.exe.");
        else
            facts.gameFiles.push_back(path);
    }
    for (unsigned n = 0; n < medium::ADD_INSTALL_SLOTS; ++n) {
        const std::string pathKey = addInstallKey(medium::ADD_INSTALL_PATH_KEY, n);
        const std::string questionKey = addInstallKey(medium::ADD_INSTALL_QUESTION_KEY, n);
        if (value(pathKey).empty() && !value(questionKey).empty())
            report.notes.push_back(shownName + ", " + questionKey + ": asks about an additional installer that " +
                                   pathKey + " does not name; setup never asks it.");
    }
    return facts;
}
