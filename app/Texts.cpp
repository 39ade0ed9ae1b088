#include "Texts.h"

#include "Messages.h"

#include <atomic>

namespace orvalen {
namespace {

std::atomic<TextTranslator> g_translator{nullptr};

} // namespace

void SetTextTranslator(TextTranslator translator) {
    g_translator.store(translator);
}

std::string Tr(const CText& text) {
    const TextTranslator translator = g_translator.load();
    return translator != nullptr ? translator(text, -1) : std::string(text.source);
}

std::string Tr(const CText& text, std::initializer_list<std::string_view> args) {
    return FormatText(Tr(text), args);
}

std::string Tr(const CText& text, int count, std::initializer_list<std::string_view> args) {
    const TextTranslator translator = g_translator.load();
    return FormatText(
        translator != nullptr ? translator(text, count) : FormatCount(text.source, count), args);
}

std::string FormatCount(std::string_view pattern, int count) {
    const std::string number = std::to_string(count);
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'n') {
            text += number;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

// The save's message stays in core/Messages.h, where the saving code (which knows no catalogue)
// finds it; its catalogue entry must be the same text.
static_assert(std::string_view(texts::kWrittenNotFlushed.source) == messages::kWrittenNotFlushed);

std::optional<std::string> TrAddedMessage(std::string_view message) {
    if (message == messages::kWrittenNotFlushed)
        return Tr(texts::kWrittenNotFlushed);
    return std::nullopt;
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < args.size()) {
                // An argument is put in as it is: a %1 inside it is not replaced again.
                text += *(args.begin() + index);
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

} // namespace orvalen
