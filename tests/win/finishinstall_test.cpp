// Finishing the installation under Wine: the log, shortcuts, registry values,
// resumption entry, additional installers, relaunch and the hand-over to the
// main thread; the resumed run, also through the real setup.exe; and a drive
// that holds the game but not what finishing writes, with the real worker,
// library and uninstaller.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui/guiwindow.h"
#include "installapp.h"
#include "productidentity.h"
#include "resstringtable.h"
#include "support/wintest.h"
#include "support/workerfixture.h"
#include "tools/mkmedium/rarwriter.h"
#include "uninstallentry.h"

using namespace wintest;

namespace {

constexpr char PRODUCT_KEY[] = "SOFTWARE\\Orvanta\\Quillmark Demo";
constexpr char SHELL_FOLDERS[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char RUNONCE_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Runonce";
constexpr char RUNONCE_VALUE[] = "__QuillmarkAdditionalInstallation__";

constexpr char STRINGS[] =
    "PATH_GAME_EXE Quillmark.exe\r\n"
    "PATH_GAME_DIR QuillTest\\Inner Demo\r\n"
    "TXT_GAME_ICON_DESCR Quillmark Demo\r\n"
    "TXT_SUPPORT_ICON_DESCR Support\r\n"
    "PATH_SUPPORT Support.txt\r\n"
    "TXT_SITE_ICON_DESCR Web Site\r\n"
    "URL_HOMEPAGE http://www.quillmark-demo.example/\r\n"
    "TXT_SPONSOR_SITE_ICON_DESCR Sponsor\r\n"
    "URL_SPONSOR_HOMEPAGE http://www.orvanta.example/\r\n"
    "TXT_UNINSTALL_ICON_DESCR Uninstall\r\n"
    "PATH_ADD_INSTALL_1 add1.exe\r\n"
    "PATH_ADD_INSTALL_2 add2.exe\r\n"
    "PATH_ADD_INSTALL_3 add3.exe\r\n"
    "MSG_CONFIRM_ADD_INSTALL_3 Install the third?\r\n"
    "PATH_ADD_INSTALL_4 add4.exe\r\n"
    "MSG_CONFIRM_ADD_INSTALL_4 Install the fourth?\r\n"
    "STR_PUBLISHER Orvanta\r\n"
    "URL_SUPPORT http://www.quillmark-demo.example/support/\r\n";

void deleteProductKey() {
    RegDeleteKeyA(HKEY_CURRENT_USER, PRODUCT_KEY);
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Orvanta");
    deleteUninstallEntry();
}

// A value of the Apps & features entry, as text ("<absent>" when missing).
std::string entryValue(const char* name) {
    DWORD type = 0, number = 0, size = sizeof number;
    if (RegGetValueA(HKEY_CURRENT_USER, uninstallEntryKey().c_str(), name, RRF_RT_REG_DWORD, &type, &number, &size) ==
        ERROR_SUCCESS)
        return std::to_string(number);
    return registryString(HKEY_CURRENT_USER, uninstallEntryKey().c_str(), name);
}

// Today as the entry spells it, YYYYMMDD, asked of the system's date formatter.
std::string today() {
    char szDate[16] = "";
    GetDateFormatA(LOCALE_INVARIANT, 0, nullptr, "yyyyMMdd", szDate, sizeof szDate);
    return szDate;
}

HWND createMainWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = InstallApp::windowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "__QUILL_FINISH_TEST__";
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, "__QUILL_FINISH_TEST__", "test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Destroying the window posts a quit that must not reach the next test.
void destroyMainWindow() {
    DestroyWindow(installApp.hwnd);
    installApp.hwnd = nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
}

// Pumps this thread's messages until WM_QUIT or the condition holds; the quit
// code, or -1 when no quit came.
template <typename Done>
int pumpUntil(Done done, int timeoutMs = 30000) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(timeoutMs)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            DispatchMessageA(&msg);
        }
        if (done()) return -1;
        Sleep(10);
    }
    return -1;
}

std::string flagBytes(const std::string& path) { return readFile(path); }

// The lines of a file that a program started without waiting writes.
std::vector<std::string> awaitLines(const std::string& path, size_t count) {
    std::vector<std::string> lines;
    for (int i = 0; i < 500 && (lines = readLines(path)).size() < count; ++i) Sleep(10);
    return lines;
}

