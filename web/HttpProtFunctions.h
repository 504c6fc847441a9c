#pragma once
// The HTTP client's free functions: splitting a URL, the date of an
// If-Modified-Since line, Base64 and uuencode, and two small text helpers.

#include "platform/vcl/SysUtils.h"

// Days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;

enum THttpEncoding { encUUEncode, encBase64, encMime };

// Splits URL into its parts; every output starts empty. A URL beginning
// with "./" or "../" is relative to the directory of Path's previous value
// and gives only Path.
void ParseURL(const AnsiString& URL, AnsiString& Proto, AnsiString& User, AnsiString& Pass,
              AnsiString& Host, AnsiString& Port, AnsiString& Path);
// "Sun, 06 Nov 1994 08:49:37", taken as it stands (the caller appends " GMT").
AnsiString RFC1123_Date(TDateTime aDate);
// Base64 (both encBase64 and encMime) without line breaks, or one
// uuencoded line.
AnsiString EncodeLine(THttpEncoding Encoding, const char* SrcData, int Size);
AnsiString EncodeStr(THttpEncoding Encoding, const AnsiString& Value);
// The 1-based position of the Count-th occurrence of s in t, counted from
// the start, or from the end when Count is negative; 0 when there are
// fewer.
int Posn(const AnsiString& s, const AnsiString& t, int Count);
// Replaces what follows the last "." (or appends "." and the extension).
AnsiString ReplaceExt(const AnsiString& FName, const AnsiString& newExt);
