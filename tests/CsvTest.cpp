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
    ASSERT_TRUE(split.status.IsOk());
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
    ASSERT_TRUE(split.status.IsOk());
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
    EXPECT_EQ(split.status.Kind(), StatusKind::malformed);
    EXPECT_EQ(split.status.Detail(), CCsvReader::kUnclosedQuote);
    EXPECT_EQ(split.status.Line(), 3);
}

TEST(CsvReader, OwnFormatWithByteOrderMark) {
    const InterchangeRead read =
        CCsvReader::Read("\xEF\xBB\xBFName,Mobile,Telephone,E-mail,QQ,Fax\r\n"
                         "张三,13800138000,010-12345678,zhang@example.com,10001,010-87654321\r\n"
                         "\"Smith, John\",,\"555 \"\"home\"\"\",,,\r\n"
                         ",,,,,\r\n"
                         "\r\n");
    ASSERT_FALSE(read.IsRefused());
    EXPECT_TRUE(read.notes.Empty());
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
    // The values that find no field wait, in order of preference, for the step that fills it.
    EXPECT_EQ(read.contacts[0].more[FieldIndex(ContactField::mobile)],
              (std::vector<FoundValue>{{"+86 138 0000 0002", 2, 0}}));
    EXPECT_EQ(read.contacts[0].more[FieldIndex(ContactField::email)],
              (std::vector<FoundValue>{{"w@example.cn", 2, 0}}));
    EXPECT_TRUE(read.notes.Empty());
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
    EXPECT_EQ(read.contacts[0].more[FieldIndex(ContactField::telephone)],
              (std::vector<FoundValue>{{"010-3", 2, 0}}));
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
    EXPECT_EQ(read.notes.Examples(), (std::vector<InterchangeNote>{
                                         {NoteKind::noName, ContactField::name, 2, 0, "", "", 0}}));
}

TEST(CsvReader, OnlyAValueInAnUnknownNumberColumnIsReported) {
    // Outlook's columns about its addresses and Google's phonetic names are no loss, even
    // when filled; an unknown number column is, where it holds a value.
    const InterchangeRead read = CCsvReader::Read(
        "Name,Telefono Cellulare,Birthday,E-mail Display Name,Telex,Phonetic First Name\r\n"
        "Li,,2,Li (li@x.cn),5,Li\r\nWang,139,,,,\r\n");
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.notes.Examples(),
              (std::vector<InterchangeNote>{
                  {NoteKind::columnUnused, ContactField::name, 3, 0, "Telefono Cellulare", "139", 0}}));
}

TEST(CsvReader, UnknownHeaderIsRefusedListingTheColumnsUnderstood) {
    const InterchangeRead read = CCsvReader::Read("Nom,Portable\r\nLi,1\r\n");
    ASSERT_TRUE(read.IsRefused());
    EXPECT_EQ(read.status.Detail(), CCsvReader::kNoNameColumn);
    EXPECT_EQ(read.status.Line(), 1);
    const std::string known = CCsvReader::KnownColumns();
    EXPECT_TRUE(known.starts_with("Name, Mobile, Telephone, E-mail, QQ, Fax, Display Name"));
    EXPECT_NE(known.find("Mobile Phone"), std::string::npos);
    EXPECT_NE(known.find("Primary Email"), std::string::npos);
    EXPECT_NE(known.find("Phone N - Value"), std::string::npos);
}

TEST(CsvReader, EmptyFileAndBadEncodingAreRefused) {
    struct Row {
        std::string_view bytes;
        std::string_view named;
        StatusKind kind;
        std::string_view detail;
    };
    const Row rows[] = {
        {"", "", StatusKind::malformed, CCsvReader::kNoHeader},
        {"\xEF\xBB\xBF", "", StatusKind::malformed, CCsvReader::kNoHeader},
        {"\r\n\r\n\r\n", "", StatusKind::malformed, CCsvReader::kNoHeader},
        {"Name\r\n\xFF\r\n", "UTF-8", StatusKind::encoding, "UTF-8"},
    };
    for (const Row& row : rows) {
        const InterchangeRead read = CCsvReader::Read(row.bytes, row.named);
        EXPECT_EQ(read.status.Kind(), row.kind) << row.bytes;
        EXPECT_EQ(read.status.Detail(), row.detail) << row.bytes;
    }
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
