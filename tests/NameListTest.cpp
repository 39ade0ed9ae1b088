#include "NameList.h"
#include "CodePage.h"
#include "NameCollation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace orvalen;

namespace {

const CNameCollation kUtf8;

const CNameCollation& Gbk() {
    static const CNameCollation gbk(CCodePage("GBK"));
    return gbk;
}

int CompareNames(std::string_view a, std::string_view b, const CNameCollation& collation = kUtf8) {
    return collation.Compare(a, b);
}

std::vector<std::string> Entries(const CNameList& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.GetCount(); ++i)
        entries.push_back(list.GetText(i));
    return entries;
}

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
    EXPECT_NE(CompareNames(upperTrail, lowerTrail, Gbk()), 0);
    EXPECT_LT(CompareNames(upperTrail, lowerTrail, Gbk()), 0);
    EXPECT_FALSE(Gbk().StartsWith(lowerTrail, upperTrail));
    // A letter after a complete double-byte character folds again.
    EXPECT_EQ(CompareNames("\x81\x41Z", "\x81\x41z", Gbk()), 0);
    // Without lead bytes (UTF-8), every ASCII byte is a letter of its own.
    EXPECT_EQ(CompareNames(upperTrail, lowerTrail), 0);
}

TEST(NameCollation, IsAStrictWeakOrder) {
    const auto CompareNames = [](std::string_view a, std::string_view b) {
        return Gbk().Compare(a, b);
    };
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
    CMemoryNameList list(Gbk());
    list.AddString("\xD5\xC5\xC8\xFD"); // Zhang San
    list.AddString("\xC0\xEE\xCB\xC4"); // Li Si
    list.AddString("Wang");
    list.AddString("\xB0\xA1");
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"Wang", "\xB0\xA1", "\xC0\xEE\xCB\xC4",
                                                       "\xD5\xC5\xC8\xFD"}));
}

