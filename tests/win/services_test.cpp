// The system services on the real Win32 API under Wine: registry values, shell
// folders, folder creation, free space, shortcuts and starting programs.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "installapp.h"
#include "resstringtable.h"
#include "support/wintest.h"

using namespace wintest;

namespace {

constexpr char PRODUCT_KEY[] = "SOFTWARE\\Orvanta\\Quillmark Demo";
constexpr char SHELL_FOLDERS[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void deleteProductKey() {
    RegDeleteKeyA(HKEY_CURRENT_USER, PRODUCT_KEY);
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Orvanta");
}

std::string shellFolderPath(int csidl) {
    char szPath[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, szPath);
    return szPath;
}

class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        deleteProductKey();
        writeFile(dir.path() + "\\strings.txt", "PATH_GAME_DIR Orvanta\\Quillmark Demo\r\nINT_SPACE_NEED 700\r\n");
        ASSERT_TRUE(stringTable.load((dir.path() + "\\strings.txt").c_str()));
    }
    void TearDown() override { deleteProductKey(); }

    ScratchDir dir{"services"};
};

TEST_F(ServicesTest, RegistryValuesAndInstalledCheck) {
    EXPECT_EQ(installApp.registeredInstallDir(), nullptr);
    EXPECT_FALSE(installApp.isInstalled());

    installApp.installDir = dir.path();
    installApp.sourceDrive = "D:";
    installApp.writeRegistry();
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), dir.path());
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallFrom"), "D:");
    ASSERT_NE(installApp.registeredInstallDir(), nullptr);
    EXPECT_STREQ(installApp.registeredInstallDir(), dir.path().c_str());

    // Complete only with both the log and the uninstaller in the folder.
    writeFile(dir.path() + "\\install.log", "x\n");
    EXPECT_FALSE(installApp.isInstalled());
    writeFile(dir.path() + "\\uninstall.exe", "x");
    EXPECT_TRUE(installApp.isInstalled());
    DeleteFileA((dir.path() + "\\install.log").c_str());
    EXPECT_FALSE(installApp.isInstalled());

    // A registered folder too long for its buffer reads as absent, not cut.
    setRegistryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir", "C:\\" + std::string(300, 'x'));
    EXPECT_EQ(installApp.registeredInstallDir(), nullptr);
}

