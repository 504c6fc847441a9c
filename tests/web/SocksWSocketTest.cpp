#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/LocalNet.h"
#include "tests/support/Pump.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestListener.h"
#include "tests/web/DebianServer.h"
#include "tests/web/SocketLog.h"
#include "web/SocksWSocket.h"

namespace {

const char DantePath[] = "/usr/sbin/danted";
const char MicrosocksPath[] = "/usr/bin/microsocks";

// Dante passes connections to 127.0.0.1 only; any other destination is
// refused by its rules before it is ever contacted.
DebianServer::Config DanteConfig() {
    return {DantePath,
            {"-f", "{dir}/sockd.conf", "-p", "{dir}/sockd.pid"},
            {{"sockd.conf", "logoutput: stderr\n"
                            "internal: 127.0.0.1 port = {port}\n"
                            "external: 127.0.0.1\n"
                            "socksmethod: none\n"
                            "clientmethod: none\n"
                            "client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
                            "socks pass {\n  from: 127.0.0.0/8 to: 127.0.0.1/32\n"
                            "  protocol: tcp\n  command: connect\n}\n"
                            "socks block {\n  from: 0.0.0.0/0 to: 0.0.0.0/0\n}\n"}}};
}

DebianServer::Config MicrosocksConfig() {
    return {
        MicrosocksPath, {"-i", "127.0.0.1", "-p", "{port}", "-u", "korvel", "-P", "s3cret"}, {}};
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

// What a scripted server heard, read after its thread has ended.
struct Heard {
    std::mutex mutex;
    std::string bytes;
    void Add(const std::string& more) {
        std::lock_guard lock(mutex);
        bytes += more;
    }
    std::string Text() {
        std::lock_guard lock(mutex);
        return bytes;
    }
};

class Socks : public testing::Test {
protected:
    Socks() : log(std::make_unique<SocketLog>(socket)) {
        socket.OnSocksError = [this](TObject*, int error, const AnsiString& message) {
            errors.push_back(std::to_string(error) + " " + message);
        };
        socket.OnSocksAuthState = [this](TObject*, TSocksAuthState state) {
            authStates.push_back(state);
        };
        socket.OnDataAvailable = [this](TObject*, WORD) { received += socket.ReceiveStr(); };
    }

    void Connect(const std::string& level, int socksPort, const std::string& addr, int port) {
        socket.SocksLevel = level;
        socket.SocksServer = "127.0.0.1";
        socket.SocksPort = std::to_string(socksPort);
        socket.Addr = addr;
        socket.Port = std::to_string(port);
        socket.Connect();
    }

    // The error of the first OnSessionConnected; -1 when none came.
    int WaitConnected(int timeoutMs = WaitBoundMs) {
        int error = -1;
        PumpUntil(
            [&] {
                for (const std::string& line : log->lines)
                    if (line.starts_with("connected ")) {
                        error = std::stoi(line.substr(10));
                        return true;
                    }
                return false;
            },
            timeoutMs);
        return error;
    }

    void RequireServer(const char* program) {
        ASSERT_TRUE(DebianServer::Installed(program))
            << program << " is missing: scripts/setup installs it";
    }

    TSocksWSocket socket{nullptr};
    std::unique_ptr<SocketLog> log;
    std::vector<std::string> errors;
    std::vector<TSocksAuthState> authStates;
    std::string received;
};

TEST_F(Socks, SettingsAndWhatSocksRefuses) {
    socket.SocksLevel = "4a";
    EXPECT_EQ(socket.SocksLevel(), "4A");
    try {
        socket.SocksLevel = "6";
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, "Invalid socks level. Must be 4, 4A or 5.");
    }
    EXPECT_EQ(socket.SocksLevel(), "4A");

    socket.SocksServer = "127.0.0.1";
    socket.Addr = "127.0.0.1";
    socket.Port = "0";
    try {
        socket.Listen();
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, "Listening is not supported thru socks server");
    }
    socket.Proto = "udp";
    socket.Port = "80";
    try {
        socket.Connect();
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, "tcp is the only protocol supported thru socks server");
    }
}

