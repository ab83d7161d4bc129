// The authoring tool's checks and packing: a good medium passes, each kind of
// damage is refused with a message that names it, the text pool is counted as
// the string table fills it, and packed games extract back through libunrar.
#include "gui/guiimage.h"
#include "mediumcatalogue.h"
#include "resstringtable.h"
#include "tools/mkmedium/cataloguetext.h"
#include "tools/mkmedium/mediumcheck.h"
#include "tools/mkmedium/mediuminit.h"
#include "tools/mkmedium/mediumpack.h"
#include "tools/mkmedium/mediumpreview.h"
#include "tools/mkmedium/pictureinput.h"
#include "tools/mkmedium/textinput.h"
#include "unrar/unrar.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

namespace fs = std::filesystem;

namespace {

const char GoodStrings[] =
    "STR_APP_TITLE Test Game Setup\n"
    "LNG_CHARSET ANSI_CHARSET\n"
    "MSG_WRONG_SYSTEM Old Windows.\n"
    "MSG_WRONG_SYSTEM1 Continue anyway?\n"
    "URL_HOMEPAGE http://game.example/\n"
    "URL_SUPPORT http://game.example/help/\n"
    "PATH_SOURCE game.rar\n"
    "PATH_GAME_DIR Maker\\Test Game\n"
    "TXT_SELECT_DIRECTORY Choose a folder:\n"
    "INT_SPACE_NEED 3\n"
    "MSG_OUT_OF_SPACE1 Needs\n"
    "MSG_OUT_OF_SPACE2 and is short by\n"
    "MSG_OUT_OF_SPACE3 MB. 100%% sure.\n"
    "MSG_MB MB\n"
    "ERR_NO_FILE Missing:\n"
    "MSG_ARE_YOU_SURE Cancel?\n"
    "PATH_GAME_EXE Bin\\Game.exe\n"
    "TXT_GAME_ICON_DESCR Test Game\n"
    "TXT_SUPPORT_ICON_DESCR Help\n"
    "PATH_SUPPORT help.txt\n"
    "TXT_SITE_ICON_DESCR Site\n"
    "TXT_SPONSOR_SITE_ICON_DESCR Sponsor\n"
    "URL_SPONSOR_HOMEPAGE http://sponsor.example/\n"
    "TXT_UNINSTALL_ICON_DESCR Uninstall\n"
    "PATH_ADD_INSTALL_0 Extras\\Fonts.exe\n"
    "MSG_CONFIRM_ADD_INSTALL_0 Install the fonts?\n"
    "INT_ICON_CB_X 22\n"
    "MSG_CONFIRM_UNINSTALL Remove?\n"
    "MSG_UNINSTALL_SUCCESS Removed.\n"
    "MSG_UNINSTALL_FAIL Not found.\n";

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An uncompressed TGA; the header fields can be spoilt through the arguments.
std::string tga(int width, int height, int bits, int type = 2, int descriptor = 0, int idLength = 0,
                int colourMap = 0) {
    std::string bytes(18, '\0');
    bytes[0] = char(idLength);
    bytes[1] = char(colourMap);
    bytes[2] = char(type);
    bytes[12] = char(width & 0xFF);
    bytes[13] = char(width >> 8);
    bytes[14] = char(height & 0xFF);
    bytes[15] = char(height >> 8);
    bytes[16] = char(bits);
    bytes[17] = char(descriptor);
    bytes += std::string(size_t(idLength) + size_t(width) * height * (bits / 8), '\x40');
    return bytes;
}

struct Picture {
    const char* name;
    int width, height, bits;
};

const Picture GoodPictures[] = {
    {"back_play_install_01", 550, 400, 24},
    {"back_play_install_02", 550, 400, 24},
    {"text_install", 300, 120, 32},
    {"text_play", 300, 130, 32},
    {"over_install_play", 333, 22, 32},
    {"back_license", 550, 400, 24},
    {"text_license", 550, 32, 32},
    {"over_license", 128, 32, 32},
    {"scroll_arrow_top", 22, 21, 32},
    {"scroll_arrow_bottom", 22, 21, 32},
    {"scroll_slider_top", 22, 6, 32},
    {"scroll_slider_bottom", 22, 6, 32},
    {"scroller", 22, 4, 32},
    {"back_options", 550, 400, 24},
    {"text_options", 330, 90, 32},
    {"over_options", 85, 26, 32},
    {"text_icon_on", 20, 20, 32},
    {"edit_cursor", 2, 14, 32},
    {"back_progress", 550, 400, 24},
    {"text_progress", 157, 34, 32},
    {"over_progress", 127, 32, 32},
    {"progress_bar", 344, 23, 24},
};

class MediumTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::absolute("medium_test");
        fs::remove_all(root);
        medium = root / "medium";
        writeFile(medium / "Media" / "strings.txt", GoodStrings);
        writeFile(medium / "Media" / "license.txt", "Terms.\n");
        writeFile(medium / "Readme.txt", "Read me.\n");
        for (const Picture& p : GoodPictures)
            writeFile(medium / "Media" / (std::string(p.name) + ".tga"), tga(p.width, p.height, p.bits));
        for (int i = 1; i <= 10; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.tga", i);
            writeFile(medium / "Media" / name, tga(453, 211, 24));
        }
        for (const char* cue : {"Back", "Ok", "Error", "Present", "ScrShot"})
            writeFile(medium / "Media" / (std::string(cue) + ".mp3"), silentMp3(10));
    }

    MediumReport check() {
        MediumReport report;
        checkMedium(medium, report);
        return report;
    }

    // The one problem that a damage gives, which must mention every fragment.
    void expectProblem(const std::vector<std::string>& fragments) {
        MediumReport report = check();
        ASSERT_EQ(report.problems.size(), 1u) << testing::PrintToString(report.problems);
        for (const std::string& fragment : fragments)
            EXPECT_NE(report.problems[0].find(fragment), std::string::npos)
                << "\"" << fragment << "\" not in: " << report.problems[0];
    }

    void setString(const std::string& key, const std::string& value) {
        std::string text = GoodStrings;
        size_t at = text.find(key + " ");
        ASSERT_NE(at, std::string::npos);
        size_t end = text.find('\n', at);
        text.replace(at, end - at, key + " " + value);
        writeFile(medium / "Media" / "strings.txt", text);
    }

    fs::path root, medium;
};

}  // namespace

