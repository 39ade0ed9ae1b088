// The layer both windows share, without a window: each command's flow through the presenter,
// the questions before unsaved work is lost, the import dialog's model, the field input rule,
// the command line and the text catalogue.
#include "DeviceBookFile.h"
#include "FieldInput.h"
#include "HeadlessView.h"
#include "ImportJob.h"
#include "ImportModel.h"
#include "MainPresenter.h"
#include "Messages.h"
#include "PathText.h"
#include "TempFolder.h"
#include "Texts.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

using namespace orvalen;
using orvalen::testing::CHeadlessView;
using orvalen::testing::CTempFolder;
using orvalen::testing::MakeForm;
using orvalen::testing::WriteBytes;

namespace {

// The main window without a window: the commands' view, plus the questions asked (answered
// from a script, OK when it runs dry), errors, states and import dialogs seen.
class CHeadlessMainView final : public IMainView {
public:
    CHeadlessView book;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    std::vector<std::string> errors;
    std::vector<BookState> states;
    std::vector<std::string> abouts;
    // What the import dialog does with its model before OK (true) or Cancel (false).
    std::function<bool(CImportModel&)> importDialog = [](CImportModel&) { return true; };

    void ReadForm(ContactForm& form) override { book.ReadForm(form); }
    void WriteForm(const ContactForm& form, int count) override { book.WriteForm(form, count); }
    using IBookView::ShowMessage;
    MessageResult ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons,
                              std::string_view detail) override {
        return book.ShowMessage(text, icon, buttons, detail);
    }
    using IBookView::ChooseFile;
    std::optional<std::filesystem::path> ChooseFile(FileMode mode, std::string_view name,
                                                    std::string_view filter,
                                                    const std::filesystem::path& folder) override {
        return book.ChooseFile(mode, name, filter, folder);
    }
    bool AskQuestion(std::string_view text) override {
        questions.emplace_back(text);
        if (answers.empty())
            return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowError(std::string_view text, std::string_view detail) override {
        errors.push_back(std::string(text) + " | " + std::string(detail));
    }
    void ShowBookState(const BookState& state) override { states.push_back(state); }
    bool RunImportDialog(CImportModel& model) override { return importDialog(model); }
    CResult<ImportFile> ReadImport(const ImportRequest& request) override {
        return CImportJob(request, {}).Wait();
    }
    void ShowAbout(std::string_view line) override { abouts.emplace_back(line); }
};

class PresenterTest : public ::testing::Test {
protected:
    CCodePage codePage{"GBK"};
    CMemoryNameList list;
    CHeadlessMainView view;
    CBookEditor editor{list, view};
    CMainPresenter presenter{editor, view, codePage};
    CTempFolder folder;

    void Add(ContactForm form) {
        view.book.Type(std::move(form));
        presenter.Run(Command::add);
    }
    std::filesystem::path SavedBookOf(std::vector<ContactForm> contacts) {
        CMemoryNameList otherList;
        CHeadlessView otherView;
        CBookEditor other(otherList, otherView);
        for (ContactForm& form : contacts) {
            otherView.Type(std::move(form));
            other.Add();
        }
        const auto path = folder.Path() / "Tel_Expt.tel";
        EXPECT_TRUE(CDeviceBookFile::SaveTo(other, path));
        return path;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < list.GetCount(); ++i)
            names.push_back(list.GetText(i));
        return names;
    }
};

const std::string kLoadQuestion =
    "The phone book has changes that are not saved. Load another file anyway?";

