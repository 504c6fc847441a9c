#pragma once
// Checks that a call raises an exception of class E with exactly this text.

#include <gtest/gtest.h>

#include "platform/vcl/SysUtils.h"

template <class E, class F> void ExpectThrowMessage(F&& call, const AnsiString& message) {
    try {
        call();
        ADD_FAILURE() << "nothing raised; expected \"" << message << "\"";
    } catch (const E& e) {
        EXPECT_EQ(e.Message, message);
    }
}
