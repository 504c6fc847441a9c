#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>

#include "platform/win32/WinBase.h"
#include "platform/win32/WinGdi.h"
#include "tests/support/ScopedEnv.h"

namespace {

namespace fs = std::filesystem;

TEST(SystemInfo, TheTemporaryFolderEndsWithASlash) {
    struct Case {
        const char* tmpdir;
        const char* expected;
    };
    for (const Case& c :
         {Case{"/var/tmp/korvel", "/var/tmp/korvel/"}, Case{"/scratch/", "/scratch/"},
          Case{"", "/tmp/"}, Case{nullptr, "/tmp/"}}) {
        ScopedEnv tmpdir("TMPDIR", c.tmpdir);
        char buffer[MAX_PATH];
        EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), std::strlen(c.expected));
        EXPECT_STREQ(buffer, c.expected);
    }
}

TEST(SystemInfo, ShortBuffersGetTheSizeNeededAndStayUntouched) {
    ScopedEnv tmpdir("TMPDIR", "/var/tmp");
    char buffer[4] = "abc";
    EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 10u); // "/var/tmp/" and its NUL
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), fs::current_path().string().size() + 1);
    EXPECT_EQ(GetLongPathNameA("/tmp", nullptr, 0), fs::canonical("/tmp").string().size() + 1);
}

TEST(SystemInfo, NamesTheProgramFileAndTheCurrentFolder) {
    char buffer[PATH_MAX];
    GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    const std::string testsProgram = buffer;
    SetModuleFileName("");
    const std::string program = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), program.size());
    EXPECT_EQ(buffer, program);
    // Cut to the buffer, as Windows does, with the buffer's size as result.
    char shortBuffer[8];
    EXPECT_EQ(GetModuleFileNameA(nullptr, shortBuffer, sizeof shortBuffer), 8u);
    EXPECT_EQ(std::string(shortBuffer), program.substr(0, 7));
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(16), buffer, sizeof buffer), 0u);
    // The test hook names another file until it is cleared again.
    SetModuleFileName("/opt/elsewhere/korvel");
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), 21u);
    EXPECT_STREQ(buffer, "/opt/elsewhere/korvel");
    SetModuleFileName("");
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), program.size());
    SetModuleFileName(testsProgram);

    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), fs::current_path().string().size());
    EXPECT_EQ(buffer, fs::current_path().string());
}

TEST(SystemInfo, LongPathsAreAbsoluteAndCanonical) {
    const fs::path home = std::getenv("XDG_CONFIG_HOME");
    fs::create_directories(home / "real" / "inner");
    fs::create_directory_symlink(home / "real", home / "link");
    const std::string tangled = (home / "link" / "inner" / ".." / "." / "inner").string();
    char buffer[PATH_MAX];
    const DWORD length = GetLongPathNameA(tangled.c_str(), buffer, sizeof buffer);
    const std::string expected = fs::canonical(home / "real" / "inner").string();
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(buffer, expected);
    EXPECT_EQ(GetLongPathNameA((home / "missing").c_str(), buffer, sizeof buffer), 0u);
}

TEST(SystemInfo, TheSystemIsANewerNtThatNamesItsKernel) {
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    const std::string kernel = std::string(names.sysname) + " " + names.release;
    const int major = std::atoi(names.release);
    const int minor = std::atoi(std::strchr(names.release, '.') + 1);

    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&extended)));
    EXPECT_EQ(extended.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GT(extended.dwMajorVersion, 5u);
    EXPECT_EQ(extended.dwBuildNumber, static_cast<DWORD>(major * 1000 + minor));
    EXPECT_EQ(extended.szCSDVersion, kernel);
    EXPECT_EQ(extended.wProductType, VER_NT_WORKSTATION);

    OSVERSIONINFOA plain{};
    plain.dwOSVersionInfoSize = sizeof plain;
    ASSERT_TRUE(GetVersionExA(&plain));
    EXPECT_EQ(plain.dwMajorVersion, extended.dwMajorVersion);
    EXPECT_EQ(plain.szCSDVersion, kernel);

    plain.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(GetVersionExA(&plain));
    EXPECT_FALSE(GetVersionExA(nullptr));
}

TEST(SystemInfo, MemoryStatusIsConsistent) {
    MEMORYSTATUS status{};
    GlobalMemoryStatus(&status);
    EXPECT_EQ(status.dwLength, sizeof status);
    EXPECT_GT(status.dwTotalPhys, SIZE_T{16} << 20);
    EXPECT_GT(status.dwAvailPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_LE(status.dwMemoryLoad, 100u);
    EXPECT_EQ(status.dwMemoryLoad,
              (status.dwTotalPhys - status.dwAvailPhys) * 100 / status.dwTotalPhys);
    EXPECT_GE(status.dwTotalPageFile, status.dwTotalPhys);
    EXPECT_LE(status.dwAvailVirtual, status.dwTotalVirtual);
}

TEST(SystemInfo, DriveCIsTheDiskOfTheHomeFolder) {
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("c:\\", &available, &total, &free));
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_LE(available.QuadPart, free.QuadPart);
    EXPECT_LE(free.QuadPart, total.QuadPart);
    ULARGE_INTEGER homeTotal{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(home, nullptr, &homeTotal, nullptr));
    EXPECT_EQ(homeTotal.QuadPart, total.QuadPart);
    EXPECT_FALSE(GetDiskFreeSpaceExA("d:\\", &available, nullptr, nullptr));
    EXPECT_FALSE(GetDiskFreeSpaceExA("\\\\server\\share", &available, nullptr, nullptr));
}

TEST(SystemInfo, TheVolumeSerialIsStableForEveryNameOfTheDisk) {
    DWORD serial = 0, length = 0, flags = 0;
    char fileSystem[64] = "";
    ASSERT_TRUE(GetVolumeInformationA("c:\\", nullptr, 0, &serial, &length, &flags, fileSystem,
                                      sizeof fileSystem));
    EXPECT_GT(length, 0u);
    EXPECT_TRUE(flags & FILE_CASE_PRESERVED_NAMES);
    for (const char* name : {"C:\\", "c:", static_cast<const char*>(std::getenv("HOME"))}) {
        DWORD again = 1;
        ASSERT_TRUE(GetVolumeInformationA(name, nullptr, 0, &again, nullptr, nullptr, nullptr, 0))
            << name;
        EXPECT_EQ(again, serial) << name;
    }
    char tiny[1];
    if (fileSystem[0]) {
        EXPECT_FALSE(GetVolumeInformationA("c:\\", nullptr, 0, &serial, nullptr, nullptr, tiny,
                                           sizeof tiny));
    }
}

TEST(SystemInfo, AVolumeThatCannotBeReadFails) {
    DWORD serial = 7;
    EXPECT_FALSE(GetVolumeInformationA("e:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
    ScopedEnv home("HOME", "/nonexistent/korvel-home");
    EXPECT_FALSE(GetVolumeInformationA("c:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
}

TEST(SystemInfo, TheErrorModeIsHandedBack) {
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(SetErrorMode(previous), SEM_FAILCRITICALERRORS);
}

TEST(SystemInfo, WithoutAGuiThereIsNoScreenDepth) {
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 0);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

} // namespace
