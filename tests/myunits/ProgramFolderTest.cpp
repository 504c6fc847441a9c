// Tests that write into the program folder (the log and the browser's
// redirect page).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "myunits/LANGUAGE.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/TLogFile.h"
#include "myunits/Utils.h"
#include "platform/vcl/TestHook.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScopedReadOnly.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

const AnsiString Rule = "-+++++++++++++++++++++++++++++++++++++++++++-";

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// The program folder is the test's own; the temporary folder too.
class ProgramFolderTest : public testing::Test {
protected:
    fs::path Log() const { return fs::path(programDir) / "log.txt"; }

    const AnsiString programDir = GetProgramDir();
    const TempFolder tempFolder{"temp"};
    const fs::path temp = tempFolder.Path();
    ScopedEnv tmpdir{"TMPDIR", tempFolder.Path().c_str()};
};

using LogFileTest = ProgramFolderTest;

// Title, "System: " with the system report (its own CR LF line ends and a
// closing empty line), the rule.
void ExpectHeaderAt(const std::vector<std::string>& lines, size_t first) {
    ASSERT_GE(lines.size(), first + 10);
    EXPECT_EQ(lines[first], "Korvel Logfile");
    EXPECT_EQ(lines[first + 1], "System:  Version: Korvel 1.00\r");
    EXPECT_EQ(lines[first + 2].rfind(" Free Disk Space: ", 0), 0u);
    EXPECT_EQ(lines[first + 3].rfind(" OS Version: ", 0), 0u);
    EXPECT_EQ(lines[first + 6].rfind(" CPU: ", 0), 0u);
    EXPECT_EQ(lines[first + 7], "\r"); // the report's closing empty line
    EXPECT_EQ(lines[first + 8], "");
    EXPECT_EQ(lines[first + 9], Rule);
}

TEST_F(LogFileTest, FirstLogBeginsWithTheHeader) {
    {
        TLogFile log;
        log.WriteLine("a line");
        log.Write("another");
    }
    const std::vector<std::string> lines = LinesOf(ReadAll(Log()));
    ExpectHeaderAt(lines, 0);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[10], "a line");
    EXPECT_EQ(lines[11], "another");
    EXPECT_EQ(ReadAll(Log()).back(), '\n');
    EXPECT_EQ(ReadAll(Log()).find("\r\n-+"), AnsiString::npos);
}

TEST_F(LogFileTest, KeepsTheLastFifteenHundredLines) {
    for (const int previous : {1499, 1500, 1501, 3000}) {
        SCOPED_TRACE(previous);
        {
            std::ofstream old(Log(), std::ios::binary);
            for (int i = 1; i <= previous; ++i)
                old << "old " << i << "\r\n";
        }
        { TLogFile log; }
        const std::vector<std::string> lines = LinesOf(ReadAll(Log()));
        const int kept = std::min(previous, 1500);
        ASSERT_GT(lines.size(), static_cast<size_t>(kept));
        EXPECT_EQ(lines[0], "old " + std::to_string(previous - kept + 1));
        EXPECT_EQ(lines[kept - 1], "old " + std::to_string(previous));
        ExpectHeaderAt(lines, static_cast<size_t>(kept));
    }
}

TEST_F(LogFileTest, HeaderLinesAreKeptAtTheNextStart) {
    { TLogFile log; }
    const size_t firstRun = LinesOf(ReadAll(Log())).size();
    { TLogFile log; }
    const std::vector<std::string> lines = LinesOf(ReadAll(Log()));
    EXPECT_EQ(lines.size(), 2 * firstRun);
    EXPECT_EQ(lines[0], "Korvel Logfile");
    EXPECT_EQ(lines[1], "System:  Version: Korvel 1.00"); // its CR now ends the line
    ExpectHeaderAt(lines, firstRun);
}

TEST_F(LogFileTest, FolderThatRefusesTheLogMovesItToTheTemporaryFolder) {
    fs::create_directory(Log()); // log.txt cannot be created where a folder stands
    {
        TLogFile log;
        log.WriteLine("in temp");
    }
    const std::vector<std::string> lines = LinesOf(ReadAll(temp / "log.txt"));
    ExpectHeaderAt(lines, 0);
    EXPECT_EQ(lines.back(), "in temp");
}

