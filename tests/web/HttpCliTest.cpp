#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "platform/vcl/MessageLoop.h"
#include "platform/win32/Messages.h"
#include "tests/support/HttpRequest.h"
#include "tests/support/LocalNet.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestListener.h"
#include "tests/web/WebServerConfigs.h"
#include "web/HttpProt.h"

namespace {

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    return bytes;
}

// Reads the request into `captured`, answers `reply` and closes.
ScriptedServer::Script Answer(const std::string& reply, std::shared_ptr<HttpRequest> captured) {
    return [reply, captured](TestPeer& connection) {
        *captured = ReadHttpRequest(connection);
        connection.Send(reply);
    };
}

class HttpCliTest : public testing::Test {
protected:
    HttpCliTest() {
        client.PostStream = &toSend;
        client.ReplyStream = &received;
    }

    void SetPostData(const std::string& data) {
        toSend.Clear();
        toSend.WriteBuffer(data.data(), static_cast<int>(data.size()));
        toSend.Position = 0;
    }

    std::string Body() {
        return std::string(reinterpret_cast<const char*>(received.Memory()),
                           static_cast<size_t>(received.Size));
    }

    static std::string Url(int port, const std::string& path) {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    // Runs a GET against a server answering `reply`; the request is kept.
    void GetReply(const std::string& reply, const std::string& path = "/page") {
        auto server = std::make_unique<ScriptedServer>(Answer(reply, request));
        client.URL = Url(server->Port(), path);
        client.Get();
        server.reset();
    }

    TMemoryStream toSend;
    TMemoryStream received;
    THttpCli client{nullptr};
    std::shared_ptr<HttpRequest> request = std::make_shared<HttpRequest>();
};

TEST_F(HttpCliTest, PostWritesTheHeaderLinesInOrderThenTheBody) {
    SetPostData("a=1&b=2");
    client.Sender = "ann@korvel.example";
    client.Reference = "http://ref.example/";
    client.NoCache = true;
    client.ModifiedSince = 34644 + 31777.0 / 86400;
    client.Cookie = "id=7";
    client.ContentRangeBegin = "10";
    std::vector<std::string> commands;
    client.OnCommand = [&](TObject*, AnsiString& line) { commands.push_back(line); };
    auto server = std::make_unique<ScriptedServer>(Answer("HTTP/1.0 200 OK\r\n\r\ndone", request));
    client.URL = "http://user:pw@127.0.0.1:" + std::to_string(server->Port()) + "/cgi-bin/x.pl";
    client.Post();
    server.reset();
    EXPECT_EQ(request->Raw(), "POST /cgi-bin/x.pl HTTP/1.0\r\n"
                              "From: ann@korvel.example\r\n"
                              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
                              "Referer: http://ref.example/\r\n"
                              "Content-Type: application/x-www-form-urlencoded\r\n"
                              "User-Agent: Mozilla/3.0 (compatible)\r\n"
                              "Host: 127.0.0.1\r\n"
                              "Pragma: no-cache\r\n"
                              "Content-Length: 7\r\n"
                              "If-Modified-Since: Sun, 06 Nov 1994 08:49:37 GMT\r\n"
                              "Authorization: Basic dXNlcjpwdw==\r\n"
                              "Cookie: id=7\r\n"
                              "Range: bytes=10-\r\n"
                              "\r\n"
                              "a=1&b=2");
    EXPECT_EQ(commands.size(), 14u);
    EXPECT_EQ(commands.back(), "");
    EXPECT_EQ(client.Username, "user");
    EXPECT_EQ(client.ContentRangeBegin, "");
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(Body(), "done");
    EXPECT_EQ(client.SentCount, 7);
}

TEST_F(HttpCliTest, AnEmptyPathAsksForTheRootAndNamesTheDocument) {
    GetReply("HTTP/1.0 200 OK\r\n\r\n", "");
    EXPECT_EQ(request->RequestLine(), "GET / HTTP/1.0");
    EXPECT_EQ(request->Field("Content-Type"), "");
    EXPECT_EQ(request->Field("Content-Length"), "");
    EXPECT_EQ(client.DocName, "document.htm");
}

TEST_F(HttpCliTest, DocumentNameIsTheLastPathPart) {
    GetReply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nx", "/dl/setup.exe?v=2");
    EXPECT_EQ(client.DocName, "setup.htm");
    GetReply("HTTP/1.0 200 OK\r\n\r\nx", "/a/b/");
    EXPECT_EQ(client.DocName, "b");
}

struct ReplyCase {
    const char* name;
    std::string reply;
    int status;
    const char* reason;
    std::string body;
    const char* contentType;
};

TEST_F(HttpCliTest, RepliesAreReadAsTheServerSentThem) {
    const ReplyCase cases[] = {
        {"plain", "HTTP/1.0 200 OK\r\nContent-Type: Text/Plain\r\n\r\nabc\r\ndef", 200, "OK",
         "abc\r\ndef", "text/plain"},
        {"LF alone", "HTTP/1.1 201 Made It\nContent-Type:text/x\n\nline\n", 201, "Made It",
         "line\n", "text/x"},
        {"header-less", "<HTML><BODY>hi</BODY>\r\n</HTML>\r\n", 0, "",
         "<HTML><BODY>hi</BODY>\r\n</HTML>\r\n", "text/html"},
        {"header-less lower case", "<html>\nrest", 0, "", "<html>\nrest", "text/html"},
        {"shorter length", "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nabcdef", 200, "OK",
         "abcdef", ""},
        {"no status line", "Hello\r\nthere: you\r\n\r\nbody", 0, "", "body", ""},
        {"garbage without line end", "Hello there", 0, "", "", ""},
        {"closed inside the header", "HTTP/1.0 200 OK\r\nContent-Ty", 200, "OK", "", ""},
        {"bad status number", "HTTP/1.0 2x0 Odd\r\n\r\nbody", 0, "", "", ""},
        {"short status line", "HTTP/1.0\r\n\r\nbody", 0, "", "", ""},
        {"bad content length", "HTTP/1.0 200 OK\r\nContent-Length: lots\r\n\r\nbody", 200, "OK", "",
         ""},
        {"binary body", "HTTP/1.0 200 OK\r\n\r\n" + std::string("a\0b\r\0", 5), 200, "OK",
         std::string("a\0b\r\0", 5), ""},
    };
    for (const ReplyCase& c : cases) {
        received.Clear();
        GetReply(c.reply);
        EXPECT_EQ(client.State, httpReady) << c.name;
        EXPECT_EQ(client.StatusCode, c.status) << c.name;
        EXPECT_EQ(client.ReasonPhrase(), c.reason) << c.name;
        EXPECT_EQ(Body(), c.body) << c.name;
        EXPECT_EQ(client.ContentType(), c.contentType) << c.name;
    }
}

// Replies pieced together from header-like fragments and random bytes:
// every one ends the request, with the body (if any) stored.
TEST_F(HttpCliTest, MalformedRepliesAlwaysEndTheRequest) {
    const std::vector<std::string> pieces = {"HTTP/1.0 200 OK\r\n",
                                             "HTTP/1.1 404 Not Found\r\n",
                                             "HTTP/1.0 \r\n",
                                             "HTTP/1.1",
                                             "Content-Length: 0\r\n",
                                             "Content-Length: -7\r\n",
                                             "Content-Length: 99999999999\r\n",
                                             "Content-Range: bytes\r\n",
                                             "Content-Range: bytes 5\r\n",
                                             ":\r\n",
                                             ": \r\n",
                                             "Set-Cookie:\r\n",
                                             "<HTML>",
                                             "\r\n",
                                             "\n",
                                             "\r",
                                             std::string(1, '\0'),
                                             std::string(9000, 'z')};
    std::mt19937 random(8);
    for (int round = 0; round < 40; ++round) {
        std::string reply;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            if (random() % 4 == 0) {
                std::string noise(random() % 300, '\0');
                for (char& c : noise)
                    c = static_cast<char>(random());
                reply += noise;
            } else {
                reply += pieces[random() % pieces.size()];
            }
        }
        received.Clear();
        try {
            GetReply(reply);
        } catch (const EHttpException& e) {
            EXPECT_GE(e.ErrorCode, 400) << round;
        }
        EXPECT_EQ(client.State, httpReady) << round;
        EXPECT_EQ(client.RcvdCount, received.Size) << round;
    }
}

