#pragma once
// The online offers' forms, shown by the running program with nothing
// else going on: English or German texts by the locale the test chooses,
// the offers' answers in the registry, and a browser that only notes the
// address it was asked to open.

#include "tests/support/ProgramFixture.h"

class OfferFixture : public ProgramFixture {
protected:
    OfferFixture();

    // The program started, idle, with the texts of `locale`.
    void StartIn(const char* locale);

    // A value of a TSettings store under the game's key ("news", "rec").
    int StoredFlag(const AnsiString& subkey, int index);
    void StoreFlags(const AnsiString& subkey, int first, int second);
};
