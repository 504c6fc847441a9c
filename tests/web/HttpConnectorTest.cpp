#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "myunits/TGlobalBlowFish.h"
#include "platform/vcl/ExtCtrls.h"
#include "tests/support/HttpRequest.h"
#include "tests/support/LocalNet.h"
#include "tests/support/ScriptedServer.h"
#include "tests/web/HttpConnectorTestSupport.h"
#include "tests/web/WebServerConfigs.h"
#include "web/HTTPConnector.h"

namespace {

// Every post here goes through the one connector of the process.
class HttpConnectorTest : public testing::Test {
protected:
    // A server that captures one request and answers `reply`.
    std::unique_ptr<ScriptedServer> Serve(const std::string& reply) {
        return std::make_unique<ScriptedServer>([this, reply](TestPeer& connection) {
            *request = ReadHttpRequest(connection);
            connection.Send(reply);
        });
    }

    static std::string Url(int port, const std::string& path) {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    TGlobalBlowFish cipher;
    std::shared_ptr<HttpRequest> request = std::make_shared<HttpRequest>();
};

TEST_F(HttpConnectorTest, TheMailPostIsExactlyTheRequestLineList) {
    auto server = Serve("HTTP/1.0 200 OK\r\n\r\nOK");
    httptest::SetWebServer("127.0.0.1:" + std::to_string(server->Port()));
    // Values go out as they are, "&" and "=" included.
    EXPECT_TRUE(
        SendMailViaWebForm("Top & ten", "ann@korvel.example", "Ann", "score=12|x", "Highscores"));
    server.reset();
    const std::string body = "subject=Top & ten&mailfrom=ann@korvel.example&fromname=Ann"
                             "&body=score=12|x&recipient=Highscores";
    EXPECT_EQ(request->Raw(), "POST /cgi-bin/cgitomail.pl HTTP/1.0\r\n"
                              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
                              "Content-Type: application/x-www-form-urlencoded\r\n"
                              "User-Agent: Mozilla/3.0 (compatible)\r\n"
                              "Host: 127.0.0.1\r\n"
                              "Content-Length: " +
                                  std::to_string(body.size()) +
                                  "\r\n"
                                  "\r\n" +
                                  body);
}

struct ReasonCase {
    std::string reply;
    const char* result;
    const char* response;
    bool mailAccepted;
};

TEST_F(HttpConnectorTest, TheReasonPhraseDecidesSuccess) {
    const ReasonCase cases[] = {
        {"HTTP/1.0 200 OK\r\n\r\nOK", "OK", "OK\r\n", true},
        {"HTTP/1.0 200 Okay\r\n\r\nOK", "Okay", "OK\r\n", false},
        {"HTTP/1.0 200 OK fine\r\n\r\n", "OK fine", "", true},
        {"HTTP/1.0 404 Not Found\r\n\r\nmissing", "Not Found", "", false},
        {"HTTP/1.0 500 OK really\r\n\r\n", "OK really", "", true},
        {"OK\r\n\r\n", "", "", false},
        {"HTTP/1.0 200 OK\r\n\r\nline one\nline two\r\n\nend", "OK",
         "line one\r\nline two\r\n\r\nend\r\n", true},
    };
    for (const ReasonCase& c : cases) {
        auto server = Serve(c.reply);
        AnsiString response = "stale";
        EXPECT_EQ(PostHTTPRequest(Url(server->Port(), "/cgi-bin/ID.pl"), "a=1", response), c.result)
            << c.reply;
        server.reset();
        EXPECT_EQ(response, c.response) << c.reply;

        server = Serve(c.reply);
        httptest::SetWebServer("127.0.0.1:" + std::to_string(server->Port()));
        EXPECT_EQ(SendMailViaWebForm("s", "m", "f", "b", "r"), c.mailAccepted) << c.reply;
        server.reset();
    }
}

TEST_F(HttpConnectorTest, EmptyDataPostsALengthOfZero) {
    auto server = Serve("HTTP/1.0 200 OK\r\n\r\n");
    AnsiString response;
    EXPECT_EQ(PostHTTPRequest(Url(server->Port(), "/cgi-bin/versioncheck.pl"), "", response), "OK");
    server.reset();
    EXPECT_EQ(request->Field("Content-Length"), "0");
    EXPECT_EQ(request->body, "");
}

TEST_F(HttpConnectorTest, FailuresComeBackAsTheirTexts) {
    AnsiString response = "stale";
    EXPECT_EQ(PostHTTPRequest(Url(FreePort(), "/x"), "a=1", response),
              "Connection refused (Error #10061)");
    EXPECT_EQ(response, "");
    EXPECT_EQ(PostHTTPRequest("http:///x", "a=1", response), "DNS lookup: invalid host name.");
}

// No time-out: the caller waits, timers go on firing, and the post ends
// when the server gives up the connection.
TEST_F(HttpConnectorTest, AServerThatNeverAnswersKeepsTheCallerWaitingWhileTimersRun) {
    std::atomic<int> ticks{0};
    TTimer timer(nullptr);
    timer.Interval = 20;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    timer.Enabled = true;
    auto server = std::make_unique<ScriptedServer>([&](TestPeer& connection) {
        *request = ReadHttpRequest(connection);
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitBoundMs);
        while (ticks < 5 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    AnsiString response = "stale";
    EXPECT_EQ(PostHTTPRequest(Url(server->Port(), "/cgi-bin/ID.pl"), "a=1", response), "");
    server.reset();
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(response, "");
}

TEST(HttpWebServerTest, TheWebServerComesFromTheRegistry) {
    EXPECT_EQ(GetWebServerAddress(), "http://korvel.example");
    httptest::SetWebServer("");
    EXPECT_EQ(GetWebServerAddress(), "http://korvel.example");
    httptest::SetWebServer("www.korvel.example:8080");
    EXPECT_EQ(GetWebServerAddress(), "http://www.korvel.example:8080");
}

} // namespace