TEST_F(HttpCliTest, AMultiThreadedClientPumpsItsOwnQueue) {
    client.MultiThreaded = true;
    GetReply("HTTP/1.0 200 OK\r\n\r\nown queue");
    EXPECT_EQ(Body(), "own queue");
}

TEST_F(HttpCliTest, HeaderFieldsFillTheirProperties) {
    std::vector<std::string> cookies;
    client.OnCookie = [&](TObject*, const AnsiString& value, bool&) { cookies.push_back(value); };
    GetReply("HTTP/1.0 206 Partial\r\n"
             "Content-Length:  12 \r\n"
             "Content-Range: bytes 100-111/2000\r\n"
             "Accept-Ranges: bytes\r\n"
             "WWW-Authenticate: Basic realm=\"k\"\r\n"
             "Set-Cookie: id=1; path=/\r\n"
             "X-Mixed: a\rb\r\n"
             "Empty:\r\n"
             "\r\n"
             "0123456789ab");
    EXPECT_EQ(client.ContentLength, 12);
    EXPECT_EQ(client.ContentRangeBegin, "100");
    EXPECT_EQ(client.ContentRangeEnd, "111");
    EXPECT_EQ(client.AcceptRanges, "bytes");
    ASSERT_EQ(client.AuthChallenges->Count, 1);
    EXPECT_EQ(client.AuthChallenges->Strings[0], "Basic realm=\"k\"");
    EXPECT_EQ(cookies, std::vector<std::string>{"id=1; path=/"});
    ASSERT_EQ(client.RcvdHeader->Count, 8);
    EXPECT_EQ(client.RcvdHeader->Strings[6], "X-Mixed: a\rb");
    EXPECT_EQ(Body(), "0123456789ab");
}

