#include "web/WSocket.h"

TWSocket::TWSocket(TComponent* AOwner) : TCustomSyncWSocket(AOwner) {}
