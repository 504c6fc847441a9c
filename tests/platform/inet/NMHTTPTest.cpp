#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/inet/NMHTTP.h"
#include "tests/support/HttpServer.h"
#include "tests/support/LocalNet.h"
#include "tests/support/Pump.h"

namespace {

using Reply = HttpServer::Reply;

class NMHTTPTest : public testing::Test {
protected:
    HttpServer server;
    std::unique_ptr<TNMHTTP> http = std::make_unique<TNMHTTP>(nullptr);
};

TEST_F(NMHTTPTest, GetGivesTheBodyByteForByte) {
    const std::string page = "<html>\r\n<!--nam-->J\xfcrgen<!--cou-->DE\r\n\nend\r</html>";
    server.On("/korvel/highscores.html", Reply::Page(200, "OK", page));
    http->Get(server.Url("/korvel/highscores.html"));
    EXPECT_EQ(http->Body(), page);
    const std::vector<HttpRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/korvel/highscores.html");
}

TEST_F(NMHTTPTest, SecondGetGivesTheSecondReply) {
    server.On("/page", Reply::Page(200, "OK", "first"));
    http->Get(server.Url("/page"));
    EXPECT_EQ(http->Body(), "first");
    server.On("/page", Reply::Page(200, "OK", "second"));
    http->Get(server.Url("/page"));
    EXPECT_EQ(http->Body(), "second");
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(NMHTTPTest, PostSendsTheFormBodyUnchanged) {
    const std::string data = "_to_address=survey@korvel.example&_subject=KorvelHighscore"
                             "&body=Name:\r\nA & B = 100% \xe9t\xe9\r\n";
    server.On("/cgi-bin/form-to-mail.cgi",
              Reply::Page(200, "OK", "<p>Your mail has been sent.</p>"));
    http->Post(server.Url("/cgi-bin/form-to-mail.cgi"), data);
    EXPECT_EQ(http->Body(), "<p>Your mail has been sent.</p>");
    const std::vector<HttpRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, data);
    EXPECT_EQ(requests[0].Field("Content-Type"), "application/x-www-form-urlencoded")
        << requests[0].header;
}

TEST_F(NMHTTPTest, RedirectIsFollowed) {
    server.On("/old", Reply::Page(302, "Found", "", "Location: /new\r\n"));
    server.On("/new", Reply::Page(200, "OK", "moved here"));
    http->Get(server.Url("/old"));
    EXPECT_EQ(http->Body(), "moved here");
}

struct FailureCase {
    const char* name;
    bool post;
    std::string path; // empty: a port where nothing listens
    Reply reply;
    std::string body;    // what Body holds afterwards
    std::string message; // a part of the exception's text
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

Reply Scripted(Reply::Kind kind) {
    Reply reply;
    reply.kind = kind;
    return reply;
}

Reply BrokenOff() {
    Reply reply;
    reply.raw = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\n<html>";
    return reply;
}

class NMHTTPFailureTest : public NMHTTPTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(NMHTTPFailureTest, FailureRaises) {
    const FailureCase& failure = GetParam();
    std::string url = "http://127.0.0.1:" + std::to_string(FreePort()) + "/";
    if (failure.path == "bad")
        url = "not a url at all";
    else if (!failure.path.empty()) {
        server.On(failure.path, failure.reply);
        url = server.Url(failure.path);
    }
    // Only a request that is never answered waits for the time-out: a short
    // one keeps the case quick, and as nothing is coming it cannot end a
    // request too soon.
    http->TimeOut = failure.reply.kind == Reply::Hold ? 300 : WaitBoundMs;
    try {
        if (failure.post)
            http->Post(url, "a=1");
        else
            http->Get(url);
        FAIL() << "no exception; Body: " << http->Body();
    } catch (const Exception& error) {
        EXPECT_NE(error.Message.find(failure.message), std::string::npos) << error.Message;
    }
    EXPECT_EQ(http->Body(), failure.body);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NMHTTPFailureTest,
    testing::Values(
        FailureCase{"NotFound", false, "/missing", Reply::Page(404, "Not Found", "gone"), "gone",
                    "HTTP 404 Not Found"},
        FailureCase{"ServerError", true, "/cgi", Reply::Page(500, "Oops", "has been sent"),
                    "has been sent", "HTTP 500 Oops"},
        FailureCase{"Refused", false, "", {}, "", "refused"},
        FailureCase{"RefusedPost", true, "", {}, "", "refused"},
        FailureCase{"Dropped", false, "/drop", Scripted(Reply::Drop), "", "closed"},
        FailureCase{"BrokenOff", false, "/short", BrokenOff(), "", "closed"},
        FailureCase{"NeverAnswers", false, "/hold", Scripted(Reply::Hold), "", "timed out"},
        FailureCase{"NeverAnswersPost", true, "/hold", Scripted(Reply::Hold), "", "timed out"},
        FailureCase{"MalformedUrl", false, "bad", {}, "", "unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NMHTTPTest, FailureClearsTheBodyOfTheRequestBefore) {
    server.On("/page", Reply::Page(200, "OK", "old page"));
    http->Get(server.Url("/page"));
    server.On("/page", Scripted(Reply::Drop));
    EXPECT_THROW(http->Get(server.Url("/page")), Exception);
    EXPECT_EQ(http->Body(), "");
}

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// The windows go on repainting and the timers go on firing while a
// request waits for a slow server: the server answers only once they have.
TEST_F(NMHTTPTest, EventLoopRunsWhileWaiting) {
    Reply slow = Reply::Page(200, "OK", "late page");
    slow.kind = Reply::Hold;
    server.On("/slow", slow);
    PaintCounter window;
    window.resize(50, 50);
    window.show();
    ASSERT_TRUE(PumpUntil([&] { return window.paints > 0; }));
    const int paintsBefore = window.paints;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        window.update();
        if (++ticks >= 10 && window.paints - paintsBefore >= 5)
            server.Release();
    });
    timer.start();
    http->TimeOut = WaitBoundMs;
    http->Get(server.Url("/slow"));
    EXPECT_EQ(http->Body(), "late page");
}

TEST_F(NMHTTPTest, RequestStartedInsideTheWaitRaisesAndTheFirstGoesOn) {
    Reply slow = Reply::Page(200, "OK", "outer");
    slow.kind = Reply::Hold;
    server.On("/slow", slow);
    server.On("/inner", Reply::Page(200, "OK", "inner"));
    bool innerRaised = false;
    QTimer::singleShot(50, [&] {
        try {
            http->Get(server.Url("/inner"));
        } catch (const Exception&) {
            innerRaised = true;
        }
        server.Release();
    });
    http->Get(server.Url("/slow"));
    EXPECT_TRUE(innerRaised);
    EXPECT_EQ(http->Body(), "outer");
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(NMHTTPTest, FreeingTheComponentDuringTheWaitEndsTheRequest) {
    server.On("/hold", Scripted(Reply::Hold));
    TNMHTTP* waiting = http.get();
    QTimer::singleShot(100, [&] { http.reset(); });
    EXPECT_THROW(waiting->Get(server.Url("/hold")), Exception);
    EXPECT_EQ(http, nullptr);
}

} // namespace
