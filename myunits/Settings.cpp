#include "myunits/Settings.h"

#include "myunits/TGlobalBlowFish.h"
#include "myunits/TMyTime.h"
#include "myunits/Utils.h"
#include "platform/win32/Registry.h"
#include "platform/win32/RegistryBatch.h"

namespace {

// The same for every store of the program.
const AnsiString SettingsKey = "Lp7Xc2NvR9qTb4WmZs8KdH3yJf6GaE1uPo5iQw0RkM7nBt2VxC4";
constexpr size_t PieceLength = 30;
// An at-sign is stored as BEL followed by "t".
const AnsiString AtSign = "@";
const AnsiString StoredAtSign = "\at";

int Checksum(const AnsiString& payload) {
    int sum = 0;
    for (char c : payload)
        sum = (sum + static_cast<signed char>(c)) % 10000;
    return sum;
}

AnsiString SettingValueText(const AnsiString& value) {
    const AnsiString payload = Singleton<TGlobalBlowFish>::GetSingleton().Encrypt(
        ReplaceAll(value, AtSign, StoredAtSign), SettingsKey);
    return IntToStr(Checksum(payload)) + ":" + payload;
}

AnsiString PieceName(int index, int piece) {
    return IntToStr(index) + "_" + IntToStr(piece);
}

} // namespace

TSettings::TSettings(const AnsiString& path, const TStrings* defaults, HKEY rootKey, bool readOnly)
    : RootKey(rootKey), ReadOnly(readOnly) {
    Assert(path.find("\\\\") == AnsiString::npos, "invalid path specified in TSettings::TSettings");
    ClassVersion = "1.4";
    Path = path;
    Values = std::make_unique<TStringList>();
    Defaults = std::make_unique<TStringList>();
    if (!defaults)
        throw Exception("no default values specified for TSettings class");
    Defaults->Assign(*defaults);
    Values->Assign(*Defaults);
    Load();
    Save();
}

TSettings::~TSettings() {
    Save();
}

AnsiString TSettings::DefaultAt(int index) const {
    return index >= 0 && index < Defaults->Count ? (*Defaults)[index] : AnsiString("0");
}

bool TSettings::Load() {
    TStringList before;
    before.Assign(*Values);
    // One version of the key, also while another copy of the program saves
    // it: a setting half old and half new would fall back to its default.
    const RegistryBatch batch;
    TRegistry registry;
    registry.RootKey = RootKey;
    const bool opened = ReadOnly ? registry.OpenKeyReadOnly(Path) : registry.OpenKey(Path, true);
    if (!opened)
        return false;
    bool loaded = true;
    try {
        const float storedVersion = registry.ValueExists("Version")
                                        ? StrToFloatAnySeparator(registry.ReadString("Version"), 2)
                                        : 1.0f;
        if (storedVersion - StrToFloatAnySeparator(ClassVersion, 2) > 0.1)
            throw Exception("too high registry version, using defaults instead");
        const int start = registry.ValueExists("0") ? 0 : 1;
        if (start == 1 && Values->Count == 0)
            Values->Add("");
        for (int index = start; registry.ValueExists(IntToStr(index)) && index < Values->Count;
             ++index)
            ReadValue(registry, index);
    } catch (const Exception&) {
        Values->Assign(before);
        loaded = false;
    }
    registry.CloseKey();
    return loaded;
}

void TSettings::ReadValue(TRegistry& registry, int index) {
    try {
        const AnsiString name = IntToStr(index);
        AnsiString text = registry.ReadString(name);
        for (int piece = 0; registry.ValueExists(PieceName(index, piece)); ++piece)
            text += registry.ReadString(PieceName(index, piece));
        const size_t colon = text.find(':');
        const int checksum = StrToInt(text.substr(0, colon == AnsiString::npos ? 0 : colon));
        const AnsiString payload = text.substr(colon + 1);
        if (Checksum(payload) != checksum)
            throw Exception("corrupted string found in registry. replacing with default.");
        (*Values)[index] = Singleton<TGlobalBlowFish>::GetSingleton().Decrypt(payload, SettingsKey);
    } catch (const Exception&) {
        (*Values)[index] = DefaultAt(index);
    }
}

void TSettings::Save() {
    if (ReadOnly)
        return;
    // The whole key reaches the hive in one write, not one per piece, and
    // another copy of the program reads it whole.
    const RegistryBatch batch;
    TRegistry registry;
    registry.RootKey = RootKey;
    if (!registry.OpenKey(Path, true))
        return;
    // No caller expects a failure here: a hive that cannot be written keeps
    // what it had, and the values stay in memory for the next save.
    try {
        TMyTime now;
        now.Now();
        registry.WriteString("-2", IntToStr(now.Integer));
        registry.WriteString("-1", IntToStr(static_cast<int32_t>(GetVolumeSerial())));
        for (int index = 0; index < Values->Count; ++index)
            WriteValue(registry, index);
        registry.WriteString("Version", ClassVersion);
    } catch (const Exception&) {
    }
    registry.CloseKey();
}

void TSettings::WriteValue(TRegistry& registry, int index) {
    const AnsiString text = SettingValueText((*Values)[index]);
    registry.WriteString(IntToStr(index), text.substr(0, PieceLength));
    int piece = 0;
    for (size_t start = PieceLength; start < text.size(); start += PieceLength, ++piece)
        registry.WriteString(PieceName(index, piece), text.substr(start, PieceLength));
    for (; registry.ValueExists(PieceName(index, piece)); ++piece)
        registry.DeleteValue(PieceName(index, piece));
}

AnsiString TSettings::Get(int index) {
    if (index < 0 || index >= Values->Count)
        return "0";
    return ReplaceAll((*Values)[index], StoredAtSign, AtSign);
}

bool TSettings::Set(const AnsiString& value, int index) {
    if (ReadOnly)
        throw Exception("cannot write to read-only TSettings class");
    while (index >= Values->Count)
        Values->Add("");
    (*Values)[index] = ReplaceAll(value, AtSign, StoredAtSign);
    Save();
    return true;
}

int TSettings::GetInt(int index) {
    try {
        return StrToInt(Get(index));
    } catch (const EConvertError&) {
        return StrToInt(DefaultAt(index));
    }
}

void TSettings::SetInt(int value, int index) {
    Set(IntToStr(value), index);
}
