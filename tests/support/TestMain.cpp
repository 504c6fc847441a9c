#include <gtest/gtest.h>

#include "tests/support/TestEnvironment.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Death tests fork; "threadsafe" re-runs the binary so a fork never
    // inherits a half-held lock.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    InstallTestEnvironment();
    return RUN_ALL_TESTS();
}