TEST_F(Socks, SettingsAreRefusedUnlessClosed) {
    TestListener server;
    Connect("5", server.Port(), "127.0.0.1", 80);
    TestPeer peer = server.Accept();
    const std::pair<std::function<void()>, const char*> settings[] = {
        {[&] { socket.SocksLevel = "4"; }, "Can't change socks level if not closed"},
        {[&] { socket.SocksServer = "x"; }, "Can't change socks server if not closed"},
        {[&] { socket.SocksPort = "1"; }, "Can't change socks port if not closed"},
    };
    for (const auto& [change, message] : settings) {
        try {
            change();
            ADD_FAILURE() << "no exception for " << message;
        } catch (const ESocketException& error) {
            EXPECT_EQ(error.Message, message);
        }
    }
}

class DanteLevels : public Socks, public testing::WithParamInterface<std::string> {};

TEST_P(DanteLevels, ConnectsThroughToTheTargetAndCarriesDataBothWays) {
    RequireServer(DantePath);
    DebianServer dante(DanteConfig());
    TestListener target;
    int socksConnected = -1;
    socket.OnSocksConnected = [&](TObject*, WORD error) { socksConnected = error; };
    Connect(GetParam(), dante.Port(), "127.0.0.1", target.Port());
    ASSERT_EQ(WaitConnected(), 0) << dante.Log();
    TestPeer far = target.Accept();
    ASSERT_TRUE(far.Valid()) << dante.Log();
    EXPECT_EQ(socksConnected, 0);
    EXPECT_TRUE(errors.empty());
    ASSERT_TRUE(far.Send("banner\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return received == "banner\r\n"; }));
    socket.SendStr("ping");
    EXPECT_EQ(far.Receive(4), "ping");
    far.Close();
    EXPECT_TRUE(log->WaitFor("closed 0"));
}

INSTANTIATE_TEST_SUITE_P(WithDante, DanteLevels, testing::Values("5", "4"));

struct RefusalCase {
    const char* level;
    const char* addr;
    bool openPort;
    int error;
    const char* message;
};

void PrintTo(const RefusalCase& value, std::ostream* out) {
    *out << value.level;
}

class DanteRefusals : public Socks, public testing::WithParamInterface<RefusalCase> {};

TEST_P(DanteRefusals, EndTheConnectionWithTheSocksError) {
    RequireServer(DantePath);
    DebianServer dante(DanteConfig());
    TestListener target;
    const int port = GetParam().openPort ? target.Port() : FreePort();
    Connect(GetParam().level, dante.Port(), GetParam().addr, port);
    ASSERT_EQ(WaitConnected(), GetParam().error) << dante.Log();
    EXPECT_EQ(errors, std::vector<std::string>{std::to_string(GetParam().error) + " " +
                                               GetParam().message});
    EXPECT_TRUE(log->WaitFor("closed " + std::to_string(GetParam().error)));
    EXPECT_EQ(socket.State(), wsClosed);
}

INSTANTIATE_TEST_SUITE_P(
    WithDante, DanteRefusals,
    testing::Values(RefusalCase{"4", "127.0.0.2", true, 20016, "request rejected or failed"},
                    RefusalCase{"5", "127.0.0.2", true, 20005, "connection not allowed by ruleset"},
                    RefusalCase{"5", "127.0.0.1", false, 20008, "connection refused"}),
    [](const testing::TestParamInfo<RefusalCase>& info) {
        return std::string("Level") + info.param.level +
               (info.param.openPort ? "Blocked" : "Closed");
    });

TEST_F(Socks, ARealServerThatWantsNoPasswordRefusesTheUsercodeMethod) {
    RequireServer(DantePath);
    DebianServer dante(DanteConfig());
    socket.SocksAuthentication = socksAuthenticateUsercode;
    Connect("5", dante.Port(), "127.0.0.1", 80);
    EXPECT_EQ(WaitConnected(), 20003) << dante.Log();
    EXPECT_EQ(errors, std::vector<std::string>{"20003 authentification method not acceptable"});
}

TEST_F(Socks, UsercodeAndPasswordAgainstMicrosocks) {
    RequireServer(MicrosocksPath);
    DebianServer microsocks(MicrosocksConfig());
    TestListener target;
    socket.SocksAuthentication = socksAuthenticateUsercode;
    socket.SocksUsercode = "korvel";
    socket.SocksPassword = "s3cret";
    Connect("5", microsocks.Port(), "127.0.0.1", target.Port());
    ASSERT_EQ(WaitConnected(), 0) << microsocks.Log();
    TestPeer far = target.Accept();
    EXPECT_EQ(authStates, (std::vector<TSocksAuthState>{socksAuthStart, socksAuthSuccess}));
    socket.SendStr("through");
    EXPECT_EQ(far.Receive(7), "through");
    socket.Close();

    log->lines.clear();
    authStates.clear();
    socket.SocksAuthentication = socksAuthenticateUsercode;
    socket.SocksUsercode = "korvel";
    socket.SocksPassword = "wrong";
    Connect("5", microsocks.Port(), "127.0.0.1", target.Port());
    EXPECT_EQ(WaitConnected(), 20015) << microsocks.Log();
    EXPECT_EQ(authStates, (std::vector<TSocksAuthState>{socksAuthStart, socksAuthFailure}));
    EXPECT_EQ(errors, std::vector<std::string>{"20015 socks authentication failed"});

    errors.clear();
    log->lines.clear();
    socket.SocksAuthentication = socksNoAuthentication;
    Connect("5", microsocks.Port(), "127.0.0.1", target.Port());
    EXPECT_EQ(WaitConnected(), 20003) << "a server that wants a password answers method 255";
}

// A server of the test's own that answers each request with bytes of its
// choosing: `replies` are sent one after the other, each after reading
// `reads` bytes.
struct Exchange {
    size_t reads;
    std::string reply;
};

std::unique_ptr<ScriptedServer> Scripted(std::vector<Exchange> exchanges,
                                         std::shared_ptr<Heard> heard) {
    return std::make_unique<ScriptedServer>(
        [exchanges = std::move(exchanges), heard](TestPeer& client) {
            for (const Exchange& step : exchanges) {
                heard->Add(client.Receive(step.reads));
                client.Send(step.reply);
            }
            client.WaitForEnd();
        });
}

struct ScriptCase {
    const char* name;
    const char* level;
    std::vector<Exchange> exchanges;
    int error;
    const char* message;
};

void PrintTo(const ScriptCase& value, std::ostream* out) {
    *out << value.name;
}

class ScriptedReplies : public Socks, public testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptedReplies, GiveTheirErrorCodes) {
    auto heard = std::make_shared<Heard>();
    auto server = Scripted(GetParam().exchanges, heard);
    socket.SocksUsercode = "bob";
    socket.SocksPassword = "pw";
    if (std::string(GetParam().name).starts_with("Auth"))
        socket.SocksAuthentication = socksAuthenticateUsercode;
    Connect(GetParam().level, server->Port(), "127.0.0.1", 8080);
    EXPECT_EQ(WaitConnected(), GetParam().error);
    EXPECT_EQ(errors, std::vector<std::string>{std::to_string(GetParam().error) + " " +
                                               GetParam().message});
    EXPECT_TRUE(log->WaitFor("closed " + std::to_string(GetParam().error)));
}

const std::string Granted5 = Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0x1F, 0x90});
const size_t Request5 = 7 + 9;
const size_t Request4 = 9 + 3;