TEST_F(HttpCliTest, ContentLengthZeroEndsTheRequestOnAnOpenConnection) {
    std::atomic<bool> clientClosed{false};
    auto server = std::make_unique<ScriptedServer>([&](TestPeer& connection) {
        *request = ReadHttpRequest(connection);
        connection.Send("HTTP/1.0 204 No Content\r\nContent-Length: 0\r\n\r\n");
        clientClosed = connection.WaitForEnd();
    });
    client.URL = Url(server->Port(), "/empty");
    client.Get();
    EXPECT_EQ(client.StatusCode, 204);
    EXPECT_EQ(Body(), "");
    // The next request on the same client closes the left-over connection
    // and is not ended by it.
    GetReply("HTTP/1.0 200 OK\r\n\r\nsecond");
    server.reset();
    EXPECT_TRUE(clientClosed);
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(Body(), "second");
}

TEST_F(HttpCliTest, AnErrorStatusClosesAtOnceStoresNoBodyAndRaises) {
    SetPostData("x=1");
    std::atomic<bool> clientClosed{false};
    TestListener listener;
    std::thread server([&] {
        TestPeer connection = listener.Accept();
        *request = ReadHttpRequest(connection);
        connection.Send("HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<p>gone</p>");
        clientClosed = connection.WaitForEnd();
    });
    client.URL = Url(listener.Port(), "/missing");
    try {
        client.Post();
        ADD_FAILURE() << "Post returned";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.Message, "Not Found");
        EXPECT_EQ(e.ErrorCode, 404);
    }
    server.join();
    EXPECT_TRUE(clientClosed);
    EXPECT_EQ(Body(), "");
    EXPECT_EQ(client.StatusCode, 404);
    EXPECT_FALSE(listener.Accept(300).Valid()) << "a second request was started";
}

TEST_F(HttpCliTest, RedirectReconnectsAndAPostBecomesAGet) {
    SetPostData("x=1");
    auto second = std::make_shared<HttpRequest>();
    int locationChanges = 0;
    client.OnLocationChange = [&](TObject*) { ++locationChanges; };
    auto server = std::make_unique<ScriptedServer>(
        [&, calls = 0](TestPeer& connection) mutable {
            if (calls++ == 0) {
                *request = ReadHttpRequest(connection);
                connection.Send("HTTP/1.1 302 Found\r\nLocation: /new\r\nContent-Length: 0\r\n"
                                "\r\n");
                connection.WaitForEnd();
            } else {
                *second = ReadHttpRequest(connection);
                connection.Send("HTTP/1.0 200 OK\r\n\r\nsecond reply");
            }
        },
        2);
    const int port = server->Port();
    client.URL = Url(port, "/old");
    client.Post();
    server.reset();
    EXPECT_EQ(request->RequestLine(), "POST /old HTTP/1.0");
    EXPECT_EQ(second->RequestLine(), "GET /new HTTP/1.0");
    EXPECT_EQ(second->Field("Content-Length"), "");
    EXPECT_EQ(second->body, "");
    EXPECT_EQ(locationChanges, 1);
    EXPECT_EQ(client.Location, Url(port, "/new"));
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(client.ReasonPhrase, "OK");
    EXPECT_EQ(Body(), "second reply");
    ASSERT_EQ(client.RcvdHeader->Count, 1);
}

