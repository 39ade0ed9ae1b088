#include "OrvalenTel.h"

#include "BookEditor.h"
#include "CodePage.h"
#include "DeviceBookFile.h"
#include "HeadlessView.h"
#include "NameCollation.h"
#include "NameList.h"
#include "PlayerDrive.h"
#include "SafeFile.h"
#include "TextReport.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <tuple>
#include <vector>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace orvalen {
namespace {

namespace fs = std::filesystem;
using Record = std::array<std::string, kFieldCount>;

constexpr std::size_t kOffsets[kFieldCount] = {0, 16, 32, 64, 96, 112};

// A .tel file made byte by byte: the header, then the records, then zero records up to
// places record places.
std::string MakeTel(const std::vector<Record>& records, int countByte = -1, int places = 200) {
    std::string bytes(512 + 128 * static_cast<std::size_t>(places), '\0');
    bytes[0] = '\x55';
    bytes[1] = '\xAA';
    bytes[2] = '\x68';
    bytes[3] = '\x68';
    bytes[4] = static_cast<char>(countByte < 0 ? static_cast<int>(records.size()) : countByte);
    for (std::size_t r = 0; r < records.size(); ++r) {
        for (std::size_t f = 0; f < kFieldCount; ++f)
            bytes.replace(512 + 128 * r + kOffsets[f], records[r][f].size(), records[r][f]);
    }
    return bytes;
}

std::string RecordAt(const std::string& tel, std::size_t r) {
    return tel.substr(512 + 128 * r, 128);
}

// One record's 128 bytes as the player holds them: each text, then zero bytes.
std::string RecordBytes(const Record& record) {
    return RecordAt(MakeTel({record}), 0);
}

const std::string kZhangSanGbk = "\xD5\xC5\xC8\xFD";
const std::string kLiSiGbk = "\xC0\xEE\xCB\xC4";

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

class OrvalenTelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_folder = fs::temp_directory_path() / ("orvalen-tel-test-" + std::to_string(random()));
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    std::string Path(const std::string& name) const { return (m_folder / name).string(); }

