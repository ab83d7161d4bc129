// Tests of uninstall.exe: fake installations removed by the real program, its
// message boxes read and answered from outside, the disk and registry checked.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>
#include <vector>

#include "startinstall.h"
#include "support/wintest.h"
#include "uninstallentry.h"

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
const char* const INCOMPLETE_TEXT = "Not all of Quillmark Demo could be removed. Look into:";
const char* const BATCH_PATTERN = "QuillmarkUninstall-*.bat";
constexpr DWORD BOX_TIMEOUT_MS = 20000;
constexpr DWORD SELF_REMOVAL_TIMEOUT_MS = 30000;

std::string shellFolder(int csidl) {
    char szFolder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    return szFolder;
}

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
    writeFile(folder + "\\Media\\strings.txt",
              std::string("MSG_CONFIRM_UNINSTALL ") + CONFIRM_TEXT + "\r\nMSG_UNINSTALL_SUCCESS " + SUCCESS_TEXT +
                  "\r\nMSG_UNINSTALL_FAIL " + FAIL_TEXT + "\r\nMSG_UNINSTALL_INCOMPLETE " + INCOMPLETE_TEXT + "\r\n");
}

// The closing text that names a folder where something may be left.
std::string incompleteText(const std::string& installDir) { return std::string(INCOMPLETE_TEXT) + "\n" + installDir; }

// A text of the ANSI code page, as setup's paths are.
std::string ansi(const std::wstring& wide) {
    char szAnsi[MAX_PATH * 2];
    int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, szAnsi, sizeof szAnsi, nullptr, nullptr);
    return length > 0 ? szAnsi : "";
}

void copyUninstaller(const std::string& folder) {
    ASSERT_TRUE(CopyFileA(QUILL_UNINSTALL_EXE, (folder + "\\uninstall.exe").c_str(), FALSE));
}

std::vector<std::string> leftoverBatchFiles(const std::string& temp = tempFolder()) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temp + BATCH_PATTERN).c_str(), &found);
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
        // A box is read once it shows: while it is being made its text may not be there yet.
        for (DWORD waited = 0; !box && waited < BOX_TIMEOUT_MS; waited += 50) {
            box = FindWindowA("#32770", BOX_CAPTION);
            if (box && !IsWindowVisible(box)) box = nullptr;
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
        char szClass[32], szText[2048];
        GetClassNameA(child, szClass, sizeof szClass);
        if (lstrcmpiA(szClass, "Static") == 0 && GetWindowTextA(child, szText, sizeof szText) > 0)
            *reinterpret_cast<std::string*>(text) += szText;
        return TRUE;
    }
    PROCESS_INFORMATION process = {};
};

// The temporary folder (TMP and TEMP) of the programs started in its lifetime.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& folder) {
        for (const char* name : {"TMP", "TEMP"}) {
            char szOld[MAX_PATH * 2] = "";
            DWORD length = GetEnvironmentVariableA(name, szOld, sizeof szOld);
            saved_.push_back({name, length > 0 && length < sizeof szOld ? szOld : ""});
            SetEnvironmentVariableA(name, folder.c_str());
        }
    }
    ~TemporaryFolder() {
        for (const auto& [name, value] : saved_) SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
    }

private:
    std::vector<std::pair<const char*, std::string>> saved_;
};

// Polls until the batch has deleted the program and itself (and the folder, when
// it should go).
bool selfRemovalDone(const std::string& exe, const std::string& folder, bool folderGoes,
                     const std::string& temp = tempFolder()) {
    for (DWORD waited = 0; waited < SELF_REMOVAL_TIMEOUT_MS; waited += 100) {
        if (!exists(exe) && exists(folder) != folderGoes && leftoverBatchFiles(temp).empty()) return true;
        Sleep(100);
    }
    return false;
}

