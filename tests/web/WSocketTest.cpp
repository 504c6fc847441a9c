#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/LocalNet.h"
#include "tests/support/Pump.h"
#include "tests/support/TestListener.h"
#include "tests/web/SocketLog.h"
#include "web/WSocket.h"

namespace {

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    return bytes;
}

class WSocketTest : public testing::Test {
protected:
    WSocketTest() : socket(std::make_unique<TWSocket>(nullptr)), log(*socket) {}

    // Connects the socket to the listener and returns the other end.
    TestPeer ConnectToListener() {
        socket->Addr = "127.0.0.1";
        socket->Port = std::to_string(listener.Port());
        socket->Connect();
        TestPeer peer = listener.Accept();
        EXPECT_TRUE(peer.Valid());
        EXPECT_TRUE(log.WaitFor("connected 0"));
        return peer;
    }

    // OnDataAvailable reads up to `chunk` bytes a call into `received`.
    void ReadInto(std::string& received, int chunk) {
        socket->OnDataAvailable = [this, &received, chunk](TObject*, WORD) {
            std::vector<char> buffer(static_cast<size_t>(chunk));
            const int count = socket->Receive(buffer.data(), chunk);
            if (count > 0)
                received.append(buffer.data(), static_cast<size_t>(count));
            if (log.Count("closed 0") > 0)
                received += "<after close>";
        };
    }

    TestListener listener;
    std::unique_ptr<TWSocket> socket;
    SocketLog log;
};

TEST_F(WSocketTest, ConnectingWalksTheStatesAndTheFirstWriteEventReportsDataSent) {
    TestPeer peer = ConnectToListener();
    ASSERT_TRUE(log.WaitFor("sent 0"));
    EXPECT_EQ(log.states, (std::vector<TSocketState>{wsOpened, wsConnecting, wsConnected}));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"connected 0", "sent 0"}));
    EXPECT_EQ(socket->PeerAddr(), "127.0.0.1");
    EXPECT_EQ(socket->PeerPort(), std::to_string(listener.Port()));
    EXPECT_EQ(socket->GetXAddr(), "127.0.0.1");
}

TEST_F(WSocketTest, FiveThousandBytesGoAsFourChunksAndDataSentComesFromTheLoop) {
    TestPeer peer = ConnectToListener();
    ASSERT_TRUE(log.WaitFor("sent 0"));
    log.lines.clear();
    const std::string bytes = Pattern(5000);
    EXPECT_EQ(socket->Send(bytes.data(), 5000), 5000);
    EXPECT_EQ(log.sendData, (std::vector<int>{1460, 1460, 1460, 620}));
    EXPECT_TRUE(log.lines.empty()) << "OnDataSent never comes from inside Send";
    ASSERT_TRUE(log.WaitFor("sent 0"));
    EXPECT_EQ(peer.Receive(5000), bytes);
}

TEST_F(WSocketTest, ALargeSendWaitsInTheQueueAndDrainsAsThePeerReads) {
    TestPeer peer = ConnectToListener();
    ASSERT_TRUE(log.WaitFor("sent 0"));
    log.lines.clear();
    const std::string bytes = Pattern(8 * 1024 * 1024);
    ASSERT_EQ(socket->Send(bytes.data(), static_cast<int>(bytes.size())),
              static_cast<int>(bytes.size()));
    std::string received;
    std::thread reader([&] { received = peer.Receive(bytes.size(), 30000); });
    const bool drained = log.WaitFor("sent 0", 30000);
    reader.join();
    EXPECT_TRUE(drained);
    EXPECT_EQ(log.Count("sent 0"), 1);
    EXPECT_TRUE(received == bytes) << "received " << received.size() << " bytes";
}

