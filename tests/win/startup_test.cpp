// Tests of setup's start-up, window procedure and message boxes: in this process
// on the real window, and as a separate setup.exe for the exit paths.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "gui/guiwindow.h"
#include "installapp.h"
#include "support/wintest.h"

namespace {

constexpr char BOX_CAPTION[] = "Quillmark Demo Install";
constexpr char PRODUCT_KEY[] = "SOFTWARE\\Orvanta\\Quillmark Demo";

const char STRINGS[] =
    "STR_APP_TITLE Startup Test Title\n"
    "LNG_CHARSET RUSSIAN_CHARSET\n"
    "MSG_WRONG_SYSTEM Old system.\n"
    "MSG_WRONG_SYSTEM1 Continue?\n"
    "MSG_ARE_YOU_SURE Cancel now?\n"
    "PATH_GAME_DIR Orvanta\\Quillmark Demo\n";

std::string exeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\'));
}

void writeStrings(const std::string& folder, const std::string& text) {
    CreateDirectoryA((folder + "\\Media").c_str(), nullptr);
    ASSERT_TRUE(wintest::writeFile(folder + "\\Media\\strings.txt", text));
}

// A medium folder with a copy of setup.exe under the given name.
std::string makeMedium(const std::string& name, const char* exeName = "setup.exe", bool withStrings = true) {
    std::string folder = wintest::freshFolder(name);
    EXPECT_TRUE(CopyFileA(QUILL_SETUP_EXE, (folder + "\\" + exeName).c_str(), FALSE));
    if (withStrings) writeStrings(folder, STRINGS);
    return folder;
}

void setRegisteredDir(const std::string& dir) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                   static_cast<DWORD>(dir.size() + 1));
    RegCloseKey(key);
}

void clearRegisteredDir() { RegDeleteKeyA(HKEY_CURRENT_USER, PRODUCT_KEY); }

// Records what reaches a window of the current screen.
class RecordingWindow : public GuiWindow {
public:
    bool onKey(int key) override {
        keys.push_back(key);
        return false;
    }
    bool onMouse(int event) override {
        events.push_back(event);
        getMousePos(mouseX, mouseY);
        return false;
    }
    std::vector<int> keys;
    std::vector<int> events;
    int32_t mouseX = -1;
    int32_t mouseY = -1;
};