class Uninstall : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, MAKER_KEY);
        for (const std::string& name : leftoverBatchFiles()) DeleteFileA((tempFolder() + name).c_str());
        base = wintest::currentDir() + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        removeTree(base);
        makeDirs(base);
        // The shortcuts go where the shell folders are, as setup makes them. (The
        // folders are not redirected: Wine's desktop process puts them back.)
        desktop = shellFolder(CSIDL_DESKTOPDIRECTORY);
        programs = shellFolder(CSIDL_PROGRAMS);
        ASSERT_FALSE(desktop.empty() || programs.empty());
        desktopLink = desktop + "\\Quillmark Demo (uninstall test).lnk";
        group = programs + "\\QuillUninstallTest\\Quillmark Demo";
        removeShortcuts();
        makeDirs(group);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, MAKER_KEY);
        deleteUninstallEntry();
        removeTree(base);
        removeShortcuts();
    }
    void removeShortcuts() {
        DeleteFileA(desktopLink.c_str());
        DeleteFileA((desktop + "\\quill-notes.txt").c_str());
        DeleteFileA(besideDesktop().c_str());
        removeTree(programs + "\\QuillUninstallTest");
    }

    // A shortcut in the folder that holds the desktop folder.
    std::string besideDesktop() const { return desktop.substr(0, desktop.rfind('\\')) + "\\quill-outside.lnk"; }

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

    // The shortcuts finishing makes, and their lines in its order.
    std::string makeShortcuts() {
        writeFile(desktopLink, "lnk");
        writeFile(group + "\\Play.lnk", "lnk");
        writeFile(group + "\\Web Site.url", "url");
        return desktopLink + "\r\n" + group + "\\\r\n" + installDir + "\\uninstall.exe\r\n" + group + "\\Play.lnk\r\n" +
               group + "\\Web Site.url\r\n";
    }
    void expectShortcutsGone() {
        EXPECT_FALSE(exists(desktopLink));
        EXPECT_FALSE(exists(programs + "\\QuillUninstallTest")) << "the program group or its parent is left";
        EXPECT_TRUE(exists(desktop));
        EXPECT_TRUE(exists(programs));
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

    std::string base, desktop, programs, desktopLink, group, installDir;
};

TEST_F(Uninstall, RemovesListedFilesShortcutsRegistryKeyAndFinallyItself) {
    installDir = base + "\\Quillmark Demo";
    // Repeats, folders before their contents, shortcuts by absolute paths.
    const std::string dirLine = installDir + "\\\r\n";
    makeInstallation(dirLine + "Data\r\nData\\a.dat\r\nData\\sub\r\nData\\sub\\b.dat\r\n" + dirLine +
                     "Data\\a.dat\r\n" + makeShortcuts() +
                     "addinstf.bin\r\nuninstall.exe\r\nMedia\\strings.txt\r\nMedia");
    makeDirs(installDir + "\\Saves");
    writeFile(installDir + "\\Saves\\slot1.sav", "the player's");

    runUninstall(installDir, {{IDYES, CONFIRM_TEXT}, {IDOK, SUCCESS_TEXT}}, 0, Ending::FolderStays);
    for (const char* gone : {"\\Data", "\\addinstf.bin", "\\Media", "\\install.log"})
        EXPECT_FALSE(exists(installDir + gone)) << gone;
    expectShortcutsGone();
    EXPECT_TRUE(exists(installDir + "\\Saves\\slot1.sav"));
    EXPECT_FALSE(keyExists(PRODUCT_KEY));
    EXPECT_FALSE(keyExists(MAKER_KEY)) << "the maker's last product takes the maker's key along";
}

// An edited or damaged log: a line too long for any path setup writes, whose
// tail a line buffer would read as an absolute path, and entries that reach
// outside the places setup writes to. The files they name survive; the real
// shortcuts go, and the closing box says that the log was not sound.
TEST_F(Uninstall, DamagedLogTouchesNothingOutsideButRemovesTheShortcuts) {
    installDir = base + "\\Quillmark Demo";
    std::vector<std::string> victims = {base + "\\victim.txt", base + "\\elsewhere.lnk", desktop + "\\quill-notes.txt",
                                        besideDesktop()};
    for (const std::string& victim : victims) writeFile(victim, "not ours");
    const std::string longLine = "Data\\" + std::string(259 - 5, 'x') + victims[0];
    makeInstallation(installDir + "\\\r\nData\r\nData\\a.dat\r\nData\\sub\r\nData\\sub\\b.dat\r\n" + longLine +
                     "\r\n..\\victim.txt\r\nData\\..\\..\\victim.txt\r\nQ:\\..\\..\\victim.txt\r\n" + victims[0] +
                     "\r\n" + victims[1] + "\r\n" + victims[2] + "\r\n" + desktop + "\\..\\quill-outside.lnk\r\n" +
                     desktop + "\\\r\n" + programs + "\\\r\n" + makeShortcuts() +
                     "addinstf.bin\r\nuninstall.exe\r\nMedia\\strings.txt\r\nMedia\r\n");

    // Nothing of the game is left, so the registration goes and so does the folder.
    runUninstall(installDir, {{IDYES, CONFIRM_TEXT}, {IDOK, incompleteText(installDir)}}, 0, Ending::FolderGoes);
    for (const std::string& victim : victims) EXPECT_TRUE(exists(victim)) << victim;
    expectShortcutsGone();
    EXPECT_FALSE(keyExists(PRODUCT_KEY));
}

