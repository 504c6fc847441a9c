#include <gtest/gtest.h>

#include "web/HttpProtFunctions.h"

namespace {

struct UrlCase {
    const char* url;
    const char* previousPath;
    const char* proto;
    const char* user;
    const char* pass;
    const char* host;
    const char* port;
    const char* path;
};

TEST(HttpProtFunctionsTest, ParseURLSplitsEveryForm) {
    const UrlCase cases[] = {
        {"http://korvel.example/cgi-bin/ID.pl", "", "http", "", "", "korvel.example", "",
         "/cgi-bin/ID.pl"},
        {"http://ann:se:cret@host:8080/a?b=/c", "", "http", "ann", "se:cret", "host", "8080",
         "/a?b=/c"},
        {"http://a@b@host", "", "http", "a@b", "", "host", "", ""},
        {"ftp://host?x=1", "", "ftp", "", "", "host", "", "?x=1"},
        {"host.example:81/x", "", "", "", "", "host.example", "81", "/x"},
        {"/only/path", "", "http", "", "", "", "", "/only/path"},
        {"http:/x/y", "", "http", "", "", "", "", "/x/y"},
        {"mailto:joe@mail.example", "", "mailto", "joe", "", "mail.example", "", ""},
        {"./next.html", "/dir/page.html", "", "", "", "", "", "/dir/next.html"},
        {"./next.html", "nodir", "", "", "", "", "", "/next.html"},
        {"../up.html", "/a/b/page.html", "", "", "", "", "", "/a/up.html"},
        {"../../top.html", "/a/b/page.html", "", "", "", "", "", "/top.html"},
        {"../../../beyond.html", "/a/page.html", "", "", "", "", "", "/beyond.html"},
        {"", "/kept", "", "", "", "", "", ""},
    };
    for (const UrlCase& c : cases) {
        AnsiString proto = "x", user = "x", pass = "x", host = "x", port = "x",
                   path = c.previousPath;
        ParseURL(c.url, proto, user, pass, host, port, path);
        EXPECT_EQ(proto, c.proto) << c.url;
        EXPECT_EQ(user, c.user) << c.url;
        EXPECT_EQ(pass, c.pass) << c.url;
        EXPECT_EQ(host, c.host) << c.url;
        EXPECT_EQ(port, c.port) << c.url;
        EXPECT_EQ(path, c.path) << c.url;
    }
}

TEST(HttpProtFunctionsTest, RFC1123DateCountsDaysFromTheEndOf1899) {
    EXPECT_EQ(RFC1123_Date(0), "Sat, 30 Dec 1899 00:00:00");
    EXPECT_EQ(RFC1123_Date(34644 + 31777.0 / 86400), "Sun, 06 Nov 1994 08:49:37");
    EXPECT_EQ(RFC1123_Date(36585), "Tue, 29 Feb 2000 00:00:00");
    EXPECT_EQ(RFC1123_Date(45658.5), "Wed, 01 Jan 2025 12:00:00");
}

TEST(HttpProtFunctionsTest, Base64FillsToFourAndUuencodeMakesOneLine) {
    const std::pair<const char*, const char*> base64[] = {
        {"", ""},
        {"a", "YQ=="},
        {"ab", "YWI="},
        {"abc", "YWJj"},
        {"Aladdin:open sesame", "QWxhZGRpbjpvcGVuIHNlc2FtZQ=="},
        {"\xff\xfe", "//4="}};
    for (const auto& [text, encoded] : base64) {
        EXPECT_EQ(EncodeStr(encBase64, text), encoded) << text;
        EXPECT_EQ(EncodeStr(encMime, text), encoded) << text;
    }
    EXPECT_EQ(EncodeStr(encUUEncode, "Cat"), "#0V%T");
    EXPECT_EQ(EncodeStr(encUUEncode, ""), "`");
    EXPECT_EQ(EncodeLine(encUUEncode, "\0\0\0", 3), "#````");
    const AnsiString long76(45, 'x');
    EXPECT_EQ(EncodeStr(encBase64, long76).size(), 60u);
}

TEST(HttpProtFunctionsTest, PosnCountsFromEitherEnd) {
    EXPECT_EQ(Posn("/", "/a/b/c", -1), 5);
    EXPECT_EQ(Posn("/", "/a/b/c", -3), 1);
    EXPECT_EQ(Posn("/", "/a/b/c", -4), 0);
    EXPECT_EQ(Posn("/", "/a/b/c", 2), 3);
    EXPECT_EQ(Posn("/", "/a/b/c", 4), 0);
    EXPECT_EQ(Posn("aa", "aaa", -1), 2);
    EXPECT_EQ(Posn("long", "x", -1), 0);
}

TEST(HttpProtFunctionsTest, ReplaceExtReplacesOrAppends) {
    EXPECT_EQ(ReplaceExt("setup.exe", "htm"), "setup.htm");
    EXPECT_EQ(ReplaceExt("a.b.c", "d"), "a.b.d");
    EXPECT_EQ(ReplaceExt("readme", "txt"), "readme.txt");
}

} // namespace
