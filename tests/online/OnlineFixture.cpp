#include "tests/online/OnlineFixture.h"

#include <memory>

#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "platform/win32/WinReg.h"
#include "ui/TForm1.h"

namespace {

const char* const UsageKey = "software\\Hemlow\\rq8\\idata";

// The store enciphers through the shared cipher, which the running program
// owns.
std::unique_ptr<TSettings> OpenUsageStore(bool readOnly, std::unique_ptr<TGlobalBlowFish>& cipher) {
    if (!Form1)
        cipher = std::make_unique<TGlobalBlowFish>();
    TStringList defaults;
    for (const char* value : {"0", "0", "0"})
        defaults.Add(value);
    return std::make_unique<TSettings>(UsageKey, &defaults, HKEY_CURRENT_USER, readOnly);
}

} // namespace

std::vector<AnsiString> OnlineFixture::UsageStore() {
    std::unique_ptr<TGlobalBlowFish> cipher;
    const auto store = OpenUsageStore(true, cipher);
    return {store->Get(0), store->Get(1), store->Get(2)};
}

void OnlineFixture::StoreUsage(const std::vector<AnsiString>& values) {
    std::unique_ptr<TGlobalBlowFish> cipher;
    const auto store = OpenUsageStore(false, cipher);
    for (size_t index = 0; index < values.size(); ++index)
        store->Set(values[index], static_cast<int>(index));
}

void OnlineFixture::StartQuietProgram() {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
}

void OnlineFixture::StartMatch(std::map<int, AnsiString> settings) {
    settings.emplace(GameSetting::MusicOn, "0");
    StoreSettings(settings);
    StartProgram();
    ExpectWelcome();
    ExpectTwoPeopleSelection(3);
    ASSERT_TRUE(WaitForHuman());
}