TEST_F(MediumTest, GoodMediumPassesAndTellsWhatIsLeftOfThePool) {
    MediumReport report = check();
    EXPECT_TRUE(report.ok()) << testing::PrintToString(report.problems);
    bool poolNote = false;
    for (const std::string& note : report.notes)
        poolNote = poolNote || note.find("bytes are left") != std::string::npos;
    EXPECT_TRUE(poolNote);

    MediumStrings strings = checkStrings(medium / "Media" / "strings.txt", "strings.txt", report);
    EXPECT_EQ(strings.mainPackage, "game.rar");
    EXPECT_EQ(strings.gameFiles, (std::vector<std::string>{"Bin\\Game.exe", "help.txt", "Extras\\Fonts.exe"}));
}

TEST_F(MediumTest, EachDamagedTextIsNamedWithItsKey) {
    struct Damage {
        std::string key, value;
        std::vector<std::string> fragments;
    };
    const Damage damages[] = {
        {"MSG_ARE_YOU_SURE", "Really cancel 100% of it?", {"MSG_ARE_YOU_SURE", "\"% o\"", "%%"}},
        {"ERR_NO_FILE", "Missing %s", {"ERR_NO_FILE", "printf"}},
        {"PATH_SOURCE", "game%d.rar", {"PATH_SOURCE", "printf"}},
        {"MSG_MB", std::string(50, 'M'), {"MSG_MB", "50 characters", "49"}},
        {"STR_APP_TITLE", std::string(118, 'T'), {"STR_APP_TITLE", "118", "117"}},
        {"LNG_CHARSET", "ansi_charset", {"LNG_CHARSET", "ansi_charset"}},
        {"INT_ICON_CB_X", "22px", {"INT_ICON_CB_X", "not a whole number"}},
        {"INT_SPACE_NEED", "99999999999", {"INT_SPACE_NEED", "not a whole number"}},
        {"INT_ICON_CB_X", "540", {"INT_ICON_CB_X", "inside the 550-pixel panel"}},
        {"PATH_SOURCE", "data7.pak", {"PATH_SOURCE", "install twice"}},
        {"PATH_SOURCE", "..\\game.rar", {"PATH_SOURCE", ".."}},
        {"PATH_GAME_EXE", "C:\\Game.exe", {"PATH_GAME_EXE", "not a relative path"}},
        {"MSG_MB", "", {"MSG_MB", "has no text"}},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.key + " = " + damage.value);
        setString(damage.key, damage.value);
        expectProblem(damage.fragments);
    }
    // The limits themselves still fit.
    setString("MSG_MB", std::string(49, 'M'));
    EXPECT_TRUE(check().ok());
    setString("STR_APP_TITLE", std::string(117, 'T'));
    EXPECT_TRUE(check().ok());
}

