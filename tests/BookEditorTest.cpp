#include "CodePage.h"
#include "EditorFixture.h"
#include "Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvalen;
using orvalen::testing::EditorFixture;
using orvalen::testing::MakeForm;

namespace {

class BookEditorTest : public EditorFixture {
protected:
    void AddNames(std::initializer_list<const char*> names) {
        for (const char* name : names)
            Add(MakeForm(name, std::string("m-") + name));
    }

    void Select(int index) {
        list.SetCurSel(index);
        editor.ShowSelected();
    }

    std::vector<std::string> TableNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < editor.Table().Count(); ++i)
            names.emplace_back(editor.Table().Text(i, ContactField::name));
        return names;
    }

    void ExpectListMatchesTable() {
        ASSERT_EQ(list.GetCount(), editor.Table().Count());
        for (int i = 0; i < list.GetCount(); ++i)
            EXPECT_NE(editor.FindListed(i), CContactTable::kNone) << list.GetText(i);
    }

    void FillTable() {
        for (int i = 0; i < kMaxContacts; ++i)
            Add(MakeForm("c" + std::to_string(1000 + i)));
        ASSERT_EQ(editor.Table().Count(), kMaxContacts);
        view.messages.clear();
    }
};

} // namespace

TEST_F(BookEditorTest, AddNewNamesKeepsTheListSortedAndShowsTheCount) {
    Add(MakeForm("Carl", "111", "222", "c@x", "1", "2"));
    Add(MakeForm("alice", "333"));
    Add(MakeForm("Bob"));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alice", "Bob", "Carl"}));
    EXPECT_EQ(TableNames(), (std::vector<std::string>{"Carl", "alice", "Bob"}));
    EXPECT_EQ(view.shownCount, 3);
    // The form keeps what was typed.
    EXPECT_EQ(view.shown, MakeForm("Bob"));
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(editor.Table().Text(0, ContactField::email), "c@x");
    ExpectListMatchesTable();
}

TEST_F(BookEditorTest, AddSelectsTheNewEntryEvenWhenAnotherBeginsWithIt) {
    AddNames({"Alice", "Bob"});
    Add(MakeForm("Al"));
    ASSERT_EQ(Entries(), (std::vector<std::string>{"Al", "Alice", "Bob"}));
    EXPECT_EQ(list.GetCurSel(), 0);

    // Deleting right after the add removes the contact just added, not Alice.
    editor.Delete();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Alice", "Bob"}));
    EXPECT_EQ(TableNames(), (std::vector<std::string>{"Alice", "Bob"}));
}

TEST_F(BookEditorTest, AddWithEmptyNameWarnsAndChangesNothing) {
    AddNames({"Ann"});
    list.SetCurSel(0);
    const int writes = view.writeFormCalls;
    Add(MakeForm("", "123"));
    ExpectOnlyMessage(messages::kEmptyName, MessageIcon::warning);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Ann"}));
    EXPECT_EQ(editor.Table().Count(), 1);
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_EQ(view.writeFormCalls, writes);
}

TEST_F(BookEditorTest, EmptyNameIsReportedBeforeAFullTable) {
    FillTable();
    Add(MakeForm(""));
    ExpectOnlyMessage(messages::kEmptyName, MessageIcon::warning);
}

TEST_F(BookEditorTest, NewNameInAFullTableOverflows) {
    FillTable();
    Add(MakeForm("newcomer"));
    ExpectOnlyMessage(messages::kOverflow, MessageIcon::warning);
    EXPECT_EQ(editor.Table().Count(), kMaxContacts);
    EXPECT_EQ(list.GetCount(), kMaxContacts);
    EXPECT_EQ(editor.Table().Find("newcomer"), CContactTable::kNone);
}

TEST_F(BookEditorTest, ExistingNameInAFullTableCanStillBeUpdated) {
    FillTable();
    Add(MakeForm("c1100", "555"));
    ExpectOnlyMessage(messages::kNameRepeat, MessageIcon::warning, MessageButtons::okCancel);
    EXPECT_EQ(editor.Table().Text(100, ContactField::mobile), "555");
    EXPECT_EQ(editor.Table().Count(), kMaxContacts);
}

