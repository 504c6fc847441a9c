#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "platform/win32/HiveFile.h"
#include "platform/win32/WinReg.h"
#include "tests/myunits/ExpectThrow.h"

namespace {

const AnsiString SettingsKey = "Lp7Xc2NvR9qTb4WmZs8KdH3yJf6GaE1uPo5iQw0RkM7nBt2VxC4";
// Each test has a key of its own, so the tests also pass run in one process.
std::string TestKeyPath(const char* area = "test") {
    return std::string("software\\Hemlow\\") + area + "\\" +
           testing::UnitTest::GetInstance()->current_test_info()->name();
}

// The key as the registry layer holds it.
class RawKey {
public:
    explicit RawKey(std::string path) : path_(std::move(path)) {}

    bool Exists() const {
        HKEY key = nullptr;
        const bool open =
            RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (open)
            RegCloseKey(key);
        return open;
    }
    // The text of a REG_SZ value, or "<missing>".
    AnsiString Text(const AnsiString& name) const {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<missing>";
        char data[4096];
        DWORD size = sizeof data;
        DWORD type = 0;
        const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                             reinterpret_cast<LPBYTE>(data), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS)
            return "<missing>";
        EXPECT_EQ(type, REG_SZ) << name;
        EXPECT_EQ(data[size - 1], '\0');
        return AnsiString(data, size - 1);
    }
    std::set<AnsiString> Names() const {
        std::set<AnsiString> names;
        RegistryPath path;
        AnsiString part;
        for (const char* p = path_.c_str();; ++p) {
            if (*p == '\\' || *p == '\0') {
                path.push_back(part);
                part.clear();
                if (*p == '\0')
                    break;
            } else {
                part += *p;
            }
        }
        const auto hive = HiveFile().Read();
        if (const RegistryKey* key = hive->Find(path))
            for (const RegistryValue& value : key->Values())
                names.insert(value.Name);
        return names;
    }
    void Set(const AnsiString& name, const AnsiString& text) const {
        HKEY key = OpenForWriting();
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                       static_cast<DWORD>(text.size()));
        RegCloseKey(key);
    }
    void SetDword(const AnsiString& name, DWORD value) const {
        HKEY key = OpenForWriting();
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(key);
    }
    void Delete(const AnsiString& name) const {
        HKEY key = OpenForWriting();
        RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
    }
    // The stored text of a setting: its value and its pieces joined.
    AnsiString Joined(int index) const {
        AnsiString text = Text(IntToStr(index));
        for (int piece = 0; Names().contains(IntToStr(index) + "_" + IntToStr(piece)); ++piece)
            text += Text(IntToStr(index) + "_" + IntToStr(piece));
        return text;
    }

private:
    HKEY OpenForWriting() const {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    std::string path_;
};

// The checksum of the layout: signed bytes summed, remainder by 10000.
int Checksum(const AnsiString& payload) {
    int sum = 0;
    for (char c : payload)
        sum = (sum + static_cast<signed char>(c)) % 10000;
    return sum;
}

std::unique_ptr<TStringList> List(std::initializer_list<AnsiString> texts) {
    auto list = std::make_unique<TStringList>();
    for (const AnsiString& text : texts)
        list->Add(text);
    return list;
}

class SettingsTest : public testing::Test {
protected:
    std::unique_ptr<TSettings> Open(std::initializer_list<AnsiString> defaults,
                                    bool readOnly = false) {
        return Open(defaults, readOnly, Path);
    }
    std::unique_ptr<TSettings> Open(std::initializer_list<AnsiString> defaults, bool readOnly,
                                    const std::string& path) {
        const auto list = List(defaults);
        return std::make_unique<TSettings>(path, list.get(), HKEY_CURRENT_USER, readOnly);
    }
    // What a value's text must look like for a setting of this content.
    static void ExpectValueText(const AnsiString& text, const AnsiString& stored) {
        const size_t colon = text.find(':');
        ASSERT_NE(colon, AnsiString::npos) << text;
        const AnsiString payload = text.substr(colon + 1);
        EXPECT_EQ(text.substr(0, colon), IntToStr(Checksum(payload)));
        EXPECT_EQ(Singleton<TGlobalBlowFish>::GetSingleton().Decrypt(payload, SettingsKey), stored);
    }

    TGlobalBlowFish cipher;
    const std::string Path = TestKeyPath();
    RawKey raw{Path};
};

