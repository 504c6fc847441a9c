#pragma once
// Resource modules in place of Windows DLLs: graphics packs with bitmaps by
// name and a string table, and built-in modules whose procedures are looked
// up by name (kernel32 and, later, wsock32.dll).
//
// A graphics pack file (gfx0.dll ...) is a Qt binary resource file, written
// by `rcc --binary --no-compress`, holding:
//   bitmaps/<name>  one PNG image per bitmap resource; names in lower case
//                   ("background", "white12", "digit7", ...)
//   strings         the string table: UTF-8 text, one entry per line,
//                   "<id><TAB><text>" with id a decimal number 0..65535;
//                   lines end with LF; an empty line is allowed
// A file that is missing, not such a resource file, has compressed entries,
// or whose string table does not parse is not a valid pack. Packs are read
// into memory and checked entry by entry before Qt sees them, so a damaged
// file is refused instead of crashing the reader. Each loaded pack is
// registered under its own resource root, so several packs (or the same pack
// twice, each load its own handle) can be open at once.

#include <map>

#include "platform/vcl/SysUtils.h"
#include "platform/win32/WinTypes.h"

class QImage;

// A file path of a pack, or the name of a built-in module (compared without
// regard to case, ".dll" optional: "kernel32", "KERNEL32.DLL"). Returns
// nullptr when the file is missing or not a valid pack.
HINSTANCE LoadLibraryA(LPCSTR fileName);
// Releases a pack; its handle is invalid afterwards. Built-in modules stay
// loaded. FALSE for a handle that is not loaded.
BOOL FreeLibrary(HINSTANCE module);
// Copies at most bufferMax - 1 bytes of string `id` plus a terminating 0 and
// returns the number of bytes copied. A missing or empty string, an unknown
// handle or bufferMax < 1 returns 0; the buffer then holds the empty text
// (when it has room for it).
int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int bufferMax);
// A procedure of a built-in module by name; nullptr for packs and unknown
// names. Cast the result to the procedure's type.
void* GetProcAddress(HINSTANCE module, LPCSTR procName);

// The named bitmap of a pack (name compared without regard to case), or a
// null QImage when the handle is not a loaded pack or holds no such bitmap
// (or its image data does not decode).
QImage FindBitmapResource(HINSTANCE module, const AnsiString& name);

// Built-in modules: a name (compared as LoadLibraryA compares it: any case,
// ".dll" optional) and its procedures by name. Registering a name again
// replaces its procedures; handles already handed out stay valid. This layer
// registers "kernel32" with GetLongPathNameA (platform/win32/WinBase.h); the
// socket layer adds "wsock32.dll" the same way.
using ProcedureTable = std::map<AnsiString, void*>;
void RegisterBuiltinModule(const AnsiString& name, const ProcedureTable& procedures);
