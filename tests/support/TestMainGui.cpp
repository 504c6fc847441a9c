#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "tests/support/TempConfigHome.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempConfigHome home;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
