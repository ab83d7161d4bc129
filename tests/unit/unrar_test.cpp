// libunrar.so natively: the real-world test archives, archives made by the RAR writer,
// damaged and hostile archives, callbacks and the record interface.
#include "unrar/unrar.h"

#include "tests/common/damagedpackages.h"
#include "tests/common/rarmanifest.h"
#include "tools/mkmedium/rarwriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

namespace fs = std::filesystem;

// Damaged archives make libarchive ask malloc for absurd sizes, which it survives when
// malloc answers null; under AddressSanitizer that answer has to be allowed.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

const std::string TestData = std::string(QUILL_TEST_DATA) + "/rar/";

struct Walk {
    unsigned openResult = 0;
    int endCode = 0;                     // what ended the walk
    std::vector<RARHeaderDataEx> heads;  // in archive order
    std::vector<int> results;            // RARProcessFile per entry
};

// Opens `archive`, reads every header and processes it with `operation` into `dest`.
Walk walkArchive(const std::string& archive, unsigned mode, int operation, const std::string& dest = "") {
    Walk walk;
    RAROpenArchiveDataEx open{};
    open.ArcName = const_cast<char*>(archive.c_str());
    open.OpenMode = mode;
    void* h = RAROpenArchiveEx(&open);
    walk.openResult = open.OpenResult;
    if (!h) return walk;
    auto head = std::make_unique<RARHeaderDataEx>();
    for (;;) {
        *head = RARHeaderDataEx{};
        walk.endCode = RARReadHeaderEx(h, head.get());
        if (walk.endCode != ERAR_SUCCESS) break;
        walk.heads.push_back(*head);
        walk.results.push_back(
            RARProcessFile(h, operation, dest.empty() ? nullptr : const_cast<char*>(dest.c_str()), nullptr));
    }
    EXPECT_EQ(RARCloseArchive(h), ERAR_SUCCESS);
    return walk;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The manifest lists the content of the ZIP file stored inside this RAR archive: a
// reader of every format takes the file for a ZIP archive. A RAR reader must give the
// RAR archive's own entries.
const std::string ZipInRar = "test_read_format_rar5_zip_in_rar.rar";

bool isFailure(const Walk& walk) {
    if (walk.openResult != ERAR_SUCCESS || walk.endCode != ERAR_END_ARCHIVE) return true;
    for (int r : walk.results)
        if (r != ERAR_SUCCESS) return true;
    return false;
}

}  // namespace