TEST_F(SettingsTest, FreshKeyGetsTheDefaultsAndTheWholeLayout) {
    const time_t before = time(nullptr);
    const AnsiString longValue(100, 'L');
    const auto settings = Open({"first", "", "a@b.c", longValue});
    const time_t after = time(nullptr);

    EXPECT_EQ(settings->Get(0), "first");
    EXPECT_EQ(settings->Get(2), "a@b.c");
    EXPECT_EQ(raw.Text("Version"), "1.4");
    EXPECT_EQ(raw.Text("-1"), IntToStr(static_cast<int32_t>(GetVolumeSerial())));
    const long long stamp = std::stoll(raw.Text("-2"));
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);

    ExpectValueText(raw.Joined(0), "first");
    EXPECT_EQ(raw.Text("1"), "0:"); // an empty setting enciphers to nothing
    ExpectValueText(raw.Joined(2), "a\at"
                                   "b.c");
    ExpectValueText(raw.Joined(3), longValue);

    // 100 bytes are 13 blocks: 139 radix-64 characters behind the checksum.
    const AnsiString text = raw.Joined(3);
    const std::set<AnsiString> pieces = {"3_0", "3_1", "3_2", "3_3"};
    EXPECT_EQ(raw.Names(), (std::set<AnsiString>{"Version", "-1", "-2", "0", "1", "2", "3", "3_0",
                                                 "3_1", "3_2", "3_3"}));
    EXPECT_EQ(raw.Text("3").size(), 30u);
    for (const char* piece : {"3_0", "3_1", "3_2"})
        EXPECT_EQ(raw.Text(piece).size(), 30u) << piece;
    EXPECT_EQ(raw.Text("3_3").size(), text.size() - 120);
}

// Value texts of every length class split into pieces of 30 characters,
// the last holding the rest; none is empty.
TEST_F(SettingsTest, PiecesHoldThirtyCharactersExceptTheLast) {
    auto settings = Open({"d"});
    for (int length = 0; length <= 70; ++length) {
        SCOPED_TRACE(length);
        const AnsiString value(static_cast<size_t>(length), 'v');
        settings->Set(value, 0);
        const AnsiString text = raw.Joined(0);
        ExpectValueText(text, value);
        const size_t pieces = text.size() <= 30 ? 0 : (text.size() - 30 + 29) / 30;
        for (size_t piece = 0; piece < pieces; ++piece) {
            const AnsiString name = "0_" + IntToStr(static_cast<int64_t>(piece));
            const size_t size = raw.Text(name).size();
            EXPECT_EQ(size, piece + 1 < pieces ? 30u : text.size() - 30 - 30 * piece);
        }
        EXPECT_FALSE(raw.Names().contains("0_" + IntToStr(static_cast<int64_t>(pieces))));
    }
}

TEST_F(SettingsTest, ShorterValueDeletesTheStalePieces) {
    auto settings = Open({AnsiString(200, 'x'), "keep"});
    EXPECT_TRUE(raw.Names().contains("0_5"));
    settings->Set("", 0);
    EXPECT_EQ(raw.Text("0"), "0:");
    for (const AnsiString& name : raw.Names())
        EXPECT_NE(name.rfind("0_", 0), 0u) << name;
    EXPECT_EQ(settings->Get(1), "keep");
}

// As long as a customer id that a damaged reply could hand out.
AnsiString LargeSetting(char variant) {
    AnsiString text(60 * 1024, variant);
    for (size_t i = 0; i < text.size(); i += 97)
        text[i] = "@\a|x"[i % 4];
    return text;
}

TEST_F(SettingsTest, A60KbSettingRoundTripsAndShrinksBack) {
    const AnsiString large = LargeSetting('c');
    {
        auto settings = Open({"0", "0", "0"});
        settings->Set(large, 2);
        EXPECT_EQ(settings->Get(2), large);
    }
    EXPECT_GT(raw.Names().size(), 2700u);
    auto settings = Open({"0", "0", "0"});
    EXPECT_EQ(settings->Get(2), large);
    settings->Set("42", 2);
    EXPECT_EQ(raw.Names(), (std::set<AnsiString>{"Version", "-1", "-2", "0", "1", "2"}));
    EXPECT_EQ(Open({"0", "0", "0"}, true)->Get(2), "42");
}

