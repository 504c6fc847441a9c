#pragma once
// The locale query of Windows, for the one item the program asks: the
// English name of the user's language.

#include "platform/win32/WinTypes.h"

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;

// LOCALE_USER_DEFAULT with LOCALE_SENGLANGUAGE: the English name of the
// language of the user's locale, the first one set of LC_ALL, LC_MESSAGES
// and LANG ("German" for every de_* locale, "English" for en_*, C, POSIX
// or none; a language the table does not know gives its code, "eo").
// Returns the characters written including the NUL; with size 0 the size
// needed; 0 when the buffer is too small or the locale or item is another.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size);