TEST_F(HttpCliTest, AnAbsoluteLocationMovesToTheOtherServer) {
    auto target = std::make_shared<HttpRequest>();
    ScriptedServer other(Answer("HTTP/1.0 200 OK\r\n\r\nover there", target));
    const std::string location = Url(other.Port(), "/there?x=1");
    // The Location header arrives while the connection closes in the header.
    GetReply("HTTP/1.0 301 Moved\r\nLocation:  " + location + "\r\n");
    EXPECT_EQ(target->RequestLine(), "GET /there?x=1 HTTP/1.0");
    EXPECT_EQ(target->Field("Host"), "127.0.0.1");
    EXPECT_EQ(client.Location, location);
    EXPECT_EQ(Body(), "over there");
}

TEST_F(HttpCliTest, ARelativeLocationStaysInTheDirectory) {
    auto second = std::make_shared<HttpRequest>();
    auto server = std::make_unique<ScriptedServer>(
        [&, calls = 0](TestPeer& connection) mutable {
            if (calls++ == 0) {
                *request = ReadHttpRequest(connection);
                connection.Send("HTTP/1.0 302 Found\r\nLocation: other.html\r\n\r\n");
            } else {
                *second = ReadHttpRequest(connection);
                connection.Send("HTTP/1.0 200 OK\r\n\r\nok");
            }
        },
        2);
    client.URL = Url(server->Port(), "/dir/page.html?q=a/b");
    client.Get();
    server.reset();
    EXPECT_EQ(second->RequestLine(), "GET /dir/other.html HTTP/1.0");
    EXPECT_EQ(Body(), "ok");
}

TEST_F(HttpCliTest, AReplyLineOf8192BytesAbortsTheConnection) {
    const std::string longLine = "X-Long: " + std::string(8192 - 8, 'a') + "\r\n";
    std::atomic<bool> clientClosed{false};
    auto server = std::make_unique<ScriptedServer>([&](TestPeer& connection) {
        *request = ReadHttpRequest(connection);
        connection.Send("HTTP/1.0 200 OK\r\n" + longLine + "\r\nbody");
        clientClosed = connection.WaitForEnd();
    });
    client.URL = Url(server->Port(), "/long");
    client.Get();
    server.reset();
    EXPECT_TRUE(clientClosed);
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(Body(), "");
    EXPECT_EQ(client.RcvdHeader->Count, 1);

    // A line that fits the buffer is read whole.
    received.Clear();
    const std::string fitting = "X-Long: " + std::string(8100, 'b');
    GetReply("HTTP/1.0 200 OK\r\n" + fitting + "\r\n\r\nbody");
    ASSERT_EQ(client.RcvdHeader->Count, 2);
    EXPECT_EQ(client.RcvdHeader->Strings[1], fitting);
    EXPECT_EQ(Body(), "body");
}

TEST_F(HttpCliTest, AnEndlessHeaderIsCutOff) {
    std::atomic<size_t> sent{0};
    auto server = std::make_unique<ScriptedServer>([&](TestPeer& connection) {
        *request = ReadHttpRequest(connection);
        connection.Send("HTTP/1.0 200 OK\r\n");
        const std::string line = "X-Filler: " + std::string(90, 'f') + "\r\n";
        for (int i = 0; i < 200000 && connection.Send(line); ++i)
            sent += line.size();
    });
    client.URL = Url(server->Port(), "/endless");
    client.Get();
    server.reset();
    EXPECT_LT(sent.load(), 200000u * 102u) << "the client read everything";
    EXPECT_LE(client.RcvdHeader->Count, THttpCli::MaxHeaderSize / 100 + 1);
    EXPECT_EQ(Body(), "");
}

TEST_F(HttpCliTest, ABodyOfSeveralMegabytesArrivesIntact) {
    const std::string body = Pattern(6 * 1024 * 1024 + 17);
    GetReply("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n" + body);
    EXPECT_EQ(client.RcvdCount, static_cast<int64_t>(body.size()));
    EXPECT_TRUE(Body() == body);
}