TEST_F(BookEditorTest, RepeatedNameAnsweredCancelChangesNothing) {
    Add(MakeForm("Ann", "1", "2", "3", "4", "5"));
    view.answers.push_back(MessageResult::cancel);
    Add(MakeForm("Ann", "9", "9", "9", "9", "9"));
    ExpectOnlyMessage(messages::kNameRepeat, MessageIcon::warning, MessageButtons::okCancel);
    EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), "1");
    EXPECT_EQ(editor.Table().Text(0, ContactField::fax), "5");
    EXPECT_EQ(editor.Table().Count(), 1);
}

TEST_F(BookEditorTest, RepeatedNameAnsweredOkReplacesTheOtherFieldsOfTheFirstContact) {
    Add(MakeForm("Ann", "1", "2", "3", "4", "5"));
    AddNames({"Bob"});
    list.SetCurSel(1);
    const int writes = view.writeFormCalls;
    Add(MakeForm("Ann", "m", "", "e", "q", ""));
    ExpectOnlyMessage(messages::kNameRepeat, MessageIcon::warning, MessageButtons::okCancel);
    EXPECT_EQ(editor.Table().Text(0, ContactField::name), "Ann");
    EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), "m");
    EXPECT_EQ(editor.Table().Text(0, ContactField::telephone), "");
    EXPECT_EQ(editor.Table().Text(0, ContactField::email), "e");
    EXPECT_EQ(editor.Table().Text(0, ContactField::qq), "q");
    EXPECT_EQ(editor.Table().Text(0, ContactField::fax), "");
    EXPECT_EQ(editor.Table().Count(), 2);
    // The list, its selection and the window are left alone.
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(view.writeFormCalls, writes);
}

TEST_F(BookEditorTest, NamesDifferingInCaseOrBlanksAreDistinctContacts) {
    AddNames({"ann", "Ann", "   "});
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(editor.Table().Count(), 3);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"   ", "ann", "Ann"}));
    EXPECT_EQ(editor.Table().Find("   "), 2);
}

TEST_F(BookEditorTest, TheTwoHundredthContactIsAccepted) {
    for (int i = 0; i < kMaxContacts - 1; ++i)
        Add(MakeForm("c" + std::to_string(1000 + i)));
    Add(MakeForm("last"));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.shownCount, kMaxContacts);
    ExpectListMatchesTable();
}

TEST_F(BookEditorTest, ShowSelectedCopiesTheContactIntoTheForm) {
    Add(MakeForm("Carl", "111", "222", "c@x", "9", "8"));
    Add(MakeForm("alice", "333"));
    view.Type(MakeForm("typed but not added"));
    Select(1);
    EXPECT_EQ(view.shown, MakeForm("Carl", "111", "222", "c@x", "9", "8"));
    EXPECT_EQ(editor.Form(), view.shown);
    EXPECT_EQ(view.shownCount, 2);
}

TEST_F(BookEditorTest, DeleteWithoutSelectionWarns) {
    AddNames({"Ann"});
    list.SetCurSel(-1);
    editor.Delete();
    ExpectOnlyMessage(messages::kSelectFirst, MessageIcon::warning);
    EXPECT_EQ(editor.Table().Count(), 1);
}

TEST_F(BookEditorTest, DeleteFirstShowsTheNewFirst) {
    AddNames({"a", "b", "c"});
    Select(0);
    editor.Delete();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_EQ(view.shown, MakeForm("b", "m-b"));
    EXPECT_EQ(view.shownCount, 2);
    ExpectListMatchesTable();
}

TEST_F(BookEditorTest, DeleteMiddleAndLastShowTheEntryAbove) {
    AddNames({"d", "c", "b", "a"});
    Select(2);
    editor.Delete();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(TableNames(), (std::vector<std::string>{"d", "b", "a"}));
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(view.shown, MakeForm("b", "m-b"));

    Select(2);
    editor.Delete();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(view.shown, MakeForm("b", "m-b"));
    EXPECT_EQ(view.shownCount, 2);
    ExpectListMatchesTable();
}