TEST_F(MediumTest, LinesThatTheTableWouldMisreadAreRefused) {
    writeFile(medium / "Media" / "strings.txt", std::string(GoodStrings) + "TXT_LONG " + std::string(2100, 'x') + "\n");
    expectProblem({"line 31", "2109 characters"});
    writeFile(medium / "Media" / "strings.txt", std::string(GoodStrings) + "  TXT_INDENTED text\n");
    expectProblem({"line 31", "starts with a space"});
    writeFile(medium / "Media" / "strings.txt", std::string(GoodStrings) +
                                                    "TXT_EOF a\x1a"
                                                    "b\n");
    expectProblem({"line 31", "Ctrl+Z"});
}

TEST_F(MediumTest, PoolIsCountedAsTheStringTableFillsIt) {
    // One line: its key (2 bytes), its value (2) and the copy kept in the table (2),
    // after the shared empty text (1).
    writeFile(root / "one.txt", "K V\n");
    MediumReport report;
    MediumStrings one = checkStrings(root / "one.txt", "one.txt", report);
    EXPECT_EQ(one.poolUsed, 7);
    EXPECT_EQ(one.poolNeeded, 7);

    MediumStrings good = checkStrings(medium / "Media" / "strings.txt", "strings.txt", report);
    ResStringTable table;
    ASSERT_TRUE(table.load((medium / "Media" / "strings.txt").string().c_str()));
    EXPECT_EQ(good.poolUsed, ResStringTable::poolUsed());
    EXPECT_EQ(good.poolNeeded, ResStringTable::poolUsed());
    EXPECT_GT(good.poolUsed, int32_t(sizeof GoodStrings));  // values are stored more than once

    // Too much text: refused with the amount it is over.
    std::string big = GoodStrings;
    for (int i = 0; i < 60; ++i) big += "TXT_FILL_" + std::to_string(i) + " " + std::string(100, 'f') + "\n";
    writeFile(medium / "Media" / "strings.txt", big);
    report = MediumReport();
    MediumStrings over = checkStrings(medium / "Media" / "strings.txt", "strings.txt", report);
    EXPECT_GT(over.poolNeeded, ResStringTable::POOL_SIZE);
    EXPECT_LE(over.poolUsed, ResStringTable::POOL_SIZE);
    ASSERT_FALSE(report.problems.empty());
    EXPECT_NE(report.problems[0].find(std::to_string(over.poolNeeded - ResStringTable::POOL_SIZE) + " more"),
              std::string::npos)
        << report.problems[0];
}