TEST_F(WSocketTest, DataBeforeThePeersCloseIsDeliveredFirstAndCloseIsReportedOnce) {
    for (const bool noReceiveLoop : {false, true}) {
        SCOPED_TRACE(noReceiveLoop ? "without receive loop" : "with receive loop");
        log.lines.clear();
        socket->ComponentOptions = TWSocketOptions();
        if (noReceiveLoop)
            socket->ComponentOptions << wsoNoReceiveLoop;
        std::string received;
        ReadInto(received, 100);
        TestPeer peer = ConnectToListener();
        const std::string bytes = Pattern(3000);
        ASSERT_TRUE(peer.Send(bytes));
        peer.ShutdownSend();
        ASSERT_TRUE(log.WaitFor("closed 0"));
        PumpFor(50);
        EXPECT_EQ(received, bytes);
        EXPECT_EQ(log.Count("closed 0"), 1);
        EXPECT_EQ(socket->State(), wsClosed);
        socket->Close();
        EXPECT_EQ(log.Count("closed 0"), 1) << "Close after the peer's close reports nothing";
    }
}

TEST_F(WSocketTest, AnOwnCloseReportsOnceAndTheDefaultsReturn) {
    TestPeer peer = ConnectToListener();
    socket->Close();
    EXPECT_EQ(log.Count("closed 0"), 1);
    EXPECT_TRUE(peer.WaitForEnd());
    PumpFor(50);
    socket->Close();
    EXPECT_EQ(log.Count("closed 0"), 1);
    EXPECT_EQ(socket->State(), wsClosed);
    EXPECT_EQ(socket->Addr(), "");
    EXPECT_EQ(socket->Proto(), "tcp");
    EXPECT_EQ(socket->LocalPort(), "0");
    EXPECT_EQ(socket->LocalAddr(), "0.0.0.0");
    EXPECT_EQ(socket->PeerAddr(), "error");
    EXPECT_EQ(socket->PeerPort(), "error");
    EXPECT_THROW(socket->Connect(), ESocketException) << "address and port must be set again";
}

TEST_F(WSocketTest, APeerResetArrivesAsCloseWithTheResetError) {
    TestPeer peer = ConnectToListener();
    peer.Reset();
    ASSERT_TRUE(log.WaitFor("closed 10054"));
    EXPECT_EQ(socket->State(), wsClosed);
}

TEST_F(WSocketTest, ARefusedConnectionReportsTheRefusal) {
    socket->Addr = "127.0.0.1";
    socket->Port = std::to_string(FreePort());
    socket->Connect();
    ASSERT_TRUE(log.WaitFor("closed 0"));
    PumpFor(50);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"connected 10061", "closed 0"}));
    EXPECT_EQ(socket->State(), wsClosed);
}

TEST_F(WSocketTest, WithoutAHandlerReceivedDataIsThrownAway) {
    TestPeer peer = ConnectToListener();
    ASSERT_TRUE(peer.Send(Pattern(100000)));
    peer.ShutdownSend();
    ASSERT_TRUE(log.WaitFor("closed 0"));
    EXPECT_EQ(socket->State(), wsClosed);
}

TEST_F(WSocketTest, AHandlerThatReadsNothingDoesNotHoldTheLoop) {
    int offers = 0;
    socket->OnDataAvailable = [&](TObject*, WORD) { ++offers; };
    TestPeer peer = ConnectToListener();
    ASSERT_TRUE(peer.Send("unread"));
    ASSERT_TRUE(PumpUntil([&] { return offers > 0; }));
    PumpFor(50);
    EXPECT_EQ(offers, 1);
    EXPECT_EQ(socket->RcvdCount(), 6);
    EXPECT_EQ(socket->ReceiveStr(), "unread");
}

TEST_F(WSocketTest, DnsLookupOfADottedAddressReportsAtOnce) {
    socket->DnsLookup("127.0.0.1");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"dns 0"}));
    EXPECT_EQ(socket->DnsResult(), "127.0.0.1");
}

