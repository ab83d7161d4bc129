// Tests of uninstall.exe: fake installations removed by the real program, its
// message boxes read and answered from outside, the disk and registry checked.
#include <windows.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/wintest.h"

namespace {

using wintest::exists;
using wintest::makeDirs;
using wintest::removeTree;
using wintest::writeFile;

const char* const BOX_CAPTION = "Quillmark Demo Uninstall";
const char* const PRODUCT_KEY = "SOFTWARE\\Orvanta\\Quillmark Demo";
const char* const MAKER_KEY = "SOFTWARE\\Orvanta";
const char* const CONFIRM_TEXT = "Really remove Quillmark Demo?";
const char* const SUCCESS_TEXT = "Quillmark Demo has been removed.";
const char* const FAIL_TEXT = "Quillmark Demo is not installed.";
const char* const BATCH_PATTERN = "QuillmarkUninstall-*.bat";
constexpr DWORD BOX_TIMEOUT_MS = 20000;
constexpr DWORD SELF_REMOVAL_TIMEOUT_MS = 30000;

std::string tempFolder() {
    char szTemp[MAX_PATH + 1];
    GetTempPathA(sizeof szTemp, szTemp);
    return szTemp;
}

bool keyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void registerInstallDir(const std::string& installDir) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                   static_cast<DWORD>(installDir.size() + 1));
    RegSetValueExA(key, "InstallFrom", 0, REG_SZ, reinterpret_cast<const BYTE*>("D:\\"), 4);
    RegCloseKey(key);
}

void writeStringTable(const std::string& folder) {
    makeDirs(folder + "\\Media");
    writeFile(folder + "\\Media\\strings.txt", std::string("MSG_CONFIRM_UNINSTALL ") + CONFIRM_TEXT +
                                                   "\r\nMSG_UNINSTALL_SUCCESS " + SUCCESS_TEXT +
                                                   "\r\nMSG_UNINSTALL_FAIL " + FAIL_TEXT + "\r\n");
}

void copyUninstaller(const std::string& folder) {
    ASSERT_TRUE(CopyFileA(QUILL_UNINSTALL_EXE, (folder + "\\uninstall.exe").c_str(), FALSE));
}

std::vector<std::string> leftoverBatchFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((tempFolder() + BATCH_PATTERN).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// One run of the uninstaller from a given folder, as a shortcut would start it.
// Its boxes are found by caption, read and answered; a run that is still going
// when the test ends is killed, so nothing is left hanging on a box.
class UninstallRun {
public:
    UninstallRun(const std::string& exe, const std::string& folder) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + exe + "\"";
        started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                 folder.c_str(), &startup, &process) != 0;
    }
    ~UninstallRun() {
        if (!started) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
        killBatchStillRunning();
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    // Waits for the next box, returns its text and presses `button`; "" when no box came.
    std::string answer(int button) {
        HWND box = nullptr;
        for (DWORD waited = 0; !box && waited < BOX_TIMEOUT_MS; waited += 50) {
            box = FindWindowA("#32770", BOX_CAPTION);
            if (!box) Sleep(50);
        }
        if (!box) return "";
        std::string text;
        EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&text));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        for (DWORD waited = 0; IsWindow(box) && waited < BOX_TIMEOUT_MS; waited += 50) Sleep(50);
        return text;
    }

    // The exit code, or STILL_ACTIVE when the program did not end in time.
    DWORD exitCode() {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process.hProcess, BOX_TIMEOUT_MS) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    bool started = false;

private:
    // A batch that the checks have not seen finish would otherwise spin on forever.
    void killBatchStillRunning() {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (entry.th32ParentProcessID != process.dwProcessId) continue;
            HANDLE batch = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
            if (batch) {
                TerminateProcess(batch, 99);
                CloseHandle(batch);
            }
        }
        CloseHandle(snapshot);
    }

    static BOOL CALLBACK collectStaticText(HWND child, LPARAM text) {
        char szClass[32], szText[512];
        GetClassNameA(child, szClass, sizeof szClass);
        if (lstrcmpiA(szClass, "Static") == 0 && GetWindowTextA(child, szText, sizeof szText) > 0)
            *reinterpret_cast<std::string*>(text) += szText;
        return TRUE;
    }
    PROCESS_INFORMATION process = {};
};