TEST_F(BookEditorTest, DeleteTheOnlyEntryEmptiesTheForm) {
    AddNames({"solo"});
    Select(0);
    editor.Delete();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(editor.Table().Count(), 0);
    EXPECT_EQ(view.shown, ContactForm{});
    EXPECT_EQ(view.shownCount, 0);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(BookEditorTest, AnEntryMissingFromTheTableIsAnError) {
    AddNames({"Ann"});
    list.AddString("ghost");
    list.SetCurSel(1);
    const ContactForm before = view.shown;
    editor.ShowSelected();
    ExpectOnlyMessage(messages::kListTableMismatch, MessageIcon::error);
    EXPECT_EQ(view.shown, before);

    view.messages.clear();
    editor.Delete();
    ExpectOnlyMessage(messages::kListTableMismatch, MessageIcon::error);
    EXPECT_EQ(editor.Table().Count(), 1);
    EXPECT_EQ(list.GetCount(), 2);
}

TEST_F(BookEditorTest, ClearEmptiesEverythingAndTheNextAddUsesSlotZero) {
    AddNames({"a", "b"});
    editor.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(editor.Table().Count(), 0);
    EXPECT_EQ(view.shown, ContactForm{});
    EXPECT_EQ(view.shownCount, 0);

    Add(MakeForm("z", "1"));
    EXPECT_EQ(editor.Table().Find("z"), 0);
    EXPECT_EQ(view.shownCount, 1);
    EXPECT_TRUE(view.messages.empty());
}

// Whatever a view hands in, the listed name is byte for byte the stored one, and a save finds
// it: texts are cut at a NUL and at the field's limit, never inside a GBK character.
TEST(BookEditorCut, TypedTextsAreCutAsTheirFieldsStoreThem) {
    CMemoryNameList list{CNameCollation(CCodePage("GBK"))};
    orvalen::testing::CHeadlessView view;
    CBookEditor editor(list, view);
    const std::string ni = "\xC4\xE3"; // one GBK character
    struct Row {
        std::string typed;
        std::string stored;
    };
    const Row rows[] = {
        {std::string("Ann\0Lee", 7), "Ann"},
        {"abcdefghijklmnopq", "abcdefghijklmnop"},
        {"a" + ni + ni + ni + ni + ni + ni + ni + ni, "a" + ni + ni + ni + ni + ni + ni + ni},
        {ni + ni + ni + ni + ni + ni + ni + ni + ni, ni + ni + ni + ni + ni + ni + ni + ni},
        {"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        editor.Clear();
        view.Type(MakeForm(row.typed, std::string(40, '5'), std::string("0755\0", 5)));
        editor.Add();
        EXPECT_TRUE(view.messages.empty());
        ASSERT_EQ(list.GetCount(), 1);
        EXPECT_EQ(list.GetText(0), row.stored);
        EXPECT_EQ(editor.Table().Text(0, ContactField::name), row.stored);
        EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), std::string(16, '5'));
        EXPECT_EQ(editor.Table().Text(0, ContactField::telephone), "0755");
        EXPECT_EQ(editor.FindAllListed(), std::vector<int>{0});
    }
    // A name that is nothing before its NUL is no name.
    editor.Clear();
    view.Type(MakeForm(std::string("\0Lee", 4)));
    editor.Add();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, messages::kEmptyName);
}

// A loaded file may hold the same exact name twice; each entry keeps its own details.
class RepeatedNamesTest : public BookEditorTest {
protected:
    void SetUp() override {
        // Arrive as a load would put them: table in file order, list sorted and stable.
        const ContactForm contacts[] = {MakeForm("Mom", "first"), MakeForm("Dad", "dad"),
                                        MakeForm("Mom", "second")};
        editor.AppendContacts(contacts);
    }
};

TEST_F(RepeatedNamesTest, EachEntryShowsItsOwnContact) {
    ASSERT_EQ(Entries(), (std::vector<std::string>{"Dad", "Mom", "Mom"}));
    Select(1);
    EXPECT_EQ(view.shown[ContactField::mobile], "first");
    Select(2);
    EXPECT_EQ(view.shown[ContactField::mobile], "second");
}

