#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/win32/HiveFile.h"
#include "tests/support/ScopedEnv.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<fs::path> DamagedCopies(const fs::path& hive) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(hive.parent_path()))
        if (entry.path().filename().string().rfind("registry.damaged-", 0) == 0)
            found.push_back(entry.path());
    return found;
}

// Sets value `name` of key "k" to `data`.
bool SetValue(RegistryHive& hive, const std::string& name, const std::string& data) {
    return hive.Create({"k"}).SetValue(name, REG_SZ, data);
}

// Sets "a" and "b" of key "k" to the same data in one change.
bool SetPair(RegistryHive& hive, const std::string& data) {
    const bool a = SetValue(hive, "a", data);
    const bool b = SetValue(hive, "b", data);
    return a || b;
}

std::string HiveWithValue(const std::string& data) {
    return "Korvel registry 1\n[k]\n\"a\"=\"" + data + "\"\n";
}

// The ways another copy of the program, or a person, changes the hive.
void WriteFromAnotherProcess(const fs::path&, const std::string& data) {
    const pid_t writer = fork();
    if (writer == 0) {
        HiveFile().Update([&](RegistryHive& h) { return SetValue(h, "a", data); });
        _exit(0);
    }
    int status = 0;
    waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

void ReplaceWithAFileOfTheSameSize(const fs::path& hive, const std::string& data) {
    const fs::path other = hive.string() + ".other";
    WriteText(other, HiveWithValue(data));
    fs::rename(other, hive);
}

// Keeps the file (and its inode); the editor saves a second after the last
// read, as a person would.
void EditInPlace(const fs::path& hive, const std::string& data) {
    struct stat info;
    ASSERT_EQ(::stat(hive.c_str(), &info), 0);
    std::fstream(hive, std::ios::in | std::ios::out | std::ios::binary) << HiveWithValue(data);
    const timespec later[2] = {info.st_atim, {info.st_mtim.tv_sec + 1, info.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, hive.c_str(), later, 0), 0);
}

class HiveFileTest : public testing::Test {
protected:
    const fs::path hive = fs::path(std::getenv("XDG_CONFIG_HOME")) / "Korvel" / "registry";
};

TEST_F(HiveFileTest, LiesInTheConfigFolderAndStartsOnTheFirstChange) {
    EXPECT_EQ(HiveFile().Path(), hive.string());
    EXPECT_TRUE(HiveFile().Read()->Root().Subkeys().empty());
    EXPECT_FALSE(fs::exists(hive));

    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "a", "1"); });
    EXPECT_TRUE(fs::exists(hive));
    EXPECT_TRUE(fs::exists(hive.string() + ".lock"));
    EXPECT_FALSE(fs::exists(hive.string() + ".new"));
    EXPECT_EQ(fs::status(hive).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(HiveFile().Read()->Find({"K"})->FindValue("A")->Data, "1");
}

TEST_F(HiveFileTest, FallsBackToTheHomeFolderWithoutAnAbsoluteConfigHome) {
    const ScopedEnv home("HOME", "/home/someone");
    const ScopedEnv configHome("XDG_CONFIG_HOME", nullptr);
    for (const char* value : {"", "relative/path"}) {
        configHome.Set(value);
        EXPECT_EQ(HiveFile().Path(), "/home/someone/.config/Korvel/registry") << value;
    }
}

TEST_F(HiveFileTest, AnUnchangedHiveIsNotRewritten) {
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "a", "1"); });
    const auto inode = [&] {
        struct stat info;
        ::stat(hive.c_str(), &info);
        return info.st_ino;
    };
    const auto before = inode();
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "A", "1"); });
    EXPECT_EQ(inode(), before);
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "A", "2"); });
    EXPECT_NE(inode(), before);
}

TEST_F(HiveFileTest, AnUnchangedHiveIsParsedOnceAndAHeldSnapshotStays) {
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "a", "1"); });
    const auto first = HiveFile().Read();
    EXPECT_EQ(HiveFile().Read(), first);
    EXPECT_EQ(HiveFile(hive.string()).Read(), first);
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "a", "2"); });
    const auto second = HiveFile().Read();
    EXPECT_NE(second, first);
    EXPECT_EQ(first->Find({"k"})->FindValue("a")->Data, "1");
    EXPECT_EQ(second->Find({"k"})->FindValue("a")->Data, "2");
}

