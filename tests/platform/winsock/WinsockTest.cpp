#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/Messages.h"
#include "platform/win32/Resources.h"
#include "platform/winsock/Winsock.h"
#include "tests/support/LocalNet.h"
#include "tests/support/Pump.h"
#include "tests/support/TestListener.h"

namespace {

constexpr UINT WM_SOCKET = WM_USER + 1;
constexpr UINT WM_LOOKUP = WM_USER + 2;

struct Event {
    SOCKET socket;
    WORD event;
    WORD error;
};

// A window that records the socket events and lookup answers posted to it.
class EventWindow {
public:
    EventWindow() : window_(AllocateHWnd([this](TMessage& m) { Receive(m); })) {}
    ~EventWindow() { DeallocateHWnd(window_); }

    HWND Handle() const { return window_; }
    std::vector<Event> events;
    std::vector<TMessage> answers;

    int Count(SOCKET s, WORD event) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const Event& e) {
            return e.socket == s && e.event == event;
        }));
    }
    bool WaitFor(SOCKET s, WORD event, int count = 1) {
        return PumpUntil([&] { return Count(s, event) >= count; });
    }
    std::vector<WORD> Sequence(SOCKET s) const {
        std::vector<WORD> sequence;
        for (const Event& e : events)
            if (e.socket == s)
                sequence.push_back(e.event);
        return sequence;
    }
    WORD ErrorOf(SOCKET s, WORD event) const {
        for (const Event& e : events)
            if (e.socket == s && e.event == event)
                return e.error;
        return 0xFFFF;
    }

private:
    void Receive(TMessage& m) {
        if (m.Msg == WM_SOCKET)
            events.push_back({m.WParam, WSAGETSELECTEVENT(m.LParam), WSAGETSELECTERROR(m.LParam)});
        else if (m.Msg == WM_LOOKUP)
            answers.push_back(m);
    }

    HWND window_;
};

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    return address;
}

const sockaddr* AsSockaddr(const sockaddr_in& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

class Winsock : public testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    }
    void TearDown() override { WSACleanup(); }

    // A socket selected for every event, connecting to `port`.
    SOCKET ConnectSelected(int port) {
        const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        EXPECT_NE(s, INVALID_SOCKET);
        EXPECT_EQ(WSAAsyncSelect(s, window.Handle(), WM_SOCKET,
                                 FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE),
                  0);
        const sockaddr_in address = Loopback(port);
        const int result = connect(s, AsSockaddr(address), sizeof address);
        EXPECT_TRUE(result == 0 || WSAGetLastError() == WSAEWOULDBLOCK);
        return s;
    }

    // A selected socket connected to `listener`, with the connection's
    // other end.
    SOCKET Connected(TestListener& listener, TestPeer* peer) {
        const SOCKET s = ConnectSelected(listener.Port());
        *peer = listener.Accept();
        EXPECT_TRUE(peer->Valid());
        EXPECT_TRUE(window.WaitFor(s, FD_WRITE));
        return s;
    }

    EventWindow window;
};

TEST(WinsockStartup, VersionsAndTheCallsBeforeIt) {
    WSADATA data{};
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 0), &data), WSAVERNOTSUPPORTED);
    EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    EXPECT_EQ(data.wVersion, MAKEWORD(1, 1));
    EXPECT_EQ(data.wHighVersion, MAKEWORD(1, 1));
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    EXPECT_EQ(WSACleanup(), 0);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(s, INVALID_SOCKET) << "still started once";
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(closesocket(s), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
}