TEST_F(MediumTest, EachDamagedPictureIsNamed) {
    struct Damage {
        std::string name, bytes;
        std::vector<std::string> fragments;
    };
    std::string truncated = tga(453, 211, 24);
    truncated.resize(truncated.size() - 100);
    const Damage damages[] = {
        {"back_options", "", {"back_options.tga", "too short"}},
        {"back_license", tga(550, 400, 24, 10), {"back_license.tga", "run-length"}},
        {"back_progress", tga(550, 400, 24, 2, 0, 0, 1), {"back_progress.tga", "colour map"}},
        {"progress_bar", tga(344, 23, 16), {"progress_bar.tga", "16 bits"}},
        {"01", tga(453, 211, 24, 2, 0x20), {"01.tga", "upside down"}},
        {"02", tga(453, 210, 24), {"02.tga", "453 x 210", "453 x 211"}},
        {"03", truncated, {"03.tga", "cut short"}},
        {"04", tga(453, 211, 24, 2, 0, 12), {"04.tga", "image-ID"}},
        {"over_options", tga(85, 26, 24), {"over_options.tga", "needs 32 bits"}},
        {"text_progress", tga(200, 34, 32), {"text_progress.tga", "leaves the 550 x 400 panel"}},
        {"scroll_slider_bottom", tga(22, 7, 32), {"scroll_slider_bottom.tga", "equally high"}},
        {"edit_cursor", tga(2, 19, 32), {"edit_cursor.tga", "at most 18"}},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        const fs::path path = medium / "Media" / (damage.name + ".tga");
        const std::string good = readFile(path);
        writeFile(path, damage.bytes);
        expectProblem(damage.fragments);
        writeFile(path, good);
    }
    fs::remove(medium / "Media" / "10.tga");
    expectProblem({"10.tga", "slide 10", "missing"});
}

TEST_F(MediumTest, SoundsThatDoNotDecodeAreNamed) {
    writeFile(medium / "Media" / "Ok.mp3", std::string(5000, '\x55'));
    expectProblem({"Ok.mp3", "no complete MPEG Layer III audio"});
    writeFile(medium / "Media" / "Ok.mp3", silentMp3(10));
    fs::remove(medium / "Media" / "ScrShot.mp3");
    expectProblem({"ScrShot.mp3", "missing"});
}

TEST(MediumStrings, SpaceNeedIsRewrittenOrAddedKeepingLineEnds) {
    EXPECT_EQ(withSpaceNeed("A a\r\nINT_SPACE_NEED 8\r\nB b\r\n", 42), "A a\r\nINT_SPACE_NEED 42\r\nB b\r\n");
    EXPECT_EQ(withSpaceNeed("INT_SPACE_NEEDED 1\nA a", 5), "INT_SPACE_NEEDED 1\nA a\nINT_SPACE_NEED 5\n");
    EXPECT_EQ(withSpaceNeed("INT_SPACE_NEED\nINT_SPACE_NEED\t7", 3), "INT_SPACE_NEED 3\nINT_SPACE_NEED 3");
}

// --- packing ---------------------------------------------------------------------

namespace {

// Extracts every package of `medium` in setup's order into `dest` through libunrar.
bool extractMedium(const fs::path& medium, const std::vector<Package>& packages, const fs::path& dest) {
    for (const Package& package : packages) {
        const std::string arcName = (medium / package.file).string();
        RAROpenArchiveDataEx open{};
        open.ArcName = const_cast<char*>(arcName.c_str());
        open.OpenMode = RAR_OM_EXTRACT;
        void* handle = RAROpenArchiveEx(&open);
        if (!handle) return false;
        RARHeaderDataEx header{};
        int code;
        while ((code = RARReadHeaderEx(handle, &header)) == ERAR_SUCCESS)
            if (RARProcessFile(handle, RAR_EXTRACT, const_cast<char*>(dest.string().c_str()), nullptr) != ERAR_SUCCESS)
                code = -1;
        RARCloseArchive(handle);
        if (code != ERAR_END_ARCHIVE) return false;
    }
    return true;
}

std::map<std::string, std::string> treeOf(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it)
        tree[it->path().lexically_relative(root).generic_string()] = it->is_directory() ? "<dir>" : readFile(*it);
    return tree;
}

}  // namespace

