// Tests of install.log: the bytes the writer puts on disk and what the reader gives back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "installlog.h"

namespace {

const std::string kLog = "install.log";

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> readBack(const std::string& bytes) {
    putBytes(kLog, bytes);
    std::vector<std::string> entries{"stale"};
    EXPECT_TRUE(readInstallLog(kLog, entries));
    return entries;
}

}  // namespace

TEST(InstallLog, WritesOneCrLfLinePerEntryInOrderAndReadsThemBack) {
    const std::vector<std::string> entries = {
        "C:\\Games\\Quillmark Demo\\", "Data", "Data\\a.dat", "C:\\Games\\Quillmark Demo\\", "Data\\a.dat",
        "Media\\\xC8\xE0.txt",         "Media"};
    ASSERT_TRUE(writeInstallLog(kLog, entries));
    EXPECT_EQ(fileBytes(kLog),
              "C:\\Games\\Quillmark Demo\\\r\nData\r\nData\\a.dat\r\nC:\\Games\\Quillmark Demo\\\r\n"
              "Data\\a.dat\r\nMedia\\\xC8\xE0.txt\r\nMedia\r\n");
    std::vector<std::string> read;
    ASSERT_TRUE(readInstallLog(kLog, read));
    EXPECT_EQ(read, entries);

    // A second write truncates; an empty list gives an empty file and no entries.
    ASSERT_TRUE(writeInstallLog(kLog, {}));
    EXPECT_EQ(fileBytes(kLog), "");
    EXPECT_TRUE(readBack("").empty());
}

TEST(InstallLog, WriterLeavesOutEntriesThatWouldBreakTheLineFormat) {
    ASSERT_TRUE(writeInstallLog(kLog, {"a", "b\nC:\\Windows\\x", "c\r", std::string("d\0e", 3), "f"}));
    EXPECT_EQ(fileBytes(kLog), "a\r\nf\r\n");
}

TEST(InstallLog, OpenFailuresAreReported) {
    std::vector<std::string> entries{"stale"};
    EXPECT_FALSE(writeInstallLog("no-such-folder/install.log", {"a"}));
    EXPECT_FALSE(readInstallLog("no-such-folder/install.log", entries));
    EXPECT_TRUE(entries.empty());
}

TEST(InstallLog, LinesOfTwoHundredSixtyCharactersOrMoreAreSkippedWhole) {
    const std::string l259(259, 'b'), l260(260, 'c');
    const std::string tail = "C:\\Windows\\victim.txt";
    std::vector<std::string> entries;
    size_t skipped = 99;
    putBytes(kLog, l259 + "\r\n" + l260 + "\r\nx\r\n" + std::string(259, 'd') + tail + "\r\n" + l259 + "\r\r\r\n" +
                       std::string(300, '\r') + "\n" + std::string(258, 'e') + "\r\r" + "f");
    ASSERT_TRUE(readInstallLog(kLog, entries, &skipped));
    // Trailing CRs belong to the line end; CRs followed by more text count.
    EXPECT_EQ(entries, (std::vector<std::string>{l259, "x", l259, ""}));
    EXPECT_EQ(skipped, 3u);
    // What the writer writes, the reader reads back whole.
    ASSERT_TRUE(writeInstallLog(kLog, {l259, "y"}));
    ASSERT_TRUE(readInstallLog(kLog, entries, &skipped));
    EXPECT_EQ(entries, (std::vector<std::string>{l259, "y"}));
    EXPECT_EQ(skipped, 0u);
    EXPECT_EQ(readBack(l260), std::vector<std::string>{});
}

TEST(InstallLog, LineEndsAndEmptyLines) {
    EXPECT_EQ(readBack("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(readBack("a\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(readBack("a\r\n\r\n\nb\r\r\n"), (std::vector<std::string>{"a", "", "", "b"}));
    // A lone CR is no line end; trailing ones go.
    EXPECT_EQ(readBack("a\rb\r"), (std::vector<std::string>{"a\rb"}));
}

TEST(InstallLog, GarbageIsReadLineByLineWithoutCuttingEntriesShort) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) % 256));
    putBytes(kLog, garbage);
    std::vector<std::string> entries;
    size_t skipped = 0;
    ASSERT_TRUE(readInstallLog(kLog, entries, &skipped));
    for (const std::string& e : entries) EXPECT_LE(e.size(), INSTALL_LOG_LONGEST_LINE);
    // Every line is either an entry or skipped whole.
    size_t lines = std::count(garbage.begin(), garbage.end(), '\n') + (garbage.back() != '\n');
    EXPECT_EQ(entries.size() + skipped, lines);
    EXPECT_EQ(readBack(std::string("Data\\a\0.dat\r\n", 13)),
              (std::vector<std::string>{std::string("Data\\a\0.dat", 11)}));
}