// A listed file in use stays: the box names the folder, and the registration,
// the log and the program stay, so that a second run removes the rest.
TEST_F(Uninstall, FileInUseKeepsTheRegistrationForASecondRun) {
    installDir = base + "\\Quillmark Demo";
    makeInstallation(installDir + "\\\r\nData\r\nData\\a.dat\r\nData\\sub\r\nData\\sub\\b.dat\r\n" + makeShortcuts() +
                     "addinstf.bin\r\nuninstall.exe\r\nMedia\\strings.txt\r\nMedia\r\n");
    HANDLE inUse =
        CreateFileA((installDir + "\\Data\\a.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    writeStringTable(base);
    runUninstall(base, {{IDYES, CONFIRM_TEXT}, {IDOK, incompleteText(installDir)}}, 0, Ending::ProgramStays);
    EXPECT_TRUE(exists(installDir + "\\Data\\a.dat"));
    EXPECT_FALSE(exists(installDir + "\\Data\\sub"));
    EXPECT_TRUE(exists(installDir + "\\install.log"));
    EXPECT_TRUE(keyExists(PRODUCT_KEY));

    CloseHandle(inUse);
    runUninstall(base, {{IDYES, CONFIRM_TEXT}, {IDOK, SUCCESS_TEXT}}, 0, Ending::FolderGoes);
    expectShortcutsGone();
    EXPECT_FALSE(keyExists(PRODUCT_KEY));
}

// An empty log lists nothing, so any file in the folder may be the game's: with
// one there the registration stays; without, the empty folder goes. Either way
// the box does not claim success. Started by setup from its own folder; the
// program came from a read-only medium.
TEST_F(Uninstall, EmptyLogSaysSoAndRemovesOnlyAnEmptyFolder) {
    const std::string medium = base + "\\medium";
    writeStringTable(medium);
    for (bool gameFileThere : {true, false}) {
        SCOPED_TRACE(gameFileThere ? "with a game file" : "without");
        installDir = base + "\\Quillmark Demo";
        makeDirs(installDir);
        if (gameFileThere) writeFile(installDir + "\\Quillmark.exe", "game");
        copyUninstaller(installDir);
        SetFileAttributesA((installDir + "\\uninstall.exe").c_str(), FILE_ATTRIBUTE_READONLY);
        writeFile(installDir + "\\install.log", "");
        registerInstallDir(installDir);

        runUninstall(medium, {{IDYES, CONFIRM_TEXT}, {IDOK, incompleteText(installDir)}}, 0,
                     gameFileThere ? Ending::ProgramStays : Ending::FolderGoes);
        EXPECT_EQ(keyExists(PRODUCT_KEY), gameFileThere);
        EXPECT_TRUE(exists(medium + "\\Media\\strings.txt"));
        SetFileAttributesA((installDir + "\\uninstall.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
        removeTree(installDir);
    }
}

// The self-removal for every folder setup can install to, with every temporary
// folder a user may have: nothing of the installation, the program or the batch
// is left. Each case runs where the ANSI code page spells it: the test runs in a
// Western and in a Russian locale.
TEST_F(Uninstall, SelfRemovalWorksForEveryPathSetupInstallsTo) {
    struct PathCase {
        const char* what;
        UINT codePage;  // the ANSI code page the names need; 0: any
        std::wstring folder, temp;
    };
    const std::wstring longest(LONGEST_INSTALL_DIR - base.size() - 1, L'l');
    const PathCase cases[] = {
        {"Western letters", 1252, L"Jeux vidéo\\Quillmark Demö", L"Zoë\\Temp"},
        {"Western letters the OEM code page lacks", 1252, L"Œuvres à 5 €\\Quillmark", L"José ‘Temp’"},
        {"Cyrillic letters", 1251, L"Игры\\Демо Квиллмарк", L"Пользователь Ёж\\Temp"},
        {"Cyrillic letters the OEM code page lacks", 1251, L"«Игры» Ђ\\Демо", L"Ђорђе Temp"},
        {"characters special to batch files", 0, L"100% & ^x !y (z) %PATH%\\Quillmark Demo", L"Temp & %TEMP% ^!()"},
        {"the longest folder setup accepts", 0, longest, L"Temp"},
    };
    int ran = 0;
    for (const PathCase& c : cases) {
        if (c.codePage != 0 && c.codePage != GetACP()) continue;
        SCOPED_TRACE(c.what);
        ++ran;
        installDir = base + "\\" + ansi(c.folder);
        ASSERT_LE(installDir.size(), LONGEST_INSTALL_DIR);
        const std::string temp = base + "\\" + ansi(c.temp) + "\\";
        makeDirs(installDir);
        makeDirs(temp.substr(0, temp.size() - 1));
        // Setup's own files, and a game file and the texts where the path fits.
        std::string log = installDir + "\\\r\n";
        for (const char* name : {"Data\\a.dat", "Media\\strings.txt"}) {
            if (installDir.size() + 1 + std::strlen(name) >= MAX_PATH) continue;
            std::string folder = std::string(name).substr(0, std::string(name).find('\\'));
            makeDirs(installDir + "\\" + folder);
            writeFile(installDir + "\\" + name, "x");
            log += folder + "\r\n" + name + "\r\n";
        }
        writeStringTable(base);
        if (exists(installDir + "\\Media\\strings.txt")) writeStringTable(installDir);
        copyUninstaller(installDir);
        writeFile(installDir + "\\addinstf.bin", std::string(16, '\1'));
        writeFile(installDir + "\\install.log", log + makeShortcuts() + "addinstf.bin\r\nuninstall.exe\r\n");
        registerInstallDir(installDir);

        {
            TemporaryFolder temporary(temp);
            const std::string exe = installDir + "\\uninstall.exe";
            // From the installation folder, as the Start-menu shortcut starts it,
            // where the texts are there.
            UninstallRun run(exe, exists(installDir + "\\Media") ? installDir : base);
            ASSERT_TRUE(run.started);
            EXPECT_EQ(run.answer(IDYES), CONFIRM_TEXT);
            EXPECT_EQ(run.answer(IDOK), SUCCESS_TEXT);
            EXPECT_EQ(run.exitCode(), 0u);
            EXPECT_TRUE(selfRemovalDone(exe, installDir, true, temp)) << installDir;
        }
        expectShortcutsGone();
        EXPECT_FALSE(keyExists(PRODUCT_KEY));
        makeDirs(group);
    }
    EXPECT_EQ(ran, 4) << "the ANSI code page is neither 1252 nor 1251";
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

// Without the log nothing is touched. While the folder is there the registration
// stays, so that setup can install over it; a registration without a folder goes.
TEST_F(Uninstall, MissingLogTouchesNoFileAndKeepsTheKeyWhileTheFolderIsThere) {
    installDir = base + "\\Quillmark Demo";
    makeInstallation("");
    DeleteFileA((installDir + "\\install.log").c_str());
    runUninstall(installDir, {{IDYES, CONFIRM_TEXT}, {IDOK, incompleteText(installDir)}}, 0, Ending::ProgramStays);
    EXPECT_TRUE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(exists(installDir + "\\Data\\a.dat"));

    const std::string program = base + "\\program";
    makeDirs(program);
    writeStringTable(program);
    copyUninstaller(program);
    registerInstallDir(base + "\\Gone");
    // Another game of the same maker keeps the maker's key.
    const std::string sibling = std::string(MAKER_KEY) + "\\Another Game";
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, sibling.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    UninstallRun run(program + "\\uninstall.exe", program);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.answer(IDYES), CONFIRM_TEXT);
    EXPECT_EQ(run.answer(IDOK), FAIL_TEXT);
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_FALSE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(keyExists(sibling.c_str()));
}

TEST_F(Uninstall, StartedFromTheSystemFolderReadsTheTextsBesideItself) {
    // Settings > Apps starts the uninstaller with a current folder of its own.
    char szSystem[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(szSystem, MAX_PATH), 0u);
    installDir = base + "\\Quillmark Demo";
    makeInstallation(installDir + "\\\r\nData\r\nData\\a.dat\r\nData\\sub\r\nData\\sub\\b.dat\r\naddinstf.bin\r\n" +
                     "uninstall.exe\r\nMedia\\strings.txt\r\nMedia");
    wintest::setRegistryString(HKEY_CURRENT_USER, uninstallEntryKey().c_str(), "DisplayName", "Quillmark Demo");
    runUninstall(szSystem, {{IDYES, CONFIRM_TEXT}, {IDOK, SUCCESS_TEXT}}, 0, Ending::FolderGoes);
    EXPECT_FALSE(keyExists(PRODUCT_KEY));
    EXPECT_FALSE(uninstallEntryExists());
}

TEST_F(Uninstall, MissingStringTableEndsWithMinusOne) {
    installDir = base + "\\Quillmark Demo";
    makeInstallation(installDir + "\\\r\nData\\a.dat\r\n");
    // Neither in the current folder nor beside the program.
    DeleteFileA((installDir + "\\Media\\strings.txt").c_str());
    runUninstall(base, {{IDOK, "Cannot load string table. Application will terminate."}}, static_cast<DWORD>(-1),
                 Ending::ProgramStays);
    EXPECT_TRUE(keyExists(PRODUCT_KEY));
    EXPECT_TRUE(exists(installDir + "\\Data\\a.dat"));
}

}  // namespace