// Another copy of the program loads the store again and again while this
// one saves it with a large setting that changes every time: each load
// must find one whole version, never a setting half old and half new
// (which would fall back to its default).
TEST_F(SettingsTest, AnotherCopyLoadingWhileAStoreIsSavedFindsWholeVersions) {
    const AnsiString first = LargeSetting('a');
    const AnsiString second = LargeSetting('b');
    auto settings = Open({"0", "0", "0"});
    settings->Set(first, 2);
    const pid_t reader = fork();
    if (reader == 0) {
        int torn = 0;
        for (int i = 0; i < 15; ++i) {
            const AnsiString read = Open({"0", "0", "0"}, true)->Get(2);
            if (read != first && read != second)
                ++torn;
        }
        _exit(torn);
    }
    int status = 0;
    for (int saves = 0; waitpid(reader, &status, WNOHANG) == 0 && saves < 1000; ++saves)
        settings->Set(saves % 2 ? first : second, 2);
    if (!WIFEXITED(status))
        waitpid(reader, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "loads that found a torn setting";
}

// The hive cannot be written for a while (its replace cannot make its new
// file): the store keeps its values, and the next save that can write
// writes them all.
TEST_F(SettingsTest, ASaveThatCannotWriteLosesNothing) {
    auto settings = Open({"a", "b"});
    const std::filesystem::path obstacle = HiveFile().Path() + ".new";
    std::filesystem::create_directory(obstacle);
    EXPECT_TRUE(settings->Set(LargeSetting('z'), 0));
    EXPECT_EQ(settings->Get(0), LargeSetting('z'));
    EXPECT_EQ(Open({"a", "b"}, true)->Get(0), "a");
    std::filesystem::remove(obstacle);
    settings->Set("c", 1);
    const auto reopened = Open({"a", "b"}, true);
    EXPECT_EQ(reopened->Get(0), LargeSetting('z'));
    EXPECT_EQ(reopened->Get(1), "c");
}

TEST_F(SettingsTest, ValuesSurviveAReopen) {
    {
        auto settings = Open({"a", "b", "c"});
        settings->Set("changed", 1);
        settings->SetInt(-42, 2);
    }
    const auto settings = Open({"a", "b", "c"});
    EXPECT_EQ(settings->Get(0), "a");
    EXPECT_EQ(settings->Get(1), "changed");
    EXPECT_EQ(settings->GetInt(2), -42);
}

TEST_F(SettingsTest, AtSignIsStoredAsBelT) {
    {
        auto settings = Open({""});
        settings->Set("me@host.example", 0);
        ExpectValueText(raw.Joined(0), "me\athost.example");
        EXPECT_EQ(settings->Get(0), "me@host.example");
    }
    auto settings = Open({""});
    EXPECT_EQ(settings->Get(0), "me@host.example");
    // A value that holds BEL-t itself reads back with an at-sign.
    settings->Set("x\aty", 0);
    EXPECT_EQ(settings->Get(0), "x@y");
}

TEST_F(SettingsTest, GetAndSetPastTheEnd) {
    auto settings = Open({"a"});
    EXPECT_EQ(settings->Get(5), "0");
    EXPECT_EQ(settings->Get(-1), "0");
    settings->Set("far", 3);
    EXPECT_EQ(settings->Get(1), "");
    EXPECT_EQ(settings->Get(2), "");
    EXPECT_EQ(settings->Get(3), "far");
    ExpectValueText(raw.Joined(3), "far");
    // Settings past the defaults are saved but not read back.
    settings.reset();
    const auto again = Open({"a"});
    EXPECT_EQ(again->Get(3), "0");
}

TEST_F(SettingsTest, LoadStartsAtOneWithoutValueZeroAndStopsAtAGap) {
    {
        auto settings = Open({"d0", "d1", "d2", "d3", "d4"});
        for (int i = 0; i < 5; ++i)
            settings->Set("s" + IntToStr(i), i);
    }
    raw.Delete("0");
    raw.Delete("3");
    const auto settings = Open({"d0", "d1", "d2", "d3", "d4"});
    const AnsiString expected[] = {"d0", "s1", "s2", "d3", "d4"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(settings->Get(i), expected[i]) << i;
}

// Each damaged value falls back alone; the other settings keep theirs.
TEST_F(SettingsTest, DamagedValueFallsBackToItsDefault) {
    const struct {
        const char* name;
        std::function<void(const RawKey&)> damage;
        AnsiString result;
    } cases[] = {
        {"one character changed",
         [](const RawKey& raw) {
             AnsiString text = raw.Text("1_0");
             text[3] = text[3] == 'A' ? 'B' : 'A';
             raw.Set("1_0", text);
         },
         "d1"},
        {"piece missing", [](const RawKey& raw) { raw.Delete("1_1"); }, "d1"},
        {"no colon", [](const RawKey& raw) { raw.Set("1", "1234"); }, "d1"},
        {"checksum not a number", [](const RawKey& raw) { raw.Set("1", "x:++"); }, "d1"},
        {"value of another type", [](const RawKey& raw) { raw.SetDword("1", 7); }, "d1"},
        {"checksum right, payload does not decipher",
         [](const RawKey& raw) {
             raw.Set("1", "86:++");
             raw.Delete("1_0");
             raw.Delete("1_1");
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            auto settings = Open({"d0", "d1", "d2"});
            settings->Set("s0", 0);
            settings->Set(AnsiString(40, 'm'), 1);
            settings->Set("s2", 2);
        }
        c.damage(raw);
        const auto settings = Open({"d0", "d1", "d2"});
        EXPECT_EQ(settings->Get(0), "s0");
        EXPECT_EQ(settings->Get(1), c.result);
        EXPECT_EQ(settings->Get(2), "s2");
        // The constructor has rewritten the key with what it now holds.
        ExpectValueText(raw.Joined(1), c.result);
    }
}

TEST_F(SettingsTest, TooHighVersionMeansDefaultsAndARewrittenKey) {
    const struct {
        const char* version;
        bool accepted;
    } cases[] = {{"1.4", true},     {"1.49", true}, {"1,49", true}, {"1.0", true},
                 {"garbage", true}, {"1.5", false}, {"2.0", false}, {"15", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        {
            auto settings = Open({"d0", "d1"});
            settings->Set("s0", 0);
            settings->Set("s1", 1);
        }
        raw.Set("Version", c.version);
        const auto settings = Open({"d0", "d1"});
        EXPECT_EQ(settings->Get(0), c.accepted ? "s0" : "d0");
        EXPECT_EQ(settings->Get(1), c.accepted ? "s1" : "d1");
        EXPECT_EQ(raw.Text("Version"), "1.4");
        ExpectValueText(raw.Joined(0), c.accepted ? "s0" : "d0");
    }
}

TEST_F(SettingsTest, MissingVersionCountsAsOneDotZero) {
    {
        auto settings = Open({"d0"});
        settings->Set("s0", 0);
    }
    raw.Delete("Version");
    EXPECT_EQ(Open({"d0"})->Get(0), "s0");
}

TEST_F(SettingsTest, VersionOfAnotherTypeFailsTheWholeLoad) {
    {
        auto settings = Open({"d0", "d1"});
        settings->Set("s0", 0);
        settings->Set("s1", 1);
    }
    raw.SetDword("Version", 1);
    const auto settings = Open({"d0", "d1"});
    EXPECT_EQ(settings->Get(0), "d0");
    EXPECT_EQ(settings->Get(1), "d1");
}

TEST_F(SettingsTest, ReadOnlyStoreNeverCreatesOrWrites) {
    const std::string path = TestKeyPath("readonly");
    RawKey readOnlyKey(path);
    auto settings = Open({"d0"}, true, path);
    EXPECT_EQ(settings->Get(0), "d0");
    EXPECT_FALSE(readOnlyKey.Exists());
    ExpectThrowMessage<Exception>([&] { settings->Set("x", 0); },
                                  "cannot write to read-only TSettings class");
    settings.reset();
    EXPECT_FALSE(readOnlyKey.Exists());

    {
        auto writable = Open({"d0"}, false, path);
        writable->Set("stored", 0);
    }
    const AnsiString before = readOnlyKey.Text("-2");
    const auto reader = Open({"d0"}, true, path);
    EXPECT_EQ(reader->Get(0), "stored");
    EXPECT_EQ(readOnlyKey.Text("-2"), before);
}

TEST_F(SettingsTest, KeyThatCannotBeOpenedKeepsTheDefaults) {
    const auto list = List({"d0", "12"});
    // The machine hive is read-only: nothing can be created there.
    TSettings settings(Path, list.get(), HKEY_LOCAL_MACHINE, false);
    EXPECT_EQ(settings.Get(0), "d0");
    EXPECT_TRUE(settings.Set("changed", 0));
    EXPECT_EQ(settings.Get(0), "changed");
    EXPECT_EQ(settings.GetInt(1), 12);
}

TEST_F(SettingsTest, GetIntFallsBackToTheDefaultNumber) {
    auto settings = Open({"5", "not a number", "7"});
    settings->Set("abc", 0);
    EXPECT_EQ(settings->GetInt(0), 5);
    settings->Set("abc", 1);
    EXPECT_THROW(settings->GetInt(1), EConvertError);
    settings->SetInt(-3, 2);
    EXPECT_EQ(settings->Get(2), "-3");
    EXPECT_EQ(settings->GetInt(9), 0);
    // A setting past the defaults has no default number: 0.
    settings->Set("abc", 4);
    EXPECT_EQ(settings->GetInt(4), 0);
}

TEST_F(SettingsTest, NullDefaultsAreRefused) {
    ExpectThrowMessage<Exception>(
        [&] { TSettings settings(Path, nullptr, HKEY_CURRENT_USER, false); },
        "no default values specified for TSettings class");
}

TEST_F(SettingsTest, DefaultsAreCopied) {
    auto list = List({"d0"});
    TSettings settings(Path, list.get(), HKEY_CURRENT_USER, false);
    list->Clear();
    list.reset();
    EXPECT_EQ(settings.Get(0), "d0");
}

TEST(SettingsDeathTest, DoubleBackslashInThePathIsFatal) {
    EXPECT_DEATH(
        {
            TStringList defaults;
            defaults.Add("x");
            TSettings settings("software\\\\Hemlow", &defaults, HKEY_CURRENT_USER, false);
        },
        "Assertion failed: invalid path specified in TSettings::TSettings");
}

} // namespace
