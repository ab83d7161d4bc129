// unrar.dll under Wine, loaded by path and called through its exports as setup does:
// the real-world test archives, OEM and wide names, CRC errors, callbacks and hostile names.
#include "unrar/unrar.h"

#include "tests/common/damagedpackages.h"
#include "tests/common/rarmanifest.h"
#include "tools/mkmedium/rarwriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::string TestData = std::string(QUILL_TEST_DATA) + "/rar/";

// The exports, looked up by name.
struct UnrarDll {
    HMODULE module = nullptr;
    decltype(&RAROpenArchive) openArchive = nullptr;
    decltype(&RAROpenArchiveEx) openArchiveEx = nullptr;
    decltype(&RARCloseArchive) closeArchive = nullptr;
    decltype(&RARReadHeader) readHeader = nullptr;
    decltype(&RARReadHeaderEx) readHeaderEx = nullptr;
    decltype(&RARProcessFile) processFile = nullptr;
    decltype(&RARProcessFileW) processFileW = nullptr;
    decltype(&RARSetCallback) setCallback = nullptr;
    decltype(&RARSetChangeVolProc) setChangeVolProc = nullptr;
    decltype(&RARSetProcessDataProc) setProcessDataProc = nullptr;
    decltype(&RARSetPassword) setPassword = nullptr;
    decltype(&RARGetDllVersion) getDllVersion = nullptr;

