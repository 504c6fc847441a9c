#pragma once
// The Blowfish block cipher itself: the key-dependent P-array and S-boxes
// and one 8-byte block register that is enciphered or deciphered in place.

#include "platform/win32/WinTypes.h"

class TBlowCore {
public:
    // Fills the P-array and S-boxes from the digits of pi and runs the key
    // schedule over the key bytes (1 to 56 of them, checked by the caller).
    void Initialise(const BYTE* key, int length);
    // One block through the 16 rounds: Block in, Block out.
    void EncipherBlock();
    void DecipherBlock();
    // Zeroes the tables and the block register.
    void Burn();

    // Bytes 0-3 are the left half, 4-7 the right, each a big-endian word.
    BYTE Block[8] = {};

private:
    DWORD F(DWORD x) const;
    void Encipher();
    void Decipher();
    void SplitBlock();
    void JoinBlock();

    DWORD P[18] = {};
    DWORD S[4][256] = {};
    DWORD Left = 0;
    DWORD Right = 0;
};
