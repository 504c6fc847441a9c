#include "web/WSockBuf.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t DefaultBufSize = 1514;

} // namespace

TBuffer::TBuffer(int32_t BufSize) {
    FWrCount = 0;
    FRdCount = 0;
    SetBufSize(BufSize);
}

void TBuffer::SetBufSize(int32_t newSize) {
    if (newSize <= 0)
        newSize = DefaultBufSize;
    // The block never shrinks below the bytes written into it.
    const bool Unread = FWrCount > FRdCount;
    if (Unread)
        newSize = std::max(newSize, FWrCount);
    if (newSize == FBufSize)
        return;
    auto newBuf = std::make_unique<char[]>(static_cast<size_t>(newSize));
    if (Unread)
        std::memcpy(newBuf.get(), Buf.get(), static_cast<size_t>(FWrCount));
    Buf = std::move(newBuf);
    FBufSize = newSize;
}

int TBuffer::Write(const void* Data, int Len) {
    const int Remaining = FBufSize - FWrCount;
    if (Remaining <= 0 || Len <= 0 || !Data)
        return 0;
    const int Copy = std::min(Len, Remaining);
    std::memcpy(Buf.get() + FWrCount, Data, static_cast<size_t>(Copy));
    FWrCount += Copy;
    return Copy;
}

int TBuffer::Read(void* Data, int Len) {
    if (Len <= 0 || !Data || FRdCount >= FWrCount)
        return 0;
    const int Copy = std::min(Len, FWrCount - FRdCount);
    std::memcpy(Data, Buf.get() + FRdCount, static_cast<size_t>(Copy));
    FRdCount += Copy;
    TakeAll();
    return Copy;
}

const char* TBuffer::Peek(int& Len) const {
    Len = FWrCount - FRdCount;
    if (Len <= 0) {
        Len = 0;
        return nullptr;
    }
    return Buf.get() + FRdCount;
}

int TBuffer::Remove(int Len) {
    if (Len <= 0 || FRdCount >= FWrCount)
        return 0;
    const int Count = std::min(Len, FWrCount - FRdCount);
    FRdCount += Count;
    TakeAll();
    return Count;
}

void TBuffer::TakeAll() {
    if (FRdCount == FWrCount) {
        FRdCount = 0;
        FWrCount = 0;
    }
}