// Fault: Load threw away unsaved work without asking, and so did a dropped .tel.
TEST_F(PresenterTest, LoadAndADroppedTelAskBeforeUnsavedWorkIsLost) {
    const auto file = SavedBookOf({MakeForm("Ann", "111")});
    Add(MakeForm("Bob", "222"));

    struct Row {
        bool drop;
        bool answer;
        std::vector<std::string> names;
        bool modified;
    };
    for (const Row& row : {Row{false, false, {"Bob"}, true}, Row{true, false, {"Bob"}, true},
                           Row{true, true, {"Ann"}, false}}) {
        view.questions.clear();
        view.answers = {row.answer};
        if (row.drop) {
            presenter.OpenFile(file);
        } else {
            view.book.chosenFiles.push_back(file);
            presenter.Run(Command::load);
        }
        EXPECT_EQ(view.questions, std::vector<std::string>{kLoadQuestion});
        EXPECT_EQ(Names(), row.names);
        EXPECT_EQ(view.states.back().modified, row.modified);
    }
    // With nothing unsaved, Load asks nothing, as written; and Ctrl+Z still brings Bob back.
    view.questions.clear();
    view.book.chosenFiles.push_back(file);
    presenter.Run(Command::load);
    EXPECT_TRUE(view.questions.empty());
    presenter.Run(Command::undo);
    presenter.Run(Command::undo);
    EXPECT_EQ(Names(), std::vector<std::string>{"Bob"});
}

TEST_F(PresenterTest, ACancelledChooserOrARefusedFileAsksNothing) {
    Add(MakeForm("Bob"));
    presenter.Run(Command::load); // cancelled chooser
    // A name of any other ending goes through Load too, and is refused as Load refuses.
    const auto notTel = folder.Path() / "notes.txt";
    WriteBytes(notTel, "not a phone book");
    presenter.OpenFile(notTel);
    EXPECT_TRUE(view.questions.empty());
    ASSERT_EQ(view.book.messages.size(), 1u);
    EXPECT_EQ(view.book.messages[0].text, "Error!!, Not ZUM Tel file ...");
    EXPECT_EQ(Names(), std::vector<std::string>{"Bob"});
}

TEST_F(PresenterTest, ClosingAndTheSessionEndAskOnlyOverUnsavedChanges) {
    EXPECT_TRUE(presenter.MayClose());
    Add(MakeForm("Bob"));
    view.answers = {false, true, false};
    EXPECT_FALSE(presenter.MayClose());
    EXPECT_TRUE(presenter.MayClose());
    EXPECT_FALSE(presenter.MayEndSession());
    EXPECT_EQ(view.questions,
              std::vector<std::string>(
                  3, "The phone book has changes that are not saved. Close anyway?"));
}

TEST_F(PresenterTest, EachCommandShowsTheStateAfterIt) {
    Add(MakeForm("Bob"));
    EXPECT_EQ(view.states.back(), (BookState{true, true, false}));
    presenter.Run(Command::undo);
    EXPECT_EQ(view.states.back(), (BookState{false, false, true}));
    presenter.Run(Command::redo);
    EXPECT_EQ(view.states.back(), (BookState{true, true, false}));
    presenter.Run(Command::about);
    EXPECT_EQ(view.abouts, std::vector<std::string>{"代码页：GBK"});
    presenter.Run(Command::clear);
    EXPECT_TRUE(Names().empty());
    presenter.Run(Command::exportContacts);
    ASSERT_EQ(view.book.messages.size(), 1u);
    EXPECT_EQ(view.book.messages[0].text, "Please add item first !!");
    EXPECT_TRUE(view.book.choosers.empty());
}

TEST_F(PresenterTest, ImportShowsTheRowsAndEntersTheTickedOnes) {
    const auto card = folder.Path() / "cards.vcf";
    WriteBytes(card, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nTEL:111\r\nEND:VCARD\r\n"
                     "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\nTEL:222\r\nEND:VCARD\r\n");
    view.importDialog = [](CImportModel& model) {
        EXPECT_EQ(model.RowCount(), 2);
        model.SetTicked(0, false);
        return true;
    };
    view.book.chosenFiles.push_back(card);
    presenter.Run(Command::importContacts);
    EXPECT_EQ(view.book.choosers[0].filter,
              "vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv|All files (*)|*|");
    EXPECT_EQ(Names(), std::vector<std::string>{"Bob"});
    EXPECT_TRUE(view.states.back().canUndo);

    view.importDialog = [](CImportModel&) { return false; };
    presenter.OpenFile(card);
    EXPECT_EQ(Names(), std::vector<std::string>{"Bob"});

    presenter.OpenFile(folder.Path() / "missing.vcf");
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_TRUE(view.errors[0].starts_with("Cannot import contacts from this file. | "));
}

