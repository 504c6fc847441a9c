#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/win32/WinGdi.h"

namespace {

TEST(Gdi, TheScreenReportsItsColourDepth) {
    HDC dc = GetDC(nullptr);
    const int depth = QGuiApplication::primaryScreen()->depth();
    ASSERT_GT(depth, 0);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES), depth);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
    EXPECT_EQ(GetDeviceCaps(dc, 8), 0); // an index the program does not ask
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(ReleaseDC(nullptr, nullptr), 0);
}

} // namespace
