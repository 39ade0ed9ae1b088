#include "CodePage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#endif

namespace orvalen {
namespace {

std::string Upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

#if !defined(_WIN32)
class CIconv {
public:
    CIconv(const std::string& to, const std::string& from)
        : m_handle(iconv_open(to.c_str(), from.c_str())) {}
    ~CIconv() {
        if (IsOpen())
            iconv_close(m_handle);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool IsOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; nothing on an invalid or unconvertible sequence.
    std::optional<std::string> Convert(std::string_view input) const {
        if (!IsOpen())
            return std::nullopt;
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        std::string output;
        char buffer[256];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        bool flushed = false;
        while (!flushed) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const bool flushing = inLeft == 0;
            const std::size_t rc = flushing ? iconv(m_handle, nullptr, nullptr, &out, &outLeft)
                                            : iconv(m_handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (rc == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                return std::nullopt;
            }
            // A positive count means characters were substituted: refuse that too.
            if (rc != 0)
                return std::nullopt;
            flushed = flushing;
        }
        return output;
    }

    // Converts all of input; each byte that starts no valid sequence becomes U+FFFD. One pass.
    std::string ConvertLossy(std::string_view input) const {
        std::string output;
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char buffer[256];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (true) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const bool flushing = inLeft == 0;
            const std::size_t rc = flushing ? iconv(m_handle, nullptr, nullptr, &out, &outLeft)
                                            : iconv(m_handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (flushing)
                return output;
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                output += "\xEF\xBF\xBD";
                ++in;
                --inLeft;
                iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
            }
        }
    }

private:
    iconv_t m_handle;
};
#endif

std::optional<std::string> Convert(const std::string& to, const std::string& from,
                                   std::string_view input) {
    if (input.empty())
        return std::string();
#if defined(_WIN32)
    (void)to;
    (void)from;
    return std::string(input);
#else
    CIconv converter(to, from);
    return converter.Convert(input);
#endif
}

// Invalid bytes become U+FFFD; nothing when the system lacks the code page.
std::optional<std::string> ConvertLossy(const std::string& to, const std::string& from,
                                        std::string_view input) {
#if defined(_WIN32)
    (void)to;
    (void)from;
    return std::string(input);
#else
    CIconv converter(to, from);
    if (!converter.IsOpen())
        return std::nullopt;
    return converter.ConvertLossy(input);
#endif
}

} // namespace

std::size_t Utf8CharLength(std::string_view text) {
    if (text.empty())
        return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t min = 0;
    char32_t value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = Utf8CharLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

CCodePage::CCodePage(std::string name) : m_name(std::move(name)) {}

std::string CCodePage::SystemName() {
#if defined(_WIN32)
    return "CP" + std::to_string(GetACP());
#else
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    return (codeset != nullptr && *codeset != '\0') ? codeset : "UTF-8";
#endif
}

bool CCodePage::IsUtf8() const {
    const std::string name = Upper(m_name);
    return name == "UTF-8" || name == "UTF8";
}

bool CCodePage::IsAvailable() const {
#if defined(_WIN32)
    return true;
#else
    return CIconv("UTF-8", m_name).IsOpen() && CIconv(m_name, "UTF-8").IsOpen();
#endif
}

std::optional<std::string> CCodePage::ToUtf8(std::string_view bytes) const {
    if (IsUtf8())
        return IsValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    return Convert("UTF-8", m_name, bytes);
}

std::string CCodePage::ToUtf8Lossy(std::string_view bytes) const {
    if (auto whole = ToUtf8(bytes))
        return *whole;
    // One pass, marking each byte that starts no valid character: a long damaged text costs
    // no more than a long good one.
    if (!IsUtf8()) {
        if (auto converted = ConvertLossy("UTF-8", m_name, bytes))
            return std::move(*converted);
    }
    std::string result;
    while (!bytes.empty()) {
        const std::size_t length = Utf8CharLength(bytes);
        if (length == 0) {
            result += "\xEF\xBF\xBD";
            bytes.remove_prefix(1);
            continue;
        }
        result += bytes.substr(0, length);
        bytes.remove_prefix(length);
    }
    return result;
}

std::optional<std::string> CCodePage::FromUtf8(std::string_view utf8) const {
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    if (IsUtf8())
        return std::string(utf8);
    return Convert(m_name, "UTF-8", utf8);
}

std::optional<std::string> CCodePage::FromUtf8Replacing(std::string_view utf8) const {
    auto fitted = FromUtf8Fitting(utf8, std::string::npos, true);
    if (!fitted)
        return std::nullopt;
    return std::move(fitted->bytes);
}

std::optional<CCodePage::Fitted>
CCodePage::FromUtf8Fitting(std::string_view utf8, std::size_t maxBytes, bool replace) const {
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    Fitted result;
    if (auto whole = FromUtf8(utf8); whole && whole->size() <= maxBytes) {
        result.bytes = std::move(*whole);
        result.complete = true;
        return result;
    }
    while (!utf8.empty()) {
        const std::size_t length = Utf8CharLength(utf8);
        auto encoded = FromUtf8(utf8.substr(0, length));
        if (!encoded) {
            if (!replace)
                return std::nullopt;
            encoded = "?";
        }
        if (result.bytes.size() + encoded->size() > maxBytes)
            return result;
        result.bytes += *encoded;
        utf8.remove_prefix(length);
    }
    result.complete = true;
    return result;
}

std::optional<std::pair<unsigned char, unsigned char>> CCodePage::DoubleByteLeads() const {
    const std::string name = Upper(m_name);
    static constexpr std::string_view kEastAsian[] = {"GBK",    "GB2312",     "GB18030", "CP936",
                                                      "EUC-CN", "BIG5",       "CP950",   "CP949",
                                                      "EUC-KR", "WINDOWS-936"};
    if (std::find(std::begin(kEastAsian), std::end(kEastAsian), name) == std::end(kEastAsian))
        return std::nullopt;
    return std::pair<unsigned char, unsigned char>{0x81, 0xFE};
}

} // namespace orvalen
