#pragma once
// The registry functions of Windows as the program calls them.
//
// HKEY_CURRENT_USER lives in one text hive per user (see RegistryHive.h for
// its format and HiveFile.h for where it lies and how it is written):
// every change is a read-modify-write of the whole hive under a lock, and
// the file is replaced atomically, so two copies of the game writing at the
// same time keep each other's changes. Changes made inside a RegistryBatch
// (RegistryBatch.h) reach the file together. Keys nest at most MaxKeyDepth
// deep: creating a deeper one is ERROR_BAD_PATHNAME. Key paths and value names are
// compared without regard to the letters' case; the case first written is
// kept. Paths use "\" between keys; "a\\b" and a leading "\" are
// ERROR_BAD_PATHNAME, a trailing "\" is ignored.
//
// HKEY_LOCAL_MACHINE is read-only and holds only the key
// "HARDWARE\DESCRIPTION\System\CentralProcessor\0" (and the keys above it)
// with the values "ProcessorNameString", "Identifier" (REG_SZ) and "~MHz"
// (REG_DWORD), read from /proc/cpuinfo. Other roots give
// ERROR_INVALID_HANDLE.
//
// Value types: REG_SZ (any bytes; a terminating NUL handed to
// RegSetValueExA is dropped, and RegQueryValueExA hands one back) and
// REG_DWORD (exactly 4 bytes). Other types give ERROR_INVALID_PARAMETER.
//
// Results: ERROR_SUCCESS; ERROR_FILE_NOT_FOUND for a missing key or value;
// ERROR_MORE_DATA (with the size needed) for a short buffer;
// ERROR_ACCESS_DENIED for a write through a read-only handle or to
// HKEY_LOCAL_MACHINE; ERROR_INVALID_HANDLE for a closed or unknown handle;
// ERROR_KEY_DELETED when an open key vanished from the hive (edited by
// hand); ERROR_REGISTRY_IO_FAILED when the hive cannot be read or written.

#include "platform/win32/WinTypes.h"

// Dispositions of RegCreateKeyExA.
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
// Options of RegCreateKeyExA (every key is stored).
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM desired, const void* securityAttributes, PHKEY result,
                     LPDWORD disposition);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
LONG RegCloseKey(HKEY key);
