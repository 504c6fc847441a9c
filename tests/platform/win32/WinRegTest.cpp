#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/win32/RegistryHive.h"
#include "platform/win32/WinReg.h"
#include "tests/platform/win32/UserHive.h"

namespace {

namespace fs = std::filesystem;

const char* const GameKey = "software\\Hemlow\\rq8";
const char* const ProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

HKEY Create(HKEY base, const char* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(base, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    return key;
}

LONG SetText(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

LONG SetNumber(HKEY key, const char* name, DWORD number) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
}

// The text of a REG_SZ value, read with a buffer of exactly its size.
std::string QueryText(HKEY key, const char* name) {
    DWORD type = REG_NONE, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << name;
    EXPECT_EQ(type, REG_SZ);
    std::string data(size, '\0');
    EXPECT_EQ(
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(data.back(), '\0');
    data.pop_back();
    return data;
}

TEST(WinReg, MissingKeysAndValuesGiveWindowsCodes) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    HKEY game = Create(HKEY_CURRENT_USER, GameKey);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(game, "Version", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(game, "Version"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(game, "idata", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(game), ERROR_SUCCESS);

    // A closed handle is refused, never followed.
    EXPECT_EQ(RegCloseKey(game), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetText(game, "Version", "1.4"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(nullptr, "x", nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
}

TEST(WinReg, PathsAreCheckedAsWindowsChecksThem) {
    struct Case {
        const char* path;
        LONG result;
    };
    HKEY made = Create(HKEY_CURRENT_USER, GameKey);
    RegCloseKey(made);
    for (const Case& c :
         {Case{"\\software", ERROR_BAD_PATHNAME}, Case{"software\\\\Hemlow", ERROR_BAD_PATHNAME},
          Case{"\\", ERROR_BAD_PATHNAME}, Case{"software\\Hemlow\\rq8\\", ERROR_SUCCESS},
          Case{"", ERROR_SUCCESS}}) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, c.path, 0, KEY_READ, &key), c.result) << c.path;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, c.path, 0, nullptr, 0, KEY_READ, nullptr,
                                  &made, nullptr),
                  c.result)
            << c.path;
        RegCloseKey(key);
        RegCloseKey(made);
    }
}

// As deep as Windows lets keys nest, and no deeper: the hive must still
// read back.
TEST(WinReg, KeysNestAtMostMaxKeyDepthDeep) {
    std::string path = "k";
    for (size_t depth = 1; depth < MaxKeyDepth; ++depth)
        path += "\\k";
    HKEY deepest = Create(HKEY_CURRENT_USER, path.c_str());
    HKEY deeper = nullptr;
    EXPECT_EQ(RegCreateKeyExA(deepest, "one more", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deeper,
                              nullptr),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (path + "\\k").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &deeper, nullptr),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(SetText(deepest, "at the bottom", "yes"), ERROR_SUCCESS);
    EXPECT_NO_THROW(RegistryHive::Parse(HiveText()));
    EXPECT_EQ(QueryText(deepest, "at the bottom"), "yes");
    RegCloseKey(deepest);
}

TEST(WinReg, QueriesFollowTheBufferProtocol) {
    HKEY key = Create(HKEY_CURRENT_USER, GameKey);
    ASSERT_EQ(SetText(key, "0", "abc"), ERROR_SUCCESS);
    ASSERT_EQ(SetNumber(key, "n", 0xCAFE), ERROR_SUCCESS);

    DWORD type = REG_NONE, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "0", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 4u); // the text and its NUL
    char buffer[8] = "zzzzzzz";
    size = 3;
    EXPECT_EQ(RegQueryValueExA(key, "0", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key, "0", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(RegQueryValueExA(key, "0", nullptr, &type, reinterpret_cast<BYTE*>(buffer), nullptr),
              ERROR_INVALID_PARAMETER);

    DWORD number = 0;
    size = sizeof number;
    EXPECT_EQ(RegQueryValueExA(key, "N", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(number, 0xCAFEu);
    EXPECT_EQ(RegQueryValueExA(key, "n", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);

    // Only texts and 4-byte numbers are stored.
    const BYTE bytes[3] = {1, 2, 3};
    EXPECT_EQ(RegSetValueExA(key, "n", 0, REG_DWORD, bytes, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "b", 0, REG_BINARY, bytes, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "b", 0, REG_SZ, nullptr, 3), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST(WinReg, TextsKeepEveryByte) {
    using namespace std::string_literals;
    HKEY key = Create(HKEY_CURRENT_USER, GameKey);
    const std::vector<std::string> texts = {
        "", "1234:Zq\x07tBx", "nul\0in the middle"s, "\xff\x80\xc3(", "Grüße ✓", "\"\\\r\n"};
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string name = std::to_string(i);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(texts[i].data()),
                                 static_cast<DWORD>(texts[i].size())),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
    RegOpenKeyExA(HKEY_CURRENT_USER, GameKey, 0, KEY_READ, &key);
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(QueryText(key, std::to_string(i).c_str()), texts[i]) << i;
    RegCloseKey(key);
    EXPECT_NE(HiveText().find("\"1\"=\"1234:Zq\\x07tBx\"\n"), std::string::npos) << HiveText();
}

TEST(WinReg, KeysAndValuesMatchWithoutCaseAndKeepTheCaseFirstWritten) {
    HKEY key = Create(HKEY_CURRENT_USER, GameKey);
    DWORD disposition = 0;
    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\hemlow\\RQ8", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(SetText(key, "Version", "1.3"), ERROR_SUCCESS);
    EXPECT_EQ(SetText(again, "VERSION", "1.4"), ERROR_SUCCESS);
    EXPECT_EQ(QueryText(key, "version"), "1.4");
    HKEY proxy = nullptr;
    ASSERT_EQ(RegCreateKeyExA(again, "Proxy", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &proxy,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    for (HKEY open : {key, again, proxy})
        RegCloseKey(open);

    const std::string text = HiveText();
    EXPECT_NE(text.find("[software\\Hemlow\\rq8]\n\"Version\"=\"1.4\"\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("[software\\Hemlow\\rq8\\Proxy]\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("VERSION"), std::string::npos);
    EXPECT_EQ(text.find("RQ8"), std::string::npos);
}

TEST(WinReg, ReadOnlyHandlesRefuseWrites) {
    RegCloseKey(Create(HKEY_CURRENT_USER, GameKey));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, GameKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetText(key, "Version", "1.4"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(key, "Version"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, GameKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetText(key, "Version", "1.4"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "Version", nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    RegCloseKey(key);
}

TEST(WinReg, AKeyRemovedFromTheFileWhileOpenIsReportedDeleted) {
    HKEY key = Create(HKEY_CURRENT_USER, GameKey);
    ASSERT_EQ(SetText(key, "Version", "1.4"), ERROR_SUCCESS);
    std::ofstream(HivePath()) << "Korvel registry 1\n[Other]\n";
    EXPECT_EQ(RegQueryValueExA(key, "Version", nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(SetText(key, "Version", "1.4"), ERROR_KEY_DELETED);
    EXPECT_NE(HiveText().find("[Other]"), std::string::npos);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST(WinReg, AHiveThatCannotBeReadGivesAnIoFailure) {
    fs::create_directories(HivePath());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, GameKey, 0, KEY_READ, &key),
              ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, GameKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(key, nullptr);
}

TEST(WinReg, TheLocalMachineOffersTheProcessorReadOnly) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProcessorKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_FALSE(QueryText(key, "ProcessorNameString").empty());
    EXPECT_FALSE(QueryText(key, "Identifier").empty());
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::ostringstream text;
    text << cpuinfo.rdbuf();
    if (text.str().find("cpu MHz") != std::string::npos) {
        DWORD type = REG_NONE, mhz = 0, size = sizeof mhz;
        EXPECT_EQ(
            RegQueryValueExA(key, "~MHz", nullptr, &type, reinterpret_cast<BYTE*>(&mhz), &size),
            ERROR_SUCCESS);
        EXPECT_EQ(type, REG_DWORD);
        EXPECT_GT(mhz, 0u);
    }
    EXPECT_EQ(SetText(key, "Identifier", "x"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);

    HKEY other = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "hardware\\description", 0, KEY_READ, &other),
              ERROR_SUCCESS);
    RegCloseKey(other);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_READ,
                            &other),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProcessorKey, 0, KEY_ALL_ACCESS, &other),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\x", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &other, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_FALSE(fs::exists(HivePath()));
}

// Two copies of the game write different values of one key at the same
// time, each value in its own read-modify-write: none may be lost.
TEST(WinReg, TwoProcessesWritingAtOnceKeepAllTheirValues) {
    constexpr int Writes = 150;
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> writers;
    for (const char* prefix : {"a", "b"}) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(start[1]);
            char go;
            if (read(start[0], &go, 1) != 0)
                _exit(2);
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, GameKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr) != ERROR_SUCCESS)
                _exit(3);
            for (int i = 0; i < Writes; ++i) {
                const std::string name = prefix + std::to_string(i);
                if (SetText(key, name.c_str(), name + " written") != ERROR_SUCCESS)
                    _exit(4);
            }
            _exit(0);
        }
        writers.push_back(pid);
    }
    close(start[0]);
    close(start[1]); // both start now
    for (const pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, GameKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    int missing = 0;
    for (const char* prefix : {"a", "b"})
        for (int i = 0; i < Writes; ++i) {
            const std::string name = prefix + std::to_string(i);
            if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                ++missing;
        }
    RegCloseKey(key);
    EXPECT_EQ(missing, 0);
}

} // namespace
