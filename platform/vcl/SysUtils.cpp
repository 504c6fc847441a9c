#include "platform/vcl/SysUtils.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

char LocaleDecimalSeparator() {
    locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    const char separator = (radix && radix[0] && !radix[1]) ? radix[0] : '.';
    freelocale(locale);
    return separator;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

} // namespace

TFormatSettings FormatSettings{LocaleDecimalSeparator()};

AnsiString IntToStr(int64_t value) {
    return std::to_string(value);
}

bool TryStrToInt(const AnsiString& text, int& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    int64_t number = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            return false;
        number = number * base + digit;
        if (number > (int64_t{1} << 32))
            return false;
    }
    if (negative)
        number = -number;
    // Hexadecimal text may spell a negative number in two's complement.
    if (base == 16 && !negative && number <= 0xFFFFFFFFLL) {
        value = static_cast<int32_t>(static_cast<uint32_t>(number));
        return true;
    }
    if (number < INT32_MIN || number > INT32_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}

int StrToInt(const AnsiString& text) {
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + text + "' is not a valid integer value");
    return value;
}

AnsiString FloatToStr(long double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14Le", value);
    const AnsiString scientific = buffer;
    if (scientific.find_first_of("0123456789") == AnsiString::npos)
        return scientific == "-inf" ? "-INF" : scientific == "inf" ? "INF" : "NAN";

    const bool negative = scientific[0] == '-';
    const size_t e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    AnsiString digits;
    for (size_t i = negative ? 1 : 0; i < e; ++i)
        if (scientific[i] != '.')
            digits += scientific[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (digits == "0")
        return "0";

    AnsiString result = negative ? "-" : "";
    const char separator = FormatSettings.DecimalSeparator;
    if (exponent >= 15 || exponent < -4) {
        result += digits.substr(0, 1);
        if (digits.size() > 1)
            result += separator + digits.substr(1);
        return result + "E" + std::to_string(exponent);
    }
    if (exponent < 0) {
        return result + "0" + separator + AnsiString(-exponent - 1, '0') + digits;
    }
    const size_t integerDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= integerDigits)
        return result + digits + AnsiString(integerDigits - digits.size(), '0');
    return result + digits.substr(0, integerDigits) + separator + digits.substr(integerDigits);
}

AnsiString Trim(const AnsiString& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

AnsiString UpperCase(const AnsiString& text) {
    AnsiString result = text;
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

AnsiString LowerCase(const AnsiString& text) {
    AnsiString result = text;
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

bool FileExists(const AnsiString& fileName) {
    struct stat info {};
    return stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const AnsiString& directory) {
    struct stat info {};
    return !directory.empty() && stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFile(const AnsiString& fileName) {
    return unlink(fileName.c_str()) == 0;
}

AnsiString ExtractFilePath(const AnsiString& fileName) {
    const size_t slash = fileName.rfind('/');
    return slash == AnsiString::npos ? AnsiString() : fileName.substr(0, slash + 1);
}

AnsiString ExtractFileName(const AnsiString& fileName) {
    const size_t slash = fileName.rfind('/');
    return slash == AnsiString::npos ? fileName : fileName.substr(slash + 1);
}

void Assert(bool condition, const AnsiString& text) {
    if (condition)
        return;
    std::fprintf(stderr, "Assertion failed: %s\n", text.c_str());
    std::fflush(stderr);
    std::abort();
}
