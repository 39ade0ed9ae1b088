#include "DeviceBookFile.h"
#include "EditorFixture.h"
#include "Messages.h"
#include "PlayerDrive.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace orvalen;
using orvalen::testing::CTempFolder;
using orvalen::testing::EditorFixture;
using orvalen::testing::MakeForm;
using orvalen::testing::ReadBytes;
using orvalen::testing::WriteBytes;

namespace {

constexpr std::size_t kWholeFile = 26112;

std::string Field(std::string_view text, std::size_t width) {
    std::string field(text);
    field.resize(width, '\0');
    return field;
}

// One 128-byte record laid out by hand: 16, 16, 32, 32, 16, 16 bytes.
std::string Record(std::string_view name, std::string_view mobile = "",
                   std::string_view telephone = "", std::string_view email = "",
                   std::string_view qq = "", std::string_view fax = "") {
    return Field(name, 16) + Field(mobile, 16) + Field(telephone, 32) + Field(email, 32) +
           Field(qq, 16) + Field(fax, 16);
}

std::string Header(unsigned char count) {
    std::string header(512, '\0');
    header[0] = '\x55';
    header[1] = '\xAA';
    header[2] = 'h';
    header[3] = 'h';
    header[4] = static_cast<char>(count);
    return header;
}

// A whole file as the writer must produce it: header, the records, zero records up to 200.
std::string TelFile(const std::vector<std::string>& records) {
    std::string file = Header(static_cast<unsigned char>(records.size()));
    for (const auto& record : records)
        file += record;
    file.resize(kWholeFile, '\0');
    return file;
}

class DeviceBookFileTest : public EditorFixture {
protected:
    CTempFolder folder;

    void SaveAs(const std::filesystem::path& path) {
        view.chosenFiles.push_back(path);
        CDeviceBookFile::Save(editor);
    }

    void LoadFrom(const std::filesystem::path& path) {
        view.chosenFiles.push_back(path);
        CDeviceBookFile::Load(editor);
    }

    // Adds Carl, alice and Bob and selects alice: the state a refused load must keep.
    void AddKnownBook() {
        Add(MakeForm("Carl", "1"));
        Add(MakeForm("alice", "2"));
        Add(MakeForm("Bob", "3"));
        list.SetCurSel(0);
        editor.ShowSelected();
        view.messages.clear();
    }

    void ExpectKnownBookUntouched() {
        EXPECT_EQ(Entries(), (std::vector<std::string>{"alice", "Bob", "Carl"}));
        EXPECT_EQ(editor.Table().Count(), 3);
        EXPECT_EQ(editor.Table().Text(0, ContactField::name), "Carl");
        EXPECT_EQ(list.GetCurSel(), 0);
        EXPECT_EQ(view.shown, MakeForm("alice", "2"));
        EXPECT_EQ(view.shownCount, 3);
    }
};

} // namespace

TEST_F(DeviceBookFileTest, SaveOfAnEmptyBookWarnsBeforeAskingForAFile) {
    CDeviceBookFile::Save(editor);
    ExpectOnlyMessage(messages::kAddFirst, MessageIcon::warning);
    EXPECT_TRUE(view.choosers.empty());
}

TEST_F(DeviceBookFileTest, SaveAsksForATelFileAndACancelWritesNothing) {
    Add(MakeForm("Li"));
    CDeviceBookFile::Save(editor);
    ASSERT_EQ(view.choosers.size(), 1u);
    EXPECT_EQ(view.choosers[0].mode, FileMode::save);
    EXPECT_EQ(view.choosers[0].defaultName, "Tel_Save.tel");
    EXPECT_EQ(view.choosers[0].filter, "ZUM orvalen file(*.tel)|*.tel|");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(folder.Names().empty());
}