TEST_F(HttpCliTest, APostBodyOfSeveralMegabytesIsSentIntact) {
    const std::string body = Pattern(3 * 1024 * 1024 + 5);
    SetPostData(body);
    int pieces = 0;
    client.OnSendData = [&](TObject*, const char*, int length) {
        ++pieces;
        EXPECT_LE(length, HTTP_SND_BUF_SIZE);
    };
    auto server = std::make_unique<ScriptedServer>(Answer("HTTP/1.0 200 OK\r\n\r\n", request));
    client.URL = Url(server->Port(), "/upload");
    client.Post();
    server.reset();
    EXPECT_EQ(request->Field("Content-Length"), std::to_string(body.size()));
    EXPECT_TRUE(request->body == body);
    EXPECT_EQ(pieces, static_cast<int>((body.size() + HTTP_SND_BUF_SIZE - 1) / HTTP_SND_BUF_SIZE));
}

// The server never answers; the waiting caller goes on dispatching
// messages, and one of them aborts the request.
TEST_F(HttpCliTest, AbortEndsARequestThatIsNeverAnswered) {
    int delivered = 0;
    const HWND window = AllocateHWnd([&](TMessage&) {
        if (++delivered == 3)
            client.Abort();
    });
    std::atomic<bool> clientClosed{false};
    auto server = std::make_unique<ScriptedServer>([&](TestPeer& connection) {
        *request = ReadHttpRequest(connection);
        for (int i = 0; i < 3; ++i) {
            PostMessage(window, WM_USER + 7, 0, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        clientClosed = connection.WaitForEnd();
    });
    client.URL = Url(server->Port(), "/silent");
    WORD doneError = 0;
    client.OnRequestDone = [&](TObject*, THttpRequest, WORD error) { doneError = error; };
    try {
        client.Get();
        ADD_FAILURE() << "Get returned";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.Message, "Connection aborted on request");
        EXPECT_EQ(e.ErrorCode, 404);
    }
    server.reset();
    DeallocateHWnd(window);
    EXPECT_EQ(delivered, 3);
    EXPECT_TRUE(clientClosed);
    EXPECT_EQ(client.RequestDoneError, 3);
    EXPECT_EQ(client.State, httpReady);
    // The request is over; a later abort only makes sure nothing is open.
    client.Abort();
    EXPECT_EQ(client.ReasonPhrase, "Connection aborted on request");
}

TEST_F(HttpCliTest, FailuresOfTheConnectionShowAsStatus404) {
    const int closedPort = FreePort();
    client.URL = Url(closedPort, "/x");
    EXPECT_THROW(client.Get(), EHttpException);
    EXPECT_EQ(client.StatusCode, 404);
    EXPECT_EQ(client.ReasonPhrase, "Connection refused (Error #10061)");
    EXPECT_EQ(client.RequestDoneError, 10061);

    client.URL = "http:///nohost";
    EXPECT_THROW(client.Get(), EHttpException);
    EXPECT_EQ(client.ReasonPhrase, "DNS lookup: invalid host name.");
    EXPECT_EQ(client.State, httpReady);

    client.URL = "http://127.0.0.1:notaport/x";
    EXPECT_THROW(client.Get(), EHttpException);
    EXPECT_EQ(client.ReasonPhrase().substr(0, 15), "can't connect: ");
}

TEST_F(HttpCliTest, AHostNameIsLookedUpFirst) {
    auto server = std::make_unique<ScriptedServer>(Answer("HTTP/1.0 200 OK\r\n\r\nfound", request));
    client.URL = "http://localhost:" + std::to_string(server->Port()) + "/named";
    client.Get();
    server.reset();
    EXPECT_EQ(request->Field("Host"), "localhost");
    EXPECT_EQ(Body(), "found");
}

TEST_F(HttpCliTest, AbortDuringTheNameLookupEndsTheRequestAtOnce) {
    TestListener listener;
    client.URL = "http://localhost:" + std::to_string(listener.Port()) + "/never";
    client.GetASync();
    ASSERT_EQ(client.State, httpDnsLookup);
    client.Abort();
    EXPECT_EQ(client.State, httpReady);
    EXPECT_EQ(client.StatusCode, 404);
    EXPECT_EQ(client.ReasonPhrase(), "Connection aborted on request");
    // The answer of the cancelled lookup starts nothing.
    EXPECT_FALSE(listener.Accept(300).Valid());
    EXPECT_EQ(client.State, httpReady);
}

TEST_F(HttpCliTest, ABusyClientAndAPostWithoutBodyAreRefused) {
    client.PostStream = nullptr;
    client.URL = "http://127.0.0.1:1/x";
    try {
        client.PostASync();
        ADD_FAILURE() << "posted nothing";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.Message, "HTTP component has nothing to post");
        EXPECT_EQ(e.ErrorCode, 2);
    }
    TestListener listener;
    client.URL = Url(listener.Port(), "/slow");
    client.GetASync();
    try {
        client.GetASync();
        ADD_FAILURE() << "a second request started";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.Message, "HTTP component is busy");
        EXPECT_EQ(e.ErrorCode, 1);
    }
    client.Abort();
    EXPECT_EQ(client.State, httpReady);
}

