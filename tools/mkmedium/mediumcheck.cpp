// The medium checks: string table, pictures, sound cues, licence and readme.
//
// Sections: string table | pictures | sound cues | the whole medium.
#include "tools/mkmedium/mediumcheck.h"

#include "gui/guiimage.h"
#include "resstringtable.h"
#include "tessivo/mpegaudio.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Files larger than this are no picture or sound cue of an installer.
constexpr uintmax_t MaxMediaFileBytes = 64u << 20;

// The longest line the table reads as one: its 2,048-byte buffer holds the
// line, its LF and the terminator.
constexpr size_t MaxLineLength = ResStringTable::LINE_BUFFER - 2;

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

bool readWholeFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return !in.bad();
}

// --- string table ----------------------------------------------------------------

// Keys that setup or uninstall look up and that must hold a text.
const char* const RequiredKeys[] = {
    "STR_APP_TITLE",
    "LNG_CHARSET",
    "MSG_WRONG_SYSTEM",
    "MSG_WRONG_SYSTEM1",
    "URL_HOMEPAGE",
    "URL_SUPPORT",
    "PATH_SOURCE",
    "PATH_GAME_DIR",
    "TXT_SELECT_DIRECTORY",
    "INT_SPACE_NEED",
    "MSG_OUT_OF_SPACE1",
    "MSG_OUT_OF_SPACE2",
    "MSG_OUT_OF_SPACE3",
    "MSG_MB",
    "ERR_NO_FILE",
    "MSG_ARE_YOU_SURE",
    "PATH_GAME_EXE",
    "TXT_GAME_ICON_DESCR",
    "TXT_SUPPORT_ICON_DESCR",
    "PATH_SUPPORT",
    "TXT_SITE_ICON_DESCR",
    "TXT_SPONSOR_SITE_ICON_DESCR",
    "URL_SPONSOR_HOMEPAGE",
    "TXT_UNINSTALL_ICON_DESCR",
    "INT_ICON_CB_X",
    "MSG_CONFIRM_UNINSTALL",
    "MSG_UNINSTALL_SUCCESS",
    "MSG_UNINSTALL_FAIL",
};

// The names LNG_CHARSET may hold; setup compares them exactly.
const char* const CharsetNames[] = {
    "ANSI_CHARSET",    "BALTIC_CHARSET",   "CHINESEBIG5_CHARSET", "DEFAULT_CHARSET", "EASTEUROPE_CHARSET",
    "GB2312_CHARSET",  "GREEK_CHARSET",    "HANGUL_CHARSET",      "MAC_CHARSET",     "OEM_CHARSET",
    "RUSSIAN_CHARSET", "SHIFTJIS_CHARSET", "SYMBOL_CHARSET",      "TURKISH_CHARSET", "VIETNAMESE_CHARSET",
    "JOHAB_CHARSET",   "ARABIC_CHARSET",   "HEBREW_CHARSET",      "THAI_CHARSET",
};

constexpr int AddInstallSlots = 16;

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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
        while (k < line.size() && !isSeparator(line[k])) ++k;
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

// --- pictures --------------------------------------------------------------------

constexpr int PanelWidth = 550;
constexpr int PanelHeight = 400;
constexpr int AnySize = 0;
constexpr int NoPlace = -1;

struct PictureRule {
    const char* name;
    const char* use;
    int width, height;  // AnySize: any
    int bits;           // 0: 24 or 32
    int x, y;           // where it is drawn, when it must stay inside the panel
};

