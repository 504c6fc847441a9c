#include "web/CustomLineWSocket.h"

#include <algorithm>
#include <cstring>

#include "web/WSocketFunctions.h"

namespace {

// What is read when the socket does not tell how much waits.
constexpr int DefaultReadSize = 255;

bool IsBackspace(char c) {
    return c == '\b' || c == 127;
}

} // namespace

TCustomLineWSocket::TCustomLineWSocket(TComponent* AOwner)
    : TCustomSocksWSocket(AOwner),
      LineMode([this] { return FLineMode; }, [this](const bool& v) { SetLineMode(v); }),
      LineLength([this] { return FLineLength; }) {}

void TCustomLineWSocket::WndProc(TMessage& MsgRec) {
    if (MsgRec.Msg != WM_TRIGGER_DATA_AVAILABLE) {
        TCustomSocksWSocket::WndProc(MsgRec);
        return;
    }
    try {
        WMTriggerDataAvailable(MsgRec);
    } catch (const std::exception& E) {
        HandleBackGroundException(E);
    }
}

void TCustomLineWSocket::WMTriggerDataAvailable(TMessage&) {
    if (FRcvdCnt > 0 || (FHSocket != INVALID_SOCKET && TCustomWSocket::GetRcvdCount() > 0))
        TriggerDataAvailable(0);
}

