#pragma once
// The online forms on their own, as the running program shows them: the
// cipher and the language texts of the build's language file (English or
// German by the locale the test sets), dialogs and message boxes answered
// through the test hook, and a browser that only writes down the address
// it was asked to open.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vcl/TestHook.h"

class TGlobalBlowFish;
class TIData;
class TMyLanguages;

class OfferFixture : public testing::Test {
protected:
    OfferFixture();
    ~OfferFixture() override;

    // The services of the running program (cipher, language texts, usage
    // data), in the language of `locale`.
    void StartServices(const char* locale);
    AnsiString Text(int number);

    // A value of a TSettings store under the game's key ("news", "rec").
    int StoredFlag(const AnsiString& subkey, int index);
    void StoreFlags(const AnsiString& subkey, int first, int second);

    // The address the browser was asked to open; "" when none came.
    std::string OpenedAddress();

    TestHook hook;

private:
    std::string folder_;
    std::unique_ptr<TGlobalBlowFish> cipher_;
    std::unique_ptr<TMyLanguages> languages_;
    std::unique_ptr<TIData> usage_;
};

// Processes the event loop until `done`, at most `seconds`.
bool PumpUntil(const std::function<bool()>& done, double seconds = 20);