TEST(MediumPacking, SplitPackagesExtractBackToTheGameFiles) {
    const fs::path root = fs::absolute("packing_test");
    fs::remove_all(root);
    const fs::path gameRoot = root / "game";
    writeFile(gameRoot / "Bin" / "Game.exe", "MZ game");
    writeFile(gameRoot / "help.txt", "help");
    writeFile(gameRoot / "empty.txt", "");
    fs::create_directories(gameRoot / "Saves");
    for (int i = 0; i < 5; ++i)
        writeFile(gameRoot / "Levels" / ("level" + std::to_string(i) + ".dat"), std::string(600 * 1024, char('a' + i)));

    std::vector<std::string> problems;
    GameFolder game = readGameFolder(gameRoot, problems);
    ASSERT_TRUE(problems.empty()) << testing::PrintToString(problems);
    EXPECT_EQ(game.bytes, 5u * 600 * 1024 + 11);
    EXPECT_TRUE(gameHasFile(game, "bin\\GAME.exe"));
    EXPECT_FALSE(gameHasFile(game, "Bin"));

    std::vector<Package> packages;
    std::string error;
    ASSERT_TRUE(planPackages(game, "game.rar", 1 << 20, packages, error)) << error;
    // Each level fills most of a megabyte, so every one after the first starts a package.
    ASSERT_EQ(packages.size(), 5u);
    EXPECT_EQ(packages[0].file, "game.rar");
    EXPECT_EQ(packages[1].file, "data0.pak");
    EXPECT_EQ(packages[4].file, "data3.pak");

    const fs::path medium = root / "medium";
    uint64_t lastDone = 0, calls = 0;
    ASSERT_TRUE(writePackages(
        game, packages, medium,
        [&](uint64_t done, uint64_t total, const std::string&) {
            EXPECT_GE(done, lastDone);
            EXPECT_EQ(total, game.bytes);
            lastDone = done;
            ++calls;
        },
        error))
        << error;
    EXPECT_EQ(lastDone, game.bytes);
    EXPECT_GT(calls, 5u);
    for (const Package& package : packages)
        EXPECT_LE(fs::file_size(medium / package.file), (1u << 20) + 1024) << package.file;

    const fs::path installed = root / "installed";
    fs::create_directories(installed);
    ASSERT_TRUE(extractMedium(medium, packages, installed));
    EXPECT_EQ(treeOf(installed), treeOf(gameRoot));
}

TEST(MediumPacking, GamesSetupCannotInstallAreRefused) {
    const fs::path root = fs::absolute("packing_refusals");
    fs::remove_all(root);
    writeFile(root / "game" / "a:b.txt", "x");
    writeFile(root / "game" / "caf\xc3\xa9.txt", "x");
    writeFile(root / "game" / "ok.txt", "x");
    fs::create_symlink("ok.txt", root / "game" / "link.txt");
    std::vector<std::string> problems;
    GameFolder game = readGameFolder(root / "game", problems);
    ASSERT_EQ(problems.size(), 3u) << testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("a:b.txt"), std::string::npos);
    EXPECT_NE(problems[1].find("ASCII"), std::string::npos);
    EXPECT_NE(problems[2].find("symbolic link"), std::string::npos);

    // More packages than setup reads: refused with a split that would do.
    GameFolder many;
    for (int i = 0; i < 200; ++i) many.entries.push_back(GameEntry{"f" + std::to_string(i), {}, 1 << 20, false});
    many.bytes = 200u << 20;
    std::vector<Package> packages;
    std::string error;
    EXPECT_FALSE(planPackages(many, "game.rar", 1 << 20, packages, error));
    EXPECT_NE(error.find("--split 3"), std::string::npos) << error;
    EXPECT_TRUE(planPackages(many, "game.rar", 3 << 20, packages, error));

    // The medium's string table goes with the game, over a copy the game brings.
    GameFolder small;
    writeFile(root / "strings.txt", "STR_APP_TITLE New\n");
    shipStringTable(small, root / "strings.txt");
    ASSERT_EQ(small.entries.size(), 2u);
    EXPECT_TRUE(small.entries[0].folder);
    EXPECT_EQ(small.entries[1].name, "Media/strings.txt");
    small.entries[1].size = 100, small.bytes = 100;
    shipStringTable(small, root / "strings.txt");
    ASSERT_EQ(small.entries.size(), 2u);
    EXPECT_EQ(small.bytes, 18u);

    // Space: whole clusters per file, rounded up to megabytes.
    EXPECT_EQ(spaceNeedMb(many, 0), 200u);
    EXPECT_EQ(spaceNeedMb(many, 1), 201u);
}

