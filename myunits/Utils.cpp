#include "myunits/Utils.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <vector>

#include "myunits/LANGUAGE.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/Resources.h"
#include "platform/win32/ShellApi.h"
#include "platform/win32/UserFolders.h"
#include "platform/win32/WinBase.h"
#include "platform/win32/WinGdi.h"
#include "platform/win32/WinReg.h"

namespace {

// The version read digit by digit in base 8: 144 is 100, "1.00".
constexpr int VersionConstant = 144;
const AnsiString ProductTitle = "Korvel";
const AnsiString MakerKey = "Software\\Vorlane\\Korvel";
const AnsiString ProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr int64_t Megabyte = 1048576;

AnsiString WithSlash(const AnsiString& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

// The extended record first, then the plain one; false when both fail.
bool ReadVersion(OSVERSIONINFOEXA& info, bool& extended) {
    info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    extended = GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&info));
    if (extended)
        return true;
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&info));
}

AnsiString InstallPath() {
    return ReadRegistryString(HKEY_CURRENT_USER, MakerKey, "InstallPath");
}

AnsiString ModulePath() {
    char path[MAX_PATH + 1] = {};
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0)
        return program_invocation_name;
    return path;
}

using GetLongPathNameProc = DWORD (*)(LPCSTR, LPSTR, DWORD);

AnsiString LongModulePath(const AnsiString& modulePath) {
    HINSTANCE kernel = LoadLibraryA("kernel32");
    const auto getLongPathName =
        kernel ? reinterpret_cast<GetLongPathNameProc>(GetProcAddress(kernel, "GetLongPathNameA"))
               : nullptr;
    char longPath[MAX_PATH + 1] = {};
    const DWORD length =
        getLongPathName ? getLongPathName(modulePath.c_str(), longPath, MAX_PATH) : 0;
    if (kernel)
        FreeLibrary(kernel);
    if (length > 0 && length < MAX_PATH)
        return longPath;
    const AnsiString install = InstallPath();
    return DirectoryExists(install) ? WithSlash(install) : modulePath;
}

AnsiString WindowsNineXText(const OSVERSIONINFOEXA& info, int& code) {
    const char servicePack = info.szCSDVersion[1];
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 0) {
        code = 1;
        return AnsiString("Microsoft Windows 95 ") +
               (servicePack == 'C' || servicePack == 'B' ? "OSR2 " : "");
    }
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 10) {
        code = 2;
        return AnsiString("Microsoft Windows 98 ") + (servicePack == 'A' ? "SE " : "");
    }
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 90) {
        code = 3;
        return "Microsoft Windows Millennium Edition ";
    }
    return "";
}

AnsiString ProductTypeText() {
    const AnsiString type = UpperCase(ReadRegistryString(
        HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType"));
    if (type == "WINNT")
        return "Professional ";
    if (type == "LANMANNT")
        return "Server ";
    if (type == "SERVERNT")
        return "Advanced Server ";
    return "";
}

AnsiString ProductText(const OSVERSIONINFOEXA& info, int& code) {
    const bool xpVersion = info.dwMajorVersion == 5 && info.dwMinorVersion == 1;
    if (info.wProductType == VER_NT_WORKSTATION) {
        if (!xpVersion)
            return "";
        code = 6;
        return "Microsoft Windows XP ";
    }
    AnsiString text = xpVersion ? "Microsoft Windows .NET " : "";
    if (info.wSuiteMask & VER_SUITE_DATACENTER)
        text += "DataCenter Server ";
    else if (info.wSuiteMask & VER_SUITE_ENTERPRISE)
        text += info.dwMajorVersion != 4 ? "Enterprise Server " : "Advanced Server ";
    return text;
}

AnsiString WindowsNTText(const OSVERSIONINFOEXA& info, bool extended, int& code) {
    // Systems later than every edition named here (this platform among
    // them) name themselves in the version record: kernel name and release.
    if (info.dwMajorVersion >= 6)
        return info.szCSDVersion;
    AnsiString text;
    if (info.dwMajorVersion < 5) {
        text = "Microsoft Windows NT ";
        code = 4;
    } else if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) {
        text = "Microsoft Windows 2000 ";
        code = 5;
    }
    text += extended ? ProductText(info, code) : ProductTypeText();
    return text + IntToStr(info.dwBuildNumber & 0xFFFF);
}

// The value of a run of decimal digits, however long.
long double DecimalDigits(const AnsiString& digits) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != AnsiString::npos)
        throw EConvertError("'" + digits + "' is not a valid number");
    long double value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// Blanks, an optional sign, decimal digits: the magnitude, and the sign in
// `negative` (so "-0" keeps its sign for the fraction that follows).
long double SignedDecimal(const AnsiString& text, bool& negative) {
    size_t first = text.find_first_not_of(' ');
    if (first == AnsiString::npos)
        throw EConvertError("empty number");
    negative = text[first] == '-';
    if (text[first] == '-' || text[first] == '+')
        ++first;
    return DecimalDigits(text.substr(first));
}