const PictureRule PictureRules[] = {
    {"back_play_install_01", "welcome and installed screens' background", 550, 400, 0, NoPlace, NoPlace},
    {"back_play_install_02", "welcome and installed screens' background", 550, 400, 0, NoPlace, NoPlace},
    {"text_install", "welcome screen's button labels", AnySize, AnySize, 32, 20, 173},
    {"text_play", "installed screen's button labels", AnySize, AnySize, 32, 20, 173},
    {"over_install_play", "welcome and installed screens' button highlight", 333, 22, 32, NoPlace, NoPlace},
    {"back_license", "licence screen's background", 550, 400, 0, NoPlace, NoPlace},
    {"text_license", "licence screen's button labels", AnySize, AnySize, 32, 0, 326},
    {"over_license", "licence screen's button highlight", 128, 32, 32, NoPlace, NoPlace},
    {"scroll_arrow_top", "licence scroll bar's up arrow", 22, 21, 0, NoPlace, NoPlace},
    {"scroll_arrow_bottom", "licence scroll bar's down arrow", 22, 21, 0, NoPlace, NoPlace},
    {"scroll_slider_top", "licence scroll bar's thumb top", 22, AnySize, 0, NoPlace, NoPlace},
    {"scroll_slider_bottom", "licence scroll bar's thumb bottom", 22, AnySize, 0, NoPlace, NoPlace},
    {"scroller", "licence scroll bar's thumb middle", 22, AnySize, 0, NoPlace, NoPlace},
    {"back_options", "options screen's background", 550, 400, 0, NoPlace, NoPlace},
    {"text_options", "options screen's labels", AnySize, AnySize, 32, 21, 173},
    {"over_options", "options screen's button highlight", 85, 26, 32, NoPlace, NoPlace},
    {"text_icon_on", "options screen's check-box tick", 20, 20, 32, NoPlace, NoPlace},
    {"edit_cursor", "options screen's folder-box caret", AnySize, AnySize, 32, NoPlace, NoPlace},
    {"back_progress", "progress screen's background", 550, 400, 0, NoPlace, NoPlace},
    {"text_progress", "progress screen's button label", AnySize, AnySize, 32, 373, 318},
    {"over_progress", "progress screen's button highlight", 127, 32, 32, NoPlace, NoPlace},
    {"progress_bar", "progress screen's bar", 344, 23, 0, NoPlace, NoPlace},
    {"01", "progress screen's slide 1", 453, 211, 0, NoPlace, NoPlace},
    {"02", "progress screen's slide 2", 453, 211, 0, NoPlace, NoPlace},
    {"03", "progress screen's slide 3", 453, 211, 0, NoPlace, NoPlace},
    {"04", "progress screen's slide 4", 453, 211, 0, NoPlace, NoPlace},
    {"05", "progress screen's slide 5", 453, 211, 0, NoPlace, NoPlace},
    {"06", "progress screen's slide 6", 453, 211, 0, NoPlace, NoPlace},
    {"07", "progress screen's slide 7", 453, 211, 0, NoPlace, NoPlace},
    {"08", "progress screen's slide 8", 453, 211, 0, NoPlace, NoPlace},
    {"09", "progress screen's slide 9", 453, 211, 0, NoPlace, NoPlace},
    {"10", "progress screen's slide 10", 453, 211, 0, NoPlace, NoPlace},
};

// The folder box shows the caret inside its 18-pixel-high text area.
constexpr int MaxCaretHeight = 18;

struct TgaFacts {
    int width = 0, height = 0;
};

