// Undo and redo of the phone-book commands, and whether the book counts as modified.
#include "DeviceBookFile.h"
#include "EditorFixture.h"
#include "TempFolder.h"
#include "TextReport.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace orvalen;
using orvalen::testing::CTempFolder;
using orvalen::testing::EditorFixture;
using orvalen::testing::MakeForm;
using orvalen::testing::WriteBytes;

namespace {

// Everything undo must bring back: all 200 slots' bytes (leftovers after the terminators and
// beyond the count included), the count, the list, its selection, the fields and the display.
struct Seen {
    std::string slots;
    int count;
    std::vector<std::string> entries;
    int selection;
    ContactForm fields;
    int countShown;
    friend bool operator==(const Seen&, const Seen&) = default;
    friend void PrintTo(const Seen& seen, std::ostream* out) {
        *out << "count " << seen.count << ", shown " << seen.countShown << ", selection "
             << seen.selection << ", entries";
        for (const auto& entry : seen.entries)
            *out << " " << entry;
        *out << ", fields";
        for (const auto& text : seen.fields.texts)
            *out << " [" << text << "]";
        *out << ", slot bytes " << seen.slots.size();
    }
};

// A .tel file of two records whose slots hold bytes after their terminators.
std::string FileWithLeftovers() {
    std::string file(26112, '\0');
    file.replace(0, 5, "\x55\xAA\x68\x68\x02", 5);
    const std::string carl("Carl\0XY", 7);
    const std::string mobile("123\0"
                             "9876543",
                             11);
    file.replace(512, carl.size(), carl);
    file.replace(512 + 16, mobile.size(), mobile);
    file.replace(640, 3, "Ann");
    return file;
}

class UndoTest : public EditorFixture {
protected:
    CTempFolder folder;

    Seen Now() const {
        Seen seen{{},         editor.Table().Count(), Entries(), list.GetCurSel(),
                  view.typed, view.shownCount};
        for (int slot = 0; slot < kMaxContacts; ++slot) {
            for (ContactField field : kAllFields)
                seen.slots += editor.Table().SlotBytes(slot, field);
        }
        return seen;
    }

    void AddKnownBook() {
        Add(MakeForm("Carl", "13800138000", "", "carl@example.cn"));
        Add(MakeForm("alice", "2"));
        Add(MakeForm("Bob", "3"));
    }

