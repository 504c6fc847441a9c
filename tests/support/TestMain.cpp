#include <gtest/gtest.h>

#include "tests/support/TempConfigHome.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Death tests fork; "threadsafe" re-runs the binary so a fork never
    // inherits a half-held lock.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempConfigHome home;
    return RUN_ALL_TESTS();
}