AnsiString Hex2(unsigned char byte) {
    static const char Digits[] = "0123456789ABCDEF";
    return AnsiString{Digits[byte >> 4], Digits[byte & 15]};
}

bool OpenThroughRedirectPage(const AnsiString& address) {
    const AnsiString page = GetWriteDir(WrittenFile::Temporary) + "temp.html";
    try {
        SaveTextFile(page, "<HTML><HEAD><meta http-equiv=\"refresh\" content=\"0;URL=" + address +
                               "\"></HEAD></HTML>");
    } catch (const Exception&) {
        return false;
    }
    char browser[MAX_PATH + 1] = {};
    const auto found = reinterpret_cast<intptr_t>(FindExecutableA(page.c_str(), nullptr, browser));
    if (found <= 32 || browser[0] == '\0')
        return false;
    const auto started = reinterpret_cast<intptr_t>(
        ShellExecuteA(nullptr, "open", browser, address.c_str(), nullptr, SW_SHOWNORMAL));
    return started > 32;
}

} // namespace

AnsiString GetProgramDir() {
    OSVERSIONINFOEXA info;
    bool extended = false;
    if (!ReadVersion(info, extended) ||
        (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion < 5) ||
        (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMajorVersion == 4 &&
         info.dwMinorVersion == 0))
        return GetInstallPathOrCurrentDir();
    const AnsiString path = LongModulePath(ModulePath());
    const size_t slash = path.rfind('/');
    return (slash == AnsiString::npos ? AnsiString() : path.substr(0, slash)) + "/";
}

AnsiString GetInstallPathOrCurrentDir() {
    const AnsiString install = InstallPath();
    if (DirectoryExists(install))
        return WithSlash(install);
    char current[1024 + 1] = {};
    const DWORD length = GetCurrentDirectoryA(1024, current);
    return WithSlash(length > 0 && length < 1024 ? AnsiString(current) : AnsiString());
}

AnsiString GetTempDir() {
    const DWORD needed = GetTempPathA(0, nullptr);
    std::vector<char> buffer(needed + 1);
    const DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
    return length > 0 && length < buffer.size() ? AnsiString(buffer.data(), length) : AnsiString();
}

AnsiString GetWriteDir(WrittenFile kind) {
    const AnsiString program = GetProgramDir();
    if (FolderIsWritable(program))
        return program;
    if (kind == WrittenFile::Temporary)
        return GetTempDir();
    const AnsiString folder =
        (kind == WrittenFile::Log ? UserStateHome() : UserDataHome()) + "/" + ProductTitle;
    CreateUserFolder(folder);
    return folder + "/";
}

AnsiString GetVersionString() {
    int number = 0;
    int weight = 1;
    for (int digits = VersionConstant; digits > 0; digits /= 10, weight *= 8)
        number += digits % 10 * weight;
    const int minor = number % 100;
    return IntToStr(number / 100) + "." + (minor < 10 ? "0" : "") + IntToStr(minor);
}

AnsiString GetSystemInfoText(bool omitColorLine) {
    MEMORYSTATUS memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    AnsiString text = " Version: " + ProductTitle + " " + GetVersionString() + "\r\n";
    text += " Free Disk Space: " + IntToStr(GetFreeDiskSpaceMB()) + " MB\r\n";
    if (!omitColorLine)
        text += " Color Resolution: " + IntToStr(GetColorDepth()) + " BPP\r\n";
    text += " OS Version: " + GetOSName() + "\r\n";
    text += " Physical RAM: " + IntToStr(static_cast<int64_t>(memory.dwTotalPhys / Megabyte)) +
            "MB\r\n";
    text += " Current RAM Load: " + IntToStr(memory.dwMemoryLoad) + "%\r\n";
    text += " CPU: " + ReadRegistryString(HKEY_LOCAL_MACHINE, ProcessorKey, "ProcessorNameString") +
            " " + ReadRegistryString(HKEY_LOCAL_MACHINE, ProcessorKey, "Identifier") + " " +
            IntToStr(ReadRegistryInteger(HKEY_LOCAL_MACHINE, ProcessorKey, "~MHz")) +
            " MHz \r\n\r\n";
    return text;
}

AnsiString GetOSVersionText(int& code) {
    code = 7;
    OSVERSIONINFOEXA info;
    bool extended = false;
    if (!ReadVersion(info, extended))
        return "";
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return WindowsNineXText(info, code);
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return WindowsNTText(info, extended, code);
    return "";
}

AnsiString GetOSName() {
    int code = 0;
    return GetOSVersionText(code);
}

// On this platform a folder lies on a disk when its path is absolute.
int GetFreeDiskSpaceMB() {
    const AnsiString folder = GetProgramDir();
    ULARGE_INTEGER available{};
    if (folder.empty() || folder[0] != '/' ||
        !GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr))
        return -1;
    return static_cast<int>(std::min<uint64_t>(available.QuadPart / Megabyte, INT_MAX));
}

int GetColorDepth() {
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return depth;
}

