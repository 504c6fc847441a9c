#include "platform/win32/WinBase.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

// Hands a text out as Windows does: its length when it fits with its NUL,
// otherwise the size it needs.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer || text.size() + 1 > size)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

bool ReadLink(const char* path, std::string& target) {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path, buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
        return false;
    target.assign(buffer.data(), static_cast<size_t>(length));
    return true;
}

// The leading decimal number of a text, and the text after it.
DWORD LeadingNumber(std::string_view& text) {
    DWORD number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return error == std::errc() ? number : 0;
}

// "6.1.0-18-amd64" gives 6001.
DWORD BuildNumber(const char* release) {
    std::string_view text(release);
    const DWORD major = LeadingNumber(text);
    DWORD minor = 0;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        minor = LeadingNumber(text);
    }
    return (major * 1000 + minor) & 0xFFFF;
}

// A "Name: number kB" line of /proc/meminfo in bytes; 0 when missing.
uint64_t MemInfoBytes(const std::string& name) {
    std::ifstream file("/proc/meminfo");
    std::string line;
    while (std::getline(file, line))
        if (line.compare(0, name.size() + 1, name + ":") == 0)
            return std::strtoull(line.c_str() + name.size() + 1, nullptr, 10) * 1024;
    return 0;
}

uint64_t ProcessSizeBytes() {
    std::ifstream file("/proc/self/statm");
    uint64_t pages = 0;
    file >> pages;
    return pages * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
}

uint64_t AddressSpaceBytes() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return limit.rlim_cur;
    return sizeof(void*) == 8 ? uint64_t{1} << 47 : uint64_t{3} << 30;
}

// Never destroyed: code that runs at exit may still ask for the program file.
std::string& ModuleFileOverride() {
    static std::string* const path = new std::string;
    return *path;
}

std::atomic<UINT>& ErrorMode() {
    static std::atomic<UINT> mode{0};
    return mode;
}

} // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    std::string path = ModuleFileOverride();
    if (module || !buffer || size == 0 || (path.empty() && !ReadLink("/proc/self/exe", path)))
        return 0;
    const size_t length = std::min<size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), length);
    buffer[length] = '\0';
    return path.size() < size ? static_cast<DWORD>(length) : size;
}

void SetModuleFileName(const std::string& path) {
    ModuleFileOverride() = path;
}

DWORD GetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD size) {
    if (!shortPath)
        return 0;
    char* resolved = ::realpath(shortPath, nullptr);
    if (!resolved)
        return 0;
    const std::string path(resolved);
    std::free(resolved);
    return CopyOut(path, longPath, size);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    char* current = ::getcwd(nullptr, 0);
    if (!current)
        return 0;
    const std::string path(current);
    std::free(current);
    return CopyOut(path, buffer, size);
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = (tmp && tmp[0]) ? tmp : "/tmp";
    if (path.back() != '/')
        path += '/';
    return CopyOut(path, buffer, size);
}

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
    if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                  info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA)))
        return FALSE;
    utsname names{};
    if (::uname(&names) != 0)
        return FALSE;
    info->dwMajorVersion = 10;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = BuildNumber(names.release);
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    const std::string system = std::string(names.sysname) + " " + names.release;
    const size_t length = std::min(system.size(), sizeof info->szCSDVersion - 1);
    std::memcpy(info->szCSDVersion, system.data(), length);
    info->szCSDVersion[length] = '\0';
    if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) {
        auto* extended = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        extended->wServicePackMajor = 0;
        extended->wServicePackMinor = 0;
        extended->wSuiteMask = 0;
        extended->wProductType = VER_NT_WORKSTATION;
        extended->wReserved = 0;
    }
    return TRUE;
}

void GlobalMemoryStatus(LPMEMORYSTATUS status) {
    if (!status)
        return;
    struct sysinfo system {};
    ::sysinfo(&system);
    const uint64_t unit = system.mem_unit ? system.mem_unit : 1;
    const uint64_t total = system.totalram * unit;
    // Memory the system can hand out without swapping, page cache included.
    uint64_t available = MemInfoBytes("MemAvailable");
    if (available == 0 || available > total)
        available = (system.freeram + system.bufferram) * unit;
    const uint64_t addressSpace = AddressSpaceBytes();
    const uint64_t used = std::min(ProcessSizeBytes(), addressSpace);
    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwMemoryLoad = total ? static_cast<DWORD>((total - available) * 100 / total) : 0;
    status->dwTotalPhys = total;
    status->dwAvailPhys = available;
    status->dwTotalPageFile = total + system.totalswap * unit;
    status->dwAvailPageFile = available + system.freeswap * unit;
    status->dwTotalVirtual = addressSpace;
    status->dwAvailVirtual = addressSpace - used;
}

UINT SetErrorMode(UINT mode) {
    return ErrorMode().exchange(mode);
}
