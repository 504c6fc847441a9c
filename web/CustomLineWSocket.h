#pragma once
// The line layer: with LineMode on, received data is gathered until a
// LineEnd and offered through OnDataAvailable one line at a time (the line
// end included); Receive then reads from the line. With LineMode off data
// passes straight through.
//
// The gathered data is bounded by LineLimit: beyond it without a line end,
// OnLineTooLong may clear it, and otherwise it is offered as a line without
// its end. While that much waits unread, nothing more is taken from the
// socket, so the peer is held back instead of the memory growing.

#include <vector>

#include "web/CustomSocksWSocket.h"

class TCustomLineWSocket : public TCustomSocksWSocket {
public:
    explicit TCustomLineWSocket(TComponent* AOwner);

    void WndProc(TMessage& MsgRec) override;

    Property<bool> LineMode;
    AnsiString LineEnd = "\r\n";
    int LineLimit = 65536;
    bool LineEcho = false;
    bool LineEdit = false;
    // The bytes of the line ready for reading.
    ReadOnlyProperty<int> LineLength;
    TLineLimitEvent OnLineTooLong;

protected:
    virtual void TriggerLineLimitExceeded(int Cnt, bool& ClearData);
    virtual void SetLineMode(bool newValue);
    // Applies backspaces among the Len bytes just received (at the end of
    // the buffer), echoing when LineEcho is on. A backspace also takes a
    // byte of the unfinished line received before; Len becomes the change
    // in buffered bytes (negative when more went than came).
    virtual void EditLine(int& Len);

    bool TriggerDataAvailable(WORD Error) override;
    int DoRecv(void* Buffer, int BufferSize, int Flags) override;
    int GetRcvdCount() override;
    void TriggerSessionClosed(WORD Error) override;

private:
    void WMTriggerDataAvailable(TMessage& msg);
    void ReceiveIntoLineBuffer();
    void OfferLines(WORD Error);
    bool FindLine();
    void RemoveFront(int Count);
    int TakeBuffered(void* Buffer, int Available, int BufferSize, int Flags);

    bool FLineMode = false;
    std::vector<char> FRcvdPtr;
    int FRcvdCnt = 0;
    int FLineLength = 0;
};
