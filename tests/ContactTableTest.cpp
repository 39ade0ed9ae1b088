#include "ContactTable.h"
#include "HeadlessView.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvalen;
using orvalen::testing::MakeForm;

namespace {

std::string Bytes(std::string_view view) {
    return std::string(view);
}

} // namespace

TEST(ContactTableFind, EmptyTableFindsNothing) {
    CContactTable table;
    EXPECT_EQ(table.Find(""), CContactTable::kNone);
    EXPECT_EQ(table.Find("Ann"), CContactTable::kNone);
}

TEST(ContactTableFind, ExactCaseSensitiveMatchAndOccurrences) {
    CContactTable table;
    table.Append(MakeForm("Ann", "1"));
    table.Append(MakeForm("ann", "2"));
    table.Append(MakeForm("Ann", "3"));
    table.Append(MakeForm(" Ann", "4"));

    EXPECT_EQ(table.Find("ann"), 1);
    EXPECT_EQ(table.Find("ANN"), CContactTable::kNone);
    EXPECT_EQ(table.Find("An"), CContactTable::kNone);
    EXPECT_EQ(table.Find("Ann"), 0);
    EXPECT_EQ(table.Find("Ann", 1), 2);
    EXPECT_EQ(table.Find("Ann", 2), CContactTable::kNone);
    EXPECT_EQ(table.Find(" Ann"), 3);
}

TEST(ContactTableFind, IgnoresSlotsPastTheCount) {
    CContactTable table;
    table.Append(MakeForm("Ann"));
    table.Append(MakeForm("Bob"));
    table.SetCount(1);
    EXPECT_EQ(table.Find("Bob"), CContactTable::kNone);
}

TEST(ContactTableSlots, AppendStoresAllSixFieldsZeroPadded) {
    CContactTable table;
    table.Append(MakeForm("Li", "123", "0755-1", "li@example.com", "10001", "88"));
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Text(0, ContactField::name), "Li");
    EXPECT_EQ(table.Text(0, ContactField::mobile), "123");
    EXPECT_EQ(table.Text(0, ContactField::telephone), "0755-1");
    EXPECT_EQ(table.Text(0, ContactField::email), "li@example.com");
    EXPECT_EQ(table.Text(0, ContactField::qq), "10001");
    EXPECT_EQ(table.Text(0, ContactField::fax), "88");
    EXPECT_EQ(Bytes(table.SlotBytes(0, ContactField::name)),
              std::string("Li") + std::string(14, '\0'));
    EXPECT_EQ(table.SlotBytes(0, ContactField::telephone).size(), 32u);
    EXPECT_EQ(table.SlotBytes(0, ContactField::email).size(), 32u);
    EXPECT_EQ(table.SlotBytes(0, ContactField::fax).size(), 16u);
}

TEST(ContactTableSlots, AShorterTextLeavesNoByteOfTheLongerOne) {
    CContactTable table;
    table.Append(MakeForm("Alexander", "13800138000"));
    table.Clear();
    table.Append(MakeForm("Bo"));
    EXPECT_EQ(Bytes(table.SlotBytes(0, ContactField::name)),
              std::string("Bo") + std::string(14, '\0'));
    table.StoreRaw(0, ContactField::mobile, std::string("555\0junk\0\0\0\0\0\0\xff", 15));
    table.UpdateDetails(0, MakeForm("Bo", "12"));
    EXPECT_EQ(Bytes(table.SlotBytes(0, ContactField::mobile)),
              std::string("12") + std::string(14, '\0'));
}

TEST(ContactTableSlots, StoreRawKeepsSixteenBytesWithoutTerminator) {
    CContactTable table;
    const std::string sixteen = "ABCDEFGHIJKLMNOP";
    table.StoreRaw(0, ContactField::name, sixteen);
    table.StoreRaw(0, ContactField::email, std::string(32, 'e'));
    table.SetCount(1);
    EXPECT_EQ(table.Text(0, ContactField::name), sixteen);
    EXPECT_EQ(Bytes(table.SlotBytes(0, ContactField::name)), sixteen);
    EXPECT_EQ(table.Text(0, ContactField::email), std::string(32, 'e'));
    EXPECT_EQ(table.Find(sixteen), 0);
}

TEST(ContactTableSlots, StoreRawCopiesBytesAfterAZeroVerbatim) {
    CContactTable table;
    const std::string raw("Al\0junk\0\0\0\0\0\0\0\xff\x01", 16);
    table.StoreRaw(0, ContactField::mobile, raw);
    EXPECT_EQ(table.Text(0, ContactField::mobile), "Al");
    EXPECT_EQ(Bytes(table.SlotBytes(0, ContactField::mobile)), raw);
}

