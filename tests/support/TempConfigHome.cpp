#include "tests/support/TempConfigHome.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TempConfigHome::TempConfigHome() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvel-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary config home");
    path_ = pattern;
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    // Where the build put the program with its data files, and the sources.
    setenv("KORVEL_PROGRAM_DIR", KORVEL_TEST_PROGRAM_DIR, 0);
    setenv("KORVEL_SOURCE_DIR", KORVEL_TEST_SOURCE_DIR, 0);
    // No test may start a real browser or file viewer.
    setenv("KORVEL_OPEN_COMMAND", "/bin/true", 0);
}

TempConfigHome::~TempConfigHome() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
