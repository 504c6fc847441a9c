#pragma once
// The Blowfish cipher component: the block cipher in four modes, string
// padding, whole buffers, streams and files, and a radix-64 text form with
// an alphabet of its own ("+-0-9A-Za-z").

#include <memory>

#include "myunits/TBlowCore.h"
#include "platform/vcl/Classes.h"

class EKeyError : public Exception {
public:
    using Exception::Exception;
};
class EFileError : public Exception {
public:
    using Exception::Exception;
};
class EInputError : public Exception {
public:
    using Exception::Exception;
};

enum TCipherMode { ECB = 0, CBC = 1, CFB = 2, OFB = 3 };
enum TStringMode { smEncode = 0, smNormal = 1 };

class TBlowfish : public TComponent {
public:
    // Room for one 4096-byte chunk plus its padding block.
    static constexpr int BufferSize = 4096 + 8;

    explicit TBlowfish(TComponent* AOwner);
    ~TBlowfish() override;

    void InitialiseString(const AnsiString& key);
    void InitialiseByte(const BYTE* key, int length);
    void LoadIVString(const AnsiString& iv);
    void LoadIVByte(const BYTE* iv, int length);

    void EncString(const AnsiString& input, AnsiString& output);
    void DecString(const AnsiString& input, AnsiString& output);
    AnsiString EncodeString(const AnsiString& input) const;
    AnsiString DecodeString(const AnsiString& input) const;

    void EncBlock(const BYTE* input, BYTE* output);
    void DecBlock(const BYTE* input, BYTE* output);
    // The first `length` bytes of Buffer, in place; length is a multiple of
    // 8 and at most BufferSize.
    void EncBuffer(int length);
    void DecBuffer(int length);
    void EncStream(TStream& source, TStream& destination);
    void DecStream(TStream& source, TStream& destination);
    void EncFile(const AnsiString& sourceName, const AnsiString& destinationName);
    void DecFile(const AnsiString& sourceName, const AnsiString& destinationName);

    void CBCMACString(AnsiString& output) const;
    void Burn();
    AnsiString GetVersion() const { return "Blowfish 1.15"; }

    TCipherMode CipherMode = ECB;
    TStringMode StringMode = smEncode;
    BYTE Buffer[BufferSize] = {};

private:
    void CheckKey() const;
    void CheckBufferLength(int length) const;
    void EncipherOne(const BYTE* input, BYTE* output);
    void DecipherOne(const BYTE* input, BYTE* output);
    void ECBEncipher(const BYTE* input, BYTE* output);
    int PadBuffer(int length);
    int PaddingToDrop(int length) const;

    std::unique_ptr<TBlowCore> core_;
    bool keySet_ = false;
    bool ivSet_ = false;
    BYTE iv_[8] = {};
    BYTE temp_[8] = {};
};