// --- a publisher's inputs --------------------------------------------------------

namespace {

// The medium's strings.txt with one line replaced or added, in bytes as given.
std::string withLine(const std::string& key, const std::string& line) {
    std::string text = GoodStrings;
    size_t at = text.find(key + " ");
    if (at == std::string::npos) return text + line + "\n";
    return text.replace(at, text.find('\n', at) - at, line);
}

std::string utf16le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

}  // namespace

TEST_F(MediumTest, TextsInAnyEncodingAreWrittenInTheMediumsCodePage) {
    const std::string title = "STR_APP_TITLE Caf\xC3\xA9 Setup";  // UTF-8
    struct Input {
        const char* what;
        std::string strings, licence;
        std::string title, licenceOut;  // as the medium holds them afterwards
    };
    const Input inputs[] = {
        {"UTF-8", withLine("STR_APP_TITLE", title), "Fa\xC3\xA7ons\n", "Caf\xE9 Setup", "Fa\xE7ons\n"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + withLine("STR_APP_TITLE", title), "\xEF\xBB\xBFTerms.\r\n", "Caf\xE9 Setup",
         "Terms.\r\n"},
        {"UTF-16 with CRLF", utf16le(std::string("# comment\r\n") + GoodStrings), utf16le("Terms.\r\n"),
         "Test Game Setup", "Terms.\r\n"},
        {"code page 1252", withLine("STR_APP_TITLE", "STR_APP_TITLE Caf\xE9 Setup"), "Fa\xE7ons\n", "Caf\xE9 Setup",
         "Fa\xE7ons\n"},
        {"Russian", withLine("LNG_CHARSET", "LNG_CHARSET RUSSIAN_CHARSET") + "TXT_X \xD0\x96\n", "\xD0\x96\n",
         "Test Game Setup", "\xC6\n"},
    };
    for (const Input& input : inputs) {
        SCOPED_TRACE(input.what);
        writeFile(medium / "Media" / "strings.txt", input.strings);
        writeFile(medium / "Media" / "license.txt", input.licence);
        MediumReport report;
        convertTexts(medium, report);
        EXPECT_TRUE(report.ok()) << testing::PrintToString(report.problems);
        MediumReport checked = check();
        EXPECT_TRUE(checked.ok()) << testing::PrintToString(checked.problems);
        ResStringTable table;
        ASSERT_TRUE(table.load((medium / "Media" / "strings.txt").string().c_str()));
        EXPECT_EQ(table.text("STR_APP_TITLE"), input.title);
        EXPECT_EQ(table.text("#"), std::string());  // comments are left out
        EXPECT_EQ(readFile(medium / "Media" / "license.txt"), input.licenceOut);
    }
}

