#include "tests/support/StoredSettings.h"

#include "game/gamecontrol.h"
#include "myunits/Settings.h"

namespace {

const char* const GameKey = "software\\Hemlow\\rq8";

} // namespace

void StoreGameSettings(const std::map<int, AnsiString>& values) {
    TStringList defaults;
    for (int index = 0; index < GameSetting::Count; ++index)
        defaults.Add(VellGameControl::DefaultSetting(index));
    TSettings settings(GameKey, &defaults, HKEY_CURRENT_USER, false);
    for (const auto& [index, value] : values)
        settings.Set(value, index);
}