void pumpMessages(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

TEST(StartupTest, CharsetNamesMapToGdiCharsets) {
    int charset = 238;
    EXPECT_TRUE(charsetFromName("RUSSIAN_CHARSET", charset));
    EXPECT_EQ(charset, RUSSIAN_CHARSET);
    EXPECT_TRUE(charsetFromName("THAI_CHARSET", charset));
    EXPECT_EQ(charset, THAI_CHARSET);
    EXPECT_TRUE(charsetFromName("ANSI_CHARSET", charset));
    EXPECT_EQ(charset, ANSI_CHARSET);
    charset = 238;
    EXPECT_FALSE(charsetFromName("russian_charset", charset));
    EXPECT_FALSE(charsetFromName("", charset));
    EXPECT_EQ(charset, 238);
}

TEST(StartupTest, MessageTextsAreLiteralWithoutArgumentsAndCutAtTheBuffer) {
    EXPECT_EQ(InstallApp::formatMessage("100%s done"), "100%s done\n");
    EXPECT_EQ(InstallApp::formatMessage("Cannot open file %s", "a.bin"), "Cannot open file a.bin\n");
    std::string longText(5000, 'x');
    std::string cut = InstallApp::formatMessage(longText.c_str());
    EXPECT_EQ(cut.size(), InstallApp::MESSAGE_BUFFER - 1);
    EXPECT_EQ(cut.back(), '\n');
    std::string formatted = InstallApp::formatMessage("%s!", longText.c_str());
    EXPECT_EQ(formatted.size(), InstallApp::MESSAGE_BUFFER - 1);
}

// start() runs once per process, so one test walks the whole window life.
TEST(StartupTest, WindowProcedureOnTheRealWindow) {
    clearRegisteredDir();
    writeStrings(exeFolder(), STRINGS);
    ASSERT_TRUE(installApp.start(GetModuleHandleA(nullptr)));
    HWND hwnd = installApp.hwnd;
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(fontCharset, RUSSIAN_CHARSET);
    EXPECT_EQ(installApp.sourceDrive, exeFolder().substr(0, 2));

    char title[256];
    GetWindowTextA(hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Startup Test Title");

    // The window covers the work area, and the panel sits in its middle.
    RECT work, window;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.left, work.left);
    EXPECT_EQ(window.top, work.top);
    EXPECT_EQ(window.right, work.right);
    EXPECT_EQ(window.bottom, work.bottom);
    GuiRect panel = installApp.panelRect;
    EXPECT_EQ(panel.w, 550);
    EXPECT_EQ(panel.h, 400);
    EXPECT_EQ(panel.x, work.left + (GetSystemMetrics(SM_CXSCREEN) - work.left - 550) / 2);
    EXPECT_EQ(panel.y, work.top + (GetSystemMetrics(SM_CYSCREEN) - work.top - 400) / 2);
    if (work.left == 0 && work.top == 0 && work.right == 1024 && work.bottom == 768) {
        EXPECT_EQ(panel, GuiRect(237, 184, 550, 400));
    }

    // Keys: the five navigation keys by virtual-key code, characters by WM_CHAR.
    auto* recorder = new RecordingWindow;
    recorder->setRect(0, 0, 550, 400);
    ASSERT_EQ(currentScreen(), &installApp.welcomeScreen);
    installApp.welcomeScreen.addChild(recorder);
    for (int vk : {VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_DELETE, int('A'), VK_F1})
        SendMessageA(hwnd, WM_KEYDOWN, static_cast<WPARAM>(vk), 0);
    EXPECT_EQ(recorder->keys, (std::vector<int>{37, 39, 36, 35, 46}));
    EXPECT_TRUE(installApp.keyDown);
    SendMessageA(hwnd, WM_KEYUP, 'A', 0);
    EXPECT_FALSE(installApp.keyDown);
    recorder->keys.clear();
    SendMessageA(hwnd, WM_CHAR, '%', 0);
    SendMessageA(hwnd, WM_CHAR, 0xE9, 0);
    EXPECT_EQ(recorder->keys, (std::vector<int>{37, 0xE9}));

    // Mouse messages arrive as event codes with the point in panel coordinates.
    LPARAM at = MAKELPARAM(panel.x + 10, panel.y + 20);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(hwnd, WM_LBUTTONUP, 0, at);
    SendMessageA(hwnd, WM_RBUTTONUP, 0, at);
    SendMessageA(hwnd, WM_RBUTTONDOWN, 0, at);
    SendMessageA(hwnd, WM_MBUTTONDOWN, 0, at);
    SendMessageA(hwnd, WM_MBUTTONUP, 0, at);
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, 0, at);
    SendMessageA(hwnd, WM_MBUTTONDBLCLK, 0, at);
    EXPECT_EQ(recorder->events, (std::vector<int>{2, 3, 4, 6, 5, 7, 8, 9, 11}));
    EXPECT_EQ(recorder->mouseX, 10);
    EXPECT_EQ(recorder->mouseY, 20);

    // Minimising stops the idle drawing; activation resumes it.
    SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(installApp.windowActive);
    SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(installApp.windowActive);

    // Alt+F4 and the system menu's commands do nothing.
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SendMessageA(hwnd, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    pumpMessages(300);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(IsIconic(hwnd));

    // The end of the Windows session is noted.
    SendMessageA(hwnd, WM_QUERYENDSESSION, 0, 0);
    EXPECT_TRUE(installApp.sessionEnding);
    installApp.sessionEnding = false;

    {
        // Cancelling: No keeps going, Yes requests the stop, and after finishing
        // has begun nothing is asked at all.
        wintest::BoxAnswerer boxes(BOX_CAPTION, IDNO);
        installApp.finishing = false;
        installApp.confirmCancel();
        EXPECT_FALSE(installApp.cancelRequested);
        EXPECT_FALSE(installApp.cancelPrompting);
        boxes.setAnswer(IDYES);
        installApp.confirmCancel();
        EXPECT_TRUE(installApp.cancelRequested);
        installApp.finishing = true;
        installApp.cancelRequested = false;
        installApp.confirmCancel();
        EXPECT_FALSE(installApp.cancelRequested);
        ASSERT_EQ(boxes.texts().size(), 2u);
        EXPECT_EQ(boxes.texts()[0], "Cancel now?\n");
        installApp.finishing = false;
    }

    {
        // A second start cannot register the class again and says so.
        wintest::BoxAnswerer boxes(BOX_CAPTION, IDOK);
        EXPECT_FALSE(installApp.start(GetModuleHandleA(nullptr)));
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_EQ(boxes.texts()[0], "Cannot register window class: __INSTALL_WND__\n");
    }

    // Destroying the window ends the message loop with a quit message.
    DestroyWindow(hwnd);
    EXPECT_TRUE(installApp.messageLoop());
}

TEST(SetupProcessTest, MissingStringTableEndsWithCodeOne) {
    std::string medium = makeMedium("no_strings", "setup.exe", false);
    wintest::BoxAnswerer boxes(BOX_CAPTION, IDOK);
    wintest::RunResult run = wintest::runProgram("\"" + medium + "\\setup.exe\"", medium);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], "Cannot load string table. Application will terminate.\n");
}