    void Write(const std::string& name, std::string_view bytes) const {
        std::ofstream file(m_folder / name, std::ios::binary);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::string Read(const std::string& name) const {
        std::ifstream file(m_folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    bool Exists(const std::string& name) const { return fs::exists(m_folder / name); }

    // Runs the tool in a GBK locale; file names that do not start with '-' are taken in the
    // test folder.
    RunResult Run(std::vector<std::string> args, bool inFolder = true,
                  const std::string& input = {}) const {
        if (inFolder) {
            for (std::size_t i = 1; i < args.size(); ++i) {
                if (!args[i].starts_with('-') && args[i].find('.') != std::string::npos)
                    args[i] = Path(args[i]);
            }
        }
        std::ostringstream out;
        std::ostringstream err;
        RunResult result;
        std::istringstream in(input);
        result.status = RunTool(args, in, out, err, LocaleEnvironment{"", "", "zh_CN.GBK"});
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    // The files no command may leave behind: temporary files of a safe write.
    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_folder;
};

// What the window writes after "Load" of the same file, made through the window's own steps.
struct WindowOutput {
    std::string tel;
    std::string report;
};

WindowOutput WindowSaves(const std::string& path, const std::string& codePage) {
    testing::CHeadlessView view;
    CMemoryNameList list{CNameCollation(CCodePage(codePage))};
    CBookEditor editor(list, view);
    if (const auto image = CDeviceBookFile::ReadImage(path))
        CDeviceBookFile::LoadImage(editor, *image);
    const auto tel = CDeviceBookFile::BuildImage(editor);
    const auto report = CTextReport::Build(editor);
    return {tel ? *tel : std::string(), report ? *report : std::string()};
}

// ---- check ----

TEST_F(OrvalenTelTest, CheckPrintsSizePlacesAndContacts) {
    Write("Tel_Expt.tel", MakeTel({{"Li", "1"}, {"Bo"}}));
    const RunResult result = Run({"check", "Tel_Expt.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.out,
              "File size: 26112 bytes\nRecord places: 200\nContacts: 2\nCode page: GBK\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(OrvalenTelTest, CheckReadsAsLoadDoesWhenTheCountByteExceedsThePlaces) {
    Write("short.tel", MakeTel({{"A"}, {"B"}, {"C"}, {"D"}}, 250, 4));
    const RunResult result = Run({"check", "short.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.out, "File size: 1024 bytes\nRecord places: 4\nContacts: 4\nCode page: GBK\n");
    EXPECT_EQ(result.err, "orvalen-tel: " + Path("short.tel") +
                              ": warning: the header counts 250 contacts, but only 4 record "
                              "places follow; Load reads 4\n");
}

TEST_F(OrvalenTelTest, CheckRefusesWhatLoadRefusesWithTheWindowsMessage) {
    std::string badSignature = MakeTel({{"Li"}});
    badSignature[3] = 'H';
    Write("sig.tel", badSignature);
    Write("700.tel", MakeTel({{"Li"}}).substr(0, 700));
    Write("big.tel", MakeTel({{"Li"}}, 1, 201));
    for (const std::string name : {"sig.tel", "700.tel", "big.tel"}) {
        const RunResult result = Run({"check", name});
        EXPECT_EQ(result.status, kExitRefused) << name;
        EXPECT_EQ(result.out, "") << name;
        EXPECT_EQ(result.err, "orvalen-tel: " + Path(name) + ": Error!!, Not ZUM Tel file ...\n")
            << name;
    }
    const RunResult missing = Run({"check", "missing.tel"});
    EXPECT_EQ(missing.status, kExitRefused);
    EXPECT_EQ(missing.err, "orvalen-tel: " + Path("missing.tel") + ": File Get Fail !!\n");
}

TEST_F(OrvalenTelTest, CheckAcceptsTheSmallestFile) {
    Write("640.tel", MakeTel({{"Li"}}, 1, 1));
    EXPECT_EQ(Run({"check", "640.tel"}).out,
              "File size: 640 bytes\nRecord places: 1\nContacts: 1\nCode page: GBK\n");
}

// ---- show ----

TEST_F(OrvalenTelTest, ShowWritesTheReportThatSaveAsWrites) {
    Write("book.tel",
          MakeTel({{kZhangSanGbk, "138"}, {"Bob", "", "555"}, {kLiSiGbk, "", "", "li@x"}}));
    const RunResult result = Run({"show", "--encoding", "GBK", "book.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "");
    const std::string expected = "Total Telphone Number: 3\r\n\r\n"
                                 "No: 1\r\nName: Bob\r\nMobile: \r\nTelphone: 555\r\n"
                                 "E_mail: \r\nQQ: \r\nFAX: \r\n\r\n"
                                 "No: 2\r\nName: " +
                                 kLiSiGbk +
                                 "\r\nMobile: \r\nTelphone: \r\n"
                                 "E_mail: li@x\r\nQQ: \r\nFAX: \r\n\r\n"
                                 "No: 3\r\nName: " +
                                 kZhangSanGbk +
                                 "\r\nMobile: 138\r\nTelphone: \r\n"
                                 "E_mail: \r\nQQ: \r\nFAX: \r\n\r\n"
                                 "END!";
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.out, WindowSaves(Path("book.tel"), "GBK").report);
}

TEST_F(OrvalenTelTest, ShowOfAnEmptyPhoneBookSaysItHoldsNoContacts) {
    Write("empty.tel", MakeTel({}));
    const RunResult result = Run({"show", "--encoding=UTF-8", "empty.tel"});
    EXPECT_EQ(result.status, kExitRefused);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "orvalen-tel: " + Path("empty.tel") + " holds no contacts\n");
}

TEST_F(OrvalenTelTest, ShowOfARefusedFile) {
    Write("bad.tel", "not a phone book");
    const RunResult result = Run({"show", "--encoding", "GBK", "bad.tel"});
    EXPECT_EQ(result.status, kExitRefused);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "orvalen-tel: " + Path("bad.tel") + ": Error!!, Not ZUM Tel file ...\n");
}

// ---- convert from .tel ----

TEST_F(OrvalenTelTest, TelToTelIsLoadThenSaveByteForByte) {
    // Leftover bytes after a terminator travel with the slot, as the window writes them.
    Record carl = {"Carl", "1"};
    Record bo = {std::string("Bo\0xander", 9), "2"};
    Record alice = {"alice", "", "", "", "", "3"};
    const std::string input = MakeTel({carl, bo, alice}, 3, 10);
    Write("in.tel", input);
    const RunResult result = Run({"convert", "--encoding", "GBK", "in.tel", "Tel_Save.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "");
    const std::string output = Read("Tel_Save.tel");
    ASSERT_EQ(output.size(), 26112u);
    EXPECT_EQ(output.substr(0, 5), "\x55\xAA\x68\x68\x03");
    EXPECT_EQ(output.substr(5, 507), std::string(507, '\0'));
    EXPECT_EQ(RecordAt(output, 0), RecordAt(input, 2)); // alice
    EXPECT_EQ(RecordAt(output, 1), RecordAt(input, 1)); // Bo, with xander after its zero
    EXPECT_EQ(RecordAt(output, 2), RecordAt(input, 0)); // Carl
    EXPECT_EQ(output.substr(512 + 3 * 128), std::string(197 * 128, '\0'));
    EXPECT_EQ(output, WindowSaves(Path("in.tel"), "GBK").tel);
}

TEST_F(OrvalenTelTest, TelToTxtIsLoadThenSaveAs) {
    Write("in.tel", MakeTel({{"Zoe", "1"}, {"adam", "", "", "", "77"}}));
    const RunResult result = Run({"convert", "--encoding", "GBK", "in.tel", "out.txt"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(Read("out.txt"), "Total Telphone Number: 2\r\n\r\n"
                               "No: 1\r\nName: adam\r\nMobile: \r\nTelphone: \r\n"
                               "E_mail: \r\nQQ: 77\r\nFAX: \r\n\r\n"
                               "No: 2\r\nName: Zoe\r\nMobile: 1\r\nTelphone: \r\n"
                               "E_mail: \r\nQQ: \r\nFAX: \r\n\r\n"
                               "END!");
    EXPECT_EQ(Read("out.txt"), WindowSaves(Path("in.tel"), "GBK").report);
}

TEST_F(OrvalenTelTest, TelToVcfAndCsvInSortedOrderInUtf8) {
    Write("Tel_Expt.tel", MakeTel({{kZhangSanGbk, "138", "010-1", "z@x.cn", "10001", "010-2"},
                                   {"Bob", "", "", "", "", ""}}));
    ASSERT_EQ(Run({"convert", "--encoding", "GBK", "Tel_Expt.tel", "out.vcf"}).status,
              kExitSuccess);
    EXPECT_EQ(Read("out.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\nN:Bob;;;;\r\n"
                               "UID:urn:uuid:690a7fc4-f6db-5ba2-9719-951c9e317ce2\r\n"
                               "END:VCARD\r\n"
                               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nN:张三;;;;\r\n"
                               "UID:urn:uuid:6afa4cc6-dd31-5809-bbb9-9669badf822a\r\n"
                               "TEL;TYPE=CELL:138\r\nTEL;TYPE=VOICE:010-1\r\n"
                               "TEL;TYPE=FAX:010-2\r\nEMAIL;TYPE=INTERNET:z@x.cn\r\n"
                               "IMPP;X-SERVICE-TYPE=QQ:qq:10001\r\nEND:VCARD\r\n");
    ASSERT_EQ(Run({"convert", "--encoding", "GBK", "Tel_Expt.tel", "contacts.csv"}).status,
              kExitSuccess);
    EXPECT_EQ(Read("contacts.csv"), "\xEF\xBB\xBFName,Mobile,Telephone,E-mail,QQ,Fax\r\n"
                                    "Bob,,,,,\r\n"
                                    "张三,138,010-1,z@x.cn,10001,010-2\r\n");
}

TEST_F(OrvalenTelTest, TelWithBytesInvalidInTheCodePageWarnsNamingTheRecord) {
    Write("in.tel", MakeTel({{"Li", "", "", "a\xD5"}}));
    const RunResult result = Run({"convert", "--encoding", "GBK", "in.tel", "out.csv"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "orvalen-tel: " + Path("in.tel") +
                              ": record 1: warning: the e-mail \"a\xEF\xBF\xBD\" is not valid "
                              "GBK; its bad bytes became U+FFFD\n");
}

TEST_F(OrvalenTelTest, EmptyTelHoldsNoContactsWhateverTheOutput) {
    Write("empty.tel", MakeTel({}));
    for (std::string out : {"out.tel", "out.txt", "out.csv", "out.vcf"}) {
        const RunResult result = Run({"convert", "--encoding", "GBK", "empty.tel", out});
        EXPECT_EQ(result.status, kExitRefused);
        EXPECT_EQ(result.err, "orvalen-tel: " + Path("empty.tel") +
                                  " holds no contacts\norvalen-tel: nothing written\n");
        EXPECT_FALSE(Exists(out));
    }
}

// ---- round trips ----

struct RoundTripCase {
    std::string codePage;
    std::vector<Record> records; // in sorted order, so that a saved file equals the input
};

std::vector<RoundTripCase> RoundTripCases() {
    return {
        {"GBK",
         {
             {"A,B;C\"D\\E", "+86 (10) 1234-56", "tel;ext=1,2 \"x\"", "a.b+c@example.com",
              "1234567890123456", "010,8888;1"},
             {"Bob", "", "", "", "", "0"},
             // Every field full: 16 and 32 bytes, the name eight double-byte characters.
             {"\xC5\xB7\xD1\xF4\xC4\xC8\xC4\xC8\xC5\xB7\xD1\xF4\xC4\xC8\xC4\xC8",
              "1234567890123456", "12345678901234567890123456789012",
              "abcdefghijklmnopqrstuvwxyz@ex.cn", "9999999999999999", "8888888888888888"},
             {kZhangSanGbk, "13800138000", "", "zhang@x.cn", "10001", ""},
         }},
        {"UTF-8",
         {
             {"A,B;C\"D\\E", "1", "2", "3", "4", "5"},
             // 16 bytes: five three-byte characters and a letter.
             {"X\xE5\xBC\xA0\xE4\xB8\x89\xE6\x9D\x8E\xE5\x9B\x9B\xE7\x8E\x8B", "1234567890123456",
              "12345678901234567890123456789012", "abcdefghijklmnopqrstuvwxyz@ex.cn", "1",
              "\xE4\xBC\xA0\xE7\x9C\x9F"},
             {"\xE5\xBC\xA0\xE4\xB8\x89", "", "", "", "", ""},
         }},
    };
}

TEST_F(OrvalenTelTest, RoundTripsThroughVcfAndCsvKeepEveryField) {
    for (const RoundTripCase& roundTrip : RoundTripCases()) {
        for (const std::string extension : {".vcf", ".csv"}) {
            SCOPED_TRACE(roundTrip.codePage + " " + extension);
            const std::string original = MakeTel(roundTrip.records);
            Write("original.tel", original);
            ASSERT_EQ(Run({"convert", "--encoding", roundTrip.codePage, "original.tel",
                           "middle" + extension})
                          .status,
                      kExitSuccess);
            const RunResult back = Run(
                {"convert", "--encoding", roundTrip.codePage, "middle" + extension, "back.tel"});
            EXPECT_EQ(back.status, kExitSuccess);
            EXPECT_EQ(back.err, "");
            const std::string result = Read("back.tel");
            ASSERT_EQ(result.size(), original.size());
            for (std::size_t r = 0; r < roundTrip.records.size(); ++r)
                EXPECT_EQ(RecordAt(result, r), RecordBytes(roundTrip.records[r])) << r;
            EXPECT_EQ(result, original);
        }
    }
}

// ---- convert from .vcf and .csv ----

TEST_F(OrvalenTelTest, PhoneVcfToTelSortedWithWarningsNamingCards) {
    Write("phone.vcf", "BEGIN:VCARD\r\n"
                       "VERSION:2.1\r\n"
                       "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0;=E4=B8=89;;;\r\n"
                       "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=E4=\r\n"
                       "=B8=89\r\n"
                       "TEL;CELL:13800138000\r\n"
                       "TEL;CELL:13900139000\r\n"
                       "END:VCARD\r\n"
                       "BEGIN:VCARD\r\n"
                       "VERSION:2.1\r\n"
                       "TEL;HOME:1\r\n"
                       "END:VCARD\r\n"
                       "BEGIN:VCARD\r\n"
                       "VERSION:2.1\r\n"
                       "FN:Alexander the Great\r\n"
                       "X-QQ:42\r\n"
                       "END:VCARD\r\n");
    const RunResult result = Run({"convert", "--encoding", "GBK", "phone.vcf", "Tel_Save.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    const std::string in = "orvalen-tel: " + Path("phone.vcf") + ": ";
    EXPECT_EQ(
        result.err,
        in +
            "card 1 (line 7): warning: \"张三\": Mobile \"13900139000\" left out: the player "
            "holds one mobile\n" +
            in +
            "card 2 (line 9): warning: no name (FN, N, ORG, NICKNAME or EMAIL); card skipped\n" +
            in +
            "card 3 (line 13): warning: \"Alexander the Great\": Name cut to \"Alexander the Gr\": "
            "it is 19 bytes, more than the 16 the player holds\n");
    const std::string tel = Read("Tel_Save.tel");
    ASSERT_EQ(tel.size(), 26112u);
    EXPECT_EQ(tel[4], '\x02');
    EXPECT_EQ(RecordAt(tel, 0), RecordBytes({"Alexander the Gr", "", "", "", "42", ""}));
    EXPECT_EQ(RecordAt(tel, 1), RecordBytes({kZhangSanGbk, "13800138000"}));
    EXPECT_EQ(RecordAt(tel, 2), std::string(128, '\0'));
}

TEST_F(OrvalenTelTest, OutlookCsvWithByteOrderMarkToTel) {
    Write("outlook.csv", "\xEF\xBB\xBF\"First Name\",\"Last Name\",\"Mobile Phone\",\"Notes\"\r\n"
                         "\"三\",\"张\",\"138\",\"line one\r\nline two, \"\"quoted\"\"\"\r\n"
                         "\"Jane\",\"Doe\",\"139\",\"\"\r\n");
    const RunResult result = Run({"convert", "--encoding", "GBK", "outlook.csv", "out.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "");
    const std::string tel = Read("out.tel");
    EXPECT_EQ(RecordAt(tel, 0), RecordBytes({"Jane Doe", "139"}));
    EXPECT_EQ(RecordAt(tel, 1), RecordBytes({kZhangSanGbk, "138"}));
}

TEST_F(OrvalenTelTest, CsvToVcfAndTxtGoThroughThePhoneBook) {
    Write("in.csv", "Name,Mobile\r\nLi,2\r\nAmy,1\r\n");
    ASSERT_EQ(Run({"convert", "--encoding", "GBK", "in.csv", "out.vcf"}).status, kExitSuccess);
    EXPECT_EQ(Read("out.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Amy\r\nN:Amy;;;;\r\n"
                               "UID:urn:uuid:f4f8e867-7339-5928-bcd8-61edc9fe5df8\r\n"
                               "TEL;TYPE=CELL:1\r\nEND:VCARD\r\n"
                               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Li\r\nN:Li;;;;\r\n"
                               "UID:urn:uuid:a049aeff-b276-50b0-bfc1-dfa8335fe55e\r\n"
                               "TEL;TYPE=CELL:2\r\nEND:VCARD\r\n");
    ASSERT_EQ(Run({"convert", "--encoding", "GBK", "in.csv", "out.txt"}).status, kExitSuccess);
    EXPECT_TRUE(Read("out.txt").starts_with("Total Telphone Number: 2\r\n\r\nNo: 1\r\nName: Amy"));
}

TEST_F(OrvalenTelTest, RepeatedNamesAreKeptWithAWarning) {
    Write("in.csv", "Name,Mobile\r\nLi,1\r\nLi,2\r\n");
    const RunResult result = Run({"convert", "--encoding", "GBK", "in.csv", "out.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "orvalen-tel: " + Path("in.csv") +
                              ": line 3: warning: \"Li\" is a name given before; "
                              "both are kept\n");
    const std::string tel = Read("out.tel");
    EXPECT_EQ(RecordAt(tel, 0), RecordBytes({"Li", "1"}));
    EXPECT_EQ(RecordAt(tel, 1), RecordBytes({"Li", "2"}));
}

TEST_F(OrvalenTelTest, ControlCharactersInQuotedValuesAreEscaped) {
    // An ESC sequence in a value would retitle the user's terminal if printed raw.
    Write("esc.vcf",
          "BEGIN:VCARD\r\nFN:Li\r\nTEL;CELL:1\r\nTEL;CELL:2\x1b]0;x\x07\r\nEND:VCARD\r\n");
    const RunResult result = Run({"convert", "--encoding", "GBK", "esc.vcf", "out.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "orvalen-tel: " + Path("esc.vcf") +
                              ": card 1 (line 4): warning: \"Li\": Mobile \"2\\x1b]0;x\\x07\" "
                              "left out: the player holds one mobile\n");
}

TEST_F(OrvalenTelTest, WarningsComeInTheOrderOfTheInput) {
    Write("in.csv", "Name,Mobile\r\nABCDEFGHIJKLMNOPQ,1\r\n,2\r\n");
    const RunResult result = Run({"convert", "--encoding", "GBK", "in.csv", "out.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    const std::string in = "orvalen-tel: " + Path("in.csv") + ": ";
    EXPECT_EQ(result.err, in +
                              "line 2: warning: \"ABCDEFGHIJKLMNOPQ\": Name cut to "
                              "\"ABCDEFGHIJKLMNOP\": it is 17 bytes, more than the 16 the player "
                              "holds\n" +
                              in + "line 3: warning: no name; row skipped\n");
}

TEST_F(OrvalenTelTest, GbkCsvIsReadAsGb18030OrAsNamed) {
    Write("in.csv", "Name,Mobile\r\n" + kZhangSanGbk + ",1\r\n");
    ASSERT_EQ(Run({"convert", "--encoding", "GBK", "in.csv", "a.tel"}).status, kExitSuccess);
    EXPECT_EQ(RecordAt(Read("a.tel"), 0), RecordBytes({kZhangSanGbk, "1"}));
    ASSERT_EQ(Run({"convert", "--encoding", "UTF-8", "--input-encoding", "GBK", "in.csv", "b.csv"})
                  .status,
              kExitSuccess);
    EXPECT_EQ(Read("b.csv"), "\xEF\xBB\xBFName,Mobile,Telephone,E-mail,QQ,Fax\r\n张三,1,,,,\r\n");
}

// ---- refusals: nothing written, existing output untouched ----

TEST_F(OrvalenTelTest, MoreThan200ContactsWriteNothing) {
    std::string csv = "Name\r\n";
    for (int i = 0; i < 250; ++i)
        csv += "N" + std::to_string(i) + "\r\n";
    Write("many.csv", csv);
    Write("out.tel", "old");
    const RunResult result = Run({"convert", "--encoding", "GBK", "many.csv", "out.tel"});
    EXPECT_EQ(result.status, kExitRefused);
    EXPECT_EQ(result.err, "orvalen-tel: " + Path("many.csv") +
                              ": error: the input holds 250 contacts; the player's phone book "
                              "holds at most 200; --take FIRST-LAST takes some of them\n"
                              "orvalen-tel: nothing written\n");
    EXPECT_EQ(Read("out.tel"), "old");
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{"many.csv", "out.tel"}));

    // --take counts in file order, before the sort; one warning says what was taken.
    const RunResult taken =
        Run({"convert", "--encoding", "GBK", "--take", "201-250", "many.csv", "taken.csv"});
    EXPECT_EQ(taken.status, kExitSuccess);
    EXPECT_EQ(taken.err, "orvalen-tel: " + Path("many.csv") +
                             ": warning: only contacts 201 to 250 of 250 are taken (--take)\n");
    const std::string written = Read("taken.csv");
    EXPECT_NE(written.find("N200,"), std::string::npos);
    EXPECT_EQ(written.find("N199"), std::string::npos);
    for (const char* bad : {"0-5", "5-4", "1-201", "x"})
        EXPECT_EQ(Run({"convert", "--take", bad, "many.csv", "t.csv"}).status, kExitUsage) << bad;
}

TEST_F(OrvalenTelTest, CharacterTheCodePageLacksIsRefusedUnlessReplaced) {
    Write("in.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Kim 한\r\nTEL:1\r\nEND:VCARD\r\n");
    const RunResult refused = Run({"convert", "--encoding", "GBK", "in.vcf", "out.tel"});
    EXPECT_EQ(refused.status, kExitRefused);
    EXPECT_EQ(refused.err, "orvalen-tel: " + Path("in.vcf") +
                               ": card 1 (line 1): error: \"Kim 한\": the name holds \"한\" "
                               "(U+D55C), which GBK cannot hold (--replace writes \"?\" for it)\n"
                               "orvalen-tel: nothing written\n");
    EXPECT_FALSE(Exists("out.tel"));

    const RunResult replaced =
        Run({"convert", "--encoding", "GBK", "--replace", "in.vcf", "out.tel"});
    EXPECT_EQ(replaced.status, kExitSuccess);
    EXPECT_EQ(RecordAt(Read("out.tel"), 0), RecordBytes({"Kim ?", "", "1"}));
}

#if !defined(_WIN32)
// The program itself in an environment of nothing but the given locale variable: the player's
// code page follows the locale's language, whether or not that locale is installed.
TEST_F(OrvalenTelTest, WithoutEncodingTheCodePageFollowsTheLocalesLanguage) {
    Write("zh.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nTEL:1\r\nEND:VCARD\r\n"
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nTEL:2\r\nEND:VCARD\r\n");
    Write("ja.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田\r\nEND:VCARD\r\n"
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:チカ\r\nEND:VCARD\r\n"
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:アキ\r\nEND:VCARD\r\n");
    const std::string refusal = "orvalen-tel: the code page is CP1252, the one of the locale "
                                "en_US.UTF-8; --encoding names the player's (GBK is the usual "
                                "one)\norvalen-tel: nothing written\n";
    struct Case {
        std::string environment;
        std::vector<std::string> args;
        int status;
        std::vector<std::string> names; // the records' names, in file order
        std::string errEnd;
    };
    const Case cases[] = {
        {"LANG=zh_CN.UTF-8", {"zh.vcf"}, kExitSuccess, {kLiSiGbk, kZhangSanGbk}, ""},
        {"LC_ALL=zh_SG LANG=en_US.UTF-8", {"zh.vcf"}, kExitSuccess, {kLiSiGbk, kZhangSanGbk}, ""},
        // Katakana A-KI and CHI-KA, whose second bytes are ASCII letters, then Yamada.
        {"LANG=ja_JP.UTF-8",
         {"ja.vcf"},
         kExitSuccess,
         {"\x83\x41\x83\x4C", "\x83\x60\x83\x4A", "\x8E\x52\x93\x63"},
         ""},
        {"LANG=en_US.UTF-8", {"zh.vcf"}, kExitRefused, {}, refusal},
        {"LANG=en_US.UTF-8",
         {"--encoding", "GBK", "zh.vcf"},
         kExitSuccess,
         {kLiSiGbk, kZhangSanGbk},
         ""},
    };
    for (const Case& c : cases) {
        fs::remove(m_folder / "out.tel");
        std::string command = "env -i " + c.environment + " '" + ORVALEN_TEL_PATH + "' convert";
        for (std::size_t i = 0; i < c.args.size(); ++i)
            command += " '" + (i + 1 == c.args.size() ? Path(c.args[i]) : c.args[i]) + "'";
        command += " '" + Path("out.tel") + "' 2>'" + Path("err.txt") + "'";
        const int raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << command;
        EXPECT_EQ(WEXITSTATUS(raw), c.status) << command;
        EXPECT_TRUE(Read("err.txt").ends_with(c.errEnd)) << command << "\n" << Read("err.txt");
        if (c.names.empty()) {
            EXPECT_FALSE(Exists("out.tel")) << command;
            continue;
        }
        const std::string tel = Read("out.tel");
        for (std::size_t r = 0; r < c.names.size(); ++r)
            EXPECT_EQ(RecordAt(tel, r).substr(0, 16), RecordBytes({c.names[r]}).substr(0, 16))
                << command << " record " << r;
    }
}

// show is for reading on a terminal, in its character set; the .txt report keeps the bytes.
TEST_F(OrvalenTelTest, ShowWritesInTheTerminalsCharacterSet) {
    Write("book.tel", MakeTel({{kZhangSanGbk, "138"}}));
    const std::string command = "env -i LANG=zh_CN.UTF-8 '" + std::string(ORVALEN_TEL_PATH) +
                                "' show '" + Path("book.tel") + "' >'" + Path("out.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_NE(Read("out.txt").find("\r\nName: 张三\r\n"), std::string::npos) << Read("out.txt");
}
#endif

// Names that are not text in the code page: one warning naming the file and --encoding.
TEST_F(OrvalenTelTest, NamesInAnotherCodePageWarnOnceSuggestingEncoding) {
    Write("gbk.tel", MakeTel({{kZhangSanGbk, "1"}, {kLiSiGbk, "2"}, {"Bob", "3"}}));
    const std::string warning = "orvalen-tel: " + Path("gbk.tel") +
                                ": warning: 2 of 3 names are not UTF-8 text; if the player "
                                "writes another code page, name it with --encoding (GBK is the "
                                "usual one)\n";
    const RunResult check = Run({"check", "--encoding", "UTF-8", "gbk.tel"});
    EXPECT_EQ(check.status, kExitSuccess);
    EXPECT_EQ(check.err, warning);
    const RunResult convert = Run({"convert", "--encoding", "UTF-8", "gbk.tel", "out.tel"});
    EXPECT_EQ(convert.status, kExitSuccess);
    EXPECT_EQ(convert.err, warning);
    EXPECT_EQ(Run({"check", "gbk.tel"}).err, "");
}

TEST_F(OrvalenTelTest, RefusedInputs) {
    Write("unknown.csv", "Nom,Portable\r\nLi,1\r\n");
    Write("open.csv", "Name\r\n\"Li\r\n");
    Write("plain.vcf", "hello\r\n");
    Write("bad.tel", "not a phone book");
    struct Case {
        std::string input;
        std::string message;
    };
    const Case cases[] = {
        {"unknown.csv", "line 1: the header row names no known name column"},
        {"plain.vcf", "no vCard in the file (no BEGIN:VCARD line)"},
        {"bad.tel", "Error!!, Not ZUM Tel file ..."},
        {"missing.csv", "cannot read: No such file or directory"},
        {"missing.tel", "File Get Fail !!"},
    };
    for (const Case& refusal : cases) {
        const RunResult result = Run({"convert", "--encoding", "GBK", refusal.input, "out.vcf"});
        EXPECT_EQ(result.status, kExitRefused) << refusal.input;
        EXPECT_TRUE(
            result.err.starts_with("orvalen-tel: " + Path(refusal.input) + ": " + refusal.message))
            << result.err;
        EXPECT_FALSE(Exists("out.vcf")) << refusal.input;
    }
}

TEST_F(OrvalenTelTest, FailedWritesLeaveNothingBehind) {
    Write("in.tel", MakeTel({{"Li"}}));
    const std::string nowhere = (m_folder / "no-such-folder").string();
    const RunResult tel =
        Run({"convert", "--encoding", "GBK", Path("in.tel"), nowhere + "/out.tel"}, false);
    EXPECT_EQ(tel.status, kExitRefused);
    // What failed and why, not the window's plea.
    EXPECT_EQ(tel.err, "orvalen-tel: " + nowhere +
                           "/out.tel: cannot write: No such file or directory; nothing was "
                           "changed there\n");
    const RunResult txt =
        Run({"convert", "--encoding", "GBK", Path("in.tel"), nowhere + "/out.txt"}, false);
    EXPECT_EQ(txt.status, kExitRefused);
    const RunResult csv =
        Run({"convert", "--encoding", "GBK", Path("in.tel"), nowhere + "/out.csv"}, false);
    EXPECT_EQ(csv.status, kExitRefused);
    EXPECT_EQ(csv.err, "orvalen-tel: " + nowhere +
                           "/out.csv: cannot write: No such file or directory; nothing was "
                           "changed there\n");
    // A folder where the file should be.
    fs::create_directory(m_folder / "taken.vcf");
    EXPECT_EQ(Run({"convert", "--encoding", "GBK", "in.tel", "taken.vcf"}).status, kExitRefused);
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{"in.tel", "taken.vcf"}));
#if !defined(_WIN32)
    // Only the folder's flush after the rename fails: the file was written, and is not called
    // unchanged.
    const SaveSeam previous =
        SetSaveSeam({[](SaveStep step) { return step == SaveStep::flushFolder ? EIO : 0; }});
    const RunResult flush = Run({"convert", "--encoding", "GBK", "in.tel", "out.tel"});
    SetSaveSeam(previous);
    EXPECT_EQ(flush.status, kExitRefused);
    EXPECT_EQ(flush.err, "orvalen-tel: " + Path("out.tel") +
                             ": The file was written but may not be on the disk yet: save again, "
                             "or eject the disk safely before unplugging it (Input/output "
                             "error)\n");
    EXPECT_EQ(Read("out.tel"), Read("in.tel"));
#endif
}

// ---- standard streams, same files, bounds ----

TEST_F(OrvalenTelTest, DashIsStandardInputAndOutput) {
    const std::string book = MakeTel({{"Li", "139"}});
    Write("book.tel", book);
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"convert", "--from", "csv", "-", "--to=csv", "-"},
         "Name,Mobile\r\nLi,139\r\n",
         kExitSuccess,
         "\xEF\xBB\xBFName,Mobile,Telephone,E-mail,QQ,Fax\r\nLi,139,,,,\r\n"},
        {{"convert", "--to", "csv", "book.tel", "-"},
         "",
         kExitSuccess,
         "\xEF\xBB\xBFName,Mobile,Telephone,E-mail,QQ,Fax\r\nLi,139,,,,\r\n"},
        {{"convert", "--from", "tel", "-", "copy.tel"}, book, kExitSuccess, ""},
        {{"convert", "--from", "vcf", "-", "--to", "tel", "-"},
         "BEGIN:VCARD\r\nFN:Li\r\nTEL;CELL:139\r\nEND:VCARD\r\n",
         kExitSuccess,
         book},
        {{"show", "-"}, book, kExitSuccess, WindowSaves(Path("book.tel"), "GBK").report},
        {{"convert", "-", "out.tel"}, book, kExitUsage, ""},
    };
#if !defined(_WIN32)
    // A .tel on standard input is read in memory: with no temporary folder to copy it into,
    // it is still read.
    ::setenv("TMPDIR", Path("no-such-folder").c_str(), 1);
#endif
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, {"--encoding", "GBK"});
        const RunResult result = Run(args, true, c.input);
        EXPECT_EQ(result.status, c.status) << c.args.back() << result.err;
        EXPECT_EQ(result.out, c.out) << c.args.back();
    }
#if !defined(_WIN32)
    ::unsetenv("TMPDIR");
#endif
    EXPECT_EQ(Read("copy.tel"), book);
}

TEST_F(OrvalenTelTest, SameFileAsInputAndOutputIsRefusedAndUntouched) {
    const std::string csv = "Name,Mobile,Notes\r\nLi,139,keep me\r\n";
    Write("book.csv", csv);
    std::error_code error;
    fs::create_symlink(m_folder / "book.csv", m_folder / "link.csv", error);
    std::vector<const char*> targets = {"book.csv"};
    if (!error)
        targets.push_back("link.csv");
    for (const char* target : targets) {
        const RunResult result = Run({"convert", "--encoding", "GBK", "book.csv", target});
        EXPECT_EQ(result.status, kExitRefused) << target;
        EXPECT_EQ(result.err, "orvalen-tel: " + Path("book.csv") +
                                  ": Input and output are the same file; it would be overwritten "
                                  "by what is read from it\norvalen-tel: nothing written\n");
        EXPECT_EQ(Read("book.csv"), csv);
    }
}

// Devices and the process's memory as files: Linux.
#if defined(__linux__)
TEST_F(OrvalenTelTest, LargeOrUnreadableInputs) {
    // No size limit: a sparse file larger than the old 64 MB one is read through, in bounded
    // memory, and refused for what it holds.
    { std::ofstream(m_folder / "huge.vcf"); }
    fs::resize_file(m_folder / "huge.vcf", (64u << 20) + 1);
    const RunResult huge = Run({"convert", "--encoding", "GBK", "huge.vcf", "out.tel"});
    EXPECT_EQ(huge.status, kExitRefused);
    EXPECT_EQ(huge.err, "orvalen-tel: " + Path("huge.vcf") +
                            ": line 1: warning: a line longer than 1 MB; its value ends there\n"
                            "orvalen-tel: " +
                            Path("huge.vcf") +
                            ": no vCard in the file (no BEGIN:VCARD line)\n"
                            "orvalen-tel: nothing written\n");
    // A read that fails (the process's own memory from address 0): a message, not an abort.
    fs::create_symlink("/proc/self/mem", m_folder / "unreadable.vcf");
    const RunResult unreadable = Run({"convert", "--encoding", "GBK", "unreadable.vcf", "out.tel"});
    EXPECT_EQ(unreadable.status, kExitRefused);
    EXPECT_EQ(unreadable.err,
              "orvalen-tel: " + Path("unreadable.vcf") +
                  ": cannot read: Input/output error\norvalen-tel: nothing written\n");
    EXPECT_FALSE(Exists("out.tel"));
}

#endif

TEST_F(OrvalenTelTest, WarningsAreCountedNotRepeated) {
    // A 100 KB name and 20,000 numbers: a few lines name examples, one counts the rest.
    std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + std::string(100000, 'N') + "\r\n";
    for (int i = 0; i < 20000; ++i)
        card += "TEL;TYPE=CELL:1380000" + std::to_string(10000 + i) + "\r\n";
    card += "END:VCARD\r\n";
    Write("many.vcf", card);
    const RunResult result = Run({"convert", "--encoding", "GBK", "many.vcf", "out.tel"});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_LT(result.err.size(), 2000u) << result.err;
    EXPECT_NE(result.err.find("19999 numbers or addresses left out"), std::string::npos)
        << result.err;
}

TEST_F(OrvalenTelTest, AGuessedCharacterSetIsNamed) {
#if defined(ORVALEN_NO_CHARSET_DETECTOR)
    GTEST_SKIP() << "this build has no character-set detector";
#endif
    const std::string data = ORVALEN_TEST_DATA_DIR;
    const RunResult result =
        Run({"convert", "--encoding", "GBK", data + "/shift-jis.csv", Path("out.tel")}, false);
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "orvalen-tel: " + data +
                              "/shift-jis.csv: note: the file names no character set and is not "
                              "UTF-8; read as CP932 (--input-encoding names another)\n");
}

// ---- usage ----

TEST_F(OrvalenTelTest, WrongUsageExitsWithTwo) {
    Write("in.tel", MakeTel({{"Li"}}));
    Write("in.csv", "Name\r\nLi\r\n");
    const std::vector<std::vector<std::string>> usages = {
        {},
        {"frobnicate"},
        {"check"},
        {"check", "in.tel", "more.tel"},
        {"check", "--replace", "in.tel"},
        {"check", "--encoding", "NO-SUCH-CODE-PAGE", "in.tel"},
        {"show"},
        {"show", "--replace", "in.tel"},
        {"convert", "in.tel"},
        {"convert", "--encoding", "GBK", "in.tel", "out.doc"},
        {"convert", "--encoding", "GBK", "in.txt", "out.tel"},
        {"convert", "--encoding", "GBK", "in", "out.tel"},
        {"convert", "--encoding", "NO-SUCH-CODE-PAGE", "in.tel", "out.tel"},
        {"convert", "--encoding", "GBK", "--input-encoding", "GBK", "in.tel", "out.csv"},
        {"convert", "--encoding", "GBK", "--input-encoding", "NO-SUCH", "in.csv", "out.csv"},
        {"convert", "--encoding"},
        {"convert", "--encoding=", "in.tel", "out.tel"},
        {"convert", "--bogus", "in.tel", "out.tel"},
        {"help", "frobnicate"},
        {"players", "in.tel"},
        {"players", "--encoding", "GBK"},
    };
    for (const auto& args : usages) {
        const RunResult result = Run(args);
        std::string joined;
        for (const std::string& arg : args)
            joined += arg + " ";
        EXPECT_EQ(result.status, kExitUsage) << joined;
        EXPECT_EQ(result.out, "") << joined;
        EXPECT_TRUE(result.err.starts_with("orvalen-tel: ")) << joined;
        EXPECT_NE(result.err.find("Try 'orvalen-tel"), std::string::npos) << joined;
    }
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{"in.csv", "in.tel"}));
}

TEST_F(OrvalenTelTest, HelpForEveryCommand) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> helps = {
        {{"--help"}, "Usage: orvalen-tel COMMAND"},
        {{"-h"}, "Usage: orvalen-tel COMMAND"},
        {{"help"}, "Usage: orvalen-tel COMMAND"},
        {{"help", "convert"}, "Usage: orvalen-tel convert"},
        {{"check", "--help"}, "Usage: orvalen-tel check"},
        {{"show", "-h"}, "Usage: orvalen-tel show"},
        {{"convert", "--help"}, "Usage: orvalen-tel convert"},
        {{"convert", "a.tel", "--help"}, "Usage: orvalen-tel convert"},
        {{"help", "players"}, "Usage: orvalen-tel players"},
    };
    for (const auto& [args, start] : helps) {
        const RunResult result = Run(args);
        EXPECT_EQ(result.status, kExitSuccess) << start;
        EXPECT_TRUE(result.out.starts_with(start)) << result.out;
        EXPECT_EQ(result.err, "");
    }
    // Messages stay English whatever the user's language; the help says so.
    EXPECT_NE(Run({"--help"}).out.find("in English"), std::string::npos);
    const std::string convertHelp = Run({"convert", "--help"}).out;
    for (const char* option :
         {"--encoding NAME", "--input-encoding NAME", "--from FORMAT", "--to FORMAT", "--replace"})
        EXPECT_NE(convertHelp.find(option), std::string::npos) << option;
    EXPECT_NE(Run({"show", "--help"}).out.find("--encoding NAME"), std::string::npos);
    EXPECT_TRUE(Run({"--version"}).out.starts_with("orvalen-tel "));
}

// ---- players ----

#if !defined(_WIN32)
// A mount table of a desktop with the player, a stick, a card reader's card, a FUSE FAT image,
// the EFI partition twice, a network share and an sshfs mount; the folders and sysfs, udev and
// label records that go with it are made in the test folder.
TEST_F(OrvalenTelTest, PlayersAreFoundInTheMountTableAndRanked) {
    const std::string mounts = "/dev/vda / ext4 rw 0 0\n"
                               "/dev/sdd1 /media/u/My\\040Stick ext4 rw 0 0\n"
                               "/dev/sdb1 /boot/efi vfat rw 0 0\n"
                               "/dev/sdb2 /media/u/ESP vfat rw 0 0\n"
                               "server:/export /mnt/nas nfs4 rw 0 0\n"
                               "me@host: /media/u/remote fuse.sshfs rw 0 0\n"
                               "/dev/sde1 /srv/card vfat rw 0 0\n"
                               "/dev/sdc1 /media/u/PLAYER vfat rw 0 0\n"
                               "/dev/sdc1 /media/u/PLAYER vfat rw 0 0\n"
                               "/tmp/fat.img /mnt/fusefat fuse.fusefat rw 0 0\n"
                               "tmpfs /run/media/u tmpfs rw 0 0\n";
    Write("mounts", mounts);
    const fs::path root = m_folder / "root";
    // Every mount point holds the player's files but the stick and the card.
    for (const std::string point : {"boot/efi", "media/u/ESP", "mnt/nas", "media/u/remote",
                                    "media/u/PLAYER", "mnt/fusefat", "run/media/u"}) {
        fs::create_directories(root / point);
        std::ofstream(root / point / "Tel_Save.tel") << "x";
    }
    std::ofstream(root / "media/u/PLAYER/TEL_EXPT.TEL") << "x";
    fs::create_directories(root / "media/u/My Stick");
    fs::create_directories(root / "srv/card");
    const fs::path sys = m_folder / "sys";
    for (const auto& [disk, removable, part, numbers] :
         {std::tuple{"sdb", "0", "sdb2", "8:18"}, std::tuple{"sdb", "0", "sdb1", "8:17"},
          std::tuple{"sdc", "1", "sdc1", "8:33"}, std::tuple{"sdd", "0", "sdd1", "8:49"},
          std::tuple{"sde", "1", "sde1", "8:65"}, std::tuple{"vda", "0", "", ""}}) {
        fs::create_directories(sys / disk / part);
        std::ofstream(sys / disk / "removable") << removable << '\n';
        if (*part != '\0')
            std::ofstream(sys / disk / part / "dev") << numbers << '\n';
    }
    fs::create_directories(m_folder / "udev");
    std::ofstream(m_folder / "udev" / "b8:18")
        << "E:ID_PART_ENTRY_TYPE=c12a7328-f81f-11d2-ba4b-00a0c93ec93b\n";
    fs::create_directories(m_folder / "labels");
    fs::create_symlink("../../sdc1", m_folder / "labels" / "PLAYER");
    fs::create_symlink("../../sdd1", m_folder / "labels" / "My\\x20Stick");

    const PlayerProbe previous =
        SetPlayerProbe({m_folder / "mounts", sys, m_folder / "udev", m_folder / "labels", root});
    const RunResult found = Run({"players"});
    SetPlayerProbe(previous);
    EXPECT_EQ(found.status, kExitSuccess);
    EXPECT_EQ(found.err, "");
    const std::string base = root.string();
    EXPECT_EQ(found.out, base + "/media/u/PLAYER\tvfat\tPLAYER\tTEL_EXPT.TEL Tel_Save.tel\n" +
                             base + "/mnt/fusefat\tfuse.fusefat\t-\tTel_Save.tel\n" + base +
                             "/srv/card\tvfat\t-\t-\n" + base +
                             "/media/u/My Stick\text4\tMy Stick\t-\n");

    Write("mounts", "");
    SetPlayerProbe({m_folder / "mounts", sys, m_folder / "udev", m_folder / "labels", root});
    const RunResult none = Run({"players"});
    SetPlayerProbe(previous);
    EXPECT_EQ(none.status, kExitRefused);
    EXPECT_EQ(none.out, "");
}
#endif

// ---- the installed program ----

#if !defined(_WIN32)
TEST_F(OrvalenTelTest, TheProgramItselfGivesTheSameBytesAndStatuses) {
    Write("book.tel", MakeTel({{kZhangSanGbk, "138"}, {"Bob", "", "555"}}));
    const std::string program = ORVALEN_TEL_PATH;
    // A pipe named as the output is written as "-" is.
    const struct {
        std::string args;
        std::string out;
    } kRows[] = {
        {"show '" + Path("book.tel") + "'", WindowSaves(Path("book.tel"), "GBK").report},
        {"convert --to csv '" + Path("book.tel") + "' /dev/stdout",
         "\xEF\xBB\xBFName,Mobile,Telephone,E-mail,QQ,Fax\r\nBob,,555,,,\r\n"
         "\xE5\xBC\xA0\xE4\xB8\x89,138,,,,\r\n"},
    };
    for (const auto& row : kRows) {
        const std::string command =
            "LC_ALL=zh_CN.GBK '" + program + "' " + row.args + " 2>/dev/null";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        const int status = ::pclose(pipe);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << row.args;
        EXPECT_EQ(out, row.out) << row.args;
    }

    auto exitStatus = [](const std::string& line) {
        const int raw = std::system((line + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(exitStatus("'" + program + "' check '" + Path("missing.tel") + "'"), 1);
    EXPECT_EQ(exitStatus("'" + program + "' nonsense"), 2);
    EXPECT_EQ(exitStatus("'" + program + "' --help"), 0);
}
#endif

} // namespace
} // namespace orvalen
