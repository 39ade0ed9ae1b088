#include "VCardWriter.h"

#include "CodePage.h"
#include "Uid.h"

#include <map>

namespace orvalen {
namespace {

constexpr std::size_t kMaxLineOctets = 75;

} // namespace

std::string CVCardWriter::EscapeText(std::string_view text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ',' || c == ';') {
            escaped += '\\';
            escaped += c;
        } else if (c == '\r' || c == '\n') {
            escaped += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string CVCardWriter::FoldLine(std::string_view line) {
    std::string folded;
    std::size_t room = kMaxLineOctets;
    while (!line.empty()) {
        // Take whole characters only, so that no reader sees half of one.
        std::size_t take = 0;
        while (take < line.size()) {
            std::size_t length = Utf8CharLength(line.substr(take));
            if (length == 0)
                length = 1;
            if (take + length > room)
                break;
            take += length;
        }
        folded += line.substr(0, take);
        line.remove_prefix(take);
        folded += "\r\n";
        if (!line.empty()) {
            folded += ' ';
            room = kMaxLineOctets - 1;
        }
    }
    return folded;
}

std::string CVCardWriter::Write(std::span<const InterchangeContact> contacts) {
    std::string out;
    // Contacts alike in every field still get UIDs of their own.
    std::map<std::string, int> seen;
    for (const InterchangeContact& contact : contacts) {
        auto put = [&](std::string_view property, ContactField field) {
            const std::string& text = contact[field];
            if (!text.empty())
                out += FoldLine(std::string(property) + EscapeText(text));
        };
        out += "BEGIN:VCARD\r\n";
        out += "VERSION:3.0\r\n";
        // FN and N are both required in 3.0; the name is kept whole as the family name, since
        // splitting a Chinese name or guessing the order of a Western one could not be undone.
        const std::string name = EscapeText(contact[ContactField::name]);
        out += FoldLine("FN:" + name);
        out += FoldLine("N:" + name + ";;;;");
        std::string record;
        for (const std::string& text : contact.texts)
            record += text + '\0';
        if (const int earlier = seen[record]++; earlier > 0)
            record += std::to_string(earlier);
        out += "UID:urn:uuid:" + NameBasedUid(record) + "\r\n";
        put("TEL;TYPE=CELL:", ContactField::mobile);
        put("TEL;TYPE=VOICE:", ContactField::telephone);
        put("TEL;TYPE=FAX:", ContactField::fax);
        put("EMAIL;TYPE=INTERNET:", ContactField::email);
        // A handle that starts with '/' gets the "//" of a URI's authority ahead of it, which
        // readers take off, so that the slash survives.
        put(contact[ContactField::qq].starts_with('/') ? "IMPP;X-SERVICE-TYPE=QQ:qq://"
                                                       : "IMPP;X-SERVICE-TYPE=QQ:qq:",
            ContactField::qq);
        out += "END:VCARD\r\n";
    }
    return out;
}

} // namespace orvalen
