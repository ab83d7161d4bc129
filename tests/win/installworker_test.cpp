// The installation worker on a temporary medium: which packages it reads and in
// what order, what it logs, the progress it reports, and what a cancel or a failed
// entry leaves on the disk (nothing) and on screen (exactly one box, or none).
#include "installworker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "installapp.h"
#include "support/wintest.h"
#include "resstringtable.h"

namespace {

using Lines = std::vector<std::string>;

// How often the worker handed over to finishing in the current test.
int finishCalls = 0;

std::string currentDirectory() {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Writes a package for the stand-in library: one line per entry (see fakeunrar.cpp).
void writePackage(const std::string& path, const Lines& entries) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("FAKERAR\n", file);
    for (const std::string& entry : entries) std::fprintf(file, "%s\n", entry.c_str());
    std::fclose(file);
}

// A medium folder with the string table and the library, made current for the
// test, and an empty installation folder chosen below a parent that stays.
class InstallWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = currentDirectory();
        medium = home + "\\medium";
        target = home + "\\target";
        // The medium stays between tests: the loaded library cannot be deleted.
        removePackages();
        removeTree(target);
        CreateDirectoryA(medium.c_str(), nullptr);
        CreateDirectoryA((medium + "\\Media").c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        FILE* strings = std::fopen((medium + "\\Media\\strings.txt").c_str(), "wb");
        ASSERT_NE(strings, nullptr);
        std::fputs("PATH_SOURCE game.rar\r\n", strings);
        std::fclose(strings);
        if (!exists(medium + "\\unrar.dll")) {
            ASSERT_TRUE(CopyFileA(QUILL_FAKE_UNRAR, (medium + "\\unrar.dll").c_str(), TRUE));
        }
        ASSERT_TRUE(SetCurrentDirectoryA(medium.c_str()));
        ASSERT_TRUE(stringTable.load("Media\\strings.txt"));
        ASSERT_TRUE(loadUnrarLibrary());
        installDir = target + "\\Quillmark Demo";
        installApp.installDir = installDir;
        ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
        installApp.extractionDone = true;  // the worker must clear what it finds
        installApp.cancelRequested = true;
        installApp.cancelPrompting = true;
        installApp.finishing = true;
        installApp.progressScreen.start();
        finishCalls = 0;
        finishStep = [] { ++finishCalls; };
    }

    void TearDown() override {
        SetCurrentDirectoryA(home.c_str());
        removePackages();
        removeTree(target);
    }

