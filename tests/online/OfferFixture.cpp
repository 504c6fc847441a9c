#include "tests/online/OfferFixture.h"

#include <memory>

#include "myunits/Settings.h"
#include "platform/win32/WinReg.h"

OfferFixture::OfferFixture() {
    RecordShellOpens();
}

void OfferFixture::StartIn(const char* locale) {
    UseLocale(locale);
    StartIdleProgram();
}

namespace {

std::unique_ptr<TSettings> OpenStore(const AnsiString& subkey) {
    TStringList defaults;
    defaults.Add("0");
    defaults.Add("0");
    return std::make_unique<TSettings>("software\\Hemlow\\rq8\\" + subkey, &defaults,
                                       HKEY_CURRENT_USER, false);
}

} // namespace

int OfferFixture::StoredFlag(const AnsiString& subkey, int index) {
    return OpenStore(subkey)->GetInt(index);
}

void OfferFixture::StoreFlags(const AnsiString& subkey, int first, int second) {
    const std::unique_ptr<TSettings> store = OpenStore(subkey);
    store->SetInt(first, 0);
    store->SetInt(second, 1);
}