std::vector<Exchange> Level5Reply(int code) {
    return {{3, Bytes({5, 0})}, {Request5, Bytes({5, code, 0, 1, 0, 0, 0, 0, 0, 0})}};
}

std::vector<Exchange> Level4Reply(int version, int code) {
    return {{Request4, Bytes({version, code, 0, 0, 0, 0, 0, 0})}};
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, ScriptedReplies,
    testing::Values(
        ScriptCase{"Method255",
                   "5",
                   {{3, Bytes({5, 255})}},
                   20003,
                   "authentification method not acceptable"},
        ScriptCase{"GreetingVersion", "5", {{3, Bytes({4, 0})}}, 20002, "socks version error"},
        ScriptCase{"Code91", "4", Level4Reply(0, 91), 20016, "request rejected or failed"},
        ScriptCase{"Code92", "4", Level4Reply(0, 92), 20008, "connection refused"},
        ScriptCase{"Code93", "4", Level4Reply(0, 93), 20015, "authentification failed"},
        ScriptCase{"Code77", "4", Level4Reply(0, 77), 20012, "unassigned error #77"},
        ScriptCase{"Level4Version", "4", Level4Reply(4, 90), 20002, "socks version error"},
        ScriptCase{"Failure1", "5", Level5Reply(1), 20004, "general SOCKS server failure"},
        ScriptCase{"Failure2", "5", Level5Reply(2), 20005, "connection not allowed by ruleset"},
        ScriptCase{"Failure3", "5", Level5Reply(3), 20006, "network unreachable"},
        ScriptCase{"Failure4", "5", Level5Reply(4), 20007, "host unreachable"},
        ScriptCase{"Failure5", "5", Level5Reply(5), 20008, "connection refused"},
        ScriptCase{"Failure6", "5", Level5Reply(6), 20009, "time to live expired"},
        ScriptCase{"Failure7", "5", Level5Reply(7), 20010, "command not supported"},
        ScriptCase{"Failure8", "5", Level5Reply(8), 20011, "address type not supported"},
        ScriptCase{"Failure9", "5", Level5Reply(9), 20012, "unassigned error #9"},
        ScriptCase{"AddressType4",
                   "5",
                   {{3, Bytes({5, 0})}, {Request5, Bytes({5, 0, 0, 4, 0, 0, 0, 0})}},
                   20011,
                   "address type not supported"},
        ScriptCase{"ReplyVersion",
                   "5",
                   {{3, Bytes({5, 0})}, {Request5, Bytes({4, 0, 0, 1, 0, 0, 0, 0, 0, 0})}},
                   20002,
                   "socks version error"},
        ScriptCase{"AuthTooMuch",
                   "5",
                   {{3, Bytes({5, 2})}, {8, Bytes({1, 0, 7})}},
                   20001,
                   "too much data availaible"},
        ScriptCase{"AuthVersion",
                   "5",
                   {{3, Bytes({5, 2})}, {8, Bytes({2, 0})}},
                   20002,
                   "socks version error"},
        ScriptCase{"AuthRefused",
                   "5",
                   {{3, Bytes({5, 2})}, {8, Bytes({1, 1})}},
                   20015,
                   "socks authentication failed"}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });

TEST_F(Socks, TheRequestsAreTheProtocolsBytes) {
    struct RequestCase {
        const char* level;
        const char* addr;
        bool authenticate;
        std::vector<Exchange> exchanges;
        std::string expected;
    };
    const std::string name = "korvel.example";
    const RequestCase cases[] = {
        {"5",
         "korvel.example",
         false,
         {{3, Bytes({5, 0})}, {7 + name.size(), Granted5}},
         Bytes({5, 1, 0}) + Bytes({5, 1, 0, 3, 14}) + name + Bytes({0x1F, 0x90})},
        {"5",
         "korvel.example",
         true,
         {{3, Bytes({5, 2})}, {3 + 3 + 6, Bytes({1, 0})}, {7 + name.size(), Granted5}},
         Bytes({5, 1, 2}) + Bytes({1, 3}) + "bob" + Bytes({6}) + "secret" +
             Bytes({5, 1, 0, 3, 14}) + name + Bytes({0x1F, 0x90})},
        {"4A",
         "korvel.example",
         false,
         {{9 + 3 + name.size() + 1, Bytes({0, 90, 0, 0, 0, 0, 0, 0})}},
         Bytes({4, 1, 0x1F, 0x90, 0, 0, 0, 1}) + "bob" + Bytes({0}) + name + Bytes({0})},
        {"4",
         "127.0.0.1",
         false,
         {{9 + 3, Bytes({0, 90, 0, 0, 0, 0, 0, 0})}},
         Bytes({4, 1, 0x1F, 0x90, 127, 0, 0, 1}) + "bob" + Bytes({0})},
    };
    for (const RequestCase& test : cases) {
        SCOPED_TRACE(std::string(test.level) + (test.authenticate ? " with password" : ""));
        log->lines.clear();
        auto heard = std::make_shared<Heard>();
        auto server = Scripted(test.exchanges, heard);
        socket.SocksUsercode = "bob";
        socket.SocksPassword = "secret";
        socket.SocksAuthentication =
            test.authenticate ? socksAuthenticateUsercode : socksNoAuthentication;
        Connect(test.level, server->Port(), test.addr, 8080);
        EXPECT_EQ(WaitConnected(), 0);
        socket.Close();
        server.reset();
        EXPECT_EQ(heard->Text(), test.expected);
    }
}

