#include "VCardReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace orvalen {
namespace {

using Texts = std::array<std::string, kFieldCount>;

Texts TextsOf(const InterchangeContact& contact) {
    return contact.texts;
}

// What a Chinese Android phone exports: vCard 2.1, names in quoted-printable UTF-8 with soft
// line breaks, bare type parameters.
constexpr std::string_view kPhoneExport =
    "BEGIN:VCARD\r\n"
    "VERSION:2.1\r\n"
    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0;=E4=B8=89;;;\r\n"
    "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=E4=\r\n"
    "=B8=89\r\n"
    "TEL;CELL:13800138000\r\n"
    "TEL;HOME:010-12345678\r\n"
    "TEL;WORK;FAX:010-87654321\r\n"
    "EMAIL;HOME:zhang.san@example.com\r\n"
    "X-QQ:10001\r\n"
    "END:VCARD\r\n"
    "BEGIN:VCARD\r\n"
    "VERSION:2.1\r\n"
    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E6=AC=A7=E9=98=B3;=E5=A8=9C=E5=A8=9C;;;\r\n"
    "TEL;CELL;PREF:+86 139 0000 0000\r\n"
    "END:VCARD\r\n";

TEST(VCardReaderPhoneExport, ReadsQuotedPrintableChineseNamesAndTypedNumbers) {
    const InterchangeRead read = CVCardReader::Read(kPhoneExport);
    ASSERT_FALSE(read.IsRefused());
    EXPECT_TRUE(read.notes.Empty());
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(TextsOf(read.contacts[0]), (Texts{"张三", "13800138000", "010-12345678",
                                                "zhang.san@example.com", "10001", "010-87654321"}));
    EXPECT_EQ(read.contacts[0].card, 1);
    EXPECT_EQ(read.contacts[0].line, 1);
    // No FN: the N parts joined family name first, without a blank.
    EXPECT_EQ(TextsOf(read.contacts[1]), (Texts{"欧阳娜娜", "+86 139 0000 0000", "", "", "", ""}));
    EXPECT_EQ(read.contacts[1].card, 2);
    EXPECT_EQ(read.contacts[1].line, 12);
}

TEST(VCardReaderPhoneExport, SoftLineBreakMayBeFollowedByALineThatLooksLikeAComment) {
    const InterchangeRead read = CVCardReader::Read("BEGIN:VCARD\r\n"
                                                    "VERSION:2.1\r\n"
                                                    "FN;ENCODING=QUOTED-PRINTABLE:Li =\r\n"
                                                    "#1\r\n"
                                                    "# a comment line\r\n"
                                                    "TEL;VOICE:5\r\n"
                                                    "END:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "Li #1");
    EXPECT_EQ(read.contacts[0][ContactField::telephone], "5");
}

TEST(VCardReaderPhoneExport, BareQuotedPrintableParameterAndGbkCharset) {
    // 2.1 also writes the encoding as a bare parameter; this phone wrote GBK bytes.
    const InterchangeRead read =
        CVCardReader::Read("BEGIN:VCARD\r\n"
                           "FN;CHARSET=GBK;QUOTED-PRINTABLE:=C0=EE=CB=C4\r\n"
                           "TEL;CELL;VOICE:139\r\n"
                           "END:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(TextsOf(read.contacts[0]), (Texts{"李四", "139", "", "", "", ""}));
}

TEST(VCardReaderPhoneExport, QuotedGbkWithoutCharsetInAnAsciiFile) {
    // The file itself is ASCII, so valid UTF-8; the quoted bytes are GBK all the same.
    const InterchangeRead read =
        CVCardReader::Read("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                           "FN;ENCODING=QUOTED-PRINTABLE:=D5=C5=C8=FD\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "张三");
    EXPECT_TRUE(read.notes.Empty());

    // Named UTF-8 is taken at its word.
    const InterchangeRead named =
        CVCardReader::Read("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                           "FN;ENCODING=QUOTED-PRINTABLE:=D5=C5=C8=FD\r\nEND:VCARD\r\n",
                           "UTF-8");
    ASSERT_EQ(named.contacts.size(), 1u);
    EXPECT_EQ(named.contacts[0][ContactField::name],
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(named.notes.Count(NoteKind::invalidBytes), 1u);
}

TEST(VCardReaderPhoneExport, UntaggedBytesThatAreNotUtf8AreReadAsGb18030) {
    const std::string card = "BEGIN:VCARD\r\nFN:\xD5\xC5\xC8\xFD\r\nEND:VCARD\r\n";
    const InterchangeRead read = CVCardReader::Read(card);
    EXPECT_EQ(read.encoding, "GB18030");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "张三");

    const InterchangeRead named = CVCardReader::Read(card, "GBK");
    EXPECT_EQ(named.encoding, "GB18030"); // the WHATWG mapping of the label
    ASSERT_EQ(named.contacts.size(), 1u);
    EXPECT_EQ(named.contacts[0][ContactField::name], "张三");
}

// An address book's 3.0 export: grouped properties, TYPE lists in both spellings, folding,
// escaped commas and semicolons.
TEST(VCardReaderAddressBook, ReadsVersion30Export) {
    const InterchangeRead read =
        CVCardReader::Read("BEGIN:VCARD\r\n"
                           "VERSION:3.0\r\n"
                           "PRODID:-//Apple Inc.//macOS 14.0//EN\r\n"
                           "N:Smith;John;Q.;Dr.;\r\n"
                           "FN:Smith\\, John\r\n"
                           "ORG:Acme\\; Sons;\r\n"
                           "item1.EMAIL;type=INTERNET;type=pref:john.smith@exam\r\n"
                           " ple.com\r\n"
                           "item2.TEL;type=cell,voice:+1 555 0100\r\n"
                           "TEL;TYPE=WORK;TYPE=VOICE:+1 555 0101\r\n"
                           "TEL;TYPE=\"work,fax\":+1 555 0102\r\n"
                           "IMPP;X-SERVICE-TYPE=QQ;type=pref:x-apple:20002\r\n"
                           "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ\r\n"
                           " AAAQABAAD\r\n"
                           "END:VCARD\r\n");
    ASSERT_FALSE(read.IsRefused());
    EXPECT_TRUE(read.notes.Empty());
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(TextsOf(read.contacts[0]), (Texts{"Smith, John", "+1 555 0100", "+1 555 0101",
                                                "john.smith@example.com", "20002", "+1 555 0102"}));
}

TEST(VCardReaderAddressBook, ReadsVersion40ExportWithUris) {
    const InterchangeRead read =
        CVCardReader::Read("BEGIN:VCARD\n"
                           "VERSION:4.0\n"
                           "FN:王小明\n"
                           "N:王;小明;;;\n"
                           "TEL;VALUE=uri;TYPE=\"cell,voice\";PREF=1:tel:+86-138-0000-0001\n"
                           "TEL;VALUE=uri;TYPE=home:tel:010-5555\n"
                           "EMAIL;TYPE=work:wang@example.cn\n"
                           "IMPP;TYPE=QQ:qq:30003\n"
                           "END:VCARD\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(TextsOf(read.contacts[0]),
              (Texts{"王小明", "+86-138-0000-0001", "010-5555", "wang@example.cn", "30003", ""}));
}

TEST(VCardReaderAddressBook, FoldingKeepsTheBlankIn21AndDropsItIn30) {
    const InterchangeRead read = CVCardReader::Read("BEGIN:VCARD\r\n"
                                                    "VERSION:2.1\r\n"
                                                    "FN:Ando\r\n"
                                                    " Roid\r\n"
                                                    "END:VCARD\r\n"
                                                    "BEGIN:VCARD\r\n"
                                                    "VERSION:3.0\r\n"
                                                    "FN:Ando\r\n"
                                                    " Roid\r\n"
                                                    "END:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "Ando Roid");
    EXPECT_EQ(read.contacts[1][ContactField::name], "AndoRoid");
}

TEST(VCardReaderAddressBook, QqFromEverySpelling) {
    const InterchangeRead read =
        CVCardReader::Read("BEGIN:VCARD\r\nFN:A\r\nX-QQ:1\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nFN:B\r\nIMPP:qq:2\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nFN:C\r\n"
                           "IMPP;X-SERVICE-TYPE=QQ:3\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nFN:D\r\n"
                           "IMPP;TYPE=qq:qq:4\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nFN:E\r\n"
                           "IMPP:xmpp:e@example.com\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 5u);
    EXPECT_EQ(read.contacts[0][ContactField::qq], "1");
    EXPECT_EQ(read.contacts[1][ContactField::qq], "2");
    EXPECT_EQ(read.contacts[2][ContactField::qq], "3");
    EXPECT_EQ(read.contacts[3][ContactField::qq], "4");
    EXPECT_EQ(read.contacts[4][ContactField::qq], "");
}

TEST(VCardReaderAddressBook, NameJoinsPartsInTheOrderTheirScriptUses) {
    const InterchangeRead read =
        CVCardReader::Read("BEGIN:VCARD\r\nN:Smith;John;Paul,Q;;\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nN:陈;大文;;;\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nFN:  \r\nN:Doe\\;Roe;Jane\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 3u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "John Paul Q Smith");
    EXPECT_EQ(read.contacts[1][ContactField::name], "陈大文");
    EXPECT_EQ(read.contacts[2][ContactField::name], "Jane Doe;Roe");
}

TEST(VCardReaderNotes, ExtraNumbersAreReportedWithTheirLines) {
    const InterchangeRead read = CVCardReader::Read("BEGIN:VCARD\r\n"         // 1
                                                    "VERSION:3.0\r\n"         // 2
                                                    "FN:Li\r\n"               // 3
                                                    "TEL;TYPE=CELL:1\r\n"     // 4
                                                    "TEL;TYPE=CELL:2\r\n"     // 5
                                                    "TEL;TYPE=HOME:1\r\n"     // 6 same number
                                                    "EMAIL:a@x\r\n"           // 7
                                                    "EMAIL:b@x\r\n"           // 8
                                                    "X-QQ:7\r\n"              // 9
                                                    "IMPP:qq:8\r\n"           // 10
                                                    "TEL;TYPE=FAX:5\r\n"      // 11
                                                    "TEL;TYPE=FAX,HOME:6\r\n" // 12
                                                    "END:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(TextsOf(read.contacts[0]), (Texts{"Li", "1", "1", "a@x", "7", "5"}));
    const auto more = [&](ContactField field) { return read.contacts[0].more[FieldIndex(field)]; };
    EXPECT_EQ(more(ContactField::mobile), (std::vector<FoundValue>{{"2", 5, 0}}));
    EXPECT_EQ(more(ContactField::email), (std::vector<FoundValue>{{"b@x", 8, 0}}));
    EXPECT_EQ(more(ContactField::qq), (std::vector<FoundValue>{{"8", 10, 0}}));
    EXPECT_EQ(more(ContactField::fax), (std::vector<FoundValue>{{"6", 12, 0}}));
    EXPECT_TRUE(more(ContactField::telephone).empty());
}

TEST(VCardReaderNotes, CardWithoutNameIsSkippedWithAWarning) {
    const InterchangeRead read = CVCardReader::Read("BEGIN:VCARD\r\nVERSION:3.0\r\n"
                                                    "TEL:1\r\nEND:VCARD\r\n"
                                                    "BEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "B");
    EXPECT_EQ(read.contacts[0].card, 2);
    EXPECT_EQ(read.notes.Examples(), (std::vector<InterchangeNote>{
                                         {NoteKind::noName, ContactField::name, 1, 1, "", "", 0}}));
}

TEST(VCardReaderNotes, MissingEndIsReportedAndTheCardsStillRead) {
    const InterchangeRead read = CVCardReader::Read("BEGIN:VCARD\r\nFN:A\r\n"
                                                    "BEGIN:VCARD\r\nFN:B\r\n");
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "A");
    EXPECT_EQ(read.contacts[1][ContactField::name], "B");
    // Without END:VCARD the second card is read as one nested in the first.
    ASSERT_EQ(read.notes.Count(NoteKind::missingEnd), 2u);
    EXPECT_EQ(read.notes.Examples()[0].card, 2);
    EXPECT_EQ(read.notes.Examples()[1].card, 1);
}

TEST(VCardReaderNotes, CardsThatNeverEndAreEachReadWithoutPilingUp) {
    std::string cards;
    for (int i = 0; i < 1000; ++i)
        cards += "BEGIN:VCARD\r\nFN:N" + std::to_string(i) + "\r\n";
    const InterchangeRead read = CVCardReader::Read(cards);
    ASSERT_EQ(read.contacts.size(), 1000u);
    EXPECT_EQ(read.contacts[999][ContactField::name], "N999");
    EXPECT_EQ(read.notes.Count(NoteKind::missingEnd), 1000u);
    EXPECT_EQ(read.notes.Examples().size(), CNotes::kExamplesPerKind);
}

TEST(VCardReaderNotes, CardInsideACardIsACardOfItsOwn) {
    const InterchangeRead read = CVCardReader::Read("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Boss\r\n"
                                                    "AGENT:\r\nBEGIN:VCARD\r\nFN:Helper\r\n"
                                                    "TEL:9\r\nEND:VCARD\r\nTEL:1\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(TextsOf(read.contacts[0]), (Texts{"Boss", "", "1", "", "", ""}));
    EXPECT_EQ(TextsOf(read.contacts[1]), (Texts{"Helper", "", "9", "", "", ""}));
    EXPECT_TRUE(read.notes.Empty());
}

TEST(VCardReaderRefusals, FileWithoutCardsIsRefused) {
    const InterchangeRead read = CVCardReader::Read("Name,Mobile\r\nLi,1\r\n");
    ASSERT_TRUE(read.IsRefused());
    EXPECT_EQ(read.status.Kind(), StatusKind::malformed);
}

TEST(VCardReaderEncodings, Utf16WithByteOrderMark) {
    const std::string utf8 = "BEGIN:VCARD\r\nFN:张三\r\nEND:VCARD\r\n";
    std::string utf16 = "\xFF\xFE";
    // Little-endian UTF-16 of the card: every character here is in the BMP.
    const std::u16string wide = u"BEGIN:VCARD\r\nFN:张三\r\nEND:VCARD\r\n";
    for (char16_t c : wide) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    const InterchangeRead read = CVCardReader::Read(utf16);
    EXPECT_EQ(read.encoding, "UTF-16LE");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "张三");

    const InterchangeRead withMark = CVCardReader::Read("\xEF\xBB\xBF" + utf8);
    ASSERT_EQ(withMark.contacts.size(), 1u);
    EXPECT_EQ(withMark.contacts[0][ContactField::name], "张三");
}

TEST(VCardReaderEncodings, InvalidBytesInADeclaredCharsetBecomeReplacementCharacters) {
    const InterchangeRead read = CVCardReader::Read(
        "BEGIN:VCARD\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:A=FFB\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "A\xEF\xBF\xBD"
                                                    "B");
    ASSERT_EQ(read.notes.Count(NoteKind::invalidBytes), 1u);
    EXPECT_EQ(read.notes.Examples()[0].line, 2);
}

TEST(VCardReaderEncodings, UnknownCharsetFallsBackToTheFileEncoding) {
    const InterchangeRead read =
        CVCardReader::Read("BEGIN:VCARD\r\nFN;CHARSET=X-NO-SUCH:Li\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "Li");
    EXPECT_EQ(read.notes.Examples(),
              (std::vector<InterchangeNote>{
                  {NoteKind::unknownCharset, ContactField::name, 2, 1, "", "X-NO-SUCH", 0}}));
}

TEST(VCardReaderRobustness, EveryCutOfAnExportReadsWithoutFault) {
    // A file cut short anywhere, even inside a quoted-printable escape or a CR LF.
    for (std::size_t length = 0; length <= kPhoneExport.size(); ++length) {
        const InterchangeRead read = CVCardReader::Read(kPhoneExport.substr(0, length));
        EXPECT_LE(read.contacts.size(), 2u);
        for (const InterchangeContact& contact : read.contacts)
            EXPECT_FALSE(contact[ContactField::name].empty());
    }
}

TEST(VCardReaderRobustness, DamagedBytesReadWithoutFault) {
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::string damaged(kPhoneExport);
        for (int flips = 0; flips < 8; ++flips) {
            const std::size_t at = random() % damaged.size();
            damaged[at] = "\\;:=\"\r\n \xE5\xFF,"[random() % 12];
        }
        const InterchangeRead read = CVCardReader::Read(damaged);
        for (const InterchangeContact& contact : read.contacts)
            EXPECT_FALSE(contact[ContactField::name].empty());
    }
}

// The samples are real exports of many phones and address books.
class VCardSamples : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::path(ORVALEN_SAMPLES_DIR) / "vcard";
        if (!std::filesystem::is_directory(m_folder))
            GTEST_SKIP() << "no sample folder at " << m_folder;
    }

    InterchangeRead ReadSample(const std::string& name) {
        std::ifstream file(m_folder / name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        return CVCardReader::Read(bytes);
    }

    std::filesystem::path m_folder;
};

TEST_F(VCardSamples, EveryFileReadsAndEveryNamedCardGivesOneContact) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        const auto start = std::chrono::steady_clock::now();
        const InterchangeRead read = CVCardReader::Read(bytes);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2))
            << entry.path();
        EXPECT_FALSE(read.IsRefused()) << entry.path();
        // Each card either gave a contact or was skipped for having no name.
        const int skipped = static_cast<int>(read.notes.Count(NoteKind::noName));
        int cards = 0;
        for (std::size_t at = bytes.find("BEGIN:"); at != std::string::npos;
             at = bytes.find("BEGIN:", at + 1))
            ++cards;
        EXPECT_EQ(static_cast<int>(read.contacts.size()) + skipped, cards) << entry.path();
        for (const InterchangeContact& contact : read.contacts)
            EXPECT_FALSE(contact[ContactField::name].empty()) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST_F(VCardSamples, ContentsOfKnownSamples) {
    struct Expectation {
        std::string file;
        Texts texts;
    };
    const Expectation expectations[] = {
        {"v21_simple_1.vcf", {"Roid Ando", "", "", "", "", ""}},
        {"v21_simple_3.vcf", {"Ando Roid", "", "", "", "", ""}},
        // The preferred number first.
        {"v21_pref_handling.vcf", {"Smith", "", "2", "test@example.com", "", ""}},
        {"v21_invalid_comment_line.vcf", {"Conference Call", "", "", "", "", ""}},
        // Shift_JIS names, whose second bytes can be backslashes.
        {"v21_japanese_1.vcf", {"安藤ロイド", "", "0300000000", "", "", ""}},
        {"v30_japanese.vcf", {"伊能 圭一 伊予", "", "", "", "", ""}},
        {"v30_simple.vcf", {"And Roid", "", "0300000000", "", "", ""}},
        {"v30_comma_separated.vcf", {"G M F", "", "1", "", "", ""}},
        {"v40_sip.vcf", {"安藤 ロイド", "", "1", "", "", ""}},
    };
    for (const Expectation& expectation : expectations) {
        const InterchangeRead read = ReadSample(expectation.file);
        ASSERT_EQ(read.contacts.size(), 1u) << expectation.file;
        EXPECT_EQ(TextsOf(read.contacts[0]), expectation.texts) << expectation.file;
    }
}

} // namespace
} // namespace orvalen
