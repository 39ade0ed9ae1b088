// The player's code page chosen from locale names as Windows gives them: the user's language
// and "CP" with the ANSI code page. This suite runs under Wine too, where every one of these
// code pages can be converted, so the rule itself must get them right.

#include "CodePageRule.h"
#include "InterfaceLanguage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PlayerCodePageName, FromWindowsLocaleNames) {
    const struct {
        const char* lang;
        const char* codePage;
    } rows[] = {
        {"zh_CN.CP936", "CP936"},
        {"zh_TW.CP950", "CP950"},
        // Windows set to use UTF-8 for every program: the players still read GBK.
        {"zh_CN.CP65001", "GBK"},
        {"ja_JP.CP65001", "CP932"},
        {"en_US.CP65001", "CP1252"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(orvalen::PlayerCodePageName(std::nullopt, {"", "", row.lang}), row.codePage)
            << row.lang;
}

} // namespace

namespace {

// The translation chosen from the user's interface languages, first preference first.
TEST(ChooseInterfaceLanguage, FromPreferredLanguages) {
    const struct {
        std::vector<std::string> preferred;
        const char* translation;
    } rows[] = {
        {{"zh_CN.UTF-8"}, "zh_Hans"},
        {{"zh_SG"}, "zh_Hans"},
        {{"zh-Hans-CN", "zh"}, "zh_Hans"},
        {{"zh_TW.UTF-8"}, "zh_Hant"},
        {{"zh_HK.Big5-HKSCS"}, "zh_Hant"},
        {{"zh-MO"}, "zh_Hant"},
        {{"zh-Hant"}, "zh_Hant"},
        {{"en_US.UTF-8", "zh_CN"}, "en"},
        {{"C"}, "en"},
        {{}, "en"},
        // No translation for French or for Chinese of no known region: the next choice.
        {{"fr_FR", "zh", "zh_TW"}, "zh_Hant"},
        {{"ja_JP", "de"}, "en"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(orvalen::TranslationName(orvalen::ChooseInterfaceLanguage(row.preferred)),
                  row.translation)
            << (row.preferred.empty() ? "" : row.preferred[0]);
}

} // namespace
