#include "net/TTChatForm.h"

#include "myunits/LANGUAGE.h"
#include "net/LinkColours.h"
#include "net/TTCPConnectForm.h"
#include "platform/vcl/MessageLoop.h"

TTChatForm* TChatForm = nullptr;

namespace {

constexpr int LinkPort = 1024;
constexpr const char* WaitingMark = ".*.";

bool BeginsWith(const AnsiString& body, const char* word) {
    return body.rfind(word, 0) == 0;
}

// The body from its n-th character (counted from 1) on.
AnsiString From(const AnsiString& body, size_t n) {
    return body.size() >= n ? body.substr(n - 1) : AnsiString();
}

} // namespace

TTChatForm::TTChatForm(TComponent* Owner) : TForm(Owner), IsServer([this] { return isServer_; }) {
    Name = "TChatForm";
    Tag = 310;
    Caption = "Waiting for connection...";
    ClientWidth = 333;
    ClientHeight = 320;
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biMinimize << biMaximize;
    FormStyle = fsStayOnTop;
    Position = poScreenCenter;
    Color = LinkLightBlue;
    Font->Name = "MS Sans Serif";
    Font->Height = 11;

    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->Parent = this;
    Panel1->Tag = -1;
    Panel1->SetBounds(8, 8, 317, 209);
    Panel1->BevelOuter = bvLowered;
    Panel1->Caption = "";
    Panel1->Color = LinkDarkBlue;
    Memo1 = new TMemo(this);
    Memo1->Name = "Memo1";
    Memo1->Parent = Panel1;
    Memo1->Tag = -1;
    Memo1->SetBounds(4, 4, 309, 201);
    Memo1->ReadOnly = true;
    Memo1->ScrollBars = ssVertical;

    GroupBox1 = new TGroupBox(this);
    GroupBox1->Name = "GroupBox1";
    GroupBox1->Parent = this;
    GroupBox1->Tag = 312;
    GroupBox1->SetBounds(8, 224, 317, 53);
    GroupBox1->Caption = "Please type in your messages here:";
    GroupBox1->Color = LinkDarkBlue;
    GroupBox1->Font->Color = clWhite;
    Edit1 = new TEdit(this);
    Edit1->Name = "Edit1";
    Edit1->Parent = GroupBox1;
    Edit1->Tag = -1;
    Edit1->SetBounds(8, 22, 225, 21);
    Edit1->Font->Color = clBlack;
    Edit1->OnKeyDown = Method(this, &TTChatForm::Edit1KeyDown);
    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = GroupBox1;
    Button1->Tag = 313;
    Button1->SetBounds(240, 20, 69, 25);
    Button1->Caption = "Send";
    Button1->Font->Color = clBlack;
    Button1->OnClick = Method(this, &TTChatForm::Button1Click);

    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Tag = 311;
    Button2->SetBounds(96, 287, 141, 25);
    Button2->Caption = "Abort Connection";
    Button2->OnClick = Method(this, &TTChatForm::Button2Click);

    ClientSocket1 = new TClientSocket(this);
    ClientSocket1->Name = "ClientSocket1";
    ClientSocket1->Port = LinkPort;
    ClientSocket1->OnConnecting = Method(this, &TTChatForm::ClientSocket1Connecting);
    ClientSocket1->OnConnect = Method(this, &TTChatForm::ClientSocket1Connect);
    ClientSocket1->OnRead = Method(this, &TTChatForm::ClientSocket1Read);
    ClientSocket1->OnDisconnect = Method(this, &TTChatForm::ClientSocket1Disconnect);
    ClientSocket1->OnError = Method(this, &TTChatForm::ClientSocket1Error);
    ServerSocket1 = new TServerSocket(this);
    ServerSocket1->Name = "ServerSocket1";
    ServerSocket1->Port = LinkPort;
    ServerSocket1->OnClientConnect = Method(this, &TTChatForm::ServerSocket1ClientConnect);
    ServerSocket1->OnClientRead = Method(this, &TTChatForm::ServerSocket1ClientRead);
    ServerSocket1->OnClientDisconnect = Method(this, &TTChatForm::ServerSocket1ClientDisconnect);
    ServerSocket1->OnClientError = Method(this, &TTChatForm::ServerSocket1ClientError);

    Timer1 = new TTimer(this);
    Timer1->Name = "Timer1";
    Timer1->Interval = 3000;
    Timer1->OnTimer = Method(this, &TTChatForm::Timer1Timer);

    OnShow = Method(this, &TTChatForm::FormShow);
    OnCloseQuery = Method(this, &TTChatForm::FormCloseQuery);
    OnDestroy = Method(this, &TTChatForm::FormDestroy);
    Loaded();
}

