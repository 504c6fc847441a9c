#include "tests/support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>

#include "platform/win32/WinBase.h"
#include "tests/support/ProgramData.h"

TestEnvironment::TestEnvironment() : process_("process") {
    // Where the build put the program with its data files, and the sources.
    setenv("KORVEL_PROGRAM_DIR", KORVEL_TEST_PROGRAM_DIR, 0);
    setenv("KORVEL_SOURCE_DIR", KORVEL_TEST_SOURCE_DIR, 0);
    // No test may start a real browser or file viewer.
    setenv("KORVEL_OPEN_COMMAND", "/bin/true", 0);
    Enter(process_);
}

void TestEnvironment::OnTestStart(const testing::TestInfo&) {
    test_ = std::make_unique<TempFolder>("case");
    Enter(*test_);
}

void TestEnvironment::OnTestEnd(const testing::TestInfo&) {
    Enter(process_);
    test_.reset();
}

void TestEnvironment::Enter(const TempFolder& root) {
    const std::string config = root.File("config");
    const std::string program = root.File("program/");
    if (!std::filesystem::exists(program)) {
        std::filesystem::create_directory(config);
        std::filesystem::create_directory(program);
        LinkProgramData(program);
        // The program file itself: an empty stand-in that the folder's path
        // resolves through.
        root.Write("program/korvel", "");
    }
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    // Where the program's files go when its folder is read-only: never the
    // real home.
    setenv("XDG_STATE_HOME", root.File("state").c_str(), 1);
    setenv("XDG_DATA_HOME", root.File("data").c_str(), 1);
    SetModuleFileName(program + "korvel");
}

void InstallTestEnvironment() {
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    listeners.Append(new TestEnvironment);
}
