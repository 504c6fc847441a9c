// The SOCKS client: the first byte picks the level (4, 4A or 5) and
// whether a user code is offered, the rest is all the SOCKS server says,
// whatever the client asks; bytes after a granted connection are the
// destination's.

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzEnvironment.h"
#include "fuzz/support/ReplyServer.h"
#include "tests/support/Pump.h"
#include "web/SocksWSocket.h"

namespace {

// A socket whose server never ends the exchange is left after this.
constexpr int ExchangeBoundMs = 10000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const FuzzEnvironment& environment = FuzzEnvironment::Enter({.gui = true});
    static ReplyServer* server = new ReplyServer(ReplyServer::SpeaksFirst);
    (void)environment;
    if (size == 0)
        return 0;
    server->Answer(InputText(data + 1, size - 1));
    TSocksWSocket socket(nullptr);
    bool closed = false;
    socket.OnSessionClosed = [&closed](TObject*, WORD) { closed = true; };
    socket.OnDataAvailable = [&socket](TObject*, WORD) { socket.ReceiveStr(); };
    static const char* const Levels[] = {"4", "4A", "5"};
    socket.SocksLevel = Levels[data[0] % 3];
    if (data[0] / 3 % 2 == 1) {
        socket.SocksAuthentication = socksAuthenticateUsercode;
        socket.SocksUsercode = "korvel";
        socket.SocksPassword = "s3cret";
    }
    socket.SocksServer = "127.0.0.1";
    socket.SocksPort = IntToStr(server->Port());
    socket.Addr = "127.0.0.1";
    socket.Port = "1024";
    try {
        socket.Connect();
    } catch (const std::exception&) {
        return 0;
    }
    PumpUntil([&closed] { return closed; }, ExchangeBoundMs);
    return 0;
}