TEST(SetupProcessTest, UnsupportedSystemAnsweredNoEndsWithCodeOne) {
    // Wine reports an NT 4.0 system to a program of this name.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\oldsystem.exe", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("nt40"), 5);
    RegCloseKey(key);

    std::string medium = makeMedium("old_system", "oldsystem.exe");
    wintest::BoxAnswerer boxes(BOX_CAPTION, IDNO);
    wintest::RunResult run = wintest::runProgram("\"" + medium + "\\oldsystem.exe\"", medium);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\oldsystem.exe");
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], "Old system.\nContinue?\n");
}

class ResumedRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        medium = makeMedium("resumed_medium");
        installDir = wintest::freshFolder("resumed_install");
        // The uninstaller the first run copied, which a resumed run keeps.
        ASSERT_TRUE(wintest::writeFile(installDir + "\\uninstall.exe", "uninstaller"));
    }
    void TearDown() override { clearRegisteredDir(); }

    void writeFlags(const std::string& bytes) { ASSERT_TRUE(wintest::writeFile(installDir + "\\addinstf.bin", bytes)); }
    wintest::RunResult run(const std::string& arguments, int timeoutMs = 30000) {
        return wintest::runProgram("\"" + medium + "\\setup.exe\" " + arguments, medium, timeoutMs);
    }

    std::string medium;
    std::string installDir;
};

TEST_F(ResumedRunTest, EndsAtOnceWithoutRegistryOrFlagsFile) {
    clearRegisteredDir();
    EXPECT_EQ(run("-AdditionalInstall").exitCode, 1u);
    setRegisteredDir(installDir);
    EXPECT_EQ(run("-AdditionalInstall").exitCode, 1u);
}

TEST_F(ResumedRunTest, AllSixteenHandledEndsWithCodeZeroAndNoWindow) {
    setRegisteredDir(installDir);
    writeFlags(std::string(16, '\1'));
    EXPECT_EQ(run("-AdditionalInstall").exitCode, 0u);
    // A substring of a longer word selects the resumed run too.
    EXPECT_EQ(run("/x-AdditionalInstallation").exitCode, 0u);
    EXPECT_EQ(FindWindowA("__INSTALL_WND__", nullptr), nullptr);
}

// Closes the setup that a finished run started afresh; false when none came.
bool closeRelaunchedSetup() {
    HWND window = nullptr;
    for (int i = 0; i < 1000 && !window; ++i, Sleep(20)) window = FindWindowA("__INSTALL_WND__", "Startup Test Title");
    if (!window) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process) {
        if (WaitForSingleObject(process, 10000) == WAIT_TIMEOUT) TerminateProcess(process, 99);
        CloseHandle(process);
    }
    return true;
}

TEST_F(ResumedRunTest, FewerThanSixteenOrAShortFileRunsTheResumedFinishing) {
    setRegisteredDir(installDir);
    for (const std::string& flags : {std::string(15, '\1') + '\2', std::string(10, '\1')}) {
        writeFlags(flags);
        // With no additional installers named, finishing marks them all done,
        // starts setup afresh and ends.
        EXPECT_EQ(run("-AdditionalInstall").exitCode, 0u) << "flags of " << flags.size() << " bytes";
        EXPECT_EQ(wintest::readFile(installDir + "\\addinstf.bin"), std::string(16, '\1'));
        EXPECT_TRUE(closeRelaunchedSetup());
    }
}

}  // namespace