bool TTChatForm::StartConnection(const AnsiString& ownName) {
    OwnName = ownName;
    Timer1->Enabled = true;
    if (ServerSocket1->Active || ClientSocket1->Active)
        return false;
    std::unique_ptr<TTCPConnectForm> dialog = std::make_unique<TTCPConnectForm>(this);
    dialog->Visible = false;
    if (dialog->ShowModal() == mrCancel)
        return false;
    Visible = true;
    if (dialog->RadioButton2->Checked) {
        try {
            ServerSocket1->Active = true;
        } catch (const ESocketError& error) {
            // The port is taken (another copy of the game waits on it).
            Application->MessageBox(Text(54) + " " + IntToStr(error.ErrorCode), Text(55),
                                    MB_TASKMODAL | MB_ICONEXCLAMATION);
            Visible = false;
            return false;
        }
        isServer_ = true;
        Log(Text(50));
        Log(Text(51));
        Memo1->Lines->AddStrings(*dialog->Memo1->Lines);
        SetChatEnabled(false);
        LinkState = 2;
    } else {
        ClientSocket1->Host = dialog->Edit1->Text;
        ClientSocket1->Active = true;
        isServer_ = false;
        SetChatEnabled(false);
        Log(Text(52) + " " + dialog->Edit1->Text());
    }
    return true;
}

TCustomWinSocket* TTChatForm::LinkSocket() const {
    if (!isServer_)
        return ClientSocket1->Active ? ClientSocket1->Socket() : nullptr;
    if (!ServerSocket1->Active || ServerSocket1->Socket->ActiveConnections == 0)
        return nullptr;
    return ServerSocket1->Socket->Connections[0];
}

void TTChatForm::SendLine(const AnsiString& text) {
    TCustomWinSocket* socket = LinkSocket();
    if (socket && socket->Connected)
        socket->SendText(text);
}

// The socket of the event stays valid while the event runs, also when the
// link ends meanwhile; later only the link's own socket counts.
void TTChatForm::TakeReceivedText(TCustomWinSocket* socket) {
    if (InNestedLoop()) {
        if (!takePosted_) {
            takePosted_ = true;
            WhenBackInMainLoop([this] {
                takePosted_ = false;
                TakeWaitingText();
            });
        }
        return;
    }
    ProcessReceivedText(socket->ReceiveText());
    TakeWaitingText();
}

// A message may open a box, inside which more arrives: it is taken here,
// once the box has been answered.
void TTChatForm::TakeWaitingText() {
    for (TCustomWinSocket* socket = LinkSocket(); socket && socket->ReceiveLength() > 0;
         socket = LinkSocket())
        ProcessReceivedText(socket->ReceiveText());
}

void TTChatForm::ProcessReceivedText(const AnsiString& chunk) {
    AnsiString text = chunk;
    if (droppingBody_) {
        const size_t end = text.find('|');
        if (end == AnsiString::npos)
            return;
        droppingBody_ = false;
        text.erase(0, end + 1);
    }
    text.insert(0, receivedTail_);
    // The tail is settled before any body runs: a message box opened by a
    // body lets later reads arrive, and they continue from here.
    const size_t last = text.rfind('|');
    const size_t bodiesEnd = last == AnsiString::npos ? 0 : last + 1;
    receivedTail_ = text.substr(bodiesEnd);
    if (receivedTail_.size() > MaxBodyLength) {
        receivedTail_.clear();
        droppingBody_ = true;
    }
    size_t start = 0;
    while (start < bodiesEnd) {
        const size_t end = text.find('|', start);
        ProcessLine(text.substr(start, end - start));
        start = end + 1;
    }
}

