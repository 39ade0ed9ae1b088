#pragma once

#include "CodePage.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// Converts between the phone book's code-page bytes and the window's Unicode text.
class CTextCodec {
public:
    explicit CTextCodec(CCodePage codePage) : m_codePage(std::move(codePage)) {}

    const CCodePage& CodePage() const { return m_codePage; }

    // For display: bytes the code page cannot read show as replacement marks.
    QString ToDisplay(std::string_view bytes) const;
    // Nothing when the text holds a character the code page cannot hold.
    std::optional<std::string> ToBytes(const QString& text) const;
    // As ToBytes, but such a character becomes '?'.
    std::string ToBytesReplacing(const QString& text) const;

    // Bytes the text takes in the code page; nothing when a character cannot be held.
    std::optional<std::size_t> ByteLength(const QString& text) const;
    // The leading whole characters of text that take at most maxBytes; nothing when one of
    // them cannot be held. Stops measuring at the limit, so a huge paste costs little.
    std::optional<QString> Fit(const QString& text, std::size_t maxBytes) const;

private:
    CCodePage m_codePage;
};

} // namespace orvalen
