#pragma once
// The socket component as it is placed for SOCKS use.

#include "web/WSocket.h"

class TSocksWSocket : public TWSocket {
public:
    explicit TSocksWSocket(TComponent* AOwner);
};
