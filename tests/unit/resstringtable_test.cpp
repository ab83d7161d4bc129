// Tests of the string table: line splitting, pool accounting and hostile files.
#include "resstringtable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

namespace {

class StringTableTest : public ::testing::Test {
protected:
    // Writes the bytes to a file and loads it into a fresh table.
    bool loadBytes(const std::string& bytes) {
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
        return table.load(path.c_str());
    }

    std::string path = "strings_test.txt";
    ResStringTable table;
};

TEST_F(StringTableTest, SplitsKeyFromValueAndKeepsTrailingBlanks) {
    ASSERT_TRUE(
        loadBytes("KEY   text with  inner blanks  \n"
                  "TAB\tafter tab\n"
                  "ALONE\n"
                  "MIXED \t \tvalue\n"));
    EXPECT_STREQ(table.text("KEY"), "text with  inner blanks  ");
    EXPECT_STREQ(table.text("TAB"), "after tab");
    EXPECT_STREQ(table.text("ALONE"), "");
    EXPECT_STREQ(table.text("MIXED"), "value");
}

TEST_F(StringTableTest, CrLfFilesReadLikeLfFiles) {
    ASSERT_TRUE(loadBytes("A one\r\nB two\r\r\nC three"));
    EXPECT_STREQ(table.text("A"), "one");
    EXPECT_STREQ(table.text("B"), "two");
    // The last line has no line end and is still read.
    EXPECT_STREQ(table.text("C"), "three");
}

TEST_F(StringTableTest, FinalLineEndAddsNoEntry) {
    ASSERT_TRUE(loadBytes("LAST value\n"));
    EXPECT_STREQ(table.text("LAST"), "value");
    EXPECT_STREQ(table.text(""), "");
}

TEST_F(StringTableTest, DuplicateKeysLaterWinsAndKeysAreCaseSensitive) {
    ASSERT_TRUE(loadBytes("KEY first\nkey lower\nKEY second\n"));
    EXPECT_STREQ(table.text("KEY"), "second");
    EXPECT_STREQ(table.text("key"), "lower");
    EXPECT_STREQ(table.text("Key"), "");
}

TEST_F(StringTableTest, BlankAndSeparatorLinesAreFiledUnderTheEmptyKey) {
    ASSERT_TRUE(loadBytes("\n  leading blanks\nAFTER x\n"));
    EXPECT_STREQ(table.text(""), "leading blanks");
    EXPECT_STREQ(table.text("AFTER"), "x");
}

TEST_F(StringTableTest, AbsentKeyIsTheSharedEmptyTextNeverNull) {
    ASSERT_TRUE(loadBytes("A b\n"));
    const char* missing = table.text("MISSING");
    ASSERT_NE(missing, nullptr);
    EXPECT_STREQ(missing, "");
    EXPECT_EQ(missing, table.text("OTHER_MISSING"));
    EXPECT_EQ(table.number("MISSING"), 0);
}

TEST_F(StringTableTest, NumbersReadLikeAtoi) {
    ASSERT_TRUE(
        loadBytes("N1 42\nN2   -17 MB\nN3 12abc\nN4 abc\nN5 +7\nN6 99999999999999999999\n"
                  "N7 -99999999999999999999\n"));
    EXPECT_EQ(table.number("N1"), 42);
    EXPECT_EQ(table.number("N2"), -17);
    EXPECT_EQ(table.number("N3"), 12);
    EXPECT_EQ(table.number("N4"), 0);
    EXPECT_EQ(table.number("N5"), 7);
    EXPECT_EQ(table.number("N6"), INT32_MAX);
    EXPECT_EQ(table.number("N7"), INT32_MIN);
    EXPECT_EQ(parseNumber(" \t 5"), 5);
}

TEST_F(StringTableTest, LongLineIsSplitAtTheBuffer) {
    // 2,047 characters are read at once; the rest is a line of its own whose
    // first word is taken as a key.
    std::string first = "LONG " + std::string(2047 - 5, 'a');
    ASSERT_TRUE(loadBytes(first + "TAILKEY tail value\nNEXT ok\n"));
    EXPECT_EQ(std::string(table.text("LONG")), std::string(2047 - 5, 'a'));
    EXPECT_STREQ(table.text("TAILKEY"), "tail value");
    EXPECT_STREQ(table.text("NEXT"), "ok");
}

TEST_F(StringTableTest, PoolCostsKeyOnceAndEveryValueCopyMade) {
    ASSERT_TRUE(loadBytes("K v\n"));
    // Key "K" (2 bytes), the value parsed (2) and its copy in the array (2).
    EXPECT_EQ(ResStringTable::poolUsed(), 1 + 2 + 2 + 2);

    ASSERT_TRUE(loadBytes("A 1\nB 2\n"));
    // Second line: the array grows from one element to two and copies the first
    // value once more.
    EXPECT_EQ(ResStringTable::poolUsed(), 1 + 6 + 6 + 2);
}

TEST_F(StringTableTest, ExhaustedPoolGivesEmptyTextsAndLoadingGoesOn) {
    std::string file;
    for (int i = 0; i < 400; ++i) file += "KEY" + std::to_string(i) + " " + std::string(40, 'x') + "\n";
    ASSERT_TRUE(loadBytes(file));
    EXPECT_EQ(std::string(table.text("KEY0")), std::string(40, 'x'));
    EXPECT_STREQ(table.text("KEY399"), "");
    EXPECT_LE(ResStringTable::poolUsed(), ResStringTable::POOL_SIZE);
}

TEST_F(StringTableTest, TextThatExactlyFillsThePoolIsAccepted) {
    // Three long lines first; the fourth line's key and value copies then end
    // exactly at the end of the pool (the array has room for a fourth element,
    // so no earlier value is copied again).
    const std::string prefix =
        "K1 " + std::string(1399, 'a') + "\nK2 " + std::string(1399, 'b') + "\nK3 " + std::string(1399, 'c') + "\n";
    ASSERT_TRUE(loadBytes(prefix));
    const int32_t free = ResStringTable::POOL_SIZE - ResStringTable::poolUsed();
    // Cost of the last line: key + 1, then the value + 1 twice.
    const std::string key = free % 2 == 0 ? "Z" : "ZZ";
    const int32_t valueLen = (free - static_cast<int32_t>(key.size()) - 1) / 2 - 1;
    ASSERT_GT(valueLen, 0);
    ASSERT_LT(valueLen, 2000);

    const std::string last = key + " " + std::string(static_cast<size_t>(valueLen), 'z') + "\n";
    ASSERT_TRUE(loadBytes(prefix + last));
    EXPECT_EQ(ResStringTable::poolUsed(), ResStringTable::POOL_SIZE);
    EXPECT_EQ(std::strlen(table.text(key.c_str())), static_cast<size_t>(valueLen));

    // With the pool full, a further line reads as empty, and moving the array
    // to larger storage on its account loses none of the earlier values.
    ASSERT_TRUE(loadBytes(prefix + last + "MORE x\n"));
    EXPECT_STREQ(table.text("MORE"), "");
    EXPECT_EQ(std::strlen(table.text(key.c_str())), static_cast<size_t>(valueLen));
    EXPECT_EQ(std::string(table.text("K1")), std::string(1399, 'a'));
    EXPECT_EQ(std::string(table.text("K3")), std::string(1399, 'c'));
}

TEST_F(StringTableTest, HostileFilesNeverCrash) {
    std::mt19937 rng(1234);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) c = static_cast<char>(rng());
    ASSERT_TRUE(loadBytes(garbage));
    EXPECT_NE(table.text("A"), nullptr);

    // NUL bytes inside a line end its text there.
    ASSERT_TRUE(loadBytes(std::string("KEY val\0ue\nNUL\0KEY x\nAFTER y\n", 29)));
    EXPECT_STREQ(table.text("KEY"), "val");
    EXPECT_STREQ(table.text("NUL"), "");
    EXPECT_STREQ(table.text("AFTER"), "y");

    // A 10 MB file: the pool fills early, the rest reads as empty texts.
    std::string big;
    big.reserve(10 * 1024 * 1024);
    for (int i = 0; big.size() < 10u * 1024 * 1024; ++i) big += "K" + std::to_string(i) + " some text\n";
    ASSERT_TRUE(loadBytes(big));
    EXPECT_STREQ(table.text("K0"), "some text");
    EXPECT_STREQ(table.text("K500000"), "");
}

TEST_F(StringTableTest, MissingFileFailsAndKeepsTheTable) {
    ASSERT_TRUE(loadBytes("KEEP me\n"));
    EXPECT_FALSE(table.load("no such file.txt"));
    EXPECT_STREQ(table.text("KEEP"), "me");
}

}  // namespace