TEST(ContactTableSlots, OverlongTextIsCutInsideTheSlot) {
    CContactTable table;
    table.Append(MakeForm(std::string(40, 'n'), std::string(40, 'm')));
    table.Append(MakeForm("Next"));
    EXPECT_EQ(table.Text(0, ContactField::name), std::string(16, 'n'));
    EXPECT_EQ(table.Text(0, ContactField::mobile), std::string(16, 'm'));
    EXPECT_EQ(table.Text(1, ContactField::name), "Next");
}

TEST(ContactTableEdit, UpdateDetailsKeepsTheName) {
    CContactTable table;
    table.Append(MakeForm("Ann", "1", "2", "3", "4", "5"));
    table.UpdateDetails(0, MakeForm("Other", "m", "", "e", "", "f"));
    EXPECT_EQ(table.Text(0, ContactField::name), "Ann");
    EXPECT_EQ(table.Text(0, ContactField::mobile), "m");
    EXPECT_EQ(table.Text(0, ContactField::telephone), "");
    EXPECT_EQ(table.Text(0, ContactField::email), "e");
    EXPECT_EQ(table.Text(0, ContactField::qq), "");
    EXPECT_EQ(table.Text(0, ContactField::fax), "f");
}

TEST(ContactTableEdit, RemoveAtClosesTheGapInEntryOrder) {
    CContactTable table;
    table.Append(MakeForm("Carl", "1"));
    table.Append(MakeForm("alice", "2"));
    table.Append(MakeForm("Bob", "3"));
    table.RemoveAt(0);
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table.Text(0, ContactField::name), "alice");
    EXPECT_EQ(table.Text(0, ContactField::mobile), "2");
    EXPECT_EQ(table.Text(1, ContactField::name), "Bob");
    EXPECT_EQ(table.Text(1, ContactField::mobile), "3");
    // The slot left free holds nothing of anyone.
    for (ContactField field : kAllFields)
        EXPECT_EQ(Bytes(table.SlotBytes(2, field)), std::string(MaxLength(field), '\0'));

    table.RemoveAt(1);
    ASSERT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Text(0, ContactField::name), "alice");
}

TEST(ContactTableEdit, ClearThenAppendStartsAtSlotZero) {
    CContactTable table;
    table.Append(MakeForm("Zed", "999"));
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Find("Zed"), CContactTable::kNone);
    table.Append(MakeForm("Y"));
    EXPECT_EQ(table.Text(0, ContactField::name), "Y");
    EXPECT_EQ(Bytes(table.SlotBytes(0, ContactField::name)).substr(0, 4),
              std::string("Y\0\0\0", 4));
}

TEST(ContactTableEdit, HoldsTwoHundredContacts) {
    CContactTable table;
    for (int i = 0; i < kMaxContacts; ++i)
        table.Append(MakeForm("n" + std::to_string(i)));
    EXPECT_EQ(table.Count(), kMaxContacts);
    EXPECT_EQ(table.Find("n199"), 199);
    table.SetCount(500);
    EXPECT_EQ(table.Count(), kMaxContacts);
}

TEST(ContactTableEdit, StorePackedIsStoreRawOfEachField) {
    std::string packed(CContactTable::kPackedSize, 'x');
    packed.replace(0, 3, std::string("Li\0", 3));
    CContactTable one;
    CContactTable each;
    EXPECT_EQ(one.StorePacked(4, packed), "Li");
    std::size_t offset = 0;
    for (ContactField field : kAllFields) {
        each.StoreRaw(4, field, std::string_view(packed).substr(offset, MaxLength(field)));
        offset += MaxLength(field);
    }
    for (ContactField field : kAllFields)
        EXPECT_EQ(Bytes(one.SlotBytes(4, field)), Bytes(each.SlotBytes(4, field)));
    // A name filling its 16 bytes comes back whole.
    EXPECT_EQ(one.StorePacked(5, std::string(CContactTable::kPackedSize, 'n')),
              std::string(16, 'n'));
    EXPECT_EQ(one.Text(5, ContactField::email), std::string(32, 'n'));
}

TEST(ContactTableEdit, CopyPackedGivesBackWhatStorePackedStored) {
    std::string packed(CContactTable::kPackedSize, '\0');
    for (std::size_t i = 0; i < packed.size(); ++i)
        packed[i] = static_cast<char>('a' + i % 26);
    packed[3] = '\0'; // a short name with leftovers after it
    CContactTable table;
    table.StorePacked(7, packed);
    std::string copied(CContactTable::kPackedSize, '?');
    table.CopyPacked(7, copied);
    EXPECT_EQ(copied, packed);
}
