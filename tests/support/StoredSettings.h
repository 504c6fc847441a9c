#pragma once
// The game's settings as a test stores them before the controller starts:
// the values in the game's registry key, over the defaults of a fresh
// installation. The store enciphers through the shared cipher, which must
// exist; one default depends on the language base, fixed by the texts.

#include <map>

#include "platform/vcl/SysUtils.h"

void StoreGameSettings(const std::map<int, AnsiString>& values);
