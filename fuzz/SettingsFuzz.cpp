// The settings store reading a stored value: the input's lines are the
// pieces of value 1 as the registry holds them ("1", then "1_0", "1_1",
// ...). Reading gives the value or its default, never harm; and the input
// stored as value 2 reads back as it was stored.

#include <filesystem>

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzEnvironment.h"
#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "platform/win32/HiveFile.h"
#include "platform/win32/Registry.h"

namespace {

const char* const StoreKey = "software\\Hemlow\\rq8\\fuzz";

void StorePieces(const std::string& input) {
    TRegistry registry;
    registry.RootKey = HKEY_CURRENT_USER;
    registry.OpenKey(StoreKey, true);
    auto [piece, rest] = SplitAt(input, '\n');
    registry.WriteString("1", piece);
    for (int n = 0; !rest.empty(); ++n) {
        std::tie(piece, rest) = SplitAt(rest, '\n');
        registry.WriteString("1_" + IntToStr(n), piece);
    }
    registry.CloseKey();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FuzzEnvironment::Enter({});
    static TGlobalBlowFish* cipher = new TGlobalBlowFish();
    (void)cipher;
    std::filesystem::remove(HiveFile().Path());
    const std::string input = InputText(data, size);
    StorePieces(input);
    TStringList defaults;
    for (const char* value : {"first", "7", "third"})
        defaults.Add(value);
    {
        TSettings stored(StoreKey, &defaults, HKEY_CURRENT_USER, true);
        stored.Get(1);
        stored.GetInt(1);
    }
    {
        TSettings store(StoreKey, &defaults, HKEY_CURRENT_USER, false);
        store.Set(input, 2);
    }
    TSettings again(StoreKey, &defaults, HKEY_CURRENT_USER, true);
    // The store keeps "@" as BEL "t", so that pair reads back as "@".
    Check(again.Get(2) == ReplaceAll(input, "\at", "@"), "stored value reads back");
    return 0;
}