class FinishTest : public ::testing::Test {
protected:
    void SetUp() override {
        deleteProductKey();
        gameDir = root.path() + "\\Game Folder";
        programs = root.path() + "\\Programs";
        desktop = root.path() + "\\Desktop";
        relaunchDir = root.path() + "\\medium";
        for (const std::string& d : {gameDir, programs, desktop, relaunchDir}) CreateDirectoryA(d.c_str(), nullptr);
        setRegistryString(HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs", programs);
        setRegistryString(HKEY_CURRENT_USER, SHELL_FOLDERS, "Desktop", desktop);
        deleteRegistryValue(HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE);

        writeFile(root.path() + "\\strings.txt", STRINGS);
        ASSERT_TRUE(stringTable.load((root.path() + "\\strings.txt").c_str()));
        setProductIdentity(readProductIdentity(stringTable));
        // Finishing copies the uninstaller from setup's folder, the current one.
        writeFile("uninstall.exe", "uninstaller");
        for (const char* name : {"add1.exe", "add2.exe", "add3.exe", "add4.exe"})
            ASSERT_TRUE(CopyFileA(QUILL_RECORDER_EXE, (gameDir + "\\" + name).c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(QUILL_RECORDER_EXE, (relaunchDir + "\\setup.exe").c_str(), FALSE));

        installApp.hwnd = createMainWindow();
        installApp.installDir = gameDir;
        installApp.setupPath = relaunchDir + "\\setup.exe";
        installApp.sourceDrive = "D:";
        installApp.logEntries.clear();
        installApp.desktopShortcut = true;
        installApp.additionalMode = false;
        installApp.extractionDone = true;
        installApp.cancelRequested = false;
        installApp.finishing = false;
        installApp.sessionEnding = false;
        installApp.workerThread = nullptr;
    }
    void TearDown() override {
        destroyMainWindow();
        deleteProductKey();
        DeleteFileA("uninstall.exe");
        setProductIdentity(identityBefore);
    }

    std::string startMenu() const { return programs + "\\QuillTest\\Inner Demo\\"; }

    // The lines that finishing appends, in their order.
    std::vector<std::string> finishingLines(bool withDesktop) const {
        std::vector<std::string> lines;
        if (withDesktop) lines.push_back(desktop + "\\Quillmark Demo.lnk");
        for (const std::string& line :
             {startMenu(), gameDir + "\\uninstall.exe", startMenu() + "Quillmark Demo.lnk", startMenu() + "Support.lnk",
              startMenu() + "Web Site.lnk", startMenu() + "Sponsor.lnk", startMenu() + "Uninstall.lnk",
              std::string("addinstf.bin"), std::string("uninstall.exe"), std::string("Media\\strings.txt"),
              std::string("Media")})
            lines.push_back(line);
        return lines;
    }

    // Runs finishing on a worker thread while this thread plays the main one.
    int finishOnWorker(std::vector<int> answers, std::vector<std::string>* boxTexts = nullptr) {
        BoxAnswerer answerer(std::move(answers));
        std::atomic<bool> workerDone{false};
        std::thread worker([&workerDone] {
            installApp.finishInstallation();
            workerDone = true;
        });
        // The boxes raised on the worker talk to their owner window, so this
        // thread keeps pumping until the worker is through.
        int quitCode = pumpUntil([&workerDone] { return workerDone.load(); });
        if (quitCode == -1) quitCode = pumpUntil([] { return false; }, 2000);
        worker.join();
        std::vector<std::string> texts = answerer.stop();
        if (boxTexts) *boxTexts = texts;
        return quitCode;
    }

    std::vector<std::string> installersRun() const {
        std::vector<std::string> names;
        for (const std::string& line : readLines(gameDir + "\\ran.txt"))
            names.push_back(line.substr(gameDir.size() + 1));
        return names;
    }

    // A folder of its own per test: a relaunched program may still hold its file
    // for a moment after the previous test.
    ScratchDir root{std::string("finish_") + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    SavedRegistryValue savedPrograms{HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs"};
    SavedRegistryValue savedDesktop{HKEY_CURRENT_USER, SHELL_FOLDERS, "Desktop"};
    SavedRegistryValue savedRunonce{HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE};
    const ProductIdentity identityBefore = productIdentity();
    std::string gameDir, programs, desktop, relaunchDir;
};

TEST_F(FinishTest, CompletedRunWritesEverythingAndRelaunchesSetup) {
    installApp.logEntries = {gameDir + "\\", "Quillmark.exe"};
    // With the uninstaller copy ("uninstaller", listed twice) and the 16 flags
    // 2,048 bytes as installed.
    writeFile(gameDir + "\\Quillmark.exe", std::string(2048 - 11 - 16, 'q'));
    std::vector<std::string> boxes;
    // Installer 3's question is answered No, installer 4's Yes.
    EXPECT_EQ(finishOnWorker({IDNO, IDYES}, &boxes), 0);

    EXPECT_EQ(boxes, (std::vector<std::string>{"Install the third?\n", "Install the fourth?\n"}));
    std::vector<std::string> expectedInstallers = {"add1.exe"};
    if (installApp.isWindowsXp()) expectedInstallers.push_back("add2.exe");
    expectedInstallers.push_back("add4.exe");
    EXPECT_EQ(installersRun(), expectedInstallers);
    EXPECT_EQ(flagBytes(gameDir + "\\addinstf.bin"), std::string(16, '\1'));
    EXPECT_EQ(awaitLines(relaunchDir + "\\ran.txt", 1), std::vector<std::string>{installApp.setupPath});

    std::vector<std::string> expectedLog = {gameDir + "\\", "Quillmark.exe"};
    for (const std::string& line : finishingLines(true)) expectedLog.push_back(line);
    EXPECT_EQ(readLines(gameDir + "\\install.log"), expectedLog);
    EXPECT_NE(readFile(gameDir + "\\install.log").find("Quillmark.exe\r\n"), std::string::npos);

    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), gameDir);
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallFrom"), "D:");
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE),
              "\"" + installApp.setupPath + "\" -AdditionalInstall");
    EXPECT_EQ(readFile(gameDir + "\\uninstall.exe"), "uninstaller");

