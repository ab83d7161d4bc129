// Libraries from System32 only. Stand-ins for winmm.dll, msacm32.dll and
// uxtheme.dll planted beside setup.exe and uninstall.exe, with Wine told to
// prefer a library it finds over its own (QUILL_DLLOVERRIDES, the order Windows
// uses for every library that is not one of its known DLLs: the program's folder
// first), are never loaded, and setup still shows its welcome screen and plays
// its cues. Both programs import only known DLLs.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/soundsink.h"
#include "support/wintest.h"

using namespace wintest;

namespace {

const char* const STAND_INS[] = {"winmm.dll", "msacm32.dll", "uxtheme.dll"};

// Libraries Windows always takes from System32, whatever folder a program runs
// from (the known DLLs of Windows 10 and 11 that these programs could import).
const char* const KNOWN_DLLS[] = {"advapi32.dll", "comdlg32.dll", "gdi32.dll",   "kernel32.dll", "msvcrt.dll",
                                  "ole32.dll",    "oleaut32.dll", "shell32.dll", "shlwapi.dll",  "user32.dll"};

class LibrarySearch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(copyTree(QUILL_MEDIUM, medium.path()));
        for (const char* name : STAND_INS)
            ASSERT_TRUE(CopyFileA(QUILL_STAND_IN_DLL, (medium.path() + "\\" + name).c_str(), FALSE));
    }

    // The stand-ins that some process has loaded.
    std::vector<std::string> loadedStandIns() const {
        std::vector<std::string> loaded;
        for (const char* name : STAND_INS)
            if (exists(medium.path() + "\\" + name + ".loaded")) loaded.push_back(name);
        return loaded;
    }

    ScratchDir medium{"medium"};
};

TEST_F(LibrarySearch, AStandInIsTakenWhereASearchLooksInItsFolder) {
    // Without this the other test would pass with stand-ins that never load.
    std::wstring folder(medium.path().begin(), medium.path().end());
    DLL_DIRECTORY_COOKIE cookie = AddDllDirectory(folder.c_str());
    ASSERT_NE(cookie, nullptr);
    HMODULE standIn = LoadLibraryExA("msacm32.dll", nullptr, LOAD_LIBRARY_SEARCH_USER_DIRS);
    EXPECT_NE(standIn, nullptr);
    EXPECT_EQ(loadedStandIns(), std::vector<std::string>{"msacm32.dll"});
    if (standIn) FreeLibrary(standIn);
    RemoveDllDirectory(cookie);
}

TEST_F(LibrarySearch, SetupAndUninstallNeverLoadTheStandIns) {
    const char* sink = std::getenv("QUILL_SOUND_SINK");
    if (sink) DeleteFileA(sink);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION setup{};
    std::string commandLine = "\"" + medium.path() + "\\setup.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, medium.path().c_str(),
                               &startup, &setup));
    HWND window = nullptr;
    for (int i = 0; i < 400 && !(window && IsWindowVisible(window)); ++i) {
        Sleep(50);
        window = FindWindowA("__INSTALL_WND__", nullptr);
    }
    ASSERT_NE(window, nullptr) << "setup shows no window";
    char szTitle[128] = "";
    GetWindowTextA(window, szTitle, sizeof szTitle);
    EXPECT_STREQ(szTitle, "Quillmark Demo Setup");
    Sleep(2000);  // the background loop plays
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr) << "setup shows a message box";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(setup.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(setup.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(setup.hThread);
    CloseHandle(setup.hProcess);
    if (sink) {
        const std::vector<int16_t> left = readSinkLeft(sink);
        EXPECT_GT(left.size(), 44100u) << "setup played under a second";
        EXPECT_FALSE(silentAt(left));
    }

    BoxAnswerer answerer("Quillmark Demo Uninstall", IDNO);
    RunResult uninstall = runProgram("\"" + medium.path() + "\\uninstall.exe\"", medium.path());
    EXPECT_EQ(uninstall.exitCode, 0u);
    EXPECT_EQ(answerer.stop().size(), 1u) << "uninstall did not ask";

    EXPECT_EQ(loadedStandIns(), std::vector<std::string>{});
}

// The libraries a program imports, read from its import directory.
std::vector<std::string> importedLibraries(const char* program) {
    std::vector<std::string> names;
    HMODULE mapped = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!mapped) return names;
    // A module mapped as a resource has its low bits set to tell so.
    const BYTE* base = reinterpret_cast<const BYTE*>(reinterpret_cast<uintptr_t>(mapped) & ~uintptr_t{3});
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        names.push_back(name);
    }
    FreeLibrary(mapped);
    return names;
}

TEST(LibrarySearchImports, BothProgramsImportOnlyKnownDlls) {
    for (const char* program : {QUILL_SETUP_EXE, QUILL_UNINSTALL_EXE}) {
        const std::vector<std::string> names = importedLibraries(program);
        EXPECT_FALSE(names.empty()) << program;
        for (const std::string& name : names)
            EXPECT_NE(std::find(std::begin(KNOWN_DLLS), std::end(KNOWN_DLLS), name), std::end(KNOWN_DLLS))
                << program << " imports " << name << ", which Windows looks for beside the program first";
    }
}

}  // namespace
