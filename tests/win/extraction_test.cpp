// The installation worker over the real unrar.dll: packages written by the RAR
// writer and real compressed archives, checked on the disk, in the log lines and
// in the boxes the user sees; damaged, cancelled and never-ending packages leave
// nothing behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/workerfixture.h"
#include "tests/common/rarmanifest.h"
#include "tools/mkmedium/rarwriter.h"

namespace {

using wintest::exists;
using wintest::finishCalls;
using wintest::Lines;

const std::string TestData = std::string(QUILL_TEST_DATA) + "/rar/";
const char UNPACK_ERROR_PREFIX[] = "Unpack error. Code: ";

struct Item {
    std::string name;  // UTF-8, '/' between components
    std::string content;
    bool folder = false;
};

Item folder(const std::string& name) { return {name, "", true}; }

// A package of stored entries; `corrupt` names the entry that gets a wrong CRC.
void writePackage(const std::string& path, const std::vector<Item>& items, const std::string& corrupt = "") {
    RarWriter writer(path);
    if (!corrupt.empty()) writer.corruptCrcOf(corrupt);
    for (const Item& item : items) {
        bool added = item.folder ? writer.addFolder(item.name)
                                 : writer.addBytes(item.name, item.content.data(), item.content.size());
        ASSERT_TRUE(added) << writer.error();
    }
    ASSERT_TRUE(writer.finish()) << writer.error();
}

// A package of large files of a repeating pattern, streamed rather than held.
void writeLargePackage(const std::string& path, const std::vector<std::pair<std::string, uint64_t>>& files,
                       const std::string& trailingFolder = "") {
    RarWriter writer(path);
    for (const auto& file : files) {
        uint64_t left = file.second;
        bool added = writer.addStream(
            file.first, file.second,
            [&left](char* buffer, size_t size) {
                size_t n = left < size ? static_cast<size_t>(left) : size;
                for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(i * 7);
                left -= n;
                return n;
            },
            0);
        ASSERT_TRUE(added) << writer.error();
    }
    if (!trailingFolder.empty()) {
        ASSERT_TRUE(writer.addFolder(trailingFolder));
    }
    ASSERT_TRUE(writer.finish()) << writer.error();
}

std::string windowsName(std::string name) {
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

ManifestArchive manifestOf(const std::string& name) {
    for (const ManifestArchive& archive : readRarManifest(TestData + "MANIFEST.tsv"))
        if (archive.name == name) return archive;
    return {};
}

class Extraction : public wintest::WorkerFixture {
protected:
    Extraction() : WorkerFixture(QUILL_UNRAR_DLL) {}

    std::string contentOf(const std::string& entry) const { return wintest::readFile(installDir + "\\" + entry); }
};

// The main package, numbered packages across a gap up to 127 (one with nothing in
// it, two real compressed archives), data128.pak ignored: every entry on the disk
// with its content, logged in archive order, the counts exact and no box.
TEST_F(Extraction, PackagesInOrderWithTheirContents) {
    const std::string game(300000, 'g');
    writePackage("game.rar", {{"Bin/game.exe", game},
                              {"Bin/Data/Levels/one.lvl", "level one"},
                              {"Bin/empty.txt", ""},
                              folder("Bin/Data/Levels"),
                              folder("Bin/Data"),
                              folder("Bin"),
                              {"same.txt", "main!"}});
    writePackage("data0.pak", {{"same.txt", "pak"}, {"zero.txt", "0"}});
    const ManifestArchive rar5 = manifestOf("test_read_format_rar5_compressed.rar");
    const ManifestArchive rar4 = manifestOf("test_read_format_rar_filter.rar");
    ASSERT_FALSE(rar5.entries.empty());
    ASSERT_FALSE(rar4.entries.empty());
    ASSERT_TRUE(CopyFileA((TestData + rar5.name).c_str(), "data2.pak", FALSE));
    writePackage("data3.pak", {});
    ASSERT_TRUE(CopyFileA((TestData + rar4.name).c_str(), "data4.pak", FALSE));
    writePackage("data127.pak", {{"last.txt", "127"}});
    writePackage("data128.pak", {{"never.txt", "128"}});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    Lines expected{folderLine(),
                   "Bin\\game.exe",
                   "Bin\\Data\\Levels\\one.lvl",
                   "Bin\\empty.txt",
                   "Bin\\Data\\Levels",
                   "Bin\\Data",
                   "Bin",
                   "same.txt",
                   folderLine(),
                   "same.txt",
                   "zero.txt"};
    int64_t total = static_cast<int64_t>(game.size()) + 9 + 5 + 3 + 1 + 3;
    for (const ManifestArchive* real : {&rar5, static_cast<const ManifestArchive*>(nullptr), &rar4}) {
        expected.push_back(folderLine());  // nullptr: data3.pak, nothing in it
        if (real == nullptr) continue;
        for (const ManifestEntry& entry : real->entries) {
            expected.push_back(windowsName(entry.path));
            total += static_cast<int64_t>(entry.size);
        }
    }
    expected.insert(expected.end(), {folderLine(), "last.txt"});
    EXPECT_EQ(installApp.logEntries, expected);

    EXPECT_TRUE(answerer.texts().empty()) << answerer.texts().front();
    EXPECT_TRUE(installApp.extractionDone);
    EXPECT_FALSE(installApp.cancelRequested);
    EXPECT_FALSE(installApp.cancelPrompting);
    EXPECT_FALSE(installApp.finishing);
    EXPECT_EQ(finishCalls, 1);
    EXPECT_EQ(packagesTotal, total);
    EXPECT_EQ(bytesDone, total);
    EXPECT_FLOAT_EQ(installApp.progressScreen.getProgress(), 1.0f);

    EXPECT_EQ(contentOf("Bin\\game.exe"), game);
    EXPECT_EQ(contentOf("Bin\\Data\\Levels\\one.lvl"), "level one");
    EXPECT_TRUE(exists(installDir + "\\Bin\\empty.txt"));
    EXPECT_EQ(contentOf("Bin\\empty.txt"), "");
    EXPECT_EQ(contentOf("same.txt"), "pak") << "a later package overwrites";
    EXPECT_EQ(contentOf("last.txt"), "127");
    EXPECT_FALSE(exists(installDir + "\\never.txt"));
    for (const ManifestArchive* real : {&rar5, &rar4}) {
        for (const ManifestEntry& entry : real->entries) {
            SCOPED_TRACE(real->name + ": " + entry.path);
            std::string path = installDir + "\\" + windowsName(entry.path);
            if (entry.type == "file") {
                EXPECT_EQ(sha256File(std::filesystem::u8path(path)), entry.sha256);
            } else {
                EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
            }
        }
    }
}

// Names come from the library in the OEM code page and are logged in the ANSI
// one, so the log names the files that are on the disk. Runs where the OEM code
// page holds the Cyrillic letters (the test is started in a Russian locale).
TEST_F(Extraction, CyrillicNamesAreLoggedInTheAnsiCodePage) {
    if (GetOEMCP() != 866) GTEST_SKIP() << "needs OEM code page 866 (LC_ALL=ru_RU.UTF-8)";
    writePackage("game.rar", {{"Игра/Сохранения/карта.txt", "map"}, folder("Игра/Сохранения"), folder("Игра")});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    auto ansi = [](const wchar_t* wide) {
        char szAnsi[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, wide, -1, szAnsi, sizeof szAnsi, nullptr, nullptr);
        return std::string(szAnsi);
    };
    const std::string file = ansi(L"Игра\\Сохранения\\карта.txt");
    EXPECT_EQ(installApp.logEntries, (Lines{folderLine(), file, ansi(L"Игра\\Сохранения"), ansi(L"Игра")}));
    EXPECT_EQ(contentOf(file), "map");
    EXPECT_EQ(answerer.texts(), Lines{});
    EXPECT_TRUE(installApp.extractionDone);
}

// A damaged entry in a numbered package: one box naming it, no further package
// opened, everything of both packages removed and the folder with it.
TEST_F(Extraction, CorruptEntryInNumberedPackageRollsBackEverything) {
    writePackage("game.rar", {{"Data/main.bin", std::string(70000, 'm')}, folder("Data")});
    writePackage("data0.pak",
                 {{"Data/a.bin", std::string(1000, 'a')}, {"Data/b.bin", std::string(1000, 'b')}, {"Data/c.bin", "c"}},
                 "Data/b.bin");
    writePackage("data1.pak", {{"d.bin", "d"}});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(answerer.texts(), (Lines{"Unpack error. Code: 12 (File:Data\\b.bin). Installation will not proceed\n"}));
    EXPECT_TRUE(installApp.cancelRequested);
    EXPECT_EQ(installApp.logEntries,
              (Lines{folderLine(), "Data\\main.bin", "Data", folderLine(), "Data\\a.bin", "Data\\b.bin"}));
    expectRolledBack();
}

// A damaged main package: its box, then the same rollback and finishing, so the
// user is back on the welcome screen with nothing on the disk.
TEST_F(Extraction, FailedMainPackageIsRolledBackAndFinished) {
    writePackage("game.rar", {{"Sub/one.bin", "one"}, {"Sub/two.bin", "two"}}, "Sub/two.bin");
    writePackage("data0.pak", {{"zero.bin", "0"}});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(answerer.texts(), (Lines{"Unpack error. Code: 12 (File:Sub\\two.bin). Installation will not proceed\n"}));
    EXPECT_EQ(installApp.logEntries, (Lines{folderLine(), "Sub\\one.bin", "Sub\\two.bin"}));
    expectRolledBack();
}

// A cancel confirmed while the third package extracts: no box, the entry abandoned,
// no later package opened, every listed entry and the folder removed.
TEST_F(Extraction, CancelInTheThirdPackageRemovesAllOfIt) {
    const uint64_t MB = 1 << 20;
    writeLargePackage("game.rar", {{"main.bin", MB}});
    writeLargePackage("data0.pak", {{"Data/zero.bin", MB}}, "Data");
    // Folders listed after their files: only the second pass can remove them.
    std::vector<std::pair<std::string, uint64_t>> third;
    for (int i = 0; i < 24; ++i) third.push_back({"Data/Sub/f" + std::to_string(i), MB});
    writeLargePackage("data1.pak", third, "Data/Sub");
    writePackage("data3.pak", {{"later.bin", "later"}});
    const float thirdStarts = 2.0f / 26.0f;

    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    float progressAtCancel = cancelPast(thirdStarts + 0.05f);

    ASSERT_GT(progressAtCancel, thirdStarts);
    ASSERT_LT(progressAtCancel, 1.0f);
    EXPECT_TRUE(answerer.texts().empty()) << answerer.texts().front();
    EXPECT_TRUE(installApp.cancelRequested);
    EXPECT_EQ(installApp.logEntries.back().rfind("Data\\Sub\\f", 0), 0u) << "the cancel did not stop the third package";
    for (const std::string& entry : installApp.logEntries) EXPECT_NE(entry, "later.bin");
    expectRolledBack();
}

// While the cancel question is open the extraction stands still; "No" lets it go on.
TEST_F(Extraction, OpenCancelQuestionHaltsTheExtraction) {
    writeLargePackage("game.rar", {{"big.bin", 64 << 20}});
    HANDLE thread = nullptr;
    runWorker(thread);
    while (installApp.cancelPrompting || installApp.progressScreen.getProgress() <= 0.0f) Sleep(0);
    installApp.cancelPrompting = true;
    Sleep(50);
    float halted = installApp.progressScreen.getProgress();
    Sleep(300);
    EXPECT_EQ(installApp.progressScreen.getProgress(), halted);
    EXPECT_LT(halted, 1.0f);
    installApp.cancelPrompting = false;  // answered No: the extraction goes on
    waitForWorker(thread);
    EXPECT_TRUE(installApp.extractionDone);
    EXPECT_FLOAT_EQ(installApp.progressScreen.getProgress(), 1.0f);
}

// Packages that make the extraction library of this version spin for ever when it
// is used bare: the worker ends with one error box, rolls back and finishes.
TEST_F(Extraction, PackagesThatHangTheReaderEndWithAnError) {
    int tried = 0;
    for (const ManifestArchive& archive : readRarManifest(TestData + "MANIFEST.tsv")) {
        if (archive.kind.rfind("malformed-hangs", 0) != 0) continue;
        SCOPED_TRACE(archive.name);
        ++tried;
        TearDown();
        SetUp();
        writePackage("game.rar", {{"main.txt", "main"}});
        ASSERT_TRUE(CopyFileA((TestData + archive.name).c_str(), "data0.pak", FALSE));
        wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
        runWorkerToEnd();
        Lines boxes = answerer.stop();
        // Measuring only lists the entries; extracting meets the damage once.
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind(UNPACK_ERROR_PREFIX, 0), 0u) << boxes[0];
        expectRolledBack();
    }
    EXPECT_GT(tried, 0);
}

// A full disk (drive Q:, a small tmpfs): one box that says so and names the
// entry, nothing left.
TEST_F(Extraction, FullDiskGivesOneErrorAndLeavesNothing) {
    if (GetDriveTypeA("Q:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no small drive Q: (needs the tmpfs fixture)";
    installDir = "Q:\\Quillmark Demo";
    installApp.installDir = installDir;
    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    writePackage("game.rar", {{"small.bin", std::string(1000, 's')}});
    writeLargePackage("data0.pak", {{"Big/large.bin", 8 << 20}}, "Big");
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(answerer.texts(),
              (Lines{"The disk is full: there is no room for Q:\\Quillmark Demo\\Big\\large.bin.\n"
                     "Unpack error. Code: 19 (File:Big\\large.bin). Installation will not proceed\n"}));
    EXPECT_EQ(finishCalls, 1);
    EXPECT_FALSE(installApp.extractionDone);
    EXPECT_FALSE(exists(installDir));
    EXPECT_EQ(countEntries("Q:"), 0);
}

}  // namespace