TEST_F(WSocketTest, DnsLookupOfANameAnswersFromTheMessageLoop) {
    socket->DnsLookup("localhost");
    EXPECT_TRUE(log.lines.empty());
    ASSERT_TRUE(log.WaitFor("dns 0"));
    EXPECT_EQ(socket->DnsResult(), "127.0.0.1");
    EXPECT_EQ(socket->DnsResultList()->Strings[0](), "127.0.0.1");

    socket->ReverseDnsLookup("127.0.0.1");
    ASSERT_TRUE(PumpUntil([&] { return log.Count("dns 0") == 2; }));
    EXPECT_EQ(socket->DnsResult(), "localhost");
}

TEST_F(WSocketTest, DnsLookupOfAnEmptyTextRaisesOrReportsTheInvalidArgument) {
    try {
        socket->DnsLookup("");
        FAIL() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, "DNS lookup: invalid host name.");
    }
    EXPECT_TRUE(log.lines.empty());

    int errors = 0;
    socket->OnError = [&](TObject*) { ++errors; };
    socket->DnsLookup("");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"dns 10022"}));
}

TEST_F(WSocketTest, ACancelledLookupReportsInterruptedAndItsAnswerIsIgnored) {
    socket->DnsLookup("localhost");
    socket->CancelDnsLookup();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"dns 10004"}));
    PumpFor(100);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"dns 10004"}));
    EXPECT_EQ(socket->DnsResult(), "");

    // A second lookup replaces the first without a report for it.
    log.lines.clear();
    socket->DnsLookup("localhost");
    socket->DnsLookup("localhost");
    ASSERT_TRUE(log.WaitFor("dns 0"));
    PumpFor(100);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"dns 0"}));
}

TEST_F(WSocketTest, SendOnASocketThatIsNotConnectedFails) {
    try {
        socket->Send("x", 1);
        FAIL() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, "Error 10057 in function Send\r\nSocket is not connected");
    }
    int errors = 0;
    socket->OnError = [&](TObject*) { ++errors; };
    EXPECT_EQ(socket->Send("x", 1), -1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(socket->LastError(), WSAENOTCONN);
}

struct RaisedCase {
    const char* name;
    std::function<void(TWSocket&)> action;
    const char* message;
};

void PrintTo(const RaisedCase& value, std::ostream* out) {
    *out << value.name;
}

class WSocketRaises : public testing::TestWithParam<RaisedCase> {};

