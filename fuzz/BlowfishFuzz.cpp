// The cipher: the first byte chooses the mode and the string form, the
// second the key's length; then the key and the text. Any text deciphers
// without harm; a text enciphered deciphers to itself, as a string and as
// a stream; the program's cipher object deciphers anything.

#include "fuzz/support/Check.h"
#include "myunits/Blowfish.h"
#include "myunits/TGlobalBlowFish.h"

namespace {

struct Input {
    TCipherMode mode;
    TStringMode stringMode;
    AnsiString key;
    AnsiString text;
};

Input Parse(const std::string& bytes) {
    const auto byte = [&bytes](size_t at) { return at < bytes.size() ? uint8_t(bytes[at]) : 0; };
    Input input{
        static_cast<TCipherMode>(byte(0) % 4), static_cast<TStringMode>(byte(0) / 4 % 2), {}, {}};
    const size_t keyLength = byte(1) % 57;
    input.key = bytes.substr(std::min<size_t>(2, bytes.size()), keyLength);
    input.text = bytes.size() > 2 + keyLength ? bytes.substr(2 + keyLength) : AnsiString();
    return input;
}

void Configure(TBlowfish& cipher, const Input& input) {
    cipher.CipherMode = input.mode;
    cipher.StringMode = input.stringMode;
    cipher.LoadIVString("QMBRTKZA");
    cipher.InitialiseString(input.key);
}

void StringRoundTrip(TBlowfish& cipher, const Input& input) {
    AnsiString ignored;
    try {
        cipher.DecString(input.text, ignored);
    } catch (const Exception&) {
    }
    Configure(cipher, input);
    AnsiString enciphered;
    cipher.EncString(input.text, enciphered);
    Configure(cipher, input);
    AnsiString deciphered;
    cipher.DecString(enciphered, deciphered);
    Check(deciphered == input.text, "string round trip");
}

void StreamRoundTrip(TBlowfish& cipher, const Input& input) {
    TMemoryStream plain;
    plain.WriteBuffer(input.text.data(), static_cast<int>(input.text.size()));
    plain.Position = 0;
    TMemoryStream enciphered;
    Configure(cipher, input);
    cipher.EncStream(plain, enciphered);
    enciphered.Position = 0;
    TMemoryStream deciphered;
    Configure(cipher, input);
    cipher.DecStream(enciphered, deciphered);
    const AnsiString back(reinterpret_cast<const char*>(deciphered.Memory()),
                          static_cast<size_t>(deciphered.Size));
    Check(back == input.text, "stream round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static TGlobalBlowFish* global = new TGlobalBlowFish();
    const std::string bytes = InputText(data, size);
    global->Decrypt(bytes, "Lp7Xc2NvR9qTb4WmZs8KdH3yJf6GaE1uPo5iQw0RkM7nBt2VxC4");
    const Input input = Parse(bytes);
    TBlowfish cipher(nullptr);
    try {
        Configure(cipher, input);
    } catch (const EKeyError&) {
        return 0; // a key of a length the cipher refuses
    }
    StringRoundTrip(cipher, input);
    StreamRoundTrip(cipher, input);
    return 0;
}
