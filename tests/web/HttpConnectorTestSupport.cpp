#include "tests/web/HttpConnectorTestSupport.h"

#include <stdexcept>

#include "myunits/Settings.h"
#include "platform/win32/WinReg.h"

namespace httptest {

namespace {

const char* const ProxyKey = "software\\Hemlow\\rq8\\proxy";

void AddProxyDefaults(TStringList& defaults) {
    for (const char* value : {"0", "", "8080", "", ""})
        defaults.Add(value);
}

} // namespace

void SetWebServer(const std::string& host) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vorlane\\Korvel", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the maker's key");
    const LONG written =
        RegSetValueExA(key, "WebServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(host.c_str()),
                       static_cast<DWORD>(host.size() + 1));
    RegCloseKey(key);
    if (written != ERROR_SUCCESS)
        throw std::runtime_error("cannot write WebServer");
}

void WriteProxyStore(const std::vector<std::string>& values) {
    TStringList defaults;
    AddProxyDefaults(defaults);
    TSettings store(ProxyKey, &defaults, HKEY_CURRENT_USER, false);
    for (size_t i = 0; i < values.size(); ++i)
        store.Set(values[i], static_cast<int>(i));
}

std::vector<std::string> ReadProxyStore() {
    TStringList defaults;
    AddProxyDefaults(defaults);
    TSettings store(ProxyKey, &defaults, HKEY_CURRENT_USER, true);
    std::vector<std::string> values;
    for (int i = 0; i < 5; ++i)
        values.push_back(store.Get(i));
    return values;
}

} // namespace httptest