    void Load(const std::string& bytes) {
        WriteBytes(folder / "book.tel", bytes);
        view.chosenFiles.push_back(folder / "book.tel");
        CDeviceBookFile::Load(editor);
    }
};

TEST_F(UndoTest, UndoBringsBackTheBookBeforeEachCommandAndRedoTheBookAfterIt) {
    const ContactForm typed = MakeForm("typed", "not added");
    const struct {
        const char* what;
        ContactForm typed; // what the fields hold when the command starts
        std::function<void()> command;
    } rows[] = {
        {"Add of a new name", MakeForm("Dan", "4"), [this] { editor.Add(); }},
        {"Add updating a name with shorter details", MakeForm("Carl", "1", "", "c@x"),
         [this] { editor.Add(); }},
        {"Delete of the selected entry", typed, [this] { editor.Delete(); }},
        {"Clear", typed, [this] { editor.Clear(); }},
        {"Load of a file with leftover bytes", typed, [this] { Load(FileWithLeftovers()); }},
        {"Import of an update and new names, in one step", typed,
         [this] {
             editor.Import(
                 std::vector{MakeForm("Carl", "9"), MakeForm("Eve", "5"), MakeForm("Dan", "4")},
                 RepeatedNames::update);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        editor.Clear();
        AddKnownBook();
        list.SetCurSel(1);
        editor.ShowSelected();
        view.Type(row.typed);
        const Seen before = Now();

        row.command();
        const Seen after = Now();
        ASSERT_NE(after, before);
        ASSERT_TRUE(editor.CanUndo());
        EXPECT_FALSE(editor.CanRedo());

        editor.Undo();
        EXPECT_EQ(Now(), before);
        EXPECT_TRUE(editor.CanRedo());
        editor.Redo();
        EXPECT_EQ(Now(), after);
        EXPECT_FALSE(editor.CanRedo());
    }
}

TEST_F(UndoTest, UndoAfterLoadKeepsTheFilesLeftoverBytes) {
    Load(FileWithLeftovers());
    // An update zero-fills the slots of the texts it writes; undo must bring the loaded bytes
    // back.
    Add(MakeForm("Carl", "5"));
    editor.Undo();
    const auto slot = [](std::string_view bytes) {
        std::string slot(bytes);
        slot.resize(16, '\0');
        return slot;
    };
    EXPECT_EQ(editor.Table().SlotBytes(0, ContactField::name), slot({"Carl\0XY", 7}));
    EXPECT_EQ(editor.Table().SlotBytes(0, ContactField::mobile), slot({"123\0"
                                                                       "9876543",
                                                                       11}));
    editor.Redo();
    EXPECT_EQ(editor.Table().SlotBytes(0, ContactField::mobile), slot("5"));
}

TEST_F(UndoTest, CommandsThatChangeNothingAreNoStep) {
    Add(MakeForm("")); // empty name
    editor.Delete();   // nothing selected
    AddKnownBook();
    editor.Undo();
    editor.Undo();
    editor.Undo();
    ASSERT_FALSE(editor.CanUndo());
    editor.Redo();
    view.answers.push_back(MessageResult::cancel);
    Add(MakeForm("Carl", "999")); // the repeated name answered Cancel
    view.chosenFiles.push_back(folder / "missing.tel");
    CDeviceBookFile::Load(editor);
    // Only the redone Add is there to undo; the redo steps were kept.
    EXPECT_TRUE(editor.CanRedo());
    editor.Undo();
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(Entries(), std::vector<std::string>{});
}

TEST_F(UndoTest, AHundredStepsGoBackAndANewCommandDropsTheRedoSteps) {
    for (int i = 0; i < 105; ++i)
        Add(MakeForm("c" + std::to_string(100 + i)));
    int undone = 0;
    while (editor.CanUndo()) {
        editor.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(editor.Table().Count(), 5);
    EXPECT_EQ(Entries().back(), "c104");

    editor.Redo();
    EXPECT_EQ(editor.Table().Count(), 6);
    Add(MakeForm("new"));
    EXPECT_FALSE(editor.CanRedo());
    editor.Redo(); // nothing to redo: nothing changes
    EXPECT_EQ(editor.Table().Count(), 7);
}

// Commands that leave the contacts as last saved leave no unsaved mark, whatever they did to
// the form, the table's order or the undo steps.
TEST_F(UndoTest, NoMarkWhileTheContactsAreAsSaved) {
    const struct {
        const char* what;
        bool knownBook; // saved before the command; else the empty book
        std::function<void()> command;
    } rows[] = {
        {"typing a name without adding it and pressing Clear on an empty book marks the title",
         false,
         [this] {
             view.Type(MakeForm("Ann"));
             editor.Clear();
         }},
        {"typing in the form", true, [this] { view.Type(MakeForm("Eve", "1")); }},
        {"Add >> of a name with the details it has", true,
         [this] { Add(MakeForm("Carl", "13800138000", "", "carl@example.cn")); }},
        {"Delete and Add >> of the same contact", true,
         [this] {
             list.SetCurSel(0);
             editor.Delete();
             Add(MakeForm("alice", "2"));
         }},
        {"an import merging details the book holds", true,
         [this] { editor.Import(std::vector{MakeForm("Bob", "3")}, RepeatedNames::merge); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        editor.Clear();
        if (row.knownBook)
            AddKnownBook();
        editor.MarkSaved();
        row.command();
        EXPECT_FALSE(editor.IsModified());
    }
}

TEST_F(UndoTest, TheBookIsModifiedUntilItEqualsAFileSavedOrLoaded) {
    EXPECT_FALSE(editor.IsModified());
    editor.Clear();
    EXPECT_FALSE(editor.IsModified()) << "clearing an empty book changes nothing";
    EXPECT_FALSE(editor.CanUndo());
    AddKnownBook();
    EXPECT_TRUE(editor.IsModified());

    view.chosenFiles.push_back(folder / "report.txt");
    CTextReport::SaveAs(editor);
    EXPECT_TRUE(editor.IsModified()) << "the report is no copy of the phone book";
    view.chosenFiles.push_back(folder / "gone" / "book.tel");
    CDeviceBookFile::Save(editor);
    EXPECT_TRUE(editor.IsModified()) << "a failed save";

    view.chosenFiles.push_back(folder / "book.tel");
    CDeviceBookFile::Save(editor);
    EXPECT_FALSE(editor.IsModified());
    editor.Undo();
    EXPECT_TRUE(editor.IsModified());
    editor.Redo();
    EXPECT_FALSE(editor.IsModified()) << "the book equals the saved file again";

    editor.Clear();
    EXPECT_TRUE(editor.IsModified());
    view.chosenFiles.push_back(folder / "book.tel");
    CDeviceBookFile::Load(editor);
    EXPECT_FALSE(editor.IsModified());
    editor.Undo();
    EXPECT_TRUE(editor.IsModified());
}

} // namespace