void TCustomLineWSocket::SetLineMode(bool newValue) {
    if (FLineMode == newValue)
        return;
    FLineMode = newValue;
    FLineLength = 0;
    // What waits already is delivered anew in the other mode.
    if (FRcvdCnt > 0)
        PostMessageA(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

bool TCustomLineWSocket::TriggerDataAvailable(WORD Error) {
    if (SocksNegotiating() || !FLineMode || LineEnd.empty())
        return TCustomSocksWSocket::TriggerDataAvailable(Error);
    const int Before = FRcvdCnt;
    ReceiveIntoLineBuffer();
    // A line that was offered and left unread waits for new data.
    if (FRcvdCnt == Before && FLineLength > 0)
        return true;
    OfferLines(Error);
    return true;
}

void TCustomLineWSocket::ReceiveIntoLineBuffer() {
    if (FHSocket == INVALID_SOCKET)
        return;
    const int Room = LineLimit + 1 - FRcvdCnt;
    if (Room <= 0)
        return;
    int Cnt = TCustomWSocket::GetRcvdCount();
    if (Cnt <= 0)
        Cnt = DefaultReadSize;
    Cnt = std::min(Cnt, Room);
    if (FRcvdPtr.size() < static_cast<size_t>(FRcvdCnt + Cnt))
        FRcvdPtr.resize(static_cast<size_t>(FRcvdCnt + Cnt));
    int Len = TCustomSocksWSocket::DoRecv(FRcvdPtr.data() + FRcvdCnt, Cnt, 0);
    if (Len <= 0) {
        if (Len < 0)
            FLastError = WSocket_WSAGetLastError();
        return;
    }
    // Edited data may shrink, even below what was buffered before.
    if (LineEdit)
        EditLine(Len);
    else if (LineEcho)
        Send(FRcvdPtr.data() + FRcvdCnt, Len);
    FRcvdCnt += Len;
}

void TCustomLineWSocket::OfferLines(WORD Error) {
    while (FRcvdCnt > 0 && FHSocket != INVALID_SOCKET) {
        if (FLineLength == 0 && !FindLine())
            return;
        const int Before = FLineLength;
        if (!TCustomWSocket::TriggerDataAvailable(Error))
            RemoveFront(FLineLength);
        else if (FLineLength == Before)
            return; // not read: offered again with the next data
    }
}

bool TCustomLineWSocket::FindLine() {
    const auto begin = FRcvdPtr.begin();
    const auto end = begin + FRcvdCnt;
    const auto found = std::search(begin, end, LineEnd.begin(), LineEnd.end());
    if (found != end) {
        FLineLength = static_cast<int>(found - begin) + static_cast<int>(LineEnd.size());
        return true;
    }
    if (FRcvdCnt <= LineLimit)
        return false;
    bool ClearData = false;
    TriggerLineLimitExceeded(FRcvdCnt, ClearData);
    if (ClearData) {
        FRcvdCnt = 0;
        return false;
    }
    FLineLength = FRcvdCnt;
    return true;
}

void TCustomLineWSocket::RemoveFront(int Count) {
    std::memmove(FRcvdPtr.data(), FRcvdPtr.data() + Count, static_cast<size_t>(FRcvdCnt - Count));
    FRcvdCnt -= Count;
    FLineLength = std::max(FLineLength - Count, 0);
}

int TCustomLineWSocket::TakeBuffered(void* Buffer, int Available, int BufferSize, int Flags) {
    const int Count = std::min(Available, BufferSize);
    if (Count <= 0)
        return 0;
    std::memcpy(Buffer, FRcvdPtr.data(), static_cast<size_t>(Count));
    if (Flags & MSG_PEEK)
        return Count;
    const bool WasFull = FRcvdCnt > LineLimit;
    RemoveFront(Count);
    // Reading stopped while the buffer was full; room again means more.
    if (WasFull && FRcvdCnt <= LineLimit)
        PostMessageA(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
    return Count;
}

int TCustomLineWSocket::DoRecv(void* Buffer, int BufferSize, int Flags) {
    if (SocksNegotiating())
        return TCustomSocksWSocket::DoRecv(Buffer, BufferSize, Flags);
    if (FLineMode && !LineEnd.empty()) {
        if (FLineLength > 0)
            return TakeBuffered(Buffer, FLineLength, BufferSize, Flags);
        WSocket_WSASetLastError(WSAEWOULDBLOCK);
        return SOCKET_ERROR;
    }
    if (FRcvdCnt > 0)
        return TakeBuffered(Buffer, FRcvdCnt, BufferSize, Flags);
    return TCustomSocksWSocket::DoRecv(Buffer, BufferSize, Flags);
}

int TCustomLineWSocket::GetRcvdCount() {
    if (FLineMode && !LineEnd.empty() && FLineLength > 0)
        return FLineLength;
    if (!FLineMode && FRcvdCnt > 0)
        return FRcvdCnt;
    return TCustomSocksWSocket::GetRcvdCount();
}

void TCustomLineWSocket::TriggerSessionClosed(WORD Error) {
    if (FLineMode && FRcvdCnt > 0) {
        // The last bytes form a line without its end.
        OfferLines(0);
        if (FRcvdCnt > 0) {
            FLineLength = FRcvdCnt;
            TCustomWSocket::TriggerDataAvailable(0);
        }
    }
    FRcvdPtr = std::vector<char>();
    FRcvdCnt = 0;
    FLineLength = 0;
    TCustomSocksWSocket::TriggerSessionClosed(Error);
}

void TCustomLineWSocket::EditLine(int& Len) {
    char* Buf = FRcvdPtr.data();
    // Complete lines are not edited: only bytes after the last line end.
    const auto Last = std::find_end(Buf, Buf + FRcvdCnt, LineEnd.begin(), LineEnd.end());
    const int Floor = Last == Buf + FRcvdCnt
                          ? 0
                          : static_cast<int>(Last - Buf) + static_cast<int>(LineEnd.size());
    int Write = FRcvdCnt;
    AnsiString Echo;
    for (int Read = FRcvdCnt; Read < FRcvdCnt + Len; ++Read) {
        const char c = Buf[Read];
        if (!IsBackspace(c)) {
            Buf[Write++] = c;
            Echo += c;
        } else if (Write > Floor) {
            --Write;
            Echo += "\b \b";
        }
    }
    Len = Write - FRcvdCnt;
    if (LineEcho && !Echo.empty())
        SendStr(Echo);
}

void TCustomLineWSocket::TriggerLineLimitExceeded(int Cnt, bool& ClearData) {
    if (OnLineTooLong)
        OnLineTooLong(this, Cnt, ClearData);
}
