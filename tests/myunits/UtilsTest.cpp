#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/utsname.h>

#include "myunits/Utils.h"
#include "platform/vcl/Classes.h"
#include "platform/win32/Resources.h"
#include "platform/win32/WinBase.h"
#include "platform/win32/WinReg.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

void WriteRegistryString(HKEY root, const char* path, const char* name, const AnsiString& text);

TEST(UtilsTest, VersionTextIsOneDotZeroZero) {
    EXPECT_EQ(GetVersionString(), "1.00");
}

// The folder of the program file that the platform reports, with every
// link resolved.
AnsiString ReportedProgramFolder() {
    char path[PATH_MAX] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return fs::canonical(path).parent_path().string() + "/";
}

TEST(UtilsTest, ProgramDirIsTheFolderOfTheRunningProgram) {
    EXPECT_EQ(GetProgramDir(), ReportedProgramFolder());
}

// Without the long-path conversion the installation folder stands in for
// the program's, when there is one.
TEST(UtilsTest, ProgramDirWithoutLongPathsFallsBackToTheInstallFolder) {
    RegisterBuiltinModule("kernel32", {});
    const AnsiString programFolder = ReportedProgramFolder();
    EXPECT_EQ(GetProgramDir(), programFolder);
    const TempFolder install("installed");
    WriteRegistryString(HKEY_CURRENT_USER, "Software\\Vorlane\\Korvel", "InstallPath",
                        install.Path());
    EXPECT_EQ(GetProgramDir(), install.Path());
    RegisterBuiltinModule("kernel32",
                          {{"GetLongPathNameA", reinterpret_cast<void*>(&GetLongPathNameA)}});
    EXPECT_EQ(GetProgramDir(), programFolder);
}

TEST(UtilsTest, TempDirIsTheTemporaryFolderWithItsSlash) {
    ScopedEnv tmpdir("TMPDIR", "/var/tmp");
    EXPECT_EQ(GetTempDir(), "/var/tmp/");
}

