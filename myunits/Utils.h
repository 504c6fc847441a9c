#pragma once
// The shared free functions: where the program lives, the version text, the
// system report of the log, registry readers, the volume serial number,
// opening a web address, and text and number conversions. None keeps state.
// Folder names returned here end with "/".

#include "platform/vcl/SysUtils.h"
#include "platform/win32/WinTypes.h"

AnsiString GetProgramDir();
AnsiString GetInstallPathOrCurrentDir();
AnsiString GetTempDir();

// The files the program writes, by where they go when the program folder
// cannot be written (an installed game): the log to $XDG_STATE_HOME/Korvel/,
// records kept between runs (posted scores, a saved game) to
// $XDG_DATA_HOME/Korvel/, pages made for the moment to the temporary folder.
enum class WrittenFile { Log, Kept, Temporary };
// The folder for such a file: the program folder while it takes new files
// (a build folder, a copy in the user's home), else the user's folder for
// the kind, created when missing. Files are read back from the same place.
AnsiString GetWriteDir(WrittenFile kind);
AnsiString GetVersionString();
AnsiString GetSystemInfoText(bool omitColorLine);
// The operating system's name; `code` gets the system's number (7 other).
AnsiString GetOSVersionText(int& code);
AnsiString GetOSName();
int GetFreeDiskSpaceMB();
int GetColorDepth();
DWORD GetVolumeSerial();

AnsiString ReadRegistryString(HKEY root, const AnsiString& keyPath, const AnsiString& valueName);
int ReadRegistryInteger(HKEY root, const AnsiString& keyPath, const AnsiString& valueName);

void OpenURLInBrowser(const AnsiString& address, bool silent);
// Percent-encodes the values of the name=value pairs of a URL's parameters.
AnsiString EncodeURLParameters(const AnsiString& text);

bool IsValidEmailAddress(const AnsiString& text);
// "." or "," as the separator whatever the locale; invalid text gives 0.0.
float StrToFloatAnySeparator(const AnsiString& text, int maxDecimals);
AnsiString ExtractBetween(const AnsiString& text, const AnsiString& startDelimiter,
                          const AnsiString& endDelimiter);
AnsiString ReplaceAll(const AnsiString& text, const AnsiString& oldText, const AnsiString& newText);
AnsiString ReplaceChar(const AnsiString& text, char oldChar, char newChar);
// Lines joined with CR LF; "" when the file does not exist.
AnsiString LoadTextFile(const AnsiString& fileName);
void SaveTextFile(const AnsiString& fileName, const AnsiString& text);
