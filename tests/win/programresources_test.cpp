// What setup.exe and uninstall.exe carry as resources, read back through the
// system as Windows reads them: the application manifest (asInvoker, the systems
// from Windows 7 to 11, common controls 6), the version record and the icon.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

namespace {

struct Program {
    const char* path;
    const char* description;
    const char* file;
};

const Program programs[] = {
    {QUILL_SETUP_EXE, "Quillmark Demo Setup", "setup.exe"},
    {QUILL_UNINSTALL_EXE, "Quillmark Demo Uninstall", "uninstall.exe"},
};

class ProgramResources : public ::testing::TestWithParam<Program> {
protected:
    void SetUp() override {
        module = LoadLibraryExA(GetParam().path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << GetParam().path;
    }
    void TearDown() override { FreeLibrary(module); }

    std::string manifest() const {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
        if (!found) return std::string();
        const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(text, SizeofResource(module, found));
    }

    std::string versionString(const char* name) const {
        DWORD size = GetFileVersionInfoSizeA(GetParam().path, nullptr);
        std::string record(size, '\0');
        if (!size || !GetFileVersionInfoA(GetParam().path, 0, size, record.data())) return "<no version record>";
        char* value = nullptr;
        UINT length = 0;
        std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueA(record.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !length)
            return "<absent>";
        return value;
    }

    HMODULE module = nullptr;
};

TEST_P(ProgramResources, ManifestAsksForNoElevationNamesTheSystemsAndCommonControls6) {
    const std::string text = manifest();
    ASSERT_FALSE(text.empty()) << "no manifest";
    for (const char* expected : {
             "level=\"asInvoker\"",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
         })
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

TEST_P(ProgramResources, VersionRecordNamesProgramProductMakerAndVersion) {
    EXPECT_EQ(versionString("FileDescription"), GetParam().description);
    EXPECT_EQ(versionString("OriginalFilename"), GetParam().file);
    EXPECT_EQ(versionString("ProductName"), "Quillmark Demo");
    EXPECT_EQ(versionString("CompanyName"), "Orvanta");
    const std::string version = versionString("FileVersion");
    EXPECT_EQ(version.find_first_not_of("0123456789."), std::string::npos) << version;
    EXPECT_EQ(versionString("ProductVersion"), version);
}

TEST_P(ProgramResources, IconIsThere) {
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(105), MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ProgramResources, ::testing::ValuesIn(programs),
                         [](const ::testing::TestParamInfo<Program>& info) {
                             return std::string(info.param.file).substr(0, std::string(info.param.file).find('.'));
                         });

}  // namespace
