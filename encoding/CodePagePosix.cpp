// Conversions through iconv, which the C library of every POSIX system has, and the locale
// from the environment variables.
#include "CodePageRule.h"
#include "Conversion.h"

#include <cerrno>
#include <cstdlib>

#include <iconv.h>

namespace orvalen {
namespace {

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

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

LocaleEnvironment LocaleEnvironment::OfProcess() {
    return {Variable("LC_ALL"), Variable("LC_CTYPE"), Variable("LANG")};
}

namespace detail {

std::optional<std::string> ConvertBytes(const std::string& to, const std::string& from,
                                        std::string_view input) {
    if (input.empty())
        return std::string();
    return CIconv(to, from).Convert(input);
}

std::optional<std::string> ConvertBytesLossy(const std::string& to, const std::string& from,
                                             std::string_view input) {
    const CIconv converter(to, from);
    if (!converter.IsOpen())
        return std::nullopt;
    return converter.ConvertLossy(input);
}

bool CanConvert(const std::string& name) {
    return !name.empty() && CIconv("UTF-8", name).IsOpen() && CIconv(name, "UTF-8").IsOpen();
}

} // namespace detail

std::string TerminalCharset(const LocaleEnvironment& environment) {
    // The locale's name says what the terminal shows, installed or not; a plain ASCII or
    // unnamed one is taken as UTF-8, which is what terminals today read.
    const std::string charset = LocaleCharset(environment.LocaleName());
    if (charset.empty() || IsAsciiCharset(charset))
        return "UTF-8";
    return charset;
}

} // namespace orvalen