// Polls until the batch has deleted the program and itself (and the folder, when
// it should go).
bool selfRemovalDone(const std::string& exe, const std::string& folder, bool folderGoes) {
    for (DWORD waited = 0; waited < SELF_REMOVAL_TIMEOUT_MS; waited += 100) {
        if (!exists(exe) && exists(folder) != folderGoes && leftoverBatchFiles().empty()) return true;
        Sleep(100);
    }
    return false;
}

class Uninstall : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, PRODUCT_KEY);
        for (const std::string& name : leftoverBatchFiles()) DeleteFileA((tempFolder() + name).c_str());
        base = wintest::currentDir() + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        shortcuts = tempFolder() + "QuillShortcuts";
        removeTree(base);
        removeTree(shortcuts);
        makeDirs(base);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, PRODUCT_KEY);
        removeTree(base);
        removeTree(shortcuts);
    }

    // A small installation with a log in setup's order and the program inside.
    void makeInstallation(const std::string& log) {
        makeDirs(installDir + "\\Data\\sub");
        writeFile(installDir + "\\Data\\a.dat", "a");
        writeFile(installDir + "\\Data\\sub\\b.dat", "b");
        writeFile(installDir + "\\addinstf.bin", std::string(16, '\1'));
        writeStringTable(installDir);
        copyUninstaller(installDir);
        writeFile(installDir + "\\install.log", log);
        registerInstallDir(installDir);
    }

    // What the run should leave of the program and the installation folder.
    enum class Ending { ProgramStays, FolderStays, FolderGoes };

    // Runs the installed program from `folder`, answers its boxes in turn, checks
    // their texts and the exit code, and then the self-removal.
    void runUninstall(const std::string& folder, const std::vector<std::pair<int, std::string>>& boxes, DWORD exitCode,
                      Ending ending) {
        const std::string exe = installDir + "\\uninstall.exe";
        UninstallRun run(exe, folder);
        ASSERT_TRUE(run.started);
        for (const auto& [button, text] : boxes) EXPECT_EQ(run.answer(button), text);
        EXPECT_EQ(run.exitCode(), exitCode);
        if (ending == Ending::ProgramStays) {
            EXPECT_TRUE(exists(exe));
            EXPECT_TRUE(leftoverBatchFiles().empty());
        } else {
            EXPECT_TRUE(selfRemovalDone(exe, installDir, ending == Ending::FolderGoes));
        }
    }

    std::string base, shortcuts, installDir;
};

TEST_F(Uninstall, RemovesListedFilesRegistryKeyAndFinallyItself) {
    installDir = base + "\\Quillmark Demo";
    const std::string desktop = shortcuts + "\\Desktop", programs = shortcuts + "\\Programs\\Quillmark Demo";
    makeDirs(desktop);
    makeDirs(programs);
    writeFile(desktop + "\\Quillmark Demo.lnk", "lnk");
    writeFile(programs + "\\Play.lnk", "lnk");
    writeFile(programs + "\\Uninstall.lnk", "lnk");
    writeFile(base + "\\outside.txt", "not ours");
    // Repeats, folders before their contents, shortcuts by absolute paths on another
    // drive, and three entries that reach outside.txt through "..": two relative
    // ones, and an absolute one on a missing drive that only a join to the folder
    // would turn into that file.
    const std::string dirLine = installDir + "\\\r\n";
    makeInstallation(dirLine + "Data\r\nData\\a.dat\r\nData\\sub\r\nData\\sub\\b.dat\r\n" + dirLine +
                     "Data\\a.dat\r\n..\\outside.txt\r\nData\\..\\..\\outside.txt\r\nQ:\\..\\..\\outside.txt\r\n" +
                     desktop + "\\Quillmark Demo.lnk\r\n" + programs + "\\\r\n" + installDir + "\\uninstall.exe\r\n" +
                     programs + "\\Play.lnk\r\n" + programs +
                     "\\Uninstall.lnk\r\naddinstf.bin\r\nuninstall.exe\r\n"
                     "Media\\strings.txt\r\nMedia");
    makeDirs(installDir + "\\Saves");
    writeFile(installDir + "\\Saves\\slot1.sav", "the player's");

    runUninstall(installDir, {{IDYES, CONFIRM_TEXT}, {IDOK, SUCCESS_TEXT}}, 0, Ending::FolderStays);
    for (const char* gone : {"\\Data", "\\addinstf.bin", "\\Media", "\\install.log"})
        EXPECT_FALSE(exists(installDir + gone)) << gone;
    EXPECT_FALSE(exists(desktop + "\\Quillmark Demo.lnk"));
    EXPECT_FALSE(exists(programs));
    EXPECT_TRUE(exists(desktop));
    EXPECT_TRUE(exists(base + "\\outside.txt"));
    EXPECT_TRUE(exists(installDir + "\\Saves\\slot1.sav"));
    EXPECT_FALSE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(keyExists(MAKER_KEY));
}

