#pragma once
// The socket layer's exception: it carries only its message.

#include "platform/vcl/SysUtils.h"

class ESocketException : public Exception {
public:
    using Exception::Exception;
};
