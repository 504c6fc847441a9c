#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Resources.h"
#include "tests/support/LocalNet.h"
#include "web/WSocket.h"

namespace {

template <class F> std::string RaisedBy(F action) {
    try {
        action();
    } catch (const ESocketException& error) {
        return error.Message;
    }
    return "(nothing raised)";
}

// The platform's own socket call tells whether the layer holds Winsock
// started.
bool WinsockStarted() {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return false;
    closesocket(s);
    return true;
}

struct DottedCase {
    const char* text;
    bool dotted;
};

void PrintTo(const DottedCase& value, std::ostream* out) {
    *out << value.text;
}

class DottedIP : public testing::TestWithParam<DottedCase> {};

TEST_P(DottedIP, FourGroupsOfAtMost255) {
    EXPECT_EQ(WSocketIsDottedIP(GetParam().text), GetParam().dotted) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    WSocketFunctions, DottedIP,
    testing::Values(DottedCase{" 10.0.0.1 ", true}, DottedCase{"192.168.0.1", true},
                    DottedCase{"0.0.0.0", true}, DottedCase{"255.255.255.255", true},
                    DottedCase{"10.0.0", false}, DottedCase{"10.0.0.256", false},
                    DottedCase{".10.0.0.1", false}, DottedCase{"10.0.0.1.", false},
                    DottedCase{"10.0.0.1.2", false}, DottedCase{"10..0.1", false},
                    DottedCase{"10.0.0.a", false}, DottedCase{"10.0.0.1x", false},
                    DottedCase{"", false}, DottedCase{"   ", false},
                    DottedCase{"99999999999999999999.1.1.1", false}),
    [](const testing::TestParamInfo<DottedCase>& info) { return std::to_string(info.index); });

TEST(WSocketFunctions, ErrorDescriptions) {
    EXPECT_EQ(WSocketErrorDesc(0), "No Error");
    EXPECT_EQ(WSocketErrorDesc(10035), "Operation would block");
    EXPECT_EQ(WSocketErrorDesc(10054), "Connection reset by peer");
    EXPECT_EQ(WSocketErrorDesc(10061), "Connection refused");
    EXPECT_EQ(WSocketErrorDesc(10093), "WinSock not initialized");
    EXPECT_EQ(WSocketErrorDesc(11004), "No Data");
    EXPECT_EQ(WSocketErrorDesc(12345), "Not a WinSock error");
}

TEST(WSocketFunctions, ResolvingHostsPortsAndProtocols) {
    EXPECT_EQ(WSocketResolveHost("127.0.0.1").s_addr, inet_addr("127.0.0.1"));
    EXPECT_EQ(WSocketResolveHost("localhost").s_addr, inet_addr("127.0.0.1"));
    EXPECT_EQ(WSocketResolveHost("255.255.255.255").s_addr, INADDR_BROADCAST);
    EXPECT_EQ(RaisedBy([] { WSocketResolveHost(""); }), "WSocketResolveHost: '' Invalid Hostname.");
    EXPECT_EQ(RaisedBy([] { WSocketResolveHost(std::string(257, 'a')); }),
              "WSocketResolveHost: '" + std::string(257, 'a') + "' Invalid Hostname.");
    EXPECT_EQ(RaisedBy([] { WSocketResolveHost(" 1.2.3.4"); }),
              "WSocketResolveHost: ' 1.2.3.4' Invalid IP address.");

    EXPECT_EQ(WSocketResolvePort("8080", "tcp"), 8080);
    EXPECT_EQ(WSocketResolvePort("http", "tcp"), 80);
    EXPECT_EQ(RaisedBy([] { WSocketResolvePort("", "tcp"); }), "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(RaisedBy([] { WSocketResolvePort("65536", "tcp"); }),
              "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(RaisedBy([] { WSocketResolvePort(std::string(32, '1'), "tcp"); }),
              "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(RaisedBy([] { WSocketResolvePort("80", ""); }), "WSocketResolvePort: Invalid Proto.");
    EXPECT_EQ(RaisedBy([] { WSocketResolvePort("nosuchservice", "tcp"); }),
              "WSocketResolvePort: Cannot convert port 'nosuchservice', Error #11004");

    EXPECT_EQ(WSocketResolveProto("tcp"), 6);
    EXPECT_EQ(WSocketResolveProto("udp"), 17);
    EXPECT_EQ(WSocketResolveProto("17"), 17);
    EXPECT_EQ(RaisedBy([] { WSocketResolveProto(""); }), "WSocketResolveProto: Invalid Protocol.");
    EXPECT_EQ(RaisedBy([] { WSocketResolveProto("nosuch"); }),
              "WSocketResolveProto: Cannot convert protocol 'nosuch', Error #11004");

    EXPECT_EQ(WSocketResolveIp("127.0.0.1"), "localhost");
    EXPECT_EQ(RaisedBy([] { WSocketGetHostByName(""); }),
              "WSocketGetHostByName: Invalid Hostname.");
    EXPECT_EQ(RaisedBy([] { WSocketGetHostByAddr(""); }), "WSocketGetHostByAddr: Invalid address.");
}

TEST(WSocketFunctions, LocalIPListHoldsTheMachinesAddresses) {
    std::vector<std::string> expected = HostAddresses();
    if (expected.empty())
        expected = {"127.0.0.1"};
    TStrings* list = LocalIPList();
    ASSERT_NE(list, nullptr);
    std::vector<std::string> listed;
    for (int i = 0; i < list->Count; ++i)
        listed.push_back(list->Strings[i]);
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(LocalIPList(), list) << "the layer's own list, refilled";
    EXPECT_EQ(list->Count, static_cast<int>(expected.size()));

    char name[256];
    ASSERT_EQ(gethostname(name, int{sizeof name}), 0);
    EXPECT_EQ(LocalHostName(), name);
}

TEST(WSocketFunctions, TheLibraryComesWithTheFirstSocketAndGoesWithTheLast) {
    // The free functions load it too and leave it to the last socket.
    WSocketUnloadWinsock();
    EXPECT_FALSE(WinsockStarted());
    {
        TWSocket first(nullptr);
        EXPECT_FALSE(WinsockStarted()) << "loaded on first use only";
        first.LocalAddr = "127.0.0.1";
        EXPECT_TRUE(WinsockStarted());
        TWSocket second(nullptr);
        { TWSocket third(nullptr); }
        EXPECT_TRUE(WinsockStarted());
    }
    EXPECT_FALSE(WinsockStarted());

    WSocketForceLoadWinsock();
    EXPECT_TRUE(WinsockStarted());
    EXPECT_EQ(WinsockInfo().wVersion, MAKEWORD(1, 1));
    { TWSocket passing(nullptr); }
    EXPECT_TRUE(WinsockStarted()) << "held by the forced load";
    WSocketCancelForceLoadWinsock();
    EXPECT_FALSE(WinsockStarted());
}

TEST(WSocketFunctions, AMissingEntryPointIsNamed) {
    const HINSTANCE module = LoadLibraryA("wsock32.dll");
    ProcedureTable withoutRecv;
    for (const char* name : {"WSAStartup", "WSACleanup", "WSAGetLastError", "WSASetLastError",
                             "inet_addr", "inet_ntoa"})
        withoutRecv[name] = GetProcAddress(module, name);
    RegisterBuiltinModule("wsock32.dll", withoutRecv);
    const std::string message = RaisedBy([] { WSocketGetProc("recv"); });
    WSocketUnloadWinsock();
    RegisterWsock32Module();
    EXPECT_EQ(message, "Procedure recv not found in wsock32.dll Error #127");
    EXPECT_NE(WSocketGetProc("recv"), nullptr);
    WSocketUnloadWinsock();
}

} // namespace