TEST_F(RepeatedNamesTest, DeletingTheSecondKeepsTheFirstsDetails) {
    Select(2);
    editor.Delete();
    EXPECT_EQ(editor.Table().Count(), 2);
    EXPECT_EQ(editor.Table().Text(editor.Table().Find("Mom"), ContactField::mobile), "first");
    EXPECT_EQ(view.shown[ContactField::mobile], "first");
    ExpectListMatchesTable();
}

TEST_F(RepeatedNamesTest, DeletingTheFirstKeepsTheSecondsDetails) {
    Select(1);
    editor.Delete();
    EXPECT_EQ(editor.Table().Text(editor.Table().Find("Mom"), ContactField::mobile), "second");
    Select(1);
    EXPECT_EQ(view.shown[ContactField::mobile], "second");
}

TEST_F(RepeatedNamesTest, AddOfTheNameUpdatesTheFirstContact) {
    Add(MakeForm("Mom", "new"));
    ExpectOnlyMessage(messages::kNameRepeat, MessageIcon::warning, MessageButtons::okCancel);
    EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), "new");
    EXPECT_EQ(editor.Table().Text(2, ContactField::mobile), "second");
}

// Exact repeats of a name lie among its case variants; each entry still finds its own contact,
// one at a time or all at once.
TEST_F(BookEditorTest, FindAllListedAgreesWithFindListedAmongCaseVariants) {
    const ContactForm contacts[] = {
        MakeForm("mom", "1"), MakeForm("Ann"),      MakeForm("Mom", "2"), MakeForm("mom", "3"),
        MakeForm("MOM", "4"), MakeForm("Mom", "5"), MakeForm("zed")};
    editor.AppendContacts(contacts);
    ASSERT_EQ(Entries(),
              (std::vector<std::string>{"Ann", "mom", "Mom", "mom", "MOM", "Mom", "zed"}));
    const std::vector<int> all = editor.FindAllListed();
    EXPECT_EQ(all, (std::vector<int>{1, 0, 2, 3, 4, 5, 6}));
    for (int i = 0; i < list.GetCount(); ++i)
        EXPECT_EQ(all[static_cast<std::size_t>(i)], editor.FindListed(i)) << i;
}

TEST_F(BookEditorTest, FindAllListedMarksANameMissingFromTheTable) {
    const ContactForm ann[] = {MakeForm("Ann")};
    editor.AppendContacts(ann);
    list.AddString("ghost");
    EXPECT_EQ(editor.FindAllListed(), (std::vector<int>{0, CContactTable::kNone}));
    EXPECT_EQ(editor.FindListed(1), CContactTable::kNone);
}

TEST_F(BookEditorTest, FindAllListedGivesEachContactOfANameOnce) {
    const ContactForm moms[] = {MakeForm("Mom", "1"), MakeForm("Mom", "2")};
    editor.AppendContacts(moms);
    list.AddString("Mom");
    EXPECT_EQ(editor.FindAllListed(), (std::vector<int>{0, 1, CContactTable::kNone}));
    EXPECT_EQ(editor.FindListed(2), CContactTable::kNone);
}

// Import into a phone book of Ann and Bob: each row gives the contacts entered, the choice for
// names already there, and what the list, the table and the form then hold.
struct ImportCase {
    const char* what;
    std::vector<ContactForm> contacts;
    RepeatedNames repeated;
    std::vector<std::string> entries;
    std::vector<std::string> tableNames;
    std::string annMobile; // of the first Ann
    int selected;
    ContactForm shown;
};

