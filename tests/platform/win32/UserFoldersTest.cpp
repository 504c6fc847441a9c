// The user's state and data folders from the environment, and which
// folders take new files.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/win32/UserFolders.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScopedReadOnly.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

struct BaseCase {
    const char* variable;
    std::string (*folder)();
    const char* underHome;
};

struct ValueCase {
    const char* value; // null: unset
    bool taken;        // the value itself, else the default under $HOME
};

class UserBaseFolderTest : public testing::TestWithParam<std::tuple<BaseCase, ValueCase>> {};

TEST_P(UserBaseFolderTest, AnAbsoluteVariableNamesTheFolderAnythingElseGivesTheDefault) {
    const auto& [base, value] = GetParam();
    const ScopedEnv home("HOME", "/home/ann");
    const ScopedEnv variable(base.variable, value.value);
    EXPECT_EQ(base.folder(), value.taken ? value.value : std::string("/home/ann") + base.underHome);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, UserBaseFolderTest,
    testing::Combine(testing::Values(BaseCase{"XDG_STATE_HOME", UserStateHome, "/.local/state"},
                                     BaseCase{"XDG_DATA_HOME", UserDataHome, "/.local/share"}),
                     testing::Values(ValueCase{"/srv/ann/xdg", true}, ValueCase{"", false},
                                     ValueCase{"relative/xdg", false}, ValueCase{nullptr, false})));

TEST(UserFoldersTest, WithoutHomeTheDefaultLiesInTheAccountsHome) {
    const ScopedEnv home("HOME", nullptr);
    const ScopedEnv variable("XDG_STATE_HOME", nullptr);
    const std::string folder = UserStateHome();
    EXPECT_EQ(folder.front(), '/');
    EXPECT_TRUE(folder.ends_with("/.local/state"));
}

TEST(UserFoldersTest, AFolderTakesFilesUntilItIsMadeReadOnly) {
    const TempFolder temp;
    EXPECT_TRUE(FolderIsWritable(temp.Path()));
    {
        // Also for root, whom the system would let write.
        const ScopedReadOnly readOnly(temp.Path());
        EXPECT_FALSE(FolderIsWritable(temp.Path()));
    }
    EXPECT_TRUE(FolderIsWritable(temp.Path()));
}

TEST(UserFoldersTest, MissingFoldersAndFilesTakeNothing) {
    const TempFolder temp;
    temp.Write("file", "x");
    EXPECT_FALSE(FolderIsWritable(temp.File("missing")));
    EXPECT_FALSE(FolderIsWritable(temp.File("file")));
    EXPECT_FALSE(FolderIsWritable(temp.File("file/")));
}

TEST(UserFoldersTest, CreatesMissingParentsPrivateToTheUser) {
    const TempFolder temp;
    const std::string folder = temp.File("a/b/Korvel");
    ASSERT_TRUE(CreateUserFolder(folder));
    EXPECT_TRUE(fs::is_directory(folder));
    for (const std::string& made : {temp.File("a"), temp.File("a/b"), folder}) {
        struct stat info {};
        ASSERT_EQ(::stat(made.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
    EXPECT_TRUE(CreateUserFolder(folder)) << "an existing folder is fine";
}

TEST(UserFoldersTest, AFolderThatCannotBeMadeIsReported) {
    const TempFolder temp;
    temp.Write("file", "x");
    EXPECT_FALSE(CreateUserFolder(temp.File("file/Korvel")));
    EXPECT_FALSE(CreateUserFolder(temp.File("file")));
}

} // namespace