TEST_F(HiveFileTest, AChangeByAnotherWriterIsSeenAtTheNextRead) {
    struct Writer {
        const char* name;
        void (*write)(const fs::path& hive, const std::string& data);
    };
    const Writer writers[] = {
        {"another process", WriteFromAnotherProcess},
        {"a file of the same size put in place", ReplaceWithAFileOfTheSameSize},
        {"an edit in place", EditInPlace},
    };
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "a", "v00"); });
    int version = 0;
    for (const Writer& writer : writers)
        // Every version has the same size, and many fall within one tick
        // of the file system's clock.
        for (int i = 0; i < 20; ++i) {
            const std::string data = "v" + std::to_string(10 + version++ % 90);
            writer.write(hive, data);
            EXPECT_EQ(HiveFile().Read()->Find({"k"})->FindValue("a")->Data, data) << writer.name;
        }
}

TEST_F(HiveFileTest, AHiveTooLargeToReadIsSetAsideUnread) {
    WriteText(hive, HiveWithValue("1"));
    fs::resize_file(hive, HiveFile::MaxHiveBytes + 1);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(HiveFile().Read()->Root().Subkeys().empty());
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("larger than 64 MB"), std::string::npos) << messages;
    const auto copies = DamagedCopies(hive);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(fs::file_size(copies[0]), HiveFile::MaxHiveBytes + 1);
    EXPECT_NO_THROW(RegistryHive::Parse(ReadText(hive)));
}

TEST_F(HiveFileTest, ADamagedHiveIsSetAsideAndAFreshOneStarted) {
    const std::string damaged = "Korvel registry 1\n[k]\n\"a\"=\"unterminated\n";
    WriteText(hive, damaged);

    testing::internal::CaptureStderr();
    const auto read = HiveFile().Read();
    const auto again = HiveFile().Read();
    const std::string messages = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(read->Root().Subkeys().empty());
    EXPECT_TRUE(again->Root().Subkeys().empty());
    const auto copies = DamagedCopies(hive);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadText(copies[0]), damaged);
    EXPECT_NO_THROW(RegistryHive::Parse(ReadText(hive)));
    // Said once, naming both files.
    EXPECT_EQ(messages.find("registry.damaged-"), messages.rfind("registry.damaged-"));
    EXPECT_NE(messages.find(hive.string()), std::string::npos) << messages;
    EXPECT_NE(messages.find(copies[0].string()), std::string::npos) << messages;
}

TEST_F(HiveFileTest, AChangeToADamagedHiveKeepsTheOldFileAndTheChange) {
    WriteText(hive, "not a hive at all");
    testing::internal::CaptureStderr();
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "a", "1"); });
    WriteText(hive, "still not a hive");
    HiveFile().Update([](RegistryHive& h) { return SetValue(h, "b", "2"); });
    testing::internal::GetCapturedStderr();

    const auto copies = DamagedCopies(hive);
    ASSERT_EQ(copies.size(), 2u); // both set aside, neither overwritten
    EXPECT_NE(ReadText(copies[0]), ReadText(copies[1]));
    EXPECT_EQ(HiveFile().Read()->Find({"k"})->FindValue("b")->Data, "2");
}

TEST_F(HiveFileTest, AHiveThatCannotBeReadRaisesAndIsLeftAlone) {
    fs::create_directories(hive); // a folder where the file should be
    EXPECT_THROW(HiveFile().Read(), HiveFileError);
    EXPECT_THROW(HiveFile().Update([](RegistryHive&) { return true; }), HiveFileError);
    EXPECT_TRUE(fs::is_directory(hive));
    EXPECT_TRUE(DamagedCopies(hive).empty());
}

// A writer replaces the hive again and again with two values that always
// agree; a reader in another process must only ever see whole versions.
TEST_F(HiveFileTest, ReadersSeeWholeVersionsWhileAnotherProcessWrites) {
    HiveFile().Update([](RegistryHive& h) { return SetPair(h, "0"); });
    const std::string padding(20000, 'x');
    const pid_t writer = fork();
    if (writer == 0) {
        for (int i = 1; i <= 200; ++i)
            HiveFile().Update(
                [&](RegistryHive& h) { return SetPair(h, std::to_string(i) + padding); });
        _exit(0);
    }
    int torn = 0;
    for (int i = 0; i < 400; ++i) {
        const auto snapshot = HiveFile().Read();
        const RegistryKey* key = snapshot->Find({"k"});
        if (!key || key->FindValue("a")->Data != key->FindValue("b")->Data)
            ++torn;
    }
    int status = 0;
    waitpid(writer, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(torn, 0);
    EXPECT_TRUE(DamagedCopies(hive).empty());
    EXPECT_EQ(HiveFile().Read()->Find({"k"})->FindValue("a")->Data, "200" + padding);
}

} // namespace