TEST(WinsockModule, TheLoaderFindsEveryEntryPointByName) {
    const HINSTANCE module = LoadLibraryA("wsock32.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(LoadLibraryA("WSOCK32"), module);
    for (const char* name : {"WSAStartup",
                             "WSACleanup",
                             "WSASetLastError",
                             "WSAGetLastError",
                             "WSACancelAsyncRequest",
                             "WSAAsyncGetHostByName",
                             "WSAAsyncGetHostByAddr",
                             "WSAAsyncSelect",
                             "getservbyname",
                             "getprotobyname",
                             "gethostbyname",
                             "gethostbyaddr",
                             "gethostname",
                             "socket",
                             "shutdown",
                             "setsockopt",
                             "getsockopt",
                             "sendto",
                             "send",
                             "ntohs",
                             "ntohl",
                             "listen",
                             "ioctlsocket",
                             "inet_ntoa",
                             "inet_addr",
                             "htons",
                             "htonl",
                             "getsockname",
                             "getpeername",
                             "connect",
                             "closesocket",
                             "bind",
                             "accept",
                             "recv",
                             "recvfrom"})
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(module, "recv"), reinterpret_cast<void*>(&recv));
    EXPECT_EQ(GetProcAddress(module, "WSAIoctl"), nullptr);
}

struct AddressCase {
    const char* text;
    DWORD hostOrder;
};

void PrintTo(const AddressCase& value, std::ostream* out) {
    *out << value.text;
}

class InetAddr : public testing::TestWithParam<AddressCase> {};

TEST_P(InetAddr, ParsesAsWinsockDoes) {
    EXPECT_EQ(inet_addr(GetParam().text), htonl(GetParam().hostOrder)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Winsock, InetAddr,
    testing::Values(AddressCase{"127.0.0.1", 0x7F000001}, AddressCase{"10.0.0.255", 0x0A0000FF},
                    AddressCase{"127.1", 0x7F000001}, AddressCase{"10.1.2", 0x0A010002},
                    AddressCase{"0x7f.010.0.1", 0x7F080001}, AddressCase{"3232235777", 0xC0A80101},
                    AddressCase{"1.2.3.4 trailing", 0x01020304},
                    AddressCase{"255.255.255.255", 0xFFFFFFFF}, AddressCase{"", INADDR_NONE},
                    AddressCase{"1.2.3.256", INADDR_NONE}, AddressCase{"1.2.3.4.5", INADDR_NONE},
                    AddressCase{".1.2.3", INADDR_NONE}, AddressCase{"1..2.3", INADDR_NONE},
                    AddressCase{"1.2.3.", INADDR_NONE}, AddressCase{"1.2.3.a", INADDR_NONE},
                    AddressCase{" 1.2.3.4", INADDR_NONE}, AddressCase{"08.1.1.1", INADDR_NONE},
                    AddressCase{"1.65536.1", INADDR_NONE}, AddressCase{"4294967296", INADDR_NONE},
                    AddressCase{"localhost", INADDR_NONE}),
    [](const testing::TestParamInfo<AddressCase>& info) { return std::to_string(info.index); });

TEST(WinsockBytes, NetworkOrderAndDottedText) {
    const u_short port = htons(0x1234);
    unsigned char bytes[4];
    std::memcpy(bytes, &port, 2);
    EXPECT_EQ(bytes[0], 0x12);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(ntohs(port), 0x1234);
    EXPECT_EQ(ntohl(htonl(0x01020304)), 0x01020304u);
    EXPECT_STREQ(inet_ntoa(in_addr{htonl(0xC0A80001)}), "192.168.0.1");
    EXPECT_EQ(inet_addr(nullptr), INADDR_NONE);
}

TEST_F(Winsock, ErrorsCarryWinsockNumbers) {
    const int closedPort = FreePort();
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(closedPort);
    EXPECT_EQ(connect(s, AsSockaddr(address), sizeof address), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    char byte = 0;
    const SOCKET fresh = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(send(fresh, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTCONN);
    EXPECT_EQ(recv(INVALID_SOCKET, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(socket(AF_INET, 3, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAESOCKTNOSUPPORT);
    EXPECT_EQ(setsockopt(fresh, SOL_SOCKET, 0x7777, &byte, 1), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
    EXPECT_EQ(bind(fresh, AsSockaddr(address), 4), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
    const SOCKET other = socket(AF_INET, SOCK_STREAM, 0);
    TestListener taken;
    const sockaddr_in busy = Loopback(taken.Port());
    EXPECT_EQ(bind(other, AsSockaddr(busy), sizeof busy), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);
    closesocket(s);
    closesocket(fresh);
    closesocket(other);
}

TEST_F(Winsock, OptionsTranslateBothWays) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ASSERT_EQ(
        setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on), 0);
    int value = 0;
    int length = sizeof value;
    ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<char*>(&value), &length), 0);
    EXPECT_NE(value, 0);
    const linger abortive{1, 0};
    ASSERT_EQ(setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive),
                         sizeof abortive),
              0);
    linger read{};
    length = sizeof read;
    ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&read), &length), 0);
    EXPECT_EQ(read.l_onoff, 1);
    EXPECT_EQ(read.l_linger, 0);
    length = sizeof value;
    ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&value), &length), 0);
    EXPECT_EQ(value, SOCK_STREAM);
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<const char*>(&on), sizeof on),
              SOCKET_ERROR);
    closesocket(s);
}