    // The game in Settings > Apps.
    EXPECT_EQ(entryValue("DisplayName"), "Quillmark Demo");
    EXPECT_EQ(entryValue("DisplayIcon"), gameDir + "\\Quillmark.exe");
    EXPECT_EQ(entryValue("UninstallString"), "\"" + gameDir + "\\uninstall.exe\"");
    EXPECT_EQ(entryValue("InstallLocation"), gameDir);
    EXPECT_EQ(entryValue("Publisher"), "Orvanta");
    EXPECT_EQ(entryValue("URLInfoAbout"), "http://www.quillmark-demo.example/");
    EXPECT_EQ(entryValue("HelpLink"), "http://www.quillmark-demo.example/support/");
    EXPECT_EQ(entryValue("EstimatedSize"), "2");
    EXPECT_EQ(entryValue("InstallDate"), today());
    EXPECT_EQ(entryValue("NoModify"), "1");
    EXPECT_EQ(entryValue("NoRepair"), "1");

    LinkInfo game = readLink(desktop + "\\Quillmark Demo.lnk");
    ASSERT_TRUE(game.loaded);
    EXPECT_STRCASEEQ(game.target.c_str(), (gameDir + "\\Quillmark.exe").c_str());
    EXPECT_STRCASEEQ(game.workingDir.c_str(), gameDir.c_str());
    EXPECT_EQ(game.description, "Quillmark Demo");
    LinkInfo uninstall = readLink(startMenu() + "Uninstall.lnk");
    ASSERT_TRUE(uninstall.loaded);
    EXPECT_STRCASEEQ(uninstall.target.c_str(), (gameDir + "\\uninstall.exe").c_str());
    EXPECT_EQ(uninstall.description, "Uninstall");
    LinkInfo support = readLink(startMenu() + "Support.lnk");
    ASSERT_TRUE(support.loaded);
    EXPECT_STRCASEEQ(support.target.c_str(), (gameDir + "\\Support.txt").c_str());
}

