// Loading "unrar.dll": a missing library and one without the RAR functions are
// told to the user by name and refused; neither crashes a later call.
#include "unrarbinding.h"

#include <gtest/gtest.h>

#include "installapp.h"
#include "support/wintest.h"

namespace {

// Unloads what the binding loaded, so the next test starts from nothing.
void unloadUnrarLibrary() {
    while (unrarLibrary != nullptr && FreeLibrary(unrarLibrary)) {
        if (GetModuleHandleA("unrar.dll") == nullptr) break;
    }
    unrarLibrary = nullptr;
}

// setup's program file as if it stood in the test's folder, where the library is looked for.
void placeSetupHere() { installApp.setupPath = wintest::currentDir() + "\\setup.exe"; }

TEST(UnrarBinding, MissingLibraryIsReportedByName) {
    placeSetupHere();
    ASSERT_EQ(GetFileAttributesA("unrar.dll"), INVALID_FILE_ATTRIBUTES) << "the test folder must not hold unrar.dll";
    wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
    EXPECT_FALSE(loadUnrarLibrary());
    EXPECT_EQ(unrarLibrary, nullptr);
    EXPECT_EQ(answerer.texts(), std::vector<std::string>{"Cannot load unrar.dll. Installation will not proceed\n"});

    // The wrappers fail like the library would instead of calling nothing.
    RAROpenArchiveData data{};
    EXPECT_EQ(RAROpenArchive(&data), nullptr);
    EXPECT_NE(RARProcessFile(nullptr, RAR_SKIP, nullptr, nullptr), 0);
}

TEST(UnrarBinding, LibraryWithoutTheFunctionsIsReportedByName) {
    char systemDir[MAX_PATH];
    GetSystemDirectoryA(systemDir, MAX_PATH);
    // Any DLL that is not a RAR library stands in for a wrong unrar.dll.
    ASSERT_TRUE(CopyFileA((std::string(systemDir) + "\\version.dll").c_str(), "unrar.dll", FALSE));
    placeSetupHere();
    {
        wintest::BoxAnswerer answerer("Quillmark Demo Install", IDOK);
        EXPECT_FALSE(loadUnrarLibrary());
        EXPECT_NE(unrarLibrary, nullptr);
        EXPECT_EQ(answerer.texts(),
                  std::vector<std::string>{"Cannot find RAROpenArchive in unrar.dll. Installation will not proceed\n"});
        EXPECT_EQ(RARReadHeaderEx(nullptr, &headerData), ERAR_ECREATE);
    }
    unloadUnrarLibrary();
    DeleteFileA("unrar.dll");
}

}  // namespace