TEST_F(Winsock, ConnectReportsConnectThenWrite) {
    TestListener listener;
    const SOCKET s = ConnectSelected(listener.Port());
    TestPeer peer = listener.Accept();
    ASSERT_TRUE(window.WaitFor(s, FD_WRITE));
    PumpFor(50);
    EXPECT_EQ(window.Sequence(s), (std::vector<WORD>{FD_CONNECT, FD_WRITE}));
    EXPECT_EQ(window.ErrorOf(s, FD_CONNECT), 0);
    closesocket(s);
}

TEST_F(Winsock, ARefusedConnectIsAConnectEventWithTheError) {
    const SOCKET s = ConnectSelected(FreePort());
    ASSERT_TRUE(window.WaitFor(s, FD_CONNECT));
    PumpFor(50);
    EXPECT_EQ(window.Sequence(s), (std::vector<WORD>{FD_CONNECT}));
    EXPECT_EQ(window.ErrorOf(s, FD_CONNECT), WSAECONNREFUSED);
    closesocket(s);
}

TEST_F(Winsock, ReadIsOfferedOnceUntilRecvAndAgainWhileDataWaits) {
    TestListener listener;
    TestPeer peer;
    const SOCKET s = Connected(listener, &peer);
    ASSERT_TRUE(peer.Send(std::string(100, 'x')));
    ASSERT_TRUE(window.WaitFor(s, FD_READ));
    ASSERT_TRUE(peer.Send(std::string(100, 'y')));
    PumpFor(50);
    EXPECT_EQ(window.Count(s, FD_READ), 1) << "no second FD_READ before a recv";

    char buffer[300];
    ASSERT_EQ(recv(s, buffer, 10, 0), 10);
    ASSERT_TRUE(window.WaitFor(s, FD_READ, 2)) << "data still waits after the recv";
    DWORD waiting = 0;
    ASSERT_EQ(ioctlsocket(s, FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 190u);
    ASSERT_EQ(recv(s, buffer, sizeof buffer, 0), 190);
    PumpFor(50);
    EXPECT_EQ(window.Count(s, FD_READ), 2) << "nothing waits any more";
    EXPECT_EQ(recv(s, buffer, sizeof buffer, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    closesocket(s);
}

TEST_F(Winsock, CloseComesOnceAfterTheDataBeforeItHasBeenRead) {
    TestListener listener;
    TestPeer peer;
    const SOCKET s = Connected(listener, &peer);
    ASSERT_TRUE(peer.Send("last words"));
    peer.ShutdownSend();
    ASSERT_TRUE(window.WaitFor(s, FD_READ));
    PumpFor(50);
    EXPECT_EQ(window.Count(s, FD_CLOSE), 0) << "data waits";
    char buffer[64];
    ASSERT_EQ(recv(s, buffer, sizeof buffer, 0), 10);
    ASSERT_TRUE(window.WaitFor(s, FD_CLOSE));
    EXPECT_EQ(window.ErrorOf(s, FD_CLOSE), 0);
    EXPECT_EQ(recv(s, buffer, sizeof buffer, 0), 0);
    PumpFor(50);
    EXPECT_EQ(window.Count(s, FD_CLOSE), 1);
    EXPECT_EQ(window.Sequence(s), (std::vector<WORD>{FD_CONNECT, FD_WRITE, FD_READ, FD_CLOSE}));
    closesocket(s);
}

TEST_F(Winsock, AResetIsACloseWithTheResetError) {
    TestListener listener;
    TestPeer peer;
    const SOCKET s = Connected(listener, &peer);
    peer.Reset();
    ASSERT_TRUE(window.WaitFor(s, FD_CLOSE));
    EXPECT_EQ(window.ErrorOf(s, FD_CLOSE), WSAECONNRESET);
    closesocket(s);
}

TEST_F(Winsock, WriteComesBackWhenABlockedSendCanGoOn) {
    TestListener listener;
    TestPeer peer;
    const SOCKET s = Connected(listener, &peer);
    const std::string chunk(65536, 'z');
    size_t queued = 0;
    for (int sent; (sent = send(s, chunk.data(), static_cast<int>(chunk.size()), 0)) > 0;)
        queued += static_cast<size_t>(sent);
    ASSERT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    PumpFor(50);
    EXPECT_EQ(window.Count(s, FD_WRITE), 1) << "only the one after the connect so far";
    EXPECT_EQ(peer.Receive(queued).size(), queued);
    ASSERT_TRUE(window.WaitFor(s, FD_WRITE, 2));
    closesocket(s);
}

TEST_F(Winsock, AcceptIsOfferedOnceUntilAcceptAndTheAcceptedSocketInherits) {
    const SOCKET server = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in any = Loopback(0);
    ASSERT_EQ(bind(server, AsSockaddr(any), sizeof any), 0);
    ASSERT_EQ(listen(server, SOMAXCONN), 0);
    ASSERT_EQ(WSAAsyncSelect(server, window.Handle(), WM_SOCKET,
                             FD_ACCEPT | FD_READ | FD_WRITE | FD_CLOSE),
              0);
    sockaddr_in bound{};
    int length = sizeof bound;
    ASSERT_EQ(getsockname(server, reinterpret_cast<sockaddr*>(&bound), &length), 0);
    TestPeer first = TestPeer::Connect(ntohs(bound.sin_port));
    TestPeer second = TestPeer::Connect(ntohs(bound.sin_port));
    ASSERT_TRUE(window.WaitFor(server, FD_ACCEPT));
    PumpFor(50);
    EXPECT_EQ(window.Count(server, FD_ACCEPT), 1);

    sockaddr_in peer{};
    length = sizeof peer;
    const SOCKET accepted = accept(server, reinterpret_cast<sockaddr*>(&peer), &length);
    ASSERT_NE(accepted, INVALID_SOCKET);
    EXPECT_EQ(peer.sin_addr.s_addr, inet_addr("127.0.0.1"));
    ASSERT_TRUE(window.WaitFor(server, FD_ACCEPT, 2)) << "the second connection waits";
    ASSERT_TRUE(window.WaitFor(accepted, FD_WRITE)) << "the accepted socket is selected too";
    ASSERT_TRUE(first.Send("hi"));
    ASSERT_TRUE(window.WaitFor(accepted, FD_READ));
    const SOCKET next = accept(server, nullptr, nullptr);
    ASSERT_NE(next, INVALID_SOCKET);
    EXPECT_NE(next, accepted);
    EXPECT_EQ(accept(server, nullptr, nullptr), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    closesocket(accepted);
    closesocket(next);
    closesocket(server);
}

TEST_F(Winsock, SelectingReportsWhatIsTrueAlreadyAndZeroStopsIt) {
    TestListener listener;
    TestPeer peer;
    const SOCKET s = Connected(listener, &peer);
    ASSERT_EQ(WSAAsyncSelect(s, window.Handle(), WM_SOCKET, 0), 0);
    ASSERT_TRUE(peer.Send("waiting"));
    PumpFor(50);
    EXPECT_EQ(window.Count(s, FD_READ), 0);
    window.events.clear();
    ASSERT_EQ(WSAAsyncSelect(s, window.Handle(), WM_SOCKET, FD_READ | FD_WRITE | FD_CLOSE), 0);
    ASSERT_TRUE(window.WaitFor(s, FD_READ));
    EXPECT_EQ(window.Count(s, FD_WRITE), 1);
    EXPECT_EQ(WSAAsyncSelect(s, reinterpret_cast<HWND>(0x1), WM_SOCKET, FD_READ), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
    closesocket(s);
}

TEST_F(Winsock, HandlesAreNotReusedSoStaleEventsMatchNothing) {
    std::set<SOCKET> seen;
    for (int i = 0; i < 20; ++i) {
        const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        EXPECT_TRUE(seen.insert(s).second);
        closesocket(s);
    }
}

TEST_F(Winsock, BlockingLookupsOfAddressesAndNames) {
    hostent* host = gethostbyname("127.0.0.1");
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->h_addrtype, AF_INET);
    EXPECT_EQ(host->h_length, 4);
    ASSERT_NE(host->h_addr_list[0], nullptr);
    in_addr first;
    std::memcpy(&first, host->h_addr_list[0], 4);
    EXPECT_STREQ(inet_ntoa(first), "127.0.0.1");
    EXPECT_EQ(host->h_addr_list[1], nullptr);

    host = gethostbyname("localhost");
    ASSERT_NE(host, nullptr);
    std::memcpy(&first, host->h_addr_list[0], 4);
    EXPECT_STREQ(inet_ntoa(first), "127.0.0.1");

    const DWORD loopback = inet_addr("127.0.0.1");
    host = gethostbyaddr(reinterpret_cast<const char*>(&loopback), 4, AF_INET);
    ASSERT_NE(host, nullptr);
    EXPECT_STREQ(host->h_name, "localhost");
    EXPECT_EQ(gethostbyaddr(reinterpret_cast<const char*>(&loopback), 3, AF_INET), nullptr);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);

    protoent* tcp = getprotobyname("tcp");
    ASSERT_NE(tcp, nullptr);
    EXPECT_EQ(tcp->p_proto, IPPROTO_TCP);
    servent* http = getservbyname("http", "tcp");
    ASSERT_NE(http, nullptr);
    EXPECT_EQ(ntohs(http->s_port), 80);
    EXPECT_STREQ(http->s_proto, "tcp");
    EXPECT_EQ(getservbyname("no-such-service", "tcp"), nullptr);
    EXPECT_EQ(WSAGetLastError(), WSANO_DATA);
}

TEST_F(Winsock, TheOwnNameAnswersTheInterfaceAddresses) {
    char name[256];
    ASSERT_EQ(gethostname(name, int{sizeof name}), 0);
    char tiny[1];
    EXPECT_EQ(gethostname(tiny, 1), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);

    std::vector<std::string> expected = HostAddresses();
    if (expected.empty())
        expected = {"127.0.0.1"};
    for (const char* own : {static_cast<const char*>(name), ""}) {
        hostent* host = gethostbyname(own);
        ASSERT_NE(host, nullptr) << own;
        std::vector<std::string> answered;
        for (char** address = host->h_addr_list; *address; ++address) {
            in_addr value;
            std::memcpy(&value, *address, 4);
            answered.push_back(inet_ntoa(value));
        }
        EXPECT_EQ(answered, expected) << own;
    }
}

TEST_F(Winsock, AnAsynchronousLookupAnswersIntoTheCallersBuffer) {
    alignas(hostent) char buffer[MAXGETHOSTSTRUCT];
    const HANDLE lookup =
        WSAAsyncGetHostByName(window.Handle(), WM_LOOKUP, "localhost", buffer, sizeof buffer);
    ASSERT_NE(lookup, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !window.answers.empty(); }));
    const TMessage& answer = window.answers.front();
    EXPECT_EQ(reinterpret_cast<HANDLE>(answer.WParam), lookup);
    EXPECT_EQ(WSAGETASYNCERROR(answer.LParam), 0);
    EXPECT_GT(WSAGETASYNCBUFLEN(answer.LParam), sizeof(hostent));
    EXPECT_LE(WSAGETASYNCBUFLEN(answer.LParam), sizeof buffer);
    const auto* host = reinterpret_cast<const hostent*>(buffer);
    ASSERT_NE(host->h_addr_list[0], nullptr);
    EXPECT_GE(host->h_addr_list[0], buffer);
    EXPECT_LT(host->h_addr_list[0], buffer + sizeof buffer);
    in_addr first;
    std::memcpy(&first, host->h_addr_list[0], 4);
    EXPECT_STREQ(inet_ntoa(first), "127.0.0.1");
    EXPECT_EQ(WSACancelAsyncRequest(lookup), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEALREADY);
    EXPECT_EQ(WSACancelAsyncRequest(reinterpret_cast<HANDLE>(uintptr_t{1} << 40)), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}

TEST_F(Winsock, AShortBufferGetsNoBuffersAndTheSizeItNeeds) {
    alignas(hostent) char buffer[sizeof(hostent)];
    ASSERT_NE(WSAAsyncGetHostByName(window.Handle(), WM_LOOKUP, "127.0.0.1", buffer, sizeof buffer),
              nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !window.answers.empty(); }));
    EXPECT_EQ(WSAGETASYNCERROR(window.answers.front().LParam), WSAENOBUFS);
    EXPECT_GT(WSAGETASYNCBUFLEN(window.answers.front().LParam), sizeof buffer);
}

