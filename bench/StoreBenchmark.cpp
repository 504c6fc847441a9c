// What large stored data costs the settings store, the registry hive and the
// local high-score table: a 60 KB setting (a customer id as a damaged reply
// could hand it out) stored and read back, a writable store loaded over it as
// at every start, a lookup in a hive of 1 MB whose key holds 50,000 values or
// 60,000 subkeys (first after another copy of the program changed the file,
// then with the file unchanged), and 1 MB of local-score text read back,
// whole records and damaged ones.
// The hive lies in a configuration folder of the benchmark's own.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "platform/win32/WinReg.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "ui/TScore.h"

namespace {

const AnsiString StoreKey = "software\\Hemlow\\rq8\\idata";
constexpr size_t LargeSettingBytes = 60 * 1024;
constexpr int HiveValues = 50000;
constexpr int HiveSubkeys = 60000;
constexpr size_t ScoreTextBytes = 1024 * 1024;

std::unique_ptr<TempFolder> configHome;

AnsiString LargeSetting(int variant) {
    AnsiString text(LargeSettingBytes, '\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + (i * 7 + static_cast<size_t>(variant)) % 26);
    return text;
}

std::unique_ptr<TSettings> OpenStore(bool readOnly) {
    TStringList defaults;
    for (const char* value : {"0", "0", "0"})
        defaults.Add(value);
    return std::make_unique<TSettings>(StoreKey, &defaults, HKEY_CURRENT_USER, readOnly);
}

// The store's key holds the large setting once any benchmark stored it.
void StoreLargeSettingOnce() {
    static bool stored = false;
    if (!stored)
        OpenStore(false)->Set(LargeSetting(0), 2);
    stored = true;
}

void WriteHive(const std::string& keys) {
    configHome->Write("Korvel/registry", "Korvel registry 1\n" + keys);
}

// Every iteration first reads a hive that another copy of the program has
// just replaced, or else the one the previous iteration read.
void Lookup(benchmark::State& state, const std::string& keys, const char* key, const char* value) {
    const bool changed = state.range(0) != 0;
    WriteHive(keys);
    for (auto _ : state) {
        if (changed) {
            state.PauseTiming();
            WriteHive(keys);
            state.ResumeTiming();
        }
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS ||
            RegQueryValueExA(opened, value, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            state.SkipWithError("the value was not found");
        RegCloseKey(opened);
    }
}

void StoreLargeSetting(benchmark::State& state) {
    const auto store = OpenStore(false);
    int variant = 0;
    for (auto _ : state)
        store->Set(LargeSetting(++variant), 2);
}
BENCHMARK(StoreLargeSetting)->Unit(benchmark::kMillisecond);

void ReadLargeSettingBack(benchmark::State& state) {
    StoreLargeSettingOnce();
    for (auto _ : state) {
        const auto store = OpenStore(true);
        if (store->Get(2).size() != LargeSettingBytes)
            state.SkipWithError("the setting did not read back");
    }
}
BENCHMARK(ReadLargeSettingBack)->Unit(benchmark::kMillisecond);

void LoadStoreWithLargeSetting(benchmark::State& state) {
    StoreLargeSettingOnce();
    for (auto _ : state)
        OpenStore(false);
}
BENCHMARK(LoadStoreWithLargeSetting)->Unit(benchmark::kMillisecond);

void LookupAmongManyValues(benchmark::State& state) {
    std::string keys = "[software\\Hemlow\\rq8]\n";
    for (int i = 0; i < HiveValues; ++i)
        keys += "\"value" + std::to_string(i) + "\"=\"" + std::to_string(i * 7919) + "\"\n";
    Lookup(state, keys, "software\\Hemlow\\rq8", "value49999");
}
BENCHMARK(LookupAmongManyValues)->ArgName("changed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void LookupAmongManySubkeys(benchmark::State& state) {
    std::string keys;
    for (int i = 0; i < HiveSubkeys; ++i)
        keys += "[software\\Hemlow\\k" + std::to_string(i) + "]\n";
    keys += "[software\\Hemlow\\k59999]\n\"Version\"=\"1.4\"\n";
    Lookup(state, keys, "software\\Hemlow\\k59999", "Version");
}
BENCHMARK(LookupAmongManySubkeys)
    ->ArgName("changed")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

// Whole records, or records whose stage is no number.
AnsiString ScoreText(bool damaged) {
    AnsiString text;
    for (int i = 0; text.size() < ScoreTextBytes; ++i)
        text += "Player" + IntToStr(i) + "|" + (damaged ? "x" : IntToStr(i % 40)) + "|" +
                IntToStr(i * 13) + "|Norway|";
    return text;
}

void ReadLocalScores(benchmark::State& state) {
    const AnsiString text = ScoreText(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(ScoresFromText(text).data());
}
BENCHMARK(ReadLocalScores)->ArgName("damaged")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    configHome = std::make_unique<TempFolder>("store-benchmark");
    std::filesystem::create_directory(configHome->File("Korvel"));
    const ScopedEnv config("XDG_CONFIG_HOME", configHome->Path().c_str());
    const TGlobalBlowFish cipher;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    configHome.reset();
    return 0;
}