void WriteRegistryString(HKEY root, const char* path, const char* name, const AnsiString& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteRegistryDword(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(UtilsTest, InstallPathWinsOnlyWhenItNamesAFolder) {
    const AnsiString current = fs::current_path().string() + "/";
    EXPECT_EQ(GetInstallPathOrCurrentDir(), current);
    WriteRegistryString(HKEY_CURRENT_USER, "Software\\Vorlane\\Korvel", "InstallPath",
                        "/no/such/folder");
    EXPECT_EQ(GetInstallPathOrCurrentDir(), current);
    const TempFolder folder("install");
    WriteRegistryString(HKEY_CURRENT_USER, "Software\\Vorlane\\Korvel", "InstallPath",
                        folder.Path());
    EXPECT_EQ(GetInstallPathOrCurrentDir(), folder.Path());
}

TEST(UtilsTest, RegistryReadersGiveNeutralResultsForWhatIsMissing) {
    WriteRegistryString(HKEY_CURRENT_USER, "Software\\Test\\Readers", "Text", "a text");
    WriteRegistryDword(HKEY_CURRENT_USER, "Software\\Test\\Readers", "Number", 0xFFFFFFFE);
    const struct {
        const char* path;
        const char* name;
        AnsiString text;
        int number;
    } cases[] = {
        {"Software\\Test\\Readers", "Text", "a text", 0},
        {"software\\test\\readers", "text", "a text", 0},
        {"Software\\Test\\Readers", "Number", "", -2},
        {"Software\\Test\\Readers", "Missing", "", 0},
        {"Software\\Test\\Nothing", "Text", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + std::string("/") + c.name);
        EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, c.path, c.name), c.text);
        EXPECT_EQ(ReadRegistryInteger(HKEY_CURRENT_USER, c.path, c.name), c.number);
    }
    // Reading never creates the key.
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Test\\Nothing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST(UtilsTest, VolumeSerialIsTheHomeDisksNumber) {
    DWORD serial = 0;
    if (!GetVolumeInformationA("c:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
        serial = 0;
    EXPECT_EQ(GetVolumeSerial(), serial);
    EXPECT_EQ(SetErrorMode(0), 0u); // the previous mode was put back
}

// A line is its fixed text with one decimal number where "#" stands.
bool LineMatches(const std::string& line, const std::string& pattern) {
    const size_t hash = pattern.find('#');
    if (hash == std::string::npos)
        return line == pattern;
    const std::string head = pattern.substr(0, hash);
    const std::string tail = pattern.substr(hash + 1);
    if (line.size() <= head.size() + tail.size() || line.rfind(head, 0) != 0 ||
        line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string number = line.substr(head.size(), line.size() - head.size() - tail.size());
    return number.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "line without CR LF in " << text;
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(UtilsTest, SystemInfoTextHasItsLinesInOrderAndEndsWithAnEmptyLine) {
    utsname system{};
    uname(&system);
    const std::string os = std::string(system.sysname) + " " + system.release;
    for (const bool omitColor : {true, false}) {
        SCOPED_TRACE(omitColor);
        std::vector<std::string> expected = {
            " Version: Korvel 1.00",
            " Free Disk Space: # MB",
            " Color Resolution: # BPP",
            " OS Version: " + os,
            " Physical RAM: #MB",
            " Current RAM Load: #%",
            "CPU",
            "",
        };
        if (omitColor)
            expected.erase(expected.begin() + 2);
        const std::vector<std::string> lines = CrLfLines(GetSystemInfoText(omitColor));
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            if (expected[i] == "CPU") {
                EXPECT_EQ(lines[i].rfind(" CPU: ", 0), 0u) << lines[i];
                EXPECT_EQ(lines[i].substr(lines[i].size() - 5), " MHz ") << lines[i];
            } else {
                EXPECT_TRUE(LineMatches(lines[i], expected[i])) << lines[i];
            }
        }
    }
    EXPECT_EQ(GetOSName(), os);
    int code = 0;
    GetOSVersionText(code);
    EXPECT_EQ(code, 7);
}

TEST(UtilsTest, FreeDiskSpaceIsReadForTheProgramFolder) {
    ULARGE_INTEGER available{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(GetProgramDir().c_str(), &available, nullptr, nullptr));
    EXPECT_NEAR(GetFreeDiskSpaceMB(), static_cast<double>(available.QuadPart / 1048576), 64);
}

TEST(UtilsTest, EncodeURLParametersEncodesOnlyValues) {
    const struct {
        AnsiString in, out;
    } cases[] = {
        {"a=b c&d=e=f", "a=b%20c&d=e%3Df"},
        {"x=_~", "x=_%7E"},
        {"http://host/page?name one=v/1", "http://host/page?name one=v%2F1"},
        {"k=\xC3\xA4", "k=%C3%A4"},
        {"k=AZaz09[]^`", "k=AZaz09[]^`"},
        {"no parameters at all", "no parameters at all"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeURLParameters(c.in), c.out) << c.in;
}

TEST(UtilsTest, EmailAddressPlausibility) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"a@b.cd", true},   {"ab@c.de", true}, {"a.b@cdef", true},
        {"@ab.cde", false}, {"a@b.c", false},  {"ab@cdef", false},
        {"abc@de.", false}, {"abcdef", false}, {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidEmailAddress(c.text), c.valid) << c.text;
}

TEST(UtilsTest, StrToFloatAcceptsEitherSeparator) {
    const struct {
        const char* text;
        int decimals;
        float value;
    } cases[] = {
        {"1,5", 2, 1.5f},
        {"1.5", 2, 1.5f},
        {"1.2345", 2, 1.23f},
        {"-1.5", 2, -1.5f},
        {"-0.25", 2, -0.25f},
        {"7.", 2, 7.0f},
        {"12", 2, 12.0f},
        {"", 2, 0.0f},
        {"abc", 2, 0.0f},
        {"1.2x", 2, 0.0f},
        {".5", 2, 0.0f},
        {"1,000.5", 2, 0.0f},
        {"1.000,5", 2, 0.0f},
        {"1.49", 2, 1.49f},
        {"0.100000001490116", 20, 0.1f},
        {"3.14159265358979323846", 20, 3.14159265f},
        {"135040608501760", 2, 135040608501760.0f},
        {"-9876543210.5", 2, -9876543210.5f},
        {" 2.5", 2, 2.5f},
        {"+2.5", 2, 2.5f},
        {"-", 2, 0.0f},
        {"$10", 2, 0.0f},
        {"1e5", 2, 0.0f},
        {"1.-5", 2, 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToFloatAnySeparator(c.text, c.decimals), c.value) << c.text;
}

TEST(UtilsTest, ExtractBetweenIgnoresCaseOfDelimitersOnly) {
    const struct {
        const char* text;
        const char* start;
        const char* end;
        const char* result;
    } cases[] = {
        {"12 \"Hello\" rest", "\"", "\"", "Hello"},
        {"x<TAG>Mixed Case</TAG>", "<tag>", "</tag>", "Mixed Case"},
        {"VERSION=1.00;", "version=", ";", "1.00"},
        {"no end \"here", "\"", "\"", ""},
        {"no start here", "[", "]", ""},
        {"\"\"", "\"", "\"", ""},
        {"<a>b", "<a>", "a>", ""},
        {"text", "", "x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractBetween(c.text, c.start, c.end), c.result) << c.text;
}

TEST(UtilsTest, ReplaceAllDoesNotRescanReplacements) {
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("\\\\n", "\\\\", "\\"), "\\n");
    EXPECT_EQ(ReplaceAll("AbAb", "ab", "x"), "AbAb");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceChar("a-b-c", '-', '+'), "a+b+c");
}

TEST(UtilsTest, TextFilesAreLinesWithCrLf) {
    const TempFolder folder("utils");
    const AnsiString file = folder.File("utils-text.txt");
    EXPECT_EQ(LoadTextFile(file + ".missing"), "");
    SaveTextFile(file, "one\ntwo\r\nthree");
    EXPECT_EQ(folder.Read("utils-text.txt"), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(LoadTextFile(file), "one\r\ntwo\r\nthree\r\n");
    EXPECT_THROW(SaveTextFile(folder.File("no/such/folder/x.txt"), "x"), EFCreateError);
}

} // namespace