TEST_F(PresenterTest, EachRepeatedNameChoice) {
    const auto card = folder.Path() / "cards.vcf";
    WriteBytes(card, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nTEL;TYPE=CELL:999\r\nEND:VCARD\r\n"
                     "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cat\r\nTEL:333\r\nEND:VCARD\r\n");
    struct Row {
        RepeatedNames choice;
        std::vector<std::string> names;
        std::string annMobile;
    };
    for (const Row& row : {Row{RepeatedNames::merge, {"Ann", "Bob", "Cat"}, "999"},
                           Row{RepeatedNames::skip, {"Ann", "Bob", "Cat"}, "111"},
                           Row{RepeatedNames::addAsWell, {"Ann", "Ann", "Bob", "Cat"}, "111"}}) {
        presenter.Run(Command::clear);
        Add(MakeForm("Ann", "111"));
        Add(MakeForm("Bob", "222"));
        view.importDialog = [&row](CImportModel& model) {
            for (std::size_t i = 0; i < CImportModel::Choices().size(); ++i)
                if (CImportModel::Choices()[i].repeated == row.choice)
                    model.SetChoice(static_cast<int>(i));
            return true;
        };
        presenter.OpenFile(card);
        EXPECT_EQ(Names(), row.names);
        EXPECT_EQ(editor.Table().Text(0, ContactField::mobile), row.annMobile);
    }
}