TEST_F(FinishTest, WithoutDesktopShortcutAndOverAnOlderRegistration) {
    setRegistryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir", root.path() + "\\Older");
    installApp.desktopShortcut = false;
    // A medium without a maker or a support page.
    std::string strings = STRINGS;
    strings.resize(strings.find("STR_PUBLISHER"));
    writeFile(root.path() + "\\strings.txt", strings);
    ASSERT_TRUE(stringTable.load((root.path() + "\\strings.txt").c_str()));
    setProductIdentity(readProductIdentity(stringTable));
    EXPECT_EQ(finishOnWorker({IDNO, IDNO}), 0);

    EXPECT_EQ(entryValue("DisplayName"), "Quillmark Demo");
    EXPECT_EQ(entryValue("Publisher"), "<absent>");
    EXPECT_EQ(entryValue("HelpLink"), "<absent>");

    // The chosen folder wins over the older registration.
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), gameDir);
    EXPECT_EQ(readLines(gameDir + "\\install.log"), finishingLines(false));
    EXPECT_FALSE(installApp.fileExists((desktop + "\\Quillmark Demo.lnk").c_str()));
    EXPECT_TRUE(installApp.fileExists((programs + "\\QuillTest").c_str()));
    EXPECT_TRUE(readLink(startMenu() + "Quillmark Demo.lnk").loaded);
    EXPECT_EQ(awaitLines(relaunchDir + "\\ran.txt", 1).size(), 1u);
}

TEST_F(FinishTest, CancelledRunReturnsToTheWelcomeScreenOnTheMainThread) {
    installApp.extractionDone = false;
    std::thread worker([] { installApp.finishInstallation(); });
    worker.join();
    // Nothing was switched on the worker: the main thread does it on its message.
    EXPECT_EQ(pumpUntil([] { return currentScreen() == &installApp.welcomeScreen; }, 5000), -1);
    EXPECT_EQ(currentScreen(), &installApp.welcomeScreen);
    EXPECT_TRUE(installApp.finishing);
    EXPECT_FALSE(installApp.fileExists((gameDir + "\\install.log").c_str()));
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), "<absent>");
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE), "<absent>");
    EXPECT_FALSE(uninstallEntryExists());
}