#if !defined(_WIN32)
// Save and Load open in the player's root, probed as the chooser opens (a player plugged in
// meanwhile is found): of two, the one that holds Tel_Expt.tel. Without one, as before.
TEST_F(DeviceBookFileTest, SaveAndLoadOpenInThePlayersRoot) {
    const std::filesystem::path root = folder.Path();
    std::filesystem::create_directories(root / "media" / "a");
    std::filesystem::create_directories(root / "media" / "b");
    WriteBytes(root / "media" / "a" / "Tel_Save.tel", "x");
    WriteBytes(root / "media" / "b" / "Tel_Expt.tel", "x");
    WriteBytes(folder / "mounts", "");
    const PlayerProbe previous = SetPlayerProbe(
        {folder / "mounts", folder / "sys", folder / "udev", folder / "labels", root});
    Add(MakeForm("Li"));
    CDeviceBookFile::Save(editor);
    WriteBytes(folder / "mounts",
               "/dev/sdx1 /media/a vfat rw 0 0\n/dev/sdy1 /media/b exfat rw 0 0\n");
    CDeviceBookFile::Save(editor);
    CDeviceBookFile::Load(editor);
    SetPlayerProbe(previous);
    ASSERT_EQ(view.choosers.size(), 3u);
    EXPECT_EQ(view.choosers[0].folder, std::filesystem::path());
    EXPECT_EQ(view.choosers[1].folder, root / "media" / "b");
    EXPECT_EQ(view.choosers[1].defaultName, "Tel_Save.tel");
    EXPECT_EQ(view.choosers[2].folder, root / "media" / "b");
    EXPECT_EQ(view.choosers[2].defaultName, "Tel_Expt.tel");
}
#endif

TEST_F(DeviceBookFileTest, OneContactGivesTheWholeFile) {
    Add(MakeForm("Li", "13800138000", "0755-8888", "li@example.com", "10001", "0755-9999"));
    SaveAs(folder / "Tel_Save.tel");
    EXPECT_TRUE(view.messages.empty());
    const std::string expected =
        TelFile({Record("Li", "13800138000", "0755-8888", "li@example.com", "10001", "0755-9999")});
    ASSERT_EQ(expected.size(), kWholeFile);
    EXPECT_EQ(ReadBytes(folder / "Tel_Save.tel"), expected);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Tel_Save.tel"}));
}

TEST_F(DeviceBookFileTest, RecordsAreWrittenInListOrder) {
    Add(MakeForm("Carl", "3"));
    Add(MakeForm("alice", "1"));
    Add(MakeForm("Bob", "2"));
    SaveAs(folder / "book.tel");
    EXPECT_EQ(ReadBytes(folder / "book.tel"),
              TelFile({Record("alice", "1"), Record("Bob", "2"), Record("Carl", "3")}));
}

TEST_F(DeviceBookFileTest, DeletedAndReplacedTextsLeaveNoTrace) {
    // A 16-byte name has no terminator; a deleted contact's slot and the end of a longer text
    // are zero where a new text goes.
    Add(MakeForm("ABCDEFGHIJKLMNOP", "12345678901234567"));
    Add(MakeForm("Alexander", "13800138000", "", "alex@example.cn"));
    list.SetCurSel(1);
    editor.Delete();
    Add(MakeForm("Bo"));
    SaveAs(folder / "book.tel");
    EXPECT_EQ(ReadBytes(folder / "book.tel"),
              TelFile({Record("ABCDEFGHIJKLMNOP", "1234567890123456"), Record("Bo")}));
}

TEST_F(DeviceBookFileTest, ADeletionShiftsLoadedRecordsWithTheirBytes) {
    // 王芳 is deleted and 李四's telephone shortened: neither leaves a byte in the saved file,
    // while Zoe, loaded with bytes after her terminators and not edited, keeps them.
    std::string zoe = Record("Zoe", "555");
    zoe.replace(0, 16, std::string("Zoe\0nna\0\0\0\0\0\0\0\0\0", 16));
    zoe.replace(16, 16, std::string("555\0\x01\x02\x03\0\0\0\0\0\0\0\0\xff", 16));
    const std::string wangFang = "\xCD\xF5\xB7\xBC";
    const std::string liSi = "\xC0\xEE\xCB\xC4";
    WriteBytes(folder / "in.tel",
               TelFile({Record(wangFang, "13912345678", "0755-88886666", "wf@example.cn"),
                        Record(liSi, "", "0755-12345678"), zoe}));
    LoadFrom(folder / "in.tel");
    ASSERT_EQ(list.GetCount(), 3);
    ASSERT_GE(list.SelectString(-1, wangFang), 0);
    editor.Delete();
    Add(MakeForm(liSi, "", "110")); // "Name repeat! Do you change it ?", OK
    view.messages.clear();
    SaveAs(folder / "out.tel");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(ReadBytes(folder / "out.tel"), TelFile({zoe, Record(liSi, "", "110")}));
}

