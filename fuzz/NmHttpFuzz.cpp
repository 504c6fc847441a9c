// The HTTP component of the high-score window (Qt's HTTP client
// underneath): the input is the whole reply of the server to a page fetch.
// A reply that fails raises; none may harm.

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzEnvironment.h"
#include "fuzz/support/ReplyServer.h"
#include "platform/inet/NMHTTP.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const FuzzEnvironment& environment = FuzzEnvironment::Enter({.gui = true});
    static ReplyServer* server = new ReplyServer(ReplyServer::ReadsHttpRequest);
    (void)environment;
    server->Answer(InputText(data, size));
    TNMHTTP http(nullptr);
    http.TimeOut = 10000;
    try {
        http.Get("http://127.0.0.1:" + IntToStr(server->Port()) + "/korvel/highscores.html");
    } catch (const Exception&) {
    }
    http.Body();
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RequireLoopbackOnlyNetwork();
    return 0;
}
