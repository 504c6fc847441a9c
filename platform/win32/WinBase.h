#pragma once
// The system information functions of Windows that the program calls.
// Folders are this platform's: "/" separates them, and the ones Windows
// hands out with a trailing separator (GetTempPathA) end with "/".
//
// The functions that fill a buffer answer as Windows does: the length
// without the terminating NUL on success; when the buffer is too small,
// the size it needs including the NUL (and the buffer is left alone); 0 on
// failure.

#include <string>

#include "platform/win32/WinTypes.h"

// The running program's file (/proc/self/exe); `module` must be null. A
// short buffer gets the path cut to size - 1 characters and the result is
// `size`.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// The test hook: GetModuleFileNameA reports `path` instead, so a test runs
// the program from a folder of its own and never writes beside its binary;
// "" reports the real file again.
void SetModuleFileName(const std::string& path);

// The path made absolute with every link and "." or ".." resolved; 0 when
// the path does not exist.
DWORD GetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD size);

// The current folder, without a trailing "/" (except for "/" itself).
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);

// $TMPDIR when set, else "/tmp"; always with a trailing "/".
DWORD GetTempPathA(DWORD size, LPSTR buffer);

// Platform ids and product types of the version records.
constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr BYTE VER_NT_WORKSTATION = 1;
constexpr BYTE VER_NT_DOMAIN_CONTROLLER = 2;
constexpr BYTE VER_NT_SERVER = 3;
constexpr WORD VER_SUITE_ENTERPRISE = 0x0002;
constexpr WORD VER_SUITE_DATACENTER = 0x0080;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
using LPOSVERSIONINFOA = OSVERSIONINFOA*;

struct OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
static_assert(sizeof(OSVERSIONINFOA) == 148 && sizeof(OSVERSIONINFOEXA) == 156);

// This platform is an NT-family system, version 10.0, newer than every
// edition the program names. The build number is the kernel's release
// (major x 1000 + minor: 6.1 gives 6001) and szCSDVersion its name and
// release as uname gives them ("Linux 6.1.0-18-amd64"), so the system can
// be named. dwOSVersionInfoSize must be the size of either record (148 or
// 156); otherwise the call fails (FALSE).
BOOL GetVersionExA(LPOSVERSIONINFOA info);

struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad; // percent of the physical memory in use
    SIZE_T dwTotalPhys;
    SIZE_T dwAvailPhys;
    SIZE_T dwTotalPageFile;
    SIZE_T dwAvailPageFile;
    SIZE_T dwTotalVirtual;
    SIZE_T dwAvailVirtual;
};
using LPMEMORYSTATUS = MEMORYSTATUS*;

// Physical memory and swap from sysinfo; the virtual address space of
// this process from its limit and its current size.
void GlobalMemoryStatus(LPMEMORYSTATUS status);

union ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    uint64_t QuadPart;
};
using PULARGE_INTEGER = ULARGE_INTEGER*;

// Volume paths: "c:\" (any letter case, with or without the "\") stands
// for the disk that holds the home folder; an absolute path for the disk
// that holds it. Other drive letters do not exist.

// Bytes free for this user, all bytes and all free bytes of the disk
// (statvfs); any of the three may be null.
BOOL GetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeBytesAvailable,
                         PULARGE_INTEGER totalBytes, PULARGE_INTEGER totalFreeBytes);

// File system flags of GetVolumeInformationA.
constexpr DWORD FILE_CASE_SENSITIVE_SEARCH = 0x00000001;
constexpr DWORD FILE_CASE_PRESERVED_NAMES = 0x00000002;
constexpr DWORD FILE_READ_ONLY_VOLUME = 0x00080000;

// The disk's serial number, stable between runs: folded from the file
// system's UUID when the system names one, else from statvfs's f_fsid
// (0 when neither is known). The volume name is the file system's label
// or "", the file system name its type ("ext4"). Any output may be null;
// an output buffer too small for its text makes the call fail.
BOOL GetVolumeInformationA(LPCSTR rootPath, LPSTR volumeName, DWORD volumeNameSize,
                           LPDWORD serialNumber, LPDWORD maximumComponentLength,
                           LPDWORD fileSystemFlags, LPSTR fileSystemName, DWORD fileSystemNameSize);

// Error modes: this platform shows no system error dialogs, so the mode
// is only kept and handed back.
constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOGPFAULTERRORBOX = 0x0002;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;

// Sets the process's error mode and returns the previous one.
UINT SetErrorMode(UINT mode);
