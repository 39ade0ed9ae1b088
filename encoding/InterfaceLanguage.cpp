#include "InterfaceLanguage.h"

#include <optional>
#include <vector>

namespace orvalen {
namespace {

// The parts of a language name in lower case: "zh-Hant-HK" and "zh_HK.Big5@x" give
// {"zh", "hant", "hk"} and {"zh", "hk"}.
std::vector<std::string> Parts(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    std::vector<std::string> parts(1);
    for (const char c : name) {
        if (c == '-' || c == '_')
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return parts;
}

std::optional<InterfaceLanguage> LanguageOf(std::string_view name) {
    const std::vector<std::string> parts = Parts(name);
    if (parts[0] == "en")
        return InterfaceLanguage::english;
    if (parts[0] != "zh")
        return std::nullopt;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part == "hans" || part == "cn" || part == "sg")
            return InterfaceLanguage::simplifiedChinese;
        if (part == "hant" || part == "tw" || part == "hk" || part == "mo")
            return InterfaceLanguage::traditionalChinese;
    }
    // Chinese of no known script or region: the next preference decides.
    return std::nullopt;
}

} // namespace

InterfaceLanguage ChooseInterfaceLanguage(std::span<const std::string> preferred) {
    for (const std::string& name : preferred) {
        if (const auto language = LanguageOf(name))
            return *language;
    }
    return InterfaceLanguage::english;
}

std::string_view TranslationName(InterfaceLanguage language) {
    switch (language) {
    case InterfaceLanguage::simplifiedChinese:
        return "zh_Hans";
    case InterfaceLanguage::traditionalChinese:
        return "zh_Hant";
    case InterfaceLanguage::english:
        break;
    }
    return "en";
}

} // namespace orvalen
