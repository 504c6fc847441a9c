#pragma once
// What every test stands on, made by the test main: a registry hive of its
// own (a fresh $XDG_CONFIG_HOME), user folders of its own ($XDG_STATE_HOME,
// $XDG_DATA_HOME, not yet made) and a program folder of its own with links
// to the build's data files, which the platform reports as the program's
// folder. The process gets one pair before the first test; each test gets
// a fresh pair for as long as it runs, so nothing one test stores or writes
// beside the program (settings, the log, posted scores, temporary pages)
// reaches the next test, and nothing lands in the build folder.

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/TempFolder.h"

class TestEnvironment : public testing::EmptyTestEventListener {
public:
    TestEnvironment();

    void OnTestStart(const testing::TestInfo& test) override;
    void OnTestEnd(const testing::TestInfo& test) override;

private:
    // A config home and a program folder in `root`, put in force.
    static void Enter(const TempFolder& root);

    TempFolder process_;
    std::unique_ptr<TempFolder> test_;
};

// Puts the process's pair in force and hands the environment to the test
// run, which frees it at exit.
void InstallTestEnvironment();