TEST_F(LogFileTest, ALogThatAnotherCopyHoldsIsLeftAloneAndTheLogGoesToTheTemporaryFolder) {
    TFileStream otherCopy(Log().string(), fmCreate);
    otherCopy.WriteBuffer("other copy\n", 11);
    {
        TLogFile log;
        log.WriteLine("second copy");
    }
    EXPECT_EQ(ReadAll(Log()), "other copy\n");
    EXPECT_EQ(LinesOf(ReadAll(temp / "log.txt")).back(), "second copy");
}

TEST_F(LogFileTest, NoWritableFolderAtAllLeavesTheProgramRunningWithoutALog) {
    fs::create_directory(Log());
    tmpdir.Set((temp / "missing").c_str());
    TLogFile log;
    log.WriteLine("goes nowhere");
    EXPECT_FALSE(fs::exists(temp / "missing"));
    EXPECT_TRUE(fs::is_directory(Log()));
}

// An installed game: the program folder is read-only for the player.
class ReadOnlyProgramFolderTest : public ProgramFolderTest {
protected:
    fs::path StateFolder() const { return fs::path(std::getenv("XDG_STATE_HOME")) / "Korvel"; }

    const ScopedReadOnly readOnly{programDir};
};

struct WriteDirCase {
    WrittenFile kind;
    const char* variable; // the folder's environment variable
    const char* below;    // the folder below it
};

class WriteDirTest : public ProgramFolderTest, public testing::WithParamInterface<WriteDirCase> {};

TEST_P(WriteDirTest, AWritableProgramFolderTakesTheFile) {
    EXPECT_EQ(GetWriteDir(GetParam().kind), programDir);
    EXPECT_FALSE(fs::exists(std::getenv("XDG_STATE_HOME")));
    EXPECT_FALSE(fs::exists(std::getenv("XDG_DATA_HOME")));
}

TEST_P(WriteDirTest, AReadOnlyProgramFolderSendsTheFileToTheUsersFolder) {
    const ScopedReadOnly readOnly(programDir);
    const AnsiString folder = AnsiString(std::getenv(GetParam().variable)) + GetParam().below;
    EXPECT_EQ(GetWriteDir(GetParam().kind), folder);
    EXPECT_TRUE(fs::is_directory(folder));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WriteDirTest,
    testing::Values(WriteDirCase{WrittenFile::Log, "XDG_STATE_HOME", "/Korvel/"},
                    WriteDirCase{WrittenFile::Kept, "XDG_DATA_HOME", "/Korvel/"},
                    WriteDirCase{WrittenFile::Temporary, "TMPDIR", ""}));

using ReadOnlyLogTest = ReadOnlyProgramFolderTest;

TEST_F(ReadOnlyLogTest, TheLogGoesToTheUsersStateFolderAndKeepsThePreviousLogThere) {
    { TLogFile log; }
    const size_t firstRun = LinesOf(ReadAll(StateFolder() / "log.txt")).size();
    {
        TLogFile log;
        log.WriteLine("second run");
    }
    const std::vector<std::string> lines = LinesOf(ReadAll(StateFolder() / "log.txt"));
    EXPECT_EQ(lines[0], "Korvel Logfile"); // the first run's log, kept
    ExpectHeaderAt(lines, firstRun);
    EXPECT_EQ(lines.back(), "second run");
    EXPECT_FALSE(fs::exists(Log()));
    EXPECT_FALSE(fs::exists(temp / "log.txt"));
}

TEST_F(ReadOnlyLogTest, AStateFolderThatCannotBeMadeMovesTheLogToTheTemporaryFolder) {
    tempFolder.Write("state", "a file where the folder should be");
    const ScopedEnv stateHome("XDG_STATE_HOME", tempFolder.File("state").c_str());
    {
        TLogFile log;
        log.WriteLine("in temp");
    }
    EXPECT_EQ(LinesOf(ReadAll(temp / "log.txt")).back(), "in temp");
}

TEST_F(LogFileTest, IsTheOneInstance) {
    TLogFile log;
    EXPECT_EQ(&Singleton<TLogFile>::GetSingleton(), &log);
}

class BrowserTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        record = temp / "opened";
        opener = temp / "opener";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record.string()
                              << ".part' && mv '" << record.string() << ".part' '"
                              << record.string() << "'\n";
        fs::permissions(opener, fs::perms::owner_all);
        // The language is fixed when texts are loaded: English, whatever
        // a test before chose.
        LoadTexts("C");
    }
    void LoadTexts(const char* locale) {
        const ScopedEnv language("LC_ALL", locale);
        tempFolder.Write("Languages.rc", "1 \"eins\"\r\n");
        TGlobalBlowFish cipher;
        TMyLanguages languages(tempFolder.File("Languages.rc"), true);
    }
    void UseOpener(const fs::path& program) { openCommand.Set(program.c_str()); }
    // What the opener was started with, once it has run: the bound is for
    // a busy machine.
    std::string Opened() const {
        for (int i = 0; i < 1000 && !fs::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return ReadAll(record);
    }

    fs::path record;
    fs::path opener;
    ScopedEnv openCommand{"KORVEL_OPEN_COMMAND", nullptr};
    TestHook hook{[](const AnsiString& failure) { ADD_FAILURE() << failure; }};
};

TEST_F(BrowserTest, AddressGoesToTheShellEncoded) {
    UseOpener(opener);
    OpenURLInBrowser("http://korvel.example/tell.php?name=Ann Lee&lang=de", false);
    EXPECT_EQ(Opened(), "http://korvel.example/tell.php?name=Ann%20Lee&lang=de\n");
    EXPECT_FALSE(fs::exists(programDir + "temp.html"));
}

TEST_F(BrowserTest, AddressTheShellRefusesGoesThroughTheRedirectPage) {
    UseOpener(opener);
    // No scheme: the shell takes it for a file that does not exist.
    OpenURLInBrowser("korvel.example/page?x=1", false);
    EXPECT_EQ(Opened(), "korvel.example/page?x=1\n");
    EXPECT_EQ(ReadAll(programDir + "temp.html"),
              "<HTML><HEAD><meta http-equiv=\"refresh\" content=\"0;URL=korvel.example/page?x=1\">"
              "</HEAD></HTML>\r\n");
}

TEST_F(BrowserTest, AReadOnlyProgramFolderPutsTheRedirectPageInTheTemporaryFolder) {
    UseOpener(opener);
    const ScopedReadOnly readOnly(programDir);
    OpenURLInBrowser("korvel.example/page?x=1", false);
    EXPECT_EQ(Opened(), "korvel.example/page?x=1\n");
    EXPECT_EQ(ReadAll(temp / "temp.html"),
              "<HTML><HEAD><meta http-equiv=\"refresh\" content=\"0;URL=korvel.example/page?x=1\">"
              "</HEAD></HTML>\r\n");
    EXPECT_FALSE(fs::exists(programDir + "temp.html"));
}

TEST_F(BrowserTest, EveryWayFailingShowsTheAddress) {
    UseOpener(temp / "no-such-opener");
    hook.ExpectMessageBox("Your web browser could not be opened automatically. Please start your "
                          "webbrowser manually and enter the following address:\r\n"
                          "http://korvel.example/?a=b%20c")
        .Caption("")
        .Flags(MB_ICONSTOP);
    OpenURLInBrowser("http://korvel.example/?a=b c", false);
    EXPECT_EQ(hook.MessageBoxes().size(), 1u);
}

TEST_F(BrowserTest, SilentFailureShowsNothing) {
    UseOpener(temp / "no-such-opener");
    OpenURLInBrowser("http://korvel.example/", true);
    EXPECT_TRUE(hook.MessageBoxes().empty());
}

TEST_F(BrowserTest, GermanUsersGetTheGermanMessage) {
    LoadTexts("de_DE.UTF-8");
    ASSERT_EQ(TMyLanguages::GetLanguageBase(), 2000);
    UseOpener(temp / "no-such-opener");
    hook.ExpectMessageBox("Ihr Webbrowser konnte leider nicht automatisch geöffnet werden. Bitte "
                          "Starten Sie Ihren Webbrowser manuell und geben Sie folgende Adresse "
                          "ein:\r\nhttp://korvel.example/")
        .Caption("")
        .Flags(MB_ICONSTOP);
    OpenURLInBrowser("http://korvel.example/", false);
}

} // namespace
