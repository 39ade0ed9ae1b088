#include "CsvReader.h"
#include "CsvWriter.h"

#include <gtest/gtest.h>

#include <random>

namespace orvalen {
namespace {

using Texts = std::array<std::string, kFieldCount>;
using Fields = std::vector<std::string>;

TEST(CsvSplit, QuotesDoubledQuotesSeparatorsAndLineBreaksInsideQuotes) {
    const auto split = CCsvReader::Split("a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
                                         "\"two\r\nlines\",,x\n"
                                         "last,\"\",y");
    ASSERT_FALSE(split.error);
    ASSERT_EQ(split.records.size(), 3u);
    EXPECT_EQ(split.records[0].fields, (Fields{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(split.records[0].line, 1);
    EXPECT_EQ(split.records[1].fields, (Fields{"two\r\nlines", "", "x"}));
    EXPECT_EQ(split.records[1].line, 2);
    EXPECT_EQ(split.records[2].fields, (Fields{"last", "", "y"}));
    EXPECT_EQ(split.records[2].line, 4);
}

TEST(CsvSplit, ToleratesStrayQuotesAndLoneCarriageReturns) {
    const auto split = CCsvReader::Split("a\"b,\"c\"d\re");
    ASSERT_FALSE(split.error);
    ASSERT_EQ(split.records.size(), 2u);
    EXPECT_EQ(split.records[0].fields, (Fields{"a\"b", "cd"}));
    EXPECT_EQ(split.records[1].fields, (Fields{"e"}));
    EXPECT_EQ(split.records[1].line, 2);
}

TEST(CsvSplit, SemicolonOrTabSeparatedWhenTheHeaderHasNoComma) {
    EXPECT_EQ(CCsvReader::Split("Name;Mobile\r\nLi;1,2\r\n").records[1].fields,
              (Fields{"Li", "1,2"}));
    EXPECT_EQ(CCsvReader::Split("Name\tMobile\r\nLi\t1\r\n").records[1].fields,
              (Fields{"Li", "1"}));
}

TEST(CsvSplit, UnclosedQuoteIsAnErrorNamingItsLine) {
    const auto split = CCsvReader::Split("Name,Mobile\r\nLi,1\r\n\"Wang,2\r\nZhao,3\r\n");
    ASSERT_TRUE(split.error);
    EXPECT_EQ(*split.error, "line 3: a quoted field has no closing quote");
}

TEST(CsvReader, OwnFormatWithByteOrderMark) {
    const InterchangeRead read =
        CCsvReader::Read("\xEF\xBB\xBFName,Mobile,Telephone,E-mail,QQ,Fax\r\n"
                         "张三,13800138000,010-12345678,zhang@example.com,10001,010-87654321\r\n"
                         "\"Smith, John\",,\"555 \"\"home\"\"\",,,\r\n"
                         ",,,,,\r\n"
                         "\r\n");
    ASSERT_FALSE(read.IsRefused());
    EXPECT_TRUE(read.warnings.empty());
    EXPECT_EQ(read.encoding, "UTF-8");
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0].texts, (Texts{"张三", "13800138000", "010-12345678",
                                             "zhang@example.com", "10001", "010-87654321"}));
    EXPECT_EQ(read.contacts[0].line, 2);
    EXPECT_EQ(read.contacts[1].texts, (Texts{"Smith, John", "", "555 \"home\"", "", "", ""}));
    EXPECT_EQ(read.contacts[1].line, 3);
}

TEST(CsvReader, HeadersMatchWithoutRegardToCaseOrOrder) {
    const InterchangeRead read = CCsvReader::Read("qq , fax,NAME,e-mail\nLi,1,2,3\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0].texts, (Texts{"2", "", "", "3", "Li", "1"}));
}

TEST(CsvReader, GoogleContactsExport) {
    const InterchangeRead read = CCsvReader::Read(
        "Name,Given Name,Additional Name,Family Name,Group Membership,E-mail 1 - Type,"
        "E-mail 1 - Value,E-mail 2 - Type,E-mail 2 - Value,IM 1 - Type,IM 1 - Service,"
        "IM 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,"
        "Phone 3 - Type,Phone 3 - Value\r\n"
        "王小明,小明,,王,* myContacts,* Home,wang@example.cn,Work,w@example.cn,Other,QQ,30003,"
        "Mobile,+86 138 0000 0001 ::: +86 138 0000 0002,Home Fax,010-6666,Work,010-5555\r\n"
        ",Jane,,Doe,* myContacts,,,,,,,,Mobile,1,,,,\r\n");
    ASSERT_FALSE(read.IsRefused());
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0].texts, (Texts{"王小明", "+86 138 0000 0001", "010-5555",
                                             "wang@example.cn", "30003", "010-6666"}));
    EXPECT_EQ(read.contacts[1].texts, (Texts{"Jane Doe", "1", "", "", "", ""}));
    const std::vector<SourceNote> expected = {
        {2, 0,
         "\"王小明\": mobile number +86 138 0000 0002 not copied: the mobile field already "
         "holds +86 138 0000 0001"},
        {2, 0,
         "\"王小明\": e-mail address w@example.cn not copied: the e-mail field already holds "
         "wang@example.cn"},
    };
    EXPECT_EQ(read.warnings, expected);
}

TEST(CsvReader, OutlookExport) {
    const InterchangeRead read = CCsvReader::Read(
        "\"Title\",\"First Name\",\"Middle Name\",\"Last Name\",\"Suffix\",\"Company\","
        "\"Business Street\",\"Business Fax\",\"Business Phone\",\"Home Phone\","
        "\"Mobile Phone\",\"E-mail Address\",\"E-mail 2 Address\",\"Notes\"\r\n"
        "\"\",\"三\",\"\",\"张\",\"\",\"Acme, Inc.\",\"1 Main St\r\nSuite 2\",\"010-1\","
        "\"010-2\",\"010-3\",\"138\",\"z@example.com\",\"\",\"met at \"\"expo\"\"\"\r\n"
        "\"Mr.\",\"John\",\"Q\",\"Public\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    ASSERT_FALSE(read.IsRefused());
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0].texts,
              (Texts{"张三", "138", "010-2", "z@example.com", "", "010-1"}));
    EXPECT_EQ(read.contacts[1].texts, (Texts{"John Q Public", "", "", "", "", ""}));
    EXPECT_EQ(read.contacts[1].line, 4);
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings[0],
              (SourceNote{2, 0,
                          "\"张三\": telephone number 010-3 not copied: the telephone field "
                          "already holds 010-2"}));
}

