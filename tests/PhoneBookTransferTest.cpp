#include "PhoneBookTransfer.h"

#include "ContactReader.h"
#include "CsvReader.h"
#include "HeadlessView.h"
#include "NameCollation.h"
#include "NameList.h"
#include "VCardReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace orvalen {
namespace {

InterchangeContact Contact(std::string name, std::string mobile = {}, std::string telephone = {},
                           std::string email = {}, std::string qq = {}, std::string fax = {},
                           int line = 0) {
    InterchangeContact contact;
    contact.texts = {std::move(name),  std::move(mobile), std::move(telephone),
                     std::move(email), std::move(qq),     std::move(fax)};
    contact.line = line;
    return contact;
}

class PhoneBookTransferTest : public ::testing::Test {
protected:
    void UseCodePage(const std::string& name) {
        m_codePage = CCodePage(name);
        // Before any name is added: the list sorts as the window does in this code page.
        m_list = CMemoryNameList(CNameCollation(m_codePage));
    }

    TransferOutcome Fill(const std::vector<InterchangeContact>& contacts, bool replace = false) {
        return FillPhoneBook(m_editor, contacts, m_codePage, replace);
    }

    std::string Text(int index, ContactField field) const {
        return std::string(m_editor.Table().Text(index, field));
    }

