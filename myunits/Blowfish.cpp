#include "myunits/Blowfish.h"

#include <algorithm>
#include <cstring>

namespace {

const char Radix64[] = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int ChunkSize = 4096;

int Radix64Value(char c) {
    const char* found = std::strchr(Radix64, c);
    if (c == '\0' || !found)
        throw EConvertError("Blowfish: Error converting from Base64 - invalid character");
    return static_cast<int>(found - Radix64);
}

void XorBlock(const BYTE* a, const BYTE* b, BYTE* out) {
    for (int i = 0; i < 8; ++i)
        out[i] = a[i] ^ b[i];
}

BYTE* Bytes(AnsiString& text) {
    return reinterpret_cast<BYTE*>(text.data());
}

} // namespace

TBlowfish::TBlowfish(TComponent* AOwner)
    : TComponent(AOwner), core_(std::make_unique<TBlowCore>()) {}

TBlowfish::~TBlowfish() = default;

void TBlowfish::InitialiseString(const AnsiString& key) {
    InitialiseByte(reinterpret_cast<const BYTE*>(key.data()), static_cast<int>(key.size()));
}

void TBlowfish::InitialiseByte(const BYTE* key, int length) {
    if (length < 1 || length > 56)
        throw EKeyError("Blowfish: Key must be between 1 and 56 bytes");
    std::memset(temp_, 0, sizeof temp_);
    core_->Initialise(key, length);
    keySet_ = true;
}

void TBlowfish::LoadIVString(const AnsiString& iv) {
    LoadIVByte(reinterpret_cast<const BYTE*>(iv.data()), static_cast<int>(iv.size()));
}

void TBlowfish::LoadIVByte(const BYTE* iv, int length) {
    std::memset(iv_, 0, sizeof iv_);
    for (int i = 0; i < length; ++i)
        iv_[i % 8] ^= iv[i];
    ivSet_ = true;
}

void TBlowfish::CheckKey() const {
    if (!keySet_)
        throw EKeyError("Blowfish: Key not set");
    if (CipherMode != ECB && !ivSet_)
        throw EKeyError("Blowfish: IV not set");
}

void TBlowfish::CheckBufferLength(int length) const {
    Assert(length >= 0 && length <= BufferSize && length % 8 == 0,
           "invalid buffer length in TBlowfish::EncBuffer/DecBuffer");
}

void TBlowfish::ECBEncipher(const BYTE* input, BYTE* output) {
    std::memcpy(core_->Block, input, 8);
    core_->EncipherBlock();
    std::memcpy(output, core_->Block, 8);
}

// The chain register is the IV; input and output may be the same block.
void TBlowfish::EncipherOne(const BYTE* input, BYTE* output) {
    switch (CipherMode) {
    case ECB:
        ECBEncipher(input, output);
        break;
    case CBC:
        XorBlock(input, iv_, temp_);
        ECBEncipher(temp_, output);
        std::memcpy(iv_, output, 8);
        break;
    case CFB:
        ECBEncipher(iv_, temp_);
        XorBlock(input, temp_, output);
        std::memcpy(iv_, output, 8);
        break;
    case OFB:
        ECBEncipher(iv_, iv_);
        XorBlock(input, iv_, output);
        break;
    }
}

void TBlowfish::DecipherOne(const BYTE* input, BYTE* output) {
    BYTE saved[8];
    std::memcpy(saved, input, 8);
    switch (CipherMode) {
    case ECB:
        std::memcpy(core_->Block, input, 8);
        core_->DecipherBlock();
        std::memcpy(output, core_->Block, 8);
        break;
    case CBC:
        std::memcpy(core_->Block, input, 8);
        core_->DecipherBlock();
        XorBlock(core_->Block, iv_, output);
        std::memcpy(iv_, saved, 8);
        break;
    case CFB:
        ECBEncipher(iv_, temp_);
        XorBlock(saved, temp_, output);
        std::memcpy(iv_, saved, 8);
        break;
    case OFB:
        ECBEncipher(iv_, iv_);
        XorBlock(saved, iv_, output);
        break;
    }
}

void TBlowfish::EncBlock(const BYTE* input, BYTE* output) {
    CheckKey();
    EncipherOne(input, output);
}

void TBlowfish::DecBlock(const BYTE* input, BYTE* output) {
    CheckKey();
    DecipherOne(input, output);
}

void TBlowfish::EncBuffer(int length) {
    CheckKey();
    CheckBufferLength(length);
    for (int i = 0; i < length; i += 8)
        EncipherOne(Buffer + i, Buffer + i);
}

void TBlowfish::DecBuffer(int length) {
    CheckKey();
    CheckBufferLength(length);
    for (int i = 0; i < length; i += 8)
        DecipherOne(Buffer + i, Buffer + i);
}

AnsiString TBlowfish::EncodeString(const AnsiString& input) const {
    AnsiString output;
    for (size_t i = 0; i < input.size(); i += 3) {
        const size_t group = std::min<size_t>(3, input.size() - i);
        DWORD bits = 0;
        for (size_t j = 0; j < 3; ++j)
            bits = bits << 8 | (j < group ? static_cast<BYTE>(input[i + j]) : 0);
        for (size_t j = 0; j <= group; ++j)
            output += Radix64[(bits >> (18 - 6 * j)) & 63];
    }
    return output;
}

AnsiString TBlowfish::DecodeString(const AnsiString& input) const {
    AnsiString output;
    for (size_t i = 0; i < input.size(); i += 4) {
        const size_t group = std::min<size_t>(4, input.size() - i);
        DWORD bits = 0;
        for (size_t j = 0; j < 4; ++j)
            bits = bits << 6 | (j < group ? Radix64Value(input[i + j]) : 0);
        // Two characters hold one byte, three two, four three; a single
        // left-over character holds none.
        for (size_t j = 0; j + 1 < group; ++j)
            output += static_cast<char>((bits >> (16 - 8 * j)) & 0xFF);
    }
    return output;
}