// Checks one picture against its rule; false when it is unusable.
bool checkPicture(const fs::path& mediaFolder, const PictureRule& rule, MediumReport& report, TgaFacts& facts) {
    const std::string name = std::string("Media/") + rule.name + ".tga";
    const fs::path path = mediaFolder / (std::string(rule.name) + ".tga");
    const std::string who = name + " (" + rule.use + "): ";
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        report.problems.push_back(who + "is missing. Add it as an uncompressed TGA picture.");
        return false;
    }
    const uintmax_t size = fs::file_size(path, ec);
    if (ec || size > MaxMediaFileBytes) {
        report.problems.push_back(who + "cannot be read or is far too large for a picture.");
        return false;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        report.problems.push_back(who + "cannot be read.");
        return false;
    }
    const size_t problemsBefore = report.problems.size();
    auto fault = [&](const std::string& text) { report.problems.push_back(who + text); };
    if (bytes.size() < 18) {
        fault("is too short to be a TGA picture. Save it again as TGA.");
        return false;
    }
    auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const int idLength = byteAt(0), colourMap = byteAt(1), type = byteAt(2);
    facts.width = byteAt(12) | byteAt(13) << 8;
    facts.height = byteAt(14) | byteAt(15) << 8;
    const int bits = byteAt(16), descriptor = byteAt(17);
    const std::string saveAs = " Save it as an uncompressed 24- or 32-bit TGA with the origin at the lower left.";
    if (type == 10 || type == 11 || type == 9)
        fault("is run-length compressed (TGA type " + std::to_string(type) +
              "); setup reads only uncompressed pictures." + saveAs);
    else if (type != 2 && type != 3)
        fault("is TGA type " + std::to_string(type) + ", not uncompressed true colour (2) or grey (3)." + saveAs);
    if (colourMap != 0) fault("has a colour map (palette); setup reads only true-colour pictures." + saveAs);
    if (bits != 24 && bits != 32)
        fault("has " + std::to_string(bits) + " bits per pixel; setup reads 24 or 32." + saveAs);
    else if (rule.bits != 0 && bits != rule.bits)
        fault("has " + std::to_string(bits) + " bits per pixel; it is laid over other artwork and needs 32 bits " +
              "(with an alpha channel) to let the background show through.");
    if (idLength != 0)
        fault("has an image-ID field of " + std::to_string(idLength) +
              " bytes, which setup would read as pixels. Save it without an image ID or comment.");
    if ((descriptor & 0x30) != 0)
        fault("is stored from the " + std::string(descriptor & 0x20 ? "top" : "lower right") +
              "; setup would show it upside down or mirrored." + saveAs);
    if (report.problems.size() != problemsBefore) return false;

    const std::string sizeText = std::to_string(facts.width) + " x " + std::to_string(facts.height) + " pixels";
    if (facts.width == 0 || facts.height == 0 || facts.width > GuiImage::MAX_TGA_SIDE ||
        facts.height > GuiImage::MAX_TGA_SIDE) {
        fault("is " + sizeText + ", which setup does not load.");
        return false;
    }
    const uint64_t pixelBytes = uint64_t(facts.width) * facts.height * (bits / 8);
    if (bytes.size() - 18 < pixelBytes) {
        fault("is cut short: " + sizeText + " need " + std::to_string(pixelBytes) +
              " bytes of pixels, the file holds " + std::to_string(bytes.size() - 18) + ". Save it again.");
        return false;
    }
    const bool wrongWidth = rule.width != AnySize && facts.width != rule.width;
    const bool wrongHeight = rule.height != AnySize && facts.height != rule.height;
    if (wrongWidth || wrongHeight) {
        std::string wanted = rule.height == AnySize ? std::to_string(rule.width) + " pixels wide"
                                                    : std::to_string(rule.width) + " x " + std::to_string(rule.height);
        fault("is " + sizeText + "; it must be " + wanted + ". Redraw it at that size.");
    }
    if (rule.x != NoPlace && (rule.x + facts.width > PanelWidth || rule.y + facts.height > PanelHeight))
        fault("is " + sizeText + "; drawn at " + std::to_string(rule.x) + "," + std::to_string(rule.y) +
              " it leaves the 550 x 400 panel. Make it at most " + std::to_string(PanelWidth - rule.x) + " x " +
              std::to_string(PanelHeight - rule.y) + ".");
    if (report.problems.size() != problemsBefore) return false;

    // Last, the installer's own reader must take it.
    GuiImage image;
    if (!image.loadTga(path.string())) {
        fault("is refused by setup's picture reader." + saveAs);
        return false;
    }
    return true;
}

// --- sound cues ------------------------------------------------------------------

const char* const SoundCues[] = {"Back", "Ok", "Error", "Present", "ScrShot"};

}  // namespace

MediumStrings checkStrings(const fs::path& path, const std::string& shownName, MediumReport& report) {
    MediumStrings facts;
    std::string bytes;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || !readWholeFile(path, bytes)) {
        report.problems.push_back(shownName + ": is missing or cannot be read. Every text of setup comes from it.");
        return facts;
    }
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

    for (const char* key : RequiredKeys)
        if (value(key).empty())
            fault(key,
                  std::string("has no text, but setup or uninstall uses it. Add a line \"") + key + " <text>\"" +
                      (std::string(key) == "INT_SPACE_NEED" ? " (mkmedium writes it when it packs the game)." : "."));

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
    bool knownCharset = false;
    for (const char* name : CharsetNames) knownCharset = knownCharset || charset == name;
    if (!charset.empty() && !knownCharset)
        fault("LNG_CHARSET", "is " + inQuotes(charset) +
                                 ", which is no character set name setup knows (they are upper case, such as "
                                 "ANSI_CHARSET, EASTEUROPE_CHARSET or RUSSIAN_CHARSET).");
    const std::string checkBoxX = value("INT_ICON_CB_X");
    if (isPlainNumber(checkBoxX) && (std::stoi(checkBoxX) < 0 || std::stoi(checkBoxX) > PanelWidth - 20))
        fault("INT_ICON_CB_X", "is " + checkBoxX +
                                   "; the 20-pixel check box must stay inside the 550-pixel panel (0 to " +
                                   std::to_string(PanelWidth - 20) + ").");

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
    for (int n = 0; n < AddInstallSlots; ++n) gamePathKeys.push_back("PATH_ADD_INSTALL_" + std::to_string(n));
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
    for (int n = 0; n < AddInstallSlots; ++n)
        if (value("PATH_ADD_INSTALL_" + std::to_string(n)).empty() &&
            !value("MSG_CONFIRM_ADD_INSTALL_" + std::to_string(n)).empty())
            report.notes.push_back(shownName + ", MSG_CONFIRM_ADD_INSTALL_" + std::to_string(n) +
                                   ": asks about an additional installer that PATH_ADD_INSTALL_" + std::to_string(n) +
                                   " does not name; setup never asks it.");
    return facts;
}