// Every `extract` archive lists exactly the manifest's entries and extracts exactly its
// files, folders and links, with the manifest's sizes and hashes.
TEST(UnrarTestData, ExtractArchivesMatchTheManifest) {
    auto archives = readRarManifest(TestData + "MANIFEST.tsv");
    ASSERT_GT(archives.size(), 50u) << "test data missing in " << TestData;
    for (const auto& archive : archives) {
        if (archive.kind != "extract") continue;
        SCOPED_TRACE(archive.name);
        std::set<std::string> expected;
        for (const auto& e : archive.entries) expected.insert(e.path);

        if (archive.name == ZipInRar) continue;
        // The manifest also names folders that only exist as parents of entries.
        Walk listing = walkArchive(TestData + archive.name, RAR_OM_LIST, RAR_SKIP);
        std::set<std::string> listed;
        for (const auto& head : listing.heads) listed.insert(head.FileName);
        EXPECT_EQ(listing.endCode, ERAR_END_ARCHIVE);
        for (const auto& e : archive.entries) EXPECT_TRUE(e.type == "dir" || listed.count(e.path)) << e.path;
        for (const auto& name : listed) EXPECT_TRUE(expected.count(name)) << name;

        std::string dest = freshFolder("manifest");
        Walk extraction = walkArchive(TestData + archive.name, RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        EXPECT_FALSE(isFailure(extraction));
        std::map<std::string, char> tree = treeOf(dest);
        std::set<std::string> written;
        for (const auto& item : tree) written.insert(item.first);
        EXPECT_EQ(written, expected);
        for (const auto& e : archive.entries) {
            SCOPED_TRACE(e.path);
            char kind = e.type == "file" ? 'f' : e.type == "dir" ? 'd' : 'l';
            EXPECT_EQ(tree[e.path], kind);
            if (kind == 'f') {
                EXPECT_EQ(fs::file_size(dest + "/" + e.path), e.size);
                EXPECT_EQ(sha256File(dest + "/" + e.path), e.sha256);
            }
        }
        for (size_t i = 0; i < listing.heads.size(); ++i) {
            const auto& head = listing.heads[i];
            bool folder = (head.Flags & RHDF_DIRECTORY) != 0;
            EXPECT_EQ(folder, S_ISDIR(head.FileAttr)) << head.FileName;
        }
    }
}

TEST(UnrarTestData, ZipInsideRarGivesTheRarEntries) {
    Walk walk = walkArchive(TestData + ZipInRar, RAR_OM_EXTRACT, RAR_EXTRACT, freshFolder("zipinrar"));
    EXPECT_FALSE(isFailure(walk));
    EXPECT_EQ(treeOf("zipinrar"), (std::map<std::string, char>{
                                      {"payload", 'd'}, {"payload/inner.zip", 'f'}, {"payload/real_after.txt", 'f'}}));
}

// Damaged, encrypted and formerly hanging archives end with an error code, and nothing
// appears outside the destination.
TEST(UnrarTestData, BadArchivesEndWithAnErrorAndStayInside) {
    for (const auto& archive : readRarManifest(TestData + "MANIFEST.tsv")) {
        bool mustFail =
            archive.kind == "malformed" || archive.kind == "encrypted" || archive.kind.rfind("malformed-hangs", 0) == 0;
        if (!mustFail && archive.kind.rfind("valid-but", 0) != 0) continue;
        SCOPED_TRACE(archive.name);
        std::string sandbox = freshFolder("sandbox");
        std::string dest = sandbox + "/dest";
        Walk extraction = walkArchive(TestData + archive.name, RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        if (mustFail) {
            EXPECT_TRUE(isFailure(extraction));
        }
        for (const auto& item : treeOf(sandbox))
            EXPECT_TRUE(item.first == "dest" || item.first.rfind("dest/", 0) == 0) << item.first;
        Walk testing = walkArchive(TestData + archive.name, RAR_OM_EXTRACT, RAR_TEST);
        if (mustFail) {
            EXPECT_TRUE(isFailure(testing));
        }
    }
}

// Entries in a compression no engine here decodes end with an error code and leave no
// file, in either operation; the entries beside them still come out exactly.
TEST(UnrarTestData, UndecodableEntriesEndWithAnErrorCode) {
    int archives = 0;
    for (const auto& archive : readRarManifest(TestData + "MANIFEST.tsv")) {
        if (archive.kind != "undecodable") continue;
        SCOPED_TRACE(archive.name);
        ++archives;
        std::string dest = freshFolder("undecodable");
        Walk extraction = walkArchive(TestData + archive.name, RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        Walk testing = walkArchive(TestData + archive.name, RAR_OM_EXTRACT, RAR_TEST);
        ASSERT_EQ(extraction.heads.size(), archive.entries.size());
        ASSERT_EQ(testing.results.size(), archive.entries.size());
        for (size_t i = 0; i < archive.entries.size(); ++i) {
            const auto& e = archive.entries[i];
            SCOPED_TRACE(e.path);
            EXPECT_EQ(extraction.heads[i].FileName, e.path);
            if (e.sha256 == "-") {
                EXPECT_NE(extraction.results[i], ERAR_SUCCESS);
                EXPECT_NE(testing.results[i], ERAR_SUCCESS);
                EXPECT_FALSE(fs::exists(dest + "/" + e.path));
            } else {
                EXPECT_EQ(extraction.results[i], ERAR_SUCCESS);
                EXPECT_EQ(testing.results[i], ERAR_SUCCESS);
                EXPECT_EQ(sha256File(dest + "/" + e.path), e.sha256);
            }
        }
    }
    EXPECT_GT(archives, 0);
}

// A volume set whose last volume is missing: the file that needs it is an error, not a
// short file; what lies in the volumes present still comes out.
TEST(UnrarTestData, MissingVolumeIsAnError) {
    fs::remove_all("partial");
    fs::create_directories("partial");
    for (const char* part : {"rarfile_rar3-vols.part1.rar", "rarfile_rar3-vols.part2.rar"})
        fs::copy_file(TestData + part, std::string("partial/") + part);
    std::string dest = freshFolder("partialout");
    Walk walk = walkArchive("partial/rarfile_rar3-vols.part1.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest);
    ASSERT_FALSE(walk.results.empty());
    EXPECT_STREQ(walk.heads[0].FileName, "vols/bigfile.txt");
    EXPECT_NE(walk.results[0], ERAR_SUCCESS);
    EXPECT_FALSE(fs::exists(dest + "/vols/bigfile.txt"));
}

// Solid archives: every entry continues the previous one's compression, so an entry
// skipped by the caller is still decoded on the way to the next one.
TEST(UnrarTestData, SolidEntriesAfterSkippedOnes) {
    RAROpenArchiveData open{};
    std::string name = TestData + "rarfile_rar3-solid.rar";
    open.ArcName = const_cast<char*>(name.c_str());
    open.OpenMode = RAR_OM_EXTRACT;
    void* h = RAROpenArchive(&open);
    ASSERT_NE(h, nullptr);
    std::string dest = freshFolder("solidskip");
    RARHeaderData head{};
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_FALSE(head.Flags & RHDF_SOLID);
    EXPECT_EQ(RARProcessFile(h, RAR_SKIP, nullptr, nullptr), ERAR_SUCCESS);
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_TRUE(head.Flags & RHDF_SOLID);
    EXPECT_EQ(head.FileCRC, 0xC5B7E6A2u);
    EXPECT_EQ(RARProcessFile(h, RAR_EXTRACT, const_cast<char*>(dest.c_str()), nullptr), ERAR_SUCCESS);
    RARCloseArchive(h);
    EXPECT_EQ(sha256File(dest + "/stest2.txt"), "2eaebb4c18cdef7f20089f8a2fa3475bc59c2a193f66e2f1513609a4bef13e22");
}

// RAR 5: file copies repeat a file extracted before them, and one whose file is not
// there is an error that leaves nothing; entries carry the data CRC32.
TEST(UnrarTestData, Rar5FileCopiesAndCrc) {
    RAROpenArchiveData open{};
    std::string name = TestData + "rarfile_rar5-dups.rar";
    open.ArcName = const_cast<char*>(name.c_str());
    open.OpenMode = RAR_OM_EXTRACT;
    void* h = RAROpenArchive(&open);
    ASSERT_NE(h, nullptr);
    std::string dest = freshFolder("copies");
    RARHeaderData head{};
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_EQ(head.FileCRC, 0xC5B7E6A2u);
    EXPECT_EQ(RARProcessFile(h, RAR_SKIP, nullptr, nullptr), ERAR_SUCCESS);
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_EQ(head.UnpSize, 2048u);
    EXPECT_EQ(RARProcessFile(h, RAR_EXTRACT, const_cast<char*>(dest.c_str()), nullptr), ERAR_EREFERENCE);
    RARCloseArchive(h);
    EXPECT_TRUE(treeOf(dest).empty());
}

// An encrypted RAR 5 entry with plain headers is flagged, asks for the password, and
// the entries after it are still listed and extracted.
TEST(UnrarTestData, Rar5EncryptedEntryDoesNotEndTheWalk) {
    Walk walk = walkArchive(TestData + "test_read_format_rar5_encrypted.rar", RAR_OM_EXTRACT, RAR_EXTRACT,
                            freshFolder("rar5encrypted"));
    ASSERT_EQ(walk.heads.size(), 4u);
    EXPECT_EQ(walk.endCode, ERAR_END_ARCHIVE);
    EXPECT_EQ(walk.results,
              (std::vector<int>{ERAR_SUCCESS, ERAR_MISSING_PASSWORD, ERAR_SUCCESS, ERAR_MISSING_PASSWORD}));
    EXPECT_TRUE(walk.heads[1].Flags & RHDF_ENCRYPTED);
    EXPECT_FALSE(walk.heads[2].Flags & RHDF_ENCRYPTED);
}

TEST(UnrarTestData, EncryptedEntriesAskForAPassword) {
    Walk walk = walkArchive(TestData + "test_read_format_rar_encryption_data.rar", RAR_OM_EXTRACT, RAR_EXTRACT,
                            freshFolder("encrypted"));
    ASSERT_EQ(walk.heads.size(), 2u);
    EXPECT_TRUE(walk.heads[0].Flags & RHDF_ENCRYPTED);
    EXPECT_EQ(walk.results[0], ERAR_MISSING_PASSWORD);
    EXPECT_TRUE(treeOf("encrypted").empty());

    Walk headers = walkArchive(TestData + "test_read_format_rar_encryption_header.rar", RAR_OM_LIST, RAR_SKIP);
    EXPECT_EQ(headers.openResult, static_cast<unsigned>(ERAR_MISSING_PASSWORD));
}

// RAR 4 archives that libarchive 3.6.2 could not extract (many LZ blocks, a PPMd block
// turning into LZ, low-distance repeats across tables) come out whole: the library
// checks every entry's size and CRC32.
TEST(UnrarTestData, Rar4ArchivesLibarchiveFailedDecodeWhole) {
    for (const char* name :
         {"test_read_format_rar_multi_lzss_blocks.rar", "test_read_format_rar_ppmd_lzss_conversion.rar",
          "test_read_format_rar3_lowdist_reset.rar"}) {
        SCOPED_TRACE(name);
        Walk walk = walkArchive(TestData + name, RAR_OM_EXTRACT, RAR_TEST);
        EXPECT_FALSE(isFailure(walk));
        EXPECT_FALSE(walk.heads.empty());
    }
}

// A self-extracting first volume (a program, then the archive) is followed by plain
// volumes, in either naming; what comes out is what the plain set gives.
TEST(UnrarTestData, SelfExtractingVolumeSets) {
    auto stubOf = [](const std::string& sfx) {
        std::string data = readText(TestData + sfx);
        return data.substr(0, data.find("Rar!\x1A\x07"));
    };
    struct Set {
        const char* program;            // the self-extractor whose program part goes in front
        std::vector<const char*> from;  // the plain set in the test data
        std::vector<const char*> to;    // its names as a self-extracting set
    };
    const Set sets[] = {
        {"test_read_format_rar5_sfx.exe",
         {"test_read_format_rar5_multiarchive.part01.rar", "test_read_format_rar5_multiarchive.part02.rar",
          "test_read_format_rar5_multiarchive.part03.rar", "test_read_format_rar5_multiarchive.part04.rar",
          "test_read_format_rar5_multiarchive.part05.rar", "test_read_format_rar5_multiarchive.part06.rar",
          "test_read_format_rar5_multiarchive.part07.rar", "test_read_format_rar5_multiarchive.part08.rar"},
         {"sfx5.part01.exe", "sfx5.part02.rar", "sfx5.part03.rar", "sfx5.part04.rar", "sfx5.part05.rar",
          "sfx5.part06.rar", "sfx5.part07.rar", "sfx5.part08.rar"}},
        {"test_read_format_rar_sfx.exe",
         {"rarfile_rar3-vols.part1.rar", "rarfile_rar3-vols.part2.rar", "rarfile_rar3-vols.part3.rar"},
         {"sfx4.part1.exe", "sfx4.part2.rar", "sfx4.part3.rar"}},
        {"test_read_format_rar_sfx.exe",
         {"rarfile_rar3-old.rar", "rarfile_rar3-old.r00", "rarfile_rar3-old.r01"},
         {"SFX4OLD.EXE", "SFX4OLD.R00", "SFX4OLD.R01"}},
    };
    for (const Set& set : sets) {
        SCOPED_TRACE(set.to[0]);
        fs::remove_all("sfxset");
        fs::create_directories("sfxset");
        for (size_t i = 0; i < set.from.size(); ++i) {
            std::ofstream out(std::string("sfxset/") + set.to[i], std::ios::binary);
            out << (i == 0 ? stubOf(set.program) : "") << readText(TestData + set.from[i]);
        }
        std::string plain = freshFolder("sfxplain");
        std::string selfExtracting = freshFolder("sfxout");
        EXPECT_FALSE(isFailure(walkArchive(TestData + set.from[0], RAR_OM_EXTRACT, RAR_EXTRACT, plain)));
        Walk walk = walkArchive(std::string("sfxset/") + set.to[0], RAR_OM_EXTRACT, RAR_EXTRACT, selfExtracting);
        EXPECT_FALSE(isFailure(walk));
        std::map<std::string, char> tree = treeOf(plain);
        EXPECT_FALSE(tree.empty());
        EXPECT_EQ(treeOf(selfExtracting), tree);
        for (const auto& item : tree) {
            if (item.second != 'f') continue;
            EXPECT_EQ(readText(selfExtracting + "/" + item.first), readText(plain + "/" + item.first)) << item.first;
        }
    }
}

TEST(UnrarTestData, FollowsVolumesFromTheFirstPart) {
    for (const char* first :
         {"test_read_format_rar5_multiarchive.part01.rar", "test_read_format_rar5_multiarchive_solid.part01.rar"}) {
        SCOPED_TRACE(first);
        std::string dest = freshFolder("volumes");
        Walk walk = walkArchive(TestData + first, RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        EXPECT_FALSE(isFailure(walk));
        ASSERT_FALSE(walk.heads.empty());
        for (const auto& head : walk.heads)
            EXPECT_EQ(fs::file_size(dest + "/" + head.FileName), head.UnpSize) << head.FileName;
    }
}

class UnrarWriterTest : public ::testing::Test {
protected:
    void SetUp() override { dest_ = freshFolder("out"); }
    std::string dest_;
};

// Folders as entries, archive order, sizes, flags, wide names and contents.
TEST_F(UnrarWriterTest, RoundTripsALayout) {
    std::string big(700000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
    {
        RarWriter writer("layout.rar");
        ASSERT_TRUE(writer.addFolder("Game"));
        ASSERT_TRUE(writer.addBytes("Game/readme.txt", "hello", 5));
        ASSERT_TRUE(writer.addFolder("Game/Data/Empty"));
        ASSERT_TRUE(writer.addBytes("Game/Data/level.bin", big.data(), big.size()));
        ASSERT_TRUE(writer.addBytes("Game/empty.txt", "", 0));
        ASSERT_TRUE(writer.addBytes("Game/Grüße.txt", "gr", 2));
        ASSERT_TRUE(writer.finish()) << writer.error();
    }
    Walk walk = walkArchive("layout.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest_);
    EXPECT_FALSE(isFailure(walk));
    std::vector<std::string> names;
    for (const auto& head : walk.heads) names.push_back(head.FileName);
    EXPECT_EQ(names, (std::vector<std::string>{"Game", "Game/readme.txt", "Game/Data/Empty", "Game/Data/level.bin",
                                               "Game/empty.txt", "Game/Grüße.txt"}));
    EXPECT_TRUE(walk.heads[0].Flags & RHDF_DIRECTORY);
    EXPECT_FALSE(walk.heads[1].Flags & RHDF_DIRECTORY);
    EXPECT_EQ(walk.heads[3].UnpSize, big.size());
    EXPECT_EQ(walk.heads[3].UnpSizeHigh, 0u);
    EXPECT_EQ(std::wstring(walk.heads[5].FileNameW), L"Game/Grüße.txt");
    EXPECT_EQ(readText(dest_ + "/Game/Data/level.bin"), big);
    EXPECT_EQ(readText(dest_ + "/Game/Grüße.txt"), "gr");
    EXPECT_TRUE(fs::is_directory(dest_ + "/Game/Data/Empty"));
    EXPECT_EQ(fs::file_size(dest_ + "/Game/empty.txt"), 0u);

    // The short record and the plain open give the same names and sizes.
    RAROpenArchiveData open{};
    open.ArcName = const_cast<char*>("layout.rar");
    open.OpenMode = RAR_OM_LIST;
    void* h = RAROpenArchive(&open);
    ASSERT_NE(h, nullptr);
    RARHeaderData head{};
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_STREQ(head.FileName, "Game");
    EXPECT_EQ(RARProcessFile(h, RAR_SKIP, nullptr, nullptr), ERAR_SUCCESS);
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_EQ(head.UnpSize, 5u);
    EXPECT_EQ(head.PackSize, 5u);
    EXPECT_EQ(head.Method, 0x30u);
    EXPECT_EQ(head.HostOS, 2u);
    EXPECT_EQ(head.FileCRC, rarCrc32(0, "hello", 5));
    RARCloseArchive(h);
}

// A stored entry with a wrong CRC fails with ERAR_BAD_DATA, is not left behind, and the
// walk goes on with the next entry; testing finds it too.
TEST_F(UnrarWriterTest, CrcMismatchIsBadData) {
    {
        RarWriter writer("corrupt.rar");
        writer.corruptCrcOf("b.bin");
        writer.addBytes("a.bin", "aaaa", 4);
        writer.addBytes("b.bin", "bbbb", 4);
        writer.addBytes("c.bin", "cccc", 4);
        ASSERT_TRUE(writer.finish());
    }
    Walk walk = walkArchive("corrupt.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest_);
    EXPECT_EQ(walk.results, (std::vector<int>{ERAR_SUCCESS, ERAR_BAD_DATA, ERAR_SUCCESS}));
    EXPECT_EQ((std::map<std::string, char>{{"a.bin", 'f'}, {"c.bin", 'f'}}), treeOf(dest_));
    Walk test = walkArchive("corrupt.rar", RAR_OM_EXTRACT, RAR_TEST);
    EXPECT_EQ(test.results, (std::vector<int>{ERAR_SUCCESS, ERAR_BAD_DATA, ERAR_SUCCESS}));
}

// One damaged byte in the data of any kind of package (stored RAR 4 as mkmedium packs
// it, compressed and solid RAR 4, stored and compressed RAR 5) ends that entry with
// the CRC error and leaves no file of it; whatever else fails leaves nothing either.
TEST_F(UnrarWriterTest, DamagedByteIsACrcErrorAndLeavesNoFile) {
    for (const auto& c : damagedPackages(TestData)) {
        SCOPED_TRACE(c.archive);
        writeDamagedCopy(c.archive, "damaged.rar", c.offset);
        Walk walk = walkArchive("damaged.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest_);
        std::map<std::string, char> tree = treeOf(dest_);
        int damaged = 0;
        for (size_t i = 0; i < walk.heads.size(); ++i) {
            const std::string name = walk.heads[i].FileName;
            if (name == c.entry) {
                ++damaged;
                EXPECT_EQ(walk.results[i], ERAR_BAD_DATA);
            }
            EXPECT_EQ(tree.count(name) == 1, walk.results[i] == ERAR_SUCCESS) << name;
        }
        EXPECT_EQ(damaged, 1);
        dest_ = freshFolder("out");
    }
}

TEST_F(UnrarWriterTest, FindsBothVolumeNamings) {
    std::string data(50000, 'v');
    {
        RarWriter writer("set.rar", 12000);
        writer.addFolder("d");
        writer.addBytes("d/spread.bin", data.data(), data.size());
        writer.addBytes("d/after.txt", "end", 3);
        ASSERT_TRUE(writer.finish()) << writer.error();
        ASSERT_GE(writer.volumes().size(), 4u);
    }
    Walk walk = walkArchive("set.part01.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest_);
    EXPECT_FALSE(isFailure(walk));
    EXPECT_EQ(readText(dest_ + "/d/spread.bin"), data);
    EXPECT_EQ(readText(dest_ + "/d/after.txt"), "end");

    // The old naming: name.rar, name.r00, name.r01, ...
    fs::rename("set.part01.rar", "old.rar");
    for (int i = 2; fs::exists("set.part0" + std::to_string(i) + ".rar"); ++i)
        fs::rename("set.part0" + std::to_string(i) + ".rar", "old.r0" + std::to_string(i - 2));
    std::string oldDest = freshFolder("old");
    Walk old = walkArchive("old.rar", RAR_OM_EXTRACT, RAR_EXTRACT, oldDest);
    EXPECT_FALSE(isFailure(old));
    EXPECT_EQ(readText(oldDest + "/d/spread.bin"), data);

    // A part number longer than any integer type counts on: 99...9, 100...00, 100...01.
    const std::string nines(30, '9'), next = "1" + std::string(28, '0');
    fs::rename("old.rar", "huge.part" + nines + ".rar");
    for (int i = 0; fs::exists("old.r0" + std::to_string(i)); ++i)
        fs::rename("old.r0" + std::to_string(i), "huge.part" + next + "0" + std::to_string(i) + ".rar");
    std::string hugeDest = freshFolder("huge");
    Walk huge = walkArchive("huge.part" + nines + ".rar", RAR_OM_EXTRACT, RAR_EXTRACT, hugeDest);
    EXPECT_FALSE(isFailure(huge));
    EXPECT_EQ(readText(hugeDest + "/d/spread.bin"), data);
}

struct DataLog {
    static int calls;
    static long long bytes;
    static int stopAfter;  // calls before answering 0; -1 never
    static int UNRAR_CALL proc(unsigned char*, int size) {
        ++calls;
        bytes += size;
        return stopAfter >= 0 && calls > stopAfter ? 0 : 1;
    }
    static int UNRAR_CALL callback(unsigned int msg, UnrarParam userData, UnrarParam, UnrarParam p2) {
        if (msg != UCM_PROCESSDATA) return 0;
        *reinterpret_cast<long long*>(userData) += p2;
        return -1;
    }
};
int DataLog::calls = 0;
long long DataLog::bytes = 0;
int DataLog::stopAfter = -1;

// The data procedure sees every block; answering 0 abandons the entry (nothing left on
// disk) and the walk can go on; the general callback's -1 does the same.
TEST_F(UnrarWriterTest, DataCallbacksSeeBlocksAndCanAbandon) {
    std::string data(3 * 1000 * 1000, 'x');
    {
        RarWriter writer("blocks.rar");
        writer.addBytes("one.bin", data.data(), data.size());
        writer.addBytes("two.txt", "two", 3);
        ASSERT_TRUE(writer.finish());
    }
    RAROpenArchiveData open{};
    open.ArcName = const_cast<char*>("blocks.rar");
    open.OpenMode = RAR_OM_EXTRACT;

    DataLog::calls = 0;
    DataLog::bytes = 0;
    DataLog::stopAfter = -1;
    void* h = RAROpenArchive(&open);
    ASSERT_NE(h, nullptr);
    RARSetProcessDataProc(h, DataLog::proc);
    RARHeaderData head{};
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_EQ(RARProcessFile(h, RAR_EXTRACT, const_cast<char*>(dest_.c_str()), nullptr), ERAR_SUCCESS);
    EXPECT_GT(DataLog::calls, 2);
    EXPECT_EQ(DataLog::bytes, static_cast<long long>(data.size()));
    RARCloseArchive(h);

    DataLog::calls = 0;
    DataLog::stopAfter = 1;
    fs::remove_all(dest_);
    h = RAROpenArchive(&open);
    RARSetProcessDataProc(h, DataLog::proc);
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_NE(RARProcessFile(h, RAR_EXTRACT, const_cast<char*>(dest_.c_str()), nullptr), ERAR_SUCCESS);
    EXPECT_EQ(DataLog::calls, 2);
    EXPECT_FALSE(fs::exists(dest_ + "/one.bin"));
    RARSetProcessDataProc(h, nullptr);
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_STREQ(head.FileName, "two.txt");
    EXPECT_EQ(RARProcessFile(h, RAR_EXTRACT, const_cast<char*>(dest_.c_str()), nullptr), ERAR_SUCCESS);
    EXPECT_EQ(readText(dest_ + "/two.txt"), "two");
    RARCloseArchive(h);

    long long seen = 0;
    h = RAROpenArchive(&open);
    RARSetCallback(h, DataLog::callback, reinterpret_cast<UnrarParam>(&seen));
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_NE(RARProcessFile(h, RAR_TEST, nullptr, nullptr), ERAR_SUCCESS);
    EXPECT_GT(seen, 0);
    RARCloseArchive(h);
}

// What already lies at an entry's name: an old file (read-only or not) or a link is
// replaced and never written through, a folder makes the entry fail and stays.
TEST_F(UnrarWriterTest, WhatLiesAtTheNameAlready) {
    {
        RarWriter writer("taken.rar");
        writer.addBytes("game.dat", "new", 3);
        ASSERT_TRUE(writer.finish());
    }
    std::string sandbox = freshFolder("taken");
    std::ofstream(sandbox + "/outside.txt") << "outside";
    struct Case {
        const char* what;
        std::function<void(const std::string&)> plant;
        int result;
        char kindAfter;
    };
    const Case cases[] = {
        {"nothing", [](const std::string&) {}, ERAR_SUCCESS, 'f'},
        {"a file", [](const std::string& at) { std::ofstream(at) << "old and longer"; }, ERAR_SUCCESS, 'f'},
        {"a read-only file",
         [](const std::string& at) {
             std::ofstream(at) << "old";
             fs::permissions(at, fs::perms::owner_read);
         },
         ERAR_SUCCESS, 'f'},
        {"a link to a file outside", [&](const std::string& at) { fs::create_symlink(sandbox + "/outside.txt", at); },
         ERAR_SUCCESS, 'f'},
        {"a dangling link", [&](const std::string& at) { fs::create_symlink(sandbox + "/nowhere.txt", at); },
         ERAR_SUCCESS, 'f'},
        {"a folder", [](const std::string& at) { fs::create_directory(at); }, ERAR_ECREATE, 'd'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string dest = freshFolder("taken/dest");
        c.plant(dest + "/game.dat");
        Walk walk = walkArchive("taken.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest);
        EXPECT_EQ(walk.results, std::vector<int>{c.result});
        EXPECT_EQ(treeOf(dest)["game.dat"], c.kindAfter);
        if (c.result == ERAR_SUCCESS) {
            EXPECT_EQ(readText(dest + "/game.dat"), "new");
        }
        EXPECT_EQ(readText(sandbox + "/outside.txt"), "outside");
        EXPECT_FALSE(fs::exists(sandbox + "/nowhere.txt"));
    }
}

// Names and links that point out of the destination are refused with an error code,
// and nothing is written outside; harmless entries beside them still extract.
TEST_F(UnrarWriterTest, HostileNamesAndLinksStayInside) {
    std::string sandbox = freshFolder("hostile");
    std::string dest = sandbox + "/dest";
    {
        RarWriter writer("hostile.rar");
        writer.addBytes("../escape.txt", "x", 1);
        writer.addBytes("sub/../../escape2.txt", "x", 1);
        writer.addBytes("/" + sandbox + "/absolute.txt", "x", 1);
        writer.addBytes("C:/drive.txt", "x", 1);
        writer.addSymlink("outlink", "..");
        writer.addSymlink("abslink", sandbox);
        writer.addSymlink("uplink", "sub/../..");
        writer.addSymlink("here", ".");
        writer.addBytes("here/../through.txt", "x", 1);
        writer.addBytes("here/inside.txt", "x", 1);
        writer.addBytes("fine.txt", "ok", 2);
        ASSERT_TRUE(writer.finish());
    }
    Walk walk = walkArchive("hostile.rar", RAR_OM_EXTRACT, RAR_EXTRACT, dest);
    ASSERT_EQ(walk.results.size(), 11u);
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(walk.results[i], ERAR_ECREATE) << walk.heads[i].FileName;
    EXPECT_EQ(walk.results[7], ERAR_SUCCESS);  // "here" -> "." stays inside
    EXPECT_EQ(walk.results[8], ERAR_ECREATE);  // ".." component
    EXPECT_EQ(walk.results[9], ERAR_ECREATE);  // would write through a link
    EXPECT_EQ(walk.results[10], ERAR_SUCCESS);
    EXPECT_EQ(treeOf(sandbox),
              (std::map<std::string, char>{{"dest", 'd'}, {"dest/here", 'l'}, {"dest/fine.txt", 'f'}}));
}

// Broken input of every kind gives an error code, never a crash.
TEST_F(UnrarWriterTest, DamagedArchivesGiveErrorCodes) {
    EXPECT_EQ(walkArchive("missing.rar", RAR_OM_LIST, RAR_SKIP).openResult, static_cast<unsigned>(ERAR_EOPEN));
    std::ofstream("garbage.rar") << std::string(4096, 'g');
    EXPECT_EQ(walkArchive("garbage.rar", RAR_OM_LIST, RAR_SKIP).openResult, static_cast<unsigned>(ERAR_BAD_ARCHIVE));

    std::string data(100000, 'd');
    {
        RarWriter writer("whole.rar");
        writer.addBytes("a.bin", data.data(), data.size());
        writer.addBytes("b.bin", data.data(), data.size());
        ASSERT_TRUE(writer.finish());
    }
    std::string whole = readText("whole.rar");
    for (size_t cut : {size_t(10), size_t(30), size_t(5000), whole.size() / 2, whole.size() - 20}) {
        SCOPED_TRACE(cut);
        std::ofstream("cut.rar", std::ios::binary) << whole.substr(0, cut);
        EXPECT_TRUE(isFailure(walkArchive("cut.rar", RAR_OM_EXTRACT, RAR_EXTRACT, freshFolder("cut"))));
    }
    // Flipped bytes in the headers and the data.
    for (size_t at : {size_t(25), size_t(40), size_t(60), size_t(50000), whole.size() / 2 + 20}) {
        SCOPED_TRACE(at);
        std::string bent = whole;
        bent[at] = static_cast<char>(bent[at] ^ 0x5A);
        std::ofstream("bent.rar", std::ios::binary) << bent;
        EXPECT_TRUE(isFailure(walkArchive("bent.rar", RAR_OM_EXTRACT, RAR_EXTRACT, freshFolder("bent"))));
    }
}

TEST_F(UnrarWriterTest, NameTooLongForTheShortRecordIsRefused) {
    std::string longName(300, 'n');
    {
        RarWriter writer("long.rar");
        writer.addBytes(longName, "x", 1);
        ASSERT_TRUE(writer.finish());
    }
    RAROpenArchiveData open{};
    open.ArcName = const_cast<char*>("long.rar");
    open.OpenMode = RAR_OM_EXTRACT;
    void* h = RAROpenArchive(&open);
    ASSERT_NE(h, nullptr);
    RARHeaderData head{};
    ASSERT_EQ(RARReadHeader(h, &head), ERAR_SUCCESS);
    EXPECT_EQ(strlen(head.FileName), 259u);
    EXPECT_EQ(RARProcessFile(h, RAR_EXTRACT, const_cast<char*>(dest_.c_str()), nullptr), ERAR_SMALL_BUF);
    RARCloseArchive(h);
    EXPECT_TRUE(treeOf(dest_).empty());
    EXPECT_EQ(RARGetDllVersion(), RAR_DLL_VERSION);
}
