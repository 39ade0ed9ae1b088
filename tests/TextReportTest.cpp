#include "TextReport.h"
#include "EditorFixture.h"
#include "Messages.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvalen;
using orvalen::testing::CTempFolder;
using orvalen::testing::EditorFixture;
using orvalen::testing::MakeForm;
using orvalen::testing::ReadBytes;
using orvalen::testing::WriteBytes;

namespace {

class TextReportTest : public EditorFixture {
protected:
    CTempFolder folder;

    std::string Report(const std::string& name = "Tel_Save.txt") {
        view.chosenFiles.push_back(folder / name);
        CTextReport::SaveAs(editor);
        return ReadBytes(folder / name);
    }
};

} // namespace

TEST_F(TextReportTest, OneContactReadsExactlyAsDocumented) {
    Add(MakeForm("Li", "123"));
    const std::string expected = "Total Telphone Number: 1\r\n"
                                 "\r\n"
                                 "No: 1\r\n"
                                 "Name: Li\r\n"
                                 "Mobile: 123\r\n"
                                 "Telphone: \r\n"
                                 "E_mail: \r\n"
                                 "QQ: \r\n"
                                 "FAX: \r\n"
                                 "\r\n"
                                 "END!";
    EXPECT_EQ(Report(), expected);
    EXPECT_TRUE(view.messages.empty());
    ASSERT_EQ(view.choosers.size(), 1u);
    EXPECT_EQ(view.choosers[0].mode, FileMode::save);
    EXPECT_EQ(view.choosers[0].defaultName, "Tel_Save.txt");
    EXPECT_EQ(view.choosers[0].filter, "ZUM orvalen file(*.txt)|*.txt|");
}

TEST_F(TextReportTest, ContactsAreNumberedInListOrderWithAllFields) {
    Add(MakeForm("Zoe", "1", "2", "z@x.org", "3", "4"));
    Add(MakeForm("adam"));
    const std::string expected = "Total Telphone Number: 2\r\n\r\n"
                                 "No: 1\r\nName: adam\r\nMobile: \r\nTelphone: \r\n"
                                 "E_mail: \r\nQQ: \r\nFAX: \r\n\r\n"
                                 "No: 2\r\nName: Zoe\r\nMobile: 1\r\nTelphone: 2\r\n"
                                 "E_mail: z@x.org\r\nQQ: 3\r\nFAX: 4\r\n\r\n"
                                 "END!";
    EXPECT_EQ(Report(), expected);
}

TEST_F(TextReportTest, TwoHundredContacts) {
    for (int i = 0; i < kMaxContacts; ++i)
        Add(MakeForm("p" + std::to_string(100 + i), "m"));
    const std::string report = Report();
    EXPECT_TRUE(report.starts_with("Total Telphone Number: 200\r\n\r\nNo: 1\r\nName: p100\r\n"));
    EXPECT_TRUE(report.ends_with("No: 200\r\nName: p299\r\nMobile: m\r\nTelphone: \r\n"
                                 "E_mail: \r\nQQ: \r\nFAX: \r\n\r\nEND!"));
}

TEST_F(TextReportTest, OnlyAddedContactsAreReportedAndLeftoverBytesAreNot) {
    Add(MakeForm("Alexander", "123456789"));
    editor.Clear();
    Add(MakeForm("Bo", "1"));
    view.Type(MakeForm("Typed", "not added"));
    const std::string report = Report();
    EXPECT_NE(report.find("Name: Bo\r\nMobile: 1\r\n"), std::string::npos);
    EXPECT_EQ(report.find("xander"), std::string::npos);
    EXPECT_EQ(report.find("Typed"), std::string::npos);
}

TEST_F(TextReportTest, RepeatedNamesEachReportTheirOwnDetails) {
    const ContactForm moms[] = {MakeForm("Mom", "first"), MakeForm("Mom", "second")};
    editor.AppendContacts(moms);
    const std::string report = Report();
    const auto first = report.find("Mobile: first");
    const auto second = report.find("Mobile: second");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
}

TEST_F(TextReportTest, SavingOverAnExistingFileReplacesAllOfIt) {
    WriteBytes(folder / "Tel_Save.txt", std::string(5000, 'x'));
    Add(MakeForm("Li"));
    const std::string report = Report();
    EXPECT_TRUE(report.starts_with("Total Telphone Number: 1"));
    EXPECT_TRUE(report.ends_with("END!"));
    EXPECT_EQ(report.find('x'), std::string::npos);
}

TEST_F(TextReportTest, EmptyBookWarnsAndCancelWritesNothing) {
    CTextReport::SaveAs(editor);
    ExpectOnlyMessage(messages::kAddFirst, MessageIcon::warning);
    EXPECT_TRUE(view.choosers.empty());

    view.messages.clear();
    Add(MakeForm("Li"));
    CTextReport::SaveAs(editor);
    EXPECT_EQ(view.choosers.size(), 1u);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(TextReportTest, FailuresLeaveTheOldReport) {
    WriteBytes(folder / "Tel_Save.txt", "old report");
    Add(MakeForm("Li"));
    list.AddString("ghost");
    view.chosenFiles.push_back(folder / "Tel_Save.txt");
    CTextReport::SaveAs(editor);
    ExpectOnlyMessage(messages::kSaveFailed, MessageIcon::error);
    EXPECT_EQ(ReadBytes(folder / "Tel_Save.txt"), "old report");

    view.messages.clear();
    view.chosenFiles.push_back(folder / "no-such-folder" / "Tel_Save.txt");
    CTextReport::SaveAs(editor);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, messages::kSaveFailed);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Tel_Save.txt"}));
}