void checkPictures(const fs::path& mediaFolder, MediumReport& report) {
    TgaFacts sliderTop;
    for (const PictureRule& rule : PictureRules) {
        TgaFacts facts;
        if (!checkPicture(mediaFolder, rule, report, facts)) continue;
        const std::string name = rule.name;
        if (name == "scroll_slider_top") sliderTop = facts;
        if (name == "scroll_slider_bottom" && sliderTop.height != 0 && facts.height != sliderTop.height)
            report.problems.push_back("Media/scroll_slider_bottom.tga: is " + std::to_string(facts.height) +
                                      " pixels high; the thumb places it by the height of scroll_slider_top.tga (" +
                                      std::to_string(sliderTop.height) + "), so both must be equally high.");
        if (name == "edit_cursor" && facts.height > MaxCaretHeight)
            report.problems.push_back("Media/edit_cursor.tga: is " + std::to_string(facts.height) +
                                      " pixels high; the folder box shows at most " + std::to_string(MaxCaretHeight) +
                                      ". Make the caret shorter.");
    }
}

void checkSounds(const fs::path& mediaFolder, MediumReport& report) {
    for (const char* cue : SoundCues) {
        const std::string name = std::string("Media/") + cue + ".mp3";
        const fs::path path = mediaFolder / (std::string(cue) + ".mp3");
        std::error_code ec;
        std::string bytes;
        if (!fs::is_regular_file(path, ec)) {
            report.problems.push_back(name + ": is missing. Add the sound as an MP3 file.");
            continue;
        }
        if (fs::file_size(path, ec) > MaxMediaFileBytes || !readWholeFile(path, bytes)) {
            report.problems.push_back(name + ": cannot be read or is far too large for a sound cue.");
            continue;
        }
        tessivo::MpegStream stream;
        if (!tessivo::parseMpegStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), stream)) {
            report.problems.push_back(name +
                                      ": holds no complete MPEG Layer III audio, so setup cannot play it. "
                                      "Export it again as an MP3 file.");
            continue;
        }
        const double seconds = double(stream.frameCount) * stream.samplesPerFrame / stream.sampleRate;
        char line[160];
        std::snprintf(line, sizeof line, "%s: %.2f s of MP3 audio, %d Hz, %s.", name.c_str(), seconds,
                      stream.sampleRate, stream.channels == 1 ? "mono" : "stereo");
        report.notes.push_back(line);
    }
}

MediumStrings checkMedium(const fs::path& mediumFolder, MediumReport& report) {
    const fs::path media = mediumFolder / "Media";
    MediumStrings strings = checkStrings(media / "strings.txt", "Media/strings.txt", report);
    checkPictures(media, report);
    checkSounds(media, report);
    for (const auto& [path, name, use] : {std::tuple{media / "license.txt", "Media/license.txt", "the licence screen"},
                                          std::tuple{mediumFolder / "Readme.txt", "Readme.txt", "the readme button"}}) {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) == 0)
            report.problems.push_back(std::string(name) + ": is missing or empty; " + use + " shows it. Add the text.");
    }
    return strings;
}

std::string withSpaceNeed(const std::string& stringsText, uint64_t megabytes) {
    const std::string key = "INT_SPACE_NEED";
    std::string out;
    bool written = false;
    bool crlf = stringsText.find("\r\n") != std::string::npos;
    for (size_t at = 0; at < stringsText.size();) {
        size_t end = stringsText.find('\n', at);
        end = end == std::string::npos ? stringsText.size() : end + 1;
        std::string line = stringsText.substr(at, end - at);
        at = end;
        if (line.compare(0, key.size(), key) == 0 && (line.size() == key.size() || isSeparator(line[key.size()]))) {
            size_t lineEnd = line.find_first_of("\r\n");
            line = key + " " + std::to_string(megabytes) + (lineEnd == std::string::npos ? "" : line.substr(lineEnd));
            written = true;
        }
        out += line;
    }
    if (!written) {
        if (!out.empty() && out.back() != '\n') out += crlf ? "\r\n" : "\n";
        out += key + " " + std::to_string(megabytes) + (crlf ? "\r\n" : "\n");
    }
    return out;
}
