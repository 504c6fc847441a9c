#pragma once
// The shell's "open" of Windows: documents and web addresses go to the
// desktop's opener (xdg-open), programs are started. Neither call waits for
// what it starts: it returns once the program runs.
//
// The opener is the program named by the environment variable
// KORVEL_OPEN_COMMAND (a name looked up in PATH, or a path), "xdg-open"
// when it is unset; tests point it at a program of their own so that no
// browser opens.
//
// Results are as Windows gives them: a value above 32 on success, else one
// of the SE_ERR_ codes; compare `reinterpret_cast<intptr_t>(result) > 32`.

#include "platform/win32/WinTypes.h"

constexpr int SE_ERR_FNF = 2;          // the file does not exist
constexpr int SE_ERR_PNF = 3;          // the folder does not exist
constexpr int SE_ERR_ACCESSDENIED = 5; // the program cannot be started
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_NOASSOC = 31; // no opener, or a verb other than "open"

// operation: "open" or null. file: a web address ("scheme://..." or
// "mailto:..."), an existing document, or an executable program given by
// its path; a relative path is taken in `directory` when one is given.
// parameters (programs only): split at blanks, "..." keeps blanks.
// directory: the folder the started program runs in (null: this one).
// showCommand is accepted and not used.
HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, int showCommand);

// The program that opens an existing document: the opener's full path, in
// `result` (MAX_PATH characters).
HINSTANCE FindExecutableA(LPCSTR file, LPCSTR directory, LPSTR result);