    template <typename F>
    void find(F& f, const char* name) {
        f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    UnrarDll() {
        module = LoadLibraryA(QUILL_UNRAR_DLL);
        if (!module) return;
        find(openArchive, "RAROpenArchive");
        find(openArchiveEx, "RAROpenArchiveEx");
        find(closeArchive, "RARCloseArchive");
        find(readHeader, "RARReadHeader");
        find(readHeaderEx, "RARReadHeaderEx");
        find(processFile, "RARProcessFile");
        find(processFileW, "RARProcessFileW");
        find(setCallback, "RARSetCallback");
        find(setChangeVolProc, "RARSetChangeVolProc");
        find(setProcessDataProc, "RARSetProcessDataProc");
        find(setPassword, "RARSetPassword");
        find(getDllVersion, "RARGetDllVersion");
    }
};

UnrarDll& dll() {
    static UnrarDll instance;
    return instance;
}

std::string utf8(const wchar_t* text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

std::string oem(const wchar_t* text) {
    int n = WideCharToMultiByte(CP_OEMCP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_OEMCP, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

struct Walk {
    unsigned openResult = 0;
    int endCode = 0;
    std::vector<std::string> names;     // wide names as UTF-8 with '/'
    std::vector<std::string> oemNames;  // FileName as given
    std::vector<int> results;
};

Walk walkArchive(const std::string& archive, unsigned mode, int operation, const std::string& dest = "") {
    Walk walk;
    RAROpenArchiveDataEx open{};
    open.ArcName = const_cast<char*>(archive.c_str());
    open.OpenMode = mode;
    void* h = dll().openArchiveEx(&open);
    walk.openResult = open.OpenResult;
    if (!h) return walk;
    auto head = std::make_unique<RARHeaderDataEx>();
    for (;;) {
        *head = RARHeaderDataEx{};
        walk.endCode = dll().readHeaderEx(h, head.get());
        if (walk.endCode != ERAR_SUCCESS) break;
        std::string name = utf8(head->FileNameW);
        for (auto& c : name)
            if (c == '\\') c = '/';
        walk.names.push_back(name);
        walk.oemNames.push_back(head->FileName);
        walk.results.push_back(
            dll().processFile(h, operation, dest.empty() ? nullptr : const_cast<char*>(dest.c_str()), nullptr));
    }
    dll().closeArchive(h);
    return walk;
}

bool isFailure(const Walk& walk) {
    if (walk.openResult != ERAR_SUCCESS || walk.endCode != ERAR_END_ARCHIVE) return true;
    for (int r : walk.results)
        if (r != ERAR_SUCCESS) return true;
    return false;
}

const std::string ZipInRar = "test_read_format_rar5_zip_in_rar.rar";  // see the unit test

}  // namespace

TEST(UnrarDll, ExportsEveryFunction) {
    ASSERT_NE(dll().module, nullptr) << QUILL_UNRAR_DLL;
    EXPECT_TRUE(dll().openArchive && dll().openArchiveEx && dll().closeArchive && dll().readHeader &&
                dll().readHeaderEx && dll().processFile && dll().processFileW && dll().setCallback &&
                dll().setChangeVolProc && dll().setProcessDataProc && dll().setPassword && dll().getDllVersion);
    EXPECT_EQ(dll().getDllVersion(), RAR_DLL_VERSION);
}

// Every `extract` archive gives the manifest's files, sizes and hashes (links as links or,
// where Wine cannot make one, refused with an error code).
TEST(UnrarDll, ExtractArchivesMatchTheManifest) {
    ASSERT_NE(dll().module, nullptr);
    auto archives = readRarManifest(TestData + "MANIFEST.tsv");
    ASSERT_GT(archives.size(), 50u) << TestData;
    for (const auto& archive : archives) {
        if (archive.kind != "extract" || archive.name == ZipInRar) continue;
        SCOPED_TRACE(archive.name);
        std::string dest = freshFolder("manifest");
        Walk walk = walkArchive(TestData + archive.name, RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        EXPECT_EQ(walk.openResult, 0u);
        EXPECT_EQ(walk.endCode, ERAR_END_ARCHIVE);
        std::map<std::string, char> tree = treeOf(dest);
        for (const auto& e : archive.entries) {
            SCOPED_TRACE(e.path);
            if (e.type == "file") {
                fs::path path = fs::u8path(dest + "/" + e.path);
                EXPECT_EQ(tree[e.path], 'f');
                EXPECT_EQ(sha256File(path), e.sha256);
            } else if (e.type == "dir") {
                EXPECT_EQ(tree[e.path], 'd');
            }
        }
        for (const auto& item : tree) {
            bool known = false;
            for (const auto& e : archive.entries) known = known || e.path == item.first;
            EXPECT_TRUE(known) << item.first;
        }
        for (size_t i = 0; i < walk.names.size(); ++i) {
            bool isLink = false;
            for (const auto& e : archive.entries) isLink = isLink || (e.path == walk.names[i] && e.type == "link");
            if (!isLink) {
                EXPECT_EQ(walk.results[i], ERAR_SUCCESS) << walk.names[i];
            }
        }
    }
}

TEST(UnrarDll, BadArchivesEndWithAnErrorAndStayInside) {
    ASSERT_NE(dll().module, nullptr);
    for (const auto& archive : readRarManifest(TestData + "MANIFEST.tsv")) {
        if (archive.kind != "malformed" && archive.kind != "encrypted" && archive.kind.rfind("malformed-hangs", 0) != 0)
            continue;
        SCOPED_TRACE(archive.name);
        std::string sandbox = freshFolder("sandbox");
        Walk walk = walkArchive(TestData + archive.name, RAR_OM_EXTRACT, RAR_EXTRACT, sandbox + "\\dest");
        EXPECT_TRUE(isFailure(walk));
        for (const auto& item : treeOf(sandbox))
            EXPECT_TRUE(item.first == "dest" || item.first.rfind("dest/", 0) == 0) << item.first;
    }
}

// One damaged byte in the data of any kind of package (stored RAR 4 as mkmedium packs
// it, compressed and solid RAR 4, stored and compressed RAR 5) ends that entry with
// the CRC error and leaves no file of it; whatever else fails leaves nothing either.
TEST(UnrarDll, DamagedByteIsACrcErrorAndLeavesNoFile) {
    ASSERT_NE(dll().module, nullptr);
    for (const auto& c : damagedPackages(TestData)) {
        SCOPED_TRACE(c.archive);
        writeDamagedCopy(c.archive, "damaged.rar", c.offset);
        std::string dest = freshFolder("damaged");
        Walk walk = walkArchive("damaged.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        std::map<std::string, char> tree = treeOf(dest);
        int damaged = 0;
        for (size_t i = 0; i < walk.names.size(); ++i) {
            if (walk.names[i] == c.entry) {
                ++damaged;
                EXPECT_EQ(walk.results[i], ERAR_BAD_DATA);
            }
            EXPECT_EQ(tree.count(walk.names[i]) == 1, walk.results[i] == ERAR_SUCCESS) << walk.names[i];
        }
        EXPECT_EQ(damaged, 1);
    }
}

// What already lies at an entry's name: an old file, read-only or not, is replaced; a
// folder makes the entry fail and stays.
TEST(UnrarDll, WhatLiesAtTheNameAlready) {
    ASSERT_NE(dll().module, nullptr);
    {
        RarWriter writer("taken.rar");
        writer.addBytes("game.dat", "new", 3);
        ASSERT_TRUE(writer.finish());
    }
    struct Case {
        const char* what;
        void (*plant)(const std::string& at);
        int result;
        char kindAfter;
    };
    const Case cases[] = {
        {"nothing", [](const std::string&) {}, ERAR_SUCCESS, 'f'},
        {"a file", [](const std::string& at) { std::ofstream(at) << "old and longer"; }, ERAR_SUCCESS, 'f'},
        {"a read-only file",
         [](const std::string& at) {
             std::ofstream(at) << "old";
             SetFileAttributesA(at.c_str(), FILE_ATTRIBUTE_READONLY);
         },
         ERAR_SUCCESS, 'f'},
        {"a folder", [](const std::string& at) { CreateDirectoryA(at.c_str(), nullptr); }, ERAR_ECREATE, 'd'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string dest = freshFolder("taken");
        c.plant(dest + "\\game.dat");
        Walk walk = walkArchive("taken.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        EXPECT_EQ(walk.results, std::vector<int>{c.result});
        EXPECT_EQ(treeOf(dest)["game.dat"], c.kindAfter);
        if (c.result == ERAR_SUCCESS) {
            std::ifstream in(dest + "\\game.dat", std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "new");
        }
        SetFileAttributesA((dest + "\\game.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Names reach the caller in the OEM code page and as wide text; the destination path is
// taken in the OEM code page and gets the folders it needs.
TEST(UnrarDll, OemAndWideNames) {
    ASSERT_NE(dll().module, nullptr);
    {
        RarWriter writer("names.rar");
        writer.addBytes("Spiel/Grüße.txt", "gr", 2);
        ASSERT_TRUE(writer.finish());
    }
    std::string dest = freshFolder("names") + "\\deeper\\still";
    Walk walk = walkArchive("names.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest);
    ASSERT_EQ(walk.results, std::vector<int>{ERAR_SUCCESS});
    EXPECT_EQ(walk.names[0], "Spiel/Grüße.txt");
    EXPECT_EQ(walk.oemNames[0], oem(L"Spiel\\Grüße.txt"));
    EXPECT_TRUE(fs::exists(fs::path(dest) / fs::u8path("Spiel/Grüße.txt")));
}

// Abandons every entry that comes in large blocks.
int CALLBACK refuseLargeBlocks(unsigned char*, int size) { return size >= 65536 ? 0 : 1; }

// Wrong CRC, the data callback's 0 and hostile names: error codes, nothing left behind.
TEST(UnrarDll, ErrorsLeaveNothingBehind) {
    ASSERT_NE(dll().module, nullptr);
    std::string big(2000000, 'b');
    {
        RarWriter writer("errors.rar");
        writer.corruptCrcOf("bad.bin");
        writer.addBytes("bad.bin", "data", 4);
        writer.addBytes("big.bin", big.data(), big.size());
        writer.addBytes("..\\up.txt", "x", 1);
        writer.addBytes("C:\\drive.txt", "x", 1);
        writer.addBytes("D:relative.txt", "x", 1);
        writer.addBytes("stream.txt:hidden", "x", 1);
        writer.addBytes("ok.txt", "ok", 2);
        ASSERT_TRUE(writer.finish());
    }
    std::string sandbox = freshFolder("errors");
    std::string dest = sandbox + "\\dest";
    RAROpenArchiveData open{};
    open.ArcName = const_cast<char*>("errors.rar");
    open.OpenMode = RAR_OM_EXTRACT;
    void* h = dll().openArchive(&open);
    ASSERT_NE(h, nullptr);
    dll().setProcessDataProc(h, refuseLargeBlocks);
    RARHeaderData head{};
    std::vector<int> results;
    while (dll().readHeader(h, &head) == ERAR_SUCCESS)
        results.push_back(dll().processFile(h, RAR_EXTRACT, const_cast<char*>(dest.c_str()), nullptr));
    dll().closeArchive(h);
    ASSERT_EQ(results.size(), 7u);
    EXPECT_EQ(results[0], ERAR_BAD_DATA);
    EXPECT_NE(results[1], ERAR_SUCCESS);  // abandoned by the callback
    for (size_t i = 2; i < 6; ++i) EXPECT_EQ(results[i], ERAR_ECREATE) << i;
    EXPECT_EQ(results[6], ERAR_SUCCESS);
    EXPECT_EQ(treeOf(sandbox), (std::map<std::string, char>{{"dest", 'd'}, {"dest/ok.txt", 'f'}}));
}