TEST_P(WSocketRaises, WithTheTextsOfTheLayer) {
    TWSocket socket(nullptr);
    try {
        GetParam().action(socket);
        FAIL() << "no exception";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.Message, GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WSocket, WSocketRaises,
    testing::Values(
        RaisedCase{"NoPort",
                   [](TWSocket& s) {
                       s.Addr = "127.0.0.1";
                       s.Connect();
                   },
                   "Connect: No Port Specified"},
        RaisedCase{"NoAddress",
                   [](TWSocket& s) {
                       s.Port = "80";
                       s.Connect();
                   },
                   "Connect: No IP Address Specified"},
        RaisedCase{"PortOutOfRange",
                   [](TWSocket& s) {
                       s.Addr = "127.0.0.1";
                       s.Port = "70000";
                       s.Connect();
                   },
                   "connect: WSocketResolvePort: Invalid Port."},
        RaisedCase{"UnknownProtocol",
                   [](TWSocket& s) {
                       s.Addr = "127.0.0.1";
                       s.Port = "80";
                       s.Proto = "nosuchprotocol";
                       s.Connect();
                   },
                   "connect: WSocketResolveProto: Cannot convert protocol 'nosuchprotocol', "
                   "Error #11004"},
        RaisedCase{"BadLocalAddr", [](TWSocket& s) { s.LocalAddr = "nonsense"; },
                   "SetLocalAddr(): Invalid IP address"},
        RaisedCase{"BadSendFlags",
                   [](TWSocket& s) { s.SendFlags = static_cast<TSocketSendFlags>(7); },
                   "Invalid SendFlags"},
        RaisedCase{"AcceptWhenNotListening", [](TWSocket& s) { s.Accept(); },
                   "Error 10022 in function not a listening socket\r\nInvalid argument"}),
    [](const testing::TestParamInfo<RaisedCase>& info) { return info.param.name; });

TEST_F(WSocketTest, SettingsAreRefusedUnlessClosed) {
    TestPeer peer = ConnectToListener();
    const std::pair<std::function<void()>, const char*> settings[] = {
        {[&] { socket->Addr = "127.0.0.1"; }, "Cannot change Addr if not closed"},
        {[&] { socket->Port = "1"; }, "Cannot change Port if not closed"},
        {[&] { socket->Proto = "udp"; }, "Cannot change Proto if not closed"},
        {[&] { socket->LocalPort = "1"; }, "Cannot change LocalPort if not closed"},
        {[&] { socket->LocalAddr = "127.0.0.1"; }, "Cannot change LocalAddr if not closed"},
        {[&] { socket->Connect(); }, "Connect: Socket already in use"},
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

TEST_F(WSocketTest, LocalAddressesAreStoredInDottedForm) {
    socket->LocalAddr = "127.000.0.01";
    EXPECT_EQ(socket->LocalAddr(), "127.0.0.1");
    socket->LocalAddr = "";
    EXPECT_EQ(socket->LocalAddr(), "0.0.0.0");
}

TEST_F(WSocketTest, ABoundLocalAddressIsUsed) {
    socket->LocalAddr = "127.0.0.1";
    socket->LocalPort = std::to_string(FreePort());
    const std::string port = socket->LocalPort;
    TestPeer peer = ConnectToListener();
    EXPECT_EQ(socket->GetXPort(), port);
}

TEST_F(WSocketTest, ListeningAcceptingAndDupServeAConnection) {
    TWSocket server(nullptr);
    SocketLog serverLog(server);
    server.Addr = "127.0.0.1";
    server.Port = "0";
    server.Listen();
    EXPECT_EQ(server.State(), wsListening);
    EXPECT_EQ(serverLog.states, (std::vector<TSocketState>{wsOpened, wsBound, wsListening}));
    const int port = std::stoi(server.GetXPort());
    TestPeer client = TestPeer::Connect(port);
    ASSERT_TRUE(client.Valid());
    ASSERT_TRUE(serverLog.WaitFor("available 0"));

    TWSocket served(nullptr);
    SocketLog servedLog(served);
    std::string received;
    served.OnDataAvailable = [&](TObject*, WORD) { received += served.ReceiveStr(); };
    served.Dup(server.Accept());
    EXPECT_EQ(served.State(), wsConnected);
    ASSERT_TRUE(servedLog.WaitFor("sent 0"));
    EXPECT_EQ(served.SendStr("welcome\r\n"), 9);
    EXPECT_EQ(client.Receive(9), "welcome\r\n");
    ASSERT_TRUE(client.Send("thanks"));
    ASSERT_TRUE(PumpUntil([&] { return received == "thanks"; }));
    client.Close();
    ASSERT_TRUE(servedLog.WaitFor("closed 0"));
    EXPECT_EQ(servedLog.Count("closed 0"), 1);
    EXPECT_EQ(server.State(), wsListening);
}

TEST_F(WSocketTest, AbortDropsTheQueueAndClosesOnce) {
    TestPeer peer = ConnectToListener();
    const std::string bytes = Pattern(4 * 1024 * 1024);
    socket->Send(bytes.data(), static_cast<int>(bytes.size()));
    socket->Abort();
    EXPECT_EQ(socket->State(), wsClosed);
    EXPECT_EQ(log.Count("closed 0"), 1);
    EXPECT_TRUE(peer.WaitForEnd());
    PumpFor(50);
    EXPECT_EQ(log.Count("closed 0"), 1);
}

TEST_F(WSocketTest, AnExceptionInAHandlerAbortsTheSocketUnlessTheHandlerSaysNo) {
    std::vector<std::string> caught;
    bool canAbort = true;
    socket->OnBgException = [&](TObject*, const std::exception& error, bool& abort) {
        caught.push_back(error.what());
        abort = canAbort;
    };
    socket->OnDataAvailable = [](TObject*, WORD) { throw Exception("handler failed"); };
    TestPeer peer = ConnectToListener();
    canAbort = false;
    ASSERT_TRUE(peer.Send("a"));
    ASSERT_TRUE(PumpUntil([&] { return caught.size() == 1; }));
    EXPECT_EQ(socket->State(), wsConnected);

    canAbort = true;
    PostMessageA(socket->Handle, WM_TRIGGER_EXCEPTION, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return caught.size() == 2; }));
    EXPECT_EQ(caught[0], "handler failed");
    EXPECT_EQ(caught[1], "Test exception in WSocket");
    EXPECT_EQ(socket->State(), wsClosed);
    EXPECT_TRUE(peer.WaitForEnd());
}

TEST_F(WSocketTest, CloseDelayedAndReleaseHappenInTheMessageLoop) {
    TestPeer peer = ConnectToListener();
    socket->CloseDelayed();
    EXPECT_EQ(socket->State(), wsConnected);
    ASSERT_TRUE(log.WaitFor("closed 0"));

    TComponent owner(nullptr);
    auto* released = new TWSocket(&owner);
    released->Release();
    EXPECT_EQ(owner.ComponentCount, 1);
    ASSERT_TRUE(PumpUntil([&] { return owner.ComponentCount == 0; }));
}

TEST_F(WSocketTest, PauseHoldsTheEventsAndResumeBringsThem) {
    std::string received;
    ReadInto(received, 1024);
    TestPeer peer = ConnectToListener();
    socket->Pause();
    ASSERT_TRUE(peer.Send("held"));
    PumpFor(100);
    EXPECT_EQ(received, "");
    socket->Resume();
    ASSERT_TRUE(PumpUntil([&] { return received == "held"; }));
}

TEST_F(WSocketTest, ForgedAndStaleMessagesLeaveTheSocketSound) {
    std::string received;
    ReadInto(received, 512);
    TestPeer peer = ConnectToListener();
    std::mt19937 random(20240501);
    const HWND window = socket->Handle;
    for (int i = 0; i < 3000; ++i) {
        const UINT message = WM_USER + 1 + random() % 40;
        const WPARAM wParam =
            random() % 2 ? socket->HSocket() : static_cast<WPARAM>(random() % 100000);
        const LPARAM lParam = static_cast<LPARAM>(random());
        PostMessageA(window, message == WM_WSOCKET_RELEASE ? WM_USER + 60 : message, wParam,
                     lParam);
        if (i % 100 == 0)
            PumpFor(1);
    }
    PumpFor(200);
    // Whatever those said, the connection was closed at most once, and the
    // socket works again after a fresh connect.
    const auto closes = std::count_if(log.lines.begin(), log.lines.end(),
                                      [](const std::string& l) { return l.starts_with("closed"); });
    EXPECT_LE(closes, 1);
    socket->Abort();
    log.lines.clear();
    TestPeer again = ConnectToListener();
    ASSERT_TRUE(again.Send("still works"));
    received.clear();
    ASSERT_TRUE(PumpUntil([&] { return received == "still works"; }));
}

TEST_F(WSocketTest, FlushSendsEverythingWhileTheMessagesGoOn) {
    TestPeer peer = ConnectToListener();
    const std::string bytes = Pattern(4 * 1024 * 1024);
    std::string received;
    std::thread reader([&] { received = peer.Receive(bytes.size(), 30000); });
    socket->Send(bytes.data(), static_cast<int>(bytes.size()));
    socket->Flush();
    reader.join();
    EXPECT_TRUE(received == bytes) << "received " << received.size() << " bytes";
}

TEST_F(WSocketTest, WaitForCloseReadsUntilThePeerIsDone) {
    TestPeer peer = ConnectToListener();
    std::thread closer([&] {
        peer.Send(Pattern(10000));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        peer.Close();
    });
    socket->WaitForClose();
    closer.join();
    EXPECT_EQ(socket->State(), wsClosed);
    EXPECT_EQ(log.Count("closed 0"), 1);
}

TEST_F(WSocketTest, PeekingLeavesTheDataAndShuttingDownSendingKeepsReceiving) {
    std::string received;
    TestPeer peer = ConnectToListener();
    ASSERT_TRUE(peer.Send("peek"));
    ASSERT_TRUE(PumpUntil([&] { return socket->RcvdCount() == 4; }));
    char bytes[4];
    EXPECT_EQ(socket->PeekData(bytes, 4), 4);
    EXPECT_EQ(socket->ReceiveStr(), "peek");
    socket->Shutdown(SD_SEND);
    EXPECT_EQ(peer.ReceiveUntilEnd(), "") << "the peer sees the end";
    ASSERT_TRUE(peer.Send("still"));
    ASSERT_TRUE(PumpUntil([&] { return socket->RcvdCount() == 5; }));
    EXPECT_EQ(socket->ReceiveStr(), "still");
}

TEST_F(WSocketTest, DatagramsGoBothWays) {
    TWSocket server(nullptr);
    SocketLog serverLog(server);
    std::string heard;
    std::string from;
    server.OnDataAvailable = [&](TObject*, WORD) {
        char bytes[512];
        sockaddr_in sender{};
        int length = sizeof sender;
        const int count = server.ReceiveFrom(bytes, sizeof bytes, sender, length);
        if (count > 0) {
            heard.assign(bytes, static_cast<size_t>(count));
            from = inet_ntoa(sender.sin_addr);
        }
    };
    server.Proto = "udp";
    server.Addr = "127.0.0.1";
    server.Port = "0";
    server.Listen();
    EXPECT_EQ(server.State(), wsConnected);
    EXPECT_EQ(serverLog.lines, std::vector<std::string>{"connected 0"});

    socket->Proto = "udp";
    socket->Addr = "127.0.0.1";
    socket->Port = server.GetXPort();
    socket->Connect();
    EXPECT_EQ(socket->State(), wsConnected) << "a datagram socket is connected at once";
    EXPECT_EQ(log.lines, std::vector<std::string>{"connected 0"});
    EXPECT_EQ(socket->SendStr("datagram"), 8);
    ASSERT_TRUE(PumpUntil([&] { return heard == "datagram"; }));
    EXPECT_EQ(from, "127.0.0.1");
}

TEST_F(WSocketTest, AForgedLookupAnswerEndsTheLookupOnceAndReadsNoGarbage) {
    // Lookup handles count up through the process: the socket's lookup
    // gets the one after this probe's, which the forged answers surround.
    alignas(hostent) char buffer[MAXGETHOSTSTRUCT];
    const HANDLE probe = WSocket_WSAAsyncGetHostByName(socket->Handle, WM_USER + 999, "127.0.0.1",
                                                       buffer, sizeof buffer);
    ASSERT_NE(probe, nullptr);
    WSocket_WSACancelAsyncRequest(probe);
    socket->DnsLookup("localhost");
    const WPARAM next = reinterpret_cast<WPARAM>(probe) + 1;
    for (WPARAM handle = next > 250 ? next - 250 : 1; handle < next + 250; ++handle)
        PostMessageA(socket->Handle, WM_ASYNCGETHOSTBYNAME, handle, WSAMAKEASYNCREPLY(0, 0));
    ASSERT_TRUE(log.WaitFor("dns 0"));
    PumpFor(100);
    EXPECT_EQ(log.lines, std::vector<std::string>{"dns 0"});
    EXPECT_TRUE(socket->DnsResult() == "" || socket->DnsResult() == "127.0.0.1")
        << socket->DnsResult();
    socket.reset();
    PumpFor(50);
}

// A socket moved to a thread of its own gets its events there, from that
// thread's queue, and on the main thread again once it is moved back; data
// that came while no thread watched is offered to the new one.
TEST_F(WSocketTest, ThreadAttachMovesTheEventsToTheCallingThread) {
    TestPeer peer = ConnectToListener();
    ASSERT_TRUE(log.WaitFor("sent 0"));
    std::vector<std::pair<std::thread::id, std::string>> seen;
    bool arrived = false;
    socket->OnDataAvailable = [&](TObject*, WORD) {
        char buffer[100];
        const int count = socket->Receive(buffer, sizeof buffer);
        if (count <= 0)
            return;
        seen.emplace_back(std::this_thread::get_id(), std::string(buffer, size_t(count)));
        arrived = true;
    };
    const HWND mainWindow = socket->Handle;
    socket->ThreadDetach();
    EXPECT_EQ(socket->Handle(), nullptr);
    EXPECT_FALSE(IsWindow(mainWindow));
    ASSERT_TRUE(peer.Send("first"));

    std::thread::id workerId;
    int waited = -1;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        workerId = std::this_thread::get_id();
        socket->ThreadAttach();
        socket->MultiThreaded = true;
        socket->Timeout = WaitBoundMs;
        waited = socket->WaitUntilReady(arrived);
        socket->ThreadDetach();
    }));
    worker->start();
    ASSERT_TRUE(worker->wait(QDeadlineTimer(2 * WaitBoundMs)));
    EXPECT_EQ(waited, 0);

    socket->MultiThreaded = false;
    socket->Timeout = 0;
    socket->ThreadAttach();
    ASSERT_TRUE(peer.Send("second"));
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen[0], std::make_pair(workerId, std::string("first")));
    EXPECT_EQ(seen[1], std::make_pair(std::this_thread::get_id(), std::string("second")));
    EXPECT_NE(workerId, std::this_thread::get_id());
    EXPECT_EQ(socket->State(), wsConnected);
}

