#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/WinNls.h"
#include "tests/support/ScopedEnv.h"

namespace {

// The locale variables, put back when the test ends.
class Locale : public testing::Test {
protected:
    const ScopedEnv lcAll{"LC_ALL", nullptr};
    const ScopedEnv lcMessages{"LC_MESSAGES", nullptr};
    const ScopedEnv lang{"LANG", nullptr};
};

std::string LanguageName() {
    char buffer[256] = "";
    const int written = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, buffer, 255);
    EXPECT_EQ(written, static_cast<int>(std::string(buffer).size()) + 1);
    return buffer;
}

TEST_F(Locale, TheLanguageNameFollowsTheUsersLocale) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* name;
    };
    const std::vector<Case> cases = {
        {nullptr, nullptr, "de_DE.UTF-8", "German"},
        {nullptr, nullptr, "de_AT@euro", "German"},
        {nullptr, nullptr, "de_CH.ISO-8859-1", "German"},
        {nullptr, nullptr, "de", "German"},
        {nullptr, nullptr, "gsw_CH.UTF-8", "Swiss German"},
        {nullptr, nullptr, "en_US.UTF-8", "English"},
        {nullptr, nullptr, "en_GB", "English"},
        {nullptr, nullptr, "C", "English"},
        {nullptr, nullptr, "C.UTF-8", "English"},
        {nullptr, nullptr, "POSIX", "English"},
        {nullptr, nullptr, nullptr, "English"},
        {"", "", "", "English"},
        {nullptr, nullptr, "fr_CA.UTF-8", "French"},
        {nullptr, nullptr, "es_ES@euro", "Spanish"},
        {nullptr, nullptr, "pt_BR.UTF-8", "Portuguese"},
        {nullptr, nullptr, "nl_BE", "Dutch"},
        {nullptr, nullptr, "nb_NO.UTF-8", "Norwegian Bokmål"},
        {nullptr, nullptr, "zh_TW.UTF-8", "Chinese"},
        {nullptr, nullptr, "eo.UTF-8", "eo"},
        // LC_ALL over LC_MESSAGES over LANG; empty ones do not count.
        {"fr_FR.UTF-8", "it_IT.UTF-8", "de_DE.UTF-8", "French"},
        {nullptr, "de_DE.UTF-8", "en_US.UTF-8", "German"},
        {"", "", "de_DE.UTF-8", "German"},
        {"C", nullptr, "de_DE.UTF-8", "English"},
    };
    for (const Case& c : cases) {
        lcAll.Set(c.lcAll);
        lcMessages.Set(c.lcMessages);
        lang.Set(c.lang);
        EXPECT_EQ(LanguageName(), c.name)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

TEST_F(Locale, BuffersAndItemsAreCheckedAsWindowsChecksThem) {
    lang.Set("de_DE.UTF-8");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, nullptr, 0), 7);
    char small[6] = "xxxxx";
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, small, sizeof small), 0);
    char buffer[16];
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x0002, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetLocaleInfoA(0x0407, LOCALE_SENGLANGUAGE, buffer, sizeof buffer), 0);
}

} // namespace
