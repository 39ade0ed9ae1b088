#include "TextCodec.h"

namespace orvalen {
namespace {

// Length in UTF-16 units of the character at position i, a surrogate pair counting as one.
qsizetype CharLength(const QString& text, qsizetype i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return 2;
    return 1;
}

} // namespace

QString CTextCodec::ToDisplay(std::string_view bytes) const {
    const std::string utf8 = m_codePage.ToUtf8Lossy(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> CTextCodec::ToBytes(const QString& text) const {
    const QByteArray utf8 = text.toUtf8();
    return m_codePage.FromUtf8(std::string_view(utf8.constData(), utf8.size()));
}

std::string CTextCodec::ToBytesReplacing(const QString& text) const {
    const QByteArray utf8 = text.toUtf8();
    return m_codePage.FromUtf8Replacing(std::string_view(utf8.constData(), utf8.size()))
        .value_or(std::string());
}

std::optional<std::size_t> CTextCodec::ByteLength(const QString& text) const {
    const auto bytes = ToBytes(text);
    if (!bytes)
        return std::nullopt;
    return bytes->size();
}

std::optional<QString> CTextCodec::Fit(const QString& text, std::size_t maxBytes) const {
    std::size_t used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype length = CharLength(text, i);
        const auto bytes = ByteLength(text.mid(i, length));
        if (!bytes)
            return std::nullopt;
        if (used + *bytes > maxBytes)
            break;
        used += *bytes;
        i += length;
    }
    return text.left(i);
}

} // namespace orvalen
