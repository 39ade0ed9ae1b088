#include "VCardWriter.h"
#include "VCardReader.h"

#include <gtest/gtest.h>

namespace orvalen {
namespace {

InterchangeContact Contact(std::string name, std::string mobile = {}, std::string telephone = {},
                           std::string email = {}, std::string qq = {}, std::string fax = {}) {
    InterchangeContact contact;
    contact.texts = {std::move(name),  std::move(mobile), std::move(telephone),
                     std::move(email), std::move(qq),     std::move(fax)};
    return contact;
}

TEST(VCardWriter, WritesOneVersion30CardPerContactLeavingEmptyFieldsOut) {
    const std::vector<InterchangeContact> contacts = {
        Contact("张三", "13800138000", "010-12345678", "zhang.san@example.com", "10001",
                "010-87654321"),
        Contact("Li", "139"),
        Contact("Li", "139"),
    };
    // The UIDs are version 5 UUIDs of the six texts, each ended by NUL (and the number of
    // earlier contacts alike in every field): the same in every export, one per contact.
    EXPECT_EQ(CVCardWriter::Write(contacts), "BEGIN:VCARD\r\n"
                                             "VERSION:3.0\r\n"
                                             "FN:张三\r\n"
                                             "N:张三;;;;\r\n"
                                             "UID:urn:uuid:7c506a30-e362-50df-8cd1-be10595c9702\r\n"
                                             "TEL;TYPE=CELL:13800138000\r\n"
                                             "TEL;TYPE=VOICE:010-12345678\r\n"
                                             "TEL;TYPE=FAX:010-87654321\r\n"
                                             "EMAIL;TYPE=INTERNET:zhang.san@example.com\r\n"
                                             "IMPP;X-SERVICE-TYPE=QQ:qq:10001\r\n"
                                             "END:VCARD\r\n"
                                             "BEGIN:VCARD\r\n"
                                             "VERSION:3.0\r\n"
                                             "FN:Li\r\n"
                                             "N:Li;;;;\r\n"
                                             "UID:urn:uuid:70a28f61-0b17-5f4d-ad8d-e675b8f0df04\r\n"
                                             "TEL;TYPE=CELL:139\r\n"
                                             "END:VCARD\r\n"
                                             "BEGIN:VCARD\r\n"
                                             "VERSION:3.0\r\n"
                                             "FN:Li\r\n"
                                             "N:Li;;;;\r\n"
                                             "UID:urn:uuid:72815091-c0e2-5611-ba37-29f5cb15b02e\r\n"
                                             "TEL;TYPE=CELL:139\r\n"
                                             "END:VCARD\r\n");
}

TEST(VCardWriter, NothingToWriteGivesAnEmptyFile) {
    EXPECT_EQ(CVCardWriter::Write({}), "");
}

TEST(VCardWriter, EscapesCommasSemicolonsBackslashesAndLineBreaks) {
    EXPECT_EQ(CVCardWriter::EscapeText("a,b;c\\d\r\ne\nf"), "a\\,b\\;c\\\\d\\ne\\nf");
    const std::vector<InterchangeContact> contacts = {Contact("Smith, J;r")};
    EXPECT_EQ(CVCardWriter::Write(contacts), "BEGIN:VCARD\r\nVERSION:3.0\r\n"
                                             "FN:Smith\\, J\\;r\r\n"
                                             "N:Smith\\, J\\;r;;;;\r\n"
                                             "UID:urn:uuid:c9dc7a09-27e7-5bd5-83eb-1885cce41d2f\r\n"
                                             "END:VCARD\r\n");
}

TEST(VCardWriterFolding, LinesOfAtMost75OctetsAreLeftAlone) {
    const std::string line(75, 'x');
    EXPECT_EQ(CVCardWriter::FoldLine(line), line + "\r\n");
}

TEST(VCardWriterFolding, LongerLinesAreFoldedAt75OctetsWithABlankStartingEachContinuation) {
    const std::string line = std::string(75, 'a') + std::string(74, 'b') + "cc";
    EXPECT_EQ(CVCardWriter::FoldLine(line),
              std::string(75, 'a') + "\r\n " + std::string(74, 'b') + "\r\n cc\r\n");
}

TEST(VCardWriterFolding, NeverSplitsAUtf8Character) {
    // 73 ASCII octets, then 3-octet characters: the first fold falls before the character
    // that would straddle octet 75.
    const std::string line = std::string(73, 'a') + "张三";
    EXPECT_EQ(CVCardWriter::FoldLine(line), std::string(73, 'a') + "\r\n 张三\r\n");
}

TEST(VCardWriterFolding, FoldedCardsReadBack) {
    const std::vector<InterchangeContact> contacts = {
        Contact("欧阳娜娜欧阳娜娜欧阳娜娜欧阳娜娜欧阳娜娜欧阳娜娜欧阳娜娜", "1", "",
                "a.very.long.address.that.goes.on.and.on.and.on@some.example.com")};
    const std::string written = CVCardWriter::Write(contacts);
    std::size_t start = 0;
    for (std::size_t end = written.find("\r\n"); end != std::string::npos;
         start = end + 2, end = written.find("\r\n", start))
        EXPECT_LE(end - start, 75u);
    const InterchangeRead read = CVCardReader::Read(written);
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0].texts, contacts[0].texts);
}

} // namespace
} // namespace orvalen