DWORD GetVolumeSerial() {
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD serial = 0;
    if (!GetVolumeInformationA("c:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
        serial = 0;
    SetErrorMode(previousMode);
    return serial;
}

AnsiString ReadRegistryString(HKEY root, const AnsiString& keyPath, const AnsiString& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    AnsiString text;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        std::vector<char> data(size + 1);
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                             reinterpret_cast<LPBYTE>(data.data()), &size) == ERROR_SUCCESS)
            text = AnsiString(data.data(), size > 0 && data[size - 1] == '\0' ? size - 1 : size);
    }
    RegCloseKey(key);
    return text;
}

int ReadRegistryInteger(HKEY root, const AnsiString& keyPath, const AnsiString& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const bool read = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                       reinterpret_cast<LPBYTE>(&value), &size) == ERROR_SUCCESS &&
                      type == REG_DWORD && size == sizeof value;
    RegCloseKey(key);
    return read ? static_cast<int32_t>(value) : 0;
}

void OpenURLInBrowser(const AnsiString& address, bool silent) {
    const AnsiString url = EncodeURLParameters(address);
    const auto opened = reinterpret_cast<intptr_t>(
        ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT));
    if (opened > 32 || OpenThroughRedirectPage(url) || silent)
        return;
    const AnsiString text =
        TMyLanguages::GetLanguageBase() == 2000
            ? "Ihr Webbrowser konnte leider nicht automatisch geöffnet werden. Bitte Starten Sie "
              "Ihren Webbrowser manuell und geben Sie folgende Adresse ein:"
            : "Your web browser could not be opened automatically. Please start your webbrowser "
              "manually and enter the following address:";
    Application->MessageBox(text + "\r\n" + url, "", MB_ICONSTOP);
}

AnsiString EncodeURLParameters(const AnsiString& text) {
    AnsiString encoded;
    bool inValue = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '&')
            inValue = false;
        const bool plain = (byte >= 'A' && byte <= 'z') || (byte >= '0' && byte <= '9');
        encoded += inValue && !plain ? "%" + Hex2(byte) : AnsiString(1, c);
        if (c == '=')
            inValue = true;
    }
    return encoded;
}

bool IsValidEmailAddress(const AnsiString& text) {
    const size_t at = text.find('@');
    const size_t dot = text.find('.');
    return at != AnsiString::npos && at >= 1 && text.size() > 5 && dot != AnsiString::npos &&
           dot != text.size() - 1;
}

float StrToFloatAnySeparator(const AnsiString& text, int maxDecimals) {
    if (text.empty())
        return 0.0f;
    const size_t dot = text.find('.');
    const size_t comma = text.find(',');
    const size_t separator = dot == AnsiString::npos     ? comma
                             : comma == AnsiString::npos ? dot
                                                         : std::max(dot, comma);
    try {
        bool negative = false;
        const long double integer = SignedDecimal(text.substr(0, separator), negative);
        const AnsiString digits =
            separator == AnsiString::npos
                ? AnsiString()
                : text.substr(separator + 1, static_cast<size_t>(std::max(0, maxDecimals)));
        const long double fraction =
            digits.empty() ? 0 : DecimalDigits(digits) / std::pow(10.0L, digits.size());
        const long double magnitude = integer + fraction;
        if (magnitude > FLT_MAX)
            return 0.0f;
        return static_cast<float>(negative ? -magnitude : magnitude);
    } catch (const EConvertError&) {
        return 0.0f;
    }
}

AnsiString ExtractBetween(const AnsiString& text, const AnsiString& startDelimiter,
                          const AnsiString& endDelimiter) {
    if (startDelimiter.empty() || endDelimiter.empty())
        return "";
    const AnsiString upperText = UpperCase(text);
    const size_t start = upperText.find(UpperCase(startDelimiter));
    if (start == AnsiString::npos)
        return "";
    const size_t end = upperText.find(UpperCase(endDelimiter), start + 1);
    const size_t from = start + startDelimiter.size();
    if (end == AnsiString::npos || end < from)
        return "";
    return text.substr(from, end - from);
}

AnsiString ReplaceAll(const AnsiString& text, const AnsiString& oldText,
                      const AnsiString& newText) {
    if (oldText.empty())
        return text;
    AnsiString result;
    size_t from = 0;
    for (size_t found; (found = text.find(oldText, from)) != AnsiString::npos;
         from = found + oldText.size())
        result += text.substr(from, found - from) + newText;
    return result + text.substr(from);
}

AnsiString ReplaceChar(const AnsiString& text, char oldChar, char newChar) {
    AnsiString result = text;
    std::replace(result.begin(), result.end(), oldChar, newChar);
    return result;
}

AnsiString LoadTextFile(const AnsiString& fileName) {
    if (!FileExists(fileName))
        return "";
    TStringList lines;
    lines.LoadFromFile(fileName);
    return lines.Text;
}

void SaveTextFile(const AnsiString& fileName, const AnsiString& text) {
    TStringList lines;
    lines.Text = text;
    lines.SaveToFile(fileName);
}