TEST_F(MediumTest, TextsThatCannotBeWrittenGetOneMessageEach) {
    struct Bad {
        const char* what;
        std::string strings;
        std::vector<std::string> fragments;
    };
    const Bad bads[] = {
        {"a letter of another code page",
         withLine("MSG_MB", "MSG_MB \xD0\x9C\xD0\x91"),
         {"line 14", "MSG_MB", "U+041C", "code page 1252", "ANSI_CHARSET"}},
        {"UTF-16 without byte-order mark", utf16le(GoodStrings).substr(2), {"UTF-16 without a byte-order mark"}},
    };
    for (const Bad& bad : bads) {
        SCOPED_TRACE(bad.what);
        writeFile(medium / "Media" / "strings.txt", bad.strings);
        MediumReport report;
        convertTexts(medium, report);
        ASSERT_EQ(report.problems.size(), 1u) << testing::PrintToString(report.problems);
        for (const std::string& fragment : bad.fragments)
            EXPECT_NE(report.problems[0].find(fragment), std::string::npos) << report.problems[0];
    }
}

TEST_F(MediumTest, MisspeltKeysAndIdentityAreTold) {
    writeFile(medium / "Media" / "strings.txt", withLine("STR_PRODUCT_NAM", "STR_PRODUCT_NAM Inkwell"));
    MediumReport report = check();
    EXPECT_TRUE(report.ok());
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("Did you mean STR_PRODUCT_NAME?"), std::string::npos) << report.warnings[0];

    setString("PATH_GAME_DIR", "Maker\\Caf\xE9");
    report = check();
    EXPECT_TRUE(report.ok());
    EXPECT_NE(testing::PrintToString(report.notes).find("another code page"), std::string::npos);

    const std::pair<std::string, std::string> bad[] = {
        {"PATH_REGISTRY_KEY SOFTWARE\\Microsoft\\Windows", "belongs to Windows"},
        {"PATH_REGISTRY_KEY Games\\Mine", "SOFTWARE\\Maker\\Product"},
        {"STR_PUBLISHER Ink\\Well", "must not hold a backslash"},
        {"TXT_DESKTOP_ICON_DESCR Play?", "desktop shortcut"},
    };
    for (const auto& [line, fragment] : bad) {
        SCOPED_TRACE(line);
        writeFile(medium / "Media" / "strings.txt", std::string(GoodStrings) + line + "\n");
        expectProblem({fragment});
    }
}

TEST_F(MediumTest, PngAndJpegPicturesBecomeTheTgaSetupReads) {
    // A PNG with transparency for a caption, an opaque PNG and a JPEG for slides.
    Pixels caption;
    caption.width = 40, caption.height = 20;
    caption.bgra.assign(40 * 20 * 4, 0);
    for (int x = 0; x < 40; ++x) caption.bgra[(0 * 40 + x) * 4 + 3] = 255;  // the top row: opaque black
    Pixels slide = caption;
    slide.width = 453, slide.height = 211;
    slide.bgra.assign(size_t(453) * 211 * 4, 255);
    fs::remove(medium / "Media" / "text_install.tga");
    fs::remove(medium / "Media" / "01.tga");
    fs::remove(medium / "Media" / "02.tga");
    ASSERT_TRUE(writePng(medium / "Media" / "text_install.png", caption));
    ASSERT_TRUE(writePng(medium / "Media" / "01.png", slide));
    ASSERT_EQ(std::system(("convert -size 453x211 xc:red '" + (medium / "Media" / "02.jpg").string() + "'").c_str()),
              0);

    MediumReport report;
    convertPictures(medium / "Media", report);
    EXPECT_TRUE(report.ok()) << testing::PrintToString(report.problems);
    EXPECT_TRUE(check().ok()) << testing::PrintToString(check().problems);
    EXPECT_FALSE(fs::exists(medium / "Media" / "01.png"));

    GuiImage image;
    ASSERT_TRUE(image.loadTga((medium / "Media" / "text_install.tga").string()));
    EXPECT_EQ(image.getFormat(), GUI_FORMAT_32);
    EXPECT_EQ(image.getData(0, 19)[3], 255);  // the top row is the last stored
    EXPECT_EQ(image.getData(0, 0)[3], 0);
    ASSERT_TRUE(image.loadTga((medium / "Media" / "02.tga").string()));
    EXPECT_EQ(image.getFormat(), GUI_FORMAT_24);
    EXPECT_GT(image.getData(5, 5)[2], 240);  // red
}

