#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Pump.h"
#include "tests/support/TestListener.h"
#include "tests/web/SocketLog.h"
#include "web/WSocket.h"

namespace {

class LineMode : public testing::Test {
protected:
    LineMode() : log(std::make_unique<SocketLog>(socket)) {}

    TestPeer Connected() {
        socket.Addr = "127.0.0.1";
        socket.Port = std::to_string(listener.Port());
        socket.Connect();
        TestPeer peer = listener.Accept();
        EXPECT_TRUE(log->WaitFor("connected 0"));
        return peer;
    }

    // Each offered piece, read whole.
    void CollectLines() {
        socket.OnDataAvailable = [this](TObject*, WORD) {
            char buffer[100000];
            const int count = socket.Receive(buffer, sizeof buffer);
            if (count > 0)
                lines.emplace_back(buffer, static_cast<size_t>(count));
        };
    }

    TestListener listener;
    TWSocket socket{nullptr};
    std::unique_ptr<SocketLog> log;
    std::vector<std::string> lines;
};

TEST_F(LineMode, OffersOneLineAtATimeWithItsEnd) {
    CollectLines();
    socket.LineMode = true;
    TestPeer peer = Connected();
    ASSERT_TRUE(peer.Send("one\r\ntwo\r\nthr"));
    ASSERT_TRUE(PumpUntil([&] { return lines.size() == 2; }));
    PumpFor(30);
    EXPECT_EQ(lines.size(), 2u) << "an unfinished line waits";
    ASSERT_TRUE(peer.Send("ee\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return lines.size() == 3; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"one\r\n", "two\r\n", "three\r\n"}));
}

TEST_F(LineMode, AnyLineEndWorksAndLineModeOffPassesStraightThrough) {
    CollectLines();
    socket.LineMode = true;
    socket.LineEnd = "|";
    TestPeer peer = Connected();
    ASSERT_TRUE(peer.Send("NAME:bob|CHAT:hi|"));
    ASSERT_TRUE(PumpUntil([&] { return lines.size() == 2; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"NAME:bob|", "CHAT:hi|"}));

    socket.LineMode = false;
    lines.clear();
    ASSERT_TRUE(peer.Send("raw|bytes"));
    ASSERT_TRUE(PumpUntil([&] { return !lines.empty(); }));
    EXPECT_EQ(lines.front(), "raw|bytes");
}

TEST_F(LineMode, BytesLeftAtTheCloseAreTheLastLineBeforeTheClose) {
    std::vector<std::string> order;
    socket.OnDataAvailable = [&](TObject*, WORD) {
        char buffer[256];
        const int count = socket.Receive(buffer, sizeof buffer);
        if (count > 0)
            order.emplace_back(buffer, static_cast<size_t>(count));
    };
    socket.OnSessionClosed = [&](TObject*, WORD) { order.push_back("closed"); };
    socket.LineMode = true;
    socket.LineEnd = "\n";
    TestPeer peer = Connected();
    ASSERT_TRUE(peer.Send("whole\nhalf"));
    peer.ShutdownSend();
    ASSERT_TRUE(PumpUntil([&] { return !order.empty() && order.back() == "closed"; }));
    EXPECT_EQ(order, (std::vector<std::string>{"whole\n", "half", "closed"}));
}

TEST_F(LineMode, SwitchingModesDeliversWhatWaitsAnew) {
    CollectLines();
    socket.LineMode = true;
    TestPeer peer = Connected();
    ASSERT_TRUE(peer.Send("no end yet"));
    ASSERT_TRUE(peer.WaitUntilTaken());
    PumpFor(50);
    EXPECT_TRUE(lines.empty());
    socket.LineMode = false;
    ASSERT_TRUE(PumpUntil([&] { return !lines.empty(); }));
    EXPECT_EQ(lines, (std::vector<std::string>{"no end yet"}));
}

TEST_F(LineMode, ALineLongerThanTheLimitIsBoundedAndNothingIsLost) {
    CollectLines();
    socket.LineMode = true;
    socket.LineLimit = 1000;
    TestPeer peer = Connected();
    std::string bytes(50000, 'x');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    std::thread sender([&] { peer.Send(bytes + "\r\n"); });
    std::string joined;
    ASSERT_TRUE(PumpUntil([&] {
        joined.clear();
        for (const std::string& line : lines)
            joined += line;
        return joined.size() == bytes.size() + 2;
    }));
    sender.join();
    EXPECT_EQ(joined, bytes + "\r\n");
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 1001u);
}

TEST_F(LineMode, OnLineTooLongMayThrowTheDataAway) {
    CollectLines();
    std::vector<int> tooLong;
    socket.OnLineTooLong = [&](TObject*, int count, bool& clear) {
        tooLong.push_back(count);
        clear = true;
    };
    socket.LineMode = true;
    socket.LineLimit = 100;
    TestPeer peer = Connected();
    ASSERT_TRUE(peer.Send(std::string(500, 'z')));
    ASSERT_TRUE(PumpUntil([&] { return !tooLong.empty(); }));
    ASSERT_TRUE(peer.Send("\r\nafter\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return !lines.empty() && lines.back() == "after\r\n"; }));
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 101u);
    EXPECT_GT(tooLong.front(), 100);
}

TEST_F(LineMode, AHandlerThatDoesNotReadHoldsTheLineForLater) {
    int offers = 0;
    socket.OnDataAvailable = [&](TObject*, WORD) { ++offers; };
    socket.LineMode = true;
    TestPeer peer = Connected();
    ASSERT_TRUE(peer.Send("kept\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return offers > 0; }));
    PumpFor(50);
    EXPECT_EQ(offers, 1);
    EXPECT_EQ(socket.LineLength(), 6);
    EXPECT_EQ(socket.ReceiveStr(), "kept\r\n");
}

TEST_F(LineMode, EditingTakesBackspacesAndEchoes) {
    CollectLines();
    socket.LineMode = true;
    socket.LineEdit = true;
    socket.LineEcho = true;
    TestPeer peer = Connected();
    ASSERT_TRUE(peer.Send("ab\bc"));
    ASSERT_TRUE(peer.WaitUntilTaken()) << "the backspace that follows comes in a read of its own";
    ASSERT_TRUE(peer.Send("\bd\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return !lines.empty(); }));
    EXPECT_EQ(lines.front(), "ad\r\n");
    EXPECT_EQ(peer.Receive(12), "ab\b \bc\b \bd\r\n");
}

TEST_F(LineMode, ReadLineWaitsForALine) {
    TestPeer peer = Connected();
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        peer.Send("hello\r\nworld\r\n");
    });
    AnsiString line;
    EXPECT_EQ(socket.ReadLine(WaitBoundMs, line), 0);
    sender.join();
    EXPECT_EQ(line, "hello");
    EXPECT_EQ(socket.ReadLine(WaitBoundMs, line), 0);
    EXPECT_EQ(line, "world");
    EXPECT_FALSE(socket.LineMode) << "the mode it had";

    EXPECT_EQ(socket.ReadLine(100, line), WSA_WSOCKET_TIMEOUT);
    EXPECT_EQ(line, "");
    peer.Close();
    EXPECT_EQ(socket.ReadLine(WaitBoundMs, line), 0) << "a close ends the wait";
    EXPECT_TRUE(log->WaitFor("closed 0"));
    try {
        socket.ReadLine(100, line);
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, "ReadLine failed: not connected");
    }
}

TEST_F(LineMode, WaitingEndsWithTheFlagOrAQuitMessage) {
    bool done = false;
    socket.OnDnsLookupDone = [&](TObject*, WORD) { done = true; };
    EXPECT_EQ(socket.Synchronize([&] { socket.DnsLookup("localhost"); }, done), 0);
    EXPECT_EQ(socket.DnsResult(), "127.0.0.1");

    socket.MultiThreaded = true;
    PostQuitMessage(0);
    bool never = false;
    EXPECT_EQ(socket.WaitUntilReady(never), WSA_WSOCKET_TIMEOUT);
}

} // namespace
