// The player's code page chosen from locale names as Windows gives them: the user's language
// and "CP" with the ANSI code page. This suite runs under Wine too, where every one of these
// code pages can be converted, so the rule itself must get them right.

#include "CodePageRule.h"

#include <gtest/gtest.h>

#include <string>

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
