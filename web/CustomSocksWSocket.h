#pragma once
// The SOCKS client layer: with a SocksServer set, Connect goes to that
// server and asks it, in SOCKS 4, 4A or 5, for the connection to Addr and
// Port; OnSessionConnected fires once the server has granted it (error 0)
// or refused it (a SOCKS error code, also given to OnSocksError, after
// which the socket is closed with that code). Without a SocksServer
// everything passes through unchanged.

#include "web/CustomWSocket.h"

// SOCKS error codes of OnSocksError and OnSessionConnected. A receive
// error during the exchange is reported with the socket's own error number.
constexpr int socksProtocolError = 20001;
constexpr int socksVersionError = 20002;
constexpr int socksAuthMethodError = 20003;
constexpr int socksGeneralFailure = 20004;
constexpr int socksConnectionNotAllowed = 20005;
constexpr int socksNetworkUnreachable = 20006;
constexpr int socksHostUnreachable = 20007;
constexpr int socksConnectionRefused = 20008;
constexpr int socksTtlExpired = 20009;
constexpr int socksUnknownCommand = 20010;
constexpr int socksUnknownAddressType = 20011;
constexpr int socksUnassignedError = 20012;
constexpr int socksAuthenticationFailed = 20015;
constexpr int socksRejectedOrFailed = 20016;

class TCustomSocksWSocket : public TCustomWSocket {
public:
    explicit TCustomSocksWSocket(TComponent* AOwner);

    void Connect() override;
    void Listen() override;

    // "4", "4A" or "5" (stored in upper case).
    Property<AnsiString> SocksLevel;
    Property<AnsiString> SocksServer;
    Property<AnsiString> SocksPort;
    AnsiString SocksUsercode;
    AnsiString SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;

    TSessionConnected OnSocksConnected;
    TSocksErrorEvent OnSocksError;
    TSocksAuthStateEvent OnSocksAuthState;

protected:
    virtual void TriggerSocksConnected(WORD Error);
    virtual void SetSocksPort(const AnsiString& sPort);
    virtual void SetSocksServer(const AnsiString& sServer);
    virtual void TriggerSocksError(int Error, const AnsiString& Msg);

    void AssignDefaultValue() override;
    void TriggerSessionConnected(WORD Error) override;
    bool TriggerDataAvailable(WORD Error) override;
    // The exchange with the server is under way: received bytes are its.
    bool SocksNegotiating() const { return FSocksState != SocksIdle; }

private:
    enum Phase { SocksIdle, SocksConnecting, SocksAuthenticating, SocksRequesting };
    // The longest reply: a SOCKS 5 reply carrying a name of 255 bytes.
    static constexpr int ReplySize = 7 + 255;

    void SetSocksLevel(const AnsiString& newValue);
    void ForgetResolvedTarget();
    void TriggerSocksAuthState(TSocksAuthState AuthState);
    void SocksDoGreeting();
    void SocksDoAuthenticate();
    void SocksDoConnect();
    void SocksGreetingReply();
    void SocksAuthReply();
    void SocksConnectReply5();
    void SocksConnectReply4();
    void SocksConnected();
    void SocksError(int Error, const AnsiString& Msg);
    bool ReceiveSocksReply(int Total);
    int ReceiveSocksBytes(int Count);

    AnsiString FSocksLevel = "5";
    AnsiString FSocksServer;
    AnsiString FSocksPort;
    Phase FSocksState = SocksIdle;
    unsigned char FRcvBuf[ReplySize] = {};
    int FRcvCnt = 0;
    u_short FSocksRealPort = 0;
    in_addr FSocksRealAddr{};
};