TEST_F(DeviceBookFileTest, TextTypedButNotAddedIsNotSaved) {
    Add(MakeForm("Li", "1"));
    view.Type(MakeForm("Wang", "2"));
    SaveAs(folder / "book.tel");
    EXPECT_EQ(ReadBytes(folder / "book.tel"), TelFile({Record("Li", "1")}));
}

TEST_F(DeviceBookFileTest, TwoHundredContactsFillEveryRecordPlace) {
    std::vector<std::string> records;
    for (int i = 0; i < kMaxContacts; ++i) {
        const std::string name = "n" + std::to_string(100 + i);
        Add(MakeForm(name, std::to_string(i)));
        records.push_back(Record(name, std::to_string(i)));
    }
    SaveAs(folder / "full.tel");
    const std::string bytes = ReadBytes(folder / "full.tel");
    EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 200);
    EXPECT_EQ(bytes, TelFile(records));
}

TEST_F(DeviceBookFileTest, SaveReplacesAnExistingFileWhole) {
    WriteBytes(folder / "book.tel", std::string(30000, 'x'));
    Add(MakeForm("Li"));
    SaveAs(folder / "book.tel");
    EXPECT_EQ(ReadBytes(folder / "book.tel"), TelFile({Record("Li")}));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"book.tel"}));
}

TEST_F(DeviceBookFileTest, SaveUsesALongPathWhole) {
    std::filesystem::path deep = folder.Path();
    for (int i = 0; i < 6; ++i)
        deep /= std::string(60, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    const auto target = deep / "Tel_Save.tel";
    ASSERT_GT(target.string().size(), 300u);
    Add(MakeForm("Li"));
    SaveAs(target);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(ReadBytes(target), TelFile({Record("Li")}));
}

TEST_F(DeviceBookFileTest, SaveIntoAMissingFolderFailsWithTheErrorMessage) {
    Add(MakeForm("Li"));
    SaveAs(folder / "missing" / "book.tel");
    ExpectOnlyMessage(messages::kSaveFailed, MessageIcon::error);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(DeviceBookFileTest, SaveOntoAFolderLeavesTheFolder) {
    std::filesystem::create_directory(folder / "book.tel");
    WriteBytes(folder / "book.tel" / "inside", "keep");
    Add(MakeForm("Li"));
    SaveAs(folder / "book.tel");
    ExpectOnlyMessage(messages::kSaveFailed, MessageIcon::error);
    EXPECT_EQ(ReadBytes(folder / "book.tel" / "inside"), "keep");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"book.tel"}));
}

TEST_F(DeviceBookFileTest, AListedNameMissingFromTheTableLeavesTheOldFile) {
    WriteBytes(folder / "book.tel", "old contents");
    Add(MakeForm("Li"));
    list.AddString("ghost");
    SaveAs(folder / "book.tel");
    ExpectOnlyMessage(messages::kSaveFailed, MessageIcon::error);
    EXPECT_EQ(view.details[0],
              "The name list and the phone book disagree: " + (folder / "book.tel").string());
    EXPECT_EQ(ReadBytes(folder / "book.tel"), "old contents");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"book.tel"}));
}

#if !defined(_WIN32)
TEST_F(DeviceBookFileTest, AWriteFailingMidwayLeavesTheOldFileAndReportsIt) {
    const std::string old = TelFile({Record("Old", "1")});
    WriteBytes(folder / "book.tel", old);
    Add(MakeForm("Li"));

    // The disk "fills up" after 4096 bytes: only in a child, so the test runner keeps its limit.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        SaveAs(folder / "book.tel");
        const bool reported = view.messages.size() == 1 &&
                              view.messages[0].text == messages::kSaveFailed &&
                              view.messages[0].icon == MessageIcon::error;
        _exit(reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was not reported";
    EXPECT_EQ(ReadBytes(folder / "book.tel"), old);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"book.tel"}));
}
#endif