TEST(CsvReader, ThunderbirdExport) {
    const InterchangeRead read = CCsvReader::Read(
        "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Screen Name,"
        "Work Phone,Home Phone,Fax Number,Pager Number,Mobile Number\r\n"
        "Jane,Doe,\"Doe, Jane\",JD,jane@example.org,,,555-1,,555-9,,555-2\r\n"
        "Wei,Chen,,,,,,,,,,\r\n");
    ASSERT_FALSE(read.IsRefused());
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0].texts,
              (Texts{"Doe, Jane", "555-2", "555-1", "jane@example.org", "", "555-9"}));
    EXPECT_EQ(read.contacts[1].texts, (Texts{"Wei Chen", "", "", "", "", ""}));
}

TEST(CsvReader, RowWithoutNameIsSkippedWithAWarning) {
    const InterchangeRead read = CCsvReader::Read("Name,Mobile\r\n,123\r\nLi,1\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings[0], (SourceNote{2, 0, "no name; row skipped"}));
}

TEST(CsvReader, UnknownColumnThatLooksLikeANumberIsReported) {
    const InterchangeRead read = CCsvReader::Read("Name,Mobil Phone,Birthday\r\nLi,1,2\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings[0],
              (SourceNote{1, 0,
                          "column \"Mobil Phone\" is not understood; its values are not "
                          "copied"}));
}

TEST(CsvReader, UnknownHeaderIsRefusedListingTheColumnsUnderstood) {
    const InterchangeRead read = CCsvReader::Read("Nom,Portable\r\nLi,1\r\n");
    ASSERT_TRUE(read.IsRefused());
    EXPECT_TRUE(read.error->starts_with("line 1: the header row names no known name column; "
                                        "the columns understood are: Name, Mobile, Telephone, "
                                        "E-mail, QQ, Fax, Display Name"))
        << *read.error;
    EXPECT_NE(read.error->find("Mobile Phone"), std::string::npos);
    EXPECT_NE(read.error->find("Primary Email"), std::string::npos);
    EXPECT_NE(read.error->find("Phone N - Value"), std::string::npos);
}

TEST(CsvReader, EmptyFileAndBadEncodingAreRefused) {
    EXPECT_EQ(*CCsvReader::Read("").error, "the file is empty; a header row is needed");
    EXPECT_EQ(*CCsvReader::Read("\xEF\xBB\xBF").error, "the file is empty; a header row is needed");
    // Not UTF-8, and 0x80 followed by a comma is no GB18030 either.
    EXPECT_EQ(*CCsvReader::Read("Name\r\n\xFF,\r\n").error,
              "the file is neither UTF-8 nor GB18030; name its encoding with --input-encoding");
    EXPECT_EQ(*CCsvReader::Read("Name\r\n\xFF\r\n", "UTF-8").error, "the file is not valid UTF-8");
}

TEST(CsvReader, Gb18030AndNamedEncodings) {
    const std::string gbk = "Name,Mobile\r\n\xD5\xC5\xC8\xFD,1\r\n";
    const InterchangeRead guessed = CCsvReader::Read(gbk);
    EXPECT_EQ(guessed.encoding, "GB18030");
    ASSERT_EQ(guessed.contacts.size(), 1u);
    EXPECT_EQ(guessed.contacts[0][ContactField::name], "张三");
    const InterchangeRead named = CCsvReader::Read(gbk, "GBK");
    ASSERT_EQ(named.contacts.size(), 1u);
    EXPECT_EQ(named.contacts[0][ContactField::name], "张三");
}

TEST(CsvReader, EveryCutAndDamageOfAnExportReadsWithoutFault) {
    const std::string csv = "\xEF\xBB\xBFName,Mobile,E-mail 1 - Value\r\n"
                            "\"Li, \"\"Wei\"\"\",\"1\r\n2\",a@b ::: c@d\r\n"
                            "张三,3,\r\n";
    for (std::size_t length = 0; length <= csv.size(); ++length)
        CCsvReader::Read(csv.substr(0, length));
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = csv;
        for (int flips = 0; flips < 6; ++flips)
            damaged[random() % damaged.size()] = "\",\r\n;\t\xE5:"[random() % 8];
        const InterchangeRead read = CCsvReader::Read(damaged);
        for (const InterchangeContact& contact : read.contacts)
            EXPECT_FALSE(contact[ContactField::name].empty());
    }
}

TEST(CsvWriter, WritesOurHeaderWithByteOrderMarkQuotingAndCrLf) {
    InterchangeContact first;
    first.texts = {"张三", "13800138000", "", "a@b.c", "10001", ""};
    InterchangeContact second;
    second.texts = {"Smith, \"J\"", "", "line\nbreak", "", "", " x"};
    const std::vector<InterchangeContact> contacts = {first, second};
    EXPECT_EQ(CCsvWriter::Write(contacts), "\xEF\xBB\xBF"
                                           "Name,Mobile,Telephone,E-mail,QQ,Fax\r\n"
                                           "张三,13800138000,,a@b.c,10001,\r\n"
                                           "\"Smith, \"\"J\"\"\",,\"line\nbreak\",,,\" x\"\r\n");
}

TEST(CsvWriter, WrittenFilesReadBack) {
    InterchangeContact contact;
    contact.texts = {"A,\"B\"\r\nC", "1", "2", "3", "4", "5"};
    const std::vector<InterchangeContact> contacts = {contact};
    const InterchangeRead read = CCsvReader::Read(CCsvWriter::Write(contacts));
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0].texts, contact.texts);
}

} // namespace
} // namespace orvalen