TEST_F(Winsock, ACancelledLookupNeverAnswers) {
    alignas(hostent) char buffer[MAXGETHOSTSTRUCT];
    int cancelled = 0;
    int answered = 0;
    for (int i = 0; i < 20; ++i) {
        const HANDLE lookup =
            WSAAsyncGetHostByName(window.Handle(), WM_LOOKUP, "localhost", buffer, sizeof buffer);
        ASSERT_NE(lookup, nullptr);
        if (WSACancelAsyncRequest(lookup) == 0) {
            ++cancelled;
        } else {
            EXPECT_EQ(WSAGetLastError(), WSAEALREADY);
            ++answered;
        }
    }
    ASSERT_TRUE(PumpUntil([&] { return static_cast<int>(window.answers.size()) >= answered; }));
    PumpFor(200);
    EXPECT_EQ(static_cast<int>(window.answers.size()), answered);
    EXPECT_EQ(cancelled + answered, 20);
}

TEST_F(Winsock, AsynchronousLookupsCheckTheirArguments) {
    alignas(hostent) char buffer[MAXGETHOSTSTRUCT];
    EXPECT_EQ(WSAAsyncGetHostByName(window.Handle(), WM_LOOKUP, "localhost", buffer + 1, 100),
              nullptr);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
    EXPECT_EQ(WSAAsyncGetHostByName(reinterpret_cast<HWND>(0x1), WM_LOOKUP, "localhost", buffer,
                                    sizeof buffer),
              nullptr);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
    const DWORD loopback = inet_addr("127.0.0.1");
    ASSERT_NE(WSAAsyncGetHostByAddr(window.Handle(), WM_LOOKUP,
                                    reinterpret_cast<const char*>(&loopback), 4, AF_INET, buffer,
                                    sizeof buffer),
              nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !window.answers.empty(); }));
    EXPECT_EQ(WSAGETASYNCERROR(window.answers.front().LParam), 0);
    EXPECT_STREQ(reinterpret_cast<const hostent*>(buffer)->h_name, "localhost");
}

} // namespace
