#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "myunits/TGlobalBlowFish.h"
#include "tests/support/HttpRequest.h"
#include "tests/support/LocalNet.h"
#include "tests/support/ScriptedServer.h"
#include "tests/web/HttpConnectorTestSupport.h"
#include "tests/web/WebServerConfigs.h"
#include "web/HTTPConnector.h"

namespace {

// Each test builds its own connector after writing the proxy store, as
// the program reads the store when the connector is built.
class HttpProxyTest : public testing::Test {
protected:
    std::unique_ptr<ScriptedServer> Serve(std::shared_ptr<HttpRequest> captured) {
        return std::make_unique<ScriptedServer>([captured](TestPeer& connection) {
            *captured = ReadHttpRequest(connection);
            connection.Send("HTTP/1.0 200 OK\r\n\r\nproxied");
        });
    }

    AnsiString Post(const std::vector<std::string>& store, const AnsiString& url) {
        httptest::WriteProxyStore(store);
        THTTPConnector connector;
        return connector.Post(url, "a=1", response);
    }

    TGlobalBlowFish cipher;
    AnsiString response;
    std::shared_ptr<HttpRequest> request = std::make_shared<HttpRequest>();
};

TEST_F(HttpProxyTest, TheConnectorWritesTheStoreWithItsDefaults) {
    { THTTPConnector connector; }
    EXPECT_EQ(httptest::ReadProxyStore(), (std::vector<std::string>{"0", "", "8080", "", ""}));
}

TEST_F(HttpProxyTest, WithoutProxyThePathGoesToTheUrlsHost) {
    auto server = Serve(request);
    const std::string url = "http://127.0.0.1:" + std::to_string(server->Port()) + "/cgi-bin/ID.pl";
    EXPECT_EQ(Post({"0", "127.0.0.1", "1", "ann", "pw"}, url), "OK");
    server.reset();
    EXPECT_EQ(request->RequestLine(), "POST /cgi-bin/ID.pl HTTP/1.0");
    EXPECT_EQ(request->Field("Proxy-Authorization"), "");
    EXPECT_EQ(response, "proxied\r\n");
}

TEST_F(HttpProxyTest, ThroughTheProxyTheRequestLineCarriesTheWholeUrl) {
    auto proxy = Serve(request);
    EXPECT_EQ(Post({"1", "127.0.0.1", std::to_string(proxy->Port()), "", "secret"},
                   "http://korvel.example/cgi-bin/ID.pl?x=1"),
              "OK");
    proxy.reset();
    EXPECT_EQ(request->RequestLine(), "POST http://korvel.example/cgi-bin/ID.pl?x=1 HTTP/1.0");
    EXPECT_EQ(request->Field("Host"), "korvel.example");
    // A password without a user name sends nothing.
    EXPECT_EQ(request->Field("Proxy-Authorization"), "");
    EXPECT_EQ(request->body, "a=1");
}

TEST_F(HttpProxyTest, APortInTheProxyHostWinsAndAUserSendsAuthorization) {
    auto proxy = Serve(request);
    const int closedPort = FreePort();
    EXPECT_EQ(Post({"1", "127.0.0.1:" + std::to_string(proxy->Port()), std::to_string(closedPort),
                    "ann", "pw"},
                   "http://korvel.example:8000/cgi-bin/ID.pl"),
              "OK");
    proxy.reset();
    EXPECT_EQ(request->RequestLine(), "POST http://korvel.example:8000/cgi-bin/ID.pl HTTP/1.0");
    EXPECT_EQ(request->Field("Host"), "korvel.example");
    EXPECT_EQ(request->Field("Proxy-Authorization"), "Basic YW5uOnB3");
}

// Debian's tinyproxy in front of Debian's nginx.
class HttpTinyproxyTest : public HttpProxyTest {
protected:
    void SetUp() override {
        for (const char* program : {"/usr/sbin/nginx", "/usr/bin/tinyproxy"})
            ASSERT_TRUE(DebianServer::Installed(program))
                << program << " is missing; run scripts/setup";
    }

    std::string NginxUrl(const DebianServer& nginx, const std::string& path) {
        return "http://127.0.0.1:" + std::to_string(nginx.Port()) + path;
    }
};

TEST_F(HttpTinyproxyTest, APostReachesNginxThroughTheProxy) {
    DebianServer nginx(httptest::NginxConfig());
    DebianServer proxy(httptest::TinyproxyConfig());
    EXPECT_EQ(Post({"1", "127.0.0.1", std::to_string(proxy.Port()), "", ""},
                   NginxUrl(nginx, "/cgi-bin/post.pl")),
              "OK")
        << proxy.Log();
    EXPECT_EQ(response, "posted\r\n");
    const std::string line = "POST /cgi-bin/post.pl [a=1]";
    EXPECT_NE(httptest::ReadLogOnceItHolds(nginx.Folder() + "/posts.log", line).find(line),
              std::string::npos);
}

// The relative redirect keeps the port of the target behind the proxy.
TEST_F(HttpTinyproxyTest, RedirectsAreFollowedThroughTheProxy) {
    DebianServer nginx(httptest::NginxConfig());
    DebianServer proxy(httptest::TinyproxyConfig());
    for (const char* path : {"/moved", "/relative"}) {
        EXPECT_EQ(
            Post({"1", "127.0.0.1", std::to_string(proxy.Port()), "", ""}, NginxUrl(nginx, path)),
            "OK")
            << path;
        EXPECT_EQ(response, "Hello from nginx\r\n") << path;
    }
}

TEST_F(HttpTinyproxyTest, AProxyThatWantsAUserGetsOneOnlyWhenItIsSet) {
    DebianServer nginx(httptest::NginxConfig());
    DebianServer proxy(httptest::TinyproxyConfig("BasicAuth ann pw\n"));
    const std::string host = "127.0.0.1:" + std::to_string(proxy.Port());
    EXPECT_EQ(Post({"1", host, "1", "ann", "pw"}, NginxUrl(nginx, "/cgi-bin/post.pl")), "OK");
    EXPECT_EQ(response, "posted\r\n");
    EXPECT_EQ(Post({"1", host, "1", "", "pw"}, NginxUrl(nginx, "/cgi-bin/post.pl")),
              "Proxy Authentication Required");
    EXPECT_EQ(response, "");
}

} // namespace
