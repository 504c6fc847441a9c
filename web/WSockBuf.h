#pragma once
// One chunk of a socket's send queue: a block of bytes written at the back
// and taken from the front.

#include <cstdint>
#include <memory>

#include "platform/vcl/Classes.h"

class TBuffer : public TObject {
public:
    explicit TBuffer(int32_t BufSize);
    TBuffer(const TBuffer&) = delete;
    TBuffer& operator=(const TBuffer&) = delete;

    // A size of 0 or less means 1514. A new size gets a new block; the
    // bytes written so far move into it when unread bytes wait, and it is
    // never made smaller than they are.
    void SetBufSize(int32_t newSize);
    // Copies what fits behind the written bytes; returns the count (0 when
    // full).
    int Write(const void* Data, int Len);
    // Copies from the unread bytes; returns the count. When all are taken,
    // both counts return to 0.
    int Read(void* Data, int Len);
    // The unread bytes and their count, or nullptr and 0.
    const char* Peek(int& Len) const;
    // Drops up to Len unread bytes, with the same return to 0.
    int Remove(int Len);

    int32_t BufSize() const { return FBufSize; }
    int32_t WrCount() const { return FWrCount; }
    int32_t RdCount() const { return FRdCount; }

private:
    void TakeAll();

    std::unique_ptr<char[]> Buf;
    int32_t FBufSize = 0;
    int32_t FWrCount = 0;
    int32_t FRdCount = 0;
};