// An import read on a worker thread: the request holds copies, so the book may change meanwhile.
TEST_F(PresenterTest, AnImportReadRunsOnItsOwnCopies) {
    const auto card = folder.Path() / "card.vcf";
    WriteBytes(card, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nEND:VCARD\r\n");
    Add(MakeForm("Ann"));
    const ImportRequest request = presenter.MakeImportRequest(card);
    presenter.Run(Command::clear);
    CImportJob job(request, {});
    CResult<ImportFile> read = job.Wait();
    ASSERT_TRUE(read);
    EXPECT_EQ(job.Progress().read, std::filesystem::file_size(card));
    EXPECT_TRUE(read->rows.at(0).known);
    presenter.ContinueImport(card, std::move(read));
    EXPECT_EQ(Names(), std::vector<std::string>{"Ann"});
}

// A file of more contacts than one read keeps: the dialog says which are shown and reads the
// next ones, then the first again.
TEST_F(PresenterTest, AFileOfMoreContactsThanOneReadIsShownInRanges) {
    const auto cards = folder.Path() / "many.vcf";
    std::string bytes;
    for (int i = 1; i <= 20003; ++i)
        bytes += "BEGIN:VCARD\r\nFN:C" + std::to_string(i) + "\r\nEND:VCARD\r\n";
    WriteBytes(cards, bytes);
    struct Step {
        int rows;
        std::string first, range, next;
    };
    const Step steps[] = {
        {20000, "C1", "Shown: the first 20,000 of 20,003 contacts", "Read the ne&xt 3"},
        {3, "C20001", "Shown: contacts 20,001 to 20,003 of 20,003", "Back to the &first 20,000"}};
    view.importDialog = [&](CImportModel& model) {
        for (const Step& step : steps) {
            if (&step != steps) {
                EXPECT_TRUE(model.ReadNextRange());
            }
            EXPECT_EQ(model.RowCount(), step.rows);
            EXPECT_EQ(model.Shown(0)[0], step.first);
            EXPECT_EQ(model.RangeLine(), step.range);
            EXPECT_EQ(model.NextRangeText(), step.next);
        }
        return false;
    };
    presenter.OpenFile(cards);
    EXPECT_TRUE(view.errors.empty());
    EXPECT_EQ(GroupDigits(2200000), "2,200,000");
    EXPECT_EQ(GroupDigits(999), "999");
}

#if !defined(_WIN32)
// A file that never ends a read (a FIFO whose writer stays silent): the job goes on until
// Cancel, which ends it within 0.2 s, and the read is then cancelled, shown as nothing at all.
TEST_F(PresenterTest, ACancelledImportJobEndsAtOnceAndShowsNothing) {
    const auto fifo = folder.Path() / "never.vcf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    std::atomic<int> finished{0};
    CImportJob job(presenter.MakeImportRequest(fifo), [&finished] { ++finished; });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(job.IsFinished());
    const auto start = std::chrono::steady_clock::now();
    job.Cancel();
    CResult<ImportFile> read = job.Wait();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(read.Status().Kind(), StatusKind::cancelled);
    EXPECT_EQ(finished.load(), 1);
    presenter.ContinueImport(fifo, std::move(read));
    EXPECT_TRUE(view.errors.empty());
    {
        // Going away cancels and joins too.
        CImportJob dropped(presenter.MakeImportRequest(fifo), {});
    }
    ::close(writer);
}
#endif

ImportRow Row(std::string name, bool known = false) {
    ImportRow row;
    row.form = MakeForm(std::move(name));
    row.known = known;
    return row;
}

ImportFile FileOf(int count, int firstKnown = -1) {
    ImportFile file;
    for (int i = 0; i < count; ++i)
        file.rows.push_back(
            Row("Contact " + std::to_string(i + 1), i >= firstKnown && firstKnown >= 0));
    file.encoding = "GB18030";
    file.guessed = true;
    return file;
}

TEST(ImportModelTest, TicksInFileOrderWhileThereIsRoomAndCountsThePlaces) {
    const CCodePage codePage("GBK");
    CImportModel model(codePage, 190, FileOf(12));
    EXPECT_EQ(model.TickedCount(), 10);
    EXPECT_FALSE(model.IsTicked(10));
    EXPECT_EQ(model.CountLine(), "10 selected · 0 places left");
    model.SetTicked(11, true);
    EXPECT_EQ(model.CountLine(), "11 selected · 1 more than the places left");
    EXPECT_FALSE(model.CanAccept());
    EXPECT_EQ(model.Chosen().back()[ContactField::name], "Contact 12");
}

TEST(ImportModelTest, NamesInTheBookTakeNoRoomUnlessAddedAsWell) {
    const CCodePage codePage("GBK");
    CImportModel model(codePage, 199, FileOf(3, 1));
    EXPECT_EQ(model.TickedCount(), 3);
    EXPECT_EQ(model.PlacesLeft(), 0);
    ASSERT_EQ(CImportModel::Choices().size(), 3u);
    const RepeatedNames expected[] = {RepeatedNames::merge, RepeatedNames::skip,
                                      RepeatedNames::addAsWell};
    const int left[] = {0, 0, -2};
    for (int choice = 0; choice < 3; ++choice) {
        model.SetChoice(choice);
        EXPECT_EQ(model.Repeated(), expected[choice]);
        EXPECT_EQ(model.PlacesLeft(), left[choice]);
    }
    EXPECT_EQ(model.Note(1, " "), "This name is already in the phone book.");
}

TEST(ImportModelTest, SearchIgnoresCaseAndTheButtonsActOnTheRowsShown) {
    const CCodePage codePage("UTF-8");
    ImportFile file;
    for (const char* name : {"ANN", "Ánna", "Bob", "张三"})
        file.rows.push_back(Row(name));
    CImportModel model(codePage, 0, std::move(file));
    struct Case {
        const char* search;
        std::vector<int> shown;
    };
    for (const Case& row : {Case{"nN", {0, 1}}, Case{" á ", {1}}, Case{"张", {3}},
                            Case{"", {0, 1, 2, 3}}, Case{"x", {}}}) {
        model.SetSearch(row.search);
        EXPECT_EQ(model.ShownRows(), row.shown) << row.search;
    }
    model.SetSearch("nn");
    model.TickShown(false);
    EXPECT_EQ(model.TickedCount(), 2);
    EXPECT_FALSE(model.IsTicked(0));
    EXPECT_TRUE(model.IsTicked(2));
}

// Fault: a failed re-read left the character-set box on the set that failed.
TEST(ImportModelTest, AFailedReReadKeepsTheSetTheRowsWereReadIn) {
    const CCodePage codePage("GBK");
    std::vector<std::string> asked;
    CImportModel model(codePage, 0, FileOf(2), [&](const std::string& encoding, std::size_t) {
        asked.push_back(encoding);
        if (encoding == "UTF-8")
            return CResult<ImportFile>(CStatus(StatusKind::encoding, "x.vcf"));
        return CResult<ImportFile>(FileOf(5));
    });
    ASSERT_EQ(model.Encodings().front(), "GB18030");
    EXPECT_EQ(model.Encodings()[1], "UTF-8");
    EXPECT_EQ(model.Encodings().size(), 11u); // the guess is not offered twice
    EXPECT_FALSE(model.ChooseEncoding(1));
    EXPECT_EQ(model.EncodingIndex(), 0);
    EXPECT_EQ(model.RowCount(), 2);
    EXPECT_TRUE(model.ChooseEncoding(3));
    EXPECT_EQ(model.EncodingIndex(), 3);
    EXPECT_EQ(model.RowCount(), 5);
    EXPECT_EQ(asked, (std::vector<std::string>{"UTF-8", "BIG5"}));
    // A cancelled read is no failure to show, and changes nothing either.
    CImportModel cancelled(codePage, 0, FileOf(2), [](const std::string&, std::size_t) {
        return CResult<ImportFile>(CStatus(StatusKind::cancelled));
    });
    EXPECT_TRUE(cancelled.ChooseEncoding(1));
    EXPECT_EQ(cancelled.EncodingIndex(), 0);
    // A file that named its set offers none.
    EXPECT_TRUE(CImportModel(codePage, 0, FileOf(1)).Encodings().empty());
}

struct InputCase {
    const char* codePage;
    ContactField field;
    const char* before;
    const char* after;
    InputVerdict verdict;
    const char* text; // amend: what the field then holds
    const char* why;
};

// Fault: a pasted "+86 138 0013 8000" was cut into "+86 138 0013 800", another number.
TEST(FieldInputTest, APastedNumberIsNeverCutIntoAnotherNumber) {
    const InputCase cases[] = {
        {"GBK", ContactField::mobile, "", "+86 138 0013 8000", InputVerdict::amend,
         "+8613800138000", ""},
        {"GBK", ContactField::fax, "", "010-1234-5678-9999-00", InputVerdict::refuse, "",
         "FAX: 010-1234-5678-9999-00 does not fit in 16 bytes, so nothing was pasted"},
        {"GBK", ContactField::qq, "", "１２３４５", InputVerdict::amend, "12345", ""},
        {"CP1252", ContactField::qq, "", "１２３４５", InputVerdict::amend, "12345", ""},
        {"GBK", ContactField::telephone, "", "(010) 1234 5678", InputVerdict::accept, "", ""},
        {"GBK", ContactField::mobile, "138", "138 0013 8000 1", InputVerdict::accept, "", ""},
        // Typing is unchanged: the 17th byte is refused.
        {"GBK", ContactField::mobile, "1234567890123456", "12345678901234567", InputVerdict::refuse,
         "", "Mobile: at most 16 digits"},
    };
    for (const InputCase& c : cases) {
        const FieldInput got =
            CheckFieldInput(c.field, MaxLength(c.field), c.before, c.after, CCodePage(c.codePage));
        EXPECT_EQ(got.verdict, c.verdict) << c.after;
        if (c.verdict == InputVerdict::amend) {
            EXPECT_EQ(got.text, c.text) << c.after;
        }
        EXPECT_EQ(got.why, c.why) << c.after;
    }
}

TEST(FieldInputTest, WhatTypingAndPastingMayPutIntoAField) {
    const InputCase cases[] = {
        {"GBK", ContactField::name, "", "ABCDEFGHIJKLMNOPQR", InputVerdict::amend,
         "ABCDEFGHIJKLMNOP", "Name: at most 16 bytes — 8 Chinese characters or 16 letters"},
        {"GBK", ContactField::name, "", "张三李四王五赵六七", InputVerdict::amend,
         "张三李四王五赵六", "Name: at most 16 bytes — 8 Chinese characters or 16 letters"},
        {"GBK", ContactField::name, "AB",
         "A\tB\x7F"
         "B",
         InputVerdict::amend, "ABB", "Name: no control characters"},
        {"GBK", ContactField::name, "", "\t", InputVerdict::refuse, "",
         "Name: no control characters"},
        {"GBK", ContactField::name, "A", "A😀", InputVerdict::refuse, "",
         "GBK has no character for 😀"},
        {"GBK", ContactField::email, "a@b", "a@", InputVerdict::accept, "", ""},
        {"ISO-8859-1", ContactField::name, "", "Zoë", InputVerdict::accept, "", ""},
        // Unreadable bytes shown as replacement marks become '?' when keeping them overflows.
        {"UTF-8", ContactField::name,
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF"
         "\xBD\xEF\xBF\xBD",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDx",
         InputVerdict::amend, "??????x",
         "Name: at most 16 bytes — 5 Chinese characters or 16 letters"},
    };
    for (const InputCase& c : cases) {
        const FieldInput got =
            CheckFieldInput(c.field, MaxLength(c.field), c.before, c.after, CCodePage(c.codePage));
        EXPECT_EQ(got.verdict, c.verdict) << c.after;
        if (c.verdict == InputVerdict::amend) {
            EXPECT_EQ(got.text, c.text) << c.after;
        }
        EXPECT_EQ(got.why, c.why) << c.after;
    }
}

// The save's message we added is shown through the catalogue; the written ones stand as they are.
TEST(TextsTest, OnlyTheMessagesWeAddedAreTranslated) {
    EXPECT_EQ(TrAddedMessage(messages::kWrittenNotFlushed),
              "The file was written but may not be on the disk yet. Save again, or eject the "
              "player safely before unplugging it.");
    EXPECT_FALSE(TrAddedMessage(messages::kSaveFailed));
}

// The limits of the GBK name and the UTF-8 one are rows of WhatTypingAndPastingMayPutIntoAField.
TEST(FieldInputTest, ALimitIsSaidInTheUsersTerms) {
    const struct {
        const char* codePage;
        ContactField field;
        const char* said;
    } rows[] = {
        {"BIG5", ContactField::name, "Name: at most 16 bytes — 8 Chinese characters or 16 letters"},
        {"ISO-8859-1", ContactField::name, "Name: at most 16 letters"},
        {"CP1252", ContactField::email, "E_mail: at most 32 letters"},
        {"UTF-8", ContactField::qq, "QQ: at most 16 digits"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FieldLimitText(row.field, MaxLength(row.field), CCodePage(row.codePage)),
                  row.said)
            << row.codePage;
    }
}

TEST(FieldInputTest, BytesTheCodePageCannotReadComeBackUntilEdited) {
    const CCodePage codePage("GBK");
    CFieldBytes field;
    const std::string shown = field.Show("\xFF"
                                         "A",
                                         codePage);
    EXPECT_EQ(shown, "\xEF\xBF\xBD"
                     "A");
    EXPECT_EQ(field.Bytes(shown, codePage), "\xFF"
                                            "A");
    EXPECT_EQ(field.Bytes(shown + "B", codePage), "?AB");
}

// The player's code page, as the windows take it from their command line and environment.
TEST(CommandLineTest, EncodingOptionAndThePlayersCodePage) {
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        LocaleEnvironment environment;
        std::string codePage;
    };
    const Case cases[] = {
        {"Chinese desktop", {}, {"", "", "zh_CN.UTF-8"}, "GBK"},
        {"Singapore", {}, {"", "", "zh_SG"}, "GBK"},
        {"Taiwan", {}, {"", "", "zh_TW.UTF-8"}, "CP950"},
        {"Hong Kong", {}, {"", "", "zh_HK.UTF-8"}, "CP950"},
        {"Macau", {}, {"", "", "zh_MO"}, "CP950"},
        {"Japanese", {}, {"", "", "ja_JP.UTF-8"}, "CP932"},
        {"Korean", {}, {"", "", "ko_KR.UTF-8"}, "CP949"},
        {"Russian", {}, {"", "", "ru_RU.UTF-8"}, "CP1251"},
        {"Ukrainian", {}, {"", "", "uk_UA.UTF-8"}, "CP1251"},
        {"Belarusian", {}, {"", "", "be_BY.UTF-8"}, "CP1251"},
        {"Bulgarian", {}, {"", "", "bg_BG.UTF-8"}, "CP1251"},
        {"Macedonian", {}, {"", "", "mk_MK.UTF-8"}, "CP1251"},
        {"Serbian with a modifier", {}, {"", "", "sr_RS.UTF-8@latin"}, "CP1251"},
        {"Czech", {}, {"", "", "cs_CZ.UTF-8"}, "CP1250"},
        {"Polish", {}, {"", "", "pl_PL.UTF-8"}, "CP1250"},
        {"Hungarian", {}, {"", "", "hu_HU.UTF-8"}, "CP1250"},
        {"Slovak", {}, {"", "", "sk_SK.UTF-8"}, "CP1250"},
        {"Slovenian", {}, {"", "", "sl_SI.UTF-8"}, "CP1250"},
        {"Croatian", {}, {"", "", "hr_HR.UTF-8"}, "CP1250"},
        {"Romanian", {}, {"", "", "ro_RO.UTF-8"}, "CP1250"},
        {"Albanian", {}, {"", "", "sq_AL.UTF-8"}, "CP1250"},
        {"Bosnian", {}, {"", "", "bs_BA.UTF-8"}, "CP1250"},
        {"Greek", {}, {"", "", "el_GR.UTF-8"}, "CP1253"},
        {"Turkish", {}, {"", "", "tr_TR.UTF-8"}, "CP1254"},
        {"Azerbaijani", {}, {"", "", "az_AZ.UTF-8"}, "CP1254"},
        {"Hebrew", {}, {"", "", "he_IL.UTF-8"}, "CP1255"},
        {"Arabic", {}, {"", "", "ar_EG.UTF-8"}, "CP1256"},
        {"Persian", {}, {"", "", "fa_IR.UTF-8"}, "CP1256"},
        {"Urdu", {}, {"", "", "ur_PK.UTF-8"}, "CP1256"},
        {"Estonian", {}, {"", "", "et_EE.UTF-8"}, "CP1257"},
        {"Latvian", {}, {"", "", "lv_LV.UTF-8"}, "CP1257"},
        {"Lithuanian", {}, {"", "", "lt_LT.UTF-8"}, "CP1257"},
        {"Vietnamese", {}, {"", "", "vi_VN.UTF-8"}, "CP1258"},
        {"Thai", {}, {"", "", "th_TH.UTF-8"}, "CP874"},
        {"English", {}, {"", "", "en_US.UTF-8"}, "CP1252"},
        {"German with a modifier", {}, {"", "", "de_DE.UTF-8@euro"}, "CP1252"},
        {"C", {}, {"", "", "C"}, "CP1252"},
        {"POSIX", {}, {"", "", "POSIX"}, "CP1252"},
        {"C.UTF-8", {}, {"", "", "C.UTF-8"}, "CP1252"},
        {"empty environment", {}, {"", "", ""}, "CP1252"},
        {"plain ASCII", {}, {"", "", "en_US.ANSI_X3.4-1968"}, "CP1252"},
        {"GBK locale", {}, {"", "", "zh_CN.GBK"}, "GBK"},
        {"Big5 locale", {}, {"", "", "zh_TW.Big5"}, "Big5"},
        {"CP1251 locale", {}, {"", "", "ru_RU.CP1251"}, "CP1251"},
        {"Latin-9 locale with a modifier", {}, {"", "", "de_DE.ISO-8859-15@euro"}, "ISO-8859-15"},
        {"unknown character set", {}, {"", "", "zh_CN.NO-SUCH-SET"}, "GBK"},
        {"LC_ALL over LANG", {}, {"ja_JP.UTF-8", "", "zh_CN.UTF-8"}, "CP932"},
        {"LC_ALL over LC_CTYPE", {}, {"zh_CN.UTF-8", "ru_RU.UTF-8", ""}, "GBK"},
        {"LC_CTYPE over LANG", {}, {"", "ru_RU.UTF-8", "zh_CN.UTF-8"}, "CP1251"},
        {"--encoding over the locale", {"--encoding", "CP1251"}, {"", "", "zh_CN.UTF-8"}, "CP1251"},
        {"--encoding=NAME", {"--encoding=UTF-8"}, {"zh_CN.GBK", "", ""}, "UTF-8"},
        {"a file", {"Tel_Expt.tel"}, {"", "", "zh_CN.UTF-8"}, "GBK"},
        {"--encoding without a name", {"--encoding"}, {"", "", "zh_CN.UTF-8"}, ""},
    };
    for (const Case& c : cases) {
        const CCodePage taken =
            PlayerCodePage(ParseCommandLine(c.arguments).encoding, c.environment);
        EXPECT_EQ(taken.Name(), c.codePage) << c.what;
    }
}