TEST_F(FinishTest, ResumedRunKeepsTheLogAndContinuesWithTheNextInstaller) {
    // The first run: extracted files, no desktop shortcut, installers 0 to 3 handled.
    std::vector<std::string> firstLog = {gameDir + "\\", "Quillmark.exe", gameDir + "\\", "Data\\level1.dat"};
    for (const std::string& line : finishingLines(false)) firstLog.push_back(line);
    std::string firstLogText;
    for (const std::string& line : firstLog) firstLogText += line + "\r\n";
    writeFile(gameDir + "\\install.log", firstLogText);
    writeFile(gameDir + "\\addinstf.bin", std::string(4, '\1') + std::string(12, '\0'));
    setRegistryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir", gameDir);
    writeFile(gameDir + "\\uninstall.exe", "the first run's uninstaller");
    setRegistryString(HKEY_CURRENT_USER, uninstallEntryKey().c_str(), "InstallDate", "20000101");

    installApp.additionalMode = true;
    installApp.installDir = root.path() + "\\Default";
    // Nothing is added, so the log is not rewritten (which could only lose it):
    // held open for reading only, it could not be.
    HANDLE heldLog = CreateFileA((gameDir + "\\install.log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    BoxAnswerer answerer({IDYES});
    installApp.finishInstallation();  // on the main thread, as start-up runs it
    std::vector<std::string> boxes = answerer.stop();
    CloseHandle(heldLog);
    installApp.additionalMode = false;

    EXPECT_EQ(boxes, std::vector<std::string>{"Install the fourth?\n"});
    EXPECT_EQ(installersRun(), std::vector<std::string>{"add4.exe"});
    EXPECT_EQ(readLines(gameDir + "\\install.log"), firstLog);
    // The uninstaller in place is kept, not copied again.
    EXPECT_EQ(readFile(gameDir + "\\uninstall.exe"), "the first run's uninstaller");
    // The first run's entry in Settings > Apps is left as it was.
    EXPECT_EQ(entryValue("InstallDate"), "20000101");
    EXPECT_EQ(entryValue("DisplayName"), "<absent>");
    EXPECT_FALSE(installApp.fileExists((desktop + "\\Quillmark Demo.lnk").c_str()));
    EXPECT_EQ(flagBytes(gameDir + "\\addinstf.bin"), std::string(16, '\1'));
    EXPECT_EQ(awaitLines(relaunchDir + "\\ran.txt", 1), std::vector<std::string>{installApp.setupPath});
    EXPECT_EQ(pumpUntil([] { return false; }, 2000), 0);
}

// A flags file that cannot be written (a folder stands in its place) is found
// before anything is registered: a normal run is undone and back on the welcome
// screen; a resumed run leaves the first run's installation and quits. Neither
// runs an installer or relaunches setup.
TEST_F(FinishTest, UnwritableFlagsFileIsFoundBeforeAnythingIsRegistered) {
    const std::string flagsPath = gameDir + "\\addinstf.bin";
    CreateDirectoryA(flagsPath.c_str(), nullptr);
    installApp.logEntries = {gameDir + "\\", "Quillmark.exe"};
    writeFile(gameDir + "\\Quillmark.exe", "game");
    std::vector<std::string> boxes;
    EXPECT_EQ(finishOnWorker({IDOK}, &boxes), -1);
    EXPECT_EQ(boxes, std::vector<std::string>{"The file " + flagsPath +
                                              " could not be written.\nThe installation has been undone.\n"});
    EXPECT_EQ(currentScreen(), &installApp.welcomeScreen);
    EXPECT_FALSE(installApp.fileExists((gameDir + "\\Quillmark.exe").c_str()));
    EXPECT_FALSE(installApp.fileExists((gameDir + "\\install.log").c_str()));
    EXPECT_FALSE(installApp.fileExists((desktop + "\\Quillmark Demo.lnk").c_str()));
    EXPECT_FALSE(installApp.fileExists((programs + "\\QuillTest").c_str()));
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), "<absent>");
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE), "<absent>");

    CreateDirectoryA(flagsPath.c_str(), nullptr);
    writeFile(gameDir + "\\install.log", gameDir + "\\\r\nQuillmark.exe\r\n");
    setRegistryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir", gameDir);
    installApp.additionalMode = true;
    BoxAnswerer answerer({IDOK});
    installApp.finishInstallation();
    installApp.additionalMode = false;
    EXPECT_EQ(answerer.stop(), std::vector<std::string>{"The file " + flagsPath + " could not be written.\n"});
    EXPECT_EQ(pumpUntil([] { return false; }, 2000), 0);
    EXPECT_TRUE(installApp.fileExists((gameDir + "\\install.log").c_str()));
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), gameDir);

    EXPECT_TRUE(installersRun().empty());
    EXPECT_FALSE(installApp.fileExists((relaunchDir + "\\ran.txt").c_str()));
    RemoveDirectoryA(flagsPath.c_str());
}

// The medium's packages installed by the worker and finished, on a small drive
// (Q:, a tmpfs) and then on a larger one.
class FinishOnADrive : public WorkerFixture {
protected:
    FinishOnADrive() : WorkerFixture(QUILL_UNRAR_DLL) {}

    void SetUp() override {
        WorkerFixture::SetUp();
        if (HasFatalFailure()) return;
        deleteProductKey();
        deleteRegistryValue(HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE);
        removeShortcuts();
        // The texts of the other tests without the additional installers.
        const std::string strings(STRINGS);
        ASSERT_TRUE(writeFile(medium + "\\Media\\strings.txt",
                              "PATH_SOURCE game.rar\r\n" + strings.substr(0, strings.find("PATH_ADD_INSTALL_"))));
        ASSERT_TRUE(stringTable.load("Media\\strings.txt"));
        ASSERT_TRUE(CopyFileA(QUILL_UNINSTALL_EXE, "uninstall.exe", FALSE));
        ASSERT_TRUE(CopyFileA(QUILL_RECORDER_EXE, "relaunch.exe", FALSE));
        DeleteFileA("ran.txt");
        installApp.hwnd = createMainWindow();
        installApp.setupPath = medium + "\\relaunch.exe";
        installApp.sourceDrive = "D:";
        installApp.desktopShortcut = true;
        installApp.additionalMode = false;
        installApp.sessionEnding = false;
        installApp.workerThread = nullptr;
        finishStep = [] { installApp.finishInstallation(); };
    }
    void TearDown() override {
        destroyMainWindow();
        deleteProductKey();
        deleteRegistryValue(HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE);
        removeShortcuts();
        WorkerFixture::TearDown();
    }