TEST_F(Uninstall, EmptyLogLongPathsAndReadOnlyProgramStillRemoveTheFolder) {
    // Started by setup from its own folder, which holds the string table.
    const std::string medium = base + "\\medium";
    writeStringTable(medium);
    // With a folder this deep the batch text passes 1,000 bytes; the "%" must
    // survive the batch's own expansion.
    installDir = base + "\\" + std::string(50, 'g') + "\\" + std::string(236 - base.size() - 58, 'h') + "%PATH%";
    const size_t batchPathSize = tempFolder().size() + 30;
    ASSERT_GT(60 + 2 * (installDir.size() + 14) + 2 * installDir.size() + batchPathSize, 1000u);
    makeDirs(installDir);
    copyUninstaller(installDir);
    // A copy from a read-only medium keeps its flag.
    SetFileAttributesA((installDir + "\\uninstall.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    writeFile(installDir + "\\install.log", "");
    registerInstallDir(installDir);

    runUninstall(medium, {{IDYES, CONFIRM_TEXT}, {IDOK, SUCCESS_TEXT}}, 0, Ending::FolderGoes);
    EXPECT_TRUE(exists(medium + "\\Media\\strings.txt"));
}

TEST_F(Uninstall, AnsweringNoChangesNothing) {
    installDir = base + "\\Quillmark Demo";
    makeInstallation(installDir + "\\\r\nData\\a.dat\r\n");
    runUninstall(installDir, {{IDNO, CONFIRM_TEXT}}, 0, Ending::ProgramStays);
    EXPECT_TRUE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(exists(installDir + "\\Data\\a.dat"));
    EXPECT_TRUE(exists(installDir + "\\install.log"));
}

TEST_F(Uninstall, MissingInstallDirValueFailsAndChangesNothing) {
    installDir = base + "\\Quillmark Demo";
    makeInstallation(installDir + "\\\r\nData\\a.dat\r\n");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "InstallDir");
    RegCloseKey(key);

    runUninstall(installDir, {{IDYES, CONFIRM_TEXT}, {IDOK, FAIL_TEXT}}, 0, Ending::ProgramStays);
    EXPECT_TRUE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(exists(installDir + "\\Data\\a.dat"));
}

TEST_F(Uninstall, MissingLogFailsAfterTheKeyIsGoneAndTouchesNoFile) {
    installDir = base + "\\Quillmark Demo";
    makeInstallation("");
    DeleteFileA((installDir + "\\install.log").c_str());

    runUninstall(installDir, {{IDYES, CONFIRM_TEXT}, {IDOK, FAIL_TEXT}}, 0, Ending::ProgramStays);
    EXPECT_FALSE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(keyExists(MAKER_KEY));
    EXPECT_TRUE(exists(installDir + "\\Data\\a.dat"));
}

TEST_F(Uninstall, MissingStringTableEndsWithMinusOne) {
    installDir = base + "\\Quillmark Demo";
    makeInstallation(installDir + "\\\r\nData\\a.dat\r\n");
    runUninstall(base, {{IDOK, "Cannot load string table. Application will terminate."}}, static_cast<DWORD>(-1),
                 Ending::ProgramStays);
    EXPECT_TRUE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(exists(installDir + "\\Data\\a.dat"));
}

}  // namespace