TEST(WSocketTimers, SetIsEitherFieldAndClearEmptiesBoth) {
    TWSocket socket(nullptr);
    EXPECT_FALSE(socket.TimerIsSet(timeval{0, 0}));
    EXPECT_TRUE(socket.TimerIsSet(timeval{0, 1}));
    EXPECT_TRUE(socket.TimerIsSet(timeval{7, 0}));
    timeval time{7, 250000};
    socket.TimerClear(time);
    EXPECT_EQ(time.tv_sec, 0);
    EXPECT_EQ(time.tv_usec, 0);
    EXPECT_FALSE(socket.TimerIsSet(time));
}

struct TimerOrder {
    timeval earlier;
    timeval later;
};

class WSocketTimerCmp : public testing::TestWithParam<TimerOrder> {};

// Seconds decide first; the microseconds only between equal seconds.
TEST_P(WSocketTimerCmp, OrdersBySecondsThenMicroseconds) {
    TWSocket socket(nullptr);
    const TimerOrder& order = GetParam();
    EXPECT_LT(socket.TimerCmp(order.earlier, order.later), 0);
    EXPECT_GT(socket.TimerCmp(order.later, order.earlier), 0);
    EXPECT_EQ(socket.TimerCmp(order.earlier, timeval{order.earlier.tv_sec, order.earlier.tv_usec}),
              0);
}

INSTANTIATE_TEST_SUITE_P(Pairs, WSocketTimerCmp,
                         testing::Values(TimerOrder{{1, 5}, {1, 6}},
                                         TimerOrder{{1, 999999}, {2, 0}},
                                         TimerOrder{{0, 7}, {1, 0}}, TimerOrder{{-1, 0}, {0, 0}},
                                         TimerOrder{{0, 0}, {0, 1}}));

} // namespace