TEST_F(BookEditorTest, ImportEntersContactsAsAddWouldOneByOne) {
    const std::vector<ImportCase> cases = {
        {"update",
         {MakeForm("Cat", "1"), MakeForm("Ann", "2"), MakeForm("Dan", "3")},
         RepeatedNames::update,
         {"Ann", "Bob", "Cat", "Dan"},
         {"Ann", "Bob", "Cat", "Dan"},
         "2",
         3,
         MakeForm("Dan", "3")},
        {"merge fills the fields it has and keeps the others",
         {MakeForm("Ann", "", "t2")},
         RepeatedNames::merge,
         {"Ann", "Bob"},
         {"Ann", "Bob"},
         "m-Ann",
         0,
         MakeForm("Ann", "m-Ann", "t2")},
        {"skip",
         {MakeForm("Cat", "1"), MakeForm("Ann", "2"), MakeForm("Dan", "3")},
         RepeatedNames::skip,
         {"Ann", "Bob", "Cat", "Dan"},
         {"Ann", "Bob", "Cat", "Dan"},
         "m-Ann",
         3,
         MakeForm("Dan", "3")},
        {"add as well",
         {MakeForm("Cat", "1"), MakeForm("Ann", "2"), MakeForm("Dan", "3")},
         RepeatedNames::addAsWell,
         {"Ann", "Ann", "Bob", "Cat", "Dan"},
         {"Ann", "Bob", "Cat", "Ann", "Dan"},
         "m-Ann",
         4,
         MakeForm("Dan", "3")},
        // The second Ann is the last one added: the second Ann entry is selected.
        {"last added repeats a name",
         {MakeForm("Dan", "3"), MakeForm("Ann", "2")},
         RepeatedNames::addAsWell,
         {"Ann", "Ann", "Bob", "Dan"},
         {"Ann", "Bob", "Dan", "Ann"},
         "m-Ann",
         1,
         MakeForm("Ann", "2")},
        {"only an update",
         {MakeForm("Ann", "2", "", "a@x")},
         RepeatedNames::update,
         {"Ann", "Bob"},
         {"Ann", "Bob"},
         "2",
         0,
         MakeForm("Ann", "2", "", "a@x")},
        // A name repeated within the import updates the contact entered just before.
        {"repeated in the file",
         {MakeForm("Eve", "1"), MakeForm("Eve", "2")},
         RepeatedNames::update,
         {"Ann", "Bob", "Eve"},
         {"Ann", "Bob", "Eve"},
         "m-Ann",
         2,
         MakeForm("Eve", "2")},
    };
    for (const ImportCase& row : cases) {
        SCOPED_TRACE(row.what);
        editor.Clear();
        AddNames({"Ann", "Bob"});
        view.messages.clear();

        EXPECT_EQ(editor.Import(row.contacts, row.repeated), 0);
        EXPECT_TRUE(view.messages.empty());
        EXPECT_EQ(Entries(), row.entries);
        EXPECT_EQ(TableNames(), row.tableNames);
        EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), row.annMobile);
        EXPECT_EQ(list.GetCurSel(), row.selected);
        EXPECT_EQ(view.shown, row.shown);
        EXPECT_EQ(view.shownCount, static_cast<int>(row.entries.size()));
        ExpectListMatchesTable();
    }
}

TEST_F(BookEditorTest, ImportOfOnlySkippedNamesChangesNothing) {
    AddNames({"Ann", "Bob"});
    Select(1);
    const int writes = view.writeFormCalls;
    EXPECT_EQ(editor.Import(std::vector{MakeForm("Ann", "2")}, RepeatedNames::skip), 0);
    EXPECT_EQ(view.writeFormCalls, writes);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), "m-Ann");
    // No undo step either: undo takes back the add of Bob.
    editor.Undo();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Ann"}));
}

TEST_F(BookEditorTest, ImportLeavesOutNewNamesOnceFullButStillUpdates) {
    for (int i = 0; i < kMaxContacts - 1; ++i)
        Add(MakeForm("c" + std::to_string(1000 + i)));
    const std::vector<ContactForm> contacts = {MakeForm("x", "1"), MakeForm("y", "2"),
                                               MakeForm("c1000", "3")};
    EXPECT_EQ(editor.Import(contacts, RepeatedNames::update), 1);
    EXPECT_EQ(editor.Table().Count(), kMaxContacts);
    EXPECT_EQ(editor.Table().Find("y"), CContactTable::kNone);
    EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), "3");
    EXPECT_EQ(list.GetText(list.GetCurSel()), "c1000");
    ExpectListMatchesTable();
}