TEST_F(Socks, TheLongestReplyAndTheDataBehindItArriveWhole) {
    const std::string longName(255, 'n');
    const std::string reply = Bytes({5, 0, 0, 3, 255}) + longName + Bytes({0, 80});
    auto heard = std::make_shared<Heard>();
    auto server = Scripted({{3, Bytes({5, 0})}, {Request5, reply + "HELLO FROM FAR"}}, heard);
    Connect("5", server->Port(), "127.0.0.1", 8080);
    ASSERT_EQ(WaitConnected(), 0);
    ASSERT_TRUE(PumpUntil([&] { return received == "HELLO FROM FAR"; })) << received;
    socket.Close();
}

TEST_F(Socks, AReplyInSingleBytesIsGathered) {
    auto server = std::make_unique<ScriptedServer>([](TestPeer& client) {
        client.Receive(3);
        client.Send(Bytes({5}));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        client.Send(Bytes({0}));
        client.Receive(Request5);
        for (const char byte : Granted5) {
            client.Send(std::string(1, byte));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        client.WaitForEnd();
    });
    Connect("5", server->Port(), "127.0.0.1", 8080);
    EXPECT_EQ(WaitConnected(), 0);
    socket.Close();
}

TEST_F(Socks, AServerThatHangsUpMidwayOnlyClosesTheSocket) {
    auto server = std::make_unique<ScriptedServer>([](TestPeer& client) {
        client.Receive(3);
        client.Send(Bytes({5}));
    });
    Connect("5", server->Port(), "127.0.0.1", 8080);
    EXPECT_TRUE(log->WaitFor("closed 0"));
    EXPECT_EQ(WaitConnected(0), -1);
    EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(Socks, RandomRepliesNeverBreakTheLayer) {
    std::mt19937 random(7);
    for (int attempt = 0; attempt < 40; ++attempt) {
        std::string reply(random() % 300, '\0');
        for (char& byte : reply)
            byte = static_cast<char>(random());
        if (attempt % 2 == 0 && !reply.empty())
            reply[0] = 5;
        const char* level = attempt % 3 == 0 ? "4" : (attempt % 3 == 1 ? "4A" : "5");
        auto server = std::make_unique<ScriptedServer>([reply](TestPeer& c) {
            c.Receive(1, 1000);
            c.Send(reply);
        });
        log->lines.clear();
        errors.clear();
        Connect(level, server->Port(), "127.0.0.1", 8080);
        ASSERT_TRUE(PumpUntil([&] {
            return socket.State() == wsClosed || log->Count("connected 0") > 0;
        })) << "attempt "
            << attempt;
        socket.Abort();
        server.reset();
    }
}

TEST_F(Socks, FieldsTooLongForTheirLengthByteAreRefused) {
    TestListener server;
    socket.SocksUsercode = std::string(256, 'u');
    try {
        Connect("5", server.Port(), "127.0.0.1", 80);
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, "Connect: host name, user code or password too long for socks");
    }
    EXPECT_EQ(socket.State(), wsClosed);
}

} // namespace