// Each reply of the chain sends the client one hop on; the last one is
// the page, unless the chain is longer than a request may follow.
class RedirectChainTest : public HttpCliTest, public testing::WithParamInterface<int> {};

TEST_P(RedirectChainTest, TwentyRedirectsAreFollowedAndTheTwentyFirstFailsTheRequest) {
    const int redirects = GetParam();
    const int requests = std::min(redirects, THttpCli::MaxRedirects) + 1;
    std::vector<std::string> paths;
    auto server = std::make_unique<ScriptedServer>(
        [&](TestPeer& connection) {
            paths.push_back(ReadHttpRequest(connection).path);
            const int hop = static_cast<int>(paths.size());
            if (hop <= redirects)
                connection.Send("HTTP/1.0 302 Found\r\nLocation: /hop" + std::to_string(hop) +
                                "\r\nContent-Length: 0\r\n\r\n");
            else
                connection.Send("HTTP/1.0 200 OK\r\n\r\narrived");
        },
        requests);
    int locationChanges = 0;
    client.OnLocationChange = [&](TObject*) { ++locationChanges; };
    client.URL = Url(server->Port(), "/hop0");
    if (redirects <= THttpCli::MaxRedirects) {
        client.Get();
        EXPECT_EQ(client.StatusCode, 200);
        EXPECT_EQ(Body(), "arrived");
    } else {
        try {
            client.Get();
            ADD_FAILURE() << "Get returned";
        } catch (const EHttpException& e) {
            EXPECT_EQ(e.ErrorCode, 404);
            EXPECT_EQ(e.Message, THttpCli::TooManyRedirects);
        }
        EXPECT_EQ(client.StatusCode, 404);
        EXPECT_EQ(client.ReasonPhrase(), THttpCli::TooManyRedirects);
        EXPECT_EQ(Body(), "");
    }
    server.reset();
    ASSERT_EQ(paths.size(), static_cast<size_t>(requests));
    EXPECT_EQ(paths.back(), "/hop" + std::to_string(requests - 1));
    EXPECT_EQ(locationChanges, requests - 1);
    EXPECT_EQ(client.State, httpReady);

    // The next request counts its redirects afresh.
    received.Clear();
    GetReply("HTTP/1.0 200 OK\r\n\r\nnext");
    EXPECT_EQ(Body(), "next");
}

INSTANTIATE_TEST_SUITE_P(Lengths, RedirectChainTest, testing::Values(1, 20, 21),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "Redirects";
                         });

// The wait is one nested loop from its start to its end: a job that a
// message leaves for the main loop during the wait runs after the request.
TEST_F(HttpCliTest, WhatAMessageLeavesForTheMainLoopRunsAfterTheRequest) {
    std::atomic<bool> handled{false};
    bool nested = false;
    bool jobRan = false;
    const HWND window = AllocateHWnd([&](TMessage&) {
        nested = InNestedLoop();
        WhenBackInMainLoop([&] { jobRan = true; });
        handled = true;
    });
    auto server = std::make_unique<ScriptedServer>([&](TestPeer& connection) {
        *request = ReadHttpRequest(connection);
        PostMessage(window, WM_USER + 7, 0, 0);
        while (!handled)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        connection.Send("HTTP/1.0 200 OK\r\n\r\nlater");
    });
    client.URL = Url(server->Port(), "/wait");
    client.Get();
    const bool ranInside = jobRan;
    server.reset();
    DeallocateHWnd(window);
    EXPECT_TRUE(nested);
    EXPECT_FALSE(ranInside);
    EXPECT_EQ(Body(), "later");
    EXPECT_TRUE(PumpUntil([&] { return jobRan; }));
}

} // namespace
