#include "web/HttpProtFunctions.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

bool StartsWith(const AnsiString& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Up to and including the last "/", or "/" when there is none.
AnsiString Directory(const AnsiString& path) {
    const size_t slash = path.rfind('/');
    return slash == AnsiString::npos ? AnsiString("/") : path.substr(0, slash + 1);
}

// The directory above one that ends with "/"; the root stays the root.
AnsiString ParentDirectory(const AnsiString& directory) {
    if (directory.size() <= 1)
        return "/";
    return Directory(directory.substr(0, directory.size() - 1));
}

void ParseRelative(const AnsiString& URL, const AnsiString& PreviousPath, AnsiString& Path) {
    if (StartsWith(URL, "./")) {
        Path = Directory(PreviousPath) + URL.substr(2);
        return;
    }
    AnsiString directory = Directory(PreviousPath);
    size_t at = 0;
    while (URL.compare(at, 3, "../") == 0) {
        directory = ParentDirectory(directory);
        at += 3;
    }
    Path = directory + URL.substr(at);
}

// What follows the scheme: host part, then the path from the first "/" or
// "?".
void ParseAuthorityAndPath(const AnsiString& Rest, AnsiString& User, AnsiString& Pass,
                           AnsiString& Host, AnsiString& Port, AnsiString& Path) {
    const size_t pathAt = Rest.find_first_of("/?");
    AnsiString authority = Rest.substr(0, pathAt);
    if (pathAt != AnsiString::npos)
        Path = Rest.substr(pathAt);
    const size_t at = authority.rfind('@');
    if (at != AnsiString::npos) {
        const AnsiString userInfo = authority.substr(0, at);
        authority = authority.substr(at + 1);
        const size_t colon = userInfo.find(':');
        User = userInfo.substr(0, colon);
        if (colon != AnsiString::npos)
            Pass = userInfo.substr(colon + 1);
    }
    const size_t colon = authority.rfind(':');
    Host = authority.substr(0, colon);
    if (colon != AnsiString::npos)
        Port = authority.substr(colon + 1);
}

struct CivilDate {
    int year, month, day;
};

// The Gregorian date of a day count since 1 January 1970.
CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

constexpr int64_t DaysFrom1899To1970 = 25569;
constexpr int64_t MillisecondsPerDay = 86400000;

const char Base64Table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The uuencode table starts at the back quote, then runs from "!" to "_".
char UUChar(unsigned value) {
    value &= 0x3F;
    return value == 0 ? '`' : static_cast<char>(' ' + value);
}

AnsiString Base64(const unsigned char* data, int size) {
    AnsiString out;
    for (int i = 0; i < size; i += 3) {
        const int count = size - i < 3 ? size - i : 3;
        const unsigned b0 = data[i];
        const unsigned b1 = count > 1 ? data[i + 1] : 0;
        const unsigned b2 = count > 2 ? data[i + 2] : 0;
        out += Base64Table[b0 >> 2];
        out += Base64Table[((b0 & 3) << 4) | (b1 >> 4)];
        out += count > 1 ? Base64Table[((b1 & 15) << 2) | (b2 >> 6)] : '=';
        out += count > 2 ? Base64Table[b2 & 63] : '=';
    }
    return out;
}

AnsiString UUEncode(const unsigned char* data, int size) {
    AnsiString out(1, UUChar(static_cast<unsigned>(size)));
    for (int i = 0; i < size; i += 3) {
        const unsigned b0 = data[i];
        const unsigned b1 = i + 1 < size ? data[i + 1] : 0;
        const unsigned b2 = i + 2 < size ? data[i + 2] : 0;
        out += UUChar(b0 >> 2);
        out += UUChar(((b0 & 3) << 4) | (b1 >> 4));
        out += UUChar(((b1 & 15) << 2) | (b2 >> 6));
        out += UUChar(b2);
    }
    return out;
}

} // namespace

void ParseURL(const AnsiString& URL, AnsiString& Proto, AnsiString& User, AnsiString& Pass,
              AnsiString& Host, AnsiString& Port, AnsiString& Path) {
    const AnsiString PreviousPath = Path;
    Proto.clear();
    User.clear();
    Pass.clear();
    Host.clear();
    Port.clear();
    Path.clear();
    if (URL.empty())
        return;
    if (StartsWith(URL, "./") || StartsWith(URL, "../")) {
        ParseRelative(URL, PreviousPath, Path);
        return;
    }
    AnsiString Rest = URL;
    const size_t scheme = URL.find("://");
    if (scheme != AnsiString::npos && scheme < URL.find_first_of("/?")) {
        Proto = URL.substr(0, scheme);
        Rest = URL.substr(scheme + 3);
    } else if (StartsWith(URL, "http:")) {
        Proto = "http";
        if (URL.size() < 7 || URL[6] != '/') {
            Path = URL.substr(5);
            return;
        }
        Rest = URL.substr(5);
    } else if (StartsWith(URL, "mailto:")) {
        Proto = "mailto";
        Rest = URL.substr(7);
    } else if (StartsWith(URL, "//")) {
        Rest = URL.substr(2);
    } else if (URL[0] == '/') {
        Proto = "http";
        Path = URL;
        return;
    }
    ParseAuthorityAndPath(Rest, User, Pass, Host, Port, Path);
}

AnsiString RFC1123_Date(TDateTime aDate) {
    static const char* const Weekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto dayNumber = static_cast<int64_t>(std::trunc(aDate));
    int64_t ms = std::llround(std::fabs(aDate - static_cast<double>(dayNumber)) *
                              static_cast<double>(MillisecondsPerDay));
    if (ms >= MillisecondsPerDay)
        ms = MillisecondsPerDay - 1;
    const CivilDate date = CivilFromDays(dayNumber - DaysFrom1899To1970);
    const int64_t seconds = ms / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %2.2d %s %4.4d %2.2d:%2.2d:%2.2d",
                  Weekdays[((dayNumber - 2) % 7 + 7) % 7], date.day, Months[date.month - 1],
                  date.year, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return text;
}

AnsiString EncodeLine(THttpEncoding Encoding, const char* SrcData, int Size) {
    const auto* data = reinterpret_cast<const unsigned char*>(SrcData);
    if (Size < 0)
        Size = 0;
    return Encoding == encUUEncode ? UUEncode(data, Size) : Base64(data, Size);
}

AnsiString EncodeStr(THttpEncoding Encoding, const AnsiString& Value) {
    return EncodeLine(Encoding, Value.data(), static_cast<int>(Value.size()));
}

int Posn(const AnsiString& s, const AnsiString& t, int Count) {
    if (s.empty() || Count == 0)
        return 0;
    if (Count > 0) {
        size_t at = t.find(s);
        for (int i = 1; i < Count && at != AnsiString::npos; ++i)
            at = t.find(s, at + 1);
        return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
    }
    if (s.size() > t.size())
        return 0;
    size_t at = t.rfind(s);
    for (int i = -1; i > Count && at != AnsiString::npos; --i)
        at = at == 0 ? AnsiString::npos : t.rfind(s, at - 1);
    return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString ReplaceExt(const AnsiString& FName, const AnsiString& newExt) {
    const size_t dot = FName.rfind('.');
    return (dot == AnsiString::npos ? FName : FName.substr(0, dot)) + "." + newExt;
}
