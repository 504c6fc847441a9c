#include "web/SocksWSocket.h"

TSocksWSocket::TSocksWSocket(TComponent* AOwner) : TWSocket(AOwner) {}