    // The real shell folders: Wine's desktop process would put redirected ones back.
    std::string desktopLink() const { return installApp.desktopFolder() + "\\Quillmark Demo.lnk"; }
    std::string programGroupParent() const { return installApp.programsFolder() + "\\QuillTest"; }
    void removeShortcuts() {
        DeleteFileA(desktopLink().c_str());
        removeTree(programGroupParent());
    }

    // Runs the worker and finishing on their thread while this one plays the
    // main thread; the boxes' texts, and the quit code (-1 for none).
    int install(std::vector<std::string>& boxes) {
        BoxAnswerer answerer(std::vector<int>{}, 120000);
        HANDLE thread = nullptr;
        runWorker(thread);
        int quitCode = pumpUntil([thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 120000);
        if (quitCode == -1) quitCode = pumpUntil([] { return false; }, 1000);
        waitForWorker(thread);
        boxes = answerer.stop();
        return quitCode;
    }
};

TEST_F(FinishOnADrive, SmallDriveIsUndoneWithItsCauseAndALargerOneInstallsEveryFile) {
    if (GetDriveTypeA("Q:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no small drive Q: (needs the tmpfs fixture)";
    const unsigned long long page = 4096;
    const unsigned long long uninstallerPages = (wintest::readFile("uninstall.exe").size() + page - 1) / page;
    // Each case leaves room on the drive for what finishing writes before the file
    // that fails: the uninstaller, then the log (one page), then the flags file.
    struct Case {
        const char* fails;
        unsigned long long roomLeft;
    };
    const Case cases[] = {{"uninstall.exe", 0},
                          {"install.log", uninstallerPages * page},
                          {"addinstf.bin", (uninstallerPages + 1) * page}};
    std::string game;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fails);
        installApp.installDir = "Q:\\Quillmark Demo";
        ASSERT_TRUE(CreateDirectoryA(installApp.installDir.c_str(), nullptr));
        const unsigned long long free = installApp.freeDiskSpace();
        ASSERT_GT(free, c.roomLeft + page);
        game.assign(static_cast<size_t>(free - c.roomLeft), 'g');
        for (size_t i = 0; i < game.size(); i += 997) game[i] = static_cast<char>(i / 997);
        {
            RarWriter writer("game.rar");
            ASSERT_TRUE(writer.addBytes("Quillmark.exe", game.data(), game.size())) << writer.error();
            ASSERT_TRUE(writer.finish()) << writer.error();
        }

        std::vector<std::string> boxes;
        EXPECT_EQ(install(boxes), -1);
        EXPECT_EQ(boxes, Lines{"The disk is full: there is no room for Q:\\Quillmark Demo\\" + std::string(c.fails) +
                               ".\nThe installation has been undone. Please free some space or choose another "
                               "folder.\n"});
        EXPECT_EQ(countEntries("Q:"), 0) << "the drive is not empty";
        EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), "<absent>");
        EXPECT_EQ(registryString(HKEY_CURRENT_USER, RUNONCE_KEY, RUNONCE_VALUE), "<absent>");
        EXPECT_FALSE(exists(desktopLink()));
        EXPECT_FALSE(exists(programGroupParent())) << "the program group or its parent is left";
        EXPECT_EQ(currentScreen(), &installApp.welcomeScreen);
        EXPECT_FALSE(exists("ran.txt")) << "setup was relaunched";
    }

    // The same medium on a drive with room: every file in place, byte for byte.
    installApp.installDir = installDir;
    std::vector<std::string> boxes;
    EXPECT_EQ(install(boxes), 0);
    EXPECT_EQ(boxes, Lines{});
    EXPECT_EQ(wintest::readFile(installDir + "\\Quillmark.exe"), game);
    EXPECT_EQ(wintest::readFile(installDir + "\\uninstall.exe"), wintest::readFile("uninstall.exe"));
    EXPECT_EQ(wintest::readFile(installDir + "\\addinstf.bin"), std::string(16, '\1'));
    EXPECT_EQ(readLines(installDir + "\\install.log").size(), 14u);
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir"), installDir);
    EXPECT_TRUE(readLink(desktopLink()).loaded);
    EXPECT_EQ(awaitLines("ran.txt", 1), Lines{installApp.setupPath});
}

}  // namespace
