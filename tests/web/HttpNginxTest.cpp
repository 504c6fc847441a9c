#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#include "myunits/TGlobalBlowFish.h"
#include "tests/web/WebServerConfigs.h"
#include "web/HTTPConnector.h"
#include "web/HttpProt.h"

namespace {

// The client against Debian's nginx.
class HttpNginxTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DebianServer::Installed("/usr/sbin/nginx"))
            << "nginx is missing; run scripts/setup";
        nginx = std::make_unique<DebianServer>(httptest::NginxConfig());
        client.ReplyStream = &received;
        client.PostStream = &toSend;
    }

    std::string Url(const std::string& path) {
        return "http://127.0.0.1:" + std::to_string(nginx->Port()) + path;
    }

    std::string Body() {
        return std::string(reinterpret_cast<const char*>(received.Memory()),
                           static_cast<size_t>(received.Size));
    }

    std::unique_ptr<DebianServer> nginx;
    TMemoryStream received;
    TMemoryStream toSend;
    THttpCli client{nullptr};
};

TEST_F(HttpNginxTest, GetFetchesAFile) {
    client.URL = Url("/hello.txt");
    client.Get();
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(client.ReasonPhrase(), "OK");
    EXPECT_EQ(client.ContentType(), "text/plain");
    EXPECT_EQ(client.ContentLength, 17);
    EXPECT_EQ(client.DocName(), "hello.txt");
    EXPECT_EQ(Body(), "Hello from nginx\n");
}

TEST_F(HttpNginxTest, PostDeliversTheBody) {
    const std::string data = "subject=x&body=a b";
    toSend.WriteBuffer(data.data(), static_cast<int>(data.size()));
    toSend.Position = 0;
    client.URL = Url("/cgi-bin/post.pl");
    client.Post();
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(Body(), "posted\n");
    const std::string line = "POST /cgi-bin/post.pl [subject=x&body=a b]";
    const std::string log = httptest::ReadLogOnceItHolds(nginx->Folder() + "/posts.log", line);
    EXPECT_NE(log.find(line), std::string::npos) << log;
}

TEST_F(HttpNginxTest, AMissingFileRaisesNotFound) {
    client.URL = Url("/missing.txt");
    try {
        client.Get();
        ADD_FAILURE() << "Get returned";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode, 404);
        EXPECT_EQ(e.Message, "Not Found");
    }
    EXPECT_EQ(Body(), "");
}

TEST_F(HttpNginxTest, RedirectsAreFollowedAndAPostBecomesAGet) {
    for (const char* path : {"/moved", "/relative"}) {
        received.Clear();
        toSend.Clear();
        toSend.WriteBuffer("a=1", 3);
        toSend.Position = 0;
        client.URL = Url(path);
        client.Post();
        EXPECT_EQ(client.StatusCode, 200) << path;
        EXPECT_EQ(Body(), "Hello from nginx\n") << path;
        EXPECT_EQ(client.Location(), Url("/hello.txt")) << path;
    }
}

TEST_F(HttpNginxTest, AFileOfSeveralMegabytesArrivesIntact) {
    std::string big(5 * 1024 * 1024 + 3, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7 + i / 4093) & 0xFF);
    {
        std::ofstream file(nginx->Folder() + "/big.bin", std::ios::binary);
        file << big;
    }
    client.URL = Url("/big.bin");
    client.Get();
    EXPECT_EQ(client.ContentLength, static_cast<int>(big.size()));
    EXPECT_TRUE(Body() == big);
}

// A location that redirects to itself: the request ends as a failed one
// after twenty redirects, the twenty-first reply ends it, and no request
// follows; a form post reports it as its reason.
TEST_F(HttpNginxTest, ARedirectLoopEndsAfterTwentyRedirectsAsAFailure) {
    int locationChanges = 0;
    client.OnLocationChange = [&](TObject*) { ++locationChanges; };
    client.URL = Url("/loop");
    EXPECT_THROW(client.Get(), EHttpException);
    EXPECT_EQ(client.StatusCode, 404);
    EXPECT_EQ(client.ReasonPhrase(), THttpCli::TooManyRedirects);
    EXPECT_EQ(locationChanges, THttpCli::MaxRedirects);
    const std::string loops = nginx->Folder() + "/loop.log";
    const size_t requests = THttpCli::MaxRedirects + 1;
    std::string log = httptest::ReadLogOnceItHasLines(loops, requests);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), static_cast<long>(requests)) << log;

    const TGlobalBlowFish cipher; // the connector's proxy store is enciphered
    AnsiString response = "untouched";
    EXPECT_EQ(PostHTTPRequest(Url("/loop"), "a=1", response), THttpCli::TooManyRedirects);
    EXPECT_EQ(response, "");
    log = httptest::ReadLogOnceItHasLines(loops, 2 * requests);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), static_cast<long>(2 * requests)) << log;
}

} // namespace
