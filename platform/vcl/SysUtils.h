#pragma once
// The class library's basic types and conversions: AnsiString is a byte
// string (UTF-8 text), exceptions carry a Message, numbers convert to and
// from decimal text.

#include <cstdint>
#include <exception>
#include <string>

using AnsiString = std::string;

class Exception : public std::exception {
public:
    explicit Exception(const AnsiString& message) : Message(message) {}
    const char* what() const noexcept override { return Message.c_str(); }

    AnsiString Message;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// Number formatting as the user's locale sets it.
struct TFormatSettings {
    char DecimalSeparator;
};
extern TFormatSettings FormatSettings;

AnsiString IntToStr(int64_t value);
// Decimal (optionally signed, leading blanks allowed) or "$"/"0x" hex text;
// anything else, or a value outside 32 bits, raises EConvertError.
int StrToInt(const AnsiString& text);
// The same conversion without an exception: false (and `value` untouched)
// for text that StrToInt refuses.
bool TryStrToInt(const AnsiString& text, int& value);
// General format: up to 15 significant digits, trailing zeros dropped,
// scientific notation below 1E-4 or at 1E15 and above.
AnsiString FloatToStr(long double value);

// Removes blanks and control characters (bytes up to 32) at both ends.
AnsiString Trim(const AnsiString& text);
// Change only the letters A to Z / a to z.
AnsiString UpperCase(const AnsiString& text);
AnsiString LowerCase(const AnsiString& text);

bool FileExists(const AnsiString& fileName);
bool DirectoryExists(const AnsiString& directory);
bool DeleteFile(const AnsiString& fileName);
// Everything up to and including the last "/".
AnsiString ExtractFilePath(const AnsiString& fileName);
// Everything after the last "/".
AnsiString ExtractFileName(const AnsiString& fileName);

// A broken internal rule: writes "Assertion failed: <text>" to standard
// error and stops the program.
void Assert(bool condition, const AnsiString& text);