    testing::CHeadlessView m_view;
    CMemoryNameList m_list;
    CBookEditor m_editor{m_list, m_view};
    CCodePage m_codePage{"GBK"};
};

TEST_F(PhoneBookTransferTest, ContactsEnterTheTableInFileOrderAndTheListSorted) {
    UseCodePage("GBK");
    const auto outcome = Fill(
        {Contact("Carl", "1"), Contact("张三", "2"), Contact("alice", "3"), Contact("Bob", "4")});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_TRUE(outcome.notes.Empty());
    ASSERT_EQ(m_editor.Table().Count(), 4);
    EXPECT_EQ(Text(0, ContactField::name), "Carl");
    EXPECT_EQ(Text(1, ContactField::name), "\xD5\xC5\xC8\xFD");
    EXPECT_EQ(Text(1, ContactField::mobile), "2");
    EXPECT_EQ(Text(3, ContactField::name), "Bob");
    ASSERT_EQ(m_list.GetCount(), 4);
    EXPECT_EQ(m_list.GetText(0), "alice");
    EXPECT_EQ(m_list.GetText(1), "Bob");
    EXPECT_EQ(m_list.GetText(2), "Carl");
    EXPECT_EQ(m_list.GetText(3), "\xD5\xC5\xC8\xFD");
    EXPECT_TRUE(m_view.messages.empty());
}

TEST_F(PhoneBookTransferTest, RepeatedNamesAreAllKeptInOrderWithAWarning) {
    UseCodePage("UTF-8");
    InterchangeContact first = Contact("Li", "1", {}, {}, {}, {}, 2);
    InterchangeContact second = Contact("Li", "2", {}, {}, {}, {}, 5);
    const auto outcome = Fill({first, Contact("Amy"), second});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(outcome.notes.Examples(),
              (std::vector<InterchangeNote>{
                  {NoteKind::repeatedName, ContactField::name, 5, 0, "Li", "", 0}}));
    // Each list entry leads to its own contact.
    EXPECT_EQ(m_editor.Table().Text(m_editor.FindListed(1), ContactField::mobile), "1");
    EXPECT_EQ(m_editor.Table().Text(m_editor.FindListed(2), ContactField::mobile), "2");
}

TEST_F(PhoneBookTransferTest, LongNamesAreCutAtACharacterBoundaryInGbkNumbersNever) {
    UseCodePage("GBK");
    // Nine characters are 18 GBK bytes: eight fit in the name's 16.
    InterchangeContact contact =
        Contact("中华人民共和国万岁", "1234567890123456789", {}, {}, {}, {}, 7);
    contact.card = 3;
    const auto outcome = Fill({contact});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(Text(0, ContactField::name),
              "\xD6\xD0\xBB\xAA\xC8\xCB\xC3\xF1\xB9\xB2\xBA\xCD\xB9\xFA\xCD\xF2");
    EXPECT_EQ(Text(0, ContactField::mobile), "");
    const std::vector<InterchangeNote> expected = {
        {NoteKind::nameCut, ContactField::name, 7, 3, "中华人民共和国万岁", "中华人民共和国万", 18},
        {NoteKind::valueTooLong, ContactField::mobile, 7, 3, "中华人民共和国万岁",
         "1234567890123456789", 19},
    };
    EXPECT_EQ(outcome.notes.Examples(), expected);
}

// Which of a field's values the phone book keeps: the first that fits, a number without its
// formatting when only so it fits; never a cut one.
TEST_F(PhoneBookTransferTest, NumbersAndAddressesAreNeverCut) {
    UseCodePage("GBK");
    struct Row {
        ContactField field;
        std::vector<std::string> values; // in order of preference
        std::string stored;
        std::size_t tooLong;
        std::size_t leftOut;
    };
    const std::string email40 = "a.very.long.address.for.testing@mail.com"; // 40 bytes
    const Row rows[] = {
        {ContactField::mobile, {"+86 138 0013 8000"}, "+8613800138000", 0, 0},
        {ContactField::mobile, {"(650) 555-1234 #*,;9"}, "6505551234#*,;9", 0, 0},
        {ContactField::mobile, {"+86 138 0013 8000 0000 00"}, "", 1, 0},
        {ContactField::mobile, {"12345678901234567890", "139"}, "139", 1, 0},
        {ContactField::mobile, {"138", "139"}, "138", 0, 1},
        {ContactField::fax, {"010.8765.4321.0000"}, "010876543210000", 0, 0},
        // No-break space, bidi marks, U+2011 and full-width digits are made ASCII always.
        {ContactField::mobile, {"138\u00A00013\u2011800"}, "138 0013-800", 0, 0},
        {ContactField::mobile, {"\u202A+86 138\u200B0013\u202C"}, "+86 1380013", 0, 0},
        {ContactField::mobile, {"\uFF0B\uFF18\uFF16\u3000\uFF11\uFF13\uFF18"}, "+86 138", 0, 0},
        {ContactField::mobile, {"\uFF0B86\u3000138\u30000013\u30008000"}, "+8613800138000", 0, 0},
        {ContactField::telephone,
         {"+86 (10) 1234-5678 ext. 1234567890"},
         "+861012345678ext1234567890",
         0,
         0},
        {ContactField::email, {email40}, "", 1, 0},
        {ContactField::email, {email40, "li@x.cn"}, "li@x.cn", 1, 0},
        {ContactField::qq, {"12345678901234567"}, "", 1, 0},
        {ContactField::qq, {"1234 5678"}, "1234 5678", 0, 0},
    };
    for (const Row& row : rows) {
        InterchangeContact contact = Contact("Li");
        contact[row.field] = row.values.front();
        for (std::size_t i = 1; i < row.values.size(); ++i)
            contact.more[FieldIndex(row.field)].push_back({row.values[i], 0, 0});
        const auto outcome = Fill({contact});
        ASSERT_TRUE(outcome.Succeeded());
        EXPECT_EQ(Text(0, row.field), row.stored) << row.values.front();
        EXPECT_EQ(outcome.notes.Count(NoteKind::valueTooLong), row.tooLong) << row.values.front();
        EXPECT_EQ(outcome.notes.Count(NoteKind::valueLeftOut), row.leftOut) << row.values.front();
    }
}

TEST_F(PhoneBookTransferTest, ControlCharactersAreRemovedWithANote) {
    UseCodePage("GBK");
    const auto outcome = Fill({Contact(std::string("Li\0Wei", 6), std::string("13\0"
                                                                              "99",
                                                                              5)),
                               Contact(std::string("\x01", 1))});
    ASSERT_TRUE(outcome.Succeeded());
    ASSERT_EQ(m_editor.Table().Count(), 1);
    EXPECT_EQ(Text(0, ContactField::name), "LiWei");
    EXPECT_EQ(Text(0, ContactField::mobile), "1399");
    EXPECT_EQ(outcome.notes.Count(NoteKind::controlRemoved), 3u);
    EXPECT_EQ(outcome.notes.Count(NoteKind::noName), 1u);
    // The list and the table agree: every listed name is found.
    EXPECT_TRUE(ExtractPhoneBook(m_editor, m_codePage).status.IsOk());
}

TEST_F(PhoneBookTransferTest, LongTextsAreCutAtACharacterBoundaryInUtf8) {
    UseCodePage("UTF-8");
    // 2 + 3 * 5 = 17 bytes: two letters and four characters (14 bytes) fit, a fifth does not.
    const auto outcome = Fill({Contact("Ab张三李四王")});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(Text(0, ContactField::name), "Ab张三李四");
    ASSERT_EQ(outcome.notes.Count(NoteKind::nameCut), 1u);
    EXPECT_EQ(outcome.notes.Examples()[0].size, 17u);
}

TEST_F(PhoneBookTransferTest, TextsExactlyAtTheLimitAreKeptWhole) {
    UseCodePage("GBK");
    const std::string email32 = "abcdefghijklmnopqrstuvwxyz@ex.cn"; // 32 bytes
    const auto outcome = Fill({Contact("欧阳娜娜欧阳娜娜", {}, {}, email32)});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_TRUE(outcome.notes.Empty());
    EXPECT_EQ(Text(0, ContactField::email), email32);
    EXPECT_EQ(Text(0, ContactField::name).size(), 16u);
}

TEST_F(PhoneBookTransferTest, CharacterTheCodePageLacksRefusesTheInput) {
    UseCodePage("GBK");
    InterchangeContact contact = Contact("Kim 한", "1", {}, {}, {}, {}, 4);
    const auto outcome = Fill({Contact("Li"), contact});
    ASSERT_FALSE(outcome.Succeeded());
    EXPECT_EQ(outcome.status.Kind(), StatusKind::encoding);
    EXPECT_EQ(outcome.status.Detail(), "GBK");
    EXPECT_EQ(outcome.notes.Examples(),
              (std::vector<InterchangeNote>{
                  {NoteKind::unencodable, ContactField::name, 4, 0, "Kim 한", "한", 0}}));
    EXPECT_EQ(m_editor.Table().Count(), 0);
    EXPECT_EQ(m_list.GetCount(), 0);
}

TEST_F(PhoneBookTransferTest, ReplacePutsAQuestionMarkWithAWarning) {
    UseCodePage("GBK");
    const auto outcome = Fill({Contact("Kim 한", {}, {}, "😀@x")}, true);
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(Text(0, ContactField::name), "Kim ?");
    EXPECT_EQ(Text(0, ContactField::email), "?@x");
    EXPECT_EQ(outcome.notes.Count(NoteKind::replaced), 2u);
    EXPECT_EQ(outcome.notes.Examples()[0].field, ContactField::name);
}

TEST_F(PhoneBookTransferTest, LineBreaksInsideAFieldBecomeBlanks) {
    UseCodePage("UTF-8");
    ASSERT_TRUE(Fill({Contact(" Li\r\nWei ", "1\t2")}).Succeeded());
    EXPECT_EQ(Text(0, ContactField::name), "Li  Wei");
    EXPECT_EQ(Text(0, ContactField::mobile), "1 2");
}

TEST_F(PhoneBookTransferTest, MoreThan200ContactsAreRefusedSayingHowMany) {
    UseCodePage("UTF-8");
    std::vector<InterchangeContact> contacts;
    for (int i = 0; i < 201; ++i)
        contacts.push_back(Contact("N" + std::to_string(i)));
    const auto outcome = Fill(contacts);
    EXPECT_EQ(outcome.status.Kind(), StatusKind::tooLarge);
    EXPECT_EQ(outcome.status.Detail(), "201");
    EXPECT_EQ(m_editor.Table().Count(), 0);

    contacts.pop_back();
    ASSERT_TRUE(Fill(contacts).Succeeded());
    EXPECT_EQ(m_editor.Table().Count(), 200);
    EXPECT_EQ(m_list.GetCount(), 200);
}

// Exports that real phones and address books write, and the faults users met, each beside the
// contacts the player's phone book must hold after it (FILE.expected: one contact a line, its
// six fields separated by tabs, in file order). Its first lines may set the read:
// "#player CP932" (the phone book's code page, GBK by default), "#user CP932" (the user's own
// code page, the player's by default), "#input NAME" (--input-encoding), "#win32-row ROW" (the
// rows Windows' own conversions give instead). One test per file.
std::vector<std::string> DataFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(ORVALEN_TEST_DATA_DIR)) {
        const std::string ending = entry.path().extension().string();
        if (ending == ".vcf" || ending == ".csv")
            files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::array<std::string, kFieldCount> Row(const std::string& line) {
    std::array<std::string, kFieldCount> texts;
    std::istringstream fields(line);
    for (std::string& text : texts)
        std::getline(fields, text, '\t');
    return texts;
}

class ExportFileTest : public PhoneBookTransferTest,
                       public ::testing::WithParamInterface<std::string> {};

TEST_P(ExportFileTest, GivesTheExpectedContacts) {
    const std::filesystem::path input = std::filesystem::path(ORVALEN_TEST_DATA_DIR) / GetParam();
    std::ifstream expectedFile(input.string() + ".expected");
    std::string player = "GBK";
    ReadOptions options;
    std::vector<std::array<std::string, kFieldCount>> expected;
    std::vector<std::string> windowsRows; // what Windows' own conversions give instead
    for (std::string line; std::getline(expectedFile, line);) {
        if (line.starts_with("#player "))
            player = line.substr(8);
        else if (line.starts_with("#user "))
            options.userCodePage = line.substr(6);
        else if (line.starts_with("#input "))
            options.inputEncoding = line.substr(7);
        else if (line.starts_with("#win32-row ")) {
#if defined(_WIN32)
            windowsRows.push_back(line.substr(11));
#endif
        } else if (line.starts_with("#no-detector ")) {
#if defined(ORVALEN_NO_CHARSET_DETECTOR)
            GTEST_SKIP() << line.substr(13);
#endif
        } else {
            expected.push_back(Row(line));
        }
    }
    if (!windowsRows.empty()) {
        expected.clear();
        for (const std::string& row : windowsRows)
            expected.push_back(Row(row));
    }
    UseCodePage(player);
    if (options.userCodePage.empty())
        options.userCodePage = player;
    const InterchangeRead read = ReadContacts(input, options);
    ASSERT_FALSE(read.IsRefused()) << read.status.Reason();
    ASSERT_TRUE(Fill(read.contacts).Succeeded());
    std::vector<std::array<std::string, kFieldCount>> stored;
    for (int i = 0; i < m_editor.Table().Count(); ++i) {
        std::array<std::string, kFieldCount> texts;
        for (ContactField field : kAllFields)
            texts[FieldIndex(field)] = m_codePage.ToUtf8Lossy(Text(i, field));
        stored.push_back(texts);
    }
    EXPECT_EQ(stored, expected);
}

INSTANTIATE_TEST_SUITE_P(Data, ExportFileTest, ::testing::ValuesIn(DataFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

TEST_F(PhoneBookTransferTest, ExtractGivesListOrderInUtf8) {
    UseCodePage("GBK");
    ASSERT_TRUE(Fill({Contact("张三", "1", "2", "3", "4", "5"), Contact("Amy", "9")}).Succeeded());
    const ExtractOutcome extracted = ExtractPhoneBook(m_editor, m_codePage);
    EXPECT_TRUE(extracted.status.IsOk());
    EXPECT_TRUE(extracted.notes.Empty());
    ASSERT_EQ(extracted.contacts.size(), 2u);
    EXPECT_EQ(extracted.contacts[0].texts,
              (std::array<std::string, kFieldCount>{"Amy", "9", "", "", "", ""}));
    EXPECT_EQ(extracted.contacts[0].line, 2);
    EXPECT_EQ(extracted.contacts[1].texts,
              (std::array<std::string, kFieldCount>{"张三", "1", "2", "3", "4", "5"}));
}

TEST_F(PhoneBookTransferTest, ExtractReportsBytesThatAreNotValidInTheCodePage) {
    UseCodePage("GBK");
    ContactForm form;
    form[ContactField::name] = "Li";
    form[ContactField::email] = "a\xD5"; // half a character, as a cut .tel field can hold
    m_editor.AppendContacts(std::span(&form, 1));
    const ExtractOutcome extracted = ExtractPhoneBook(m_editor, m_codePage);
    ASSERT_EQ(extracted.contacts.size(), 1u);
    EXPECT_EQ(extracted.contacts[0][ContactField::email], "a\xEF\xBF\xBD");
    ASSERT_EQ(extracted.notes.Count(NoteKind::invalidBytes), 1u);
    EXPECT_EQ(extracted.notes.Examples()[0].line, 1);
}

TEST_F(PhoneBookTransferTest, ExtractNoticesAListedNameMissingFromTheTable) {
    m_list.AddString("Ghost");
    EXPECT_EQ(ExtractPhoneBook(m_editor, m_codePage).status.Kind(), StatusKind::listMismatch);
}

} // namespace
} // namespace orvalen