// The file the windows open at start, and the arguments they refuse (the window then stays shut).
TEST(CommandLineTest, FileAndRefusedArguments) {
    constexpr std::string_view kUsage = " Usage: Orvalen [--encoding NAME] [FILE]";
    struct Case {
        std::vector<std::string> arguments;
        std::optional<std::string> encoding;
        std::optional<std::string> file; // UTF-8
        std::string error;
    };
    const Case cases[] = {
        {{}, std::nullopt, std::nullopt, ""},
        {{"Tel_Expt.tel"}, std::nullopt, "Tel_Expt.tel", ""},
        {{"--encoding", "GBK", "/media/p/Tel_Expt.tel"}, "GBK", "/media/p/Tel_Expt.tel", ""},
        {{"contacts.vcf", "--encoding=CP950"}, "CP950", "contacts.vcf", ""},
        {{"通讯录 旧.csv"}, std::nullopt, "通讯录 旧.csv", ""},
        {{"-"}, std::nullopt, "-", ""},
        {{"--", "--encoding=GBK"}, std::nullopt, "--encoding=GBK", ""},
        {{"-style", "fusion"}, {}, {}, "Unknown option \"-style\"."},
        {{"--encodings=GBK"}, {}, {}, "Unknown option \"--encodings=GBK\"."},
        {{"a.tel", "--help"}, {}, {}, "Unknown option \"--help\"."},
        {{"a.tel", "b.vcf"},
         {},
         {},
         "Orvalen opens one file at a time, but \"b.vcf\" was given after \"a.tel\"."},
        {{"a.tel", "--", "-b.tel"},
         {},
         {},
         "Orvalen opens one file at a time, but \"-b.tel\" was given after \"a.tel\"."},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        const std::string what = c.arguments.empty() ? "(none)" : c.arguments.front();
        EXPECT_EQ(line.error, c.error.empty() ? c.error : c.error + std::string(kUsage)) << what;
        if (!c.error.empty())
            continue;
        EXPECT_EQ(line.encoding, c.encoding) << what;
        EXPECT_EQ(line.file ? std::optional(PathToUtf8(*line.file)) : std::nullopt, c.file) << what;
    }
}

TEST(TextsTest, PlaceholdersAreFilledOnceEach) {
    EXPECT_EQ(FormatText("%2 then %1, %3", {"a", "%1"}), "%1 then a, %3");
    EXPECT_EQ(Tr(texts::kUnknownEncoding, {"X"}),
              "Unknown code page \"X\" given with --encoding; try --encoding GBK.");
    // A count goes in at every %n; a value's own %n stays as it is.
    EXPECT_EQ(Tr(texts::kNoteNameCutChinese, 16, {"5%n", "8"}),
              "Name cut to \"5%n\": the player holds at most 16 bytes — 8 Chinese characters or 16 "
              "letters");
}

} // namespace
