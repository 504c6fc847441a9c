// Changes of the current user's registry gathered in a batch: one replace
// of the hive at the end, the batch's own reads seeing its changes, nothing
// lost when it ends by an exception or cannot be written, and another copy
// of the program that writes meanwhile keeping its change.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/win32/RegistryBatch.h"
#include "platform/win32/WinReg.h"
#include "tests/platform/win32/UserHive.h"

namespace {

namespace fs = std::filesystem;

const char* const GameKey = "software\\Hemlow\\rq8";

ino_t HiveInode() {
    struct stat info;
    EXPECT_EQ(::stat(HivePath().c_str(), &info), 0);
    return info.st_ino;
}

class RegistryBatchTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, GameKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(Set("before", "0"), ERROR_SUCCESS);
    }
    void TearDown() override { RegCloseKey(key); }

    LONG Set(const std::string& name, const std::string& text) const {
        return RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1));
    }
    // The text of a value, or "<missing>".
    std::string Get(const std::string& name) const {
        char data[64];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                             &size) != ERROR_SUCCESS)
            return "<missing>";
        return std::string(data, size - 1);
    }

    HKEY key = nullptr;
};

TEST_F(RegistryBatchTest, TheChangesReachTheFileTogetherWhenTheOutermostBatchEnds) {
    const ino_t before = HiveInode();
    const std::string textBefore = HiveText();
    {
        const RegistryBatch batch;
        for (int i = 0; i < 40; ++i) {
            const std::string name = "v" + std::to_string(i);
            ASSERT_EQ(Set(name, name + " written"), ERROR_SUCCESS);
            EXPECT_EQ(Get(name), name + " written");
        }
        EXPECT_EQ(RegDeleteValueA(key, "before"), ERROR_SUCCESS);
        EXPECT_EQ(Get("before"), "<missing>");
        {
            const RegistryBatch inner;
            HKEY sub = nullptr;
            ASSERT_EQ(
                RegCreateKeyExA(key, "sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
                ERROR_SUCCESS);
            RegCloseKey(sub);
        }
        // Nothing of it is in the file yet.
        EXPECT_EQ(HiveInode(), before);
        EXPECT_EQ(HiveText(), textBefore);
    }
    EXPECT_NE(HiveInode(), before);
    const std::string text = HiveText();
    for (int i = 0; i < 40; ++i)
        EXPECT_NE(
            text.find("\"v" + std::to_string(i) + "\"=\"v" + std::to_string(i) + " written\""),
            std::string::npos)
            << i;
    EXPECT_EQ(text.find("\"before\""), std::string::npos);
    EXPECT_NE(text.find("[software\\Hemlow\\rq8\\sub]"), std::string::npos);
}

TEST_F(RegistryBatchTest, EndingByAnExceptionWritesWhatWasChanged) {
    try {
        const RegistryBatch batch;
        ASSERT_EQ(Set("a", "1"), ERROR_SUCCESS);
        throw std::runtime_error("the caller gave up");
    } catch (const std::runtime_error&) {
    }
    EXPECT_NE(HiveText().find("\"a\"=\"1\""), std::string::npos);
    EXPECT_EQ(Get("a"), "1");
}

// The replace cannot make its new file: the hive keeps what it had, and
// what the batch changed is neither read back nor half written.
TEST_F(RegistryBatchTest, AHiveThatCannotBeWrittenKeepsWhatItHad) {
    const std::string textBefore = HiveText();
    const fs::path obstacle = HivePath().string() + ".new";
    fs::create_directory(obstacle);
    {
        const RegistryBatch batch;
        EXPECT_EQ(Set("before", "changed"), ERROR_SUCCESS);
        EXPECT_EQ(Set("b", "2"), ERROR_SUCCESS);
    }
    EXPECT_EQ(HiveText(), textBefore);
    EXPECT_EQ(Get("before"), "0");
    EXPECT_EQ(Get("b"), "<missing>");
    EXPECT_EQ(Set("b", "2"), ERROR_REGISTRY_IO_FAILED) << "without a batch as well";

    fs::remove(obstacle);
    {
        const RegistryBatch batch;
        EXPECT_EQ(Set("b", "2"), ERROR_SUCCESS);
    }
    EXPECT_EQ(Get("b"), "2");
    EXPECT_EQ(Get("before"), "0");
}

// The other copy is told to write only once the batch holds the hive: it
// waits for the batch's end and then adds its change to the batch's.
TEST_F(RegistryBatchTest, AnotherCopyWritingMeanwhileKeepsItsChange) {
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t other = fork();
    if (other == 0) {
        close(go[1]);
        char byte;
        if (read(go[0], &byte, 1) != 1)
            _exit(2);
        _exit(Set("other", "x") == ERROR_SUCCESS ? 0 : 3);
    }
    close(go[0]);
    {
        const RegistryBatch batch;
        EXPECT_EQ(Set("mine", "1"), ERROR_SUCCESS);
        ASSERT_EQ(write(go[1], "g", 1), 1);
        EXPECT_EQ(Set("mine too", "2"), ERROR_SUCCESS);
    }
    close(go[1]);
    int status = 0;
    waitpid(other, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Get("mine"), "1");
    EXPECT_EQ(Get("mine too"), "2");
    EXPECT_EQ(Get("other"), "x");
}

} // namespace
