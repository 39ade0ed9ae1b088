#include "NameList.h"
#include "NameCollation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace orvalen;

namespace {

std::vector<std::string> Entries(const CNameList& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.GetCount(); ++i)
        entries.push_back(list.GetText(i));
    return entries;
}

// GBK-style lead bytes for the duration of one test.
class GbkLeads {
public:
    GbkLeads() { SetDoubleByteLeadRange(0x81, 0xFE); }
    ~GbkLeads() { ClearDoubleByteLeads(); }
};

} // namespace

TEST(NameCollation, FoldsAsciiLettersOnly) {
    EXPECT_EQ(CompareNames("alice", "ALICE"), 0);
    EXPECT_LT(CompareNames("alice", "Bob"), 0);
    EXPECT_GT(CompareNames("Carl", "bob"), 0);
    EXPECT_LT(CompareNames("Al", "alice"), 0);
    EXPECT_LT(CompareNames("", "a"), 0);
    // Letters fold to lower case, so '_' (0x5F) sorts before every letter.
    EXPECT_LT(CompareNames("_x", "A"), 0);
    // Bytes above 0x7F compare as unsigned values, after ASCII.
    EXPECT_LT(CompareNames("z", "\xC4\xE3"), 0);
}

TEST(NameCollation, NeverFoldsTheSecondByteOfADoubleByteCharacter) {
    // 0x81 0x41 and 0x81 0x61 are two different GBK characters.
    const std::string upperTrail = "\x81\x41";
    const std::string lowerTrail = "\x81\x61";
    {
        GbkLeads gbk;
        EXPECT_NE(CompareNames(upperTrail, lowerTrail), 0);
        EXPECT_LT(CompareNames(upperTrail, lowerTrail), 0);
        EXPECT_FALSE(StartsWithName(lowerTrail, upperTrail));
        // A letter after a complete double-byte character folds again.
        EXPECT_EQ(CompareNames("\x81\x41Z", "\x81\x41z"), 0);
    }
    // Without lead bytes (UTF-8), every ASCII byte is a letter of its own.
    EXPECT_EQ(CompareNames(upperTrail, lowerTrail), 0);
}

TEST(NameCollation, IsAStrictWeakOrder) {
    GbkLeads gbk;
    const std::vector<std::string> names = {"",
                                            "a",
                                            "A",
                                            "ab",
                                            "aB",
                                            "b",
                                            "_",
                                            "\x81\x41",
                                            "\x81\x61",
                                            "\x81\x41"
                                            "a",
                                            "\xB0\xA1",
                                            "Z9",
                                            "z"};
    for (const auto& a : names) {
        EXPECT_EQ(CompareNames(a, a), 0);
        for (const auto& b : names) {
            EXPECT_EQ(CompareNames(a, b) < 0, CompareNames(b, a) > 0) << a << " / " << b;
            for (const auto& c : names) {
                if (CompareNames(a, b) < 0 && CompareNames(b, c) < 0) {
                    EXPECT_LT(CompareNames(a, c), 0);
                }
                if (CompareNames(a, b) == 0 && CompareNames(b, c) == 0) {
                    EXPECT_EQ(CompareNames(a, c), 0);
                }
            }
        }
    }
}

TEST(MemoryNameList, KeepsNamesSortedWithoutRegardToCase) {
    CMemoryNameList list;
    EXPECT_EQ(list.AddString("Carl"), 0);
    EXPECT_EQ(list.AddString("alice"), 0);
    EXPECT_EQ(list.AddString("Bob"), 1);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"alice", "Bob", "Carl"}));
}

TEST(MemoryNameList, EqualNamesKeepTheirArrivalOrder) {
    CMemoryNameList list;
    list.AddString("mom");
    list.AddString("Bob");
    EXPECT_EQ(list.AddString("Mom"), 2);
    EXPECT_EQ(list.AddString("mom"), 3);
    EXPECT_EQ(list.AddString("MOM"), 4);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"Bob", "mom", "Mom", "mom", "MOM"}));
}