void TTChatForm::ProcessLine(const AnsiString& body) {
    if (BeginsWith(body, "NAME")) {
        if (isServer_)
            HostReceivedName(body);
        else
            CallerReceivedName(body);
    } else if (BeginsWith(body, "CHAT")) {
        Log(PeerName + ": " + From(body, 6));
    } else if (BeginsWith(body, "MSGB")) {
        ShowPeerMessage(From(body, 6));
    } else if (BeginsWith(body, "DATA") && body.size() > 5) {
        DataReceived(From(body, 6));
    }
}

// Only a host that is still waiting asks; a name sent again later would
// start the match a second time.
void TTChatForm::HostReceivedName(const AnsiString& body) {
    if (LinkState != 2 || boxOpen_)
        return;
    PeerName = From(body, 5);
    boxOpen_ = true;
    const int answer = Application->MessageBox(PeerName + " " + Text(76), Text(77), MB_YESNO);
    boxOpen_ = false;
    if (LinkState != 2)
        return; // the link ended while the question was open
    if (answer == IDYES) {
        Memo1->Lines->Clear();
        Log(Text(78) + " " + PeerName);
        Caption = Text(78) + " " + PeerName;
        LinkState = 3;
        SetChatEnabled(true);
        SendLine("NAME:" + OwnName + "|");
        ConnectionEstablished();
    } else {
        ServerSocket1->Active = false;
    }
}

// Only the answer that the caller waits for counts.
void TTChatForm::CallerReceivedName(const AnsiString& body) {
    if (LinkState != 1)
        return;
    Caption = Text(78) + " " + From(body, 6);
    PeerName = From(body, 6);
    Memo1->Lines->Clear();
    Log(Text(78) + " " + PeerName);
    LinkState = 3;
    SetChatEnabled(true);
    ConnectionEstablished();
}

void TTChatForm::ShowPeerMessage(const AnsiString& text) {
    if (boxOpen_)
        return;
    boxOpen_ = true;
    Application->MessageBox(text, "", MB_TASKMODAL | MB_ICONEXCLAMATION);
    boxOpen_ = false;
}

void TTChatForm::ClientSocket1Connecting(TObject*, TCustomWinSocket*) {
    Log(Text(58));
}

void TTChatForm::ClientSocket1Connect(TObject*, TCustomWinSocket*) {
    Memo1->Lines->Clear();
    Log(Text(53));
    SendLine("NAME" + OwnName + "|");
    LinkState = 1;
}

void TTChatForm::ClientSocket1Read(TObject*, TCustomWinSocket* Socket) {
    TakeReceivedText(Socket);
}

void TTChatForm::ClientSocket1Disconnect(TObject*, TCustomWinSocket*) {
    CallerDisconnected();
}

void TTChatForm::ClientSocket1Error(TObject*, TCustomWinSocket* Socket, TErrorEvent,
                                    int& ErrorCode) {
    Timer1->Enabled = false;
    const AnsiString code = IntToStr(ErrorCode);
    ErrorCode = 0;
    Application->MessageBox(Text(54) + " " + code, Text(55), MB_TASKMODAL | MB_ICONEXCLAMATION);
    Log(Text(56) + " " + code + " " + Text(57));
    Socket->Close();
    CallerDisconnected();
}

// The link has one partner, the first caller: a later call is hung up at
// once (silently), so that it can neither speak on the link nor end it.
void TTChatForm::ServerSocket1ClientConnect(TObject*, TCustomWinSocket* Socket) {
    if (ServerSocket1->Socket->ActiveConnections > 1)
        Socket->Close();
}

void TTChatForm::ServerSocket1ClientRead(TObject*, TCustomWinSocket* Socket) {
    TakeReceivedText(Socket);
}

