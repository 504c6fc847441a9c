#include <gtest/gtest.h>

#include "platform/inet/ClientSocket.h"
#include "platform/inet/ServerSocket.h"
#include "tests/platform/inet/SocketLog.h"
#include "tests/support/LocalNet.h"
#include "tests/support/Pump.h"
#include "tests/support/TestListener.h"

namespace {

using Entries = std::vector<std::string>;

// Two of our components linked, as two copies of the game are: the caller
// names itself, the host answers, then either side ends the link.
class LinkTest : public testing::Test {
protected:
    void SetUp() override {
        hostLog.Watch(host);
        callerLog.Watch(caller);
        host.Port = caller.Port = FreePort();
        caller.Host = "127.0.0.1";
        host.Open();
        caller.OnConnect = [this](TObject*, TCustomWinSocket* socket) {
            callerLog.entries.push_back("connect");
            socket->SendText("NAMEAnn|");
        };
        host.OnClientRead = [this](TObject* sender, TCustomWinSocket* socket) {
            hostLog.entries.push_back("client read " + socket->ReceiveText());
            static_cast<TServerSocket*>(sender)->Socket->Connections[0]->SendText("NAME:Bob|");
        };
    }

    void Link() {
        caller.Open();
        ASSERT_TRUE(callerLog.Reaches(3));
        EXPECT_EQ(callerLog.entries, (Entries{"connecting", "connect", "read NAME:Bob|"}));
        EXPECT_EQ(hostLog.entries,
                  (Entries{"listen", "accept", "client connect", "client read NAMEAnn|"}));
    }

    TServerSocket host{nullptr};
    TClientSocket caller{nullptr};
    SocketLog hostLog;
    SocketLog callerLog;
};

TEST_F(LinkTest, CallerEndingTheLinkIsADisconnectAtTheHost) {
    Link();
    caller.Active = false;
    ASSERT_TRUE(hostLog.Reaches(5));
    PumpFor(100);
    EXPECT_EQ(hostLog.entries.back(), "client disconnect");
    EXPECT_EQ(hostLog.entries.size(), 5u);
    EXPECT_EQ(callerLog.entries.size(), 3u);
    EXPECT_EQ(host.Socket->ActiveConnections, 0);
}

TEST_F(LinkTest, HostEndingTheLinkIsADisconnectAtTheCaller) {
    Link();
    host.Active = false;
    ASSERT_TRUE(callerLog.Reaches(4));
    PumpFor(100);
    EXPECT_EQ(callerLog.entries.back(), "disconnect");
    EXPECT_EQ(callerLog.entries.size(), 4u);
    EXPECT_EQ(hostLog.entries.size(), 4u);
    EXPECT_FALSE(caller.Active);
}

// The host declines the caller from inside the read handler of its name
// by ceasing to listen: the caller sees the link end in good order.
TEST_F(LinkTest, HostDecliningFromItsReadHandlerIsADisconnectAtTheCaller) {
    host.OnClientRead = [this](TObject*, TCustomWinSocket* socket) {
        hostLog.entries.push_back("client read " + socket->ReceiveText());
        host.Active = false;
    };
    caller.Open();
    ASSERT_TRUE(callerLog.Reaches(3));
    PumpFor(100);
    EXPECT_EQ(callerLog.entries, (Entries{"connecting", "connect", "disconnect"}));
    EXPECT_EQ(hostLog.entries,
              (Entries{"listen", "accept", "client connect", "client read NAMEAnn|"}));
    EXPECT_FALSE(host.Active);
}

TEST_F(LinkTest, ManyCallsLeaveNothingBehind) {
    Link();
    caller.Close();
    ASSERT_TRUE(PumpUntil([&] { return host.Socket->ActiveConnections == 0; }));
    FlushMessages();
    const int descriptors = OpenDescriptors();
    for (int i = 0; i < 100; ++i) {
        callerLog.entries.clear();
        caller.Open();
        ASSERT_TRUE(callerLog.Reaches(3)) << "call " << i;
        caller.Close();
    }
    ASSERT_TRUE(PumpUntil([&] { return host.Socket->ActiveConnections == 0; }));
    EXPECT_TRUE(PumpUntil([&] {
        FlushMessages();
        return OpenDescriptors() == descriptors;
    })) << OpenDescriptors()
        << " descriptors open, " << descriptors << " before";
}

} // namespace
