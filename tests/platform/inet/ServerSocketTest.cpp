#include <gtest/gtest.h>

#include <memory>

#include "platform/inet/ServerSocket.h"
#include "tests/platform/inet/SocketLog.h"
#include "tests/support/LocalNet.h"
#include "tests/support/Pump.h"
#include "tests/support/TestListener.h"

namespace {

using Entries = std::vector<std::string>;

// The host's side: our server component answers POSIX callers.
class ServerSocketTest : public testing::Test {
protected:
    void SetUp() override {
        log.Watch(*server);
        server->Port = port;
        server->Open();
    }

    // Calls the server and waits until it has taken the call.
    TestPeer Call() {
        const size_t before = log.entries.size();
        TestPeer peer = TestPeer::Connect(port);
        EXPECT_TRUE(peer.Valid());
        EXPECT_TRUE(log.Reaches(before + 2));
        return peer;
    }

    const int port = FreePort();
    std::unique_ptr<TServerSocket> server = std::make_unique<TServerSocket>(nullptr);
    SocketLog log;
};

TEST_F(ServerSocketTest, ListensAcceptsAndTalksBothWays) {
    EXPECT_TRUE(server->Active);
    EXPECT_TRUE(log.entries.empty()) << "no event runs inside Open";
    ASSERT_TRUE(log.Reaches(1));
    TestPeer peer = Call();
    EXPECT_EQ(log.entries, (Entries{"listen", "accept", "client connect"}));
    ASSERT_EQ(server->Socket->ActiveConnections, 1);
    TCustomWinSocket* connection = server->Socket->Connections[0];
    EXPECT_TRUE(connection->Connected);
    EXPECT_EQ(connection->RemoteAddress(), "127.0.0.1");

    peer.Send("NAMEAnn|");
    ASSERT_TRUE(log.Reaches(4));
    EXPECT_EQ(log.entries[3], "client read NAMEAnn|");
    peer.Send("CHAT:a|DATA:5*1*-1*0|");
    ASSERT_TRUE(log.Reaches(5));
    EXPECT_EQ(log.entries[4], "client read CHAT:a|DATA:5*1*-1*0|") << "two messages in one read";
    peer.Send("CHAT:sp");
    ASSERT_TRUE(log.Reaches(6));
    peer.Send("lit|");
    ASSERT_TRUE(log.Reaches(7));
    EXPECT_EQ(log.entries[5], "client read CHAT:sp") << "one message over two reads";
    EXPECT_EQ(log.entries[6], "client read lit|");

    const std::string answer = "NAME:B\xf6"
                               "b|";
    EXPECT_EQ(server->Socket->Connections[0]->SendText(answer), int(answer.size()));
    EXPECT_EQ(peer.Receive(answer.size()), answer);
}

TEST_F(ServerSocketTest, ConnectionsAreListedOldestFirstWhileOpen) {
    TestPeer first = Call();
    TestPeer second = Call();
    ASSERT_EQ(server->Socket->ActiveConnections, 2);
    server->Socket->Connections[1]->SendText("to second|");
    EXPECT_EQ(second.Receive(10), "to second|");
    first.Close();
    ASSERT_TRUE(PumpUntil([&] { return server->Socket->ActiveConnections == 1; }));
    server->Socket->Connections[0]->SendText("still there|");
    EXPECT_EQ(second.Receive(12), "still there|");
    EXPECT_THROW(static_cast<void>(static_cast<TCustomWinSocket*>(server->Socket->Connections[1])),
                 EListError);
}

struct VanishCase {
    const char* name;
    bool reset;
    std::string lastEntry;
    friend void PrintTo(const VanishCase& c, std::ostream* os) { *os << c.name; }
};

class ServerVanishTest : public ServerSocketTest, public testing::WithParamInterface<VanishCase> {};

TEST_P(ServerVanishTest, PeerGoingAwayEndsItsConnectionOnce) {
    TestPeer peer = Call();
    TCustomWinSocket* seen = nullptr;
    int listedDuringEvent = -1;
    auto note = [&](TCustomWinSocket* socket) {
        seen = socket;
        listedDuringEvent = server->Socket->ActiveConnections;
    };
    server->OnClientDisconnect = [&](TObject*, TCustomWinSocket* socket) {
        log.entries.push_back("client disconnect");
        note(socket);
    };
    server->OnClientError = [&](TObject*, TCustomWinSocket* socket, TErrorEvent event, int& code) {
        log.entries.push_back(ErrorEntry("client ", event, code));
        code = 0;
        note(socket);
    };
    TCustomWinSocket* connection = server->Socket->Connections[0];
    if (GetParam().reset) {
        peer.Reset();
    } else {
        peer.Send("DATA:S|");
        peer.Close();
    }
    const size_t expected = GetParam().reset ? 4 : 5;
    ASSERT_TRUE(log.Reaches(expected));
    PumpFor(100);
    ASSERT_EQ(log.entries.size(), expected);
    if (!GetParam().reset) {
        EXPECT_EQ(log.entries[3], "client read DATA:S|");
    }
    EXPECT_EQ(log.entries.back(), GetParam().lastEntry);
    EXPECT_EQ(seen, connection);
    EXPECT_EQ(listedDuringEvent, 0) << "an ended connection has left the list";
    EXPECT_EQ(server->Socket->ActiveConnections, 0);
    EXPECT_TRUE(server->Active) << "the server goes on listening";
}

INSTANTIATE_TEST_SUITE_P(Ways, ServerVanishTest,
                         testing::Values(VanishCase{"Closes", false, "client disconnect"},
                                         VanishCase{"Resets", true,
                                                    ErrorEntry("client ", eeDisconnect, 10054)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ServerSocketPortTest, PortInUseRaisesAndStaysInactive) {
    TestListener occupant;
    TServerSocket server(nullptr);
    SocketLog log;
    log.Watch(server);
    server.Port = occupant.Port();
    try {
        server.Active = true;
        FAIL() << "listening on a port in use";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.ErrorCode, 10048);
        EXPECT_NE(error.Message.find("(10048)"), std::string::npos) << error.Message;
    }
    EXPECT_FALSE(server.Active);

    TServerSocket second(nullptr);
    TServerSocket third(nullptr);
    second.Port = third.Port = FreePort();
    second.Open();
    EXPECT_THROW(third.Open(), ESocketError) << "two hosts on one machine";
    second.Close();
    third.Open();
    EXPECT_TRUE(third.Active);
    PumpFor(100);
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(ServerSocketTest, ClosingHereEndsEveryConnectionSilentlyAndStopsListening) {
    TestPeer peer = Call();
    server->Socket->Connections[0]->SendText("NAME:Bob|");
    const size_t entries = log.entries.size();
    server->Active = false;
    EXPECT_FALSE(server->Active);
    EXPECT_EQ(server->Socket->ActiveConnections, 0);
    EXPECT_EQ(peer.Receive(9), "NAME:Bob|");
    EXPECT_TRUE(peer.WaitForEnd()) << "an orderly end, not a reset";
    EXPECT_FALSE(TestPeer::Connect(port).Valid()) << "no longer listening";
    PumpFor(100);
    EXPECT_EQ(log.entries.size(), entries);

    server->Active = true;
    TestPeer again = Call();
    EXPECT_EQ(server->Socket->ActiveConnections, 1);
}

TEST_F(ServerSocketTest, HandlerMayCloseOneConnection) {
    server->OnClientRead = [&](TObject*, TCustomWinSocket* socket) {
        log.entries.push_back("client read " + socket->ReceiveText());
        socket->Close();
        EXPECT_FALSE(socket->Connected);
    };
    TestPeer peer = Call();
    peer.Send("garbage");
    EXPECT_TRUE(peer.WaitForEnd());
    EXPECT_EQ(server->Socket->ActiveConnections, 0);
    TestPeer next = Call();
    EXPECT_EQ(server->Socket->ActiveConnections, 1);
    PumpFor(100);
    EXPECT_EQ(log.entries.back(), "client connect");
}

TEST_F(ServerSocketTest, HandlerMayFreeTheComponent) {
    TestPeer other = Call();
    TestPeer peer = Call();
    bool freed = false;
    server->OnClientRead = [&](TObject*, TCustomWinSocket*) {
        freed = true;
        server.reset(); // last: this handler is freed with it
    };
    peer.Send("DATA:TGO|");
    ASSERT_TRUE(PumpUntil([&] { return freed; }));
    FlushMessages();
    EXPECT_TRUE(peer.WaitForEnd());
    EXPECT_TRUE(other.WaitForEnd());
    EXPECT_FALSE(TestPeer::Connect(port).Valid());
}

TEST_F(ServerSocketTest, ManyShortConnectionsLeaveNothingBehind) {
    constexpr int kCalls = 200;
    ASSERT_TRUE(log.Reaches(1));
    FlushMessages();
    const int descriptors = OpenDescriptors();
    int reads = 0;
    int ends = 0;
    server->OnClientRead = [&](TObject*, TCustomWinSocket* socket) {
        reads += socket->ReceiveText() == "NAMEx|";
    };
    server->OnClientDisconnect = [&](TObject*, TCustomWinSocket*) { ++ends; };
    for (int i = 0; i < kCalls; ++i) {
        TestPeer peer = TestPeer::Connect(port);
        ASSERT_TRUE(peer.Valid());
        peer.Send("NAMEx|");
        peer.Close();
        // Twenty at a time, so the calls never overflow the listen queue.
        if ((i + 1) % 20 == 0) {
            ASSERT_TRUE(PumpUntil([&] { return ends == i + 1; })) << "call " << i;
        }
    }
    ASSERT_TRUE(PumpUntil([&] { return ends == kCalls; }));
    EXPECT_EQ(reads, kCalls);
    EXPECT_EQ(server->Socket->ActiveConnections, 0);
    EXPECT_TRUE(PumpUntil([&] {
        FlushMessages();
        return OpenDescriptors() == descriptors;
    })) << OpenDescriptors()
        << " descriptors open, " << descriptors << " before";
}

} // namespace