// Each code page's own rules: the bytes after a lead byte, and the letters beyond ASCII.
TEST(MemoryNameList, SortsByTheRulesOfItsCodePage) {
    struct Case {
        const char* codePage;
        std::vector<std::string> added;
        std::vector<std::string> sorted;
    };
    const Case cases[] = {
        // Shift_JIS: "\x83\x41" (katakana A) and "\x83\x61" (katakana TI) differ in a trail byte
        // that is an ASCII letter; 0xE0-0xFC lead too; a half-width katakana (0xB1) stands alone.
        {"CP932",
         {"\x83\x61", "b", "\xE0\x61", "\x83\x41", "A", "\xB1", "\xE0\x41"},
         {"A", "b", "\x83\x41", "\x83\x61", "\xB1", "\xE0\x41", "\xE0\x61"}},
        // Big5: trail bytes from 0x40 too.
        {"CP950", {"\xA4\x61", "\xA4\x41"}, {"\xA4\x41", "\xA4\x61"}},
        // Cyrillic without regard to case: Иван, ивАН, БОРИС, Анна, борис.
        {"CP1251",
         {"\xC8\xE2\xE0\xED", "\xE8\xE2\xC0\xCD", "\xC1\xCE\xD0\xC8\xD1", "\xC0\xED\xED\xE0",
          "\xE1\xEE\xF0\xE8\xF1"},
         {"\xC0\xED\xED\xE0", "\xC1\xCE\xD0\xC8\xD1", "\xE1\xEE\xF0\xE8\xF1", "\xC8\xE2\xE0\xED",
          "\xE8\xE2\xC0\xCD"}},
        // Émile and émile fold together, after Zoe; the byte 0x81 (no character) stays as it is.
        {"CP1252",
         {"\xE9mile", "Zoe", "\xC9MILE", "\x81"},
         {"Zoe", "\x81", "\xE9mile", "\xC9MILE"}},
        // GBK: no byte above ASCII folds, even where Latin-1 has a capital.
        {"GBK", {"\xE9\xA1", "\xC9\xA1"}, {"\xC9\xA1", "\xE9\xA1"}},
    };
    for (const Case& c : cases) {
        CMemoryNameList list{CNameCollation(CCodePage(c.codePage))};
        for (const std::string& name : c.added)
            list.AddString(name);
        EXPECT_EQ(Entries(list), c.sorted) << c.codePage;
    }
    const CNameCollation cp1251(CCodePage("CP1251"));
    EXPECT_EQ(cp1251.Compare("\xC8\xE2\xE0\xED", "\xE8\xE2\xC0\xCD"), 0); // Иван, ивАН
    EXPECT_TRUE(cp1251.StartsWith("\xC8\xE2\xE0\xED", "\xE8\xC2")); // Иван begins with иВ
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

// After a long shared start the double-byte state still counts.
TEST(NameCollation, LongSharedPrefixesKeepTheDoubleByteState) {
    EXPECT_LT(CompareNames("Zhang Qiang 12", "zhang qiang 120"), 0);
    EXPECT_EQ(CompareNames("Zhang Qiang 120", "zhang QIANG 120"), 0);
    EXPECT_GT(CompareNames("abcdefghijklmnoZ", "ABCDEFGHIJKLMNOa"), 0);
    // Seven double-byte characters, then a trail byte that differs only in case: not folded.
    const std::string prefix = "\xC4\xE3\xC4\xE3\xC4\xE3\xC4\xE3\xC4\xE3\xC4\xE3\xC4";
    EXPECT_LT(CompareNames(prefix + "\x41", prefix + "\x61", Gbk()), 0);
    // One byte more and the differing letter stands alone: folded.
    EXPECT_EQ(CompareNames(prefix + "\xE3" + "A", prefix + "\xE3" + "a", Gbk()), 0);
}

namespace {

// The collation written the plain way: fold every stand-alone ASCII letter, then compare bytes.
std::string FoldedKey(std::string_view text, bool gbk) {
    std::string key;
    bool trail = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool lead = gbk && byte >= 0x81 && byte <= 0xFE;
        const bool fold = !trail && !lead && byte >= 'A' && byte <= 'Z';
        trail = !trail && lead;
        key += static_cast<char>(fold ? byte + ('a' - 'A') : byte);
    }
    return key;
}

int ReferenceCompare(std::string_view a, std::string_view b, bool gbk) {
    const std::string left = FoldedKey(a, gbk);
    const std::string right = FoldedKey(b, gbk);
    const auto difference = std::mismatch(left.begin(), left.end(), right.begin(), right.end());
    if (difference.first == left.end())
        return difference.second == right.end() ? 0 : -1;
    if (difference.second == right.end())
        return 1;
    return static_cast<unsigned char>(*difference.first) <
                   static_cast<unsigned char>(*difference.second)
               ? -1
               : 1;
}

} // namespace

TEST(NameCollation, AgreesWithThePlainFoldOnRandomNames) {
    // Bytes that matter: letters of both cases, lead bytes, trail bytes that are letters.
    const std::string alphabet = "aAbBzZ_ 9\x81\xFE\xB0\xA1\x41\x61\x7F\x80\xFF";
    std::mt19937 random(20261208);
    const auto randomName = [&](std::size_t length) {
        std::string name;
        for (std::size_t i = 0; i < length; ++i)
            name += alphabet[random() % alphabet.size()];
        return name;
    };
    for (const bool gbk : {false, true}) {
        const CNameCollation& collation = gbk ? Gbk() : kUtf8;
        for (int round = 0; round < 20000; ++round) {
            const std::string a = randomName(random() % 21);
            std::string b = a;
            // Mostly long shared starts, where the comparison takes its shortcuts.
            if (!b.empty() && random() % 4 != 0) {
                b.resize(random() % (b.size() + 1));
                b += randomName(random() % 5);
            } else {
                b = randomName(random() % 21);
            }
            ASSERT_EQ(collation.Compare(a, b), ReferenceCompare(a, b, gbk))
                << (gbk ? "GBK: " : "UTF-8: ") << ::testing::PrintToString(a) << " vs "
                << ::testing::PrintToString(b);
            const std::string prefix = b.substr(0, random() % (b.size() + 1));
            ASSERT_EQ(collation.StartsWith(a, prefix),
                      FoldedKey(a, gbk).starts_with(FoldedKey(prefix, gbk)) &&
                          prefix.size() <= a.size())
                << ::testing::PrintToString(a) << " / " << ::testing::PrintToString(prefix);
        }
    }
}