TEST_F(MediumTest, PicturesThatAreNotWhatTheirNameSaysAreNamedAsWhatTheyAre) {
    Pixels picture;
    picture.width = 550, picture.height = 400;
    picture.bgra.assign(size_t(550) * 400 * 4, 255);
    ASSERT_TRUE(writePng(root / "back.png", picture));
    fs::copy_file(root / "back.png", medium / "Media" / "back_options.tga", fs::copy_options::overwrite_existing);
    expectProblem({"back_options.tga", "this is a PNG picture"});

    ASSERT_TRUE(writePng(medium / "Media" / "back_options.png", picture));
    MediumReport report;
    convertPictures(medium / "Media", report);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("back_options.tga and back_options.png"), std::string::npos);
}

TEST(MediumTemplate, InitWritesAMediumThatPassesTheCheck) {
    const fs::path root = fs::absolute("template_test");
    fs::remove_all(root);
    std::string error;
    ASSERT_TRUE(writeMediumTemplate(root / "medium", error)) << error;
    EXPECT_FALSE(writeMediumTemplate(root / "medium", error));  // not empty any more

    const fs::path staged = root / "staged";
    fs::copy(root / "medium", staged, fs::copy_options::recursive);
    MediumReport report;
    convertTexts(staged, report);
    convertPictures(staged / "Media", report);
    checkMedium(staged, report);
    EXPECT_TRUE(report.ok()) << testing::PrintToString(report.problems);
    EXPECT_TRUE(report.warnings.empty()) << testing::PrintToString(report.warnings);
}

TEST(MediumCatalogue, HelpAndReadmeNameEveryPictureKeyAndCharacterSet) {
    const std::string readme = readFile(fs::path(QUILL_SOURCE_DIR) / "README.md");
    const std::string help = catalogueHelp();
    std::vector<std::string> names;
    for (const medium::Picture* picture : medium::PICTURES) names.push_back(medium::pictureName(*picture));
    for (const medium::Key& key : medium::KEYS) names.push_back(key.name);
    for (const medium::Charset& charset : medium::CHARSETS) names.push_back(charset.name);
    for (const medium::Cue* cue : medium::CUES) names.push_back(fs::path(shownName(cue->file)).filename().string());
    for (const std::string& name : names) {
        EXPECT_NE(help.find(name), std::string::npos) << name << " is not in --help";
        EXPECT_NE(readme.find(name), std::string::npos) << name << " is not in README.md";
    }
}

TEST(MediumPreview, BitmapsOfTheScreensMakeOneSheet) {
    // A 2 x 1 bitmap as setup's preview writes it: bottom row first, rows padded to 4 bytes.
    std::string bmp = "BM" + std::string(52, '\0');
    bmp[10] = 54, bmp[14] = 40, bmp[18] = 2, bmp[22] = 1, bmp[26] = 1, bmp[28] = 24;
    bmp += std::string("\x01\x02\x03\x04\x05\x06\0\0", 8);
    Pixels screen;
    ASSERT_TRUE(readPreviewBitmap(bmp, screen));
    EXPECT_EQ(screen.bgra, (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
    EXPECT_FALSE(readPreviewBitmap(bmp.substr(0, 60), screen));

    Pixels sheet = contactSheet({screen, screen, screen});
    EXPECT_EQ(sheet.width, 2 * 2 + 3 * 8);
    EXPECT_EQ(sheet.height, 2 * 1 + 3 * 8);
    EXPECT_EQ(sheet.bgra[(size_t(8) * sheet.width + 8) * 4], 1);  // the first screen at the gap's corner
}
