#include "myunits/TGlobalBlowFish.h"

namespace {
// Loaded as the IV on every call; in ECB mode it does not change the result.
const AnsiString IVText = "QMBRTKZA";
} // namespace

TGlobalBlowFish::TGlobalBlowFish() : blowfish_(std::make_unique<TBlowfish>(nullptr)) {
    blowfish_->CipherMode = ECB;
    blowfish_->StringMode = smEncode;
}

TGlobalBlowFish::~TGlobalBlowFish() = default;

AnsiString TGlobalBlowFish::Encrypt(const AnsiString& plain, const AnsiString& key) {
    AnsiString result;
    blowfish_->LoadIVString(IVText);
    blowfish_->InitialiseString(key);
    blowfish_->EncString(plain, result);
    blowfish_->Burn();
    return result;
}

AnsiString TGlobalBlowFish::Decrypt(const AnsiString& cipher, const AnsiString& key) {
    AnsiString result;
    try {
        blowfish_->LoadIVString(IVText);
        blowfish_->InitialiseString(key);
        blowfish_->DecString(cipher, result);
    } catch (...) {
        result = "";
    }
    // Burnt on failure too, so no key schedule outlives the call.
    blowfish_->Burn();
    return result;
}