void TBlowfish::EncString(const AnsiString& input, AnsiString& output) {
    CheckKey();
    output = "";
    if (input.empty())
        return;
    const int padding = 8 - static_cast<int>(input.size() % 8);
    AnsiString data = input + AnsiString(padding, static_cast<char>(padding));
    for (size_t i = 0; i < data.size(); i += 8)
        EncipherOne(Bytes(data) + i, Bytes(data) + i);
    output = StringMode == smEncode ? EncodeString(data) : data;
}

void TBlowfish::DecString(const AnsiString& input, AnsiString& output) {
    CheckKey();
    output = "";
    if (input.empty())
        return;
    AnsiString data = StringMode == smEncode ? DecodeString(input) : input;
    if (data.size() < 8)
        throw EInputError("Blowfish: Input not valid - too short");
    // Bytes past the last whole block belong to no block: they are dropped.
    data.resize(data.size() / 8 * 8);
    for (size_t i = 0; i < data.size(); i += 8)
        DecipherOne(Bytes(data) + i, Bytes(data) + i);
    const BYTE padding = static_cast<BYTE>(data.back());
    data.resize(data.size() - (padding >= 1 && padding <= 8 ? padding : 1));
    output = data;
}

// Pads the first `length` bytes of Buffer to whole blocks; returns the new
// length.
int TBlowfish::PadBuffer(int length) {
    const int padding = 8 - length % 8;
    std::memset(Buffer + length, padding, static_cast<size_t>(padding));
    return length + padding;
}

// The padding count in the last byte of a deciphered tail, never more than
// the tail holds.
int TBlowfish::PaddingToDrop(int length) const {
    return length == 0 ? 0 : std::min<int>(Buffer[length - 1], length);
}

void TBlowfish::EncStream(TStream& source, TStream& destination) {
    CheckKey();
    source.Position = 0;
    destination.Position = 0;
    int64_t remaining = source.Size;
    if (remaining == 0)
        return;
    for (; remaining >= ChunkSize; remaining -= ChunkSize) {
        source.ReadBuffer(Buffer, ChunkSize);
        EncBuffer(ChunkSize);
        destination.WriteBuffer(Buffer, ChunkSize);
    }
    const int rest = static_cast<int>(remaining);
    source.ReadBuffer(Buffer, rest);
    const int length = PadBuffer(rest);
    EncBuffer(length);
    destination.WriteBuffer(Buffer, length);
}

void TBlowfish::DecStream(TStream& source, TStream& destination) {
    CheckKey();
    source.Position = 0;
    destination.Position = 0;
    for (int64_t remaining = source.Size; remaining > 0;) {
        const int chunk = static_cast<int>(std::min<int64_t>(ChunkSize, remaining));
        source.ReadBuffer(Buffer, chunk);
        remaining -= chunk;
        const int whole = chunk / 8 * 8;
        DecBuffer(whole);
        destination.WriteBuffer(Buffer, remaining > 0 ? whole : whole - PaddingToDrop(whole));
    }
}

namespace {

std::unique_ptr<TFileStream> OpenInputFile(const AnsiString& name) {
    try {
        return std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyWrite);
    } catch (const EStreamError&) {
        throw EFileError("Blowfish: Input file not found");
    }
}

std::unique_ptr<TFileStream> CreateOutputFile(const AnsiString& name) {
    try {
        return std::make_unique<TFileStream>(name, fmCreate);
    } catch (const EStreamError&) {
        throw EFileError("Blowfish: Could not open output file");
    }
}

void WriteOutput(TFileStream& destination, const BYTE* data, int length) {
    if (destination.Write(data, length) != length)
        throw EFileError("Blowfish: Error writing output file");
}

} // namespace

void TBlowfish::EncFile(const AnsiString& sourceName, const AnsiString& destinationName) {
    CheckKey();
    const auto source = OpenInputFile(sourceName);
    const auto destination = CreateOutputFile(destinationName);
    const int64_t size = source->Size;
    for (bool atEnd = false; !atEnd;) {
        int length = source->Read(Buffer, ChunkSize);
        atEnd = length < ChunkSize || source->Position >= size;
        if (atEnd)
            length = PadBuffer(length);
        EncBuffer(length);
        WriteOutput(*destination, Buffer, length);
    }
}

void TBlowfish::DecFile(const AnsiString& sourceName, const AnsiString& destinationName) {
    CheckKey();
    const auto source = OpenInputFile(sourceName);
    const auto destination = CreateOutputFile(destinationName);
    const int64_t size = source->Size;
    for (bool atEnd = false; !atEnd;) {
        const int length = source->Read(Buffer, ChunkSize);
        atEnd = length < ChunkSize || source->Position >= size;
        const int whole = length / 8 * 8;
        DecBuffer(whole);
        WriteOutput(*destination, Buffer, atEnd ? whole - PaddingToDrop(whole) : whole);
    }
}

void TBlowfish::CBCMACString(AnsiString& output) const {
    if (CipherMode != CBC)
        throw EKeyError("Blowfish: Mode must be CBC for CBCMAC");
    static const char Hex[] = "0123456789ABCDEF";
    output = "";
    for (BYTE b : iv_) {
        output += Hex[b >> 4];
        output += Hex[b & 15];
    }
}

void TBlowfish::Burn() {
    core_->Burn();
    keySet_ = false;
    ivSet_ = false;
}
