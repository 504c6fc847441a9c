#include "tests/online/OfferFixture.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "online/TIData.h"
#include "platform/vcl/Forms.h"
#include "tests/support/Pump.h"
#include "web/HTTPConnector.h"

namespace fs = std::filesystem;

OfferFixture::OfferFixture() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvel-offer-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a folder for the browser");
    folder_ = pattern + "/";
    const std::string opener = folder_ + "open";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" > " << folder_ << "opened\n";
    ::chmod(opener.c_str(), 0755);
    setenv("KORVEL_OPEN_COMMAND", opener.c_str(), 1);
}

OfferFixture::~OfferFixture() {
    usage_.reset();
    languages_.reset();
    cipher_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void OfferFixture::StartServices(const char* locale) {
    setenv("LANG", locale, 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    cipher_ = std::make_unique<TGlobalBlowFish>();
    languages_ = std::make_unique<TMyLanguages>(
        AnsiString(std::getenv("KORVEL_PROGRAM_DIR")) + "/Languages.rc", true);
    usage_ = std::make_unique<TIData>(GetWebServerAddress() + "/cgi-bin/ID.pl",
                                      "software\\Hemlow\\rq8\\idata", "kvl");
}

AnsiString OfferFixture::Text(int number) {
    return languages_->GetString(number);
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

std::string OfferFixture::OpenedAddress() {
    std::string line;
    PumpUntil(
        [&] {
            std::ifstream file(folder_ + "opened");
            return bool(std::getline(file, line));
        },
        5);
    return line;
}

bool PumpUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        PumpOnce();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}