TEST_F(ServicesTest, ShellFoldersFallBackToTheShellsOwnQuery) {
    SavedRegistryValue programs(HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs");
    SavedRegistryValue desktop(HKEY_CURRENT_USER, SHELL_FOLDERS, "Desktop");

    setRegistryString(HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs", "C:\\Start\\Programs");
    setRegistryString(HKEY_CURRENT_USER, SHELL_FOLDERS, "Desktop", "C:\\My Desktop");
    EXPECT_EQ(installApp.programsFolder(), "C:\\Start\\Programs");
    EXPECT_EQ(installApp.desktopFolder(), "C:\\My Desktop");

    deleteRegistryValue(HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs");
    deleteRegistryValue(HKEY_CURRENT_USER, SHELL_FOLDERS, "Desktop");
    EXPECT_FALSE(shellFolderPath(CSIDL_PROGRAMS).empty());
    EXPECT_EQ(installApp.programsFolder(), shellFolderPath(CSIDL_PROGRAMS));
    EXPECT_EQ(installApp.desktopFolder(), shellFolderPath(CSIDL_DESKTOPDIRECTORY));

    // "Programs" fits only 255 characters; a longer value is not cut.
    setRegistryString(HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs", "C:\\" + std::string(254, 'p'));
    EXPECT_EQ(installApp.programsFolder(), shellFolderPath(CSIDL_PROGRAMS));
}

TEST_F(ServicesTest, DefaultInstallDirIsProgramFilesOrWhereTheUserMayWrite) {
    constexpr char CURRENT_VERSION[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    installApp.setDefaultInstallDir();
    EXPECT_EQ(installApp.installDir,
              registryString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir") + "\\Orvanta\\Quillmark Demo");

    // A Program Files folder this user cannot create folders in (here: on a
    // drive that is not there) gives the user's own programs folder, which is
    // named but not made.
    SavedRegistryValue programFiles(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir");
    setRegistryString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", missingDrive() + "\\Program Files");
    const std::string userPrograms = shellFolderPath(CSIDL_LOCAL_APPDATA) + "\\Programs";
    const bool existedBefore = installApp.fileExists(userPrograms.c_str());
    installApp.setDefaultInstallDir();
    EXPECT_EQ(installApp.installDir, userPrograms + "\\Orvanta\\Quillmark Demo");
    EXPECT_EQ(installApp.fileExists(userPrograms.c_str()), existedBefore);
}

TEST_F(ServicesTest, PathsOutsideTheCodePageAreNamedByShortNames) {
    if (GetACP() == 1251) GTEST_SKIP() << "the ANSI code page has Cyrillic letters";
    // A profile named in Cyrillic under a Western code page, and the programs
    // folder in it that does not exist yet.
    const std::wstring base(dir.path().begin(), dir.path().end());
    const std::wstring profile = base + L"\\\x0416\x0435\x043d\x044f";
    ASSERT_TRUE(CreateDirectoryW(profile.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string path = ansiPath(profile + L"\\Programs");
    const std::string parent = path.size() > 9 ? path.substr(0, path.size() - 9) : std::string();
    const DWORD attributes = GetFileAttributesA(parent.c_str());
    RemoveDirectoryW(profile.c_str());  // the scratch folder's clean-up speaks ANSI only
    ASSERT_GT(path.size(), 9u);
    EXPECT_EQ(path.substr(path.size() - 9), "\\Programs");
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << path;
    // A letter the code page has stays as it is.
    EXPECT_EQ(ansiPath(L"C:\\J\x00fcrgen\\Programs"), "C:\\J\xfcrgen\\Programs");
}

TEST_F(ServicesTest, FolderCreationIsTriedWhereThePathBeginsAndLeavesNothing) {
    const std::string deep = dir.path() + "\\A\\B";
    EXPECT_EQ(installApp.deepestExistingFolder(deep.c_str()), dir.path());
    EXPECT_TRUE(installApp.canCreateFoldersIn(deep.c_str()));
    EXPECT_FALSE(installApp.fileExists((dir.path() + "\\~setup-*").c_str()));
    EXPECT_FALSE(installApp.fileExists((dir.path() + "\\A").c_str()));
    const std::string onMissingDrive = missingDrive() + "\\Games\\X";
    EXPECT_EQ(installApp.deepestExistingFolder(onMissingDrive.c_str()), "");
    EXPECT_FALSE(installApp.canCreateFoldersIn(onMissingDrive.c_str()));
    EXPECT_EQ(installApp.deepestExistingFolder("C:\\no such folder\\X"), "C:\\");
}

TEST_F(ServicesTest, MakeDirectoriesCreatesEveryMissingLevel) {
    const std::string base = dir.path() + "\\A";
    CreateDirectoryA(base.c_str(), nullptr);
    const std::string before = currentDir();

    EXPECT_TRUE(installApp.makeDirectories((base + "\\B\\C").c_str()));
    EXPECT_TRUE(installApp.fileExists((base + "\\B\\C").c_str()));
    EXPECT_EQ(currentDir(), before);  // the process's folder is left alone

    EXPECT_TRUE(installApp.makeDirectories((base + "/D/E/F/").c_str()));
    EXPECT_TRUE(installApp.fileExists((base + "\\D\\E\\F").c_str()));
    EXPECT_TRUE(installApp.makeDirectories((base + "\\B\\C").c_str()));  // already there

    EXPECT_FALSE(installApp.makeDirectories(nullptr));
    std::string tooLong = base + "\\" + std::string(MAX_PATH, 'l');
    EXPECT_FALSE(installApp.makeDirectories(tooLong.c_str()));
    EXPECT_FALSE(installApp.fileExists(tooLong.substr(0, MAX_PATH - 1).c_str()));

    // A path on a drive that does not exist: every creation fails.
    std::string missing = missingDrive() + "\\Games\\X";
    EXPECT_FALSE(installApp.makeDirectories(missing.c_str()));
}

TEST_F(ServicesTest, FreeSpaceIsTheDrivesAndRequiredSpaceReadsTheTable) {
    installApp.installDir = dir.path();
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA(dir.path().substr(0, 3).c_str(), &available, &total, &free));
    unsigned long long measured = installApp.freeDiskSpace();
    const unsigned long long slack = 256ull << 20;  // other programs write meanwhile
    EXPECT_GT(measured, 0u);
    EXPECT_LT(measured > available.QuadPart ? measured - available.QuadPart : available.QuadPart - measured, slack);

    EXPECT_EQ(installApp.requiredSpaceMb(), 700);
}

TEST_F(ServicesTest, ShortcutReadsBackThroughTheShellLink) {
    const std::string link = dir.path() + "\\Game.lnk";
    const std::string target = dir.path() + "\\Quillmark.exe";
    writeFile(target, "x");
    HRESULT hr = installApp.createShortcut(target.c_str(), link.c_str(), "Quillmark Demo", dir.path().c_str(),
                                           "-window", target.c_str(), 2);
    ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;

    LinkInfo info = readLink(link);
    ASSERT_TRUE(info.loaded);
    EXPECT_STRCASEEQ(info.target.c_str(), target.c_str());
    EXPECT_STRCASEEQ(info.workingDir.c_str(), dir.path().c_str());
    EXPECT_EQ(info.description, "Quillmark Demo");
    EXPECT_EQ(info.arguments, "-window");
    EXPECT_EQ(info.iconIndex, 2);

    // A link name that would not fit the system's path is refused, not cut.
    std::string tooLong = dir.path() + "\\" + std::string(300, 'n') + ".lnk";
    EXPECT_TRUE(FAILED(
        installApp.createShortcut(target.c_str(), tooLong.c_str(), "d", dir.path().c_str(), nullptr, nullptr, 0)));
}

TEST_F(ServicesTest, RunProgramWaitsForTheProgramToEnd) {
    const std::string program = dir.path() + "\\installer.exe";
    ASSERT_TRUE(CopyFileA(QUILL_RECORDER_EXE, program.c_str(), FALSE));
    EXPECT_TRUE(installApp.runProgram(program.c_str(), "", true));
    EXPECT_EQ(readLines(dir.path() + "\\ran.txt"), std::vector<std::string>{program});
    EXPECT_FALSE(installApp.runProgram((dir.path() + "\\missing.exe").c_str(), "", true));
}

}  // namespace
