#pragma once

// Which of our translations the window speaks, from the user's interface languages in order of
// preference (as the system gives them: "zh_TW.UTF-8", "zh-Hant-HK", "en-US", ...). Chinese of
// mainland China and Singapore, or written in the Han simplified script, reads Simplified;
// of Taiwan, Hong Kong and Macao, or in the traditional script, reads Traditional; English is
// chosen for English and where no language matches. Languages we have no translation for are
// passed over, so a user's second choice still counts. Window-free; changes no state.

#include <span>
#include <string>
#include <string_view>

namespace orvalen {

enum class InterfaceLanguage { english, simplifiedChinese, traditionalChinese };

InterfaceLanguage ChooseInterfaceLanguage(std::span<const std::string> preferred);

// The name the translation files carry for the language: "en", "zh_Hans", "zh_Hant".
std::string_view TranslationName(InterfaceLanguage language);

} // namespace orvalen
