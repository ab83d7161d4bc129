// Tests of install.log: the bytes the writer puts on disk and what the reader gives back.
#include <gtest/gtest.h>

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

TEST(InstallLog, LongLinesAreReadThroughTheLineBuffer) {
    const std::string l258(258, 'a'), l259(259, 'b'), l600(600, 'c');
    EXPECT_EQ(readBack(l258 + "\r\nx\r\n"), (std::vector<std::string>{l258, "x"}));
    EXPECT_EQ(readBack(l259 + "\r\nx\r\n"), (std::vector<std::string>{l259, "", "x"}));
    EXPECT_EQ(readBack(l600 + "\r\n"),
              (std::vector<std::string>{std::string(259, 'c'), std::string(259, 'c'), std::string(82, 'c')}));
    // A CR LF that straddles the end of the buffer still counts as one line feed.
    EXPECT_EQ(readBack(std::string(258, 'd') + "\r\n"), (std::vector<std::string>{std::string(258, 'd')}));
    // What the writer writes, the reader splits the same way.
    ASSERT_TRUE(writeInstallLog(kLog, {l258, l259}));
    std::vector<std::string> read;
    ASSERT_TRUE(readInstallLog(kLog, read));
    EXPECT_EQ(read, (std::vector<std::string>{l258, l259, ""}));
}

TEST(InstallLog, LineEndsAndEmptyLines) {
    EXPECT_EQ(readBack("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(readBack("a\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(readBack("a\r\n\r\n\nb\r\r\n"), (std::vector<std::string>{"a", "", "", "b"}));
    // A lone CR is no line end; trailing ones go.
    EXPECT_EQ(readBack("a\rb\r"), (std::vector<std::string>{"a\rb"}));
}

TEST(InstallLog, GarbageIsReadByteForByteWithoutCuttingEntriesShort) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) % 256));
    putBytes(kLog, garbage);
    std::vector<std::string> entries;
    ASSERT_TRUE(readInstallLog(kLog, entries));
    size_t bytes = 0;
    for (const std::string& e : entries) {
        EXPECT_LE(e.size(), 259u);
        bytes += e.size();
    }
    EXPECT_GT(bytes, 3500u);
    EXPECT_EQ(readBack(std::string("Data\\a\0.dat\r\n", 13)),
              (std::vector<std::string>{std::string("Data\\a\0.dat", 11)}));
}

TEST(InstallLog, ClassifiesEntriesForTheUninstaller) {
    EXPECT_EQ(classifyLogEntry("C:\\Games\\Quillmark Demo\\"), LogEntryKind::Absolute);
    EXPECT_EQ(classifyLogEntry("D:\\..\\x.lnk"), LogEntryKind::Absolute);
    EXPECT_EQ(classifyLogEntry("C:\\a"), LogEntryKind::Absolute);
    EXPECT_EQ(classifyLogEntry("C:\\"), LogEntryKind::Relative);  // too short to count as absolute
    for (const char* relative : {"", "Data", "Data\\a.dat", "a..b\\c", "..a", "Media\\.", "\\Windows\\x"})
        EXPECT_EQ(classifyLogEntry(relative), LogEntryKind::Relative) << relative;
    for (const char* climbing :
         {"..", "..\\x", "Data\\..\\..\\x", "Data/../x", "Data\\...\\x", "Data\\.. \\x", "a\\..", "a\\. .\\b"})
        EXPECT_EQ(classifyLogEntry(climbing), LogEntryKind::Unsafe) << climbing;
    EXPECT_EQ(classifyLogEntry(std::string("C:\\a\0b", 6)), LogEntryKind::Unsafe);
}
