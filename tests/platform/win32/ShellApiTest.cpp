#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "platform/win32/ShellApi.h"
#include "tests/support/ScopedEnv.h"

namespace {

namespace fs = std::filesystem;

intptr_t Code(HINSTANCE result) {
    return reinterpret_cast<intptr_t>(result);
}

// A stand-in for the desktop's opener: it writes the folder it runs in and
// its arguments, one per line, to "args". While a pipe "go" exists it first
// waits for a line from it.
class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder);
        std::ofstream(opener) << "#!/bin/sh\n"
                                 "dir=$(dirname \"$0\")\n"
                                 "if [ -p \"$dir/go\" ]; then read line < \"$dir/go\"; fi\n"
                                 "{ pwd; printf '%s\\n' \"$@\"; } > \"$dir/args.tmp\"\n"
                                 "mv \"$dir/args.tmp\" \"$dir/args\"\n";
        fs::permissions(opener, fs::perms::owner_all);
        openCommand.Set(opener.c_str());
    }

    // The lines the opener wrote: its folder, then its arguments.
    std::vector<std::string> Recorded() const {
        const fs::path args = folder / "args";
        for (int i = 0; i < 2000 && !fs::exists(args); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream file(args);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }

    const fs::path folder = fs::path(std::getenv("XDG_CONFIG_HOME")) / "shell";
    const fs::path opener = folder / "opener";
    const ScopedEnv openCommand{"KORVEL_OPEN_COMMAND", nullptr};
};

TEST_F(ShellTest, AnAddressGoesToTheOpenerWithoutWaitingForIt) {
    ASSERT_EQ(mkfifo((folder / "go").c_str(), 0600), 0);
    const char* address = "http://127.0.0.1:9/tell-a-friend?name=A%20B&x=1";
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWDEFAULT)), 32);
    // The opener still waits for its go: the call did not wait for it.
    EXPECT_FALSE(fs::exists(folder / "args"));
    std::ofstream(folder / "go") << "go\n";
    const auto lines = Recorded();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], address);
}

TEST_F(ShellTest, TheOpenerOfAPageIsFoundAndStartedWithTheAddress) {
    const fs::path page = folder / "temp.html";
    std::ofstream(page) << "<HTML></HTML>\r\n";
    char found[MAX_PATH] = "";
    EXPECT_GT(Code(FindExecutableA(page.c_str(), nullptr, found)), 32);
    EXPECT_EQ(found, fs::canonical(opener).string());

    const char* address = "http://127.0.0.1:9/page";
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", found, address, nullptr, SW_SHOWNORMAL)), 32);
    const auto lines = Recorded();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], address);
}

TEST_F(ShellTest, AProgramGetsItsParametersAndRunsInTheFolderGiven) {
    const fs::path work = folder / "work";
    fs::create_directory(work);
    EXPECT_GT(Code(ShellExecuteA(nullptr, nullptr, opener.c_str(), "one \"two three\"  four",
                                 work.c_str(), SW_SHOWNORMAL)),
              32);
    const std::vector<std::string> expected = {fs::canonical(work).string(), "one", "two three",
                                               "four"};
    EXPECT_EQ(Recorded(), expected);
}

TEST_F(ShellTest, ADocumentGoesToTheOpenerByItsFullPath) {
    std::ofstream(folder / "page.html") << "<HTML></HTML>";
    EXPECT_GT(
        Code(ShellExecuteA(nullptr, "OPEN", "page.html", nullptr, folder.c_str(), SW_SHOWDEFAULT)),
        32);
    const auto lines = Recorded();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], fs::canonical(folder / "page.html").string());
}

TEST_F(ShellTest, FailuresGiveTheShellsCodes) {
    const fs::path page = folder / "temp.html";
    std::ofstream(page) << "<HTML></HTML>";
    const fs::path broken = folder / "broken";
    std::ofstream(broken) << "\x7f\x01 not a program";
    fs::permissions(broken, fs::perms::owner_all);
    char found[MAX_PATH] = "x";

    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", (folder / "missing.html").c_str(), nullptr,
                                 nullptr, SW_SHOWDEFAULT)),
              SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, SW_SHOWDEFAULT)),
              SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "print", page.c_str(), nullptr, nullptr, 1)),
              SE_ERR_NOASSOC);
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", opener.c_str(), nullptr,
                                 (folder / "no-folder").c_str(), 1)),
              SE_ERR_PNF);
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", broken.c_str(), nullptr, nullptr, 1)),
              SE_ERR_ACCESSDENIED);
    EXPECT_EQ(Code(FindExecutableA((folder / "missing.html").c_str(), nullptr, found)), SE_ERR_FNF);
    EXPECT_STREQ(found, "");

    openCommand.Set("no-such-opener-for-korvel");
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "http://127.0.0.1:9/", nullptr, nullptr, 10)),
              SE_ERR_NOASSOC);
    EXPECT_EQ(Code(FindExecutableA(page.c_str(), nullptr, found)), SE_ERR_NOASSOC);
    EXPECT_STREQ(found, "");
    EXPECT_FALSE(fs::exists(folder / "args"));
}

} // namespace