TEST_F(DeviceBookFileTest, LoadAsksForTheExportAndACancelChangesNothing) {
    AddKnownBook();
    CDeviceBookFile::Load(editor);
    ASSERT_EQ(view.choosers.size(), 1u);
    EXPECT_EQ(view.choosers[0].mode, FileMode::open);
    EXPECT_EQ(view.choosers[0].defaultName, "Tel_Expt.tel");
    EXPECT_EQ(view.choosers[0].filter, "ZUM orvalen file(*.tel)|*.tel|");
    EXPECT_TRUE(view.messages.empty());
    ExpectKnownBookUntouched();
}

TEST_F(DeviceBookFileTest, LoadOfAMissingFileOrAFolderFailsAndKeepsTheBook) {
    AddKnownBook();
    LoadFrom(folder / "Tel_Expt.tel");
    ExpectOnlyMessage(messages::kFileGetFail, MessageIcon::error);
    EXPECT_EQ(view.details[0], "No such file or directory: " + (folder / "Tel_Expt.tel").string());
    ExpectKnownBookUntouched();

    view.messages.clear();
    LoadFrom(folder.Path());
    ExpectOnlyMessage(messages::kFileGetFail, MessageIcon::error);
    ExpectKnownBookUntouched();
}

#if !defined(_WIN32) // POSIX pipes and devices
// A pipe that no one writes to, or a device, is refused at once: nothing waits for data.
TEST_F(DeviceBookFileTest, LoadRefusesAPipeOrADeviceWithoutWaiting) {
    AddKnownBook();
    ASSERT_EQ(::mkfifo((folder / "pipe.tel").c_str(), 0600), 0);
    ::alarm(10); // a load that waited would end the test program here
    for (const std::filesystem::path& path :
         {folder / "pipe.tel", std::filesystem::path("/dev/zero")}) {
        SCOPED_TRACE(path.string());
        view.messages.clear();
        view.details.clear();
        LoadFrom(path);
        ExpectOnlyMessage(messages::kNotTelFile, MessageIcon::error);
        EXPECT_EQ(view.details[0], "Not a regular file: " + path.string());
        ExpectKnownBookUntouched();
    }
    ::alarm(0);
}
#endif

TEST_F(DeviceBookFileTest, LoadRefusesWrongSignaturesAndSizes) {
    const std::string good = Header(1) + Record("New");
    std::vector<std::pair<std::string, std::string>> refused;
    for (int i = 0; i < 4; ++i) {
        std::string bad = good;
        bad[static_cast<std::size_t>(i)] ^= 0x01;
        refused.emplace_back("signature byte " + std::to_string(i), bad);
    }
    refused.emplace_back("700 bytes", good + std::string(60, '\0'));
    refused.emplace_back("512 bytes", Header(0));
    refused.emplace_back("26240 bytes", TelFile({Record("New")}) + std::string(128, '\0'));
    refused.emplace_back("empty", "");
    refused.emplace_back("3 bytes", "\x55\xAA\x68");

    AddKnownBook();
    for (const auto& [what, bytes] : refused) {
        SCOPED_TRACE(what);
        WriteBytes(folder / "bad.tel", bytes);
        view.messages.clear();
        LoadFrom(folder / "bad.tel");
        ExpectOnlyMessage(messages::kNotTelFile, MessageIcon::error);
        ExpectKnownBookUntouched();
    }
}

TEST_F(DeviceBookFileTest, LoadReadsTheSmallerOfTheCountAndTheRecordPlaces) {
    struct Case {
        unsigned char countByte;
        int places;
        int expected;
    };
    for (const Case& c : {Case{1, 1, 1}, Case{3, 10, 3}, Case{150, 200, 150}, Case{250, 4, 4},
                          Case{255, 200, 200}}) {
        SCOPED_TRACE(std::to_string(c.countByte) + " in " + std::to_string(c.places));
        std::string bytes = Header(c.countByte);
        for (int r = 0; r < c.places; ++r)
            bytes += Record("r" + std::to_string(1000 + r), std::to_string(r));
        WriteBytes(folder / "in.tel", bytes);
        LoadFrom(folder / "in.tel");
        EXPECT_TRUE(view.messages.empty());
        ASSERT_EQ(list.GetCount(), c.expected);
        EXPECT_EQ(editor.Table().Count(), c.expected);
        EXPECT_EQ(list.GetText(c.expected - 1), "r" + std::to_string(1000 + c.expected - 1));
    }
}