void TTChatForm::ServerSocket1ClientDisconnect(TObject*, TCustomWinSocket*) {
    HostPartnerDisconnected();
}

void TTChatForm::ServerSocket1ClientError(TObject*, TCustomWinSocket* Socket, TErrorEvent,
                                          int& ErrorCode) {
    Timer1->Enabled = false;
    Log(Text(62) + " " + IntToStr(ErrorCode) + " " + Text(63));
    ErrorCode = 0;
    Socket->Close();
    HostPartnerDisconnected();
}

void TTChatForm::CallerDisconnected() {
    Timer1->Enabled = false;
    Log("Disconnected");
    if (LinkState == 1)
        Application->MessageBox(Text(59), Text(61), MB_TASKMODAL);
    else if (LinkState == 3)
        Application->MessageBox(Text(60), Text(61), MB_TASKMODAL);
    SetChatEnabled(false);
    LinkState = 0;
    ConnectionClosed();
}

void TTChatForm::HostPartnerDisconnected() {
    Timer1->Enabled = false;
    Log("Disconnected");
    if (LinkState == 3)
        Application->MessageBox(Text(64), Text(65), MB_TASKMODAL);
    LinkState = 0;
    SetChatEnabled(false);
    ConnectionClosed();
}

// Enter in the input line sends it; elsewhere in the window it does not.
void TTChatForm::Edit1KeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key != VK_RETURN)
        return;
    Key = 0;
    SendChatLine();
}

void TTChatForm::Button1Click(TObject*) {
    SendChatLine();
}

void TTChatForm::SendChatLine() {
    if (LinkState != 3)
        return;
    const AnsiString line = Edit1->Text;
    SendLine("CHAT:" + line + "|");
    Log(OwnName + ": " + line);
    Edit1->Text = "";
}

void TTChatForm::Button2Click(TObject*) {
    if (LinkState == 3)
        Application->MessageBox(Text(64), Text(65), MB_TASKMODAL);
    else
        Application->MessageBox(Text(66), Text(61), MB_TASKMODAL);
    LinkState = 0;
    if (isServer_)
        ServerSocket1->Active = false;
    else
        ClientSocket1->Active = false;
    SetChatEnabled(false);
    ConnectionClosed();
}

// The marks get a line of their own: behind the last address they would
// read as part of it.
void TTChatForm::Timer1Timer(TObject*) {
    if (LinkState != 2)
        return;
    TStrings* lines = Memo1->Lines;
    const int last = lines->Count - 1;
    const AnsiString lastLine = last >= 0 ? lines->Strings[last]() : AnsiString();
    if (BeginsWith(lastLine, WaitingMark))
        lines->Strings[last] = lastLine + WaitingMark;
    else
        lines->Add(WaitingMark);
}

void TTChatForm::FormShow(TObject*) {
    TMyLanguages::GetSingleton().WriteCaption(this);
}

void TTChatForm::FormCloseQuery(TObject*, bool& CanClose) {
    if (LinkState == 3) {
        const int answer = Application->MessageBox(
            Text(75) + " " + PeerName + "?", Text(45) + " " + PeerName, MB_YESNO | MB_TASKMODAL);
        if (answer != IDYES) {
            CanClose = false;
            return;
        }
    }
    Button2Click(this);
}

void TTChatForm::FormDestroy(TObject*) {
    ClientSocket1->Active = false;
    ServerSocket1->Active = false;
}

void TTChatForm::SetChatEnabled(bool enabled) {
    Edit1->Enabled = enabled;
    Button1->Enabled = enabled;
}

void TTChatForm::Log(const AnsiString& line) {
    TStrings* lines = Memo1->Lines;
    lines->Add(line);
    while (lines->Count > MaxLogLines || Memo1->GetTextLen() > MaxLogLength)
        lines->Delete(0);
}

AnsiString TTChatForm::Text(int number) const {
    return TMyLanguages::GetSingleton().GetString(number);
}
