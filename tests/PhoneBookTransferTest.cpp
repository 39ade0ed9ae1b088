#include "PhoneBookTransfer.h"

#include "HeadlessView.h"
#include "NameCollation.h"
#include "NameList.h"

#include <gtest/gtest.h>

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
    EXPECT_TRUE(outcome.warnings.empty());
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
    ASSERT_EQ(outcome.warnings.size(), 1u);
    EXPECT_EQ(outcome.warnings[0],
              (SourceNote{5, 0, "\"Li\" is a name already given in line 2; both are kept"}));
    // Each list entry leads to its own contact.
    EXPECT_EQ(m_editor.Table().Text(m_editor.FindListed(1), ContactField::mobile), "1");
    EXPECT_EQ(m_editor.Table().Text(m_editor.FindListed(2), ContactField::mobile), "2");
}

TEST_F(PhoneBookTransferTest, LongTextsAreCutAtACharacterBoundaryInGbk) {
    UseCodePage("GBK");
    // Nine characters are 18 GBK bytes: eight fit in the name's 16.
    InterchangeContact contact =
        Contact("中华人民共和国万岁", "1234567890123456789", {}, {}, {}, {}, 7);
    contact.card = 3;
    const auto outcome = Fill({contact});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(Text(0, ContactField::name),
              "\xD6\xD0\xBB\xAA\xC8\xCB\xC3\xF1\xB9\xB2\xBA\xCD\xB9\xFA\xCD\xF2");
    EXPECT_EQ(Text(0, ContactField::mobile), "1234567890123456");
    const std::vector<SourceNote> expected = {
        {7, 3,
         "\"中华人民共和国万岁\": the name is 18 bytes in GBK, more than 16; cut to "
         "\"中华人民共和国万\""},
        {7, 3,
         "\"中华人民共和国万岁\": the mobile is 19 bytes in GBK, more than 16; cut to "
         "\"1234567890123456\""},
    };
    EXPECT_EQ(outcome.warnings, expected);
}

TEST_F(PhoneBookTransferTest, LongTextsAreCutAtACharacterBoundaryInUtf8) {
    UseCodePage("UTF-8");
    // 2 + 3 * 5 = 17 bytes: two letters and four characters (14 bytes) fit, a fifth does not.
    const auto outcome = Fill({Contact("Ab张三李四王")});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(Text(0, ContactField::name), "Ab张三李四");
    ASSERT_EQ(outcome.warnings.size(), 1u);
    EXPECT_EQ(outcome.warnings[0].text,
              "\"Ab张三李四王\": the name is 17 bytes in UTF-8, more than 16; cut to "
              "\"Ab张三李四\"");
}

TEST_F(PhoneBookTransferTest, TextsExactlyAtTheLimitAreKeptWhole) {
    UseCodePage("GBK");
    const std::string email32 = "abcdefghijklmnopqrstuvwxyz@ex.cn"; // 32 bytes
    const auto outcome = Fill({Contact("欧阳娜娜欧阳娜娜", {}, {}, email32)});
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_TRUE(outcome.warnings.empty());
    EXPECT_EQ(Text(0, ContactField::email), email32);
    EXPECT_EQ(Text(0, ContactField::name).size(), 16u);
}

TEST_F(PhoneBookTransferTest, CharacterTheCodePageLacksRefusesTheInput) {
    UseCodePage("GBK");
    InterchangeContact contact = Contact("Kim 한", "1", {}, {}, {}, {}, 4);
    const auto outcome = Fill({Contact("Li"), contact});
    ASSERT_FALSE(outcome.Succeeded());
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_EQ(outcome.errors[0],
              (SourceNote{4, 0,
                          "\"Kim 한\": the name holds \"한\" (U+D55C), which GBK cannot hold "
                          "(--replace writes \"?\" for it)"}));
    EXPECT_EQ(m_editor.Table().Count(), 0);
    EXPECT_EQ(m_list.GetCount(), 0);
}

TEST_F(PhoneBookTransferTest, ReplacePutsAQuestionMarkWithAWarning) {
    UseCodePage("GBK");
    const auto outcome = Fill({Contact("Kim 한", {}, {}, "😀@x")}, true);
    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(Text(0, ContactField::name), "Kim ?");
    EXPECT_EQ(Text(0, ContactField::email), "?@x");
    ASSERT_EQ(outcome.warnings.size(), 2u);
    EXPECT_EQ(outcome.warnings[0].text,
              "\"Kim 한\": characters of the name that GBK cannot hold became \"?\"");
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
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_EQ(outcome.errors[0].text,
              "the input holds 201 contacts; the player's phone book holds at most 200");
    EXPECT_EQ(m_editor.Table().Count(), 0);

    contacts.pop_back();
    ASSERT_TRUE(Fill(contacts).Succeeded());
    EXPECT_EQ(m_editor.Table().Count(), 200);
    EXPECT_EQ(m_list.GetCount(), 200);
}

TEST_F(PhoneBookTransferTest, ExtractGivesListOrderInUtf8) {
    UseCodePage("GBK");
    ASSERT_TRUE(Fill({Contact("张三", "1", "2", "3", "4", "5"), Contact("Amy", "9")}).Succeeded());
    const ExtractOutcome extracted = ExtractPhoneBook(m_editor, m_codePage);
    EXPECT_FALSE(extracted.listMismatch);
    EXPECT_TRUE(extracted.warnings.empty());
    ASSERT_EQ(extracted.contacts.size(), 2u);
    EXPECT_EQ(extracted.contacts[0].texts,
              (std::array<std::string, kFieldCount>{"Amy", "9", "", "", "", ""}));
    EXPECT_EQ(extracted.contacts[0].line, 2);
    EXPECT_EQ(extracted.contacts[1].texts,
              (std::array<std::string, kFieldCount>{"张三", "1", "2", "3", "4", "5"}));
}

TEST_F(PhoneBookTransferTest, ExtractReportsBytesThatAreNotValidInTheCodePage) {
    UseCodePage("GBK");
    m_editor.List().AddString("Li");
    ContactForm form;
    form[ContactField::name] = "Li";
    form[ContactField::email] = "a\xD5"; // half a character, as a cut .tel field can hold
    m_editor.Table().Append(form);
    const ExtractOutcome extracted = ExtractPhoneBook(m_editor, m_codePage);
    ASSERT_EQ(extracted.contacts.size(), 1u);
    EXPECT_EQ(extracted.contacts[0][ContactField::email], "a\xEF\xBF\xBD");
    ASSERT_EQ(extracted.warnings.size(), 1u);
    EXPECT_EQ(extracted.warnings[0].line, 1);
}

TEST_F(PhoneBookTransferTest, ExtractNoticesAListedNameMissingFromTheTable) {
    m_editor.List().AddString("Ghost");
    EXPECT_TRUE(ExtractPhoneBook(m_editor, m_codePage).listMismatch);
}

} // namespace
} // namespace orvalen
