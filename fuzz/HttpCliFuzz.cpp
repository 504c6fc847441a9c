// The HTTP client of the web transport: the input is the whole reply of
// the server to a form post, read line by line into the header and the
// body as the online services read their replies. A reply that fails
// raises; none may harm.

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzEnvironment.h"
#include "fuzz/support/ReplyServer.h"
#include "web/HttpProt.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const FuzzEnvironment& environment = FuzzEnvironment::Enter({.gui = true});
    static ReplyServer* server = new ReplyServer(ReplyServer::ReadsHttpRequest);
    (void)environment;
    server->Answer(InputText(data, size));
    TMemoryStream toSend;
    toSend.WriteBuffer("ID=0&Key=1", 10);
    toSend.Position = 0;
    TMemoryStream received;
    THttpCli client(nullptr);
    client.URL = "http://127.0.0.1:" + IntToStr(server->Port()) + "/cgi-bin/ID.pl";
    client.PostStream = &toSend;
    client.ReplyStream = &received;
    try {
        client.Post();
    } catch (const std::exception&) {
    }
    client.ReasonPhrase();
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RequireLoopbackOnlyNetwork();
    return 0;
}
