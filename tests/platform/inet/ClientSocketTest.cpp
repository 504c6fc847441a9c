#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/inet/ClientSocket.h"
#include "tests/platform/inet/SocketLog.h"
#include "tests/support/LocalNet.h"
#include "tests/support/Pump.h"
#include "tests/support/TestListener.h"

namespace {

using Entries = std::vector<std::string>;

// The caller's side: our client component calls a POSIX listener.
class ClientSocketTest : public testing::Test {
protected:
    void SetUp() override {
        log.Watch(*client);
        client->Address = "127.0.0.1";
        client->Port = listener.Port();
    }

    // Calls the listener and waits until the call is answered.
    TestPeer Connect() {
        client->Open();
        TestPeer peer = listener.Accept();
        EXPECT_TRUE(log.Reaches(2));
        EXPECT_EQ(log.entries, (Entries{"connecting", "connect"}));
        return peer;
    }

    TestListener listener;
    std::unique_ptr<TClientSocket> client = std::make_unique<TClientSocket>(nullptr);
    SocketLog log;
};

TEST_F(ClientSocketTest, CallsAndTalksBothWaysByteForByte) {
    client->Active = true;
    EXPECT_TRUE(client->Active);
    EXPECT_TRUE(log.entries.empty()) << "no event runs inside Open";
    TestPeer peer = listener.Accept();
    ASSERT_TRUE(log.Reaches(2));
    EXPECT_EQ(log.entries, (Entries{"connecting", "connect"}));
    EXPECT_TRUE(client->Socket->Connected);
    EXPECT_EQ(client->Socket->RemoteAddress(), "127.0.0.1");

    const std::string name = "NAME\xe4\xf6\xfc \x01Bob|";
    EXPECT_EQ(client->Socket->SendText(name), int(name.size()));
    EXPECT_EQ(peer.Receive(name.size()), name);

    peer.Send("CHAT:hi|DATA:1*2*3*4|");
    ASSERT_TRUE(log.Reaches(3));
    EXPECT_EQ(log.entries[2], "read CHAT:hi|DATA:1*2*3*4|") << "two messages in one read";

    peer.Send("DATA:5*");
    ASSERT_TRUE(log.Reaches(4));
    peer.Send("6*7*8|");
    ASSERT_TRUE(log.Reaches(5));
    EXPECT_EQ(log.entries[3], "read DATA:5*") << "one message over two reads";
    EXPECT_EQ(log.entries[4], "read 6*7*8|");
    PumpFor(100);
    EXPECT_EQ(log.entries.size(), 5u);
}

TEST_F(ClientSocketTest, PeerClosingDeliversItsLastBytesThenDisconnects) {
    TestPeer peer = Connect();
    peer.Send("DATA:S|");
    peer.Close();
    ASSERT_TRUE(log.Reaches(4));
    PumpFor(100);
    EXPECT_EQ(log.entries, (Entries{"connecting", "connect", "read DATA:S|", "disconnect"}));
    EXPECT_FALSE(client->Active);
    EXPECT_FALSE(client->Socket->Connected);
    EXPECT_EQ(client->Socket->SendText("CHAT:x|"), 0);
}

// A peer that goes away abortively, or with bytes it never read, resets
// the connection: an error with 10054 and no disconnect after it.
struct ResetCase {
    const char* name;
    bool unreadBytes;
    friend void PrintTo(const ResetCase& c, std::ostream* os) { *os << c.name; }
};

class ClientResetTest : public ClientSocketTest, public testing::WithParamInterface<ResetCase> {};

TEST_P(ClientResetTest, PeerResettingIsAnErrorWithoutDisconnect) {
    TestPeer peer = Connect();
    if (GetParam().unreadBytes) {
        client->Socket->SendText("DATA:R|");
        ASSERT_TRUE(peer.WaitForUnread(7));
        peer.Close();
    } else {
        peer.Reset();
    }
    ASSERT_TRUE(log.Reaches(3));
    PumpFor(100);
    EXPECT_EQ(log.entries, (Entries{"connecting", "connect", ErrorEntry("", eeDisconnect, 10054)}));
    EXPECT_FALSE(client->Active);
}

INSTANTIATE_TEST_SUITE_P(Ways, ClientResetTest,
                         testing::Values(ResetCase{"Abort", false}, ResetCase{"UnreadBytes", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClientSocketTest, RefusedCallIsAConnectErrorAndMayBeRetried) {
    const int closedPort = FreePort();
    client->Port = closedPort;
    client->Open();
    EXPECT_TRUE(log.entries.empty()) << "no event runs inside Open";
    ASSERT_TRUE(log.Reaches(2));
    PumpFor(100);
    EXPECT_EQ(log.entries, (Entries{"connecting", ErrorEntry("", eeConnect, 10061)}));
    EXPECT_FALSE(client->Active);

    log.entries.clear();
    client->Port = listener.Port();
    Connect();
}

struct HostCase {
    const char* name;
    const char* host;
    const char* listenOn;
    Entries expected;
    friend void PrintTo(const HostCase& c, std::ostream* os) { *os << c.name; }
};

class ClientHostTest : public ClientSocketTest, public testing::WithParamInterface<HostCase> {};

TEST_P(ClientHostTest, HostIsANameOrADottedQuad) {
    TestListener there(0, GetParam().listenOn);
    client->Address = "";
    client->Host = GetParam().host;
    client->Port = there.Port();
    client->Open();
    const Entries& expected = GetParam().expected;
    ASSERT_TRUE(log.Reaches(expected.size()));
    PumpFor(100);
    EXPECT_EQ(log.entries, expected);
}

// A dotted quad with leading zeros is decimal, as the connect dialog takes
// it: 127.000.000.010 is 127.0.0.10 (still the loopback interface), not
// the octal 127.0.0.8.
INSTANTIATE_TEST_SUITE_P(
    Hosts, ClientHostTest,
    testing::Values(HostCase{"Localhost", "localhost", "127.0.0.1", {"connecting", "connect"}},
                    HostCase{
                        "LeadingZeros", "127.000.000.010", "127.0.0.10", {"connecting", "connect"}},
                    HostCase{"Empty", "", "127.0.0.1", {ErrorEntry("", eeLookup, 11001)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClientSocketTest, ClosingHereSendsWhatIsQueuedAndReportsNothing) {
    TestPeer peer = Connect();
    client->Socket->SendText("CHAT:bye|");
    client->Active = false;
    EXPECT_FALSE(client->Active);
    EXPECT_EQ(peer.Receive(9), "CHAT:bye|");
    EXPECT_TRUE(peer.WaitForEnd());
    PumpFor(100);
    EXPECT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(client->Socket->SendText("CHAT:late|"), 0);
}

TEST_F(ClientSocketTest, ClosingAnUnansweredCallReportsNothing) {
    client->Address = "127.0.0.1";
    client->Port = FreePort();
    client->Open();
    client->Close();
    PumpFor(200);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_FALSE(client->Active);
}

// The error handler may clear the code; one it leaves standing is
// written to standard error.
class ClientErrorCodeTest : public ClientSocketTest, public testing::WithParamInterface<bool> {};

TEST_P(ClientErrorCodeTest, AnErrorLeftStandingIsReported) {
    const bool clear = GetParam();
    int seen = 0;
    client->OnError = [&](TObject* sender, TCustomWinSocket* socket, TErrorEvent, int& code) {
        EXPECT_EQ(sender, client.get());
        EXPECT_EQ(socket, client->Socket());
        seen = code;
        if (clear)
            code = 0;
    };
    client->Port = FreePort();
    testing::internal::CaptureStderr();
    client->Open();
    PumpUntil([&] { return seen != 0; });
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(seen, 10061);
    if (clear) {
        EXPECT_EQ(report, "");
    } else {
        EXPECT_NE(report.find("Socket error 10061 on connect"), std::string::npos) << report;
    }
}

INSTANTIATE_TEST_SUITE_P(Handler, ClientErrorCodeTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "Clears" : "Leaves"; });

TEST_F(ClientSocketTest, SendingNeverRunsAHandler) {
    TestPeer peer = Connect();
    peer.Reset();
    client->OnError = [&](TObject*, TCustomWinSocket*, TErrorEvent event, int& code) {
        log.entries.push_back(ErrorEntry("", event, code));
        code = 0;
    };
    for (int i = 0; i < 3; ++i)
        client->Socket->SendText("DATA:R|");
    EXPECT_EQ(log.entries.size(), 2u);
    ASSERT_TRUE(log.Reaches(3));
    PumpFor(100);
    EXPECT_EQ(log.entries.size(), 3u);
}

// Bytes that arrive while a read handler waits in a nested event loop (a
// message box) are read once it has returned, without further traffic.
TEST_F(ClientSocketTest, BytesArrivingDuringANestedLoopAreStillRead) {
    TestPeer peer = Connect();
    bool first = true;
    client->OnRead = [&](TObject*, TCustomWinSocket* socket) {
        log.entries.push_back("read " + socket->ReceiveText());
        if (!first)
            return;
        first = false;
        peer.Send("DATA:TGN|");
        // The nested loop lasts until the bytes have reached the component.
        EXPECT_TRUE(peer.WaitUntilTaken());
    };
    peer.Send("DATA:TGO|");
    ASSERT_TRUE(log.Reaches(4));
    EXPECT_EQ(log.entries[2], "read DATA:TGO|");
    EXPECT_EQ(log.entries[3], "read DATA:TGN|");
}

// A handler that leaves what has arrived keeps the connection from taking
// more than the bound from the system, so TCP holds the peer back; once the
// bytes are taken, the rest comes, every byte in order.
TEST_F(ClientSocketTest, BytesLeftUntakenHoldThePeerBack) {
    TestPeer peer = Connect();
    int reads = 0;
    client->OnRead = [&](TObject*, TCustomWinSocket*) { ++reads; };
    // Far more than the bound and what the system buffers on the way.
    std::string sent(32 * 1024 * 1024, '\0');
    for (size_t at = 0; at < sent.size(); at += sizeof(uint32_t)) {
        const auto index = static_cast<uint32_t>(at);
        std::memcpy(&sent[at], &index, sizeof index);
    }
    std::atomic<bool> allSent = false;
    std::thread sender([&] { allSent = peer.Send(sent); });
    TCustomWinSocket* socket = client->Socket;
    const int bound = TCustomWinSocket::ReadBound;
    EXPECT_TRUE(PumpUntil([&] { return socket->ReceiveLength() >= bound; }));
    PumpFor(300);
    EXPECT_EQ(socket->ReceiveLength(), bound);
    EXPECT_FALSE(allSent) << "the peer is held back";
    EXPECT_GE(reads, 1);
    std::string received;
    EXPECT_TRUE(PumpUntil([&] {
        received += socket->ReceiveText();
        return received.size() >= sent.size();
    }));
    sender.join();
    EXPECT_TRUE(allSent);
    EXPECT_TRUE(received == sent) << "the bytes came in order, none lost";
}

// A handler may free the component whose event it serves, as the link
// window does when the match ends.
struct FreeCase {
    const char* name;
    bool onRead;
    friend void PrintTo(const FreeCase& c, std::ostream* os) { *os << c.name; }
};

class ClientFreedTest : public ClientSocketTest, public testing::WithParamInterface<FreeCase> {};

TEST_P(ClientFreedTest, HandlerMayFreeTheComponent) {
    TestPeer peer = Connect();
    bool freed = false;
    auto free = [&] {
        freed = true;
        client.reset();
    };
    if (GetParam().onRead)
        client->OnRead = [&](TObject*, TCustomWinSocket*) { free(); };
    else
        client->OnError = [&](TObject*, TCustomWinSocket*, TErrorEvent, int& code) {
            code = 0;
            free();
        };
    if (GetParam().onRead) {
        peer.Send("DATA:1*2*3*4|");
    } else {
        peer.Reset();
    }
    ASSERT_TRUE(PumpUntil([&] { return freed; }));
    FlushMessages();
    if (GetParam().onRead) {
        EXPECT_TRUE(peer.WaitForEnd());
    }
}

INSTANTIATE_TEST_SUITE_P(Events, ClientFreedTest,
                         testing::Values(FreeCase{"OnRead", true}, FreeCase{"OnError", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
