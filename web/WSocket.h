#pragma once
// The complete socket component, with every layer of the chain: with line
// mode off and no SOCKS server it behaves exactly as TCustomWSocket.

#include "web/CustomSyncWSocket.h"
#include "web/WSocketFunctions.h"

class TWSocket : public TCustomSyncWSocket {
public:
    explicit TWSocket(TComponent* AOwner);
};
