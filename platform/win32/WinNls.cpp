#include "platform/win32/WinNls.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Language {
    const char* code;
    const char* name;
};

// ISO 639 codes with the names Windows gives their languages.
constexpr Language Languages[] = {
    {"ar", "Arabic"},        {"bg", "Bulgarian"},
    {"bn", "Bangla"},        {"ca", "Catalan"},
    {"cs", "Czech"},         {"cy", "Welsh"},
    {"da", "Danish"},        {"de", "German"},
    {"el", "Greek"},         {"en", "English"},
    {"es", "Spanish"},       {"et", "Estonian"},
    {"eu", "Basque"},        {"fa", "Persian"},
    {"fi", "Finnish"},       {"fr", "French"},
    {"ga", "Irish"},         {"gl", "Galician"},
    {"gsw", "Swiss German"}, {"he", "Hebrew"},
    {"hi", "Hindi"},         {"hr", "Croatian"},
    {"hu", "Hungarian"},     {"hy", "Armenian"},
    {"id", "Indonesian"},    {"is", "Icelandic"},
    {"it", "Italian"},       {"ja", "Japanese"},
    {"ka", "Georgian"},      {"kk", "Kazakh"},
    {"ko", "Korean"},        {"lb", "Luxembourgish"},
    {"lt", "Lithuanian"},    {"lv", "Latvian"},
    {"mk", "Macedonian"},    {"ms", "Malay"},
    {"mt", "Maltese"},       {"nb", "Norwegian Bokmål"},
    {"nl", "Dutch"},         {"nn", "Norwegian Nynorsk"},
    {"no", "Norwegian"},     {"pl", "Polish"},
    {"pt", "Portuguese"},    {"ro", "Romanian"},
    {"ru", "Russian"},       {"sk", "Slovak"},
    {"sl", "Slovenian"},     {"sq", "Albanian"},
    {"sr", "Serbian"},       {"sv", "Swedish"},
    {"th", "Thai"},          {"tr", "Turkish"},
    {"uk", "Ukrainian"},     {"ur", "Urdu"},
    {"vi", "Vietnamese"},    {"zh", "Chinese"},
};

// The locale name that sets the language of messages.
std::string UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && value[0])
            return value;
    }
    return "";
}

// "de_AT.UTF-8@euro" gives "de".
std::string LanguageCode(const std::string& localeName) {
    std::string code = localeName.substr(0, localeName.find_first_of("_.@"));
    for (char& c : code)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return code;
}

std::string EnglishLanguageName(const std::string& code) {
    if (code.empty() || code == "c" || code == "posix")
        return "English";
    for (const Language& language : Languages)
        if (code == language.code)
            return language.name;
    return code;
}

} // namespace

int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size) {
    if (locale != LOCALE_USER_DEFAULT || type != LOCALE_SENGLANGUAGE || size < 0)
        return 0;
    const std::string name = EnglishLanguageName(LanguageCode(UserLocaleName()));
    const int needed = static_cast<int>(name.size()) + 1;
    if (size == 0)
        return needed;
    if (!data || size < needed)
        return 0;
    std::memcpy(data, name.c_str(), name.size() + 1);
    return needed;
}
