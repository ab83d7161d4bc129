// The installation worker over a stand-in library that does what the real one
// never does: writes hostile names, reports sizes that add up past 4 GiB without
// the data. Also the missing main package, which needs no library at all. The worker over the real library is
// tested in extraction_test.cpp.
#include "installworker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/workerfixture.h"

namespace {

using wintest::exists;
using wintest::finishCalls;
using wintest::Lines;

// Writes a package for the stand-in library: one line per entry (see fakeunrar.cpp).
void writePackage(const std::string& path, const Lines& entries) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("FAKERAR\n", file);
    for (const std::string& entry : entries) std::fprintf(file, "%s\n", entry.c_str());
    std::fclose(file);
}

class InstallWorkerTest : public wintest::WorkerFixture {
protected:
    InstallWorkerTest() : WorkerFixture(QUILL_FAKE_UNRAR) {}
};

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

// A file that cannot be written where the drive has room (a folder stands in
// its place) is no full disk: the box gives the library's code only.
TEST_F(InstallWorkerTest, WriteErrorWithRoomOnTheDriveIsNoFullDisk) {
    ASSERT_TRUE(CreateDirectoryA((installDir + "\\Taken").c_str(), nullptr));
    writePackage("game.rar", {"Taken\t10"});
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    runWorkerToEnd();
    EXPECT_EQ(answerer.texts(), (Lines{"Unpack error. Code: 19 (File:Taken). Installation will not proceed\n"}));
    expectRolledBack();
}

TEST_F(InstallWorkerTest, SizesBeyond2GiBAreCounted) {
    writePackage("huge.pak", {"a\t4000000000", "b\t4000000000"});
    EXPECT_EQ(measurePackage("huge.pak"), 8000000000LL);
}

}  // namespace
