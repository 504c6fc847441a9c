#pragma once
// The HTTP client's exception: a message and a code. Codes 1 (busy), 2
// (nothing to post), 4 (reply line too long) and 5 (reply header too long)
// are the client's own; any other code is the reply's status (400 or
// more).

#include <cstdint>

#include "platform/vcl/SysUtils.h"

class EHttpException : public Exception {
public:
    EHttpException(const AnsiString& Msg, uint16_t ErrCode) : Exception(Msg), ErrorCode(ErrCode) {}

    uint16_t ErrorCode;
};