TEST(MemoryNameList, DoubleByteNamesSortByTheirBytes) {
    GbkLeads gbk;
    CMemoryNameList list;
    list.AddString("\xD5\xC5\xC8\xFD"); // Zhang San
    list.AddString("\xC0\xEE\xCB\xC4"); // Li Si
    list.AddString("Wang");
    list.AddString("\xB0\xA1");
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"Wang", "\xB0\xA1", "\xC0\xEE\xCB\xC4",
                                                       "\xD5\xC5\xC8\xFD"}));
}

TEST(MemoryNameList, SelectionAndDeletion) {
    CMemoryNameList list;
    EXPECT_EQ(list.GetCurSel(), -1);
    list.AddString("a");
    list.AddString("b");
    list.AddString("c");
    list.SetCurSel(2);
    EXPECT_EQ(list.GetCurSel(), 2);
    list.SetCurSel(-1);
    EXPECT_EQ(list.GetCurSel(), -1);
    list.SetCurSel(7);
    EXPECT_EQ(list.GetCurSel(), -1);

    list.DeleteString(1);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"a", "c"}));
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), -1);
}

TEST(MemoryNameListSelectString, StartsAfterTheGivenEntryAndMatchesPrefixes) {
    CMemoryNameList list;
    list.AddString("Ann");
    list.AddString("anna");
    EXPECT_EQ(list.SelectString(0, "Ann"), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(list.SelectString(-1, "ANN"), 0);
    EXPECT_EQ(list.GetCurSel(), 0);
}

TEST(MemoryNameListSelectString, WrapsAroundToTheStartEntry) {
    CMemoryNameList list;
    list.AddString("Solo");
    EXPECT_EQ(list.SelectString(0, "Solo"), 0);
    EXPECT_EQ(list.GetCurSel(), 0);

    list.AddString("Alpha");
    list.AddString("Beta");
    list.SetCurSel(-1);
    // Alpha, Beta, Solo: searching after Beta passes Solo, wraps to Alpha.
    EXPECT_EQ(list.SelectString(1, "al"), 0);
    EXPECT_EQ(list.SelectString(1, "b"), 1);
}

TEST(MemoryNameListSelectString, NoMatchLeavesTheSelection) {
    CMemoryNameList list;
    EXPECT_EQ(list.SelectString(-1, "x"), -1);
    list.AddString("Ann");
    list.AddString("Bob");
    list.SetCurSel(1);
    EXPECT_EQ(list.SelectString(-1, "Carl"), -1);
    EXPECT_EQ(list.SelectString(0, "Annabel"), -1);
    EXPECT_EQ(list.GetCurSel(), 1);
    // The empty prefix matches the first entry searched.
    EXPECT_EQ(list.SelectString(0, ""), 1);
}

// Long shared prefixes are skipped word by word; the double-byte state after them still counts.
TEST(NameCollation, LongSharedPrefixesKeepTheDoubleByteState) {
    EXPECT_LT(CompareNames("Zhang Qiang 12", "zhang qiang 120"), 0);
    EXPECT_EQ(CompareNames("Zhang Qiang 120", "zhang QIANG 120"), 0);
    EXPECT_GT(CompareNames("abcdefghijklmnoZ", "ABCDEFGHIJKLMNOa"), 0);
    GbkLeads gbk;
    // Seven double-byte characters, then a trail byte that differs only in case: not folded.
    const std::string prefix = "\xC4\xE3\xC4\xE3\xC4\xE3\xC4\xE3\xC4\xE3\xC4\xE3\xC4";
    EXPECT_LT(CompareNames(prefix + "\x41", prefix + "\x61"), 0);
    // One byte more and the differing letter stands alone: folded.
    EXPECT_EQ(CompareNames(prefix + "\xE3" + "A", prefix + "\xE3" + "a"), 0);
}
