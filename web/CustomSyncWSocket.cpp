#include "web/CustomSyncWSocket.h"

#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/MessageLoop.h"
#include "platform/win32/Clock.h"

TCustomSyncWSocket::TCustomSyncWSocket(TComponent* AOwner) : TCustomLineWSocket(AOwner) {}

int TCustomSyncWSocket::Synchronize(const std::function<void()>& Proc, bool& DoneFlag) {
    DoneFlag = false;
    if (Proc)
        Proc();
    return WaitUntilReady(DoneFlag);
}

int TCustomSyncWSocket::WaitUntilReady(bool& DoneFlag) {
    const TNestedLoop Nested;
    const DWORD Start = GetTickCount();
    while (!DoneFlag) {
        const bool TimedOut = Timeout > 0 && GetTickCount() - Start >= static_cast<DWORD>(Timeout);
        if (TimedOut || Application->Terminated || Terminated())
            return WSA_WSOCKET_TIMEOUT;
        WaitForMessage();
    }
    return 0;
}

int TCustomSyncWSocket::ReadLine(int ATimeout, AnsiString& Line) {
    Line.clear();
    if (FState != wsConnected) {
        RaiseException("ReadLine failed: not connected");
        return WSA_WSOCKET_TIMEOUT;
    }
    bool Done = false;
    const TDataAvailable OldDataAvailable = OnDataAvailable;
    const TSessionClosed OldSessionClosed = OnSessionClosed;
    const bool OldLineMode = LineMode;
    OnDataAvailable = [this, &Line, &Done](TObject*, WORD) {
        if (Done)
            return;
        std::vector<char> Buffer(static_cast<size_t>(LineLength) + 1);
        const int Len = Receive(Buffer.data(), static_cast<int>(Buffer.size()));
        if (Len <= 0)
            return;
        Line.assign(Buffer.data(), static_cast<size_t>(Len));
        if (Line.size() >= LineEnd.size() && Line.ends_with(LineEnd))
            Line.resize(Line.size() - LineEnd.size());
        Done = true;
    };
    OnSessionClosed = [&Done, OldSessionClosed](TObject* Sender, WORD Error) {
        Done = true;
        if (OldSessionClosed)
            OldSessionClosed(Sender, Error);
    };
    LineMode = true;
    PostMessageA(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
    Timeout = ATimeout;
    const int Result = WaitUntilReady(Done);
    OnDataAvailable = OldDataAvailable;
    OnSessionClosed = OldSessionClosed;
    LineMode = OldLineMode;
    return Result;
}