    void removePackages() {
        for (const char* pattern : {"\\*.rar", "\\*.pak"}) {
            WIN32_FIND_DATAA found;
            HANDLE search = FindFirstFileA((medium + pattern).c_str(), &found);
            if (search == INVALID_HANDLE_VALUE) continue;
            do DeleteFileA((medium + "\\" + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }

    // Runs the worker on its own thread, as the installation does; fails after a minute.
    void runWorker(HANDLE& thread) {
        thread = CreateThread(nullptr, 0, installWorker, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
    }
    void waitForWorker(HANDLE thread) {
        ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0) << "the worker did not end";
        CloseHandle(thread);
    }
    void runWorkerToEnd() {
        HANDLE thread = nullptr;
        runWorker(thread);
        waitForWorker(thread);
    }

    // The state a failed or cancelled run leaves: finishing reached, nothing installed.
    void expectRolledBack() {
        EXPECT_EQ(finishCalls, 1);
        EXPECT_FALSE(installApp.extractionDone);
        EXPECT_FALSE(exists(installDir)) << "the installation folder was not removed";
        EXPECT_TRUE(exists(target));
    }

    std::string folderLine() const { return installDir + "\\"; }

    std::string home, medium, target, installDir;
};

TEST_F(InstallWorkerTest, MainPackageOnlyIsExtractedAndLogged) {
    writePackage("game.rar", {"Bin\\game.exe\t100000", "Bin\tdir", "readme.txt\t10"});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(installApp.logEntries, (Lines{folderLine(), "Bin\\game.exe", "Bin", "readme.txt"}));
    EXPECT_TRUE(installApp.extractionDone);
    EXPECT_FALSE(installApp.cancelRequested);
    EXPECT_FALSE(installApp.cancelPrompting);
    EXPECT_FALSE(installApp.finishing);
    EXPECT_EQ(finishCalls, 1);
    EXPECT_TRUE(exists(installDir + "\\Bin\\game.exe"));
    EXPECT_EQ(packagesTotal, 100010);
    EXPECT_EQ(bytesDone, 100010);
    EXPECT_FLOAT_EQ(installApp.progressScreen.getProgress(), 1.0f);
    EXPECT_TRUE(answerer.texts().empty());
}

TEST_F(InstallWorkerTest, NumberedPackagesInOrderAcrossGapsUpTo127) {
    writePackage("game.rar", {"same.txt\t5"});
    writePackage("data2.pak", {"two.txt\t7"});
    writePackage("data0.pak", {"same.txt\t3", "zero.txt\t1"});
    writePackage("data127.pak", {"last.txt\t2"});
    writePackage("data128.pak", {"never.txt\t1000"});
    writePackage("data5.pak", {});  // empty contents: only its folder line
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(installApp.logEntries, (Lines{folderLine(), "same.txt", folderLine(), "same.txt", "zero.txt",
                                            folderLine(), "two.txt", folderLine(), folderLine(), "last.txt"}));
    EXPECT_EQ(packagesTotal, 5 + 3 + 1 + 7 + 2);
    EXPECT_FALSE(exists(installDir + "\\never.txt"));
    EXPECT_TRUE(installApp.extractionDone);
    EXPECT_TRUE(answerer.texts().empty());
}

TEST_F(InstallWorkerTest, OemNamesAreLoggedInTheAnsiCodePage) {
    if (GetOEMCP() != 437 || GetACP() != 1252) GTEST_SKIP() << "needs OEM 437 and ANSI 1252";
    // 0x81 is u-umlaut in code page 437 and 0xFC in code page 1252.
    writePackage("game.rar", {"Gr\x81n\tdir", "Gr\x81n\\\x81.txt\t4"});
    runWorkerToEnd();
    EXPECT_EQ(installApp.logEntries, (Lines{folderLine(), "Gr\xFCn", "Gr\xFCn\\\xFC.txt"}));
    EXPECT_TRUE(exists(installDir + "\\Gr\xFCn\\\xFC.txt"));
}

TEST_F(InstallWorkerTest, EntriesLeavingTheFolderAreNeverLogged) {
    EXPECT_TRUE(isSafeEntryName("Bin\\game.exe"));
    EXPECT_TRUE(isSafeEntryName("a..b\\.\\c"));
    for (const char* name : {"..\\evil.txt", "Bin\\..\\..\\evil.txt", "Bin/../../x", "\\abs.txt", "C:\\abs.txt",
                             "C:rel.txt", "x\\...\\y", "x\\.. \\y", ""}) {
        EXPECT_FALSE(isSafeEntryName(name)) << name;
    }
    // A file beside the installation folder that a rollback must not touch.
    writePackage("../target/victim.txt", {});
    writePackage("game.rar", {"..\\victim.txt\t1", "bad.txt\t1\tbad"});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();
    EXPECT_EQ(installApp.logEntries, (Lines{folderLine(), "bad.txt"}));
    EXPECT_TRUE(exists(target + "\\victim.txt"));
}

TEST_F(InstallWorkerTest, CorruptEntryInNumberedPackageRollsBackEverything) {
    writePackage("game.rar", {"Data\\main.bin\t70000", "Data\tdir"});
    writePackage("data0.pak", {"Data\\a.bin\t1000", "Data\\b.bin\t1000\tbad", "Data\\c.bin\t10"});
    writePackage("data1.pak", {"d.bin\t10"});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(answerer.texts(), (Lines{"Unpack error. Code: 12 (File:Data\\b.bin). Installation will not proceed\n"}));
    EXPECT_TRUE(installApp.cancelRequested);
    EXPECT_EQ(installApp.logEntries,
              (Lines{folderLine(), "Data\\main.bin", "Data", folderLine(), "Data\\a.bin", "Data\\b.bin"}));
    expectRolledBack();
}

TEST_F(InstallWorkerTest, FailedMainPackageIsRolledBackAndFinished) {
    writePackage("game.rar", {"Sub\\one.bin\t100", "Sub\\two.bin\t100\tbad"});
    writePackage("data0.pak", {"zero.bin\t10"});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(answerer.texts(), (Lines{"Unpack error. Code: 12 (File:Sub\\two.bin). Installation will not proceed\n"}));
    EXPECT_EQ(installApp.logEntries, (Lines{folderLine(), "Sub\\one.bin", "Sub\\two.bin"}));
    expectRolledBack();
}

TEST_F(InstallWorkerTest, MissingMainPackageKeepsTheUsersFiles) {
    writePackage("data0.pak", {"zero.bin\t10"});
    writePackage("../target/Quillmark Demo/mine.txt", {});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    // Measuring and extracting both meet the missing package.
    EXPECT_EQ(answerer.texts(), (Lines{"Cannot process package: game.rar\n", "Cannot process package: game.rar\n"}));
    EXPECT_TRUE(installApp.logEntries.empty());
    EXPECT_EQ(finishCalls, 1);
    EXPECT_FALSE(installApp.extractionDone);
    EXPECT_TRUE(exists(installDir + "\\mine.txt"));
    EXPECT_FALSE(exists(installDir + "\\zero.bin"));
}

TEST_F(InstallWorkerTest, CancelInTheThirdPackageRemovesAllOfIt) {
    const int MB = 1 << 20;
    writePackage("game.rar", {"main.bin\t" + std::to_string(MB)});
    writePackage("data0.pak", {"Data\\zero.bin\t" + std::to_string(MB), "Data\tdir"});
    // Folders listed after their files: only the second pass can remove them.
    Lines third;
    for (int i = 0; i < 24; ++i) third.push_back("Data\\Sub\\f" + std::to_string(i) + "\t" + std::to_string(MB));
    third.push_back("Data\\Sub\tdir");
    writePackage("data1.pak", third);
    writePackage("data3.pak", {"later.bin\t10"});
    const float thirdStarts = 2.0f / 26.0f;

    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    HANDLE thread = nullptr;
    runWorker(thread);
    // Step the worker with the pause flag until it is inside the third package,
    // then cancel as the cancel question does on Yes.
    while (installApp.cancelPrompting || installApp.progressScreen.getProgress() < 0.001f) Sleep(0);
    for (int step = 0; step < 5000 && installApp.progressScreen.getProgress() <= thirdStarts + 0.05f; ++step) {
        installApp.cancelPrompting = false;
        Sleep(1);
        installApp.cancelPrompting = true;
        Sleep(10);
    }
    float progressAtCancel = installApp.progressScreen.getProgress();
    installApp.cancelRequested = true;
    installApp.cancelPrompting = false;
    waitForWorker(thread);

    ASSERT_GT(progressAtCancel, thirdStarts);
    ASSERT_LT(progressAtCancel, 1.0f);
    EXPECT_TRUE(answerer.texts().empty()) << answerer.texts().front();
    EXPECT_TRUE(installApp.cancelRequested);
    EXPECT_EQ(installApp.logEntries.back().rfind("Data\\Sub\\f", 0), 0u) << "the cancel did not stop the third package";
    for (const std::string& entry : installApp.logEntries) EXPECT_NE(entry, "later.bin");
    expectRolledBack();
}

TEST_F(InstallWorkerTest, OpenCancelQuestionHaltsTheExtraction) {
    writePackage("game.rar", {"big.bin\t" + std::to_string(64 << 20)});
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

TEST_F(InstallWorkerTest, SizesBeyond2GiBAreCounted) {
    writePackage("huge.pak", {"a\t4000000000", "b\t4000000000"});
    EXPECT_EQ(measurePackage("huge.pak"), 8000000000LL);
}

TEST_F(InstallWorkerTest, FullDiskGivesOneErrorAndLeavesNothing) {
    if (GetDriveTypeA("Q:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no small drive Q: (needs the tmpfs fixture)";
    installDir = "Q:\\Quillmark Demo";
    installApp.installDir = installDir;
    ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
    writePackage("game.rar", {"small.bin\t1000"});
    writePackage("data0.pak", {"Big\\large.bin\t" + std::to_string(8 << 20), "Big\tdir"});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();

    EXPECT_EQ(answerer.texts(), (Lines{"Unpack error. Code: 19 (File:Big\\large.bin). Installation will not proceed\n"}));
    EXPECT_EQ(finishCalls, 1);
    EXPECT_FALSE(installApp.extractionDone);
    EXPECT_FALSE(exists(installDir));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Q:\\*", &found);
    int left = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do left += std::string(found.cFileName) != "." && std::string(found.cFileName) != "..";
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(left, 0);
}

}  // namespace
