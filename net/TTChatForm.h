#pragma once
// The window that owns the TCP link of a network match: it waits for a call
// (the host) or places one (the caller) on port 1024, exchanges the
// players' names, shows the chat log with an input line, carries game data
// for its subclass and reports the end of the link.
//
// The wire: every message is a text body followed by "|". The caller sends
// "NAME" + its name, the host answers "NAME:" + its name; then both sides
// send "CHAT:" + text and "DATA:" + payload. "MSGB:" + text is shown in a
// message box. Any other body is ignored.
//
// A message whose bytes arrive in several reads is put together again:
// what follows the last "|" of a read waits for the next one. A body that
// grows past MaxBodyLength without its "|" is dropped, with every byte up
// to and including the "|" that ends it, and the link goes on.
//
// What arrives is taken from the socket only from the main loop: a read
// event inside a nested loop (a box, a move, a wait) leaves the bytes in
// the socket, which then holds the partner back, and they are taken once
// control is back there. So the memory a partner can fill is bounded by the
// socket's bound and MaxBodyLength, and no message is handled inside a box.
//
// The log keeps the newest MaxLogLines lines of at most MaxLogLength
// characters together, dropping the oldest.

#include <cstdint>

#include "platform/inet/ClientSocket.h"
#include "platform/inet/ServerSocket.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TTChatForm : public TForm {
public:
    TPanel* Panel1;
    TMemo* Memo1;
    TGroupBox* GroupBox1;
    TEdit* Edit1;
    TButton* Button1;
    TButton* Button2;
    TClientSocket* ClientSocket1;
    TServerSocket* ServerSocket1;
    TTimer* Timer1;

    explicit TTChatForm(TComponent* Owner);

    // True on the side that waits for the call.
    ReadOnlyProperty<bool> IsServer;
    AnsiString OwnName;
    AnsiString PeerName;
    // 0 idle, 1 caller connected and waiting for the host's answer, 2 host
    // listening, 3 linked.
    uint8_t LinkState = 0;

    // Runs the connect dialog and opens the link; false when the user
    // cancels, a socket is already active or the port cannot be opened.
    bool StartConnection(const AnsiString& ownName);

    virtual void ConnectionClosed() {}
    virtual void ConnectionEstablished() {}
    virtual void DataReceived(const AnsiString&) {}
    virtual void SendData(const AnsiString&) {}

    // Sends a text that already ends with "|" over the open connection;
    // nothing when there is none.
    void SendLine(const AnsiString& text);
    void ProcessReceivedText(const AnsiString& chunk);
    void ProcessLine(const AnsiString& body);

    void ClientSocket1Connecting(TObject* Sender, TCustomWinSocket* Socket);
    void ClientSocket1Connect(TObject* Sender, TCustomWinSocket* Socket);
    void ClientSocket1Read(TObject* Sender, TCustomWinSocket* Socket);
    void ClientSocket1Disconnect(TObject* Sender, TCustomWinSocket* Socket);
    void ClientSocket1Error(TObject* Sender, TCustomWinSocket* Socket, TErrorEvent ErrorEvent,
                            int& ErrorCode);
    void ServerSocket1ClientConnect(TObject* Sender, TCustomWinSocket* Socket);
    void ServerSocket1ClientRead(TObject* Sender, TCustomWinSocket* Socket);
    void ServerSocket1ClientDisconnect(TObject* Sender, TCustomWinSocket* Socket);
    void ServerSocket1ClientError(TObject* Sender, TCustomWinSocket* Socket, TErrorEvent ErrorEvent,
                                  int& ErrorCode);
    void Edit1KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);

    // Far above any name, chat line or game datum of this system.
    static constexpr size_t MaxBodyLength = 65536;
    // Far more than a match's chat, little memory.
    static constexpr int MaxLogLines = 10000;
    static constexpr int MaxLogLength = 1024 * 1024;

protected:
    void Log(const AnsiString& line);

private:
    // The open connection of the link: the caller's socket, or the host's
    // first client connection; null when there is none.
    TCustomWinSocket* LinkSocket() const;
    // Takes what arrived on the socket of a read event and what arrives
    // while its messages are handled, or leaves it for the main loop.
    void TakeReceivedText(TCustomWinSocket* socket);
    void TakeWaitingText();
    void SendChatLine();
    void HostReceivedName(const AnsiString& body);
    void CallerReceivedName(const AnsiString& body);
    void ShowPeerMessage(const AnsiString& text);
    void CallerDisconnected();
    void HostPartnerDisconnected();
    void SetChatEnabled(bool enabled);
    AnsiString Text(int number) const;

    bool isServer_ = false;
    // What followed the last "|" of the reads so far.
    AnsiString receivedTail_;
    // The body being received grew too long: drop it up to its "|".
    bool droppingBody_ = false;
    // A box about the peer's messages is open: the peer's next ones that
    // would open another are dropped, so boxes never pile up inside boxes.
    bool boxOpen_ = false;
    // A take waits for the main loop.
    bool takePosted_ = false;
};

extern TTChatForm* TChatForm;