TEST(InstallLog, RemovalStaysInsideThePlacesSetupWritesTo) {
    const InstallPlaces places{"C:\\Games\\Quill Demo", "C:\\Users\\Zo\xEB\\Desktop",
                               "C:\\Users\\Zo\xEB\\Start Menu\\Programs\\"};
    struct Case {
        std::string entry, path;
        std::vector<std::string> enclosing;
    };
    const Case cases[] = {
        // Relative entries join the folder; their own folders go when empty.
        {"", "C:\\Games\\Quill Demo//", {}},
        {"Data\\Sub\\a.dat",
         "C:\\Games\\Quill Demo//Data\\Sub\\a.dat",
         {"C:\\Games\\Quill Demo//Data\\Sub", "C:\\Games\\Quill Demo//Data"}},
        {"a..b\\c", "C:\\Games\\Quill Demo//a..b\\c", {"C:\\Games\\Quill Demo//a..b"}},
        {"\\Windows\\x", "C:\\Games\\Quill Demo//\\Windows\\x", {"C:\\Games\\Quill Demo//\\Windows"}},
        // Absolute entries inside the installation folder, in any letter case.
        {"C:\\Games\\Quill Demo\\", "C:\\Games\\Quill Demo\\", {}},
        {"c:/games/QUILL DEMO/Media/x.txt", "c:/games/QUILL DEMO/Media/x.txt", {"c:/games/QUILL DEMO/Media"}},
        // Shortcuts and the program group below the desktop and programs folders;
        // the group's parent goes with it when empty, the programs folder never.
        {"C:\\Users\\Zo\xEB\\Desktop\\Quill Demo.lnk", "C:\\Users\\Zo\xEB\\Desktop\\Quill Demo.lnk", {}},
        {"C:\\Users\\Zo\xEB\\Start Menu\\Programs\\Orvanta\\Quill Demo\\",
         "C:\\Users\\Zo\xEB\\Start Menu\\Programs\\Orvanta\\Quill Demo\\",
         {"C:\\Users\\Zo\xEB\\Start Menu\\Programs\\Orvanta"}},
        {"C:\\Users\\Zo\xEB\\Start Menu\\Programs\\\\Site.URL",
         "C:\\Users\\Zo\xEB\\Start Menu\\Programs\\\\Site.URL",
         {}},
    };
    for (const Case& c : cases) {
        EntryRemoval removal = planRemoval(c.entry, places);
        EXPECT_EQ(removal.path, c.path) << c.entry;
        EXPECT_EQ(removal.enclosingFolders, c.enclosing) << c.entry;
    }
    for (const char* skipped :
         {// ".." anywhere, relative or absolute
          "..", "..\\x", "Data\\..\\..\\x", "Data/../x", "Data\\...\\x", "Data\\.. \\x", "a\\..", "a\\. .\\b",
          "C:\\Games\\Quill Demo\\..\\x.dll", "C:\\Users\\Zo\xEB\\Desktop\\..\\x.lnk",
          // outside the places, or not a shortcut or folder, or the place itself
          "C:\\Windows\\win.ini", "C:\\Games\\Quill Demo2\\a", "D:\\x.lnk", "C:\\Users\\Zo\xEB\\Desktop\\notes.txt",
          "C:\\Users\\Zo\xEB\\Desktop\\", "C:\\Users\\Zo\xEB\\Start Menu\\Programs\\\\",
          "C:\\Users\\Zo\xEB\\Desktop\\a.lnk.exe", "C:\\Users\\Zo\xEB\\Desktop\\a.lnk:evil.lnk"})
        EXPECT_EQ(planRemoval(skipped, places).path, "") << skipped;
    EXPECT_EQ(planRemoval(std::string("C:\\Games\\Quill Demo\\a\0b", 23), places).path, "");
    EXPECT_EQ(planRemoval(std::string("a\0b", 3), places).path, "");
    // Unknown shell folders match nothing; a root folder holds everything on its drive.
    EXPECT_EQ(planRemoval("C:\\Users\\x.lnk", InstallPlaces{"Q:\\Game", "", ""}).path, "");
    EXPECT_EQ(planRemoval("Q:\\anything", InstallPlaces{"Q:\\", "", ""}).path, "Q:\\anything");
}