TEST_F(DeviceBookFileTest, LoadShowsTheLastNameInSortedOrder) {
    WriteBytes(folder / "in.tel", Header(3) + Record("zoe", "1") + Record("Adam", "2") +
                                      Record("Zed", "3", "", "z@x"));
    AddKnownBook();
    LoadFrom(folder / "in.tel");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Adam", "Zed", "zoe"}));
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(view.shown, MakeForm("zoe", "1"));
    EXPECT_EQ(view.shownCount, 3);
}

TEST_F(DeviceBookFileTest, LoadOfACountOfZeroEmptiesTheBookSilently) {
    WriteBytes(folder / "in.tel", TelFile({}));
    AddKnownBook();
    LoadFrom(folder / "in.tel");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(editor.Table().Count(), 0);
    EXPECT_EQ(view.shown, ContactForm{});
    EXPECT_EQ(view.shownCount, 0);
}

TEST_F(DeviceBookFileTest, LoadThenSaveKeepsEveryByteOfASortedFile) {
    // Empty names, repeated names with their own details, leftovers after terminators,
    // fields that fill their places: all survive a load and a save byte for byte.
    std::string leftover = Record("Bo", "555");
    leftover.replace(0, 16, std::string("Bo\0xander\0\0\0\0\0\0\0", 16));
    leftover.replace(16, 16, std::string("555\0\x01\x02\x03\0\0\0\0\0\0\0\0\xff", 16));
    const std::string original = TelFile({
        Record("", "no name"),
        Record("ABCDEFGHIJKLMNOP", "1234567890123456", std::string(32, 't'), std::string(32, 'e'),
               std::string(16, 'q'), std::string(16, 'f')),
        leftover,
        Record("Mom", "first"),
        Record("mom", "lower"),
        Record("Mom", "second"),
        Record("\xD5\xC5\xC8\xFD", "gbk"),
    });
    WriteBytes(folder / "in.tel", original);
    LoadFrom(folder / "in.tel");
    ASSERT_EQ(list.GetCount(), 7);
    SaveAs(folder / "out.tel");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(ReadBytes(folder / "out.tel"), original);
}

TEST_F(DeviceBookFileTest, SaveAfterLoadWritesSortedOrder) {
    WriteBytes(folder / "in.tel",
               Header(3) + Record("Carl", "3") + Record("alice", "1") + Record("Bob", "2"));
    LoadFrom(folder / "in.tel");
    SaveAs(folder / "out.tel");
    EXPECT_EQ(ReadBytes(folder / "out.tel"),
              TelFile({Record("alice", "1"), Record("Bob", "2"), Record("Carl", "3")}));
}

TEST_F(DeviceBookFileTest, ReadImageReportsWhatALoadWouldRead) {
    WriteBytes(folder / "in.tel", Header(7) + Record("a") + Record("b"));
    const CResult<TelFileImage> image = CDeviceBookFile::ReadImage(folder / "in.tel");
    ASSERT_TRUE(image.IsOk());
    EXPECT_EQ(image->size, 768u);
    EXPECT_EQ(image->recordPlaces, 2);
    EXPECT_EQ(image->recordsToRead, 2);
}

TEST_F(DeviceBookFileTest, LoadOfAFileTooLargeNamesItsWholeSize) {
    std::string big = TelFile({Record("a")});
    big += std::string(1000, '\0');
    WriteBytes(folder / "big.tel", big);
    LoadFrom(folder / "big.tel");
    ExpectOnlyMessage(messages::kNotTelFile, MessageIcon::error);
    EXPECT_EQ(view.details[0],
              "Not a phone-book file (size 27112 bytes): " + (folder / "big.tel").string());
}
