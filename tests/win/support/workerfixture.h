// The fixture of the worker tests: a temporary medium with a string table and a
// RAR library, an empty installation folder below a parent that stays, and the
// worker run on its own thread as the installation runs it.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "installapp.h"
#include "installworker.h"
#include "resstringtable.h"
#include "support/wintest.h"

namespace wintest {

using Lines = std::vector<std::string>;

// How often the worker handed over to finishing in the current test.
inline int finishCalls = 0;

class WorkerFixture : public ::testing::Test {
protected:
    // `libraryPath`: the library copied beside the medium as "unrar.dll".
    explicit WorkerFixture(const char* libraryPath) : libraryPath_(libraryPath) {}

    void SetUp() override {
        home = currentDir();
        medium = home + "\\medium";
        target = home + "\\target";
        // The medium stays between tests: the loaded library cannot be deleted.
        removePackages();
        removeTree(target);
        CreateDirectoryA(medium.c_str(), nullptr);
        CreateDirectoryA((medium + "\\Media").c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        ASSERT_TRUE(writeFile(medium + "\\Media\\strings.txt", "PATH_SOURCE game.rar\r\n"));
        // Copied afresh by the first test of the run, over a library an older build left;
        // later tests find it loaded.
        static bool copied = false;
        if (!copied) {
            ASSERT_TRUE(CopyFileA(libraryPath_, (medium + "\\unrar.dll").c_str(), FALSE)) << libraryPath_;
            copied = true;
        }
        ASSERT_TRUE(SetCurrentDirectoryA(medium.c_str()));
        ASSERT_TRUE(stringTable.load("Media\\strings.txt"));
        installApp.setupPath = medium + "\\setup.exe";
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
            do {
                // Copies of the shared test archives come read-only.
                std::string package = medium + "\\" + found.cFileName;
                SetFileAttributesA(package.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(package.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }

    // Runs the worker on its own thread, as the installation does.
    void runWorker(HANDLE& thread) {
        thread = CreateThread(nullptr, 0, installWorker, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
    }
    // Fails when the worker has not ended after a minute.
    void waitForWorker(HANDLE thread) {
        ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0) << "the worker did not end";
        CloseHandle(thread);
    }
    void runWorkerToEnd() {
        HANDLE thread = nullptr;
        runWorker(thread);
        waitForWorker(thread);
    }

    // Steps the worker with the pause flag until the progress has passed `fraction`,
    // then cancels as the cancel question does on Yes; returns the progress then.
    float cancelPast(float fraction) {
        HANDLE thread = nullptr;
        runWorker(thread);
        while (installApp.cancelPrompting || installApp.progressScreen.getProgress() < 0.001f) Sleep(0);
        for (int step = 0; step < 5000 && installApp.progressScreen.getProgress() <= fraction; ++step) {
            installApp.cancelPrompting = false;
            Sleep(1);
            installApp.cancelPrompting = true;
            Sleep(10);
        }
        float progressAtCancel = installApp.progressScreen.getProgress();
        installApp.cancelRequested = true;
        installApp.cancelPrompting = false;
        waitForWorker(thread);
        return progressAtCancel;
    }

    // The state a failed or cancelled run leaves: finishing reached, nothing installed.
    void expectRolledBack() {
        EXPECT_EQ(finishCalls, 1);
        EXPECT_FALSE(installApp.extractionDone);
        EXPECT_FALSE(exists(installDir)) << "the installation folder was not removed";
        EXPECT_TRUE(exists(target));
    }

    // The files and folders left below a folder.
    static int countEntries(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        int left = 0;
        if (search != INVALID_HANDLE_VALUE) {
            do left += std::string(found.cFileName) != "." && std::string(found.cFileName) != "..";
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        return left;
    }

    std::string folderLine() const { return installDir + "\\"; }

    std::string home, medium, target, installDir;

private:
    const char* libraryPath_;
};

}  // namespace wintest
