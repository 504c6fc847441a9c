#pragma once
// The one cipher object of the program: enciphers and deciphers texts under
// a caller's key, keying the component afresh for every call.

#include <memory>

#include "myunits/Blowfish.h"
#include "myunits/singleton.h"

class TGlobalBlowFish : public Singleton<TGlobalBlowFish> {
public:
    TGlobalBlowFish();
    ~TGlobalBlowFish();

    // Radix-64 text; a key of bad length raises EKeyError.
    AnsiString Encrypt(const AnsiString& plain, const AnsiString& key);
    // The plain text, or "" when the text does not decipher.
    AnsiString Decrypt(const AnsiString& cipher, const AnsiString& key);

private:
    std::unique_ptr<TBlowfish> blowfish_;
};
